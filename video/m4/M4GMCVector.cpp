#include "video/m4/M4GMCVector.h"

#include "video/m4/M4MemGMC.h"

static s32 M4ClipToRange( const s64 value, const u32 fcode ) {
	const u32 f = fcode < 1 ? 1 : ( fcode > 7 ? 7 : fcode );
	const s64 range = static_cast<s64>( 32 ) << ( f - 1 );
	return static_cast<s32>( value < -range ? -range : ( value >= range ? range - 1 : value ) );
}

M4_VECTOR M4GMCAverageVector( const M4SpriteWarp& warp, const u32 mbX, const u32 mbY, const u32 fcode ) {
	s64 s = warp.mResolution;
	if ( s < 2 ) {
		s = 2;
	}
	s64 sumX = 0;
	s64 sumY = 0;
	for ( u32 j = 0; j < 16; j++ ) {
		for ( u32 i = 0; i < 16; i++ ) {
			const s64 x = 16 * static_cast<s64>( mbX ) + i;
			const s64 y = 16 * static_cast<s64>( mbY ) + j;
			s64 f = 0;
			s64 g = 0;
			M4GMCWarpPosition( warp, x, y, false, &f, &g );
			sumX += f - s * x;
			sumY += g - s * y;
		}
	}
	// 256 positions in 1/s sample to half samples: divide by 128 s.
	M4_VECTOR v;
	v.x = M4ClipToRange( M4DivideRounded( sumX, 128 * s ), fcode );
	v.y = M4ClipToRange( M4DivideRounded( sumY, 128 * s ), fcode );
	return v;
}
