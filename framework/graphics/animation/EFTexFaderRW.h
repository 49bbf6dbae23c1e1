/*
===============================================================================

	Platform half of the texture fader: its material plug-in
	(0x69690000), and the drawing of faded 3D objects. Placeholder:
	registering does nothing yet, no object is faded, a faded atomic is
	not drawn and forgetting an object has nothing to forget.

===============================================================================
*/
#ifndef EF_TEX_FADER_RW_H
#define EF_TEX_FADER_RW_H

#include "datatypes/base/DTTypes.h"

class EF3dObj;
struct RpAtomic;

class EFTexFader_SP {
public:
	// Registers the fader's material data; 1 on success.
	static s32				InitPlugIn();
	// Draws the atomic of object for the level of detail lod faded.
	static void				FadeAtomic( EF3dObj * object, RpAtomic * atomic, u32 lod );
	// Forgets every fade of object.
	static void				DestroyEntry( EF3dObj * object );
};

#endif
