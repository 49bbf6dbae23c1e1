/*
	Texture dictionaries and palette transitions on the console driver:
	the size rule of both readers, "fog" in 32-bit colour, alpha on black,
	a memory stream left where reading stopped, malformed records; palette
	lookups and their bounds, blended palettes in both 16-bit forms.
*/
#include "SceneDriverTestBench.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/streamable/LevelTestSupport.h"
#include "framework/graphics/EFPaletteDictionary.h"
#include "framework/graphics/EFPaletteMgr.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "framework/graphics/EFTextureDict.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolTextureDictWriter.h"

#include <string>
#include <vector>

namespace {

constexpr std::array<u8, 4> GREY = { 0x80, 0x80, 0x80, 0xFF };

class TextureDictTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( false );
		EFTextureDict::GetInstance()->Clear();
		if ( RwTexDictionaryGetCurrent() == nullptr ) {
			RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
		}
	}

	void TearDown() override {
		goPaletteMgr.Terminate();
		EFTextureDict::GetInstance()->Clear();
		SceneDriverTest::TearDown();
	}

	static std::vector<u8> File( const std::vector<ToolTextureRecord>& records ) {
		std::vector<u8> bytes;
		EXPECT_TRUE( ToolWriteTextureDictionary( records, bytes ) );
		return bytes;
	}

	static MemoryLoadResult LoadDictionary( const std::vector<u8>& bytes ) {
		return LoadFromBytes( bytes, []( DTMemoryPersistStream& stream ) {
			return EFTextureDict::GetInstance()->LoadTextureDictionary( stream, 0 );
		} );
	}

	static MemoryLoadResult LoadOne( const std::vector<u8>& bytes ) {
		return LoadFromBytes( bytes, []( DTMemoryPersistStream& stream ) {
			return EFTextureDict::GetInstance()->LoadTexture( stream );
		} );
	}

	static RwRaster* Raster( const char* name ) {
		RwTexture* const texture = EFTextureDict::GetInstance()->GetTexture( name );
		return texture != nullptr ? texture->raster : nullptr;
	}

	// Entry i of a locked 16-bit palette.
	static u16 PaletteEntry( RwRaster* raster, const u32 i ) {
		u8* const palette = RwRasterLockPalette( raster, rwRASTERLOCKREAD );
		const u16 entry = palette != nullptr ? DTReadBE16( palette + 2 * i ) : 0;
		RwRasterUnlockPalette( raster );
		return entry;
	}
};

TEST_F( TextureDictTest, SizesFollowTheRuleOfEachReader ) {
	struct Row {
		const char*	name;
		bool		single;
		s32			width;
		s32			height;
		s32			rasterWidth;
		s32			rasterHeight;
	};
	const Row rows[] = {
		{ "pow2", false, 64, 32, 64, 32 },
		{ "odd", false, 100, 64, 256, 256 },
		{ "screen448", false, 640, 448, 256, 256 },
		{ "screen448", true, 640, 448, 640, 448 },
		{ "screen512", true, 640, 512, 640, 512 },
		{ "screen480", true, 640, 480, 256, 256 },
		{ "pow2single", true, 32, 16, 32, 16 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::string( row.name ) + ( row.single ? " single" : " dictionary" ) );
		const std::vector<u8> bytes = File( { { row.name, ToolSolidImage( row.width, row.height, GREY ) } } );
		const MemoryLoadResult loaded = row.single ? LoadOne( bytes ) : LoadDictionary( bytes );
		EXPECT_EQ( loaded.result, 0 );
		EXPECT_EQ( loaded.consumed, static_cast<s32>( bytes.size() ) );
		RwRaster* const raster = Raster( row.name );
		ASSERT_NE( raster, nullptr );
		EXPECT_EQ( raster->width, row.rasterWidth );
		EXPECT_EQ( raster->height, row.rasterHeight );
		RwTexture* const texture = EFTextureDict::GetInstance()->GetTexture( row.name );
		EXPECT_EQ( texture->filterAddressing & rwTEXTUREFILTERMODEMASK, 2u );
		EFTextureDict::GetInstance()->Clear();
	}
}

TEST_F( TextureDictTest, FogIsKeptInFullColourAndBlackPaletteEntriesLoseTheirAlpha ) {
	// The pixels use the translucent entry 0, so the palette keeps alpha.
	const std::vector<std::array<u8, 4>> palette = { { 255, 0, 0, 128 }, { 0, 0, 0, 255 }, { 0, 0, 1, 255 } };
	const std::vector<u8> bytes = File( { { "fog", ToolPalettisedImage( 16, 16, 8, palette ) },
										  { "fog3", ToolPalettisedImage( 16, 16, 8, palette ) },
										  { "lamp", ToolPalettisedImage( 16, 16, 8, palette ) } } );
	ASSERT_EQ( LoadDictionary( bytes ).result, 0 );
	EXPECT_EQ( Raster( "fog" )->cFormat << 8 & rwRASTERFORMATPIXELFORMATMASK, rwRASTERFORMAT8888 );
	EXPECT_EQ( Raster( "fog3" )->depth, 8 );
	RwRaster* const lamp = Raster( "lamp" );
	ASSERT_NE( lamp, nullptr );
	EXPECT_EQ( lamp->depth, 8 );
	ASSERT_EQ( _rwDlRasterExt( lamp )->tlutFormat, 2u );
	// RGB5A3: black now transparent (3-bit form, alpha 0); (0, 0, 1) opaque.
	EXPECT_EQ( PaletteEntry( lamp, 1 ), 0x0000 );
	EXPECT_EQ( PaletteEntry( lamp, 2 ) & 0x8000, 0x8000 );
}

