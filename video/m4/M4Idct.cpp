#include "video/m4/M4Idct.h"

namespace {

// cos( k pi / 16 ) / 2 for k = 1..7, and sqrt( 1 / 2 ).
constexpr f32 kC1 = 0.49039260f;
constexpr f32 kC2 = 0.46193981f;
constexpr f32 kC3 = 0.41573480f;
constexpr f32 kC4 = 0.35355341f;
constexpr f32 kC5 = 0.27778509f;
constexpr f32 kC6 = 0.19134170f;
constexpr f32 kC7 = 0.09754520f;
constexpr f32 kSqrtHalf = 0.70710683f;

// One 8-point inverse transform of in[0..7] into out[0..7].
inline void M4Idct1D( const f32* in, f32* out ) {
	const f32 a0 = kC4 * ( in[0] + in[4] );
	const f32 a1 = kC4 * ( in[0] - in[4] );
	const f32 a2 = kC6 * in[2] - kC2 * in[6];
	const f32 a3 = kC2 * in[2] + kC6 * in[6];
	const f32 e0 = a0 + a3;
	const f32 e1 = a1 + a2;
	const f32 e2 = a1 - a2;
	const f32 e3 = a0 - a3;

	const f32 b4 = kC7 * in[1] - kC1 * in[7];
	const f32 b7 = kC1 * in[1] + kC7 * in[7];
	const f32 b5 = kC3 * in[5] - kC5 * in[3];
	const f32 b6 = kC5 * in[5] + kC3 * in[3];
	const f32 o3 = b4 + b5;
	const f32 d5 = b4 - b5;
	const f32 d6 = b7 - b6;
	const f32 o0 = b7 + b6;
	const f32 o2 = ( d6 - d5 ) * kSqrtHalf;
	const f32 o1 = ( d6 + d5 ) * kSqrtHalf;

	out[0] = e0 + o0;
	out[7] = e0 - o0;
	out[1] = e1 + o1;
	out[6] = e1 - o1;
	out[2] = e2 + o2;
	out[5] = e2 - o2;
	out[3] = e3 + o3;
	out[4] = e3 - o3;
}

} // namespace

void M4idct( s16* block ) {
	f32 scratch[64];
	f32 row[8];
	f32 result[8];
	for ( u32 r = 0; r < 8; r++ ) {
		for ( u32 c = 0; c < 8; c++ ) {
			row[c] = static_cast<f32>( block[8 * r + c] );
		}
		M4Idct1D( row, result );
		for ( u32 c = 0; c < 8; c++ ) {
			scratch[8 * c + r] = result[c];
		}
	}
	for ( u32 c = 0; c < 8; c++ ) {
		M4Idct1D( &scratch[8 * c], result );
		for ( u32 r = 0; r < 8; r++ ) {
			block[8 * r + c] = M4IdctStore( result[r] );
		}
	}
}
