/*
===============================================================================

	Hex fixtures for the tool tests.

	Expected byte images are written out by hand as hex text ("12 34 AB"),
	so that a mistake shared by a writer and a reader cannot hide.

===============================================================================
*/
#ifndef TOOL_TEST_HEX_H
#define TOOL_TEST_HEX_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <string_view>
#include <vector>

// Bytes of a hex text; blanks and '|' separate nothing and are skipped.
inline std::vector<u8> ToolTestHex( const std::string_view text ) {
	std::vector<u8> bytes;
	int				high = -1;
	for ( const char c : text ) {
		int digit = -1;
		if ( c >= '0' && c <= '9' ) {
			digit = c - '0';
		} else if ( c >= 'A' && c <= 'F' ) {
			digit = c - 'A' + 10;
		} else if ( c >= 'a' && c <= 'f' ) {
			digit = c - 'a' + 10;
		} else {
			continue;
		}
		if ( high < 0 ) {
			high = digit;
		} else {
			bytes.push_back( static_cast<u8>( high * 16 + digit ) );
			high = -1;
		}
	}
	return bytes;
}

// Hex text of bytes, for readable failure messages.
inline std::string ToolTestToHex( const std::vector<u8>& bytes ) {
	static const char digits[] = "0123456789ABCDEF";
	std::string		  text;
	for ( const u8 b : bytes ) {
		if ( !text.empty() ) {
			text += ' ';
		}
		text += digits[b >> 4];
		text += digits[b & 0xF];
	}
	return text;
}

#endif
