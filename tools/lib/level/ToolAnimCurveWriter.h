/*
===============================================================================

	Writer of the key curves an animation block's entries point at.

	A curve is a 12-byte head (f32 start, f32 end, u8 infinity modes with
	the before-start mode in the high nibble, u8 kind, u16 key count) and
	its keys: a constant curve one f32; a cubic curve keys of five f32
	{segment end, a, b, c, d}; a compressed curve keys of {f32 segment
	end, packed (a, b), packed (c, d)}, each pair two 16-bit floats with an
	exponent bias of 20, the first in the low half. Everything is
	big-endian.

	Packing rounds to the nearest 10-bit mantissa; magnitudes above the
	largest half clamp to it and magnitudes below the smallest normal half
	become zero of the same sign. A half expanded by the engine packs back
	to itself.

===============================================================================
*/
#ifndef TOOL_ANIM_CURVE_WRITER_H
#define TOOL_ANIM_CURVE_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <utility>
#include <vector>

struct ToolAnimBlock;

// Kinds as the engine reads them; any value but 1 and 4 is cubic.
constexpr u8 TOOL_CURVE_CONSTANT	= 1;
constexpr u8 TOOL_CURVE_CUBIC		= 2;
constexpr u8 TOOL_CURVE_COMPRESSED	= 4;

// Infinity modes: 0 holds the end value, 5 swings back and forth, others repeat.
constexpr u8 TOOL_CURVE_CLAMP		= 0;
constexpr u8 TOOL_CURVE_CYCLE		= 3;
constexpr u8 TOOL_CURVE_OSCILLATE	= 5;

// One segment: it ends at `end` and starts where the previous one ended.
struct ToolCurveKey {
	f32						end = 0.0f;
	f32						a = 0.0f;
	f32						b = 0.0f;
	f32						c = 0.0f;
	f32						d = 0.0f;
};

struct ToolCurve {
	f32						start = 0.0f;
	f32						end = 0.0f;
	u8						preInfinity = TOOL_CURVE_CLAMP;
	u8						postInfinity = TOOL_CURVE_CLAMP;
	u8						kind = TOOL_CURVE_CUBIC;
	// The value of a constant curve.
	f32						value = 0.0f;
	std::vector<ToolCurveKey>	keys;
};

class ToolAnimCurveWriter {
public:
	static std::vector<u8>	Encode( const ToolCurve & curve );

	// A constant curve.
	static ToolCurve		Constant( const f32 value );
	// A cubic curve of one segment going linearly from `from` at `start`
	// to `to` at `end`.
	static ToolCurve		Linear( const f32 start, const f32 end, const f32 from, const f32 to );

	// Appends the curve to the block's payload and returns its offset from
	// the start of the block; the block's tracks must be complete.
	static u32				AppendCurve( ToolAnimBlock & block, const ToolCurve & curve );

	// A block of camera tracks, one per (spline id, channels), each channel
	// a (channel number, curve) entry marked 0x05 in its high byte; encoded.
	using Channels = std::vector<std::pair<u32, ToolCurve>>;
	static std::vector<u8>	SplineBlock( const std::vector<std::pair<u32, Channels>> & tracks, f32 duration = 0.0f );

	// One value as a 16-bit half, and a pair as the engine unpacks it.
	static u16				PackHalf( const f32 value );
	static u32				PackPair( const f32 first, const f32 second );
};

#endif