TEST_F( TextureDictTest, AFailingRecordKeepsTheEarlierTexturesAndStopsTheStreamWhereReadingStopped ) {
	const ToolImage image = ToolSolidImage( 8, 8, GREY );
	const std::vector<u8> good = File( { { "first", image } } );
	struct Row {
		const char*	name;
		u32			length;
		u32			nameBytes;
		// Bytes of the bad record read: chunk and length word, or all.
		bool		stopsAfterLength;
	};
	const Row rows[] = {
		{ "empty name", 0, 0, true },
		{ "name longer than the buffer", 600, 600, true },
		{ "name cut short", 12, 0, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<u8> bytes = good;
		ASSERT_TRUE( ToolAppendTextureRecordWithLength( image, row.length, row.nameBytes, bytes ) );
		const MemoryLoadResult loaded = LoadDictionary( bytes );
		EXPECT_EQ( loaded.result, EF_TEXTURE_DICT_FAILED );
		EXPECT_NE( EFTextureDict::GetInstance()->GetTexture( "first" ), nullptr );
		const s32 stop = static_cast<s32>( bytes.size() - row.nameBytes );
		EXPECT_EQ( loaded.consumed, row.stopsAfterLength ? stop : static_cast<s32>( bytes.size() ) );
		EFTextureDict::GetInstance()->Clear();
	}
	// A file cut inside the image chunk loads what came before.
	std::vector<u8> cut = good;
	ASSERT_TRUE( ToolAppendTextureRecordWithLength( image, 6, 6, cut ) );
	cut.resize( good.size() + 40 );
	EXPECT_EQ( LoadDictionary( cut ).result, EF_TEXTURE_DICT_FAILED );
	EXPECT_NE( EFTextureDict::GetInstance()->GetTexture( "first" ), nullptr );
	EXPECT_EQ( LoadOne( {} ).result, EF_TEXTURE_DICT_FAILED );
}

TEST_F( TextureDictTest, AFileStreamHasNoBridgeAndReadsNothing ) {
	const std::vector<u8> bytes = File( { { "first", ToolSolidImage( 8, 8, GREY ) } } );
	ASSERT_TRUE( disc.WriteFile( "DICT.TXD", bytes ) );
	DTFileHandle_* const file = DTFopen( "DICT.TXD", "rb" );
	ASSERT_NE( file, nullptr );
	DTBinaryPersistStream stream( file );
	EXPECT_EQ( EFTextureDict::GetInstance()->LoadTextureDictionary( stream, 0 ), EF_TEXTURE_DICT_FAILED );
	EXPECT_EQ( EFTextureDict::GetInstance()->GetTexture( "first" ), nullptr );
	DTFclose( file );
}

// Palettes: "lamp" 8-bit with RGB5A3 entries, "tile" 4-bit.
class PaletteTest : public TextureDictTest {
protected:
	// Palette words 0xRRGGBBAA of one state, entries long.
	static void AddPalette( std::vector<u8>& buffer, const u32 entries, const u32 colour ) {
		for ( u32 i = 0; i < entries; i++ ) {
			for ( s32 shift = 24; shift >= 0; shift -= 8 ) {
				buffer.push_back( static_cast<u8>( colour >> shift ) );
			}
		}
	}

	EFPaletteDictionary* LoadPalettes( const ToolPaletteDictionary& tool ) {
		ToolBigEndianWriter out;
		ToolLevelWriter::WritePaletteDictionary( out, tool );
		EFPaletteDictionary* const dictionary = new EFPaletteDictionary;
		EXPECT_EQ( LoadObject( *dictionary, out.Take() ).result, 0 );
		return dictionary;
	}
};

TEST_F( PaletteTest, LookupsIgnoreCaseAndRefuseWhatLeavesTheBuffer ) {
	ToolPaletteDictionary tool;
	tool.nbStates = 2;
	AddPalette( tool.paletteBuffer, 16, 0x11223344 );
	AddPalette( tool.paletteBuffer, 16, 0x55667788 );
	tool.entries = { { "Tile", '\n', { 0, 64 } }, { "tile", '\n', { 64, 0 } }, { "edge", '\n', { 4, -4 } } };
	EFPaletteDictionary* const dictionary = LoadPalettes( tool );
	EXPECT_EQ( goPaletteMgr.GetPaletteDictionary(), dictionary );
	EXPECT_TRUE( dictionary->IsOwnedElsewhere() );
	struct Row {
		const char*	name;
		u32			state;
		u32			entries;
		s32			offset;		// -1: null
	};
	const Row rows[] = {
		{ "TILE", 1, 16, 64 },			// the first of two names equal but for case
		{ "tile", 0, 16, 0 },
		{ "tile", 2, 16, -1 },			// no such state
		{ "tile", 1, 32, -1 },			// 32 entries from 64 pass the end
		{ "edge", 0, 16, 4 },
		{ "edge", 0, 256, -1 },
		{ "edge", 1, 16, -1 },			// negative offset
		{ "none", 0, 16, -1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::string( row.name ) + " " + std::to_string( row.state ) );
		const u8* const palette = dictionary->GetPalette( row.name, row.state, row.entries );
		if ( row.offset < 0 ) {
			EXPECT_EQ( palette, nullptr );
		} else {
			EXPECT_EQ( palette, dictionary->GetPaletteBuffer() + row.offset );
		}
	}
	goPaletteMgr.Terminate();
	EXPECT_EQ( goPaletteMgr.GetPaletteDictionary(), nullptr );
}

TEST_F( PaletteTest, RGB5A3TurnsOpaqueFromAlpha224AndRGB565DropsAlpha ) {
	struct Row {
		u32	red, green, blue, alpha;
		u16	rgb5a3;
		u16	rgb565;
	};
	const Row rows[] = {
		{ 255, 255, 255, 224, 0xFFFF, 0xFFFF },
		{ 255, 255, 255, 223, 0x6FFF, 0xFFFF },
		{ 0x80, 0x40, 0x20, 0, 0x0842, 0x8204 },
		{ 0x80, 0x40, 0x20, 255, 0xC104, 0x8204 },
	};
	for ( const Row& row : rows ) {
		EXPECT_EQ( EFPaletteMgr_SP::PackRGB5A3( row.red, row.green, row.blue, row.alpha ), row.rgb5a3 );
		EXPECT_EQ( EFPaletteMgr_SP::PackRGB565( row.red, row.green, row.blue ), row.rgb565 );
	}
}

TEST_F( PaletteTest, ATransitionBlendsToTheMidpointThenEndsOnTheTarget ) {
	// An 8-bit texture with translucent entries is stored in RGB5A3.
	const std::vector<std::array<u8, 4>> palette = { { 255, 0, 0, 128 } };
	ASSERT_EQ( LoadDictionary( File( { { "lamp", ToolPalettisedImage( 8, 8, 8, palette ) } } ) ).result, 0 );
	RwRaster* const lamp = Raster( "lamp" );
	ASSERT_NE( lamp, nullptr );
	ASSERT_EQ( _rwDlRasterExt( lamp )->tlutFormat, 2u );
	ToolPaletteDictionary tool;
	tool.nbStates = 2;
	AddPalette( tool.paletteBuffer, 256, 0x000000C0 );
	AddPalette( tool.paletteBuffer, 256, 0xFF8040FF );
	tool.entries = { { "LAMP", '\n', { 0, 1024 } } };
	LoadPalettes( tool );

	_sPaletteTransitionData transition = { 0, 1, 2.0f };
	goPaletteMgr.StartTransition( &transition );
	goPaletteMgr.Update( 1.0f );	// ratio 0: the source palette
	EXPECT_EQ( PaletteEntry( lamp, 0 ), EFPaletteMgr_SP::PackRGB5A3( 0, 0, 0, 0xC0 ) );
	goPaletteMgr.Update( 1.0f );	// ratio 0.5
	EXPECT_EQ( PaletteEntry( lamp, 7 ), EFPaletteMgr_SP::PackRGB5A3( 127, 64, 32, 223 ) );
	EXPECT_EQ( goPaletteMgr.mi32TargetState, 1 );
	goPaletteMgr.Update( 1.0f );	// ratio 1: the target, and the end
	EXPECT_EQ( PaletteEntry( lamp, 255 ), EFPaletteMgr_SP::PackRGB5A3( 255, 128, 64, 255 ) );
	EXPECT_EQ( goPaletteMgr.mi32TargetState, EF_PALETTE_NO_TARGET );
	EXPECT_EQ( goPaletteMgr.mui32CurrentState, 1u );

	// Duration 0 writes the target in the next update and ends there.
	_sPaletteTransitionData back = { 1, 0, 0.0f };
	goPaletteMgr.StartTransition( &back );
	goPaletteMgr.Update( 0.0f );
	EXPECT_EQ( PaletteEntry( lamp, 3 ), EFPaletteMgr_SP::PackRGB5A3( 0, 0, 0, 0xC0 ) );
	EXPECT_EQ( goPaletteMgr.mi32TargetState, EF_PALETTE_NO_TARGET );
}

}
