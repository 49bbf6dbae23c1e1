/*
===============================================================================

	Writer of the sound tables of a bank: .TSE (sound events) and .TSC
	(sound containers), in the engine's big-endian layout.

	  header  magic 0x00525A51, platform 0x4347, tool version (major << 16
	          | minor, 21.0x30D), record count
	  .TSE    per record: 60 fixed bytes (unused words 0 and 4, spatial
	          mode, selection mode, near distance, near volume, far
	          distance, far volume, cut-off distance, element count, group
	          mask, instances, loop, killable, stop out of range, unused
	          byte, set mask, DSP effect), name length, name without
	          terminator, then the element words when the count is not 0
	  .TSC    per record: 24 fixed bytes (unused words 0 and 4, play mode,
	          element count, instances, loop word), name length, name,
	          element ids

	The element count written is the list's own length unless a record
	asks for another one (to make damaged files), and the header can be
	given any magic, platform, version and record count for the same
	reason.

===============================================================================
*/
#ifndef TOOL_SOUND_TABLE_WRITER_H
#define TOOL_SOUND_TABLE_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <optional>
#include <string>
#include <vector>

struct ToolSoundTableHeader {
	u32							magic = 0x00525A51;
	u32							platform = 0x4347;
	u32							major = 21;
	u32							minor = 0x30D;
	// The record count written; the records' own count when empty.
	std::optional<u32>			recordCount;
};

struct ToolSoundEventRecord {
	u32							unused0 = 0;
	u32							unused4 = 0;
	u32							spatialMode = 0;
	u32							selectionMode = 0;
	f32							nearDistance = 1.0f;
	f32							nearVolume = 1.0f;
	f32							farDistance = 10.0f;
	f32							farVolume = 0.0f;
	f32							cutOffDistance = 100.0f;
	u32							groupMask = 1;
	u32							instances = 1;
	u8							loop = 0;
	u8							killable = 1;
	u8							stopOutOfRange = 0;
	u8							unused51 = 0;
	u32							setMask = 0;
	u32							dspEffect = 0;
	std::string					name = "SOUND";
	std::vector<u32>			elements;
	// Written instead of the list's length (the list is still written whole).
	std::optional<u32>			elementCount;
	// Written instead of the name's length.
	std::optional<u32>			nameLength;
};

struct ToolSoundContainerRecord {
	u32							unused0 = 0;
	u32							unused4 = 0;
	u32							playMode = 0;
	u32							instances = 1;
	u32							loop = 0;
	std::string					name = "CONTAINER";
	std::vector<u32>			elements;
	std::optional<u32>			elementCount;
	std::optional<u32>			nameLength;
};

// The bytes of a .TSE file.
std::vector<u8>		ToolWriteSoundEventTable( const std::vector<ToolSoundEventRecord>& records,
											  const ToolSoundTableHeader& header = {} );
// The bytes of a .TSC file.
std::vector<u8>		ToolWriteSoundContainerTable( const std::vector<ToolSoundContainerRecord>& records,
												  const ToolSoundTableHeader& header = {} );

// Damaged variants of a table's bytes for loader tests and fuzz seeds: cut
// short at several places, and a record count far above what follows.
std::vector<std::vector<u8>>	ToolMalformedSoundTables( const std::vector<u8>& table );

#endif
