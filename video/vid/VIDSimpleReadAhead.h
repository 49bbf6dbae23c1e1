/*
===============================================================================

	The movie reader's read-ahead.

	Ten slots hold frames ahead of the decoder. Each frame is one disc read
	that also fetches the 32-byte header of the frame after it, so the size
	of the next read is known without another read. Start preloads the
	slots with synchronous reads; after that each read's completion (at
	interrupt level) starts the next one at once while the next slot is
	free, and the decoder restarts the chain when it frees a slot the chain
	stopped at. A looping movie reads frame 0 again after the last frame.

	A frame that would not fit its slot, a size too small to hold the next
	header, or a short read ends the reading: the frames already buffered
	still decode and the movie then ends as after its last frame. A fatal
	disc error only stops the reading; the player's disc check ends the
	movie.

===============================================================================
*/
#ifndef VID_SIMPLE_READ_AHEAD_H
#define VID_SIMPLE_READ_AHEAD_H

#include "datatypes/base/DTTypes.h"

typedef void*	( *VIDAllocCallback )( u32 size );
typedef void	( *VIDFreeCallback )( void* block );

// Allocates the ten slots of the open movie in one block from alloc, all
// empty and 32-byte aligned. 0 when no movie is open, slots are already
// allocated or the allocation fails.
s32		VIDSimpleAllocDVDBuffers( VIDAllocCallback alloc );

// Frees the slots with freeBlock. A read still in progress is cancelled first,
// so the disc never writes into freed memory.
void	VIDSimpleFreeDVDBuffers( VIDFreeCallback freeBlock );

// Preloads the slots (ten, or every frame of a shorter movie that does not
// loop) and starts the chained reads. 1 when reading started; 0 when no
// movie is open, it is already running, it has no slots, or a preload
// read failed (the error flag is then set).
s32		VIDSimpleLoadStart( s32 loop );

// Stops reading: a read in progress is cancelled, every slot emptied and
// the position set back to the first frame. 1, or 0 when no movie is open.
s32		VIDSimpleLoadStop();

// Hands the next buffered frame's picture to the video decoder and its
// sound to the movie audio. 1 when a frame was decoded, 0 when the next
// slot holds no frame yet.
s32		VIDSimpleDecode();

#endif
