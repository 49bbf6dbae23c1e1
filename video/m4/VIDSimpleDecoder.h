/*
===============================================================================

	The movie reader's video decoder.

	Creates and destroys the decoder held in the reader's record, for the
	open movie's picture size, and routes the reader's picture payloads to
	the real decoder: the picture sink is set to VIDVideoDecode when the
	program starts (a test may still install its own).

===============================================================================
*/
#ifndef VID_SIMPLE_DECODER_H
#define VID_SIMPLE_DECODER_H

#include "video/m4/M4Memory.h"

// Creates the decoder for the movie's width and height, reordering output
// when reorder is non-zero; 1 when a decoder was obtained, else 0. A
// decoder the record already holds is destroyed first.
s32		VIDSimpleCreateDecoder( M4AllocCallback alloc, M4FreeCallback free, M4AllocCallback fastAlloc, s32 reorder );
// Destroys the record's decoder, if any.
void	VIDSimpleDestroyDecoder();

#endif
