/*
===============================================================================

	Three slides read from one slide file. A file holds, for each slide,
	five pictures (an image chunk, a little-endian name length and the
	name) followed by the slide's 256-byte record.

===============================================================================
*/
#ifndef EF_SLIDE_BLOCK_H
#define EF_SLIDE_BLOCK_H

#include "framework/graphics/EFSlide.h"

constexpr u32 EF_SLIDES_PER_BLOCK	= 3;
// Result of a block that could not be read in full.
constexpr s32 EF_SLIDE_BLOCK_FAILED	= -2;

class EFSlideBlock {
public:
	// The block's slides from a file image of size bytes, textures in
	// heap 1 and the current dictionary: 0, or -2 at the first picture
	// or record that cannot be read (the slides before it stay). The
	// current heap is the same afterwards on every path.
	s32						LoadBlock( const void * buffer, u32 size );
	// Slide i (first .. last) becomes the current one.
	void					SetSlide( u32 i );
	void					Render();
	// Not loaded; the slides' textures destroyed.
	void					Reset();

	EFSlide					maoSlide[EF_SLIDES_PER_BLOCK];
	EFSlide *				mpoCurrentSlide = &maoSlide[0];
	u32						muiLast = 0;
	u32						muiFirst = 0;
	u32						muiLoaded = 0;
};

#endif
