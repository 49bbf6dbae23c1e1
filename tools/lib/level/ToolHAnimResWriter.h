/*
===============================================================================

	Writer of skeletal animation resources (class 79): after the
	resource id and its users, the animation block (see
	ToolAnimBlockWriter), the collision-primitive track (an i16 count and
	commands of f32 time, u16 primitive, u16 code and the code's payload
	words) and the timed-command table (a header {u32, count, record
	size} and records {f32 time, u32 type, u32 parameter}). Everything is
	big-endian.

	A table may be written with a record size other than 12 (each record
	cut or padded with zeros to that size) or with a count that promises
	more records than follow, for the loader's malformed cases.

===============================================================================
*/
#ifndef TOOL_HANIM_RES_WRITER_H
#define TOOL_HANIM_RES_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <vector>

class ToolBigEndianWriter;

constexpr s32 TOOL_CLASS_HANIM_RES			= 79;
constexpr u32 TOOL_HANIM_COMMAND_BYTES		= 12;

// Collision-primitive command codes.
enum ToolCollPrimCode : u16 {
	TOOL_CP_ATTR_INT		= 0,
	TOOL_CP_ATTR_REAL		= 1,
	TOOL_CP_BOUND_SPHERE	= 2,
	TOOL_CP_TRANSLATE		= 3,
	TOOL_CP_SPHERE_RADIUS	= 4,
	TOOL_CP_SWEPT_AXIS		= 5,
	TOOL_CP_SWEPT_RADIUS	= 6,
	TOOL_CP_BBOX_DIM		= 7,
	TOOL_CP_GLOBAL_SPHERE	= 8,
	TOOL_CP_PRIM_EXPORTED	= 9,
};

struct ToolCollPrimCommand {
	f32						time = 0.0f;
	u16						primitive = 0;
	u16						code = 0;
	// The payload's 32-bit words in stream order (floats as their bits).
	std::vector<u32>		words;
};

struct ToolTimedCommand {
	f32						time = 0.0f;
	// 0 a sound (parameter: its index among the node's sound ids), else
	// a notification.
	u32						type = 0;
	u32						parameter = 0;
};

struct ToolHAnimRes {
	u32						id = 0;
	u32						users = 1;
	std::vector<u8>			block;
	std::vector<ToolCollPrimCommand>	track;
	u32						tableWord = 0;
	std::vector<ToolTimedCommand>	commands;
	u32						recordSize = TOOL_HANIM_COMMAND_BYTES;
	// Records promised beyond those written.
	u32						extraCount = 0;
};

class ToolHAnimResWriter {
public:
	static void				Write( ToolBigEndianWriter & out, const ToolHAnimRes & resource );
	static std::vector<u8>	Encode( const ToolHAnimRes & resource );
	// Just the table, as the loader reads it after the track.
	static void				WriteCommandTable( ToolBigEndianWriter & out, const ToolHAnimRes & resource );

	// Commands of each payload shape.
	static ToolCollPrimCommand	AttrInt( f32 time, u16 primitive, s32 index, s32 value );
	// Codes 3, 5, 7: end time and three start and end values.
	static ToolCollPrimCommand	Vector( u16 code, f32 time, u16 primitive, f32 end, const std::array<f32, 3> & from,
										const std::array<f32, 3> & to );
	// Codes 4, 6: one start and end value.
	static ToolCollPrimCommand	Value( u16 code, f32 time, u16 primitive, f32 end, f32 from, f32 to );
	// Code 2: centre and radius from and to.
	static ToolCollPrimCommand	BoundSphere( f32 time, u16 primitive, f32 end, const std::array<f32, 4> & from,
											 const std::array<f32, 4> & to );
	static ToolCollPrimCommand	GlobalSphere( f32 time, const std::array<f32, 4> & sphere );
	static ToolCollPrimCommand	Exported( f32 time, u16 primitive );
};

#endif
