#include "tools/lib/ToolSampleDisc.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolIniWriter.h"
#include "tools/lib/audio/ToolSampleAudio.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolLevelFileNames.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/save/ToolCardFileWriter.h"
#include "tools/lib/level/ToolSampleCollisionMap.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/level/ToolSampleSplines.h"
#include "tools/lib/level/ToolSampleScene.h"
#include "tools/lib/level/ToolSampleTextures.h"
#include "tools/lib/logic/ToolSampleLogic.h"

const char* const TOOL_SAMPLE_TEXTS[2] = { "SAMPLE LEVEL", "PRESS START" };

namespace {

ToolLoadingScreen SampleLoadingScreen() {
	ToolLoadingScreen screen;
	screen.background = "LOADBACK";
	screen.bar = "LOADBAR";
	return screen;
}

// Two glyphs, 'A' and 'B', on one texture page.
ToolFonts SampleFont() {
	const ToolFontChar chars[] = {
		{ 0.0f, 0.0f, 0.5f, 1.0f, 8.0f, 16.0f, 0.0f, 0.0f },
		{ 0.5f, 0.0f, 0.5f, 1.0f, 8.0f, 16.0f, 0.0f, 0.0f },
	};
	std::array<u16, 128> glyphs = {};
	glyphs['A'] = 0;
	glyphs['B'] = 1;
	ToolFonts font;
	font.header.puid = TOOL_SAMPLE_FONT_SLOT;
	font.nbChars = 2;
	font.spaceSize = 8.0f;
	font.lineHeight = 16.0f;
	font.interSpace = 1.0f;
	font.textureNames = { "FONT0" };
	font.charTable = ToolHudTables::CharTable( chars );
	font.asciiTable = ToolHudTables::AsciiTable( glyphs );
	return font;
}

// count colour groups of four RGBA corners, each group one grey level.
ToolFontsPalette SamplePalette( const u32 count ) {
	ToolFontsPalette palette;
	palette.nbColors = count;
	for ( u32 group = 0; group < count; group++ ) {
		const u8 level = static_cast<u8>( 0xFF - group * 0x40 );
		for ( u32 corner = 0; corner < 4; corner++ ) {
			palette.colorTable.insert( palette.colorTable.end(), { level, level, level, 0xFF } );
		}
	}
	return palette;
}

ToolTexts SampleTexts() {
	const std::vector<std::string> texts( std::begin( TOOL_SAMPLE_TEXTS ), std::end( TOOL_SAMPLE_TEXTS ) );
	ToolTexts table;
	table.nbTextes = static_cast<u32>( texts.size() );
	table.languages.push_back( ToolHudTables::TextLanguage( texts ) );
	return table;
}

void AddEncoded( std::vector<ToolDiscFile>& files, const std::filesystem::path& path, ToolBigEndianWriter& out ) {
	files.push_back( { path, out.Take() } );
}

}

bool ToolMakeSampleLevelFiles( const ToolSampleModules& modules, std::vector<ToolDiscFile>& files, std::string& error ) {
	files.clear();
	const ToolDiscLayout layout( TOOL_SAMPLE_LEVEL );
	const std::filesystem::path language = layout.LevelLanguageFolder();

	ToolBigEndianWriter out;
	if ( !ToolLevelWriter::WriteLoadingScreen( out, SampleLoadingScreen() ) ) {
		error = "the sample loading screen cannot be written";
		return false;
	}
	AddEncoded( files, language / TOOL_LOADING_SCREEN_FILE, out );
	if ( !ToolLevelWriter::WriteFonts( out, SampleFont() ) ) {
		error = "the sample font cannot be written";
		return false;
	}
	AddEncoded( files, language / ToolFontFile( 0 ), out );
	ToolLevelWriter::WriteFontsPalette( out, SamplePalette( 2 ) );
	AddEncoded( files, language / TOOL_GLOBAL_PALETTE_FILE, out );
	ToolLevelWriter::WriteFontsPalette( out, SamplePalette( 1 ) );
	AddEncoded( files, language / ToolFontPaletteFile( 0 ), out );
	ToolLevelWriter::WriteTexts( out, SampleTexts() );
	AddEncoded( files, language / TOOL_TEXTS_FILE, out );
	files.push_back( { language / ToolTextureDictionaryFile( 0 ), ToolSampleTextureDictionary() } );
	files.push_back( { language / TOOL_LOADING_DICTIONARY_NTSC, ToolSampleLoadingDictionary( false ) } );
	files.push_back( { language / TOOL_LOADING_DICTIONARY_PAL, ToolSampleLoadingDictionary( true ) } );

	ToolResourceFile resources;
	if ( !ToolMakeSampleLogicLevel( modules.objectModule, modules.libraryModule, resources, error ) ) {
		return false;
	}
	// The objects join the static world and launch particles of the types
	// as they load.
	resources.records.push_back( ToolSampleStaticWorldRecord() );
	resources.records.push_back( ToolSampleParticleTypesRecord() );
	for ( ToolResourceRecord& record : ToolSampleObjectRecords( TOOL_SAMPLE_OBJECT_CODE_ID ) ) {
		resources.records.push_back( std::move( record ) );
	}
	resources.records.push_back( ToolSampleSplineRecord() );
	ToolResourceRecord collisionMap;
	if ( !ToolSampleCollisionMapRecord( collisionMap, error ) ) {
		return false;
	}
	resources.records.push_back( std::move( collisionMap ) );
	resources.records.push_back( ToolSamplePaletteRecord() );
	ToolResourceRecord audioEnvironment;
	if ( !ToolMakeSampleAudio( language / "AUDIO", files, audioEnvironment, error ) ) {
		return false;
	}
	resources.records.push_back( std::move( audioEnvironment ) );
	files.push_back( { layout.LevelNeutralFolder() / std::string( TOOL_SAMPLE_RESOURCE_FILE ),
					   ToolResourceFileWriter::Encode( resources ) } );
	return true;
}

bool ToolWriteSampleDisc( const std::filesystem::path& root, const ToolSampleModules& modules, std::string& error ) {
	std::vector<ToolDiscFile> files;
	if ( !ToolMakeSampleLevelFiles( modules, files, error ) ) {
		return false;
	}
	const ToolDiscLayout layout( TOOL_SAMPLE_LEVEL );
	ToolDiscBuilder		 disc( root );
	if ( !disc.CreateLayout( layout, error ) ) {
		return false;
	}

	// The engine turns the level to load into its first resource file name
	// and only opens names with a resource-file extension, so the name
	// carries its extension.
	ToolIniWriter ini;
	if ( !ini.Set( "StartingLevelToLoad", TOOL_SAMPLE_RESOURCE_FILE ) ||
		 !ini.Set( "StartingLevelPath", layout.Level() ) ) {
		error = "invalid sample level name";
		return false;
	}
	if ( !disc.WriteEngineIni( ini, error ) ) {
		return false;
	}
	for ( const ToolDiscFile& file : files ) {
		if ( !disc.WriteFile( file.path, file.bytes, error ) ) {
			return false;
		}
	}
	// The memory-card icon every save carries, at the root.
	return disc.WriteFile( TOOL_SAMPLE_CARD_ICON_FILE, ToolWriteCardIcon(), error );
}
