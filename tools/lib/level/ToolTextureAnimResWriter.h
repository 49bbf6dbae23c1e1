/*
===============================================================================

	Writer of texture-animation resources (class 44): the resource id,
	its users, a u32 key count, then per key an f32 end time and the
	texture's name as a stored string (u32 length with the zero, the
	text, a zero). Big-endian. A count may promise more keys than follow.

===============================================================================
*/
#ifndef TOOL_TEXTURE_ANIM_RES_WRITER_H
#define TOOL_TEXTURE_ANIM_RES_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <string>
#include <utility>
#include <vector>

constexpr s32 TOOL_CLASS_TEXTURE_ANIM_RES	= 44;

struct ToolTextureAnimRes {
	u32						id = 0;
	u32						users = 1;
	// {end time, texture name}, sorted by time.
	std::vector<std::pair<f32, std::string>>	keys;
	u32						extraCount = 0;
};

class ToolTextureAnimResWriter {
public:
	static std::vector<u8>	Encode( const ToolTextureAnimRes & resource );
};

#endif
