/*
===============================================================================

	Reader of the compact frame header, written for the tests.

	Reads the header field by field in the console decoder's order, with
	its own bit reader, so that a mistake in the writer's field order shows
	up as a wrong value here. Sequence settings (interlacing and sprite
	points) carry over from frame to frame as in the decoder.

===============================================================================
*/
#ifndef COMPACT_HEADER_READER_H
#define COMPACT_HEADER_READER_H

#include "datatypes/base/DTTypes.h"

#include <vector>

struct CompactHeader {
	u32					leadingBits;		// the first 16 bits
	u32					type;
	bool				sequence;
	bool				sprite;
	u32					warpingPoints;
	u32					warpingAccuracy;
	bool				mpegQuant;
	bool				intraLoaded;
	std::vector<u8>		intraValues;		// as coded, with a terminating 0
	bool				interLoaded;
	std::vector<u8>		interValues;
	bool				interlaced;
	u32					ignoredBit;
	u32					rounding;
	u32					intraDcThreshold;
	u32					quantiser;
	u32					forwardFCode;
	u32					backwardFCode;
	u32					time;
	std::vector<s32>	warpX;
	std::vector<s32>	warpY;
	bool				topFieldFirst;
	bool				alternateScan;
	u64					headerBits;			// before the padding to a byte
	u64					payloadBit;			// where the macroblock data starts
};

class CompactHeaderReader {
public:
	// Reads one frame's header; false when the frame is too short.
	bool				Read( const std::vector<u8>& frame, CompactHeader* header );

private:
	bool				interlaced = false;
	bool				sprite = false;
	u32					warpingPoints = 0;
};

// Bit i (most significant first) of bytes; 0 past the end.
u32 BitAt( const std::vector<u8>& bytes, u64 bit );

#endif
