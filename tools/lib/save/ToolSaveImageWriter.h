/*
===============================================================================

	Writer of save images for tests and tools: the header, the logic
	chunk and the game-buffer chunk from plain values, with both CRC-32
	checksums stamped by a bitwise CRC of its own (no table), so that a
	mistake shared with the engine's table-driven CRC cannot hide.

	Stamp recomputes the checksums of edited bytes, which lets tests build
	images that are damaged inside yet pass the checksum tests.

===============================================================================
*/
#ifndef TOOL_SAVE_IMAGE_WRITER_H
#define TOOL_SAVE_IMAGE_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <vector>

// One game buffer as it is saved: header words and data.
struct ToolSaveBuffer {
	u32						id = 0;
	u32						count = 0;
	bool					persistent = true;
	std::vector<u8>			data;
};

struct ToolSaveImage {
	std::string				title;
	std::string				levelName;
	// 1024 bytes; shorter is padded with zeros.
	std::vector<u8>			logicBlock;
	std::vector<ToolSaveBuffer>	buffers;
};

// CRC-32 (IEEE 802.3) computed bit by bit.
u32					ToolSaveCrc( const u8* data, size_t length );

// The image's bytes, checksums stamped. Names longer than 31 characters
// are cut.
std::vector<u8>		ToolWriteSaveImage( const ToolSaveImage& image );

// Stamps both checksums of image (its stored size from the header, at most
// the byte count).
void				ToolStampSaveImage( std::vector<u8>& image );

// Byte offsets of the header fields and chunks tests edit.
constexpr size_t TOOL_SAVE_CHUNK_COUNT_OFFSET	= 60;
constexpr size_t TOOL_SAVE_IMAGE_SIZE_OFFSET	= 64;
constexpr size_t TOOL_SAVE_LOGIC_CHUNK_OFFSET	= 140;
constexpr size_t TOOL_SAVE_BUFFER_CHUNK_OFFSET	= 1176;
constexpr size_t TOOL_SAVE_FIRST_RECORD_OFFSET	= 1188;

#endif
