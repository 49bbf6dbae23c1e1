#include "video/m4/M4MemGMC.h"

#include "video/m4/M4Decoder.h"
#include "video/m4/M4ImagePadding.h"
#include "video/m4/M4MemHalfPel.h"

#include "M4TestHooks.h"
#include "M4TestPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr u16 kWidth = 64;
constexpr u16 kHeight = 48;

M4SpriteWarp Warp( const u32 points, const u32 accuracy, const std::vector<M4_VECTOR>& trajectories ) {
	M4SpriteWarp warp = {};
	warp.mPointCount = points;
	warp.mAccuracy = accuracy;
	for ( u32 n = 0; n < trajectories.size() && n < M4_MAX_WARPING_POINTS; n++ ) {
		warp.mDu[n] = trajectories[n].x;
		warp.mDv[n] = trajectories[n].y;
	}
	M4SpriteWarpDerive( &warp, kWidth, kHeight );
	return warp;
}

std::vector<u8> Predict( const M4Plane& plane, const M4SpriteWarp& warp, const s32 x, const s32 y, const bool chroma, const u32 rounding ) {
	std::vector<u8> out( 64 );
	M4MemGMCInterpolate( out.data(), 8, plane, warp, x, y, chroma, rounding );
	return out;
}

class M4MemGMC : public ::testing::Test {
protected:
	void SetUp() override {
		pictures = new M4TestPictures( kWidth, kHeight, 1 );
		M4TestFillPicture( &( *pictures )[0], 31 );
		M4ImageCreatePadding( &( *pictures )[0] );
	}
	void TearDown() override {
		delete pictures;
		M4TestHooksReset();
	}
	M4Plane Plane( const u32 component ) { return M4ImagePlane( &( *pictures )[0], component ); }

	M4TestPictures* pictures = nullptr;
};

} // namespace

TEST_F( M4MemGMC, NoMotionCopiesTheReference ) {
	const M4SpriteWarp warps[] = {
		Warp( 0, 0, {} ), Warp( 1, 2, { { 0, 0 } } ), Warp( 2, 1, { { 0, 0 }, { 0, 0 } } ), Warp( 3, 3, { { 0, 0 }, { 0, 0 }, { 0, 0 } } ),
	};
	for ( const M4SpriteWarp& warp : warps ) {
		for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
			const bool chroma = component != M4_PLANE_Y;
			for ( u32 rounding : { 0u, 1u } ) {
				const std::vector<u8> out = Predict( Plane( component ), warp, 8, 16, chroma, rounding );
				for ( s32 j = 0; j < 8; j++ ) {
					for ( s32 i = 0; i < 8; i++ ) {
						EXPECT_EQ( out[8 * j + i], M4TestPixel( Plane( component ), 8 + i, 16 + j ) ) << warp.mPointCount << " points, plane " << component;
					}
				}
			}
		}
	}
}

TEST_F( M4MemGMC, AnIntegerTranslationShiftsTheReference ) {
	struct Case {
		u32 accuracy;
		s32 dx;		// whole luma samples, even so that chroma moves whole samples too
		s32 dy;
	};
	const Case cases[] = { { 0, 2, -4 }, { 1, -6, 2 }, { 3, 4, 4 }, { 2, 0, -2 } };
	for ( const Case& c : cases ) {
		const M4SpriteWarp warp = Warp( 1, c.accuracy, { { 2 * c.dx, 2 * c.dy } } );
		for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
			const bool chroma = component != M4_PLANE_Y;
			const s32 sx = chroma ? c.dx / 2 : c.dx;
			const s32 sy = chroma ? c.dy / 2 : c.dy;
			const std::vector<u8> out = Predict( Plane( component ), warp, 8, 8, chroma, 1 );
			for ( s32 j = 0; j < 8; j++ ) {
				for ( s32 i = 0; i < 8; i++ ) {
					EXPECT_EQ( out[8 * j + i], M4TestPixel( Plane( component ), 8 + i + sx, 8 + j + sy ) ) << "accuracy " << c.accuracy << " plane " << component;
				}
			}
		}
	}
}

