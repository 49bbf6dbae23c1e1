/*
===============================================================================

	The graphics manager, created by the engine controller and held in
	gpoGraphicsMgr.

	Placeholder frame: until Initialize has created the HUD manager, Render
	does nothing; afterwards it waits for one retrace a frame, which paces
	the frame loop as the buffer flip will. Cameras come with the scene
	renderer: CreateCamera answers 0xFFFFFFFF and GetCamera null.

===============================================================================
*/
#ifndef EF_GRAPHICS_MGR_H
#define EF_GRAPHICS_MGR_H

#include "framework/graphics/EFGraphicsMgrRW.h"

class DTFrame;

// The camera id of no camera.
constexpr u32 EF_NO_CAMERA = 0xFFFFFFFF;

class EFGraphicsMgr : public EFGraphicsMgr_SP {
public:
	explicit				EFGraphicsMgr( const EFAppContext& context );
							~EFGraphicsMgr() override;

	// Creates the HUD manager; its Init result (non-zero = success).
	u32						Initialize();
	void					Render( f32 dt = 0.0f );
	void					Terminate();

	u32						CreateCamera( DTFrame* frame );
	void					DestroyCamera( u32 id );
	EFCamera*				GetCamera( u32 id );

private:
	u32						mui32CameraCount;
	u8						mbReady;
};

extern EFGraphicsMgr*	gpoGraphicsMgr;

#endif
