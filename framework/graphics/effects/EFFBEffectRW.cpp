#include "framework/graphics/effects/EFFBEffectRW.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwGameCube.h"

// Filter mode 2 (linear), addressing 3 (clamp) in U and V.
static const u32 CAMERA_TEXTURE_FILTER_ADDRESSING = 0x3302;

RwRaster*	EFFBEffect_SP::mpoRaster = nullptr;
RwCamera*	EFFBEffect_SP::mpoCamera = nullptr;
RwTexture*	EFFBEffect_SP::mpoTexture = nullptr;
u32			EFFBEffect_SP::mui32RequestedWidth = 0;
u32			EFFBEffect_SP::mui32RequestedHeight = 0;
u32			EFFBEffect_SP::mui32RequestedDepth = 0;
u32			EFFBEffect_SP::mui32RequestedFlags = 0;

void EFFBEffect_SP::CreateCameraTexture() {
	if ( RwEngineInstance == nullptr || RwEngineInstance->engineState != RWENGINE_STATE_STARTED ) {
		return;
	}
	mpoRaster = RwRasterCreate( static_cast<s32>( mui32RequestedWidth ), static_cast<s32>( mui32RequestedHeight ),
								static_cast<s32>( mui32RequestedDepth ), static_cast<s32>( mui32RequestedFlags ) );
	mpoCamera = RwCameraCreate();
	if ( mpoCamera != nullptr ) {
		RwFrame* const frame = RwFrameCreate();
		if ( frame != nullptr ) {
			_rwObjectHasFrameSetFrame( &mpoCamera->object, frame );
		}
		mpoCamera->frameBuffer = mpoRaster;
	}
	mpoTexture = RwTextureCreate( mpoRaster );
	if ( mpoTexture != nullptr ) {
		mpoTexture->filterAddressing = CAMERA_TEXTURE_FILTER_ADDRESSING;
	}
}

s32 EFFBEffect_SP::CreateRaster( const RwCamera* ) {
	return 0;
}

void EFFBEffect_SP::DestroyRaster() {
}

void EFFBEffect_SP::LockRaster( u32 ) {
}

void EFFBEffect_SP::GrabRaster() {
	if ( mpoRaster != nullptr ) {
		RwGameCubeCameraTextureFlush( mpoRaster, 0 );
	}
}
