/*
===============================================================================

	Light chunks (0x12) of the 3D library.

	A light is a struct of 24 bytes (radius, red, green, blue, cone value,
	and a word with the light type in bits 16-23 and the flags in bits
	0-7) and an empty extension chunk. The struct's stamp can be chosen
	(chunks older than 0x30300 store the cone as a tangent) and its length
	cut or zero-padded.

===============================================================================
*/
#ifndef TOOL_LIGHT_WRITER_H
#define TOOL_LIGHT_WRITER_H

#include "tools/lib/ToolChunkWriter.h"

constexpr u32 TOOL_CHUNK_LIGHT = 0x12;

// The struct length of a light as this system writes it.
constexpr u32 TOOL_LIGHT_STRUCT_BYTES = 24;

struct ToolLight {
	f32		radius = 0.0f;
	f32		red = 1.0f;
	f32		green = 1.0f;
	f32		blue = 1.0f;
	f32		cone = 0.0f;		// negated cosine, or the tangent before 0x30300
	u32		type = 1;
	u8		flags = 3;
	u32		structBytes = TOOL_LIGHT_STRUCT_BYTES;
	u32		structStamp = 0;	// 0: this system's stamp
};

class ToolLightWriter {
public:
	// Appends the whole light chunk.
	static void		Write( ToolChunkWriter& writer, const ToolLight& light );
};

#endif
