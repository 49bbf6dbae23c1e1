/*
===============================================================================

	Movie file walker, written for the tests.

	Walks a .vid file the way the console's read-ahead reader does (a
	sub-chunk is taken only while 32 or more bytes of its chunk remain) and
	reports the first rule the file breaks: chunk sizes that are not
	multiples of 32, sub-chunks the walk would skip or overrun, padding that
	is not zeros, a frame read that would not find the next frame's size
	28 bytes before its end, a missing trailer.

===============================================================================
*/
#ifndef VID_WALKER_H
#define VID_WALKER_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <vector>

struct VidSubChunk {
	u32					tag;
	u32					version;
	std::vector<u8>		payload;
};

struct VidFrameChunk {
	u64							offset;
	u32							size;
	std::vector<VidSubChunk>	subChunks;
};

struct VidMovie {
	u32							headSize = 0;
	std::vector<VidSubChunk>	headSubChunks;
	u32							videoVersion = 0;
	u32							width = 0;
	u32							height = 0;
	u32							frameCount = 0;
	u32							largestFrame = 0;
	u32							rateNumerator = 0;
	u32							rateDenominator = 0;
	bool						hasAudio = false;
	std::vector<u8>				audioHeader;		// AUDH payload
	std::vector<VidFrameChunk>	frames;
};

// Walks file into movie; false with the broken rule in problem.
bool WalkVid( const std::vector<u8>& file, VidMovie* movie, std::string* problem );

// The payload of the first sub-chunk of the frame with this tag, or null.
const VidSubChunk* FindSubChunk( const VidFrameChunk& frame, u32 tag );

#endif
