#include "datatypes/node/DTFloatComp.h"

#include <bit>

namespace {

constexpr u32 HALF_SIGN				= 0x8000;
constexpr u32 HALF_EXPONENT_SHIFT	= 10;
constexpr u32 HALF_EXPONENT_MASK	= 0x1F;
constexpr u32 HALF_MANTISSA_MASK	= 0x3FF;
// Single bias 127 minus the halves' bias 20.
constexpr u32 EXPONENT_REBIAS		= 107;
constexpr u32 SINGLE_EXPONENT_SHIFT	= 23;
// The 10 stored mantissa bits become the top of the single's 23.
constexpr u32 MANTISSA_SHIFT		= 13;

} // namespace

u32 DTFloatComp::ExpandHalf( const u16 half ) {
	const u32 sign = ( half & HALF_SIGN ) != 0 ? 0x80000000u : 0u;
	const u32 exponent = ( half >> HALF_EXPONENT_SHIFT ) & HALF_EXPONENT_MASK;
	const u32 mantissa = ( half & HALF_MANTISSA_MASK ) << MANTISSA_SHIFT;
	const u32 field = exponent != 0 ? ( exponent + EXPONENT_REBIAS ) << SINGLE_EXPONENT_SHIFT : 0u;
	return sign | field | mantissa;
}

void DTFloatComp::Decompress1075( const u32 packed, f32 & first, f32 & second ) {
	first = std::bit_cast<f32>( ExpandHalf( static_cast<u16>( packed ) ) );
	second = std::bit_cast<f32>( ExpandHalf( static_cast<u16>( packed >> 16 ) ) );
}
