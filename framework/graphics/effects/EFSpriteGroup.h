/*
===============================================================================

	A group of sprites with its texture, colour, blend mode and flags.

===============================================================================
*/
#ifndef EF_SPRITE_GROUP_H
#define EF_SPRITE_GROUP_H

#include "framework/graphics/effects/EFSpriteGroup_SP.h"

class EFSpriteGroup : public EFSpriteGroup_SP {
public:
	explicit				EFSpriteGroup( u32 id ) : EFSpriteGroup_SP( id ) {}
};

#endif
