#include "framework/core/engine/EFCommandLine.h"

#include "datatypes/file/DTFile.h"
#include "framework/core/engine/EFEEServerNetNode.h"

#include <cstring>

void EFCopyBounded( char* to, const u32 size, const char* text, const char* what ) {
	if ( text == nullptr || size == 0 ) {
		return;
	}
	u32 length = static_cast<u32>( std::strlen( text ) );
	if ( length >= size ) {
		DTPrintf( "%s TOO LONG (%u CHARACTERS), CUT TO %u!!!\n", what, length, size - 1 );
		length = size - 1;
	}
	std::memcpy( to, text, length );
	to[length] = '\0';
}

EFCommandLine::EFCommandLine( const char* command, EFAppContext& context ) {
	if ( command == nullptr ) {
		return;
	}
	const char* slash = std::strchr( command, '/' );
	while ( slash != nullptr ) {
		const char option = slash[1];
		const char* const dash = std::strchr( slash + 1, '-' );
		const char* const next = std::strchr( slash + 1, '/' );
		if ( dash == nullptr || ( next != nullptr && dash > next ) ) {
			ParseParam( option, nullptr, context );
		} else if ( next != nullptr ) {
			// The character just before the next option is its separator.
			char value[EF_COMMAND_VALUE_SIZE];
			std::memset( value, 0, sizeof( value ) );
			const char* const first = dash + 1;
			const char* const last = next - 1;
			if ( last > first ) {
				u32 length = static_cast<u32>( last - first );
				if ( length > EF_COMMAND_VALUE_MAX ) {
					DTPrintf( "COMMAND LINE VALUE TOO LONG (%u CHARACTERS), CUT TO %u!!!\n", length, EF_COMMAND_VALUE_MAX );
					length = EF_COMMAND_VALUE_MAX;
				}
				std::memcpy( value, first, length );
			}
			ParseParam( option, value, context );
		} else {
			ParseParam( option, dash + 1, context );
		}
		slash = next;
	}
}

void EFCommandLine::ParseParam( const char option, const char* value, EFAppContext& context ) {
	if ( option < 'a' || option > 'w' ) {
		return;
	}
	switch ( option ) {
		case 'c':
			EFCopyBounded( context.szResFilename, sizeof( context.szResFilename ), value, "RESOURCE FILE NAME" );
			break;
		case 'd':
			context.bDirectInputEnable = 0;
			break;
		case 'l':
			EFEEServerNetNode::EnableServerNode();
			break;
		case 'p':
			EFCopyBounded( context.szBaseDirectory, sizeof( context.szBaseDirectory ), value, "BASE DIRECTORY" );
			break;
		case 'v':
			context.bShowVideoDialog = 0;
			break;
		case 'w':
			EFCopyBounded( context.szLevelPath, sizeof( context.szLevelPath ), value, "LEVEL PATH" );
			break;
		default:
			break;
	}
}
