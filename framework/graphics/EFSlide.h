/*
===============================================================================

	One slide of a slide show: a 256-byte record naming five pictures
	(NUL-terminated names at offsets 0, 51, 102, 153 and 204) and the five
	textures drawn side by side as vertical strips over the whole screen.

	A slide resolves its names only among the pictures its own record in
	the file came with, so a name that also belongs to a level texture, or
	to the same file resident in another block, never reaches a texture
	the slide does not own. A name not among them leaves its strip
	without a texture (drawn untextured).

===============================================================================
*/
#ifndef EF_SLIDE_H
#define EF_SLIDE_H

#include "datatypes/base/DTTypes.h"

struct RwTexture;

constexpr u32 EF_SLIDE_RECORD_BYTES		= 256;
constexpr u32 EF_SLIDE_PICTURES			= 5;
constexpr u32 EF_SLIDE_NAME_STRIDE		= 51;

class EFSlide {
public:
	// Copies the record and resolves its five names among pictures (the
	// five textures this slide's record came with; entries may be null).
	void					LoadSlide( const void * record, RwTexture * const * pictures );
	// Destroys the textures this slide resolved (each once) and forgets
	// them.
	void					Reset();
	// The five strips over the screen.
	void					Render();

	u8						macRecord[EF_SLIDE_RECORD_BYTES] = {};
	char *					mapcName[EF_SLIDE_PICTURES] = {};
	RwTexture *				mapoTexture[EF_SLIDE_PICTURES] = {};
};

#endif
