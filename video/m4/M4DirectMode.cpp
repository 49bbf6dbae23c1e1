#include "video/m4/M4DirectMode.h"

bool M4DirectTimes( const u32 bTime, const u32 pastTime, const u32 futureTime, s64* trb, s64* trd ) {
	// Tick counters wrap, so a distance is the signed 32-bit difference.
	const s64 b = static_cast<s32>( bTime - pastTime );
	const s64 d = static_cast<s32>( futureTime - pastTime );
	if ( d <= 0 ) {
		*trb = 1;
		*trd = 1;
		return false;
	}
	*trb = b;
	*trd = d;
	return true;
}

s32 M4DirectSaturate( const s64 value ) {
	if ( value > M4_DIRECT_MV_LIMIT ) {
		return static_cast<s32>( M4_DIRECT_MV_LIMIT );
	}
	if ( value < -M4_DIRECT_MV_LIMIT ) {
		return static_cast<s32>( -M4_DIRECT_MV_LIMIT );
	}
	return static_cast<s32>( value );
}

void M4DirectComponent( const s32 colocated, const s32 delta, const s64 trb, const s64 trd, s32* forward, s32* backward ) {
	const s64 divisor = trd > 0 ? trd : 1;
	// |trb| < 2^33 and |colocated| < 2^31 keep every product inside 64 bits.
	const s64 scaledForward = trb * colocated / divisor + delta;
	const s64 scaledBackward = delta == 0 ? ( trb - divisor ) * colocated / divisor : scaledForward - colocated;
	*forward = M4DirectSaturate( scaledForward );
	*backward = M4DirectSaturate( scaledBackward );
}
