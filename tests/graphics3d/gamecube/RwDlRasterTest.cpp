#include "RwDlTestDriver.h"

#include "datatypes/base/DTByteOrder.h"
#include "graphics3d/core/RwImageRaster.h"
#include "graphics3d/core/RwTexture.h"

#include <vector>

namespace {

class RwDlRasterTest : public RwDlTestCase {
protected:
	void SetUp() override {
		RwDlTestCase::SetUp();
		ASSERT_TRUE( BringUp() );
	}
};

constexpr s32 TEXTURE = rwRASTERTYPETEXTURE;

RwImage* MakeImage( const s32 w, const s32 h, const s32 depth ) {
	RwImage* const image = RwImageCreate( w, h, depth );
	RwImageAllocatePixels( image );
	return image;
}

// A colour that survives every 16-bit packing: components multiples of 8.
RwRGBA Colour( const s32 i ) {
	return { static_cast<u8>( ( i * 40 ) & 0xF8 ), static_cast<u8>( ( i * 88 + 8 ) & 0xF8 ),
			 static_cast<u8>( ( 255 - i * 16 ) & 0xF8 ), 255 };
}

}	// namespace

TEST_F( RwDlRasterTest, ChoosesTheGXFormatOrRefusesAsTabled ) {
	const u32 none = 255;
	const struct {
		s32		type;
		s32		depth;
		u32		format;
		bool	created;
		u32		gxFormat;
		u32		tlutFormat;
		s32		depthAfter;
		u32		alpha;
		u32		formatAfter;
		u32		errorPlugin;
		u32		errorCode;
	} cases[] = {
		{ TEXTURE, 0, 0x0000, true, GX_TF_RGB5A3, GX_TL_RGB5A3, 16, 1, 0x0100, 0, 0 },
		{ rwRASTERTYPECAMERATEXTURE, 0, 0x0000, true, GX_TF_RGB565, none, 16, 0, 0x0200, 0, 0 },
		{ TEXTURE, 0, 0x4000, true, GX_TF_C4, GX_TL_RGB5A3, 4, 1, 0x4100, 0, 0 },
		{ TEXTURE, 4, 0x4000, true, GX_TF_C4, GX_TL_RGB5A3, 4, 1, 0x4100, 0, 0 },
		{ TEXTURE, 4, 0x0000, true, GX_TF_I4, none, 4, 0, 0x0000, 0, 0 },
		{ TEXTURE, 8, 0x2000, true, GX_TF_C8, GX_TL_RGB5A3, 8, 1, 0x2100, 0, 0 },
		{ TEXTURE, 8, 0x0000, true, GX_TF_I8, none, 8, 0, 0x0000, 0, 0 },
		{ TEXTURE, 16, 0x0000, true, GX_TF_RGB5A3, none, 16, 1, 0x0100, 0, 0 },
		{ TEXTURE, 32, 0x8000, true, GX_TF_RGBA8, none, 32, 1, 0x8500, 0, 0 },
		{ TEXTURE, 24, 0x0000, false, 0, 0, 0, 0, 0, 0, 0x8000000C },
		{ TEXTURE, 0, 0x2100, true, GX_TF_C8, GX_TL_RGB5A3, 8, 1, 0x2100, 0, 0 },
		{ TEXTURE, 0, 0x0300, true, GX_TF_RGB5A3, GX_TL_RGB5A3, 16, 1, 0x0300, 0, 0 },
		{ TEXTURE, 0, 0x4200, true, GX_TF_C4, GX_TL_RGB565, 4, 0, 0x4200, 0, 0 },
		{ TEXTURE, 0, 0x0200, true, GX_TF_RGB565, GX_TL_RGB565, 16, 0, 0x0200, 0, 0 },
		{ TEXTURE, 0, 0x0A00, true, GX_TF_RGB5A3, GX_TL_RGB5A3, 16, 0, 0x0A00, 0, 0 },
		{ TEXTURE, 0, 0x0500, true, GX_TF_RGBA8, none, 32, 1, 0x0500, 0, 0 },
		{ TEXTURE, 0, 0x0600, true, GX_TF_RGBA8, none, 32, 0, 0x0600, 0, 0 },
		{ TEXTURE, 0, 0x2500, false, 0, 0, 0, 0, 0, 1, 2 },
		{ TEXTURE, 0, 0x4600, false, 0, 0, 0, 0, 0, 1, 2 },
		{ TEXTURE, 0, 0x0400, false, 0, 0, 0, 0, 0, 1, 2 },
		{ TEXTURE, 0, 0x0700, false, 0, 0, 0, 0, 0, 1, 2 },
		{ TEXTURE, 0, 0x0800, false, 0, 0, 0, 0, 0, 1, 2 },
		{ TEXTURE, 0, 0x0900, false, 0, 0, 0, 0, 0, 1, 2 },
		{ TEXTURE, 0, 0x0B00, false, 0, 0, 0, 0, 0, 0, 0x8000000D },
		{ rwRASTERTYPECAMERATEXTURE, 0, 0x4000, false, 0, 0, 0, 0, 0, 1, 2 },
		{ rwRASTERTYPECAMERA, 0, 0x0000, true, GX_TF_RGBA8, none, 32, 0, 0x0600, 0, 0 },
		{ rwRASTERTYPEZBUFFER, 0, 0x0000, true, GX_TF_RGBA8, none, 32, 0, 0x0600, 0, 0 },
		{ rwRASTERTYPECAMERA, 0, 0x0700, false, 0, 0, 0, 0, 0, 0, 0x8000000D },
		{ 3, 0, 0x0000, false, 0, 0, 0, 0, 0, 0, 0x8000000D },
		{ 6, 0, 0x0000, false, 0, 0, 0, 0, 0, 0, 0x8000000D },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( ::testing::Message() << "type " << c.type << " depth " << c.depth << " format " << std::hex
											<< c.format );
		RwDlTestReadError();
		RwRaster* const raster = RwRasterCreate( 8, 8, c.depth, c.type | static_cast<s32>( c.format ) );
		const RwError error = RwDlTestReadError();
		EXPECT_EQ( raster != nullptr, c.created );
		if ( raster == nullptr ) {
			EXPECT_EQ( error.pluginID, c.errorPlugin );
			EXPECT_EQ( error.errorCode, c.errorCode );
			continue;
		}
		const RwDlRasterExt* const ext = _rwDlRasterExt( raster );
		EXPECT_EQ( ext->gxFormat, c.gxFormat );
		EXPECT_EQ( ext->tlutFormat, c.tlutFormat );
		EXPECT_EQ( raster->depth, c.depthAfter );
		EXPECT_EQ( ext->flags & RWDL_RASTER_HAS_ALPHA, c.alpha );
		EXPECT_EQ( static_cast<u32>( raster->cFormat ) << 8, c.formatAfter );
		EXPECT_EQ( ( raster->cFlags & rwRASTERDONTALLOCATE ) != 0, c.type == rwRASTERTYPECAMERA || c.type == rwRASTERTYPEZBUFFER );
		if ( ext->palette != nullptr ) {
			EXPECT_EQ( ext->tlut.lut, ext->palette );
			EXPECT_EQ( ext->tlut.entries, 1u << raster->depth );
			EXPECT_EQ( ext->palette, ext->texels + _rwDlRasterGetSize( raster ) );
		}
		RwRasterDestroy( raster );
	}
}

