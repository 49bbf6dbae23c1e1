#include "video/m4/M4MemHalfPel.h"

#include "video/m4/M4Decoder.h"
#include "video/m4/M4ImagePadding.h"

#include "M4TestHooks.h"
#include "M4TestPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The half-sample rule on the edge-extended linear copy: integer part
// floor(v / 2), half flag v & 1, for rows given by rowOf.
template <typename RowOf>
u8 Expected( const std::vector<u8>& linear, const M4Plane& plane, const s64 x, const s64 row, const u32 hx, const u32 hy, const u32 rounding, RowOf rowOf ) {
	auto at = [&]( const s64 dx, const s64 dy ) -> s32 {
		const s64 column = std::clamp<s64>( x + dx + plane.mBorder, 0, plane.mStride - 1 );
		return linear[static_cast<size_t>( rowOf( row + dy ) * plane.mStride + column )];
	};
	const s32 r = static_cast<s32>( rounding );
	if ( hx == 0 && hy == 0 ) {
		return static_cast<u8>( at( 0, 0 ) );
	}
	if ( hy == 0 ) {
		return static_cast<u8>( ( at( 0, 0 ) + at( 1, 0 ) + 1 - r ) / 2 );
	}
	if ( hx == 0 ) {
		return static_cast<u8>( ( at( 0, 0 ) + at( 0, 1 ) + 1 - r ) / 2 );
	}
	return static_cast<u8>( ( at( 0, 0 ) + at( 1, 0 ) + at( 0, 1 ) + at( 1, 1 ) + 2 - r ) / 4 );
}

s64 FloorHalf( const s64 v ) {
	return v >= 0 ? v / 2 : -( ( -v + 1 ) / 2 );
}

// Checks a frame prediction of the block at (x, y) with vector v.
void CheckFrame( const M4Plane& plane, const s32 x, const s32 y, const M4_VECTOR v, const u32 rounding ) {
	const std::vector<u8> linear = M4TestLinearPlane( plane );
	u8 out[64];
	M4MemHalfPelInterpolate( out, 8, plane, x, y, v, rounding );
	auto rowOf = [&]( const s64 row ) { return std::clamp<s64>( row + plane.mBorder, 0, plane.mRows - 1 ); };
	for ( u32 j = 0; j < 8; j++ ) {
		for ( u32 i = 0; i < 8; i++ ) {
			const u8 e = Expected( linear, plane, x + static_cast<s32>( i ) + FloorHalf( v.x ), y + static_cast<s32>( j ) + FloorHalf( v.y ), static_cast<u32>( v.x & 1 ), static_cast<u32>( v.y & 1 ), rounding, rowOf );
			ASSERT_EQ( out[8 * j + i], e ) << "vector " << v.x << "," << v.y << " rounding " << rounding << " at " << i << "," << j;
		}
	}
}

class M4MemHalfPel : public ::testing::Test {
protected:
	void TearDown() override { M4TestHooksReset(); }
};

} // namespace

TEST_F( M4MemHalfPel, InterpolatesAllFourCasesWithBothRoundings ) {
	M4TestPictures pictures( 64, 48, 1 );
	M4TestFillPicture( &pictures[0], 9 );
	const M4Plane luma = M4ImagePlane( &pictures[0], M4_PLANE_Y );
	const M4_VECTOR vectors[] = { { 0, 0 }, { 1, 0 }, { 0, 1 }, { 1, 1 }, { 6, -4 }, { -7, 3 }, { 13, -9 }, { -3, 1 } };
	for ( const M4_VECTOR& v : vectors ) {
		for ( u32 rounding : { 0u, 1u } ) {
			CheckFrame( luma, 16, 8, v, rounding );
		}
	}
}

