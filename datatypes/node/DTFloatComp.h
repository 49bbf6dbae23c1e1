/*
===============================================================================

	Packed pairs of 16-bit floats in compressed animation keys.

	One 32-bit word holds two halves, the first in bits 0-15 and the second
	in bits 16-31. A half is a sign (bit 15), a 5-bit exponent (bits 10-14)
	and a 10-bit mantissa (bits 0-9); its exponent is biased by 20, so it
	spans roughly 2^-19 to 2^12, the range of animation coefficients. An
	exponent field of 0 expands to a single with exponent field 0 (zero or
	a denormal), with no implicit bit.

===============================================================================
*/
#ifndef DT_FLOAT_COMP_H
#define DT_FLOAT_COMP_H

#include "datatypes/base/DTTypes.h"

class DTFloatComp {
public:
	// Expands the word's low half into first and its high half into second.
	static void				Decompress1075( const u32 packed, f32 & first, f32 & second );
	// One half alone, as a single-precision bit pattern.
	static u32				ExpandHalf( const u16 half );
};

#endif
