#include "framework/physics/EFObjCollisionBBox.h"

EFObjCollisionBBox::EFObjCollisionBBox( DTFrame * frame ) : EFObjCollisionPrim( frame ), moHalfExtents() {
	mui32Shape = EF_PRIM_BBOX;
}
