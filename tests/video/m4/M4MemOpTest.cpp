#include "video/m4/M4MemOp.h"

#include "M4TestHooks.h"
#include "M4TestPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class M4MemOp : public ::testing::Test {
protected:
	void TearDown() override { M4TestHooksReset(); }
};

// Where row r, column c of block b of macroblock (mbX, mbY) lands, in
// visible plane coordinates, for frame or field order.
void BlockPixel( const u32 mbX, const u32 mbY, const u32 b, const u32 r, const u32 c, const bool field, u32* plane, s32* x, s32* y ) {
	if ( b >= 4 ) {
		*plane = b - 3;
		*x = static_cast<s32>( 8 * mbX + c );
		*y = static_cast<s32>( 8 * mbY + r );
		return;
	}
	*plane = M4_PLANE_Y;
	*x = static_cast<s32>( 16 * mbX + 8 * ( b & 1 ) + c );
	*y = static_cast<s32>( 16 * mbY + ( field ? 2 * r + ( b >> 1 ) : 8 * ( b >> 1 ) + r ) );
}

std::vector<s16> Blocks( const s32 base ) {
	std::vector<s16> blocks( 6 * 64 );
	for ( u32 i = 0; i < blocks.size(); i++ ) {
		blocks[i] = static_cast<s16>( base + static_cast<s32>( ( i * 7 ) % 301 ) - 20 );
	}
	return blocks;
}

u8 Saturate( const s32 v ) {
	return static_cast<u8>( v < 0 ? 0 : ( v > 255 ? 255 : v ) );
}

} // namespace

TEST_F( M4MemOp, IntraStoresSaturateAndLandOnTheTiledAddresses ) {
	struct Case {
		u16 width;
		u16 height;
		u32 mbX;
		u32 mbY;
		bool field;
	};
	const Case cases[] = {
		{ 32, 32, 0, 0, false }, { 32, 32, 1, 1, true }, { 200, 120, 12, 7, false }, { 200, 120, 12, 7, true }, { 200, 120, 3, 0, true },
	};
	for ( const Case& c : cases ) {
		M4TestPictures pictures( c.width, c.height, 1 );
		M4Image& picture = pictures[0];
		M4TestFillPicture( &picture, 3 );
		std::vector<u8> before[3];
		for ( u32 p = 0; p < 3; p++ ) {
			before[p] = M4TestLinearPlane( M4ImagePlane( &picture, p ) );
		}
		std::vector<s16> blocks = Blocks( 0 );
		blocks[0] = 300;
		blocks[1] = -20;
		( c.field ? M4MemOpIntraMBAllField : M4MemOpIntraMBAll )( &picture, c.mbX, c.mbY, blocks.data() );

		std::vector<bool> written[3];
		for ( u32 p = 0; p < 3; p++ ) {
			written[p].assign( before[p].size(), false );
		}
		for ( u32 b = 0; b < 6; b++ ) {
			for ( u32 r = 0; r < 8; r++ ) {
				for ( u32 col = 0; col < 8; col++ ) {
					u32 plane;
					s32 x;
					s32 y;
					BlockPixel( c.mbX, c.mbY, b, r, col, c.field, &plane, &x, &y );
					const M4Plane pl = M4ImagePlane( &picture, plane );
					EXPECT_EQ( M4TestPixel( pl, x, y ), Saturate( blocks[64 * b + 8 * r + col] ) ) << "block " << b << " row " << r << " col " << col;
					written[plane][static_cast<size_t>( y + static_cast<s32>( pl.mBorder ) ) * pl.mStride + static_cast<size_t>( x + static_cast<s32>( pl.mBorder ) )] = true;
				}
			}
		}
		EXPECT_EQ( M4TestPixel( M4ImagePlane( &picture, M4_PLANE_Y ), static_cast<s32>( 16 * c.mbX ), static_cast<s32>( 16 * c.mbY ) ), 255 );
		EXPECT_EQ( M4TestPixel( M4ImagePlane( &picture, M4_PLANE_Y ), static_cast<s32>( 16 * c.mbX + 1 ), static_cast<s32>( 16 * c.mbY ) ), 0 );
		// Nothing outside the macroblock changes.
		for ( u32 p = 0; p < 3; p++ ) {
			const std::vector<u8> after = M4TestLinearPlane( M4ImagePlane( &picture, p ) );
			for ( size_t i = 0; i < after.size(); i++ ) {
				if ( !written[p][i] ) {
					ASSERT_EQ( after[i], before[p][i] ) << "plane " << p << " byte " << i;
				}
			}
		}
	}
}