TEST_F( M4MemHalfPel, MinusThreeOneReadsMinusTwoZeroWithBothHalves ) {
	M4TestPictures pictures( 32, 32, 1 );
	M4Image& picture = pictures[0];
	const M4Plane luma = M4ImagePlane( &picture, M4_PLANE_Y );
	// A picture whose pixels name their coordinates.
	for ( s32 y = -32; y < 64; y++ ) {
		for ( s32 x = -32; x < 64; x++ ) {
			M4TestPixel( luma, x, y ) = static_cast<u8>( 4 * ( x + 32 ) + 16 * ( y + 32 ) );
		}
	}
	for ( u32 rounding : { 0u, 1u } ) {
		u8 out[64];
		M4MemHalfPelInterpolate( out, 8, luma, 8, 8, { -3, 1 }, rounding );
		const s32 a = M4TestPixel( luma, 6, 8 );
		const s32 b = M4TestPixel( luma, 7, 8 );
		const s32 c = M4TestPixel( luma, 6, 9 );
		const s32 d = M4TestPixel( luma, 7, 9 );
		EXPECT_EQ( out[0], ( a + b + c + d + 2 - static_cast<s32>( rounding ) ) >> 2 );
	}
}

TEST_F( M4MemHalfPel, WritesIntoATiledDestination ) {
	M4TestPictures pictures( 64, 64, 2 );
	M4TestFillPicture( &pictures[0], 2 );
	const M4Plane reference = M4ImagePlane( &pictures[0], M4_PLANE_Y );
	const M4Plane target = M4ImagePlane( &pictures[1], M4_PLANE_Y );
	u8 linear[64];
	M4MemHalfPelInterpolate( linear, 8, reference, 24, 40, { 5, -3 }, 1 );
	M4MemHalfPelInterpolate( &M4TestPixel( target, 24, 40 ), target.mStride, reference, 24, 40, { 5, -3 }, 1 );
	for ( u32 j = 0; j < 8; j++ ) {
		for ( u32 i = 0; i < 8; i++ ) {
			EXPECT_EQ( M4TestPixel( target, 24 + i, 40 + j ), linear[8 * j + i] );
		}
	}
}

TEST_F( M4MemHalfPel, FieldPredictionReadsOneFieldOfEitherParity ) {
	M4TestPictures pictures( 64, 64, 1 );
	M4TestFillPicture( &pictures[0], 4 );
	const M4Plane luma = M4ImagePlane( &pictures[0], M4_PLANE_Y );
	const std::vector<u8> linear = M4TestLinearPlane( luma );
	// Stored field vectors: vertical component twice the field rows.
	const M4_VECTOR vectors[] = { { 0, 0 }, { 1, 2 }, { -3, -2 }, { 4, 4 }, { 5, -6 }, { 0, 6 }, { -1, -8 } };
	for ( const M4_VECTOR& v : vectors ) {
		for ( u32 select : { 0u, 1u } ) {
			for ( u32 destination : { 0u, 1u } ) {
				for ( u32 rounding : { 0u, 1u } ) {
					u8 out[128];
					std::fill( out, out + 128, 0xAB );
					M4MemHalfPelFields( out, 8, destination, luma, 16, 8, v, select, 8, rounding );
					auto rowOf = [&]( const s64 fieldRow ) {
						const s64 padded = std::clamp<s64>( fieldRow + luma.mBorder / 2, 0, luma.mRows / 2 - 1 );
						return 2 * padded + select;
					};
					for ( u32 j = 0; j < 16; j++ ) {
						for ( u32 i = 0; i < 8; i++ ) {
							if ( j % 2 != destination ) {
								ASSERT_EQ( out[8 * j + i], 0xAB );
								continue;
							}
							const s64 fieldRow = 8 + static_cast<s32>( j / 2 ) + ( v.y >> 2 );
							const u8 e = Expected( linear, luma, 16 + i + FloorHalf( v.x ), fieldRow, static_cast<u32>( v.x & 1 ), static_cast<u32>( ( v.y >> 1 ) & 1 ), rounding, rowOf );
							ASSERT_EQ( out[8 * j + i], e ) << "vector " << v.x << "," << v.y << " field " << select;
						}
					}
				}
			}
		}
	}
}

