/*
===============================================================================

	Platform half of the palette manager: once per frame it moves every
	palettised texture of the current dictionary (4 or 8 bits deep, RGB565
	or RGB5A3 palette) from its palette in the current state towards its
	palette in the target state. The transition ends in the frame whose
	ratio reaches 1, after the target palettes were written.

===============================================================================
*/
#ifndef EF_PALETTE_MGR_RW_H
#define EF_PALETTE_MGR_RW_H

#include "framework/graphics/EFPaletteMgr_BC.h"

struct RwTexture;

// What the texture callback of one update works with.
struct EFPaletteTransitionPass {
	f32						fRatio;
	u32						uiCurrentState;
	u32						uiTargetState;
	const EFPaletteDictionary*	poDictionary;
};

class EFPaletteMgr_SP : public EFPaletteMgr_BC {
public:
	// Advances the transition by the frame time dt.
	void					Update( f32 dt );

	// Blends one texture's palette; data is an EFPaletteTransitionPass.
	static RwTexture*		TransitionTextureCallBack( RwTexture* texture, void* data );

	// The 16-bit palette entries of a colour 0xRRGGBBAA's channels.
	static u16				PackRGB565( u32 red, u32 green, u32 blue );
	static u16				PackRGB5A3( u32 red, u32 green, u32 blue, u32 alpha );
};

#endif