TEST_F( M4MemOp, ResidualsAreAddedOnlyToCodedBlocks ) {
	struct Case {
		u32 pattern;
		bool field;
	};
	const Case cases[] = { { 0x3f, false }, { 0x00, false }, { 0x21, false }, { 0x1e, true }, { 0x2a, true } };
	for ( const Case& c : cases ) {
		M4TestPictures pictures( 200, 120, 1 );
		M4Image& picture = pictures[0];
		M4TestFillPicture( &picture, 11 );
		std::vector<u8> before[3];
		for ( u32 p = 0; p < 3; p++ ) {
			before[p] = M4TestLinearPlane( M4ImagePlane( &picture, p ) );
		}
		std::vector<s16> residual = Blocks( -130 );
		( c.field ? M4MemOpInterMBAddField : M4MemOpInterMBAdd )( &picture, 12, 7, residual.data(), c.pattern );
		for ( u32 b = 0; b < 6; b++ ) {
			const bool coded = ( c.pattern >> ( 5 - b ) ) & 1;
			for ( u32 r = 0; r < 8; r++ ) {
				for ( u32 col = 0; col < 8; col++ ) {
					u32 plane;
					s32 x;
					s32 y;
					BlockPixel( 12, 7, b, r, col, c.field, &plane, &x, &y );
					const M4Plane pl = M4ImagePlane( &picture, plane );
					const u8 old = before[plane][static_cast<size_t>( y + static_cast<s32>( pl.mBorder ) ) * pl.mStride + static_cast<size_t>( x + static_cast<s32>( pl.mBorder ) )];
					const u8 expected = coded ? Saturate( old + residual[64 * b + 8 * r + col] ) : old;
					EXPECT_EQ( M4TestPixel( pl, x, y ), expected ) << "pattern " << c.pattern << " block " << b;
				}
			}
		}
	}
}

TEST_F( M4MemOp, CopiesAndAveragesTheCoLocatedMacroblock ) {
	M4TestPictures pictures( 200, 120, 2 );
	M4Image& current = pictures[0];
	M4Image& other = pictures[1];
	M4TestFillPicture( &current, 5 );
	M4TestFillPicture( &other, 6 );
	const u32 mbX = 12;
	const u32 mbY = 7;
	std::vector<u8> before[3];
	for ( u32 p = 0; p < 3; p++ ) {
		before[p] = M4TestLinearPlane( M4ImagePlane( &current, p ) );
	}
	M4MemOpInterpolateAll( &current, mbX, mbY, &other );
	for ( u32 p = 0; p < 3; p++ ) {
		const M4Plane a = M4ImagePlane( &current, p );
		const M4Plane b = M4ImagePlane( &other, p );
		const s32 size = p == 0 ? 16 : 8;
		for ( s32 y = -static_cast<s32>( a.mBorder ); y < static_cast<s32>( a.mRows - a.mBorder ); y++ ) {
			for ( s32 x = -static_cast<s32>( a.mBorder ); x < static_cast<s32>( a.mStride - a.mBorder ); x++ ) {
				const u8 old = before[p][static_cast<size_t>( y + static_cast<s32>( a.mBorder ) ) * a.mStride + static_cast<size_t>( x + static_cast<s32>( a.mBorder ) )];
				const bool inside = x >= size * static_cast<s32>( mbX ) && x < size * static_cast<s32>( mbX + 1 ) && y >= size * static_cast<s32>( mbY ) && y < size * static_cast<s32>( mbY + 1 );
				const u8 expected = inside ? static_cast<u8>( ( old + M4TestPixel( b, x, y ) + 1 ) / 2 ) : old;
				ASSERT_EQ( M4TestPixel( a, x, y ), expected ) << "plane " << p << " at " << x << "," << y;
			}
		}
	}
	M4MemOpInterMBCopyAll( &current, 0, 0, &other );
	M4MemOpInterMBCopyAll( &current, mbX, mbY, &other );
	for ( u32 p = 0; p < 3; p++ ) {
		const s32 size = p == 0 ? 16 : 8;
		for ( u32 mb : { 0u, 1u } ) {
			const s32 x0 = mb == 0 ? 0 : size * static_cast<s32>( mbX );
			const s32 y0 = mb == 0 ? 0 : size * static_cast<s32>( mbY );
			for ( s32 y = 0; y < size; y++ ) {
				for ( s32 x = 0; x < size; x++ ) {
					EXPECT_EQ( M4TestPixel( M4ImagePlane( &current, p ), x0 + x, y0 + y ), M4TestPixel( M4ImagePlane( &other, p ), x0 + x, y0 + y ) );
				}
			}
		}
	}
	// Flushing only stores cache lines: the picture stays as it is.
	const std::vector<u8> flushed = M4TestLinearPlane( M4ImagePlane( &current, M4_PLANE_Y ) );
	M4MemMBFlush( &current, mbX, mbY );
	EXPECT_EQ( M4TestLinearPlane( M4ImagePlane( &current, M4_PLANE_Y ) ), flushed );
}
