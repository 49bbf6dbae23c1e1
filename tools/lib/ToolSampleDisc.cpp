#include "tools/lib/ToolSampleDisc.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolIniWriter.h"
#include "tools/lib/audio/ToolSampleAudio.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolHudWindowWriter.h"
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

// A glyph for each capital letter on one texture page, the glyph index
// one more than the letter's place in the alphabet (glyph 0, which would
// end a run, is blank). Sizes are fractions of the screen.
std::array<u16, 128> SampleGlyphs() {
	std::array<u16, 128> glyphs = {};
	for ( u16 letter = 0; letter < TOOL_SAMPLE_FONT_LETTERS; letter++ ) {
		glyphs['A' + letter] = static_cast<u16>( letter + 1 );
	}
	return glyphs;
}

ToolFonts SampleFont() {
	std::vector<ToolFontChar> chars = { {} };
	for ( u32 letter = 0; letter < TOOL_SAMPLE_FONT_LETTERS; letter++ ) {
		chars.push_back( { static_cast<f32>( letter ) / 32.0f, 0.0f, 1.0f / 32.0f, 1.0f, 1.0f / 40.0f, 1.0f / 28.0f, 0.0f,
						   0.0f } );
	}
	ToolFonts font;
	font.header.puid = TOOL_SAMPLE_FONT_SLOT;
	font.nbChars = TOOL_SAMPLE_FONT_GLYPHS;
	font.spaceSize = 1.0f / 64.0f;
	font.lineHeight = 1.0f / 24.0f;
	font.interSpace = 1.0f / 320.0f;
	font.textureNames = { "FONT0" };
	font.charTable = ToolHudTables::CharTable( chars );
	font.asciiTable = ToolHudTables::AsciiTable( SampleGlyphs() );
	return font;
}

// count colour groups of four RGBA corners, each group one grey level.
ToolFontsPalette SamplePalette( const u32 count, const s32 slot ) {
	ToolFontsPalette palette;
	palette.header.puid = slot;
	palette.nbColors = count;
	for ( u32 group = 0; group < count; group++ ) {
		const u8 level = static_cast<u8>( 0xFF - group * 0x40 );
		for ( u32 corner = 0; corner < 4; corner++ ) {
			for ( const u8 channel : { level, level, level, static_cast<u8>( 0xFF ) } ) {
				palette.colorTable.push_back( channel );
			}
		}
	}
	return palette;
}

ToolTexts SampleTexts() {
	std::vector<std::vector<u8>> streams;
	for ( const char* const text : TOOL_SAMPLE_TEXTS ) {
		streams.push_back( ToolHudTables::TextCommands( text, SampleGlyphs() ) );
	}
	ToolTexts table;
	table.nbTextes = static_cast<u32>( streams.size() );
	table.languages.push_back( ToolHudTables::TextCommandLanguage( streams ) );
	return table;
}

// A text window with the first sample text over a 2D window of the
// palettised texture, both in the lower part of the screen.
ToolHudWindow SampleHudTree() {
	ToolHudWindow text;
	text.type = TOOL_SAMPLE_HUD_TEXT_TYPE;
	text.flags = 0x10000;
	text.priority = 2;
	text.design[1] = 0.75f;
	text.design[3] = 0.125f;
	text.font = TOOL_SAMPLE_FONT_SLOT;
	text.textId = 0;
	ToolHudWindow image;
	image.type = TOOL_SAMPLE_HUD_IMAGE_TYPE;
	image.priority = 1;
	image.design[0] = 0.0625f;
	image.design[1] = 0.0625f;
	image.design[2] = 0.125f;
	image.design[3] = 0.125f;
	image.texture = TOOL_SAMPLE_PALETTISED_TEXTURE;
	ToolHudWindow root;
	root.children = { text, image };
	return root;
}

void AddEncoded( std::vector<ToolDiscFile>& files, const std::filesystem::path& path, ToolBigEndianWriter& out ) {
	files.push_back( { path, out.Take() } );
}

}

ToolResourceRecord ToolSampleHudRecord() {
	ToolResourceRecord record;
	record.classId = TOOL_CLASS_HUD_CONFIG;
	record.object = ToolHudWindowWriter::Encode( SampleHudTree() );
	return record;
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
	ToolLevelWriter::WriteFontsPalette( out, SamplePalette( 2, TOOL_SAMPLE_GLOBAL_PALETTE_SLOT ) );
	AddEncoded( files, language / TOOL_GLOBAL_PALETTE_FILE, out );
	ToolLevelWriter::WriteFontsPalette( out, SamplePalette( 1, TOOL_SAMPLE_FONT_SLOT ) );
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
	resources.records.push_back( ToolSampleHudRecord() );
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
