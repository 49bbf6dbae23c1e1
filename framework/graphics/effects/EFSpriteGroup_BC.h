/*
===============================================================================

	A group of sprites, portable half: id, pass and drawing flags, blend
	mode and the sprites, newest first.

	Flags: 0x01 sort each batch far first, 0x02 transparent pass, 0x04
	depth write off, 0x08 depth test off, 0x10 stencil read on, 0x20
	occluded pass (neither pass flag: the normal pass).

===============================================================================
*/
#ifndef EF_SPRITE_GROUP_BC_H
#define EF_SPRITE_GROUP_BC_H

#include "datatypes/base/DTTypes.h"

class EFSprite;

constexpr u32 EF_SPRITE_SORT			= 0x01;
constexpr u32 EF_SPRITE_TRANSPARENT		= 0x02;
constexpr u32 EF_SPRITE_NO_ZWRITE		= 0x04;
constexpr u32 EF_SPRITE_NO_ZTEST		= 0x08;
constexpr u32 EF_SPRITE_STENCIL			= 0x10;
constexpr u32 EF_SPRITE_OCCLUDED		= 0x20;

class EFSpriteGroup_BC {
public:
							EFSpriteGroup_BC( u32 id );
	virtual					~EFSpriteGroup_BC();

	// The new sprite's id.
	u32						AddSprite( u32 objectId, u32 joint, f32 size );
	EFSprite*				GetSprite( u32 id ) const;
	// Unknown ids do nothing.
	void					RemoveSprite( u32 id );
	void					RemoveAllSprites();
	void					SetBlendMode( u32 mode ) { mui32BlendMode = mode; }
	// Sprites that borrowed lenderId's frame take frames of their own.
	void					ReleaseLender( u32 lenderId );

	u32						mui32Id;
	u32						mui32Flags;
	u32						mui32BlendMode;
	EFSprite*				mpoSprites;
	u32						mui32Count;
};

#endif
