#include "tools/lib/ToolIniWriter.h"

#include <cctype>

static bool IsTokenCharacter( const u8 c ) {
	return ( c >= 'A' && c <= 'Z' ) || ( c >= 'a' && c <= 'z' ) || ( c >= '0' && c <= '9' ) || c == '-' ||
		   c == '.' || c == '\\' || c == '/' || c == '_';
}

static bool SameKey( const std::string_view a, const std::string_view b ) {
	if ( a.size() != b.size() ) {
		return false;
	}
	for ( size_t i = 0; i < a.size(); i++ ) {
		if ( std::toupper( static_cast<u8>( a[i] ) ) != std::toupper( static_cast<u8>( b[i] ) ) ) {
			return false;
		}
	}
	return true;
}

bool ToolIniWriter::IsToken( const std::string_view text ) {
	if ( text.empty() || text.size() > TOOL_INI_TOKEN_MAX ) {
		return false;
	}
	for ( const char c : text ) {
		if ( !IsTokenCharacter( static_cast<u8>( c ) ) ) {
			return false;
		}
	}
	return true;
}

bool ToolIniWriter::Set( const std::string_view key, const std::string_view value ) {
	if ( !IsToken( key ) || !IsToken( value ) ) {
		return false;
	}
	for ( Entry& entry : entries ) {
		if ( SameKey( entry.key, key ) ) {
			entry.value = value;
			return true;
		}
	}
	entries.push_back( Entry{ std::string( key ), std::string( value ) } );
	return true;
}

bool ToolIniWriter::SetInteger( const std::string_view key, const s32 value ) {
	return Set( key, std::to_string( value ) );
}

std::string ToolIniWriter::Text() const {
	std::string text;
	for ( const Entry& entry : entries ) {
		text += entry.key;
		text += " = ";
		text += entry.value;
		text += '\n';
	}
	return text;
}
