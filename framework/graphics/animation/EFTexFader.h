/*
===============================================================================

	Texture fader of the graphics manager: fades the textures of 3D
	objects in and out over time.

	Placeholder body: Update has no fades to advance yet and is recorded in
	the call trace.

===============================================================================
*/
#ifndef EF_TEX_FADER_H
#define EF_TEX_FADER_H

#include "datatypes/base/DTTypes.h"

class EFTexFader {
public:
	// Advances the running fades by dt seconds.
	void					Update( f32 dt );
	void					Terminate();
};

#endif
