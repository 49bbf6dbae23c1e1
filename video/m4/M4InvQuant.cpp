#include "video/m4/M4InvQuant.h"

#include <emmintrin.h>

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

// Largest quantiser the vector path takes: its products stay in 32 bits.
static constexpr u32 M4_VECTOR_QUANTISER_MAX = 0xFFFF;

// The H.263 rule on all 64 coefficients, eight at a time. A magnitude
// of 2048 or more gives an output at the clamp for every quantiser of 1
// or more, so magnitudes are capped at 2048 first and every product fits
// 32 bits; quantiser 0 (odd rule: -1, then the sign) comes out as the
// plain rule gives it.
static void M4H263Block( s16* out, const s16* in, const u32 quantiser ) {
	const __m128i q = _mm_set1_epi16( static_cast<short>( quantiser ) );
	const __m128i evenFix = _mm_set1_epi32( ( quantiser & 1 ) == 0 ? 1 : 0 );
	const __m128i one = _mm_set1_epi16( 1 );
	const __m128i cap = _mm_set1_epi16( 2048 );
	const __m128i top = _mm_set1_epi16( M4_COEFFICIENT_MAX );
	const __m128i zero = _mm_setzero_si128();
	for ( u32 i = 0; i < M4_BLOCK_COEFFICIENTS; i += 8 ) {
		const __m128i x = _mm_loadu_si128( reinterpret_cast<const __m128i*>( in + i ) );
		const __m128i sign = _mm_srai_epi16( x, 15 );
		// |x| with -32768 saturating to 32767, then capped.
		const __m128i magnitude = _mm_min_epi16( _mm_subs_epi16( _mm_xor_si128( x, sign ), sign ), cap );
		const __m128i factor = _mm_add_epi16( _mm_add_epi16( magnitude, magnitude ), one );
		const __m128i low = _mm_mullo_epi16( factor, q );
		const __m128i high = _mm_mulhi_epu16( factor, q );
		const __m128i first = _mm_sub_epi32( _mm_unpacklo_epi16( low, high ), evenFix );
		const __m128i second = _mm_sub_epi32( _mm_unpackhi_epi16( low, high ), evenFix );
		const __m128i value = _mm_min_epi16( _mm_packs_epi32( first, second ), cap );
		const __m128i signedValue = _mm_min_epi16( _mm_sub_epi16( _mm_xor_si128( value, sign ), sign ), top );
		const __m128i result = _mm_andnot_si128( _mm_cmpeq_epi16( x, zero ), signedValue );
		_mm_storeu_si128( reinterpret_cast<__m128i*>( out + i ), result );
	}
}

void M4InvQuantType0IntraReference( s16* out, const s16* in, const u32 quantiser, const u32 dcScaler ) {
	out[0] = M4ClampCoefficient( static_cast<s64>( in[0] ) * dcScaler );
	for ( u32 i = 1; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		out[i] = M4H263Coefficient( in[i], quantiser );
	}
}

void M4InvQuantType0InterReference( s16* out, const s16* in, const u32 quantiser ) {
	for ( u32 i = 0; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		out[i] = M4H263Coefficient( in[i], quantiser );
	}
}

void M4InvQuantType0Intra( s16* out, const s16* in, const u32 quantiser, const u32 dcScaler ) {
	if ( quantiser > M4_VECTOR_QUANTISER_MAX ) {
		M4InvQuantType0IntraReference( out, in, quantiser, dcScaler );
		return;
	}
	M4H263Block( out, in, quantiser );
	out[0] = M4ClampCoefficient( static_cast<s64>( in[0] ) * dcScaler );
}

void M4InvQuantType0Inter( s16* out, const s16* in, const u32 quantiser ) {
	if ( quantiser > M4_VECTOR_QUANTISER_MAX ) {
		M4InvQuantType0InterReference( out, in, quantiser );
		return;
	}
	M4H263Block( out, in, quantiser );
}

// |out| = (|in| Q W) >> 3.
static s16 M4MpegIntraCoefficient( const s16 in, const u32 quantiser, const u8 weight ) {
	return M4WithSign( ( M4Magnitude( in ) * quantiser * weight ) >> 3, in );
}

void M4InvQuantType1Intra( s16* out, const s16* in, const u32 quantiser, const u32 dcScaler, const u8* matrix ) {
	out[0] = M4ClampCoefficient( static_cast<s64>( in[0] ) * dcScaler );
	for ( u32 i = 1; i < M4_BLOCK_COEFFICIENTS; i++ ) {
		out[i] = M4MpegIntraCoefficient( in[i], quantiser, matrix[i] );
	}
}

void M4InvQuantIntraEdges( s16* out, const s16* in, const u32 quantiser, const u32 dcScaler, const u8* matrix, const bool firstRow, const bool firstColumn ) {
	auto redo = [&]( const u32 i ) {
		out[i] = matrix != nullptr ? M4MpegIntraCoefficient( in[i], quantiser, matrix[i] ) : M4H263Coefficient( in[i], quantiser );
	};
	out[0] = M4ClampCoefficient( static_cast<s64>( in[0] ) * dcScaler );
	for ( u32 k = 1; k < 8; k++ ) {
		if ( firstRow ) {
			redo( k );
		}
		if ( firstColumn ) {
			redo( 8 * k );
		}
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
