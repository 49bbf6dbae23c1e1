/*
===============================================================================

	Saturating float-to-integer conversion for engine code.

	Out-of-range values clamp and NaN takes a fixed value, as on the console,
	instead of the undefined behaviour of a plain cast. The host layer owns
	the rule (platform/types/PlatformFloatToInt.h); these names forward to it.

===============================================================================
*/
#ifndef DT_FLOAT_TO_INT_H
#define DT_FLOAT_TO_INT_H

#include "datatypes/base/DTTypes.h"
#include "platform/types/PlatformFloatToInt.h"

// Truncates toward zero; values beyond the s32 range clamp, NaN gives INT32_MIN.
inline s32 DTFloatToS32( const f64 v ) { return PlatformFloatToS32( v ); }

// Truncates toward zero; negative values and NaN give 0, large values clamp.
inline u32 DTFloatToU32( const f64 v ) { return PlatformFloatToU32( v ); }

// Truncates toward zero into 16 bits with the same clamping.
inline s16 DTFloatToS16( const f64 v ) { return PlatformFloatToS16( v ); }

#endif