TEST_F( RwDlRasterTest, SizesLevelsAndStridesOfTheTiledLayout ) {
	RwRaster* const tiny = RwRasterCreate( 1, 1, 4, TEXTURE );
	EXPECT_EQ( DlRasterGetMipLevelSize( tiny, 0 ), 32u );
	EXPECT_EQ( _rwDlRasterGetStride( tiny, 0 ), 4u );
	RwRasterDestroy( tiny );

	RwRaster* const screen = RwRasterCreate( 640, 480, 0, TEXTURE | 0x500 );
	EXPECT_EQ( _rwDlRasterGetSize( screen ), 1228800u );
	EXPECT_EQ( _rwDlRasterGetStride( screen, 0 ), 2560u );
	RwRasterDestroy( screen );

	// Mip levels of a 40 x 10 RGB5A3 raster: 40x10, 20x5, 10x2, 5x1, 2x1, 1x1.
	RwRaster* const mipped = RwRasterCreate( 40, 10, 16, TEXTURE | 0x8000 );
	EXPECT_EQ( RwRasterGetNumLevels( mipped ), 6 );
	const u32 expected[6] = { 40 * 12 * 2, 20 * 8 * 2, 12 * 4 * 2, 8 * 4 * 2, 32, 32 };
	u32 total = 0;
	for ( s32 level = 0; level < 6; level++ ) {
		EXPECT_EQ( DlRasterGetMipLevelSize( mipped, level ), expected[level] ) << level;
		total += expected[level];
	}
	EXPECT_EQ( _rwDlRasterGetSize( mipped ), total );
	RwRasterDestroy( mipped );

	EXPECT_EQ( _rwDlFindMSB( 0 ), -1 );
	EXPECT_EQ( _rwDlFindMSB( 1 ), 0 );
	EXPECT_EQ( _rwDlFindMSB( 1500 ), 10 );

	RwImage* const big = MakeImage( 1500, 700, 32 );
	std::memset( big->cpPixels, 0xFF, static_cast<size_t>( big->stride * big->height ) );
	s32 w = 0, h = 0, depth = 0, format = 0;
	ASSERT_NE( RwImageFindRasterFormat( big, TEXTURE | 0x8000, &w, &h, &depth, &format ), nullptr );
	EXPECT_EQ( w, 1024 );
	EXPECT_EQ( h, 512 );
	ASSERT_NE( RwImageFindRasterFormat( big, TEXTURE, &w, &h, &depth, &format ), nullptr );
	EXPECT_EQ( w, 1024 );
	EXPECT_EQ( h, 700 );
	RwImageDestroy( big );
}

