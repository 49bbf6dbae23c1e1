/*
	Every file the sample disc carries is read back by the engine class that
	loads it in a level.
*/
#include "ToolTestHex.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/streamfile/DTStreamFAT.h"
#include "framework/core/level/EFGenericDataLoader.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/EFLoadingScreen.h"
#include "framework/graphics/EFText.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/audio/ToolSampleAudio.h"
#include "framework/core/level/EFAudioEnvDescriptor.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolHudWindowWriter.h"
#include "tools/lib/level/ToolSampleCollisionMap.h"
#include "tools/lib/level/ToolLevelFileNames.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolModelResourceWriter.h"
#include "tools/lib/level/ToolParticleWriter.h"
#include "tools/lib/level/ToolHAnimResWriter.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/level/ToolSampleScene.h"
#include "tools/lib/level/ToolSampleSplines.h"
#include "tools/lib/level/ToolSampleTextures.h"
#include "tools/lib/level/ToolStaticWorldWriter.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const ToolSampleModules gModules = { { 1, 2, 3, 4, 5 }, { 6, 7, 8 } };

// The sample level's files by name, language and GEN folders together.
std::map<std::string, std::vector<u8>> SampleFiles() {
	std::vector<ToolDiscFile> files;
	std::string error;
	EXPECT_TRUE( ToolMakeSampleLevelFiles( gModules, files, error ) ) << error;
	std::map<std::string, std::vector<u8>> byName;
	for ( ToolDiscFile& file : files ) {
		byName[file.path.filename().string()] = std::move( file.bytes );
	}
	return byName;
}

// Loads object from bytes; the result, and whether every byte was read.
s32 LoadAll( DTStreamable& object, std::vector<u8> bytes, bool& consumedAll ) {
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	const s32 result = object.Load( stream );
	consumedAll = stream.GetBytesLeft() == 0;
	return result;
}

} // namespace

TEST( ToolLevelWriter, WritesTheLoadingScreenAsItsHeaderThenTheTwoNames ) {
	ToolLoadingScreen screen;
	screen.header.puid = 2;
	screen.background = "AB";
	screen.bar = "C";
	ToolBigEndianWriter out;
	ASSERT_TRUE( ToolLevelWriter::WriteLoadingScreen( out, screen ) );
	EXPECT_EQ( out.Bytes(), ToolTestHex( "FFFFFFFF 00000002 FFFFFFFF | 00000003 41 42 00 | 00000002 43 00" ) );

	screen.bar = std::string( TOOL_STORED_STRING_MAX, 'X' );
	ToolBigEndianWriter refused;
	EXPECT_FALSE( ToolLevelWriter::WriteLoadingScreen( refused, screen ) );
	EXPECT_EQ( refused.Size(), 0u );
}

