#include "framework/graphics/EFCamera.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/world/RpWorld.h"
#include "platform/gx/GX.h"

namespace {

// The default view window is half a unit wide at unit distance, with the
// screen's aspect.
constexpr f32 DEFAULT_VIEW_HALF_WIDTH	= 0.5f;
constexpr f32 DEFAULT_ASPECT			= 480.0f / 640.0f;
// Image and depth; Clear adds the stencil bit.
constexpr u32 DEFAULT_CLEAR_MODE		= 3;
constexpr u32 DEFAULT_FOG_TYPE			= 1;
constexpr f32 DEFAULT_FOG_DENSITY		= 0.5f;

f32 ScreenAspect() {
	if ( gpoGraphicsMgr == nullptr || gpoGraphicsMgr->GetScreenWidth() == 0 ) {
		return DEFAULT_ASPECT;
	}
	return static_cast<f32>( gpoGraphicsMgr->GetScreenHeight() ) / static_cast<f32>( gpoGraphicsMgr->GetScreenWidth() );
}

}

EFCamera::EFCamera( DTFrame* frame )
	: mpoRwCamera( nullptr ), mfGuardBandFactorX( 1.0f ), mfGuardBandFactorY( 1.0f ), muiPlanesDirty( 1 ),
	  muiRenderFlags( EF_CAMERA_DEFAULT_RENDER_FLAGS ), mui32FogColor( 0 ), moClearColor{ 0, 0, 0, 0 },
	  mui32ClearMode( DEFAULT_CLEAR_MODE ), mui32Fog( 0 ), mui32FogType( DEFAULT_FOG_TYPE ),
	  mfFogDensity( DEFAULT_FOG_DENSITY ), mui32FrameCount( 0 ) {
	CreateFrame( frame );
	mpoRwCamera = RwCameraCreate();
	SetViewWindow( DEFAULT_VIEW_HALF_WIDTH, DEFAULT_VIEW_HALF_WIDTH * ScreenAspect() );
	muiFlags |= EF_INSTANCE_ACTIVE;
}

EFCamera::~EFCamera() {
	if ( mpoRwCamera != nullptr ) {
		RpWorld* const world = RwCameraGetWorld( mpoRwCamera );
		if ( world != nullptr ) {
			RpWorldRemoveCamera( world, mpoRwCamera );
		}
		RwCameraDestroy( mpoRwCamera );
		mpoRwCamera = nullptr;
	}
}

void EFCamera::Clear() {
	if ( mpoRwCamera == nullptr ) {
		return;
	}
	GXSetAlphaUpdate( GX_TRUE );
	RwCameraClear( mpoRwCamera, &moClearColor, static_cast<s32>( mui32ClearMode | rwCAMERACLEARSTENCIL ) );
	GXSetAlphaUpdate( GX_FALSE );
}

void EFCamera::Begin() {
	if ( mpoRwCamera != nullptr ) {
		RwCameraBeginUpdate( mpoRwCamera );
	}
}

void EFCamera::End() {
	if ( mpoRwCamera != nullptr ) {
		RwCameraEndUpdate( mpoRwCamera );
	}
	mui32FrameCount++;
}

void EFCamera::SetClearColor( DTColor& ) {
}

void EFCamera::SetCameraProjection( const EFCameraProjection_e projection ) {
	if ( mpoRwCamera == nullptr ) {
		return;
	}
	const RwCameraProjection library = projection == EF_CAMERA_PARALLEL ? rwPARALLEL : rwPERSPECTIVE;
	if ( RwCameraSetProjection( mpoRwCamera, library ) != nullptr ) {
		muiPlanesDirty = 1;
	}
}

EFCameraProjection_e EFCamera::GetCameraProjection() const {
	if ( mpoRwCamera != nullptr && mpoRwCamera->projectionType == rwPARALLEL ) {
		return EF_CAMERA_PARALLEL;
	}
	return EF_CAMERA_PERSPECTIVE;
}

void EFCamera::GetViewWindow( f32& width, f32& height ) const {
	if ( mpoRwCamera == nullptr ) {
		width = DEFAULT_VIEW_HALF_WIDTH;
		height = DEFAULT_VIEW_HALF_WIDTH * DEFAULT_ASPECT;
		return;
	}
	width = mpoRwCamera->viewWindow.x;
	height = mpoRwCamera->viewWindow.y;
}

void EFCamera::SetViewWindow( const f32 width, const f32 height ) {
	if ( mpoRwCamera != nullptr ) {
		const RwV2d window = { width, height };
		RwCameraSetViewWindow( mpoRwCamera, &window );
	}
	muiPlanesDirty = 1;
}

void EFCamera::GetClipPlanes( f32& nearDist, f32& farDist ) const {
	nearDist = mpoRwCamera != nullptr ? mpoRwCamera->nearPlane : RWCAMERA_DEFAULT_NEAR;
	farDist = mpoRwCamera != nullptr ? mpoRwCamera->farPlane : RWCAMERA_DEFAULT_FAR;
}

void EFCamera::SetFOV( f32 ) {
}

void EFCamera::SetDisplayArea( CRect* ) {
}

void EFCamera::GetDisplayArea( CRect* ) const {
}

void EFCamera::TakeSnapShot( const char* ) {
}

void EFCamera::UpdateGuardBand() {
	f32 width = 0.0f;
	f32 height = 0.0f;
	f32 nearDist = 0.0f;
	f32 farDist = 0.0f;
	GetViewWindow( width, height );
	GetClipPlanes( nearDist, farDist );
	moGuardBandFrustum.SetFromCameraParams( width * mfGuardBandFactorX, height * mfGuardBandFactorY, nearDist, farDist,
											 GetCameraProjection() );
	if ( mpFrame != nullptr ) {
		moGuardBandFrustum.TransformPlanes( *mpFrame->GetWMatrix(), moWorldGuardBandFrustum );
	}
}
