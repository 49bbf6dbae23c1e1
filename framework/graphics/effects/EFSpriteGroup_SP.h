/*
===============================================================================

	A group of sprites, drawing half: texture and colour, and the drawing
	of the sprites as screen-space squares in batches of up to 128, each
	batch one triangle list built on the stack with its positions taken
	to camera space in one call.

	Blend modes: 0 opaque ONE / ZERO, 1 additive ONE / ONE, 2 darkening
	ZERO / INVSRCCOLOR, 3 alpha SRCALPHA / INVSRCALPHA; 1-3 with vertex
	alpha on, and after drawing vertex alpha off and ONE / ZERO again.

===============================================================================
*/
#ifndef EF_SPRITE_GROUP_SP_H
#define EF_SPRITE_GROUP_SP_H

#include "framework/graphics/effects/EFSpriteGroup_BC.h"

class DTColor;
struct RwTexture;

constexpr u32 EF_SPRITE_BATCH		= 128;
constexpr u8 EF_SPRITE_GREY			= 128;

class EFSpriteGroup_SP : public EFSpriteGroup_BC {
public:
							EFSpriteGroup_SP( u32 id );

	// 255 x each component, saturating.
	void					SetColor( DTColor& color );
	// The texture of that name in the current dictionary; an unknown name
	// keeps the texture there is.
	void					SetTexture( const char* name );

	void					Render();
	// Draws count sprites from first; the sprite after them.
	EFSprite*				RenderBatch( u32 count, EFSprite* first );

	RwTexture*				mpoTexture;
	u8						mui8Color[4];
};

#endif
