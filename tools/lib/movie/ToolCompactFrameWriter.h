/*
===============================================================================

	Compact frame writer.

	Builds one frame of the console decoder's own format: a short header
	that replaces the layer and plane headers of an MPEG-4 stream, padded to
	a byte, followed by the plane's macroblock data copied bit for bit and
	zero padding to a multiple of 4 bytes (the decoder reads whole words).

	Header, in bit order: 16 zero bits; the frame type (2); the sequence
	flag (1), and when set the sprite flag (1) with point count (2) and
	accuracy (2), the quantisation type (1) with each matrix's load flag
	and its coded values, the interlaced flag (1) and a 0 bit; the rounding
	type (1, 0 for I and B); the intra-DC threshold index (3); the
	quantiser (5); the forward f-code (3) unless I; for I, P and S the
	32-bit reference time, for B the backward f-code (3) and the 32-bit
	B time; for S each warping point's x and y as a 14-bit magnitude and a
	sign bit (1 = negative); when interlaced, top field first (1) and
	alternate vertical scan (1).

===============================================================================
*/
#ifndef TOOL_COMPACT_FRAME_WRITER_H
#define TOOL_COMPACT_FRAME_WRITER_H

#include "tools/lib/movie/ToolM4vHeaders.h"

#include <vector>

class ToolBitWriter;

struct ToolCompactFrame {
	std::vector<u8>	bytes;			// a multiple of 4 bytes
	u64				headerBits;		// header length before the byte padding
};

class ToolCompactFrameWriter {
public:
	// Builds the frame of vop with the macroblock bits [firstBit, endBit) of
	// data. time is the absolute time in ticks of the layer's resolution.
	static ToolCompactFrame	Build( const ToolM4vVol& vol, const ToolM4vVop& vop, bool sequenceFlag, u32 time,
								   const u8* data, u64 firstBit, u64 endBit );

private:
	static void				WriteSequence( ToolBitWriter& writer, const ToolM4vVol& vol );
	static void				WriteMatrix( ToolBitWriter& writer, const ToolM4vCodedMatrix& matrix );
	static void				WriteWarpingComponent( ToolBitWriter& writer, s32 value );
};

#endif
