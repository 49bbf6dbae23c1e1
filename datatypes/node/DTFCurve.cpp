#include "datatypes/node/DTFCurve.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/node/DTFloatComp.h"

namespace {

constexpr u32 START_OFFSET	= 0;
constexpr u32 END_OFFSET	= 4;

f32 Horner( const f32 a, const f32 b, const f32 c, const f32 d, const f32 u ) {
	return d + u * ( u * ( a * u + b ) + c );
}

} // namespace

DTFCurve::DTFCurve( const u8 * curve, const u32 bytes ) : mpCurve( curve ), muiBytes( curve != nullptr ? bytes : 0 ) {
}

bool DTFCurve::IsValid() const {
	return muiBytes >= DT_FCURVE_FIRST_KEY;
}

f32 DTFCurve::GetStart() const {
	return IsValid() ? DTReadBEF32( mpCurve + START_OFFSET ) : 0.0f;
}

f32 DTFCurve::GetEnd() const {
	return IsValid() ? DTReadBEF32( mpCurve + END_OFFSET ) : 0.0f;
}

u8 DTFCurve::GetPreInfinity() const {
	return IsValid() ? static_cast<u8>( mpCurve[DT_FCURVE_MODES_OFFSET] >> 4 ) : DT_FCURVE_CLAMP;
}

u8 DTFCurve::GetPostInfinity() const {
	return IsValid() ? static_cast<u8>( mpCurve[DT_FCURVE_MODES_OFFSET] & 0x0F ) : DT_FCURVE_CLAMP;
}

u8 DTFCurve::GetKind() const {
	return IsValid() ? mpCurve[DT_FCURVE_KIND_OFFSET] : DT_FCURVE_CONSTANT;
}

u32 DTFCurve::GetKeyCount() const {
	return IsValid() ? DTReadBE16( mpCurve + DT_FCURVE_KEY_COUNT_OFFSET ) : 0;
}

f32 DTFCurve::FindSegmentTime( const f32 t ) const {
	const f32 start = GetStart();
	const f32 end = GetEnd();
	const bool before = t < start;
	const bool after = t > end;
	if ( !before && !after ) {
		return t;
	}
	const u8 mode = before ? GetPreInfinity() : GetPostInfinity();
	if ( mode == DT_FCURVE_CLAMP ) {
		return before ? start : end;
	}
	const f32 length = end - start;
	if ( !( length > 0.0f ) ) {
		return start;
	}
	const f32 d = t - start;
	// Truncated toward zero; far times saturate instead of overflowing.
	s64 n = DTFloatToS32( d / length );
	f32 r = d - static_cast<f32>( n ) * length;
	if ( d >= 0.0f ) {
		n += 1;
	} else {
		r += length;
	}
	if ( n % 2 == 0 && mode == DT_FCURVE_OSCILLATE ) {
		r = length - r;
	}
	return start + r;
}

const u8 * DTFCurve::FindSegment( const f32 t, const u32 keyBytes, f32 & u ) const {
	u = 0.0f;
	if ( muiBytes < DT_FCURVE_FIRST_KEY + keyBytes ) {
		return nullptr;
	}
	const u8 * key = mpCurve + DT_FCURVE_FIRST_KEY;
	// One past the last whole key.
	const u8 * const limit = mpCurve + DT_FCURVE_FIRST_KEY + ( muiBytes - DT_FCURVE_FIRST_KEY ) / keyBytes * keyBytes;
	f32 segmentStart = GetStart();
	f32 keyEnd = DTReadBEF32( key );
	while ( t > keyEnd && key + keyBytes < limit ) {
		segmentStart = keyEnd;
		key += keyBytes;
		keyEnd = DTReadBEF32( key );
	}
	const f32 length = keyEnd - segmentStart;
	if ( length != 0.0f ) {
		u = ( t - segmentStart ) / length;
	}
	return key;
}

const u8 * DTFCurve::FindSegmentAndConvertTime( const f32 t, f32 & u ) const {
	return FindSegment( t, DT_FCURVE_CUBIC_KEY_BYTES, u );
}

const u8 * DTFCurve::FindSegmentCompAndConvertTime( const f32 t, f32 & u ) const {
	return FindSegment( t, DT_FCURVE_COMPRESSED_KEY_BYTES, u );
}

f32 DTFCurve::Evaluate( const f32 t ) const {
	if ( !IsValid() ) {
		return 0.0f;
	}
	const u8 kind = GetKind();
	if ( kind == DT_FCURVE_CONSTANT ) {
		return muiBytes >= DT_FCURVE_FIRST_KEY + 4 ? DTReadBEF32( mpCurve + DT_FCURVE_FIRST_KEY ) : 0.0f;
	}
	const f32 local = FindSegmentTime( t );
	f32 u = 0.0f;
	if ( kind == DT_FCURVE_COMPRESSED ) {
		const u8 * const key = FindSegmentCompAndConvertTime( local, u );
		if ( key == nullptr ) {
			return 0.0f;
		}
		f32 a, b, c, d;
		DTFloatComp::Decompress1075( DTReadBE32( key + 4 ), a, b );
		DTFloatComp::Decompress1075( DTReadBE32( key + 8 ), c, d );
		return Horner( a, b, c, d, u );
	}
	const u8 * const key = FindSegmentAndConvertTime( local, u );
	if ( key == nullptr ) {
		return 0.0f;
	}
	return Horner( DTReadBEF32( key + 4 ), DTReadBEF32( key + 8 ), DTReadBEF32( key + 12 ), DTReadBEF32( key + 16 ), u );
}
