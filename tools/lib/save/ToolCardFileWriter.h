/*
===============================================================================

	Writer of memory-card saves for tests and tools: the card icon, the
	card file of one save, and the host card folder that holds it.

	The icon is the project's own 32 x 32 picture in RGB5A3 (big-endian
	16-bit texels, all opaque): a blue-to-green ramp inside a white frame
	with a dark diagonal, 2048 bytes. A card file holds the data length,
	a 64-byte comment, the icon, the data, the data's CRC-32 (the save
	image writer's bitwise CRC) and zeros to the end of its last sector.

===============================================================================
*/
#ifndef TOOL_CARD_FILE_WRITER_H
#define TOOL_CARD_FILE_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <filesystem>
#include <string>
#include <vector>

constexpr u32 TOOL_CARD_ICON_SIDE		= 32;
constexpr u32 TOOL_CARD_ICON_BYTES		= TOOL_CARD_ICON_SIDE * TOOL_CARD_ICON_SIDE * 2;
constexpr u32 TOOL_CARD_COMMENT_BYTES	= 64;
constexpr u32 TOOL_CARD_COMMENT_OFFSET	= 4;
constexpr u32 TOOL_CARD_ICON_OFFSET		= 68;
// Where the data starts with the 2048-byte icon.
constexpr u32 TOOL_CARD_DATA_OFFSET		= TOOL_CARD_ICON_OFFSET + TOOL_CARD_ICON_BYTES;
constexpr u32 TOOL_CARD_SECTOR_SIZE		= 8192;
// The card's status: addresses and formats a save carries.
constexpr u32 TOOL_CARD_ADDRESS_NONE	= 0xFFFFFFFF;
constexpr u32 TOOL_CARD_ICON_RGB5A3		= 2;
constexpr u32 TOOL_CARD_SPEED_SLOW		= 3;

// The icon's bytes (icon.rgb).
std::vector<u8>		ToolWriteCardIcon();

struct ToolCardFile {
	// Exactly 64 bytes are written: shorter is padded with zeros. Two
	// 32-character lines.
	std::string			comment = std::string( "Sample save", 11 ) + std::string( 21, '\0' ) + "Slot one";
	std::vector<u8>		icon = ToolWriteCardIcon();
	std::vector<u8>		data;
	u32					sectorSize = TOOL_CARD_SECTOR_SIZE;
};

// The file's bytes: ((icon + data + 72) / sector + 1) whole sectors.
std::vector<u8>		ToolWriteCardFile( const ToolCardFile& file );

// One card file's status line of a card folder's directory.txt.
struct ToolCardEntry {
	u32					fileNo = 0;
	std::string			name;
	u32					time = 0;
	u32					commentAddr = TOOL_CARD_COMMENT_OFFSET;
	u32					iconAddr = TOOL_CARD_ICON_OFFSET;
	u32					iconFormat = TOOL_CARD_ICON_RGB5A3;
	u32					iconSpeed = TOOL_CARD_SPEED_SLOW;
	u32					bannerFormat = 0;
	std::vector<u8>		bytes;		// the file, whole sectors
};

// The host file name of a card file name (letters, digits, '-', '_' and
// '.' kept, other bytes as %XX).
std::string			ToolCardStoredName( const std::string& name );

// The directory.txt text of a card holding these files.
std::string			ToolCardDirectoryText( const std::vector<ToolCardEntry>& entries );

// Writes the files and directory.txt into a card folder (made when
// needed); false with a message on failure.
bool				ToolWriteCardFolder( const std::filesystem::path& folder, const std::vector<ToolCardEntry>& entries,
										 std::string& error );

#endif
