#include "framework/graphics/EFCamera.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFFrameLender.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"

#include <cmath>

namespace {

// The default view window is half a unit wide at unit distance, with the
// screen's aspect.
constexpr f32 DEFAULT_VIEW_HALF_WIDTH	= 0.5f;
constexpr f32 DEFAULT_ASPECT			= 480.0f / 640.0f;
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
	: EFCamera_SP( frame ), muiPlanesDirty( 0 ), muiRenderFlags( EF_CAMERA_DEFAULT_RENDER_FLAGS ), mui32Fog( 0 ),
	  mui32FogType( DEFAULT_FOG_TYPE ), mfFogDensity( DEFAULT_FOG_DENSITY ),
	  mui32LenderId( EF_CAMERA_NO_LENDER ) {
	CRect whole = { 0.0f, 0.0f, 1.0f, 1.0f };
	SetDisplayArea( &whole );
	SetViewWindow( DEFAULT_VIEW_HALF_WIDTH, DEFAULT_VIEW_HALF_WIDTH * ScreenAspect() );
	muiFlags |= EF_INSTANCE_ACTIVE;
	muiPlanesDirty = 1;
}

EFCamera::~EFCamera() {
	// Owners that delete without terminating (the controller's test
	// camera) still give every raster back.
	Terminate();
}

void EFCamera::Terminate() {
	DestroyLibraryCamera();
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

void EFCamera::SetFOV( const f32 angle ) {
	f32 width = 0.0f;
	f32 height = 0.0f;
	GetViewWindow( width, height );
	const f32 aspect = height != 0.0f ? width / height : 1.0f / DEFAULT_ASPECT;
	width = std::tan( angle * 0.5f );
	SetViewWindow( width, width / aspect );
}

void EFCamera::GetClipPlanes( f32& nearDist, f32& farDist ) const {
	nearDist = mpoRwCamera != nullptr ? mpoRwCamera->nearPlane : RWCAMERA_DEFAULT_NEAR;
	farDist = mpoRwCamera != nullptr ? mpoRwCamera->farPlane : RWCAMERA_DEFAULT_FAR;
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

void EFCamera::ReleaseLender( const u32 lenderId ) {
	if ( lenderId == EF_CAMERA_NO_LENDER || mui32LenderId != lenderId ) {
		return;
	}
	mui32LenderId = EF_CAMERA_NO_LENDER;
	DTFrame* const own = EFOwnFrameInPlace( *this );
	if ( mpoRwCamera != nullptr ) {
		_rwObjectHasFrameSetFrame( &mpoRwCamera->object, own != nullptr ? own->GetRwFrame() : nullptr );
		if ( own != nullptr ) {
			RwFrameUpdateObjects( own->GetRwFrame() );
		}
	}
}
