/*
===============================================================================

	Platform half of the texture fader: its material plug-in
	(0x69690000). Placeholder: registering does nothing yet.

===============================================================================
*/
#ifndef EF_TEX_FADER_RW_H
#define EF_TEX_FADER_RW_H

#include "datatypes/base/DTTypes.h"

class EFTexFader_SP {
public:
	// Registers the fader's material data; 1 on success.
	static s32				InitPlugIn();
};

#endif
