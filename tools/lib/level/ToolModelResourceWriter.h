/*
===============================================================================

	Model resource records (class 91, "EF_3DOBJ_RES").

	A record is the resource id and the number of users, big-endian, then
	library data, little-endian: the clump chunk, the version word, and
	from version 0x5406 on a marker word (0xFFFFFFFF: no emitters) and
	the emitter container in its little-endian form. Every part may be
	left out or cut short, for malformed records; the text form's file
	holds the library data alone.

	The clump and the emitters are given as stored (ToolClumpWriter::Chunk,
	Emitters), since the 3D library's tool records and the level's share
	some names and never meet in one source file.

===============================================================================
*/
#ifndef TOOL_MODEL_RESOURCE_WRITER_H
#define TOOL_MODEL_RESOURCE_WRITER_H

#include "tools/lib/ToolBigEndianWriter.h"

#include <optional>
#include <vector>

struct ToolEmitterContainer;

constexpr s32 TOOL_CLASS_3D_OBJECT_RES			= 91;
constexpr u32 TOOL_MODEL_EMITTER_VERSION		= 0x5406;
constexpr u32 TOOL_MODEL_NO_EMITTERS			= 0xFFFFFFFF;

struct ToolModelResource {
	u32									id = 0;
	u32									users = 1;
	std::optional<std::vector<u8>>		clump;			// the chunk as stored
	std::optional<u32>					version = TOOL_MODEL_EMITTER_VERSION;
	// Written when set, else from version 0x5406 on: 0 with emitters,
	// 0xFFFFFFFF without.
	std::optional<u32>					marker;
	std::optional<std::vector<u8>>		emitters;		// the container as stored
	// Library-data bytes dropped from the end, for cut records.
	size_t								cut = 0;
};

class ToolModelResourceWriter {
public:
	// The library data: clump, version, marker, emitters.
	static std::vector<u8>		LibraryData( const ToolModelResource& model );
	// The whole record.
	static void					Write( ToolBigEndianWriter& out, const ToolModelResource& model );
	static std::vector<u8>		Record( const ToolModelResource& model );
	// An emitter container in the little-endian form.
	static std::vector<u8>		Emitters( const ToolEmitterContainer& container );
};

// The sample model (ToolSampleModelClump) under id for users, without
// emitters.
ToolModelResource	ToolSampleModel( u32 id, u32 users );
// A grid's rectangle (ToolQuadModelClump, with texture coordinates) under
// id for one user, without emitters.
ToolModelResource	ToolQuadModel( u32 id, f32 width, f32 depth, const u8 ( &colour )[4] );

#endif
