/*
===============================================================================

	Scene camera: a positioned instance (id 0x10000000 | slot for the
	graphics manager's cameras) with its library camera (EFCameraRW.h),
	the view volume in camera space and in world space, the same for the
	guard band, the render-flag word and the fog settings.

	A new camera covers the whole screen, has a view window 0.5 wide with
	the screen's aspect and is active (EF_INSTANCE_ACTIVE in its instance
	flags). The world's render preparation rebuilds the camera-space view
	volume when the planes are dirty and carries both volumes into world
	space.

===============================================================================
*/
#ifndef EF_CAMERA_H
#define EF_CAMERA_H

#include "framework/graphics/EFCameraProjection_e.h"
#include "framework/graphics/EFCameraRW.h"
#include "framework/graphics/EFFrustum.h"

// Render flags of a new camera: every bit but 0x10.
constexpr u32 EF_CAMERA_DEFAULT_RENDER_FLAGS = 0xFFFFFFEF;
constexpr u32 EF_CAMERA_NO_LENDER = 0xFFFFFFFF;

class EFCamera : public EFCamera_SP {
public:
	// A null frame gives the camera a frame of its own.
	explicit				EFCamera( DTFrame* frame );
	// Runs Terminate when the owner did not.
							~EFCamera() override;

	// Destroys the library camera and every raster it or the camera
	// holds, each once.
	void					Terminate() override;

	void					SetCameraProjection( EFCameraProjection_e projection );
	EFCameraProjection_e	GetCameraProjection() const;
	// Half width and half height of the view window at unit distance.
	void					GetViewWindow( f32& width, f32& height ) const;
	void					SetViewWindow( f32 width, f32 height );
	// Full angle in radians; the view window keeps its aspect.
	void					SetFOV( f32 angle );
	// Rebuilds the guard-band volumes from the view window widened by the
	// guard factors.
	void					UpdateGuardBand();
	// Near and far clip distances of the library camera.
	void					GetClipPlanes( f32& nearDist, f32& farDist ) const;
	// When the camera borrows the frame of the lender named: a frame of
	// its own holding the lent frame's last world matrix, the library
	// camera moved onto it, the borrowed pointer dropped untouched.
	void					ReleaseLender( u32 lenderId );

	EFFrustum				moFrustum;
	// Set by every change of the view; the render preparation rebuilds
	// moFrustum and clears it.
	u32						muiPlanesDirty;
	EFFrustum				moWorldFrustum;
	EFFrustum				moGuardBandFrustum;
	EFFrustum				moWorldGuardBandFrustum;
	u32						muiRenderFlags;
	u32						mui32Fog;
	// Library fog type: 1 linear, 2 exponential, 3 squared exponential.
	u32						mui32FogType;
	f32						mfFogDensity;
	// The game object whose frame the camera borrows; EF_CAMERA_NO_LENDER
	// when its frame is its own or nobody's to end.
	u32						mui32LenderId;
};

#endif
