#include "framework/graphics/effects/EFProjector.h"

#include "framework/graphics/effects/EFProjectorMgr.h"

void EFProjector::Begin() {
	if ( mpoTexture == nullptr || ( muiFlags & EF_PROJECTOR_VISIBLE ) == 0 || mpFrame == nullptr ) {
		return;
	}
	_sProjectorOccurence occurrence;
	EFProjector_BC::Begin( occurrence );
	goProjectorMgr.AddOccurence( &occurrence );
}
