#include "video/m4/M4MemGMC.h"

namespace {

u32 M4Log2( s64 v ) {
	u32 log = 0;
	while ( v > 1 ) {
		v >>= 1;
		log++;
	}
	return log;
}

// Accuracy shift rho (s = 1 << rho), kept to the standard's 1..4.
u32 M4WarpRho( const M4SpriteWarp& warp ) {
	const u32 rho = M4Log2( warp.mResolution );
	return rho < 1 ? 1 : ( rho > 4 ? 4 : rho );
}

} // namespace

void M4GMCWarpPosition( const M4SpriteWarp& warp, const s64 i, const s64 j, const bool chroma, s64* f, s64* g ) {
	const u32 rho = M4WarpRho( warp );
	const s64 s = static_cast<s64>( 1 ) << rho;
	const u32 logR = 4 - rho;						// r = 16 / s
	const s64 r = static_cast<s64>( 1 ) << logR;
	const u32 alpha = warp.mLog2VirtualWidth < 16 ? warp.mLog2VirtualWidth : 16;
	const u32 beta = warp.mLog2VirtualHeight < 16 ? warp.mLog2VirtualHeight : 16;
	const s64 virtualW = static_cast<s64>( 1 ) << alpha;
	const s64 virtualH = static_cast<s64>( 1 ) << beta;
	const s64 i0 = warp.mSpriteI[0];
	const s64 j0 = warp.mSpriteJ[0];
	const u32 points = warp.mPointCount;

	if ( points == 0 ) {
		*f = s * i;
		*g = s * j;
		return;
	}
	if ( points == 1 ) {
		if ( chroma ) {
			*f = s * i + ( ( i0 >> 1 ) | ( i0 & 1 ) );
			*g = s * j + ( ( j0 >> 1 ) | ( j0 & 1 ) );
		} else {
			*f = i0 + s * i;
			*g = j0 + s * j;
		}
		return;
	}
	// Per-pixel steps of the warp, in 1/16 sample over W' (and H').
	const s64 a = warp.mVirtualI[0] - r * i0;		// i1'' - r i0'
	const s64 b = warp.mVirtualJ[0] - r * j0;		// j1'' - r j0'
	if ( points == 2 ) {
		const u32 shift = alpha + logR;
		if ( chroma ) {
			const s64 ci = 4 * i + 1;
			const s64 cj = 4 * j + 1;
			const s64 half = static_cast<s64>( 1 ) << ( shift + 1 );
			*f = ( a * ci - b * cj + 2 * virtualW * r * i0 - 16 * virtualW + half ) >> ( shift + 2 );
			*g = ( b * ci + a * cj + 2 * virtualW * r * j0 - 16 * virtualW + half ) >> ( shift + 2 );
		} else {
			const s64 half = static_cast<s64>( 1 ) << ( shift - 1 );
			*f = i0 + ( ( a * i - b * j + half ) >> shift );
			*g = j0 + ( ( b * i + a * j + half ) >> shift );
		}
		return;
	}
	const s64 c = warp.mVirtualI[1] - r * i0;		// i2'' - r i0'
	const s64 d = warp.mVirtualJ[1] - r * j0;		// j2'' - r j0'
	const u32 shift = alpha + beta + logR;
	if ( chroma ) {
		const s64 ci = 4 * i + 1;
		const s64 cj = 4 * j + 1;
		const s64 half = static_cast<s64>( 1 ) << ( shift + 1 );
		*f = ( a * virtualH * ci + c * virtualW * cj + 2 * virtualW * virtualH * r * i0 - 16 * virtualW * virtualH + half ) >> ( shift + 2 );
		*g = ( b * virtualH * ci + d * virtualW * cj + 2 * virtualW * virtualH * r * j0 - 16 * virtualW * virtualH + half ) >> ( shift + 2 );
	} else {
		const s64 half = static_cast<s64>( 1 ) << ( shift - 1 );
		*f = i0 + ( ( a * virtualH * i + c * virtualW * j + half ) >> shift );
		*g = j0 + ( ( b * virtualH * i + d * virtualW * j + half ) >> shift );
	}
}

void M4MemGMCInterpolate( u8* dst, const u32 dstStride, const M4Plane& reference, const M4SpriteWarp& warp, const s32 x, const s32 y, const bool chroma, const u32 rounding ) {
	const u32 rho = M4WarpRho( warp );
	const s64 s = static_cast<s64>( 1 ) << rho;
	const s64 bias = ( s * s ) / 2 - static_cast<s64>( rounding & 1 );
	for ( u32 row = 0; row < 8; row++ ) {
		u8* const out = dst + M4TiledOffset( 0, row, dstStride );
		for ( u32 column = 0; column < 8; column++ ) {
			s64 f = 0;
			s64 g = 0;
			M4GMCWarpPosition( warp, static_cast<s64>( x ) + column, static_cast<s64>( y ) + row, chroma, &f, &g );
			const s64 px = f >> rho;
			const s64 py = g >> rho;
			const s64 fx = f & ( s - 1 );
			const s64 fy = g & ( s - 1 );
			const s64 p00 = M4PlaneSample( reference, px, py );
			const s64 p01 = M4PlaneSample( reference, px + 1, py );
			const s64 p10 = M4PlaneSample( reference, px, py + 1 );
			const s64 p11 = M4PlaneSample( reference, px + 1, py + 1 );
			const s64 top = ( s - fx ) * p00 + fx * p01;
			const s64 bottom = ( s - fx ) * p10 + fx * p11;
			out[column] = static_cast<u8>( ( ( s - fy ) * top + fy * bottom + bias ) >> ( 2 * rho ) );
		}
	}
}
