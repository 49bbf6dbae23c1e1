/*
===============================================================================

	The compressed pictures of a movie file, for the decoder tests that
	feed committed movies to the decoder without the disc reader.

	The header chunk at byte 32 is walked for the picture header's size;
	then every frame chunk that follows it, with its sub-chunks starting
	32 bytes in, gives the payload of each picture sub-chunk in file order.
	Every size is checked against what is left of the file and of its
	chunk before a byte is read, so a damaged file is refused rather than
	read past its end.

===============================================================================
*/
#ifndef M4_TEST_MOVIE_FRAMES_H
#define M4_TEST_MOVIE_FRAMES_H

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTTypes.h"

#include <cstddef>
#include <vector>

// A chunk tag as the file stores it, read big-endian.
constexpr u32 M4TestTag( const char ( &text )[5] ) {
	return ( static_cast<u32>( static_cast<u8>( text[0] ) ) << 24 ) | ( static_cast<u32>( static_cast<u8>( text[1] ) ) << 16 ) |
		   ( static_cast<u32>( static_cast<u8>( text[2] ) ) << 8 ) | static_cast<u32>( static_cast<u8>( text[3] ) );
}

// Reads the picture size and the picture payloads of file (each in a
// block of its exact size) into the outputs; false when the file is
// malformed. A file with no frame chunk gives no frames and true.
inline bool M4TestReadMovieFrames( const std::vector<u8>& file, u32* width, u32* height, std::vector<std::vector<u8>>* frames ) {
	if ( file.size() < 64 || DTReadBE32( &file[32] ) != M4TestTag( "HEAD" ) ) {
		return false;
	}
	const u64 headSize = DTReadBE32( &file[36] );
	if ( 32 + headSize > file.size() ) {
		return false;
	}
	for ( u64 p = 44; p + 32 <= 32 + headSize; ) {
		const u32 size = DTReadBE32( &file[p + 4] );
		if ( DTReadBE32( &file[p] ) == M4TestTag( "VIDH" ) ) {
			*width = DTReadBE16( &file[p + 12] );
			*height = DTReadBE16( &file[p + 14] );
		}
		if ( size == 0 ) {
			return false;
		}
		p += size;
	}
	u64 offset = 32 + headSize;
	while ( offset + 32 <= file.size() && DTReadBE32( &file[offset] ) == M4TestTag( "FRAM" ) ) {
		const u32 size = DTReadBE32( &file[offset + 4] );
		if ( size < 32 || offset + size > file.size() ) {
			return false;
		}
		u64 p = offset + 32;
		u64 remaining = size - 32u;
		while ( remaining >= 32 ) {
			const u32 subSize = DTReadBE32( &file[p + 4] );
			if ( subSize < 12 || subSize > remaining ) {
				return false;
			}
			if ( DTReadBE32( &file[p] ) == M4TestTag( "VIDD" ) ) {
				frames->emplace_back( file.begin() + static_cast<std::ptrdiff_t>( p + 12 ),
									  file.begin() + static_cast<std::ptrdiff_t>( p + subSize ) );
			}
			p += subSize;
			remaining -= subSize;
		}
		offset += size;
	}
	return true;
}

#endif
