/*
===============================================================================

	Frame lists: hierarchies read from a frame-list chunk.

	The chunk holds a struct chunk (a u32 count and one 56-byte record per
	frame: right, up, at and position as little-endian floats, the parent
	index and a word the reader ignores), then one extension chunk per
	frame in record order. A parent index names an earlier record; a
	negative one leaves the frame a root.

	A record's matrix stays orthonormal (only the identity bit cleared)
	when its normal and orthogonal errors are at most 0.01 and its
	determinant is at least 0.99; otherwise it loses 0x20003.

	The count must fit the struct payload and every parent index must be
	below its record's own. Any failure destroys the frames read so far and
	frees the array, leaving the list empty (null array, count 0).

===============================================================================
*/
#ifndef RW_FRAME_LIST_H
#define RW_FRAME_LIST_H

#include "graphics3d/core/RwFrame.h"

struct RwStream;

struct RwFrameList {
	RwFrame**	frames;
	s32			numFrames;
};

// Bytes of one frame record in the struct chunk.
constexpr u32 RWFRAMELIST_RECORD_BYTES = 56;

// Reads the frame-list chunk's payload from a stream positioned inside
// it. Null on failure.
RwFrameList*	_rwFrameListStreamRead( RwStream* stream, RwFrameList* frameList );
// Frees the array, not the frames.
RwFrameList*	_rwFrameListDeinitialize( RwFrameList* frameList );

#endif
