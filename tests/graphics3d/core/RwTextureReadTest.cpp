#include "graphics3d/core/RwImageRaster.h"
#include "graphics3d/core/RwTextureLevels.h"
#include "graphics3d/core/RwTextureRead.h"
#include "RwTextureTestFiles.h"

namespace {

const RwRGBA RED = { 255, 0, 0, 255 };
const RwRGBA GREEN = { 0, 255, 0, 255 };
const RwRGBA BLUE = { 0, 0, 255, 255 };

// The colour of a level-file test image: each level its own.
RwRGBA LevelColour( const s32 level ) {
	return { static_cast<u8>( 10 * level ), static_cast<u8>( 200 - 10 * level ), 77, 255 };
}

class RwTextureReadTest : public RwTextureFileTestCase {
protected:
	// A read that must fail: null, nothing left allocated.
	void ExpectFailureLeavesNothing( const char* name, const u32 error ) {
		const s64 before = Outstanding();
		EXPECT_EQ( RwTextureRead( name, nullptr ), nullptr );
		EXPECT_EQ( Outstanding(), before );
		EXPECT_EQ( RwTestReadError().errorCode, error );
	}
	// Writes "wall" at 8 x 8 and its level files wallm1 ... wallm3, each
	// one colour.
	void WriteWallLevels( const s32 levels = 4 ) const {
		for ( s32 level = 0; level < levels; level++ ) {
			const s32 side = 8 >> level;
			WriteImage( level == 0 ? "wall" : "wallm" + std::to_string( level ), RwTestSolid( side, side, LevelColour( level ) ) );
		}
	}
	// The palette index of a texel of a palettised test-device raster.
	static u8 IndexAt( RwRaster* raster, const s32 x, const s32 y ) {
		u8* const pixels = RwRasterLock( raster, 0, rwRASTERLOCKREAD );
		u8 index = 0;
		if ( pixels != nullptr ) {
			const u8 byte = pixels[y * raster->stride + ( raster->depth == 4 ? x / 2 : x )];
			index = raster->depth == 4 ? ( ( x & 1 ) ? ( byte & 0x0F ) : static_cast<u8>( byte >> 4 ) ) : byte;
			RwRasterUnlock( raster );
		}
		return index;
	}
	static const RwRGBA* RasterPalette( RwRaster* raster ) {
		return reinterpret_cast<const RwRGBA*>( TestDeviceRasterExtensionOf( raster )->palette );
	}
};

TEST_F( RwTextureReadTest, ReadsAThirtyTwoBitTextureIntoTheCurrentDictionary ) {
	WriteImage( "stone", RwTestImage32( 2, 2, []( s32 x, s32 y ) { return x == y ? RED : BLUE; } ) );
	RwTexture* const texture = RwTextureRead( "stone", nullptr );
	ASSERT_NE( texture, nullptr );
	EXPECT_STREQ( texture->name, "stone" );
	EXPECT_STREQ( texture->mask, "" );
	EXPECT_EQ( texture->refCount, 1 );
	EXPECT_EQ( texture->dict, RwTexDictionaryGetCurrent() );
	ASSERT_NE( texture->raster, nullptr );
	EXPECT_EQ( texture->raster->depth, 32 );
	EXPECT_EQ( RwTestTexel( texture->raster, 0, 1, 1 ), RED );
	EXPECT_EQ( RwTestTexel( texture->raster, 0, 1, 0 ), BLUE );
	EXPECT_EQ( RwTestTextureReader::names, std::vector<std::string>{ "stone.tex" } );

	// A second read finds it: one more reference, no file.
	EXPECT_EQ( RwTextureRead( "STONE", "ignored" ), texture );
	EXPECT_EQ( texture->refCount, 2 );
	EXPECT_EQ( RwTestTextureReader::names.size(), 1u );
	RwTextureDestroy( texture );
	EXPECT_EQ( RwTexDictionaryFindNamedTexture( RwTexDictionaryGetCurrent(), "stone" ), texture );
}

TEST_F( RwTextureReadTest, WithoutACurrentDictionarySearchesAllAndKeepsReadTexturesInNone ) {
	WriteImage( "moss", RwTestSolid( 2, 2, GREEN ) );
	RwTexDictionary* const opened = RwTexDictionaryGetCurrent();
	RwTexDictionary* const newer = RwTexDictionaryCreate();
	RwTexture* const inOpened = RwTexDictionaryAddTexture( opened, RwTextureCreate( nullptr ) );
	RwTextureSetName( inOpened, "bark" );
	RwTexture* const inNewer = RwTexDictionaryAddTexture( newer, RwTextureCreate( nullptr ) );
	RwTextureSetName( inNewer, "BARK" );
	RwTexDictionarySetCurrent( nullptr );

	// The newest dictionary comes first.
	EXPECT_EQ( RwTextureRead( "bark", nullptr ), inNewer );
	EXPECT_EQ( inNewer->refCount, 2 );
	RwTextureDestroy( inNewer );

	RwTexture* const first = RwTextureRead( "moss", nullptr );
	ASSERT_NE( first, nullptr );
	EXPECT_EQ( first->dict, nullptr );
	RwTexture* const second = RwTextureRead( "moss", nullptr );
	ASSERT_NE( second, nullptr );
	EXPECT_NE( first, second );
	EXPECT_EQ( RwTestTextureReader::names.size(), 2u );
	RwTextureDestroy( first );
	RwTextureDestroy( second );
	RwTexDictionaryDestroy( newer );
}

TEST_F( RwTextureReadTest, ANameThatCannotBeFoundOrReadFailsWithBothNames ) {
	ExpectFailureLeavesNothing( "missing", RWERR_TEXTURE_NOT_FOUND );
	EXPECT_EQ( RwTextureRead( "missing", "mask" ), nullptr );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, RWPLUGIN_CORE );
	EXPECT_EQ( error.errorCode, RWERR_TEXTURE_NOT_FOUND );
}

