/*
===============================================================================

	Sprite manager (global object goSpriteMgr), driven by the logic API's
	graphics table and the frame render; the world asks it for sprites by
	id.

===============================================================================
*/
#ifndef EF_SPRITE_MGR_H
#define EF_SPRITE_MGR_H

#include "framework/graphics/effects/EFSpriteMgr_BC.h"

class EFSpriteMgr : public EFSpriteMgr_BC {
};

extern EFSpriteMgr	goSpriteMgr;

#endif
