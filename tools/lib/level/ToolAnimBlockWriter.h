/*
===============================================================================

	Writer of animation data blocks.

	A block is a 16-byte header (total size first, duration at byte 8, the
	track count at byte 12, then the animation group, the blend kind (2:
	an additive layer) and the root byte (1: joint 0 is the root)) followed by its tracks: an 8-byte head (u32
	joint, u16 entry count, u16 flags) and 8-byte entries (u32 target, u32
	offset from the block start), then whatever payload bytes the caller
	appends. Everything is big-endian.

===============================================================================
*/
#ifndef TOOL_ANIM_BLOCK_WRITER_H
#define TOOL_ANIM_BLOCK_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <vector>

struct ToolAnimEntry {
	u32						target = 0;
	u32						offset = 0;
};

struct ToolAnimTrack {
	u32						joint = 0;
	u16						flags = 0;
	std::vector<ToolAnimEntry>	entries;
};

struct ToolAnimBlock {
	f32						duration = 0.0f;
	u8						group = 0;
	u8						blendKind = 0;
	u8						root = 0;
	std::vector<ToolAnimTrack>	tracks;
	// Appended after the tracks (the curves the entries point at).
	std::vector<u8>			payload;
};

class ToolAnimBlockWriter {
public:
	// The whole block; its first word holds the total size.
	static std::vector<u8>	Encode( const ToolAnimBlock& block );
	// Offset of the first byte after the tracks, where the payload starts.
	static u32				PayloadOffset( const ToolAnimBlock& block );
	// A stored animation resource: its id and user count, then the
	// encoded block.
	static std::vector<u8>	Resource( const std::vector<u8>& encodedBlock, u32 id = 0x49000001, u32 users = 1 );
};

#endif
