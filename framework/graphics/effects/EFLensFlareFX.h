/*
===============================================================================

	Lens flare (global object goLensFlareFX): four additive screen-space
	glows for a sun, one on the sun's screen position and three along the
	line from it through the screen centre, fading with the sun's
	distance from the centre. Drawn at the end of every camera render.

	Each element is a sprite group of its own with one screen-space
	sprite, made at the first Render and not registered with the sprite
	manager. The sun is a stored position, or follows a game object.

===============================================================================
*/
#ifndef EF_LENS_FLARE_FX_H
#define EF_LENS_FLARE_FX_H

#include "datatypes/base/DTTypes.h"

enum eLensFlareParams {
	LENS_FLARE_FALLOFF		= 0,	// size fall-off constant K
	LENS_FLARE_RADIUS		= 1,	// visibility radius R in pixels
	LENS_FLARE_MAX_SIZE		= 2,	// largest size
	LENS_FLARE_MIN_SIZE		= 3,	// smallest size
	LENS_FLARE_PARAM_COUNT	= 4,
};

constexpr u32 EF_LENS_FLARE_ELEMENTS = 4;

class EFCamera;
class EFSpriteGroup;

class EFLensFlareFX {
public:
							EFLensFlareFX();

	// Makes the four groups and their sprites.
	void					Initialize();
	// Deletes the groups; back to the defaults but the attached object.
	void					Terminate();
	// Stores float(value) for indices 0-3.
	void					SetParams( eLensFlareParams param, u32 value );
	void					Render( const EFCamera& camera );
	void					DrawFlare( f32 x, f32 y, f32 size, f32 intensity, u32 element );
	// The sun sprite follows frames of its own only.
	void					ReleaseLender( u32 lenderId );

	u32						mui32AttachedObject;
	EFSpriteGroup*			mpoGroups[EF_LENS_FLARE_ELEMENTS];
	u32						mui32SpriteIds[EF_LENS_FLARE_ELEMENTS];
	u8						mbActive;
	u8						mbInitialised;
	f32						mfParams[LENS_FLARE_PARAM_COUNT];
	f32						mfSunPosition[3];
	s32						mi32ScreenWidth;
	s32						mi32ScreenHeight;

private:
	void					ResetParams();
};

extern EFLensFlareFX	goLensFlareFX;

#endif
