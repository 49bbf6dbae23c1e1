/*
===============================================================================

	Saturating float-to-integer conversion.

	The console's conversion instructions clamp an out-of-range value to the
	nearest representable integer and turn NaN into the most negative one;
	in C++ the same conversion is undefined. Engine code that may see such
	values converts through these helpers, which truncate toward zero like
	the cast they replace. The rule itself lives with the host layer, which
	needs it too.

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
