/*
===============================================================================

	A sprite of a sprite group: a positioned instance, so that the
	world's lookup by id can hand it out as one.

	Only the class exists so far; its fields and operations come with its
	own work.

===============================================================================
*/
#ifndef EF_SPRITE_H
#define EF_SPRITE_H

#include "framework/core/world/EFPosData.h"

class EFSprite : public EFPosData {
};

#endif
