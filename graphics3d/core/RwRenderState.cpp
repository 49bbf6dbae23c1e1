#include "graphics3d/core/RwRenderState.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"

static RwGlobals* CurrentInstance() {
	return RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals;
}

bool RwRenderStateSet( const RwRenderState state, void* value ) {
	RwGlobals* const instance = CurrentInstance();
	if ( instance->currentCamera == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_CAMERA ) );
		return false;
	}
	if ( instance->device.fpRenderStateSet == nullptr ) {
		return false;
	}
	return instance->device.fpRenderStateSet( state, value );
}

bool RwRenderStateGet( const RwRenderState state, void* value ) {
	RwGlobals* const instance = CurrentInstance();
	if ( instance->device.fpRenderStateGet == nullptr ) {
		return false;
	}
	return instance->device.fpRenderStateGet( state, value );
}
