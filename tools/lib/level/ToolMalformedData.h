/*
===============================================================================

	Damage for stored images, to test that loaders refuse bad data.

	Each function returns a damaged copy of a well-formed image: cut short
	at a byte, or with one stored word (a count, a size, a class id)
	replaced by another value, negative and huge values included.

===============================================================================
*/
#ifndef TOOL_MALFORMED_DATA_H
#define TOOL_MALFORMED_DATA_H

#include "datatypes/base/DTTypes.h"

#include <vector>

class ToolMalformedData {
public:
	// The first length bytes of image (all of it when it is shorter).
	static std::vector<u8>	TruncateAt( const std::vector<u8>& image, size_t length );

	// image with the big-endian word at offset replaced; the image is
	// returned unchanged when the word does not lie in it.
	static std::vector<u8>	ReplaceU32( const std::vector<u8>& image, size_t offset, u32 value );
	static std::vector<u8>	ReplaceS32( const std::vector<u8>& image, size_t offset, s32 value );
	// The same for a little-endian word.
	static std::vector<u8>	ReplaceLittleU32( const std::vector<u8>& image, size_t offset, u32 value );
};

#endif