TEST_F( RwDlRasterTest, TilesAndUntilesEveryDepthToTheBlockAddressOfEachTexel ) {
	const struct {
		s32		w;
		s32		h;
	} sizes[] = { { 13, 7 }, { 1, 1 }, { 8, 4 }, { 17, 9 } };
	for ( const s32 depth : { 4, 8, 16, 32 } ) {
		for ( const auto& size : sizes ) {
			SCOPED_TRACE( ::testing::Message() << depth << " bit " << size.w << " x " << size.h );
			const s32 bw = depth <= 8 ? 8 : 4;
			const s32 bh = depth == 4 ? 8 : 4;
			const s32 blocksPerRow = ( size.w + bw - 1 ) / bw;
			const s32 blockRows = ( size.h + bh - 1 ) / bh;
			const s32 blockBytes = depth == 32 ? 64 : 32;
			const s32 stride = depth == 4 ? blocksPerRow * 4 : blocksPerRow * bw * depth / 8;
			std::vector<u8> linear( static_cast<size_t>( stride * size.h ) );
			for ( size_t i = 0; i < linear.size(); i++ ) {
				linear[i] = static_cast<u8>( i * 7 + 3 );
			}
			std::vector<u8> tiled( static_cast<size_t>( blocksPerRow * blockRows * blockBytes ), 0xEE );
			ASSERT_TRUE( DlRasterTile( tiled.data(), linear.data(), size.w, size.h, depth, stride ) );
			for ( s32 y = 0; y < blockRows * bh; y++ ) {
				for ( s32 x = 0; x < blocksPerRow * bw; x++ ) {
					const s32 block = ( y / bh ) * blocksPerRow + x / bw;
					const s32 t = ( y % bh ) * bw + x % bw;
					const u8* const at = tiled.data() + block * blockBytes;
					if ( y >= size.h ) {
						// Padding rows stay as they were.
						EXPECT_EQ( at[depth == 4 ? t / 2 : t * depth / 8 / ( depth == 32 ? 2 : 1 )], 0xEE );
						continue;
					}
					const u8* const row = linear.data() + y * stride;
					if ( depth == 4 ) {
						const u8 want = ( x & 1 ) ? row[x / 2] & 0xF : row[x / 2] >> 4;
						const u8 got = ( t & 1 ) ? at[t / 2] & 0xF : at[t / 2] >> 4;
						ASSERT_EQ( got, want ) << x << "," << y;
					} else if ( depth == 8 ) {
						ASSERT_EQ( at[t], row[x] ) << x << "," << y;
					} else if ( depth == 16 ) {
						u16 value;
						std::memcpy( &value, row + x * 2, 2 );
						ASSERT_EQ( DTReadBE16( at + t * 2 ), value ) << x << "," << y;
					} else {
						u32 value;
						std::memcpy( &value, row + x * 4, 4 );
						ASSERT_EQ( at[t * 2], static_cast<u8>( value >> 24 ) );
						ASSERT_EQ( at[t * 2 + 1], static_cast<u8>( value >> 16 ) );
						ASSERT_EQ( at[32 + t * 2], static_cast<u8>( value >> 8 ) );
						ASSERT_EQ( at[32 + t * 2 + 1], static_cast<u8>( value ) ) << x << "," << y;
					}
				}
			}
			std::vector<u8> back( linear.size(), 0 );
			ASSERT_TRUE( DlRasterUntile( back.data(), tiled.data(), size.w, size.h, depth, stride ) );
			EXPECT_EQ( back, linear );
		}
	}
	u8 byte = 0;
	EXPECT_FALSE( DlRasterTile( &byte, &byte, 1, 1, 24, 3 ) );
	EXPECT_EQ( RwDlTestReadError().errorCode, 0x8000000Cu );
}

