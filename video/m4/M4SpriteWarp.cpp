#include "video/m4/M4SpriteWarp.h"

s64 M4DivideRounded( const s64 a, const s64 b ) {
	if ( b == 0 ) {
		return 0;
	}
	const bool	negative = ( a < 0 ) != ( b < 0 );
	const s64	magnitudeA = a < 0 ? -a : a;
	const s64	magnitudeB = b < 0 ? -b : b;
	const s64	quotient = ( magnitudeA + magnitudeB / 2 ) / magnitudeB;
	return negative ? -quotient : quotient;
}

static u32 M4Log2Ceiling( const u32 value ) {
	u32 log = 0;
	while ( ( static_cast<u64>( 1 ) << log ) < value ) {
		log++;
	}
	return log;
}

void M4SpriteWarpDerive( M4SpriteWarp* warp, const u32 width, const u32 height ) {
	const s64 s = static_cast<s64>( 2 ) << warp->mAccuracy;
	const s64 r = 16 / s;
	const s64 w = width;
	const s64 h = height;
	warp->mResolution = static_cast<s32>( s );
	warp->mLog2VirtualWidth = M4Log2Ceiling( width );
	warp->mLog2VirtualHeight = M4Log2Ceiling( height );
	const s64 virtualW = static_cast<s64>( 1 ) << warp->mLog2VirtualWidth;
	const s64 virtualH = static_cast<s64>( 1 ) << warp->mLog2VirtualHeight;

	// Unused points keep zero trajectories, so every derived value is defined.
	for ( u32 n = warp->mPointCount; n < M4_MAX_WARPING_POINTS; n++ ) {
		warp->mDu[n] = 0;
		warp->mDv[n] = 0;
	}
	// Reference points of the picture: (0, 0), (W, 0), (0, H).
	const s64 i[M4_MAX_WARPING_POINTS] = { 0, w, 0 };
	const s64 j[M4_MAX_WARPING_POINTS] = { 0, 0, h };
	for ( u32 n = 0; n < M4_MAX_WARPING_POINTS; n++ ) {
		const s64 du = warp->mDu[n] + ( n > 0 ? warp->mDu[0] : 0 );
		const s64 dv = warp->mDv[n] + ( n > 0 ? warp->mDv[0] : 0 );
		warp->mSpriteI[n] = static_cast<s32>( ( s / 2 ) * ( 2 * i[n] + du ) );
		warp->mSpriteJ[n] = static_cast<s32>( ( s / 2 ) * ( 2 * j[n] + dv ) );
	}
	const s64 i0 = warp->mSpriteI[0];
	const s64 j0 = warp->mSpriteJ[0];
	const s64 i1 = warp->mSpriteI[1];
	const s64 j1 = warp->mSpriteJ[1];
	const s64 i2 = warp->mSpriteI[2];
	const s64 j2 = warp->mSpriteJ[2];
	warp->mVirtualI[0] = static_cast<s32>( 16 * virtualW + M4DivideRounded( ( w - virtualW ) * ( r * i0 ) + virtualW * ( r * i1 - 16 * w ), w ) );
	warp->mVirtualJ[0] = static_cast<s32>( M4DivideRounded( ( w - virtualW ) * ( r * j0 ) + virtualW * ( r * j1 ), w ) );
	warp->mVirtualI[1] = static_cast<s32>( M4DivideRounded( ( h - virtualH ) * ( r * i0 ) + virtualH * ( r * i2 ), h ) );
	warp->mVirtualJ[1] = static_cast<s32>( 16 * virtualH + M4DivideRounded( ( h - virtualH ) * ( r * j0 ) + virtualH * ( r * j2 - 16 * h ), h ) );
}