TEST( ToolSampleDisc, EveryLevelFileLoadsWholeIntoItsEngineClass ) {
	std::map<std::string, std::vector<u8>> files = SampleFiles();
	bool consumedAll = false;

	EFLoadingScreen screen;
	EXPECT_EQ( LoadAll( screen, files[TOOL_LOADING_SCREEN_FILE], consumedAll ), 0 );
	EXPECT_TRUE( consumedAll );
	EXPECT_STREQ( screen.moLoadingScreen1.GetStr(), "LOADBACK" );
	EXPECT_STREQ( screen.moLoadingScreen2.GetStr(), "LOADBAR" );

	EFFont font;
	EXPECT_EQ( LoadAll( font, files[ToolFontFile( 0 )], consumedAll ), 0 );
	EXPECT_TRUE( consumedAll );
	EXPECT_EQ( font.uiInstancePUID, TOOL_SAMPLE_FONT_SLOT );
	EXPECT_EQ( font.GetCharCount(), TOOL_SAMPLE_FONT_GLYPHS );
	// Glyph 0 is blank (it would end a text's run); letters follow.
	EXPECT_EQ( font.GetGlyphOfAscii( 'A' ), 1u );
	EXPECT_EQ( font.GetGlyphOfAscii( 'Z' ), 26u );
	EXPECT_EQ( font.GetCharRecord( 0 )[EF_FONT_CHAR_U], 0.0f );
	EXPECT_EQ( font.GetCharRecord( 2 )[EF_FONT_CHAR_U], 1.0f / 32.0f );
	EXPECT_EQ( font.mfLineHeight, 1.0f / 24.0f );
	ASSERT_EQ( font.moFontTextureNames.GetSize(), 1u );
	EXPECT_STREQ( font.moFontTextureNames[0].GetStr(), "FONT0" );

	const struct {
		std::string	name;
		u32			groups;
	} palettes[] = { { TOOL_GLOBAL_PALETTE_FILE, 2 }, { ToolFontPaletteFile( 0 ), 1 } };
	for ( const auto& row : palettes ) {
		SCOPED_TRACE( row.name );
		EFHudPalette palette;
		EXPECT_EQ( LoadAll( palette, files[row.name], consumedAll ), 0 );
		EXPECT_TRUE( consumedAll );
		EXPECT_EQ( palette.mui32NbColors, row.groups );
		ASSERT_EQ( palette.GetColorTableBytes(), row.groups * DT_FONTS_PAL_COLOR_BYTES );
		// Opaque white first, then one grey step per group.
		EXPECT_EQ( palette.GetColorTable()[0], 0xFF );
		EXPECT_EQ( palette.GetColorTable()[3], 0xFF );
		EXPECT_EQ( palette.GetColorTable()[row.groups * DT_FONTS_PAL_COLOR_BYTES - 4], 0xFF - ( row.groups - 1 ) * 0x40 );
	}

	EFText* const texts = new EFText();
	EXPECT_EQ( LoadAll( *texts, files[TOOL_TEXTS_FILE], consumedAll ), 0 );
	EXPECT_TRUE( consumedAll );
	for ( u32 i = 0; i < std::size( TOOL_SAMPLE_TEXTS ); i++ ) {
		// Command streams: a glyph run (letters by alphabet place from 1,
		// 0xFFFE for a space), then the end command.
		const std::vector<u8> stream = ToolHudTables::TextCommands( TOOL_SAMPLE_TEXTS[i], [] {
			std::array<u16, 128> glyphs = {};
			for ( u16 letter = 0; letter < 26; letter++ ) {
				glyphs['A' + letter] = static_cast<u16>( letter + 1 );
			}
			return glyphs;
		}() );
		ASSERT_NE( texts->GetText( i ), nullptr );
		EXPECT_EQ( std::vector<u8>( texts->GetText( i ), texts->GetText( i ) + stream.size() ), stream );
		EXPECT_EQ( texts->GetText( i )[5], static_cast<u8>( TOOL_SAMPLE_TEXTS[i][0] - 'A' + 1 ) );
	}
	EXPECT_EQ( texts->GetText( std::size( TOOL_SAMPLE_TEXTS ) ), nullptr );
	delete texts;
}

TEST( ToolSampleDisc, TheResourceFileListsTheLogicModulesTheGameObjectsThenTheSplinesWithTheirSizes ) {
	std::map<std::string, std::vector<u8>> files = SampleFiles();
	std::vector<u8>& image = files[std::string( TOOL_SAMPLE_RESOURCE_FILE )];
	DTMemoryPersistStream stream( reinterpret_cast<char*>( image.data() ), static_cast<s32>( image.size() ) );
	DTStreamFAT table;
	ASSERT_EQ( table.DTStreamable::LoadFromStream( stream ), 0 );

	ToolResourceFile expected;
	std::string error;
	ASSERT_TRUE( ToolMakeSampleLogicLevel( gModules.objectModule, gModules.libraryModule, expected, error ) );
	expected.records.push_back( ToolSampleStaticWorldRecord() );
	expected.records.push_back( ToolSampleParticleTypesRecord() );
	for ( ToolResourceRecord& record : ToolSampleObjectRecords( TOOL_SAMPLE_OBJECT_CODE_ID ) ) {
		expected.records.push_back( std::move( record ) );
	}
	expected.records.push_back( ToolSampleSplineRecord() );
	expected.records.emplace_back();
	ASSERT_TRUE( ToolSampleCollisionMapRecord( expected.records.back(), error ) ) << error;
	expected.records.push_back( ToolSamplePaletteRecord() );
	expected.records.emplace_back();
	std::vector<ToolDiscFile> audioFiles;
	ASSERT_TRUE( ToolMakeSampleAudio( "AUDIO", audioFiles, expected.records.back(), error ) ) << error;
	expected.records.push_back( ToolSampleHudRecord() );
	ASSERT_EQ( table.GetRecordCount(), expected.records.size() );
	u32 bytes = 0;
	for ( u32 i = 0; i < table.GetRecordCount(); i++ ) {
		SCOPED_TRACE( i );
		EXPECT_EQ( table.GetRecord( i ).miClassID, expected.records[i].classId );
		EXPECT_EQ( table.GetRecord( i ).mui32ObjectSize, expected.records[i].object.size() );
		bytes += table.GetRecord( i ).mui32ObjectSize;
	}
	// The sample object, the static world, the particle types, the model
	// resource, its animation, the water's and the fog's quads and the six
	// objects of the level follow the modules; the splines' generic-data
	// record, the collision map, the palette dictionary, the audio
	// environment, then the HUD tree.
	const s32 classes[] = { TOOL_CLASS_GAME_OBJECT,	  TOOL_CLASS_STATIC_WORLD,		   TOOL_CLASS_PARTICLE_TYPES,
							TOOL_CLASS_3D_OBJECT_RES, TOOL_CLASS_HANIM_RES,			   TOOL_CLASS_3D_OBJECT_RES,
							TOOL_CLASS_3D_OBJECT_RES, TOOL_CLASS_GAME_OBJECT,		   TOOL_CLASS_GAME_OBJECT,
							TOOL_CLASS_GAME_OBJECT,	  TOOL_CLASS_GAME_OBJECT,		   TOOL_CLASS_GAME_OBJECT,
							TOOL_CLASS_GAME_OBJECT,	  EF_GENERIC_DATA_LOADER_CLASS_ID, TOOL_CLASS_COLLISION_MAP,
							TOOL_CLASS_PALETTE_DICTIONARY, EF_AUDIO_ENV_CLASS_ID,	   TOOL_CLASS_HUD_CONFIG };
	ASSERT_EQ( table.GetRecordCount(), 2u + std::size( classes ) );
	for ( u32 i = 0; i < std::size( classes ); i++ ) {
		EXPECT_EQ( table.GetRecord( 2 + i ).miClassID, classes[i] ) << i;
	}
	// The objects fill the rest of the file exactly.
	EXPECT_EQ( stream.GetBytesLeft(), bytes );
}

