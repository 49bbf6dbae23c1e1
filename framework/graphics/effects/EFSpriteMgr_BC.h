/*
===============================================================================

	Sprite manager, portable half: the groups, newest first, with ids
	counted from 1, and the three passes the frame render draws them in.
	Each pass turns fog off around its groups and draws them in list
	order.

===============================================================================
*/
#ifndef EF_SPRITE_MGR_BC_H
#define EF_SPRITE_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFSprite;
class EFSpriteGroup;

class EFSpriteMgr_BC {
public:
							EFSpriteMgr_BC();
	virtual					~EFSpriteMgr_BC();

	// The new group, at the head; null without memory.
	EFSpriteGroup*			AddSpriteGroup();
	// Unknown ids do nothing.
	void					RemoveSpriteGroup( u32 id );
	void					RemoveAllSpriteGroups();
	EFSpriteGroup*			GetSpriteGroup( u32 id ) const;
	// The first sprite with that id in any group.
	EFSprite*				GetSprite( u32 id ) const;
	void					Terminate() { RemoveAllSpriteGroups(); }

	// Groups with neither pass flag, with 0x02 but not 0x20, with 0x20.
	void					RenderNormal();
	void					RenderTransparent();
	void					RenderOccluded();

	void					ReleaseLender( u32 lenderId );

	struct GroupNode {
		GroupNode*			mpoNext;
		EFSpriteGroup*		mpoGroup;
	};

	u32						mui32NextGroupId;
	GroupNode*				mpoGroups;

private:
	void					RenderPass( u32 pass );
	static void				DeleteGroup( EFSpriteGroup* group );
};

#endif
