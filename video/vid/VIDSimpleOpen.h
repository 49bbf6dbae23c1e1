/*
===============================================================================

	Opening and closing a movie.

	Open reads the file header, the header chunk with its picture and sound
	sub-chunks, and the first frame's header, and keeps what the player
	needs in the reader's record. Only a movie of version 1.0 whose picture
	has a size, whose frame count and frame rate make playback end and pace,
	and whose largest frame gives read-ahead slots that fit memory is
	accepted; anything else closes the file again and fails, so the player
	returns as for a missing file.

	Header reads never take more than the reader keeps: a sub-chunk's first
	32 bytes, and of the sound header at most the 540 bytes of its area.
	The rest of every sub-chunk is stepped over without reading it.

===============================================================================
*/
#ifndef VID_SIMPLE_OPEN_H
#define VID_SIMPLE_OPEN_H

#include "datatypes/base/DTTypes.h"

// Opens the movie at name (a disc path). With suppressAudio set the sound
// header is ignored and the movie plays silent. 1 when the file is open
// and its header read; 0 when a movie is already open or the file is
// missing or unusable.
s32		VIDSimpleOpen( const char* name, s32 suppressAudio );

// Closes the movie. 0, changing nothing, when none is open, or while it is
// running or a read is in progress: stop it first.
s32		VIDSimpleClose();

#endif
