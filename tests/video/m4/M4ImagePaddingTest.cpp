#include "video/m4/M4ImagePadding.h"

#include "M4TestHooks.h"
#include "M4TestPicture.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST( M4ImagePadding, EveryBorderPixelRepeatsTheNearestCodedPixel ) {
	struct Case {
		u16 width;
		u16 height;
	};
	// 200 x 120 codes 208 x 128: the border extends from column 207 and row 127.
	const Case cases[] = { { 200, 120 }, { 32, 16 }, { 17, 33 }, { 640, 448 } };
	for ( const Case& c : cases ) {
		M4TestPictures pictures( c.width, c.height, 1 );
		M4Image& picture = pictures[0];
		M4TestFillPicture( &picture, 21 );
		std::vector<u8> before[3];
		for ( u32 p = 0; p < 3; p++ ) {
			before[p] = M4TestLinearPlane( M4ImagePlane( &picture, p ) );
		}
		M4ImageCreatePadding( &picture );
		for ( u32 p = 0; p < 3; p++ ) {
			const M4Plane plane = M4ImagePlane( &picture, p );
			const s32 border = static_cast<s32>( plane.mBorder );
			const s32 codedWidth = ( ( c.width + 15 ) / 16 ) * 16 / ( p == 0 ? 1 : 2 );
			const s32 codedHeight = ( ( c.height + 15 ) / 16 ) * 16 / ( p == 0 ? 1 : 2 );
			ASSERT_EQ( static_cast<s32>( plane.mStride ), codedWidth + 2 * border );
			const std::vector<u8> after = M4TestLinearPlane( plane );
			for ( s32 y = -border; y < codedHeight + border; y++ ) {
				for ( s32 x = -border; x < codedWidth + border; x++ ) {
					const s32 nx = std::clamp( x, 0, codedWidth - 1 );
					const s32 ny = std::clamp( y, 0, codedHeight - 1 );
					const u8 expected = before[p][static_cast<size_t>( ny + border ) * plane.mStride + static_cast<size_t>( nx + border )];
					ASSERT_EQ( after[static_cast<size_t>( y + border ) * plane.mStride + static_cast<size_t>( x + border )], expected )
						<< c.width << "x" << c.height << " plane " << p << " at " << x << "," << y;
				}
			}
		}
	}
	M4TestHooksReset();
}
