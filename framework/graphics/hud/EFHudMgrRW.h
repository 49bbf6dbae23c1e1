/*
===============================================================================

	Platform half of the HUD manager: the HUD's own library world (bounds
	-1000 to 1000 on each axis) with its parallel camera, its lights and
	the 3D objects of 3D windows, and the HUD frame.

	The HUD camera and the global palette are made by the first frame
	after construction or after Terminate (which deletes both), so a new
	level starts with fresh ones.

===============================================================================
*/
#ifndef EF_HUD_MGR_RW_H
#define EF_HUD_MGR_RW_H

#include "framework/graphics/hud/EFHudMgr_BC.h"

class EF3dObj;
struct RpWorld;

// Bytes of the frame's render-command block.
constexpr u32 EF_HUD_COMMAND_BLOCK_BYTES = 65536;

class EFHudMgr_SP : public EFHudMgr_BC {
public:
							EFHudMgr_SP();
	// Terminate, then the world.
							~EFHudMgr_SP() override;

	// The camera leaves the world; then the portable Terminate; then the
	// HUD camera is deleted.
	void					Terminate();

	// Into the HUD world and the first empty light slot (in the world
	// only when all 16 are taken).
	void					AddLight( EFLight * light );
	// A slotted light leaves the world and its slot; others are ignored.
	void					RemoveLight( EFLight * light );
	// True hangs every slotted light's frame under the current camera's.
	void					EnableHudLights( bool enable );
	// Into the HUD world unless the object is in a world already.
	void					Add3dObj( EF3dObj * object );
	// Out of the HUD world only.
	void					Remove3dObj( EF3dObj * object );
	void					RemoveCamera( EFCamera * camera );

	// One HUD frame, drawn with the HUD camera.
	void					Update( EFCamera & camera, f32 dt );

	RpWorld *				GetWorld() const { return mpoWorld; }
	EFCamera *				GetHudCamera() const { return mpoHudCamera; }
	EFLight *				GetLight( u32 slot ) const { return slot < EF_HUD_LIGHT_SLOTS ? mapoLights[slot] : nullptr; }

private:
	RpWorld *				mpoWorld;

	void					MakeCamera();
	void					MakeGlobalPalette();
	void					ReadScreenSize();
};

#endif
