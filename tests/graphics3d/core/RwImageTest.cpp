#include "graphics3d/core/RwImageConvert.h"
#include "graphics3d/core/RwImageResample.h"
#include "RwImageTestImages.h"

#include <cmath>
#include <cstring>

namespace {

class RwImageTest : public RwStartedTestCase {};

RwRGBA Grey( const s32 i ) {
	return { static_cast<u8>( i ), static_cast<u8>( 255 - i ), static_cast<u8>( i / 2 ), static_cast<u8>( i ^ 0x5A ) };
}

TEST_F( RwImageTest, AllocatesRowsRoundedToFourBytesWithThePaletteBehindThem ) {
	struct Case {
		s32		depth;
		s32		width;
		s32		stride;
		bool	palette;
	};
	const Case cases[] = { { 8, 5, 8, true }, { 4, 5, 8, true }, { 32, 5, 20, false }, { 8, 4, 4, true }, { 32, 1, 4, false } };
	for ( const Case& c : cases ) {
		RwImage* const image = RwImageCreate( c.width, 3, c.depth );
		ASSERT_NE( image, nullptr );
		EXPECT_EQ( image->cpPixels, nullptr );
		ASSERT_EQ( RwImageAllocatePixels( image ), image );
		EXPECT_EQ( image->stride, c.stride ) << c.depth << "x" << c.width;
		EXPECT_EQ( image->flags & rwIMAGEALLOCATED, rwIMAGEALLOCATED );
		if ( c.palette ) {
			EXPECT_EQ( reinterpret_cast<u8*>( image->palette ), image->cpPixels + 3 * c.stride );
			image->palette[( 1 << c.depth ) - 1] = { 1, 2, 3, 4 };	// the last entry is inside the block
		} else {
			EXPECT_EQ( image->palette, nullptr );
		}
		EXPECT_TRUE( RwImageDestroy( image ) );
	}
}

TEST_F( RwImageTest, RefusesToAllocateImpossibleSizes ) {
	const s32 sizes[][3] = { { 0, 4, 32 }, { 4, -1, 8 }, { 0x40000000, 1, 32 }, { 0x7FFFFFFF, 0x7FFFFFFF, 32 } };
	for ( const auto& size : sizes ) {
		RwImage* const image = RwImageCreate( size[0], size[1], size[2] );
		EXPECT_EQ( RwImageAllocatePixels( image ), nullptr ) << size[0];
		EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_MEMORY );
		EXPECT_EQ( image->cpPixels, nullptr );
		RwImageDestroy( image );
	}
}

TEST_F( RwImageTest, GammaCorrectsColourChannelsThroughTheTable ) {
	for ( const f32 gamma : { 1.0f, 2.2f, 0.45f } ) {
		SCOPED_TRACE( gamma );
		ASSERT_TRUE( RwImageSetGamma( gamma ) );
		RwImage* const image = RwTestImage32( 256, 1, []( s32 x, s32 ) { return Grey( x ); } );
		RwImage* const palettised = RwTestImagePal( 2, 2, 8, []( s32 x, s32 y ) { return static_cast<u8>( x + y ); }, Grey );
		ASSERT_EQ( RwImageGammaCorrect( image ), image );
		ASSERT_EQ( RwImageGammaCorrect( palettised ), palettised );
		const auto expected = [&]( const s32 i ) {
			return i == 0 ? 0 : static_cast<s32>( 0.5 + 255.0 * std::pow( i / 255.0, 1.0 / gamma ) );
		};
		for ( s32 i = 0; i < 256; i++ ) {
			const RwRGBA source = Grey( i );
			const RwRGBA corrected = *RwTestPixel( image, i, 0 );
			EXPECT_EQ( corrected.red, expected( source.red ) ) << i;
			EXPECT_EQ( corrected.green, expected( source.green ) ) << i;
			EXPECT_EQ( corrected.blue, expected( source.blue ) ) << i;
			EXPECT_EQ( corrected.alpha, source.alpha ) << i;
			EXPECT_EQ( palettised->palette[i], corrected ) << i;
		}
		if ( gamma == 1.0f ) {
			EXPECT_EQ( RwTestPixel( image, 77, 0 )->red, 77 );
		}
		if ( gamma == 2.2f ) {
			EXPECT_EQ( RwTestPixel( image, 255, 0 )->red, 255 );
			EXPECT_GT( RwTestPixel( image, 1, 0 )->red, 1 );
		}
		RwImageDestroy( palettised );
		RwImageDestroy( image );
	}
	RwImageSetGamma( 1.0f );
}

TEST_F( RwImageTest, GammaOfZeroOrBelowStaysWithinABytePerEntry ) {
	for ( const f32 gamma : { 0.0f, -1.0f, -0.0f, 1e-30f } ) {
		ASSERT_TRUE( RwImageSetGamma( gamma ) );
		RwImage* const image = RwTestImage32( 256, 1, []( s32 x, s32 ) { return Grey( x ); } );
		ASSERT_EQ( RwImageGammaCorrect( image ), image );
		EXPECT_EQ( RwTestPixel( image, 0, 0 )->red, 0 );
		RwImageDestroy( image );
	}
	RwImageSetGamma( 1.0f );
}

