#include "video/m4/M4Xfb.h"

#include "video/m4/VIDDecoder.h"

#include "M4TestHooks.h"
#include "M4TestPicture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

VIDImage Describe( const M4Image& picture ) {
	VIDImage image;
	image.width = picture.mWidth;
	image.height = picture.mHeight;
	image.texWidth = picture.mPaddedWidth;
	image.texHeight = static_cast<u16>( picture.mPaddedHeight - 64 );
	image.y = picture.mY;
	image.u = picture.mU;
	image.v = picture.mV;
	return image;
}

} // namespace

TEST( M4Xfb, AsksForTwoWorkAreasOfFastMemory ) {
	EXPECT_EQ( M4XfbGetLCSize(), 896u );
	EXPECT_EQ( VIDXFBGetLCSize(), 896u );
}

TEST( M4Xfb, WritesLumaAndTheChromaPairOfEachPixelPair ) {
	struct Case {
		u16 width;
		u16 height;
		u32 xfbWidth;
		u32 writtenPairs;
	};
	const Case cases[] = {
		{ 32, 16, 640, 16 },
		{ 32, 16, 32, 16 },
		{ 17, 9, 64, 9 },		// odd width: the last pair takes the decoded pixel past the edge
		{ 33, 16, 20, 10 },		// clipped to the buffer
		{ 32, 16, 21, 10 },		// an odd buffer width holds 10 whole pairs
	};
	for ( const Case& c : cases ) {
		M4TestPictures pictures( c.width, c.height, 1 );
		M4Image& picture = pictures[0];
		const M4Plane y = M4ImagePlane( &picture, M4_PLANE_Y );
		const M4Plane u = M4ImagePlane( &picture, M4_PLANE_U );
		const M4Plane v = M4ImagePlane( &picture, M4_PLANE_V );
		for ( s32 row = 0; row < c.height; row++ ) {
			for ( s32 column = 0; column < static_cast<s32>( c.writtenPairs * 2 ); column++ ) {
				M4TestPixel( y, column, row ) = static_cast<u8>( 3 * column + 7 * row );
				M4TestPixel( u, column / 2, row / 2 ) = static_cast<u8>( 100 + column / 2 + 10 * ( row / 2 ) );
				M4TestPixel( v, column / 2, row / 2 ) = static_cast<u8>( 200 - column / 2 - 10 * ( row / 2 ) );
			}
		}
		const u32 stride = ( c.xfbWidth / 2 ) * 4;
		std::vector<u8> xfb( stride * ( c.height + 1 ), 0xEE );
		const VIDImage image = Describe( picture );
		VIDXFBDraw( &image, xfb.data(), c.xfbWidth );
		for ( u32 row = 0; row <= c.height; row++ ) {
			for ( u32 pair = 0; pair < c.xfbWidth / 2; pair++ ) {
				const u8* const word = &xfb[row * stride + pair * 4];
				if ( row == c.height || pair >= c.writtenPairs ) {
					EXPECT_EQ( word[0], 0xEE );
					EXPECT_EQ( word[3], 0xEE );
					continue;
				}
				EXPECT_EQ( word[0], static_cast<u8>( 6 * pair + 7 * row ) ) << "row " << row << " pair " << pair;
				EXPECT_EQ( word[1], static_cast<u8>( 100 + pair + 10 * ( row / 2 ) ) );
				EXPECT_EQ( word[2], static_cast<u8>( 6 * pair + 3 + 7 * row ) );
				EXPECT_EQ( word[3], static_cast<u8>( 200 - pair - 10 * ( row / 2 ) ) );
			}
		}
	}
	M4TestHooksReset();
}

TEST( M4Xfb, AKnownPictureGivesTheExpectedWords ) {
	M4TestPictures pictures( 32, 16, 1 );
	M4Image& picture = pictures[0];
	// A black picture with one white luma pixel at (5, 3) and chroma
	// (90, 240) at chroma (2, 1).
	M4TestPixel( M4ImagePlane( &picture, M4_PLANE_Y ), 5, 3 ) = 235;
	M4TestPixel( M4ImagePlane( &picture, M4_PLANE_U ), 2, 1 ) = 90;
	M4TestPixel( M4ImagePlane( &picture, M4_PLANE_V ), 2, 1 ) = 240;
	std::vector<u8> xfb( 64 * 16 );
	const VIDImage image = Describe( picture );
	M4XfbDraw( &image, xfb.data(), 32 );
	const u8 black[4] = { 16, 128, 16, 128 };
	for ( u32 row = 0; row < 16; row++ ) {
		for ( u32 pair = 0; pair < 16; pair++ ) {
			u8 expected[4] = { black[0], black[1], black[2], black[3] };
			if ( pair == 2 && ( row == 2 || row == 3 ) ) {
				expected[1] = 90;
				expected[3] = 240;
			}
			if ( pair == 2 && row == 3 ) {
				expected[2] = 235;
			}
			for ( u32 i = 0; i < 4; i++ ) {
				EXPECT_EQ( xfb[row * 64 + pair * 4 + i], expected[i] ) << "row " << row << " pair " << pair << " byte " << i;
			}
		}
	}
}
