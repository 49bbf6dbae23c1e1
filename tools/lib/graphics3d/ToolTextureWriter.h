/*
===============================================================================

	Texture chunks (0x06) of the 3D library's streams.

	A texture chunk names a texture: a struct with the filtering and
	addressing word (bits 0-7 filter mode, 8-11 addressing in U, 12-15 in
	V), a string chunk with the name, one with the mask name (empty for
	none) and an empty extension chunk. The stamp of the texture chunk
	itself can be chosen, so readers can be handed a bad version.

===============================================================================
*/
#ifndef TOOL_TEXTURE_WRITER_H
#define TOOL_TEXTURE_WRITER_H

#include "tools/lib/ToolChunkWriter.h"

#include <string>

constexpr u32 TOOL_CHUNK_TEXTURE = 0x06;

struct ToolTexture {
	u32				filterAddressing = 0x1102;	// linear, wrap in U and V
	std::string		name;
	std::string		maskName;
	u32				stamp = 0;					// 0: this system's stamp
};

class ToolTextureWriter {
public:
	// Appends the whole texture chunk.
	static void		Write( ToolChunkWriter& writer, const ToolTexture& texture );
};

#endif
