/*
===============================================================================

	Saturating float-to-integer conversion.

	The console's conversion instructions clamp an out-of-range value to the
	nearest representable integer and turn NaN into the most negative one;
	in C++ the same conversion is undefined. Engine code that may see such
	values converts through these helpers, which truncate toward zero like
	the cast they replace. The engine's own helpers forward here, so the
	clamping rule has one definition.

===============================================================================
*/
#ifndef PLATFORM_FLOAT_TO_INT_H
#define PLATFORM_FLOAT_TO_INT_H

#include "platform/types/PlatformTypes.h"

// Truncates toward zero; values beyond the s32 range clamp, NaN gives INT32_MIN.
inline s32 PlatformFloatToS32( const f64 v ) {
	if ( !( v == v ) ) {
		return INT32_MIN;
	}
	if ( v >= 2147483647.0 ) {
		return INT32_MAX;
	}
	if ( v <= -2147483648.0 ) {
		return INT32_MIN;
	}
	return static_cast<s32>( v );
}

// Truncates toward zero; negative values and NaN give 0, large values clamp.
inline u32 PlatformFloatToU32( const f64 v ) {
	if ( !( v > 0.0 ) ) {
		return 0;
	}
	if ( v >= 4294967295.0 ) {
		return UINT32_MAX;
	}
	return static_cast<u32>( v );
}

// Truncates toward zero into 16 bits with the same clamping.
inline s16 PlatformFloatToS16( const f64 v ) {
	const s32 wide = PlatformFloatToS32( v );
	if ( wide > INT16_MAX ) {
		return INT16_MAX;
	}
	if ( wide < INT16_MIN ) {
		return INT16_MIN;
	}
	return static_cast<s16>( wide );
}

#endif