TEST_F( M4MemGMC, AHalfSampleTranslationMatchesHalfSampleCompensation ) {
	const M4_VECTOR vectors[] = { { 1, 0 }, { 0, 1 }, { 1, 1 }, { -3, 5 }, { 7, -1 }, { -1, -1 } };
	for ( const M4_VECTOR& v : vectors ) {
		for ( u32 accuracy = 0; accuracy < 4; accuracy++ ) {
			const M4SpriteWarp warp = Warp( 1, accuracy, { v } );
			for ( u32 rounding : { 0u, 1u } ) {
				u8 expected[64];
				M4MemHalfPelInterpolate( expected, 8, Plane( M4_PLANE_Y ), 16, 8, v, rounding );
				const std::vector<u8> out = Predict( Plane( M4_PLANE_Y ), warp, 16, 8, false, rounding );
				for ( u32 i = 0; i < 64; i++ ) {
					EXPECT_EQ( out[i], expected[i] ) << "vector " << v.x << "," << v.y << " accuracy " << accuracy << " rounding " << rounding;
				}
				// At half-sample accuracy chroma moves as a chroma vector would.
				if ( accuracy == 0 ) {
					const M4_VECTOR c = { M4Decoder::chromaMv( v.x ), M4Decoder::chromaMv( v.y ) };
					M4MemHalfPelInterpolate( expected, 8, Plane( M4_PLANE_U ), 8, 8, c, rounding );
					const std::vector<u8> chroma = Predict( Plane( M4_PLANE_U ), warp, 8, 8, true, rounding );
					for ( u32 i = 0; i < 64; i++ ) {
						EXPECT_EQ( chroma[i], expected[i] ) << "chroma, vector " << v.x << "," << v.y;
					}
				}
			}
		}
	}
}

TEST_F( M4MemGMC, EqualPointsWarpLikeOnePoint ) {
	// Two or three points with the first point's motion and none of their
	// own are a translation. Chroma agrees where the first point's sprite
	// offset is even: with an odd one, the translation rounds its quarter
	// sample to the half and the general warp rounds it down.
	struct Case {
		u32 accuracy;
		M4_VECTOR motion;
		bool chromaAgrees;
	};
	const Case cases[] = {
		{ 0, { 4, -6 }, true }, { 0, { 3, -5 }, false }, { 1, { 3, -5 }, true }, { 2, { -7, 9 }, true }, { 3, { 1, 1 }, true },
	};
	for ( const Case& c : cases ) {
		const M4SpriteWarp one = Warp( 1, c.accuracy, { c.motion } );
		const M4SpriteWarp others[] = { Warp( 2, c.accuracy, { c.motion, { 0, 0 } } ), Warp( 3, c.accuracy, { c.motion, { 0, 0 }, { 0, 0 } } ) };
		for ( const M4SpriteWarp& other : others ) {
			for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
				const bool chroma = component != M4_PLANE_Y;
				if ( chroma && !c.chromaAgrees ) {
					continue;
				}
				for ( s32 y : { 0, 8, 16 } ) {
					EXPECT_EQ( Predict( Plane( component ), other, 24, y, chroma, 0 ), Predict( Plane( component ), one, 24, y, chroma, 0 ) )
						<< other.mPointCount << " points, accuracy " << c.accuracy << " plane " << component << " row " << y;
				}
			}
		}
	}
}

TEST_F( M4MemGMC, WarpsPointingOutsideSeeTheEdgesExtended ) {
	const M4SpriteWarp warps[] = {
		Warp( 1, 0, { { -400, 0 } } ), Warp( 1, 1, { { 400, 400 } } ), Warp( 1, 3, { { -16383, 16383 } } ),
		Warp( 2, 2, { { 300, -300 }, { 16383, -16383 } } ), Warp( 3, 1, { { -2000, 100 }, { 9000, -50 }, { -30, -12000 } } ),
	};
	for ( const M4SpriteWarp& warp : warps ) {
		const u32 rho = static_cast<u32>( __builtin_ctz( static_cast<u32>( warp.mResolution ) ) );
		const s64 s = warp.mResolution;
		for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
			const bool chroma = component != M4_PLANE_Y;
			const M4Plane plane = Plane( component );
			const std::vector<u8> linear = M4TestLinearPlane( plane );
			for ( u32 rounding : { 0u, 1u } ) {
				const std::vector<u8> out = Predict( plane, warp, 0, 8, chroma, rounding );
				for ( s32 j = 0; j < 8; j++ ) {
					for ( s32 i = 0; i < 8; i++ ) {
						s64 f = 0;
						s64 g = 0;
						M4GMCWarpPosition( warp, i, 8 + j, chroma, &f, &g );
						const s64 x = f >> rho;
						const s64 y = g >> rho;
						const s64 fx = f & ( s - 1 );
						const s64 fy = g & ( s - 1 );
						const s64 value = ( s - fy ) * ( ( s - fx ) * M4TestExtended( linear, plane, x, y ) + fx * M4TestExtended( linear, plane, x + 1, y ) )
							+ fy * ( ( s - fx ) * M4TestExtended( linear, plane, x, y + 1 ) + fx * M4TestExtended( linear, plane, x + 1, y + 1 ) );
						const s64 expected = ( value + s * s / 2 - rounding ) / ( s * s );
						ASSERT_EQ( out[8 * j + i], expected ) << warp.mPointCount << " points, plane " << component << " at " << i << "," << j;
					}
				}
			}
		}
	}
}