TEST_F( M4MemHalfPel, FieldChromaMatchesTheFieldUnitRule ) {
	M4TestPictures pictures( 64, 64, 1 );
	M4TestFillPicture( &pictures[0], 8 );
	const M4Plane chroma = M4ImagePlane( &pictures[0], M4_PLANE_U );
	const std::vector<u8> linear = M4TestLinearPlane( chroma );
	for ( s32 my = -16; my <= 16; my++ ) {
		// my counts luma field half samples; the stored vector is twice it.
		const M4_VECTOR c = M4Decoder::chromaFieldMv( { 0, 2 * my } );
		for ( u32 select : { 0u, 1u } ) {
			u8 out[64];
			M4MemHalfPelFields( out, 8, 0, chroma, 8, 4, c, select, 4, 0 );
			auto rowOf = [&]( const s64 fieldRow ) {
				return 2 * std::clamp<s64>( fieldRow + chroma.mBorder / 2, 0, chroma.mRows / 2 - 1 ) + select;
			};
			const u32 half = ( my & 3 ) != 0 ? 1 : 0;
			for ( u32 j = 0; j < 4; j++ ) {
				for ( u32 i = 0; i < 8; i++ ) {
					const u8 e = Expected( linear, chroma, 8 + i, 4 + static_cast<s32>( j ) + ( my >> 2 ), 0, half, 0, rowOf );
					ASSERT_EQ( out[16 * j + i], e ) << "my " << my;
				}
			}
		}
	}
}

TEST_F( M4MemHalfPel, VectorsFarOutsideSeeTheEdgesExtended ) {
	M4TestPictures pictures( 200, 120, 1 );
	M4Image& picture = pictures[0];
	M4TestFillPicture( &picture, 13 );
	M4ImageCreatePadding( &picture );
	struct Block {
		u32 plane;
		s32 x;
		s32 y;
	};
	const Block blocks[] = { { M4_PLANE_Y, 0, 0 }, { M4_PLANE_Y, 200, 112 }, { M4_PLANE_U, 96, 56 }, { M4_PLANE_V, 40, 0 } };
	// 100 pixels beyond each side and corner, and past the f-code 7 range.
	const s32 far = 2 * 340;
	const M4_VECTOR vectors[] = {
		{ -far, 0 }, { far, 0 }, { 0, -far }, { 0, far }, { -far, -far }, { far, -far }, { -far, far }, { far, far },
		{ -far - 1, far + 1 }, { 4095, -4096 }, { 64, -65 }, { -2048, 2047 },
	};
	for ( const Block& b : blocks ) {
		const M4Plane plane = M4ImagePlane( &picture, b.plane );
		for ( const M4_VECTOR& v : vectors ) {
			for ( u32 rounding : { 0u, 1u } ) {
				CheckFrame( plane, b.x, b.y, v, rounding );
			}
		}
		const std::vector<u8> linear = M4TestLinearPlane( plane );
		for ( const M4_VECTOR& v : vectors ) {
			for ( u32 select : { 0u, 1u } ) {
				u8 out[128];
				M4MemHalfPelFields( out, 8, 0, plane, b.x, b.y / 2, v, select, 8, 1 );
				auto rowOf = [&]( const s64 fieldRow ) {
					return 2 * std::clamp<s64>( fieldRow + plane.mBorder / 2, 0, plane.mRows / 2 - 1 ) + select;
				};
				for ( u32 j = 0; j < 8; j++ ) {
					for ( u32 i = 0; i < 8; i++ ) {
						const u8 e = Expected( linear, plane, b.x + i + FloorHalf( v.x ), b.y / 2 + static_cast<s32>( j ) + ( v.y >> 2 ), static_cast<u32>( v.x & 1 ), static_cast<u32>( ( v.y >> 1 ) & 1 ), 1, rowOf );
						ASSERT_EQ( out[16 * j + i], e ) << "vector " << v.x << "," << v.y << " plane " << b.plane << " block " << b.x << "," << b.y << " field " << select << " at " << i << "," << j;
					}
				}
			}
		}
	}
}