TEST_F( RwTextureReadTest, AppliesTheMaskImageAsAlpha ) {
	WriteImage( "glass", RwTestSolid( 2, 1, RED ) );
	WriteImage( "glassA", RwTestImage32( 2, 1, []( s32 x, s32 ) { return x == 0 ? RwRGBA{ 0, 0, 0, 255 } : RwRGBA{ 64, 64, 64, 255 }; } ) );
	RwTexture* const texture = RwTextureRead( "glass", "glassA" );
	ASSERT_NE( texture, nullptr );
	EXPECT_STREQ( texture->mask, "glassA" );
	EXPECT_EQ( RwTestTexel( texture->raster, 0, 0, 0 ).alpha, 0 );
	EXPECT_EQ( RwTestTexel( texture->raster, 0, 1, 0 ).alpha, 64 );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureReadTest, PalettisesWhenTheDeviceAsksForAPalette ) {
	const RwRGBA colours[3] = { RED, GREEN, BLUE };
	struct Case {
		const char*	name;
		s32			fileDepth;
		s32			format;		// what the device grants
		s32			rasterDepth;
		bool		paletteKept;	// the file's palette reaches the raster unchanged
	};
	const Case cases[] = {
		{ "32-bit re-quantised to 8 bits", 32, 0x2500, 8, false },
		{ "32-bit re-quantised to 4 bits", 32, 0x4500, 4, false },
		{ "8-bit keeps its palette", 8, -1, 8, true },
		{ "4-bit keeps its palette", 4, -1, 4, true },
		{ "4-bit keeps its 16 colours in an 8-bit raster", 4, 0x2500, 8, true },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwTexDictionary* const dict = RwTexDictionaryCreate();
		RwTexDictionarySetCurrent( dict );
		TestDeviceSetImageRasterFormat( c.format );
		// Palette entries in an order the quantiser would not choose.
		RwImage* const image =
			c.fileDepth == 32 ? RwTestImage32( 3, 1, [&]( s32 x, s32 ) { return colours[x]; } )
							  : RwTestImagePal( 3, 1, c.fileDepth, []( s32 x, s32 ) { return static_cast<u8>( 2 - x ); },
												[&]( s32 i ) { return i < 3 ? colours[2 - i] : RwRGBA{ 5, 6, 7, 8 }; } );
		WriteImage( "pal", image );
		RwTexture* const texture = RwTextureRead( "pal", nullptr );
		ASSERT_NE( texture, nullptr );
		RwRaster* const raster = texture->raster;
		EXPECT_EQ( raster->depth, c.rasterDepth );
		for ( s32 x = 0; x < 3; x++ ) {
			const u8 index = IndexAt( raster, x, 0 );
			EXPECT_EQ( RasterPalette( raster )[index], colours[x] ) << x;
			if ( c.paletteKept ) {
				EXPECT_EQ( index, 2 - x );
			}
		}
		if ( c.paletteKept ) {
			EXPECT_EQ( RasterPalette( raster )[3], ( RwRGBA{ 5, 6, 7, 8 } ) );
		}
		RwTexDictionaryDestroy( dict );
	}
}

