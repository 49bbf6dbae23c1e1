/*
===============================================================================

	Direct-mode vectors of B macroblocks.

	A direct macroblock scales the co-located vector of the newer
	reference by the time distances: TRB from the older reference to the
	B picture, TRD from the older to the newer reference. Per component,
	forward = TRB x col / TRD + delta, and backward = (TRB - TRD) x col /
	TRD when delta is 0, else forward - col, with C division (toward
	zero) on 64-bit products.

	Times come from the stream and may be anything: a distance TRD of 0
	or less (equal or corrupt time stamps) is replaced by TRB = TRD = 1,
	and every result is saturated to +-2^20 half samples, far outside any
	picture, so no product overflows and the prediction reads the same
	clamped edge pixels the exact vector would.

===============================================================================
*/
#ifndef M4_DIRECT_MODE_H
#define M4_DIRECT_MODE_H

#include "datatypes/base/DTTypes.h"

constexpr s64 M4_DIRECT_MV_LIMIT = static_cast<s64>( 1 ) << 20;

// TRB and TRD of a B picture at bTime between references at pastTime and
// futureTime (32-bit tick counters, differences taken modulo 2^32);
// false, with both set to 1, when TRD is not positive.
bool	M4DirectTimes( u32 bTime, u32 pastTime, u32 futureTime, s64* trb, s64* trd );

// value saturated to the direct vector range.
s32		M4DirectSaturate( s64 value );

// One component of the forward and backward direct vectors. trd must be
// positive.
void	M4DirectComponent( s32 colocated, s32 delta, s64 trb, s64 trd, s32* forward, s32* backward );

#endif
