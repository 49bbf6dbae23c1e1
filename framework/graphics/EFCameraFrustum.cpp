#include "framework/graphics/EFCameraFrustum.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/graphics/EFCamera.h"

void EFRefreshWorldFrustum( EFCamera & camera ) {
	if ( camera.muiPlanesDirty != 0 ) {
		f32 width = 0.0f;
		f32 height = 0.0f;
		f32 nearDist = 0.0f;
		f32 farDist = 0.0f;
		camera.GetViewWindow( width, height );
		camera.GetClipPlanes( nearDist, farDist );
		camera.moFrustum.SetFromCameraParams( width, height, nearDist, farDist, camera.GetCameraProjection() );
		camera.muiPlanesDirty = 0;
	}
	if ( camera.GetFrame() != nullptr ) {
		camera.moFrustum.TransformPlanes( *camera.GetFrame()->GetWMatrix(), camera.moWorldFrustum );
	}
	camera.UpdateGuardBand();
}
