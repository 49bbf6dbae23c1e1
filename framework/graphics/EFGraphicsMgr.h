/*
===============================================================================

	The graphics manager, created by the engine controller and held in
	gpoGraphicsMgr.

	A frame: for slot 0, then slot 1, an active camera's passes and, active
	or not, the HUD step of a camera with render flag 0x80; then the slide
	show and the flip, which the driver paces. Nothing while paused.

	Cameras: CreateCamera puts a camera on a frame into the first free of
	the two slots (id 0x10000000 | slot) and registers it with the world;
	GetCamera takes the low 12 bits of an id, or an index, as the slot.

===============================================================================
*/
#ifndef EF_GRAPHICS_MGR_H
#define EF_GRAPHICS_MGR_H

#include "framework/graphics/EFGraphicsMgrRW.h"
#include "framework/graphics/EFTextureDict.h"
#include "framework/graphics/animation/EFTexFader.h"

class DTFrame;

// The camera id of no camera.
constexpr u32 EF_NO_CAMERA = 0xFFFFFFFF;

class EFGraphicsMgr : public EFGraphicsMgr_SP {
public:
	explicit				EFGraphicsMgr( const EFAppContext& context );
							~EFGraphicsMgr() override;

	// Creates the HUD manager; its Init result (non-zero = success).
	u32						Initialize();
	// The time argument is not used.
	void					Render( f32 dt = 0.0f );
	// One camera's passes; slot is 0 or 1.
	void					RenderCamera( EFCamera& camera, u32 slot );
	// Drops the level's graphics state between levels and at the end.
	void					Terminate();

	// The new camera's id, EF_NO_CAMERA when both slots are taken.
	u32						CreateCamera( DTFrame* frame );
	// Takes the camera out of the world and deletes it.
	void					DestroyCamera( u32 id );
	// The camera of an id or slot index; null for EF_NO_CAMERA, a slot of
	// 2 or more, or a free slot.
	EFCamera*				GetCamera( u32 id );
	// Cameras created and not destroyed.
	u32						GetCameraCount() const { return mui32CameraCount; }
	EFTexFader&				GetTexFader() { return moTexFader; }

private:
	// Only exists: the game's dictionary is the class's single instance.
	EFTextureDict			moTextureDict;
	EFTexFader				moTexFader;
	u32						mui32CameraCount;
};

extern EFGraphicsMgr*	gpoGraphicsMgr;

#endif
