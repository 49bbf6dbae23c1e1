/*
===============================================================================

	Start-code splitter for MPEG-4 elementary streams.

	Cuts a stream into units at every 00 00 01 prefix. A unit is the start
	code's value and the bytes after it up to the next prefix, so a plane's
	unit ends with its stuffing bits and nothing of the next header.

===============================================================================
*/
#ifndef TOOL_M4V_START_CODES_H
#define TOOL_M4V_START_CODES_H

#include "datatypes/base/DTTypes.h"

#include <vector>

// Start code values (the byte after the 00 00 01 prefix).
constexpr u8 TOOL_M4V_VIDEO_OBJECT_LAST	= 0x1F;	// 0x00 to 0x1F: video object
constexpr u8 TOOL_M4V_VOL_FIRST			= 0x20;	// 0x20 to 0x2F: video object layer
constexpr u8 TOOL_M4V_VOL_LAST			= 0x2F;
constexpr u8 TOOL_M4V_SEQUENCE_START	= 0xB0;
constexpr u8 TOOL_M4V_SEQUENCE_END		= 0xB1;
constexpr u8 TOOL_M4V_USER_DATA			= 0xB2;
constexpr u8 TOOL_M4V_GOV				= 0xB3;
constexpr u8 TOOL_M4V_VISUAL_OBJECT		= 0xB5;
constexpr u8 TOOL_M4V_VOP				= 0xB6;

struct ToolM4vUnit {
	u8		code;
	u64		offset;		// first byte after the start code
	u64		size;		// bytes up to the next start code or the stream's end
};

class ToolM4vStartCodes {
public:
	// The stream's units in order. leadingBytes receives the number of
	// bytes before the first start code.
	static std::vector<ToolM4vUnit>	Split( const u8* data, u64 size, u64* leadingBytes );
};

#endif
