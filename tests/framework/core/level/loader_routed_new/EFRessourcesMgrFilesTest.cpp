#include "LoaderTestBench.h"

#include "datatypes/file/DTFile.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFText.h"
#include "tools/lib/ToolIniWriter.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/audio/ToolSampleAudio.h"
#include "tools/lib/level/ToolHudTables.h"

#include <filesystem>

namespace {

enum Folder { FR, GEN };

std::vector<u8> FontFile( const s32 slot ) {
	ToolFonts font;
	font.header.puid = slot;
	font.textureNames = { "GLYPHS" };
	ToolBigEndianWriter out;
	EXPECT_TRUE( ToolLevelWriter::WriteFonts( out, font ) );
	return out.Take();
}

std::vector<u8> PaletteFile() {
	ToolFontsPalette palette;
	palette.nbColors = 1;
	palette.colorTable.assign( 16, 0x80 );
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteFontsPalette( out, palette );
	return out.Take();
}

std::vector<u8> TextsFile( const std::string& text ) {
	ToolTexts texts;
	texts.nbTextes = 1;
	const std::vector<std::string> strings = { text };
	texts.languages.push_back( ToolHudTables::TextLanguage( strings ) );
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteTexts( out, texts );
	return out.Take();
}

std::vector<u8> LoadingScreenFile() {
	ToolLoadingScreen screen;
	screen.background = "BACK";
	screen.bar = "BAR";
	ToolBigEndianWriter out;
	EXPECT_TRUE( ToolLevelWriter::WriteLoadingScreen( out, screen ) );
	return out.Take();
}

class EFRessourcesMgrFilesTest : public LoaderTestBench {
protected:
	std::filesystem::path FolderOf( const Folder folder ) const { return folder == FR ? Language() : Gen(); }

	// A level of one waypoint group record, so that the load itself succeeds.
	void WriteMinimalLevel() {
		ToolResourceFile file;
		file.records = { WaypointRecord( 1 ) };
		WriteResourceFile( "LEVEL.GCR", file );
	}

