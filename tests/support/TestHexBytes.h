/*
===============================================================================

	Bytes from hex text, for the small hand-written fixtures that pin a
	stored format independently of the writers.

	Spaces and line ends between digits are ignored, so bytes can be
	grouped by field. A trailing odd digit is dropped.

===============================================================================
*/
#ifndef TEST_HEX_BYTES_H
#define TEST_HEX_BYTES_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <vector>

// The bytes that text spells, two hex digits each.
inline std::vector<u8> HexBytes( const std::string& text ) {
	std::vector<u8> bytes;
	std::string digits;
	for ( const char c : text ) {
		if ( c != ' ' && c != '\n' ) {
			digits.push_back( c );
		}
	}
	for ( size_t i = 0; i + 1 < digits.size(); i += 2 ) {
		bytes.push_back( static_cast<u8>( std::stoul( digits.substr( i, 2 ), nullptr, 16 ) ) );
	}
	return bytes;
}

#endif
