#include "tools/lib/level/ToolMalformedData.h"

#include "datatypes/base/DTByteOrder.h"

std::vector<u8> ToolMalformedData::TruncateAt( const std::vector<u8>& image, const size_t length ) {
	if ( length >= image.size() ) {
		return image;
	}
	return std::vector<u8>( image.begin(), image.begin() + static_cast<std::ptrdiff_t>( length ) );
}

std::vector<u8> ToolMalformedData::ReplaceU32( const std::vector<u8>& image, const size_t offset, const u32 value ) {
	std::vector<u8> copy = image;
	if ( offset <= copy.size() && copy.size() - offset >= 4 ) {
		DTWriteBE32( copy.data() + offset, value );
	}
	return copy;
}

std::vector<u8> ToolMalformedData::ReplaceS32( const std::vector<u8>& image, const size_t offset, const s32 value ) {
	return ReplaceU32( image, offset, static_cast<u32>( value ) );
}

std::vector<u8> ToolMalformedData::ReplaceLittleU32( const std::vector<u8>& image, const size_t offset, const u32 value ) {
	std::vector<u8> copy = image;
	if ( offset <= copy.size() && copy.size() - offset >= 4 ) {
		DTWriteLE32( copy.data() + offset, value );
	}
	return copy;
}
