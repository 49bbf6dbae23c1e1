/*
	Text windows: literals become the same command streams the tools
	write, streams are laid out with wrapping, alignment and arguments,
	the command block and the argument words are never overrun, missing
	fonts, texts and colours draw nothing, and glyphs are drawn in batches
	with the right colours.
*/
#include "HudTestBench.h"

namespace {

class EFHudTextWindowTest : public HudTest {
protected:
	void SetUp() override {
		HudTest::SetUp();
		InstallFont( 0 );
	}

	EFHudTextWindow& Text( const u32 flags = 0, const u32 font = 0 ) {
		const u32 handle = gpoHudMgr->WindowAdd( HUD_WIN_TEXT, EF_HUD_ROOT_HANDLE, flags, 1 );
		EFHudTextWindow& window = *static_cast<EFHudTextWindow*>( gpoHudMgr->GetWindow( handle ) );
		window.muiFont = font;
		return window;
	}

	static std::vector<u16> Run( const std::string& text ) {
		std::vector<u16> glyphs;
		for ( const char c : text ) {
			glyphs.push_back( c == ' ' ? 0xFFFE : c == '\n' ? 0xFFFF : Glyph( c ) );
		}
		return glyphs;
	}

	static std::vector<u32> Codes( const std::vector<HudGlyph>& entries ) {
		std::vector<u32> codes;
		for ( const HudGlyph& g : OnlyGlyphs( entries ) ) {
			codes.push_back( g.glyph );
		}
		return codes;
	}

	static std::vector<u32> CodesOf( const std::string& text ) {
		std::vector<u32> codes;
		for ( const char c : text ) {
			codes.push_back( Glyph( c ) );
		}
		return codes;
	}

	static std::vector<f32> Xs( const std::vector<HudGlyph>& entries ) {
		std::vector<f32> xs;
		for ( const HudGlyph& g : OnlyGlyphs( entries ) ) {
			xs.push_back( g.x );
		}
		return xs;
	}