TEST( ToolSampleDisc, TheResourceFilesSplineRecordLoadsTheOpenAndTheLoopSpline ) {
	std::map<std::string, std::vector<u8>> files = SampleFiles();
	std::vector<u8>& image = files[std::string( TOOL_SAMPLE_RESOURCE_FILE )];
	DTMemoryPersistStream stream( reinterpret_cast<char*>( image.data() ), static_cast<s32>( image.size() ) );
	DTStreamFAT table;
	ASSERT_EQ( table.DTStreamable::LoadFromStream( stream ), 0 );
	ASSERT_EQ( table.GetRecordCount(), 20u );
	// The objects follow the table back to back; skip to the splines,
	// which the collision map, the palette dictionary, the audio
	// environment and the HUD tree follow.
	constexpr u32 SPLINES = 15;
	s32 at = stream.GetPosition();
	for ( u32 i = 0; i < SPLINES; i++ ) {
		at += static_cast<s32>( table.GetRecord( i ).mui32ObjectSize );
	}
	const u32 size = table.GetRecord( SPLINES ).mui32ObjectSize;
	size_t end = static_cast<size_t>( at ) + size;
	for ( u32 i = SPLINES + 1; i < table.GetRecordCount(); i++ ) {
		end += table.GetRecord( i ).mui32ObjectSize;
	}
	ASSERT_EQ( end, image.size() );
	DTMemoryPersistStream record( reinterpret_cast<char*>( image.data() ) + at, static_cast<s32>( size ) );

	EFSplineMgr manager;
	EFGenericDataLoader loader;
	EXPECT_EQ( loader.LoadPropertiesBinary( record ), 0 );
	EXPECT_EQ( record.GetBytesLeft(), 0u );
	ASSERT_EQ( manager.GetNbSplines(), 2u );
	const struct {
		u16		id;
		bool	loop;
		u32		segments;
	} expected[] = { { TOOL_SAMPLE_OPEN_SPLINE_ID, false, 3 }, { TOOL_SAMPLE_LOOP_SPLINE_ID, true, 4 } };
	for ( u32 i = 0; i < 2; i++ ) {
		SCOPED_TRACE( i );
		const EFQuadraticSpline* const spline = manager.GetSpline( i );
		ASSERT_NE( spline, nullptr );
		EXPECT_EQ( spline->mui16ID, expected[i].id );
		EXPECT_EQ( spline->IsLoop(), expected[i].loop );
		EXPECT_EQ( spline->GetNbSegments(), expected[i].segments );
	}
	manager.Free();
}

TEST( ToolSampleDisc, RefusesEmptyLogicModules ) {
	const ToolSampleModules cases[] = { { {}, { 1 } }, { { 1 }, {} } };
	for ( const ToolSampleModules& modules : cases ) {
		std::vector<ToolDiscFile> files;
		std::string error;
		EXPECT_FALSE( ToolMakeSampleLevelFiles( modules, files, error ) );
		EXPECT_NE( error.find( "empty logic module" ), std::string::npos ) << error;
	}
}
