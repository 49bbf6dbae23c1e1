/*
===============================================================================

	Platform half of the text window: draws the laid-out glyphs as
	textured quads, batched in a work-memory block of 1285 glyphs (5140
	immediate-2D vertices and 7710 indices) and flushed as an indexed
	triangle list on a texture-page change, a full batch, a font or a
	colour command and at the end. Without the block nothing is drawn
	that frame; a glyph whose font, record or colour group is missing is
	skipped.

===============================================================================
*/
#ifndef EF_HUD_TEXT_WINDOW_RW_H
#define EF_HUD_TEXT_WINDOW_RW_H

#include "framework/graphics/hud/EFHudTextWindow_BC.h"

constexpr u32 EF_HUD_TEXT_BATCH_GLYPHS	= 1285;

class EFHudTextWindow_SP : public EFHudTextWindow_BC {
public:
							EFHudTextWindow_SP( u32 flags, u32 priority );

	void					SpecificRender( EFCamera * camera, unsigned long & count ) override;
};

#endif