TEST_F( RwTextureReadTest, ResamplesToTheSizeTheDeviceTakesAndBackToTheDepthRead ) {
	TestDeviceRoundTextureSizes( true );
	struct Case {
		const char*	name;
		s32			depth;
	};
	const Case cases[] = { { "32-bit", 32 }, { "8-bit", 8 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		// 6 x 3: left half red, right half blue; the device takes 4 x 2.
		RwImage* const image =
			c.depth == 32 ? RwTestImage32( 6, 3, []( s32 x, s32 ) { return x < 3 ? RED : BLUE; } )
						  : RwTestImagePal( 6, 3, 8, []( s32 x, s32 ) { return static_cast<u8>( x < 3 ? 0 : 1 ); },
											[]( s32 i ) { return i == 0 ? RED : BLUE; } );
		WriteImage( "wide", image );
		RwTexDictionarySetCurrent( nullptr );
		RwTexture* const texture = RwTextureRead( "wide", nullptr );
		ASSERT_NE( texture, nullptr );
		EXPECT_EQ( texture->raster->width, 4 );
		EXPECT_EQ( texture->raster->height, 2 );
		EXPECT_EQ( texture->raster->depth, c.depth );
		if ( c.depth == 32 ) {
			EXPECT_EQ( RwTestTexel( texture->raster, 0, 0, 0 ), RED );
			EXPECT_EQ( RwTestTexel( texture->raster, 0, 3, 1 ), BLUE );
		} else {
			EXPECT_EQ( RasterPalette( texture->raster )[IndexAt( texture->raster, 0, 0 )], RED );
			EXPECT_EQ( RasterPalette( texture->raster )[IndexAt( texture->raster, 3, 1 )], BLUE );
		}
		RwTextureDestroy( texture );
	}
}

TEST_F( RwTextureReadTest, ReadsEachMipLevelFromItsOwnFile ) {
	WriteWallLevels();
	RwTextureSetMipmapping( true );
	RwTexture* const texture = RwTextureRead( "wall", nullptr );
	ASSERT_NE( texture, nullptr );
	RwRaster* const raster = texture->raster;
	ASSERT_EQ( RwRasterGetNumLevels( raster ), 4 );
	for ( s32 level = 0; level < 4; level++ ) {
		EXPECT_EQ( RwTestTexel( raster, level, 0, 0 ), LevelColour( level ) ) << level;
	}
	EXPECT_EQ( RwTestTextureReader::names,
			   ( std::vector<std::string>{ "wall.tex", "wallm1.tex", "wallm2.tex", "wallm3.tex" } ) );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureReadTest, PalettisedLevelsShareOnePaletteAndGammaOnce ) {
	TestDeviceSetImageRasterFormat( 0x2500 );
	WriteWallLevels();
	RwImageSetGamma( 2.0f );
	RwTextureSetMipmapping( true );
	RwTexture* const texture = RwTextureRead( "wall", nullptr );
	ASSERT_NE( texture, nullptr );
	RwRaster* const raster = texture->raster;
	EXPECT_EQ( raster->depth, 8 );
	const RwRGBA* const palette = RasterPalette( raster );
	u8 corrected[256];
	for ( s32 i = 0; i < 256; i++ ) {
		corrected[i] = RwPluginData<RwImageGlobals>( RwEngineInstance, imageModule.globalsOffset )->gammaTable[i];
	}
	for ( s32 level = 0; level < 4; level++ ) {
		u8* const pixels = RwRasterLock( raster, static_cast<u8>( level ), rwRASTERLOCKREAD );
		ASSERT_NE( pixels, nullptr );
		const RwRGBA colour = palette[pixels[0]];
		RwRasterUnlock( raster );
		const RwRGBA expected = LevelColour( level );
		EXPECT_EQ( colour, ( RwRGBA{ corrected[expected.red], corrected[expected.green], corrected[expected.blue], 255 } ) )
			<< level;
	}
	RwTextureDestroy( texture );
}

TEST_F( RwTextureReadTest, LetsTheDeviceBuildAutomaticLevelsFromLevelZero ) {
	// 2 x 2 of four colours: level 1 is their average.
	WriteImage( "tile", RwTestImage32( 2, 2, []( s32 x, s32 y ) {
					return RwRGBA{ static_cast<u8>( x * 200 ), static_cast<u8>( y * 100 ), 0, 255 };
				} ) );
	RwTextureSetMipmapping( true );
	RwTextureSetAutoMipmapping( true );
	RwTexture* const texture = RwTextureRead( "tile", nullptr );
	ASSERT_NE( texture, nullptr );
	RwRaster* const raster = texture->raster;
	EXPECT_EQ( raster->cFormat & 0x90, 0x90 );
	EXPECT_EQ( RwTestTexel( raster, 0, 1, 1 ), ( RwRGBA{ 200, 100, 0, 255 } ) );
	EXPECT_EQ( RwTestTexel( raster, 1, 0, 0 ), ( RwRGBA{ 100, 50, 0, 255 } ) );
	EXPECT_EQ( RwTestTextureReader::names, std::vector<std::string>{ "tile.tex" } );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureReadTest, TheDefaultBuilderRebuildsLevelsAndKeepsTheCallersImage ) {
	RwRaster* const raster = RwRasterCreate( 4, 4, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP |
															rwRASTERFORMATAUTOMIPMAP );
	ASSERT_NE( raster, nullptr );
	RwImage* const image = RwTestSolid( 4, 4, GREEN );
	ASSERT_TRUE( RwTextureRasterGenerateMipmaps( raster, image ) );
	EXPECT_EQ( RwTestTexel( raster, 2, 0, 0 ), GREEN );
	EXPECT_EQ( raster->cFormat & 0x10, 0x10 );
	// From level 0 when no image is given.
	RwImage* const blue = RwTestSolid( 4, 4, BLUE );
	RwRasterSetFromImage( raster, blue );
	EXPECT_EQ( RwTestTexel( raster, 2, 0, 0 ), BLUE );
	EXPECT_EQ( *RwTestPixel( image, 3, 3 ), GREEN );
	// A level the device will not lock fails the build, the bit restored.
	TestDeviceRefuseStandard( 15, true );
	const s64 before = Outstanding();
	EXPECT_FALSE( RwTextureRasterGenerateMipmaps( raster, image ) );
	EXPECT_EQ( Outstanding(), before );
	EXPECT_EQ( raster->cFormat & 0x10, 0x10 );
	RwImageDestroy( image );
	RwImageDestroy( blue );
	RwRasterDestroy( raster );
}

TEST_F( RwTextureReadTest, ADeviceWithoutMipmapsGetsTheBaseFileAlone ) {
	WriteWallLevels();
	TestDeviceSetTextureGrants( 0 );
	RwTextureSetMipmapping( true );
	RwTexture* const texture = RwTextureRead( "wall", nullptr );
	ASSERT_NE( texture, nullptr );
	EXPECT_EQ( RwRasterGetNumLevels( texture->raster ), 1 );
	EXPECT_EQ( RwTestTexel( texture->raster, 0, 0, 0 ), LevelColour( 0 ) );
	EXPECT_EQ( RwTestTextureReader::names, std::vector<std::string>{ "wall.tex" } );
	RwTextureDestroy( texture );
}

TEST_F( RwTextureReadTest, EveryFailingStepLeavesNothingBehind ) {
	// Levels 0 to 2 of 4: level 3 is missing.
	WriteWallLevels( 3 );
	// A warm-up read grows the image module's name buffers for good.
	RwTexDictionarySetCurrent( nullptr );
	RwTexture* const warmUp = RwTextureRead( "wall", nullptr );
	ASSERT_NE( warmUp, nullptr );
	RwTextureDestroy( warmUp );
	RwTestReadError();
	struct Case {
		const char*	name;
		s32			refused;	// standard, -1 for none
		bool		mipmaps;
		u32			error;
	};
	const Case cases[] = {
		{ "raster creation refused", 4, false, RWERR_TEXTURE_NOT_FOUND },
		{ "set from image refused", 7, false, RWERR_TEXTURE_NOT_FOUND },
		{ "raster format refused", 9, false, RWERR_IMAGE_FORMAT },
		{ "level lock refused", 15, true, RWERR_TEXTURE_NOT_FOUND },
		{ "level write refused", 7, true, RWERR_TEXTURE_NOT_FOUND },
		{ "a missing level file", -1, true, RWERR_TEXTURE_NOT_FOUND },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwTextureSetMipmapping( c.mipmaps );
		TestDeviceAcceptAllRequests();
		for ( s32 s = 0; s < RWSTANDARD_COUNT; s++ ) {
			TestDeviceRefuseStandard( s, s == c.refused );
		}
		ExpectFailureLeavesNothing( "wall", c.error );
	}
}

TEST_F( RwTextureReadTest, FileNamesThatDoNotFitFailTheRead ) {
	RwTextureSetMipmapping( true );
	// 251 chars through 25 folders: level 0 fits with its extension,
	// level 1 does not, although both files exist.
	std::string nested;
	for ( s32 i = 0; i < 25; i++ ) {
		nested += "abcdefghi/";
	}
	std::filesystem::create_directories( scratch / nested );
	nested += "w";
	WriteImage( nested, RwTestSolid( 8, 8, RED ) );
	WriteImage( nested + "m1", RwTestSolid( 4, 4, RED ) );
	struct Case {
		std::string	name;
		u32			error;
	};
	// No file of 254 chars and an extension can exist on the host.
	const Case cases[] = { { std::string( 254, 'n' ), RWERR_TEXTURE_NOT_FOUND }, { nested, 0x8000001E } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name.size() );
		const s64 before = Outstanding();
		EXPECT_EQ( RwTextureRead( c.name.c_str(), nullptr ), nullptr );
		EXPECT_EQ( Outstanding(), before );
		EXPECT_EQ( RwTestReadError().errorCode, c.error );
	}
	EXPECT_EQ( RwTestTextureReader::names, std::vector<std::string>{ "w.tex" } );
}

}	// namespace
