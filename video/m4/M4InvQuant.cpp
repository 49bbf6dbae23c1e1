#include "video/m4/M4InvQuant.h"

static constexpr u32 M4_BLOCK_COEFFICIENTS = 64;

static s16 M4ClampCoefficient( const s64 v ) {
	if ( v > M4_COEFFICIENT_MAX ) {
		return M4_COEFFICIENT_MAX;
	}
	if ( v < M4_COEFFICIENT_MIN ) {
		return M4_COEFFICIENT_MIN;
	}
	return static_cast<s16>( v );
}

static s64 M4Magnitude( const s16 v ) {
	return v < 0 ? -static_cast<s64>( v ) : v;
}

static s16 M4WithSign( const s64 magnitude, const s16 sign ) {
	return M4ClampCoefficient( sign < 0 ? -magnitude : magnitude );
}

// |out| = Q (2 |in| + 1), less one for an even Q.
static s16 M4H263Coefficient( const s16 in, const s64 quantiser ) {
	if ( in == 0 ) {
		return 0;
	}
	const s64 magnitude = quantiser * ( 2 * M4Magnitude( in ) + 1 ) - ( ( quantiser & 1 ) == 0 ? 1 : 0 );
	return M4WithSign( magnitude, in );
}

void M4InvQuantType0Intra( s16* out, const s16* in, const u32 quantiser, const u32 dcScaler ) {
	out[0] = M4ClampCoefficient( static_cast<s64>( in[0] ) * dcScaler );
	for ( u32 i = 1; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		out[i] = M4H263Coefficient( in[i], quantiser );
	}
}

void M4InvQuantType0Inter( s16* out, const s16* in, const u32 quantiser ) {
	for ( u32 i = 0; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		out[i] = M4H263Coefficient( in[i], quantiser );
	}
}

void M4InvQuantType1Intra( s16* out, const s16* in, const u32 quantiser, const u32 dcScaler, const u8* matrix ) {
	out[0] = M4ClampCoefficient( static_cast<s64>( in[0] ) * dcScaler );
	for ( u32 i = 1; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		const s64 magnitude = ( M4Magnitude( in[i] ) * quantiser * matrix[i] ) >> 3;
		out[i] = M4WithSign( magnitude, in[i] );
	}
}

void M4InvQuantType1Inter( s16* out, const s16* in, const u32 quantiser, const u8* matrix ) {
	u32 parity = 0;
	for ( u32 i = 0; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		if ( in[i] == 0 ) {
			out[i] = 0;
			continue;
		}
		const s64 magnitude = ( ( 2 * M4Magnitude( in[i] ) + 1 ) * quantiser * matrix[i] ) >> 4;
		out[i] = M4WithSign( magnitude, in[i] );
		parity ^= static_cast<u32>( out[i] );
	}
	if ( ( parity & 1 ) == 0 ) {
		out[M4_BLOCK_COEFFICIENTS - 1] = static_cast<s16>( out[M4_BLOCK_COEFFICIENTS - 1] ^ 1 );
	}
}
