/*
	HUD window trees: the bytes of a class-67 record ("EF_HUD_CONFIG") on
	a memory persist stream, loaded under a fresh HUD manager's root as the
	level loader does, then laid out once in a frame's command block. The
	first byte picks the input: even, a window tree; odd, a text-command
	stream shown by a text window through the text table. The layout stays
	inside the block, and the manager's destruction frees every window.
*/
#include "FuzzTarget.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFText.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/hud/EFHudTextWindow.h"
#include "framework/graphics/hud/EFHudWindowStreamer.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolHudWindowWriter.h"
#include "tools/lib/level/ToolLevelWriter.h"

namespace {

constexpr u32 BLOCK_BYTES = 65536;

std::array<u16, 128> Glyphs() {
	std::array<u16, 128> glyphs = {};
	for ( u16 c = 0; c < 128; c++ ) {
		glyphs[c] = c % 8;
	}
	return glyphs;
}

void InstallFont() {
	std::vector<ToolFontChar> chars( 8, { 0.0f, 0.0f, 0.125f, 1.0f, 1.0f / 64.0f, 1.0f / 32.0f, 0.0f, 0.0f } );
	ToolFonts font;
	font.nbChars = static_cast<u32>( chars.size() );
	font.spaceSize = 1.0f / 128.0f;
	font.lineHeight = 1.0f / 32.0f;
	font.textureNames = { "PAGE0" };
	font.charTable = ToolHudTables::CharTable( chars );
	font.asciiTable = ToolHudTables::AsciiTable( Glyphs() );
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteFonts( out, font );
	std::vector<u8> bytes = out.Take();
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	EFFont* const loaded = new EFFont();
	if ( loaded->Load( stream ) != 0 || gpoHudMgr->GetFont( 0 ) != loaded ) {
		delete loaded;
	}
}

void InstallText( const u8* data, const size_t size ) {
	ToolTexts texts;
	texts.nbTextes = 1;
	texts.languages.push_back( ToolHudTables::TextCommandLanguage( std::vector<std::vector<u8>>{ { data, data + size } } ) );
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteTexts( out, texts );
	std::vector<u8> bytes = out.Take();
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	EFText* const table = new EFText();
	if ( table->Load( stream ) != 0 ) {
		delete table;
	}
}

void Load( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false );
	gpoHudMgr = new EFHudMgr();
	gpoHudMgr->Init();
	gpoHudMgr->SetScreenScale( 640.0f, 448.0f );
	InstallFont();
	if ( ( data[0] & 1 ) == 0 ) {
		std::vector<char> copy( data + 1, data + size );
		DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
		EFHudWindowStreamer streamer;
		const s32 result = streamer.LoadPropertiesBinary( stream );
		FuzzCheck( result == DT_PERSIST_OK || result == DT_PERSIST_READ_PAST_END, "an unknown result" );
	} else {
		InstallText( data + 1, size - 1 );
		const u32 handle = gpoHudMgr->WindowAdd( HUD_WIN_TEXT, EF_HUD_ROOT_HANDLE, 0x10000, 0 );
		EFHudTextWindow* const window = static_cast<EFHudTextWindow*>( gpoHudMgr->GetWindow( handle ) );
		FuzzCheck( window != nullptr, "no text window" );
		window->muiTextId = 0;
		window->mbStoredArguments = true;
		for ( u32 i = 0; i < EF_HUD_TEXT_ARGUMENTS; i++ ) {
			window->mauiArguments[i] = i * 37;
		}
	}
	std::vector<u8> block( BLOCK_BYTES );
	gpoHudMgr->SetCommandBlock( block.data(), BLOCK_BYTES );
	void* commands = block.data();
	unsigned long count = 0;
	gpoHudMgr->GetRootWindow()->Update( 0.033f, commands, count );
	FuzzCheck( static_cast<u8*>( commands ) >= block.data() && static_cast<u8*>( commands ) <= block.data() + BLOCK_BYTES,
			   "the layout left the command block" );
	gpoHudMgr->SetCommandBlock( nullptr, 0 );
	delete gpoHudMgr;
	gpoHudMgr = nullptr;
}

std::vector<u8> TreeSeed( const ToolHudWindow& root ) {
	std::vector<u8> bytes = ToolHudWindowWriter::Encode( root );
	bytes.insert( bytes.begin(), 0 );
	return bytes;
}

std::vector<u8> TextSeed( const std::vector<u8>& stream ) {
	std::vector<u8> bytes = stream;
	bytes.insert( bytes.begin(), 1 );
	return bytes;
}

} // namespace

FUZZ_TARGET( hud_tree ) {
	Load( data, size );
}

static void FuzzSeeds_hud_tree( std::vector<FuzzSeed>& seeds ) {
	ToolHudWindow text;
	text.type = 1;
	text.flags = 0x30000;
	text.textId = 0;
	ToolHudWindow image;
	image.type = 2;
	image.flags = 0x30000;
	image.texture = "LAMP";
	ToolHudWindow model;
	model.type = 3;
	model.ownerId = 5;
	image.children = { model };
	ToolHudWindow root;
	root.children = { text, image };
	seeds.push_back( { "tree", TreeSeed( root ) } );
	ToolHudWindow promised = root;
	promised.storedChildCount = 0xFFFFFFFF;
	seeds.push_back( { "tree_promises_more", TreeSeed( promised ) } );
	ToolHudWindow odd = root;
	odd.children[0].type = 9;
	seeds.push_back( { "tree_odd_type", TreeSeed( odd ) } );
	seeds.push_back( { "text_literal", TextSeed( ToolHudTables::TextCommands( "AB CD\tE\nF%(color)G", Glyphs() ) ) } );
	const std::vector<u16> run = { 1, 2, 0xFFFE, 3, 0xFFFF, 4, 0xFFFD, 5 };
	seeds.push_back( { "text_commands", TextSeed( ToolTextCommands()
													  .Run( run )
													  .Argument( 0x1 | 0x4 | 0x8, 255 )
													  .Color( 0x80000001 )
													  .Font( 0xFFFFFFFF )
													  .Argument( 0x1 | 0x10 | 0x20, 0 )
													  .FontArgument()
													  .ColorArgument()
													  .Argument( 0x80, 0 )
													  .End() ) } );
}
