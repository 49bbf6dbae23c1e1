/*
===============================================================================

	View of one key curve of an animation data block.

	A curve is big-endian: start time (f32), end time (f32), the infinity
	modes (u8: high nibble before the start, low nibble after the end; 0
	clamps, 5 swings back and forth, anything else repeats), the kind (u8:
	1 constant, 4 compressed, anything else cubic), the key count (u16,
	read by the camera module only), then from byte 12 the keys. A
	constant curve holds one f32; a cubic key is five f32 {segment end
	time, a, b, c, d}; a compressed key is {f32 segment end time, u32
	packed (a, b), u32 packed (c, d)}. A key's segment starts at the
	previous key's end, the first at the curve's start; the value at local
	parameter u is d + u (u (a u + b) + c).

	The view is bounded by the bytes from the curve to the end of its
	block: the key walk stops at the last key that lies wholly inside
	them, whatever the times say. A curve too short for its first value
	evaluates to 0. A curve whose end is not after its start maps every
	time outside it to the start, and a segment of no length is evaluated
	at its start (u = 0), so no time ever divides by zero.

	The view does not own the bytes.

===============================================================================
*/
#ifndef DT_FCURVE_H
#define DT_FCURVE_H

#include "datatypes/base/DTTypes.h"

// Layout of a curve.
constexpr u32 DT_FCURVE_MODES_OFFSET		= 8;
constexpr u32 DT_FCURVE_KIND_OFFSET			= 9;
constexpr u32 DT_FCURVE_KEY_COUNT_OFFSET	= 10;
constexpr u32 DT_FCURVE_FIRST_KEY			= 12;
constexpr u32 DT_FCURVE_CUBIC_KEY_BYTES		= 20;
constexpr u32 DT_FCURVE_COMPRESSED_KEY_BYTES	= 12;

// Kinds; every other value is cubic.
constexpr u8 DT_FCURVE_CONSTANT				= 1;
constexpr u8 DT_FCURVE_CUBIC				= 2;
constexpr u8 DT_FCURVE_COMPRESSED			= 4;

// Infinity modes; every other value repeats the curve.
constexpr u8 DT_FCURVE_CLAMP				= 0;
constexpr u8 DT_FCURVE_CYCLE				= 3;
constexpr u8 DT_FCURVE_OSCILLATE			= 5;

class DTFCurve {
public:
	// bytes: how many bytes follow the curve's first byte in its block.
							DTFCurve( const u8 * curve, const u32 bytes );

	// False when the bytes cannot even hold the 12-byte head.
	bool					IsValid() const;
	f32						GetStart() const;
	f32						GetEnd() const;
	u8						GetPreInfinity() const;
	u8						GetPostInfinity() const;
	u8						GetKind() const;
	// The stored key count (the engine's own walk is bounded by bytes).
	u32						GetKeyCount() const;

	// Maps a time outside [start, end] into it by the infinity modes.
	f32						FindSegmentTime( const f32 t ) const;
	// The cubic key whose segment holds t and t's local parameter u in it;
	// null when no key fits in the bytes.
	const u8 *				FindSegmentAndConvertTime( const f32 t, f32 & u ) const;
	// The same over compressed keys.
	const u8 *				FindSegmentCompAndConvertTime( const f32 t, f32 & u ) const;

	// The curve's value at time t, infinity modes applied.
	f32						Evaluate( const f32 t ) const;

private:
	const u8 *				FindSegment( const f32 t, const u32 keyBytes, f32 & u ) const;

	const u8 *				mpCurve;
	u32						muiBytes;
};

#endif
