/*
===============================================================================

	The palette manager (global object goPaletteMgr): palette transitions
	over the textures of the current dictionary.

===============================================================================
*/
#ifndef EF_PALETTE_MGR_H
#define EF_PALETTE_MGR_H

#include "framework/graphics/EFPaletteMgrRW.h"

class EFPaletteMgr : public EFPaletteMgr_SP {
};

extern EFPaletteMgr	goPaletteMgr;

#endif