TEST_F( RwImageTest, GammaCorrectionRefusesUnknownDepthsAndMissingPixels ) {
	RwImage* const deep = RwImageCreate( 2, 2, 16 );
	RwImageAllocatePixels( deep );
	EXPECT_EQ( RwImageGammaCorrect( deep ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_IMAGE_DEPTH );
	RwImage* const empty = RwImageCreate( 2, 2, 32 );
	EXPECT_EQ( RwImageGammaCorrect( empty ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NULL_ARGUMENT );
	RwImageDestroy( empty );
	RwImageDestroy( deep );
}

TEST_F( RwImageTest, CopiesAcrossTheSupportedDepthsAndRefusesTheOthers ) {
	const auto index = []( s32 x, s32 y ) { return static_cast<u8>( ( x * 3 + y ) & 0x0F ); };
	struct Case {
		s32		sourceDepth;
		s32		destDepth;
		bool	supported;
	};
	const Case cases[] = {
		{ 8, 32, true }, { 4, 32, true }, { 4, 8, true }, { 8, 8, true }, { 4, 4, true }, { 32, 32, true },
		{ 32, 8, false }, { 32, 4, false }, { 8, 4, false }, { 16, 32, false },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( testing::Message() << c.sourceDepth << " -> " << c.destDepth );
		RwImage* const source = c.sourceDepth == 32 ? RwTestImage32( 5, 3, []( s32 x, s32 y ) { return Grey( x * 3 + y ); } )
												   : c.sourceDepth == 16 ? RwImageCreate( 5, 3, 16 )
																		 : RwTestImagePal( 5, 3, c.sourceDepth, index, Grey );
		if ( c.sourceDepth == 16 ) {
			RwImageAllocatePixels( source );
		}
		source->flags |= rwIMAGEGAMMACORRECTED;
		RwImage* const dest = RwImageCreate( 5, 3, c.destDepth );
		RwImageAllocatePixels( dest );
		std::memset( dest->cpPixels, 0xAB, static_cast<size_t>( dest->stride ) * 3 );
		EXPECT_EQ( RwImageCopy( dest, source ) != nullptr, c.supported );
		if ( !c.supported ) {
			EXPECT_EQ( RwTestReadError().errorCode, RWERR_IMAGE_FORMAT );
			EXPECT_EQ( dest->flags & rwIMAGEGAMMACORRECTED, 0 );
			EXPECT_EQ( *dest->cpPixels, 0xAB );
		} else {
			EXPECT_EQ( dest->flags & rwIMAGEGAMMACORRECTED, rwIMAGEGAMMACORRECTED );
			for ( s32 y = 0; y < 3; y++ ) {
				for ( s32 x = 0; x < 5; x++ ) {
					if ( c.destDepth == 32 ) {
						EXPECT_EQ( *RwTestPixel( dest, x, y ), Grey( c.sourceDepth == 32 ? x * 3 + y : index( x, y ) ) );
					} else {
						EXPECT_EQ( *RwTestIndex( dest, x, y ), index( x, y ) );
					}
				}
			}
			if ( c.sourceDepth == c.destDepth && c.destDepth <= 8 ) {
				EXPECT_EQ( dest->palette[( 1 << c.destDepth ) - 1], Grey( ( 1 << c.destDepth ) - 1 ) );
			}
		}
		RwImageDestroy( dest );
		RwImageDestroy( source );
	}
}

TEST_F( RwImageTest, FourBitLookupsUseTheLowNibbleOfEachIndexByte ) {
	RwImage* const source = RwTestImagePal( 2, 1, 4, []( s32 x, s32 ) { return static_cast<u8>( x == 0 ? 0x1F : 0xF3 ); }, Grey );
	RwImage* const dest = RwImageCreate( 2, 1, 32 );
	RwImageAllocatePixels( dest );
	ASSERT_EQ( RwImageCopy( dest, source ), dest );
	EXPECT_EQ( *RwTestPixel( dest, 0, 0 ), Grey( 15 ) );
	EXPECT_EQ( *RwTestPixel( dest, 1, 0 ), Grey( 3 ) );
	RwImage* const mask = RwTestImagePal( 2, 1, 4, []( s32, s32 ) { return static_cast<u8>( 0xFE ); }, Grey );
	ASSERT_EQ( RwImageApplyMask( dest, mask ), dest );
	EXPECT_EQ( RwTestPixel( dest, 0, 0 )->alpha, Grey( 14 ).alpha );
	RwImageDestroy( mask );
	RwImageDestroy( dest );
	RwImageDestroy( source );
}

TEST_F( RwImageTest, MasksTakeTheirAlphaFromTheBrightestChannel ) {
	RwImage* const image = RwTestImage32( 3, 1, []( s32 x, s32 ) { return RwRGBA{ static_cast<u8>( 10 * x ), 200, 7, 0 }; } );
	RwImage* const mask = RwTestImage32( 3, 1, []( s32 x, s32 ) {
		return RwRGBA{ static_cast<u8>( 40 * x ), static_cast<u8>( 90 - x ), static_cast<u8>( 60 + x ), 1 };
	} );
	ASSERT_EQ( RwImageMakeMask( mask ), mask );
	EXPECT_EQ( RwTestPixel( mask, 0, 0 )->alpha, 90 );
	EXPECT_EQ( RwTestPixel( mask, 2, 0 )->alpha, 88 );
	ASSERT_EQ( RwImageApplyMask( image, mask ), image );
	EXPECT_EQ( RwTestPixel( image, 1, 0 )->alpha, 89 );
	EXPECT_EQ( RwTestPixel( image, 1, 0 )->red, 10 );
	RwImage* const palettised = RwTestImagePal( 3, 1, 8, []( s32 x, s32 ) { return static_cast<u8>( x ); }, Grey );
	ASSERT_EQ( RwImageApplyMask( palettised, mask ), palettised );
	EXPECT_EQ( palettised->depth, 32 );
	EXPECT_EQ( palettised->palette, nullptr );
	EXPECT_EQ( RwTestPixel( palettised, 2, 0 )->red, Grey( 2 ).red );
	EXPECT_EQ( RwTestPixel( palettised, 2, 0 )->alpha, 88 );
	RwImage* const small = RwTestImage32( 2, 1, []( s32, s32 ) { return RwRGBA{}; } );
	EXPECT_EQ( RwImageApplyMask( image, small ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_IMAGE_SIZE );
	RwImageDestroy( small );
	RwImageDestroy( palettised );
	RwImageDestroy( mask );
	RwImageDestroy( image );
}

TEST_F( RwImageTest, ResamplingAveragesTheCoveredSourceArea ) {
	// Red alternates 0 and 255 by column, green by row, blue is the same
	// everywhere.
	RwImage* const source = RwTestImage32( 4, 4, []( s32 x, s32 y ) {
		return RwRGBA{ static_cast<u8>( ( x & 1 ) * 255 ), static_cast<u8>( ( y & 1 ) * 255 ), 100, 255 };
	} );
	source->flags |= rwIMAGEGAMMACORRECTED;
	struct Case {
		s32		size;
		u8		red[4];		// per destination column
	};
	// 4 -> 3: steps of 87381 / 65536 source pixels; the last one covers a
	// little less than the last source pixel (steps truncate).
	const Case cases[] = { { 2, { 128, 128, 0 } }, { 3, { 64, 128, 191 } }, { 4, { 0, 255, 0, 255 } } };
	for ( const Case& c : cases ) {
		RwImage* const dest = RwImageCreateResample( source, c.size, c.size );
		ASSERT_NE( dest, nullptr );
		EXPECT_EQ( dest->depth, 32 );
		EXPECT_EQ( dest->flags & rwIMAGEGAMMACORRECTED, rwIMAGEGAMMACORRECTED );
		for ( s32 y = 0; y < c.size; y++ ) {
			for ( s32 x = 0; x < c.size; x++ ) {
				const RwRGBA pixel = *RwTestPixel( dest, x, y );
				EXPECT_EQ( pixel.red, c.red[x] ) << c.size << ": " << x << "," << y;
				EXPECT_EQ( pixel.green, c.red[y] ) << c.size << ": " << x << "," << y;
				EXPECT_EQ( pixel.blue, 100 );
				EXPECT_EQ( pixel.alpha, 255 );
			}
		}
		RwImageDestroy( dest );
	}
	RwImageDestroy( source );
}

TEST_F( RwImageTest, ResamplesPalettisedImagesThroughATemporaryAndCleansUpFailures ) {
	RwImage* const source = RwTestImagePal( 2, 2, 8, []( s32 x, s32 ) { return static_cast<u8>( x ); }, Grey );
	RwImage* const dest = RwImageCreateResample( source, 1, 1 );
	ASSERT_NE( dest, nullptr );
	EXPECT_EQ( RwTestPixel( dest, 0, 0 )->red, 1 );
	EXPECT_EQ( RwImageCreateResample( source, 0, 4 ), nullptr );
	RwImage* const shallow = RwImageCreate( 2, 2, 32 );
	RwImage* const noPixels = RwImageCreate( 2, 2, 8 );
	EXPECT_EQ( RwImageCreateResample( noPixels, 1, 1 ), nullptr );
	RwImageAllocatePixels( shallow );
	EXPECT_EQ( RwImageResample( shallow, source ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_MEMORY );
	RwImageDestroy( noPixels );
	RwImageDestroy( shallow );
	RwImageDestroy( dest );
	RwImageDestroy( source );
}

}	// namespace
