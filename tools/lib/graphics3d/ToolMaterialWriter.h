/*
===============================================================================

	Material (0x07) and material list (0x08) chunks of the 3D library.

	A material is a struct of 28 bytes (flags, colour bytes red, green,
	blue, alpha, a reserved word, the textured word, ambient, specular and
	diffuse floats), a texture chunk when textured, and the extension
	chunk with any plug-in entries. The struct can be written shorter
	(cut) or longer (zero-padded) than 28 bytes.

	A material list is a struct with the count and one index per entry (a
	negative index: a material chunk follows; 0 or more: reuse of that
	entry), then one material chunk per negative index in order. The
	stored count and the struct's length can differ from the entries, for
	malformed data.

===============================================================================
*/
#ifndef TOOL_MATERIAL_WRITER_H
#define TOOL_MATERIAL_WRITER_H

#include "tools/lib/graphics3d/ToolTextureWriter.h"

#include <optional>
#include <vector>

constexpr u32 TOOL_CHUNK_MATERIAL		= 0x07;
constexpr u32 TOOL_CHUNK_MATERIAL_LIST	= 0x08;

// The struct length of a material as this system writes it.
constexpr u32 TOOL_MATERIAL_STRUCT_BYTES = 28;

// One plug-in entry of an extension chunk.
struct ToolExtensionEntry {
	u32					pluginID;
	std::vector<u8>		payload;
};

struct ToolMaterial {
	u32								flags = 0;
	u8								color[4] = { 255, 255, 255, 255 };
	std::optional<ToolTexture>		texture;
	f32								ambient = 1.0f;
	f32								specular = 1.0f;
	f32								diffuse = 1.0f;
	u32								structBytes = TOOL_MATERIAL_STRUCT_BYTES;
	std::vector<ToolExtensionEntry>	extension;
};

struct ToolMaterialList {
	std::vector<s32>			indices;		// negative: the next material follows
	std::vector<ToolMaterial>	materials;		// one per negative index, in order
	std::optional<s32>			storedCount;	// else the number of indices
	u32							extraStructBytes = 0;	// zeros after the indices
	u32							stamp = 0;				// of the list chunk; 0: this system's
};

class ToolMaterialWriter {
public:
	// Appends the whole material chunk.
	static void		WriteMaterial( ToolChunkWriter& writer, const ToolMaterial& material );
	// Appends the whole material list chunk.
	static void		WriteList( ToolChunkWriter& writer, const ToolMaterialList& list );
	// Appends an extension chunk with the entries.
	static void		WriteExtension( ToolChunkWriter& writer, const std::vector<ToolExtensionEntry>& entries );
};

#endif