	std::vector<s32> InstalledFonts() const {
		std::vector<s32> slots;
		for ( u32 slot = 0; slot < EF_HUD_FONT_SLOTS; slot++ ) {
			if ( gpoHudMgr->GetFont( slot ) != nullptr ) {
				slots.push_back( static_cast<s32>( slot ) );
			}
		}
		return slots;
	}
};

TEST_F( EFRessourcesMgrFilesTest, TextureDictionariesFollowTheFolderOfTheFirst ) {
	MakeController();
	WriteMinimalLevel();
	struct Row {
		const char*						name;
		std::vector<std::pair<Folder, u32>>	files;
		u32								loads;
		bool							message;
	};
	const Row rows[] = {
		{ "first in FR, second only in GEN", { { FR, 0 }, { GEN, 1 } }, 1, false },
		{ "all in GEN", { { GEN, 0 }, { GEN, 1 }, { GEN, 2 } }, 3, false },
		{ "FR wins over GEN", { { FR, 0 }, { FR, 1 }, { GEN, 0 }, { GEN, 1 }, { GEN, 2 } }, 2, false },
		{ "a gap ends the sequence", { { FR, 0 }, { FR, 2 } }, 1, false },
		{ "none anywhere", {}, 0, true },
		{ "none at index 0", { { FR, 1 }, { GEN, 1 } }, 0, true },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::filesystem::remove_all( root / "disc" / Language() );
		std::filesystem::remove_all( root / "disc" / Gen() / "TEXDIC_0.TXD" );
		for ( u32 i = 0; i < 3; i++ ) {
			std::filesystem::remove( root / "disc" / Gen() / ToolTextureDictionaryFile( i ) );
		}
		for ( const auto& [folder, index] : row.files ) {
			WriteLevelFile( FolderOf( folder ), ToolTextureDictionaryFile( index ), { 1, 2, 3 } );
		}
		EFTextureDict::ResetBinaryLoadCount();
		Output();
		EXPECT_EQ( Reload(), 0 );
		EXPECT_EQ( EFTextureDict::GetBinaryLoadCount(), row.loads );
		EXPECT_EQ( Output().find( " ***  Could Not Load any TXD Files!!! \n" ) != std::string::npos, row.message );
	}
}

TEST_F( EFRessourcesMgrFilesTest, FontsLoadWhileTheirPalettesDo ) {
	MakeController();
	WriteMinimalLevel();
	struct Row {
		const char*			name;
		Folder				fonts;
		u32					fontCount;
		// Palettes present: GLOBAL.PAL and FONT0.PAL in FR, FONT<n>.PAL in
		// the fonts' folder for the indices listed.
		bool				global;
		bool				font0;
		std::vector<u32>	later;
		std::vector<s32>	installed;
		bool				message;
	};
	const Row rows[] = {
		{ "FONT1.PAL missing stops before FONT2", FR, 3, true, true, { 2 }, { 0, 1 }, false },
		{ "every palette present", FR, 3, true, true, { 1, 2 }, { 0, 1, 2 }, false },
		{ "fonts from GEN, first palettes from FR", GEN, 2, true, true, { 1 }, { 0, 1 }, false },
		{ "GLOBAL.PAL missing stops after FONT0", FR, 2, false, true, { 1 }, { 0 }, false },
		{ "FONT0.PAL missing stops after FONT0", FR, 2, true, false, { 1 }, { 0 }, false },
		{ "no font anywhere", FR, 0, true, true, {}, {}, true },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::filesystem::remove_all( root / "disc" / Language() );
		std::filesystem::remove_all( root / "disc" / Gen() );
		WriteMinimalLevel();
		for ( u32 i = 0; i < row.fontCount; i++ ) {
			WriteLevelFile( FolderOf( row.fonts ), ToolFontFile( i ), FontFile( static_cast<s32>( i ) ) );
		}
		if ( row.global ) {
			WriteLevelFile( Language(), TOOL_GLOBAL_PALETTE_FILE, PaletteFile() );
		}
		if ( row.font0 ) {
			WriteLevelFile( Language(), ToolFontPaletteFile( 0 ), PaletteFile() );
		}
		for ( const u32 index : row.later ) {
			WriteLevelFile( FolderOf( row.fonts ), ToolFontPaletteFile( index ), PaletteFile() );
		}
		Output();
		EXPECT_EQ( Reload(), 0 );
		EXPECT_EQ( InstalledFonts(), row.installed );
		EXPECT_EQ( Output().find( " ***  Could Not Load any Font Files!!! \n" ) != std::string::npos, row.message );
	}
}

TEST_F( EFRessourcesMgrFilesTest, TextsComeFromTheLanguageFolderElseGen ) {
	MakeController();
	WriteMinimalLevel();
	struct Row {
		const char*	name;
		bool		inFr;
		bool		inGen;
		const char*	text;
	};
	const Row rows[] = {
		{ "both", true, true, "FRANCAIS" },
		{ "GEN only", false, true, "NEUTRE" },
		{ "none", false, false, nullptr },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::filesystem::remove( root / "disc" / Language() / TOOL_TEXTS_FILE );
		std::filesystem::remove( root / "disc" / Gen() / TOOL_TEXTS_FILE );
		if ( row.inFr ) {
			WriteLevelFile( Language(), TOOL_TEXTS_FILE, TextsFile( "FRANCAIS" ) );
		}
		if ( row.inGen ) {
			WriteLevelFile( Gen(), TOOL_TEXTS_FILE, TextsFile( "NEUTRE" ) );
		}
		Output();
		EXPECT_EQ( Reload(), 0 );
		const EFText* const table = gpoHudMgr->GetTextTable();
		if ( row.text == nullptr ) {
			EXPECT_EQ( table, nullptr );
			EXPECT_NE( Output().find( " ***  Could Not Load any TEXT Files!!! \n" ), std::string::npos );
			continue;
		}
		ASSERT_NE( table, nullptr );
		EXPECT_STREQ( reinterpret_cast<const char*>( table->GetText( 0 ) ), row.text );
	}
}

TEST_F( EFRessourcesMgrFilesTest, TheLoadingScreenNeedsItsDescriptionAndTheDictionaryOfTheTvSystem ) {
	struct Row {
		const char*	name;
		bool		description;
		const char*	dictionary;
		Folder		folder;
		bool		pal;
		bool		shown;
	};
	const Row rows[] = {
		{ "NTSC dictionary in FR", true, TOOL_LOADING_DICTIONARY_NTSC, FR, false, true },
		{ "NTSC dictionary in GEN", true, TOOL_LOADING_DICTIONARY_NTSC, GEN, false, true },
		{ "PAL dictionary on a PAL display", true, TOOL_LOADING_DICTIONARY_PAL, GEN, true, true },
		{ "PAL dictionary on an NTSC display", true, TOOL_LOADING_DICTIONARY_PAL, FR, false, false },
		{ "no description", false, TOOL_LOADING_DICTIONARY_NTSC, FR, false, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::filesystem::remove_all( root / "disc" / "LEVEL" );
		WriteMinimalLevel();
		if ( row.description ) {
			WriteLevelFile( Language(), TOOL_LOADING_SCREEN_FILE, LoadingScreenFile() );
		}
		WriteLevelFile( FolderOf( row.folder ), row.dictionary, { 0 } );
		ToolIniWriter ini;
		ASSERT_TRUE( ini.Set( "DisplayMode", row.pal ? "PAL" : "NTSC" ) );
		WriteIni( ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		MakeController();
		LoaderTestProgress().Clear();
		EXPECT_EQ( Load(), 0 );
		EXPECT_EQ( !LoaderTestProgress().Empty(), row.shown );
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		DropLevelObjects();
		gpoRessourcesMgr->Terminate();
		delete gpoEngineController;
	}
}

TEST_F( EFRessourcesMgrFilesTest, ProgressGoesThroughRecordsThenBanksThenExternalFiles ) {
	MakeController();
	ToolResourceFile file;
	file.records = { WaypointRecord( 1 ), WaypointRecord( 2 ), WaypointRecord( 3 ) };
	// The level's sound: three banks, each a step of its own.
	std::vector<ToolDiscFile> audioFiles;
	file.records.emplace_back();
	std::string error;
	ASSERT_TRUE( ToolMakeSampleAudio( Language() / "AUDIO", audioFiles, file.records.back(), error ) ) << error;
	for ( const ToolDiscFile& audioFile : audioFiles ) {
		WriteBytes( audioFile.path, audioFile.bytes );
	}
	WriteResourceFile( "LEVEL.GCR", file );
	WriteLevelFile( Language(), TOOL_LOADING_SCREEN_FILE, LoadingScreenFile() );
	WriteLevelFile( Language(), TOOL_LOADING_DICTIONARY_NTSC, { 0 } );
	WriteBytes( "EXT/ONE.BIN", { 1 } );
	gpoRessourcesMgr->RequestExternalFileLoad( "EXT\\ONE.BIN" );
	gpoRessourcesMgr->RequestExternalFileLoad( "EXT\\MISSING.BIN" );
	ASSERT_EQ( Load(), 0 );

	// 4 records + 2 external files + the audio manager's elements.
	const f32 total = static_cast<f32>( 4 + 2 + gpoNewAudioMgr->GetNumberOfAudioElements() );
	std::vector<f32> expected = {
		// The screen's own first frame once its pictures are found.
		0.0f,
		0.0f, 0.0f, 0.0f, 0.0f, 1.0f / total, 2.0f / total, 3.0f / total, 4.0f / total,
	};
	// The banks take sixteen steps.
	for ( u32 step = 1; step <= 16; step++ ) {
		expected.push_back( static_cast<f32>( 4 + step ) / total );
	}
	// External files count on from the record count.
	expected.push_back( 5.0f / total );
	expected.push_back( 6.0f / total );
	EXPECT_EQ( LoaderTestProgress().Values(), expected );
}

TEST_F( EFRessourcesMgrFilesTest, ExternalFilesAreLoadedFoundByExactNameAndDroppedByTerminate ) {
	MakeController();
	WriteMinimalLevel();
	const std::string longest = "EXT/" + std::string( EF_EXTERNAL_NAME_SIZE - 5, 'L' );
	const std::string tooLong = "EXT/" + std::string( EF_EXTERNAL_NAME_SIZE - 4, 'L' );
	WriteBytes( "EXT/DATA.BIN", { 1, 2, 3, 4, 5 } );
	WriteBytes( longest, { 6 } );
	WriteBytes( tooLong, { 7 } );
	for ( const std::string& name : { std::string( "EXT\\DATA.BIN" ), std::string( "EXT\\NONE.BIN" ), longest, tooLong } ) {
		gpoRessourcesMgr->RequestExternalFileLoad( name.c_str() );
	}
	EXPECT_EQ( gpoRessourcesMgr->GetExternalFileBuffer( "EXT\\DATA.BIN" ), nullptr );
	Output();
	ASSERT_EQ( Load(), 0 );
	EXPECT_NE( Output().find( "NOT LOADED" ), std::string::npos );
	EXPECT_EQ( gpoRessourcesMgr->GetRequestedExternalFileCount(), 0u );

	struct Row {
		std::string	name;
		u32			size;
		u8			first;
	};
	const Row rows[] = {
		{ "EXT\\DATA.BIN", 5, 1 },
		{ "ext\\data.bin", 0, 0 },
		{ "EXT/DATA.BIN", 0, 0 },
		{ "EXT\\NONE.BIN", 0, 0 },
		{ longest, 1, 6 },
		{ tooLong, 0, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const u8* const data = gpoRessourcesMgr->GetExternalFileBuffer( row.name.c_str() );
		EXPECT_EQ( gpoRessourcesMgr->GetExternalFileSize( row.name.c_str() ), row.size );
		ASSERT_EQ( data != nullptr, row.size != 0 );
		if ( data != nullptr ) {
			EXPECT_EQ( data[0], row.first );
		}
	}
	gpoRessourcesMgr->Terminate();
	EXPECT_EQ( gpoRessourcesMgr->GetExternalFileBuffer( "EXT\\DATA.BIN" ), nullptr );
	EXPECT_EQ( gpoRessourcesMgr->GetExternalFileSize( "EXT\\DATA.BIN" ), 0u );
}

TEST_F( EFRessourcesMgrFilesTest, DoesLevelFileExistProbesGenWithTheCurrentExtensionAndLeavesTheNameAlone ) {
	MakeController();
	gpoRessourcesMgr->SetResFilename( "START.GCR" );
	WriteBytes( "LEVEL/OTHER/GEN/NEXT.GCR", { 1 } );
	WriteBytes( "LEVEL/OTHER/GEN/EMPTY.GCR", {} );
	WriteBytes( "LEVEL/OTHER/FR/LOCAL.GCR", { 1 } );
	struct Row {
		const char*	level;
		char		file[32];
		u32			exists;
	};
	Row rows[] = {
		{ "OTHER", "NEXT", 1 },
		{ "other", "next.ghr", 1 },
		{ "OTHER", "NEXT.X.Y", 1 },
		{ "OTHER", "EMPTY", 0 },
		{ "OTHER", "LOCAL", 0 },
		{ "NOWHERE", "NEXT", 0 },
	};
	for ( Row& row : rows ) {
		SCOPED_TRACE( row.file );
		const std::string before = row.file;
		EXPECT_EQ( gpoRessourcesMgr->DoesLevelFileExist( row.level, row.file ), row.exists );
		EXPECT_EQ( std::string( row.file ), before );
	}
	EXPECT_EQ( DTNbrFileInUse(), 0u );
}

}
