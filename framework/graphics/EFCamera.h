/*
===============================================================================

	Scene camera: a positioned instance (id 0x10000000 | slot for the
	graphics manager's cameras) with its library camera, the view volume
	in camera space and in world space, the same for the guard band, and
	the render-flag word. It is active while its instance flags have
	EF_INSTANCE_ACTIVE, which construction sets.

	Placeholder body: the library camera is made when the library runs and
	keeps its view window and clip planes; the volumes are rebuilt by the
	world's render preparation. Begin / End count frames (End is recorded
	in the call trace); the display area, clearing, fog and snapshots come
	with the camera's own work.

===============================================================================
*/
#ifndef EF_CAMERA_H
#define EF_CAMERA_H

#include "framework/core/world/EFPhysicData.h"
#include "framework/graphics/EFCameraProjection_e.h"
#include "framework/graphics/EFFrustum.h"
#include "framework/logic/api/LogicApiRecords.h"
#include "graphics3d/core/RwRGBA.h"

class DTColor;
struct RwCamera;

// Render flags of a new camera: every bit but 0x10.
constexpr u32 EF_CAMERA_DEFAULT_RENDER_FLAGS = 0xFFFFFFEF;

class EFCamera : public EFPhysicData {
public:
	// A null frame gives the camera a frame of its own.
	explicit				EFCamera( DTFrame* frame );
	// Takes the library camera out of its world and destroys it.
							~EFCamera() override;

	// Clears the display area with the clear colour, mode | 4, with
	// frame-buffer alpha writes on.
	void					Clear();
	void					Begin();
	void					End();

	void					SetClearColor( DTColor& color );
	void					SetCameraProjection( EFCameraProjection_e projection );
	EFCameraProjection_e	GetCameraProjection() const;
	// Half width and half height of the view window at unit distance.
	void					GetViewWindow( f32& width, f32& height ) const;
	void					SetViewWindow( f32 width, f32 height );
	// Full angle in radians.
	void					SetFOV( f32 angle );
	void					SetDisplayArea( CRect* area );
	void					GetDisplayArea( CRect* area ) const;
	void					TakeSnapShot( const char* name );
	// Rebuilds the guard-band volumes from the view window widened by the
	// guard factors.
	void					UpdateGuardBand();
	// Near and far clip distances of the library camera.
	void					GetClipPlanes( f32& nearDist, f32& farDist ) const;

	// Completed Begin / End pairs.
	u32						GetFrameCount() const { return mui32FrameCount; }

	RwCamera*				mpoRwCamera;
	f32						mfGuardBandFactorX;
	f32						mfGuardBandFactorY;
	EFFrustum				moFrustum;
	// Set by every change of the view; the render preparation rebuilds
	// moFrustum and clears it.
	u32						muiPlanesDirty;
	EFFrustum				moWorldFrustum;
	EFFrustum				moGuardBandFrustum;
	EFFrustum				moWorldGuardBandFrustum;
	u32						muiRenderFlags;
	// Fog colour word alpha << 24 | red << 16 | green << 8 | blue.
	u32						mui32FogColor;
	RwRGBA					moClearColor;
	u32						mui32ClearMode;
	u32						mui32Fog;
	u32						mui32FogType;
	f32						mfFogDensity;

private:
	u32						mui32FrameCount;
};

#endif
