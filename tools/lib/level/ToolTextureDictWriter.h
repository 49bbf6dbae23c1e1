/*
===============================================================================

	Texture-dictionary files (.TXD): one record per texture, an image
	chunk followed by the name's length (32-bit little-endian) and the
	name's bytes without a terminator.

===============================================================================
*/
#ifndef TOOL_TEXTURE_DICT_WRITER_H
#define TOOL_TEXTURE_DICT_WRITER_H

#include "tools/lib/graphics3d/ToolImageChunkWriter.h"

#include <string>
#include <vector>

struct ToolTextureRecord {
	std::string				name;
	ToolImage				image;
};

// Appends one record; false (nothing appended) for an image that cannot
// be written.
bool	ToolAppendTextureRecord( const ToolTextureRecord& record, std::vector<u8>& out );
// A whole dictionary file.
bool	ToolWriteTextureDictionary( const std::vector<ToolTextureRecord>& records, std::vector<u8>& out );
// A record whose stored name length is length, followed by nameBytes
// bytes of 'X' (for files that must not load).
bool	ToolAppendTextureRecordWithLength( const ToolImage& image, u32 length, u32 nameBytes, std::vector<u8>& out );

#endif
