/*
===============================================================================

	Sprite manager (global object goSpriteMgr): groups of sprites attached
	to objects. Placeholder body: no group is ever made.

===============================================================================
*/
#ifndef EF_SPRITE_MGR_BC_H
#define EF_SPRITE_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFSprite;

class EFSpriteGroup_BC;

class EFSpriteMgr_BC {
public:
	EFSpriteGroup_BC*		AddSpriteGroup();
	void					RemoveSpriteGroup( u32 id );
	EFSpriteGroup_BC*		GetSpriteGroup( u32 id ) const;
	EFSprite*				GetSprite( u32 id );
	void					Terminate();
	void					RenderNormal();
	void					RenderTransparent();
	void					RenderOccluded();
};

extern EFSpriteMgr_BC	goSpriteMgr;

#endif
