#include "tools/lib/save/ToolCardFileWriter.h"

#include "tools/lib/ToolFile.h"
#include "tools/lib/save/ToolSaveImageWriter.h"

#include <algorithm>
#include <cstdio>

namespace {

void PutU32( std::vector<u8>& bytes, const size_t offset, const u32 value ) {
	for ( size_t i = 0; i < 4; i++ ) {
		bytes[offset + i] = static_cast<u8>( value >> ( 24 - 8 * i ) );
	}
}

// An opaque RGB5A3 texel from 5-bit components.
u16 Opaque( const u32 red, const u32 green, const u32 blue ) {
	return static_cast<u16>( 0x8000 | ( red << 10 ) | ( green << 5 ) | blue );
}

}

std::vector<u8> ToolWriteCardIcon() {
	std::vector<u8> icon( TOOL_CARD_ICON_BYTES );
	for ( u32 y = 0; y < TOOL_CARD_ICON_SIDE; y++ ) {
		for ( u32 x = 0; x < TOOL_CARD_ICON_SIDE; x++ ) {
			u16 texel = Opaque( 2, x, 31 - y );
			if ( x == 0 || y == 0 || x == TOOL_CARD_ICON_SIDE - 1 || y == TOOL_CARD_ICON_SIDE - 1 ) {
				texel = Opaque( 31, 31, 31 );
			} else if ( x == y ) {
				texel = Opaque( 4, 4, 8 );
			}
			const size_t at = ( y * TOOL_CARD_ICON_SIDE + x ) * 2;
			icon[at] = static_cast<u8>( texel >> 8 );
			icon[at + 1] = static_cast<u8>( texel );
		}
	}
	return icon;
}

std::vector<u8> ToolWriteCardFile( const ToolCardFile& file ) {
	const size_t content = file.icon.size() + file.data.size() + 72;
	const size_t sector = file.sectorSize != 0 ? file.sectorSize : TOOL_CARD_SECTOR_SIZE;
	std::vector<u8> bytes( ( content / sector + 1 ) * sector, 0 );
	PutU32( bytes, 0, static_cast<u32>( file.data.size() ) );
	std::copy_n( file.comment.begin(), std::min<size_t>( file.comment.size(), TOOL_CARD_COMMENT_BYTES ),
				 bytes.begin() + TOOL_CARD_COMMENT_OFFSET );
	std::copy( file.icon.begin(), file.icon.end(), bytes.begin() + TOOL_CARD_ICON_OFFSET );
	const size_t data = TOOL_CARD_ICON_OFFSET + file.icon.size();
	std::copy( file.data.begin(), file.data.end(), bytes.begin() + static_cast<std::ptrdiff_t>( data ) );
	PutU32( bytes, data + file.data.size(), ToolSaveCrc( file.data.data(), file.data.size() ) );
	return bytes;
}

std::string ToolCardStoredName( const std::string& name ) {
	std::string stored;
	for ( size_t i = 0; i < name.size(); i++ ) {
		const u8 c = static_cast<u8>( name[i] );
		const bool kept = ( c >= 'a' && c <= 'z' ) || ( c >= 'A' && c <= 'Z' ) || ( c >= '0' && c <= '9' ) || c == '-' ||
						  c == '_' || c == '.';
		const bool reserved = i == 0 && ( name[0] == '.' || name == "directory.txt" || name == "card.cfg" );
		if ( kept && !reserved ) {
			stored += static_cast<char>( c );
		} else {
			char hex[4];
			std::snprintf( hex, sizeof( hex ), "%%%02X", c );
			stored += hex;
		}
	}
	return stored;
}

std::string ToolCardDirectoryText( const std::vector<ToolCardEntry>& entries ) {
	std::string text;
	for ( const ToolCardEntry& entry : entries ) {
		char line[256];
		std::snprintf( line, sizeof( line ), "%u %s %zu %u %08x %08x %04x %04x %02x\n", entry.fileNo,
					   ToolCardStoredName( entry.name ).c_str(), entry.bytes.size(), entry.time, entry.commentAddr,
					   entry.iconAddr, entry.iconFormat, entry.iconSpeed, entry.bannerFormat );
		text += line;
	}
	return text;
}

bool ToolWriteCardFolder( const std::filesystem::path& folder, const std::vector<ToolCardEntry>& entries, std::string& error ) {
	if ( !ToolMakeFolders( folder, error ) ) {
		return false;
	}
	for ( const ToolCardEntry& entry : entries ) {
		if ( !ToolWriteFile( folder / ToolCardStoredName( entry.name ), entry.bytes, error ) ) {
			return false;
		}
	}
	return ToolWriteTextFile( folder / "directory.txt", ToolCardDirectoryText( entries ), error );
}