TEST_F( RwDlRasterTest, ExchangesImagesAndRastersAtEveryImageDepth ) {
	const s32 side = 8;
	// 32-bit image with eight colours, one translucent.
	RwImage* const full = MakeImage( side, side, 32 );
	for ( s32 y = 0; y < side; y++ ) {
		for ( s32 x = 0; x < side; x++ ) {
			RwRGBA c = Colour( ( x + y ) % 8 );
			std::memcpy( full->cpPixels + y * full->stride + x * 4, &c, 4 );
		}
	}
	// 4- and 8-bit images over the same colours.
	RwImage* const four = MakeImage( side, side, 4 );
	RwImage* const eight = MakeImage( side, side, 8 );
	for ( s32 i = 0; i < 16; i++ ) {
		four->palette[i] = Colour( i );
		eight->palette[i] = Colour( i );
	}
	for ( s32 y = 0; y < side; y++ ) {
		for ( s32 x = 0; x < side; x++ ) {
			four->cpPixels[y * four->stride + x] = static_cast<u8>( ( x + y ) % 8 );
			eight->cpPixels[y * eight->stride + x] = static_cast<u8>( ( x + y ) % 8 );
		}
	}
	const struct {
		const char*	name;
		RwImage*	source;
		u32			format;
	} cases[] = {
		{ "32 into RGBA8", full, 0x500 },
		{ "32 into RGB5A3", full, 0x100 },
		{ "32 into 4-bit, quantised", full, 0x4100 },
		{ "32 into 8-bit, quantised", full, 0x2100 },
		{ "8 into 4-bit, quantised", eight, 0x4100 },
		{ "4 into 4-bit", four, 0x4100 },
		{ "8 into 8-bit", eight, 0x2200 },
		{ "4 into RGB565", four, 0x200 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		RwRaster* const raster = RwRasterCreate( side, side, 0, TEXTURE | static_cast<s32>( c.format ) );
		ASSERT_NE( raster, nullptr );
		ASSERT_NE( RwRasterSetFromImage( raster, c.source ), nullptr );
		RwImage* const back = MakeImage( side, side, 32 );
		ASSERT_NE( RwImageSetFromRaster( back, raster ), nullptr );
		for ( s32 y = 0; y < side; y++ ) {
			for ( s32 x = 0; x < side; x++ ) {
				const RwRGBA want = Colour( ( x + y ) % 8 );
				RwRGBA got;
				std::memcpy( &got, back->cpPixels + y * back->stride + x * 4, 4 );
				ASSERT_EQ( std::memcmp( &got, &want, 4 ), 0 ) << x << "," << y << ": " << int( got.red ) << " "
															   << int( got.green ) << " " << int( got.blue );
			}
		}
		if ( raster->depth <= 8 ) {
			// The palette is the GPU's big-endian image of the packed colours.
			RwImage* const indexed = MakeImage( side, side, raster->depth );
			ASSERT_NE( RwImageSetFromRaster( indexed, raster ), nullptr );
			const u8* const palette = RwRasterLockPalette( raster, rwRASTERLOCKREAD );
			ASSERT_NE( palette, nullptr );
			u32 packed = 0;
			RwRGBA entry = indexed->palette[indexed->cpPixels[0]];
			_rwDlRGBToPixel( &packed, &entry, static_cast<s32>( c.format ) );
			EXPECT_EQ( DTReadBE16( palette + indexed->cpPixels[0] * 2 ), packed );
			RwRasterUnlockPalette( raster );
			RwImageDestroy( indexed );
		}
		RwImageDestroy( back );
		RwRasterDestroy( raster );
	}
	// Palettised images cannot come from direct rasters.
	RwRaster* const direct = RwRasterCreate( side, side, 0, TEXTURE | 0x500 );
	EXPECT_EQ( RwImageSetFromRaster( four, direct ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, 2u );
	EXPECT_EQ( RwImageSetFromRaster( eight, direct ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, 2u );
	RwRasterDestroy( direct );
	RwImageDestroy( full );
	RwImageDestroy( four );
	RwImageDestroy( eight );
}

TEST_F( RwDlRasterTest, ConvertsPixelsBothWaysPerFormat ) {
	const struct {
		u32		format;
		RwRGBA	colour;
		u32		pixel;
		RwRGBA	back;
	} cases[] = {
		{ 0x200, { 0xFF, 0x80, 0x08, 0x10 }, 0xFC01, { 0xF8, 0x80, 0x08, 0xFF } },
		{ 0x100, { 0xFF, 0x80, 0x08, 0xFF }, 0xFE01, { 0xF8, 0x80, 0x08, 0xFF } },
		{ 0x100, { 0xFF, 0x80, 0x08, 0xFE }, 0x7F80, { 0xF0, 0x80, 0x00, 0x00 } },
		{ 0x300, { 0xFF, 0x80, 0x08, 0xFE }, 0x7F80, { 0xF0, 0x80, 0x00, 0xE0 } },
		{ 0x300, { 0x10, 0x20, 0x30, 0x1F }, 0x0123, { 0x10, 0x20, 0x30, 0x00 } },
		{ 0xA00, { 0xFF, 0x80, 0x08, 0x00 }, 0xFE01, { 0xF8, 0x80, 0x08, 0xFF } },
		{ 0x600, { 1, 2, 3, 4 }, 0xFF010203, { 1, 2, 3, 0xFF } },
		{ 0x500, { 1, 2, 3, 4 }, 0x04010203, { 1, 2, 3, 4 } },
	};
	for ( const auto& c : cases ) {
		u32 pixel = 0;
		RwRGBA colour = c.colour;
		ASSERT_TRUE( _rwDlRGBToPixel( &pixel, &colour, static_cast<s32>( c.format ) ) );
		EXPECT_EQ( pixel, c.pixel ) << std::hex << c.format;
		RwRGBA back = {};
		ASSERT_TRUE( _rwDlPixelToRGB( &back, &pixel, static_cast<s32>( c.format ) ) );
		EXPECT_EQ( std::memcmp( &back, &c.back, 4 ), 0 ) << std::hex << c.format << " " << int( back.red ) << " "
														  << int( back.green ) << " " << int( back.blue ) << " "
														  << int( back.alpha );
	}
	u32 pixel = 0;
	RwRGBA colour = {};
	EXPECT_FALSE( _rwDlRGBToPixel( &pixel, &colour, 0x400 ) );
	EXPECT_EQ( RwDlTestReadError().errorCode, 2u );
}

TEST_F( RwDlRasterTest, WriteLocksAndDestructionWaitForTheRastersToken ) {
	for ( const bool destroy : { false, true } ) {
		RwRaster* const raster = RwRasterCreate( 16, 16, 0, TEXTURE | 0x500 );
		// The raster was used by the frame being built.
		_rwDlRasterExt( raster )->token = _RwDlTokenCurrent;
		const u16 used = _RwDlTokenCurrent;
		GXHostStall();
		const s64 resume = HostClockNow() + RWDL_TEST_RETRACE * 3;
		GXHostResumeAt( resume );
		if ( destroy ) {
			RwRasterDestroy( raster );
		} else {
			ASSERT_NE( RwRasterLock( raster, 0, rwRASTERLOCKWRITE ), nullptr );
		}
		EXPECT_GE( HostClockNow(), resume ) << destroy;
		EXPECT_EQ( _RwDlTokenCurrent, used + 1 );
		EXPECT_TRUE( _rwDlTokenQueryDone( used ) );
		if ( !destroy ) {
			RwRasterUnlock( raster );
			RwRasterDestroy( raster );
		}
	}
	// A token already passed costs no wait.
	RwRaster* const raster = RwRasterCreate( 16, 16, 0, TEXTURE | 0x500 );
	GXHostStall();
	const s64 before = HostClockNow();
	ASSERT_NE( RwRasterLock( raster, 0, rwRASTERLOCKWRITE ), nullptr );
	EXPECT_EQ( HostClockNow(), before );
	RwRasterUnlock( raster );
	GXHostResume();
	RwRasterDestroy( raster );
}

TEST_F( RwDlRasterTest, LocksASubRasterThroughItsParentAndRefusesMissingLevels ) {
	RwRaster* const parent = RwRasterCreate( 32, 32, 0, TEXTURE | 0x500 );
	u32* pixels = reinterpret_cast<u32*>( RwRasterLock( parent, 0, rwRASTERLOCKWRITE ) );
	ASSERT_NE( pixels, nullptr );
	for ( u32 i = 0; i < 32 * 32; i++ ) {
		pixels[i] = i;
	}
	RwRasterUnlock( parent );

	RwRaster* const sub = RwRasterCreate( 0, 0, 0, rwRASTERDONTALLOCATE | TEXTURE | 0x500 );
	const RwRect rect = { 8, 4, 16, 16 };
	ASSERT_NE( RwRasterSubRaster( sub, parent, &rect ), nullptr );
	u8* const window = RwRasterLock( sub, 0, rwRASTERLOCKREADWRITE );
	ASSERT_NE( window, nullptr );
	EXPECT_EQ( sub->width, 16 );
	for ( s32 y = 0; y < 16; y++ ) {
		u32* const row = reinterpret_cast<u32*>( window + y * sub->stride );
		EXPECT_EQ( row[0], static_cast<u32>( ( y + 4 ) * 32 + 8 ) );
		for ( s32 x = 0; x < 16; x++ ) {
			row[x] = 0xAB000000u | static_cast<u32>( y << 8 | x );
		}
	}
	RwRasterUnlock( sub );
	EXPECT_EQ( RwRasterLock( sub, 0, rwRASTERLOCKREAD | 0x8 ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, 0x8000000Eu );

	pixels = reinterpret_cast<u32*>( RwRasterLock( parent, 0, rwRASTERLOCKREAD ) );
	ASSERT_NE( pixels, nullptr );
	for ( s32 y = 0; y < 32; y++ ) {
		for ( s32 x = 0; x < 32; x++ ) {
			const bool inside = x >= 8 && x < 24 && y >= 4 && y < 20;
			const u32 want = inside ? 0xAB000000u | static_cast<u32>( ( y - 4 ) << 8 | ( x - 8 ) )
									: static_cast<u32>( y * 32 + x );
			ASSERT_EQ( pixels[y * 32 + x], want ) << x << "," << y;
		}
	}
	RwRasterUnlock( parent );

	// Level 1 of a raster without mipmaps, and camera rasters, cannot lock.
	EXPECT_EQ( RwRasterLock( parent, 1, rwRASTERLOCKREAD ), nullptr );
	const RwError error = RwDlTestReadError();
	EXPECT_EQ( error.pluginID, 0u );
	EXPECT_EQ( error.errorCode, 0x8000000Eu );
	RwRaster* const camera = RwRasterCreate( 64, 64, 0, rwRASTERTYPECAMERA );
	EXPECT_EQ( RwRasterLock( camera, 0, rwRASTERLOCKREAD ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, 0x8000000Eu );
	RwRasterUnlock( camera );
	EXPECT_EQ( RwDlTestReadError().errorCode, 0x80000011u );
	RwRasterDestroy( camera );
	RwRasterDestroy( sub );
	RwRasterDestroy( parent );
}

TEST_F( RwDlRasterTest, RebuildsAutomaticMipLevelsAndMarksTexturesForSetUp ) {
	RwRaster* const raster = RwRasterCreate( 16, 16, 0, TEXTURE | 0x500 | 0x8000 | 0x1000 );
	ASSERT_NE( raster, nullptr );
	EXPECT_EQ( RwRasterGetNumLevels( raster ), 5 );
	u32* const pixels = reinterpret_cast<u32*>( RwRasterLock( raster, 0, rwRASTERLOCKWRITE ) );
	for ( s32 i = 0; i < 16 * 16; i++ ) {
		pixels[i] = 0x80402010u;
	}
	RwRasterUnlock( raster );
	EXPECT_EQ( raster->width, 16 );
	for ( u8 level = 1; level < 5; level++ ) {
		const u32* const texels = reinterpret_cast<const u32*>( RwRasterLock( raster, level, rwRASTERLOCKREAD ) );
		ASSERT_NE( texels, nullptr );
		EXPECT_EQ( raster->width, 16 >> level );
		EXPECT_EQ( texels[0], 0x80402010u ) << int( level );
		RwRasterUnlock( raster );
	}

	RwTexture* const texture = RwTextureCreate( raster );
	ASSERT_NE( texture, nullptr );
	EXPECT_EQ( _rwDlTextureExt( texture )->state, RWDL_TEXTURE_LOD_NOT_SET );
	_rwDlTextureExt( texture )->state = 0x1101;
	RwRaster* const other = RwRasterCreate( 4, 4, 0, TEXTURE | 0x500 );
	RwTextureSetRaster( texture, other );
	EXPECT_EQ( texture->raster, other );
	EXPECT_EQ( _rwDlTextureExt( texture )->state, RWDL_TEXTURE_LOD_NOT_SET );
	RwTextureDestroy( texture );
	RwRasterDestroy( raster );
}
