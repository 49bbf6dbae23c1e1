/*
===============================================================================

	Texture fader of the graphics manager (its moTexFader): cross-fades
	materials of 3D objects between textures. The world update advances
	it once a frame; the 3D objects draw through it while they hold
	fades; the logic API starts and pauses fades.

===============================================================================
*/
#ifndef EF_TEX_FADER_H
#define EF_TEX_FADER_H

#include "framework/graphics/animation/EFTexFaderRW.h"

class EFTexFader : public EFTexFader_SP {
public:
							EFTexFader();
	// Frees every entry.
							~EFTexFader() override;
};

#endif