	static std::vector<f32> Ys( const std::vector<HudGlyph>& entries ) {
		std::vector<f32> ys;
		for ( const HudGlyph& g : OnlyGlyphs( entries ) ) {
			ys.push_back( g.y );
		}
		return ys;
	}
};

TEST_F( EFHudTextWindowTest, ALiteralBecomesTheCommandStreamTheToolsWrite ) {
	EFHudTextWindow& window = Text();
	HudSetText( window, "A %(color)B", 0x80000001u );
	// Pinned: run {A, space} padded, colour from argument, run {B}, end.
	const std::vector<u8> pinned = { 0, 0, 0, 0, 0, 2, 0xFF, 0xFE, 0, 0, 0, 0, 0, 0, 0, 4,
									 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1 };
	ASSERT_NE( window.GetCommandBuffer(), nullptr );
	EXPECT_EQ( std::vector<u8>( window.GetCommandBuffer(), window.GetCommandBuffer() + window.GetCommandBufferBytes() ),
			   pinned );
	EXPECT_EQ( window.mauiArguments[0], 0x80000001u ) << "the one argument the stream consumes";
	EXPECT_EQ( window.mauiArguments[1], 0u );
	for ( const std::string& literal : { std::string( "%(color)AB\tC\nD \x80 Z%(color)" ), std::string( 1023, 'Q' ) } ) {
		HudSetText( window, literal.c_str(), 1u, 2u );
		ASSERT_NE( window.GetCommandBuffer(), nullptr );
		EXPECT_EQ( std::vector<u8>( window.GetCommandBuffer(), window.GetCommandBuffer() + window.GetCommandBufferBytes() ),
				   ToolHudTables::TextCommands( literal, FontGlyphs() ) );
	}
	window.mauiArguments[0] = 5;
	HudSetString( window, "%s-%d", "AB", 42 );
	EXPECT_EQ( Codes( Layout( window, { 0, 0, 640, 480 } ) ), CodesOf( "AB-42" ) );
	EXPECT_EQ( window.mauiArguments[0], 5u ) << "formatting leaves the argument words";
	HudSetText( window, "" );
	EXPECT_EQ( window.GetCommandBuffer(), nullptr );
	EFHudTextWindow& fontless = Text( 0, 7 );
	HudSetText( fontless, "AB" );
	EXPECT_EQ( fontless.GetCommandBuffer(), nullptr ) << "no font, no buffer";
}

TEST_F( EFHudTextWindowTest, LinesWrapAtSpacesAndAlignAsTheFlagsSay ) {
	struct Row {
		const char*			name;
		const char*			text;
		u32					flags;
		CRect				rect;
		std::vector<f32>	xs;
		std::vector<f32>	ys;
	};
	const Row rows[] = {
		{ "a tab is three spaces", "A\tB", 0, { 0, 0, 640, 480 }, { 0, 25 }, { 0, 0 } },
		{ "a long word stays on its line", "ABCDEFGH", 0, { 0, 0, 50, 480 }, { 0, 10, 20, 30, 40, 50, 60, 70 },
		  { 0, 0, 0, 0, 0, 0, 0, 0 } },
		{ "the word crossing the edge moves down", "AB CD", 0, { 100, 50, 30, 480 }, { 100, 110, 100, 110 },
		  { 50, 50, 65, 65 } },
		{ "each line centred", "AB\nCDEF", 0x10000, { 0, 0, 100, 480 }, { 40, 50, 30, 40, 50, 60 },
		  { 0, 0, 15, 15, 15, 15 } },
		{ "under a pixel narrower: not centred", "ABCD", 0x10000, { 0, 0, 40.5f, 480 }, { 0, 10, 20, 30 },
		  { 0, 0, 0, 0 } },
		{ "over half a pixel short: right-aligned", "ABCD", 0x40000, { 0, 0, 40.75f, 480 }, { 0.75f, 10.75f, 20.75f, 30.75f },
		  { 0, 0, 0, 0 } },
		{ "block centred", "A", 0x20000, { 0, 0, 640, 45 }, { 0 }, { 15 } },
		{ "block at the bottom", "A\nB", 0x80000, { 0, 0, 640, 45 }, { 0, 0 }, { 15, 30 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFHudTextWindow& window = Text( row.flags );
		HudSetText( window, row.text );
		const std::vector<HudGlyph> entries = Layout( window, row.rect );
		EXPECT_EQ( Xs( entries ), row.xs );
		EXPECT_EQ( Ys( entries ), row.ys );
	}
}

TEST_F( EFHudTextWindowTest, ArgumentsShowNumbersStringsAndOtherTexts ) {
	const u16 number = EF_ARG_NUMBER;
	InstallTexts( {
		ToolTextCommands().Argument( number | EF_ARG_MIN_WIDTH | EF_ARG_ZERO_PAD, 5 ).End(),
		ToolTextCommands().Argument( number | EF_ARG_MIN_WIDTH, 5 ).End(),
		ToolTextCommands().Argument( number | EF_ARG_HEX | EF_ARG_UNSIGNED, 0 ).Argument( number | EF_ARG_POINTER, 0 ).End(),
		ToolTextCommands().Argument( EF_ARG_UNICODE, 0 ).Argument( EF_ARG_TEXT_ID, 0 ).End(),
		ToolTextCommands().Run( Run( "CD E" ) ).End(),
		ToolTextCommands().Argument( number | EF_ARG_MIN_WIDTH | EF_ARG_ZERO_PAD, 255 ).End(),
	} );
	EFHudTextWindow& window = Text();
	const CRect screen = { 0, 0, 640, 480 };

	HudSetTextId( window, 0, -42 );
	EXPECT_EQ( Codes( Layout( window, screen ) ), CodesOf( "-0042" ) );
	HudSetTextId( window, 1, -42 );
	const std::vector<HudGlyph> spaced = Layout( window, screen );
	EXPECT_EQ( Codes( spaced ), CodesOf( "-42" ) );
	EXPECT_EQ( Xs( spaced ).front(), 2 * HUD_SPACE_W ) << "two spaces first";
	const s32 seven = 7;
	HudSetTextId( window, 2, 255u, &seven );
	EXPECT_EQ( Codes( Layout( window, screen ) ), CodesOf( "ff7" ) );
	// Little-endian UTF-16 "A\nB é" then text 4's run.
	const u8 unicode[] = { 'A', 0, '\\', 0, 'n', 0, 'B', 0, ' ', 0, 0xE9, 0, 0, 0 };
	HudSetTextId( window, 3, unicode, 4u );
	const std::vector<HudGlyph> mixed = Layout( window, screen );
	EXPECT_EQ( Codes( mixed ), ( std::vector<u32>{ Glyph( 'A' ), Glyph( 'B' ), 1, Glyph( 'C' ), Glyph( 'D' ), Glyph( 'E' ) } ) );
	EXPECT_EQ( Ys( mixed )[1], HUD_GLYPH_H ) << "the escaped newline";
	HudSetTextId( window, 5, 1 );
	std::vector<u32> padded( 29, Glyph( '0' ) );
	padded.push_back( Glyph( '1' ) );
	EXPECT_EQ( Codes( Layout( window, screen ) ), padded )
		<< "a width of 255 is held to the 30-glyph buffer";
}

TEST_F( EFHudTextWindowTest, ATwentyFirstPlaceholderReadsZero ) {
	ToolTextCommands commands;
	for ( u32 i = 0; i < 21; i++ ) {
		commands.Argument( EF_ARG_NUMBER, 0 );
	}
	InstallTexts( { commands.End() } );
	EFHudTextWindow& window = Text();
	HudSetTextId( window, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 9 );
	EXPECT_EQ( Codes( Layout( window, { 0, 0, 640, 480 } ) ), CodesOf( "123456789123456789120" ) );
}

TEST_F( EFHudTextWindowTest, MissingFontsTextsAndBlockRoomLayOutNothingPastThem ) {
	InstallTexts( { ToolTextCommands().Run( Run( "AB" ) ).Font( 9 ).Run( Run( "CD" ) ).Font( 0xFFFFFFFF ).Run( Run( "E" ) ).End(),
					ToolTextCommands().Run( std::vector<u16>( 10000, Glyph( 'A' ) ) ).End() } );
	EFHudTextWindow& window = Text();
	HudSetTextId( window, 0 );
	EXPECT_EQ( Codes( Layout( window, { 0, 0, 640, 480 } ) ), CodesOf( "ABE" ) ) << "slot 9 is empty";
	window.muiFont = 12;
	EXPECT_EQ( Codes( Layout( window, { 0, 0, 640, 480 } ) ), std::vector<u32>{} ) << "slot 12 does not exist";
	window.muiFont = 0;
	HudSetTextId( window, 2 );
	Layout( window, { 0, 0, 640, 480 } );
	EXPECT_EQ( window.mpRenderStart, nullptr ) << "past the table";
	for ( const u32 bytes : { 65536u, 100u, 24u } ) {
		SCOPED_TRACE( bytes );
		HudSetTextId( window, 1 );
		const std::vector<HudGlyph> entries = Layout( window, { 0, 0, 640, 480 }, bytes );
		EXPECT_LE( used, bytes );
		EXPECT_EQ( OnlyGlyphs( entries ).size(), ( bytes - 16 - 4 ) / 12 );
	}
}

TEST_F( EFHudTextWindowTest, GlyphsDrawInTheirColoursInBatchesAndPages ) {
	InstallPalette( 0, 1 );
	InstallPalette( EF_HUD_GLOBAL_PALETTE, 2 );
	InstallTexts( { ToolTextCommands().Run( std::vector<u16>( 1286, Glyph( 'A' ) ) ).End(),
					ToolTextCommands().Run( Run( "AZA" ) ).Color( 7 ).Run( Run( "B" ) ).End() } );
	EFHudTextWindow& window = Text();
	window.moDesignRect = { 0.0f, 0.0f, 1.0f, 1.0f };
	HudSetText( window, "A%(color)B", 0x80000001u );
	Frame();
	ASSERT_EQ( HudDraws().size(), 2u ) << "flushed at the colour command";
	const HudDraw& a = HudDraws()[0];
	EXPECT_EQ( a.primitive, 3 );
	ASSERT_EQ( a.vertices.size(), 4u );
	EXPECT_EQ( ( std::vector<u32>{ a.vertices[0].r, a.vertices[0].g } ), ( std::vector<u32>{ 0, 1 } ) ) << "group 0 of slot 0";
	EXPECT_EQ( a.indices, ( std::vector<RwImVertexIndex>{ 0, 1, 2, 2, 1, 3 } ) );
	EXPECT_EQ( ( std::vector<f32>{ a.vertices[3].x, a.vertices[3].y, a.vertices[3].u, a.vertices[3].v } ),
			   ( std::vector<f32>{ HUD_GLYPH_W, HUD_GLYPH_H, 3.0f / 64.0f, 0.75f } ) );
	const HudDraw& b = HudDraws()[1];
	EXPECT_EQ( ( std::vector<u32>{ b.vertices[0].r, b.vertices[0].g } ), ( std::vector<u32>{ 1, 0 } ) ) << "global group 1";
	EXPECT_EQ( b.vertices[0].x, HUD_GLYPH_W );

	HudSetTextId( window, 0 );
	Frame();
	ASSERT_EQ( HudDraws().size(), 2u );
	EXPECT_EQ( HudDraws()[0].vertices.size(), 1285u * 4 );
	EXPECT_EQ( HudDraws()[0].indices.size(), 1285u * 6 );
	EXPECT_EQ( HudDraws()[1].vertices.size(), 4u );

	HudSetTextId( window, 1 );
	Frame();
	ASSERT_EQ( HudDraws().size(), 3u ) << "page 1 for Z, page 0 again; B's colour names no group";
	EXPECT_EQ( HudDraws()[1].vertices.size(), 4u );
	EXPECT_EQ( HudDraws()[1].vertices[0].u, static_cast<f32>( Glyph( 'Z' ) ) / 64.0f );
}

TEST_F( EFHudTextWindowTest, AFullScreenOfTextFitsTheCommandBlock ) {
	std::string line( 64, 'A' );
	std::string screen;
	for ( u32 row = 0; row < 32; row++ ) {
		screen += line + "\n";
	}
	InstallTexts( { ToolHudTables::TextCommands( screen, FontGlyphs() ) } );
	EFHudTextWindow& window = Text();
	HudSetTextId( window, 0 );
	Frame();
	const u32 highWater = gpoHudMgr->GetCommandBytesUsed();
	RecordProperty( "CommandBlockHighWater", static_cast<int>( highWater ) );
	EXPECT_EQ( highWater, 64u * 32u * 12u + 8u + 8u + 4u );
	EXPECT_LT( highWater, EF_HUD_COMMAND_BLOCK_BYTES );
}

}
