/*
===============================================================================

	Decoder of the stored spline block: N big-endian spline headers of 48
	bytes at block offset H, each naming a table of n segment records of
	164 bytes by its block offset. The block is decoded once, field by
	field, into one allocation that holds the spline headers followed by
	every segment; each header points at its own segments there.

	The block is checked before anything is kept: the header table and
	every segment table must lie inside the block, every spline must have
	at least one segment, every float must be finite and the lengths must
	not be negative. The decoded segments may not outnumber the records
	the block can hold, so overlapping tables cannot inflate the result.

===============================================================================
*/
#ifndef EF_SPLINE_DECODER_H
#define EF_SPLINE_DECODER_H

#include "datatypes/base/DTTypes.h"

class EFQuadraticSpline;

// Stored sizes of a spline header and of a segment record.
constexpr u32 EF_SPLINE_HEADER_BYTES	= 48;
constexpr u32 EF_SPLINE_SEGMENT_BYTES	= 164;

class EFSplineDecoder {
public:
	// Decodes count headers at headerOffset of a block of size bytes. On
	// success returns the allocation (free it with MMFree) and sets
	// splines to the first header; on failure prints why and returns null.
	static void *			Decode( const u8 * block, u32 size, u32 count, u32 headerOffset,
									EFQuadraticSpline *& splines );

private:
	// Checks the tables and returns the total segment count; false when
	// the block is malformed.
	static bool				Check( const u8 * block, u32 size, u32 count, u32 headerOffset, u64 & segments );
	static void				DecodeHeader( const u8 * bytes, EFQuadraticSpline & spline );
	static void				DecodeSegment( const u8 * bytes, struct EFSplineSegment & segment );
};

#endif
