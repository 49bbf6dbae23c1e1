/*
===============================================================================

	Scene camera.

	Placeholder body: the camera keeps its frame and counts its updates; a
	Begin / End pair with nothing between is one empty frame. The library
	camera, frustum and display area come with the camera's own work.

===============================================================================
*/
#ifndef EF_CAMERA_H
#define EF_CAMERA_H

#include "datatypes/DTTypes.h"

class DTFrame;
class DTColor;
struct CRect;

// Projections of SetCameraProjection.
enum EFCameraProjection_e {
	EF_CAMERA_PERSPECTIVE	= 0,
	EF_CAMERA_PARALLEL		= 1,
};

class EFCamera {
public:
	// A null frame gives a camera without a frame.
	explicit				EFCamera( DTFrame* frame );

	void					Begin();
	void					End();

	void					SetClearColor( DTColor& color );
	void					SetCameraProjection( EFCameraProjection_e projection );
	EFCameraProjection_e	GetCameraProjection() const;
	void					GetViewWindow( f32& width, f32& height ) const;
	void					SetViewWindow( f32 width, f32 height );
	// Full angle in radians.
	void					SetFOV( f32 angle );
	void					SetDisplayArea( CRect* area );
	void					GetDisplayArea( CRect* area ) const;
	void					TakeSnapShot( const char* name );
	void					UpdateGuardBand();

	// Completed Begin / End pairs.
	u32						GetFrameCount() const { return mui32FrameCount; }

private:
	DTFrame*				mpFrame;
	u32						mui32FrameCount;
};

#endif
