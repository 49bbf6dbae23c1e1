#include "framework/physics/EFCollisionReport.h"

void EFCollisionReport::CheckNotify( const DTVector3d &, const DTVector3d & ) {
}
