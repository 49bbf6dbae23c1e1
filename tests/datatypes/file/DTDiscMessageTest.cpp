#include "DTFileTestBench.h"
#include "platform/vi/VIHost.h"

#include "Engine/implementation/GC/EIStartupLanguage.h"
#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/memory/MMHost.h"
#include "platform/vi/VIHostFrameDump.h"

#include <cstring>
#include <set>

namespace {

constexpr u8 BLACK = 0x10;
constexpr u8 FULL_INK = 235;

class DTDiscMessageTest : public DTFileTestBench {
protected:
	void SetUp() override {
		DTFileTestBench::SetUp();
		frame.assign( DT_TEST_FRAME_BYTES, 0xFF );
		VISetNextFrameBuffer( frame.data() );
	}

	// Rows and columns holding any ink, as [first, last] ranges; empty when
	// the frame holds no ink.
	struct InkBox {
		s32		top = -1;
		s32		bottom = -1;
		s32		left = -1;
		s32		right = -1;
	};

	InkBox FindInk( const u32 height ) const {
		InkBox box;
		for ( u32 y = 0; y < height; ++y ) {
			for ( u32 x = 0; x < DT_FRAME_WIDTH; ++x ) {
				if ( Luma( frame, x, y ) == BLACK ) {
					continue;
				}
				box.top = box.top < 0 ? static_cast<s32>( y ) : box.top;
				box.bottom = static_cast<s32>( y );
				box.left = box.left < 0 || static_cast<s32>( x ) < box.left ? static_cast<s32>( x ) : box.left;
				box.right = static_cast<s32>( x ) > box.right ? static_cast<s32>( x ) : box.right;
			}
		}
		return box;
	}

	static s32 GlyphWidth( const char* c ) {
		s32 width = 0;
		OSGetFontTexture( c, nullptr, nullptr, nullptr, &width );
		return width;
	}

	std::vector<u8> frame;
};

TEST_F( DTDiscMessageTest, PicksTheTextByLanguageWithEnglishForAnyOtherCode ) {
	struct Case {
		const char*	language;
		s32			index;
		const char*	expected;
	};
	const Case cases[] = {
		{ "EN", 0, "Please insert the Quillmoor!\x99" "\nTallowmere Game Disc." },
		{ "FR", 0, "Veuillez ins\xE9" "rer le disque Quillmoor !\x99" "\nCorvalune." },
		{ "FR", 2, "Veuillez ins\xE9" "rer le disque Quillmoor !\x99" "\nCorvalune." },
		{ "DE", 1, "Der Disc-Deckel ist ge\xF6" "ffnet.\nBitte den Disc-Deckel schlie\xDF" "en,\num mit dem Spiel fortzufahren." },
		{ "ES", 3, "No se puede leer el disco.\nConsulta el manual de instrucciones de\nNintendo GameCube  para obtener m\xE1" "s informaci\xF3" "n." },
		{ "IT", 1, "Il coperchio del disco \xE8" " aperto.\nSe vuoi proseguire nel gioco, chiudi il coperchio del disco." },
		{ "NL", 2, "Plaats de Quillmoor!\x99" "\n spel-disc." },
		{ "JP", 1, "The Disc Cover is open.\nIf you want to continue the game,\nplease close the Disc Cover." },
		{ "fr", 3, "The Game Disc could not be read.\nPlease read the Nintendo GameCube\nInstruction Booklet for more information." },
		{ "",   0, "Please insert the Quillmoor!\x99" "\nTallowmere Game Disc." },
		{ nullptr, 0, "Please insert the Quillmoor!\x99" "\nTallowmere Game Disc." },
		{ "EN", -1, "" },
		{ "EN", 4, "" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( testing::Message() << ( c.language != nullptr ? c.language : "null" ) << " " << c.index );
		EXPECT_STREQ( GetLocalizedMessageFor( c.language, c.index ), c.expected );
	}

	// Without the start-up hook the messages are English; with it, they
	// follow the start-up language.
	char language[EI_LANGUAGE_CODE_MAX] = {};
	GetEngineStartupLanguage( language );
	EXPECT_STREQ( language, "FR" );
	const DTLanguageHook previous = DTSetLanguageHook( nullptr );
	for ( s32 i = 0; i < DT_DISC_MESSAGE_COUNT; ++i ) {
		EXPECT_STREQ( GetLocalizedMessage( i ), GetLocalizedMessageFor( "EN", i ) );
	}
	DTSetLanguageHook( GetEngineStartupLanguage );
	for ( s32 i = 0; i < DT_DISC_MESSAGE_COUNT; ++i ) {
		EXPECT_STREQ( GetLocalizedMessage( i ), GetLocalizedMessageFor( "FR", i ) );
	}
	DTSetLanguageHook( previous );
}

TEST_F( DTDiscMessageTest, KeepsEveryTextInSingleByteGlyphsTheFontCanDraw ) {
	const char* languages[] = { "EN", "DE", "FR", "ES", "IT", "NL" };
	for ( const char* language : languages ) {
		for ( s32 i = 0; i < DT_DISC_MESSAGE_COUNT; ++i ) {
			SCOPED_TRACE( testing::Message() << language << " " << i );
			const char* text = GetLocalizedMessageFor( language, i );
			ASSERT_GT( std::strlen( text ), 0u );
			for ( const char* c = text; *c != '\0'; ++c ) {
				if ( *c == '\n' ) {
					continue;
				}
				// Every glyph exists in the font: none falls back to the box.
				const char box[] = "\x7F";
				void* image = nullptr;
				s32 x = 0;
				s32 y = 0;
				s32 boxX = 0;
				s32 boxY = 0;
				OSGetFontTexture( c, &image, &x, &y, nullptr );
				OSGetFontTexture( box, &image, &boxX, &boxY, nullptr );
				EXPECT_FALSE( x == boxX && y == boxY ) << "code " << static_cast<u32>( static_cast<u8>( *c ) );
			}
		}
	}
}

TEST_F( DTDiscMessageTest, ClearsTheFrameAndCentresTheLinesVertically ) {
	struct Case {
		u32			tvFormat;
		const char*	text;
		u32			height;
		s32			firstRow;
	};
	const Case cases[] = {
		{ VI_NTSC,		"H",			448, 224 - 12 },
		{ VI_MPAL,		"H\nH",			448, 224 - 24 },
		{ VI_EURGB60,	"H\nH\nH",		448, 224 - 36 },
		{ VI_PAL,		"H",			496, 248 - 12 },
		{ VI_PAL,		"H\n\nH",		496, 248 - 36 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( testing::Message() << "format " << c.tvFormat << " text " << c.text );
		frame.assign( DT_TEST_FRAME_BYTES, 0xFF );
		VIHostSetTvFormat( c.tvFormat );
		DisplayMessageWithRomFont( c.text );

		u32 lines = 1;
		for ( const char* t = c.text; *t != '\0'; ++t ) {
			lines += *t == '\n' ? 1 : 0;
		}
		for ( u32 i = 0; i < c.height * DT_FRAME_STRIDE; i += 2 ) {
			ASSERT_EQ( frame[i + 1], 0x80 ) << "chroma at " << i;
		}
		for ( u32 i = c.height * DT_FRAME_STRIDE; i < frame.size(); ++i ) {
			ASSERT_EQ( frame[i], 0xFF ) << "below the frame at " << i;
		}
		// Every line of the text holds an H; ink lies inside its 24-row band
		// (blank lines hold none), starting a texel into column 75.
		const InkBox box = FindInk( c.height );
		EXPECT_GE( box.top, c.firstRow );
		EXPECT_LT( box.bottom, c.firstRow + static_cast<s32>( lines ) * DT_MESSAGE_LINE_HEIGHT );
		EXPECT_LT( box.top, c.firstRow + 6 );
		EXPECT_GT( box.bottom, c.firstRow + static_cast<s32>( lines - 1 ) * DT_MESSAGE_LINE_HEIGHT + 12 );
		EXPECT_GE( box.left, DT_MESSAGE_LEFT_COLUMN );
		EXPECT_LE( box.left, DT_MESSAGE_LEFT_COLUMN + 2 );
		EXPECT_LT( box.right, DT_MESSAGE_LEFT_COLUMN + GlyphWidth( "H" ) );
		EXPECT_EQ( VIGetNextFrameBuffer(), frame.data() );
	}
}

TEST_F( DTDiscMessageTest, MapsTexelsOntoTheVideoLumaRange ) {
	DisplayMessageWithRomFont( "W" );
	std::set<u32> seen;
	for ( u32 y = 0; y < DT_FRAME_HEIGHT_60HZ; ++y ) {
		for ( u32 x = 0; x < DT_FRAME_WIDTH; ++x ) {
			seen.insert( Luma( frame, x, y ) );
		}
	}
	// The host font inks with full intensity only.
	EXPECT_EQ( seen, ( std::set<u32>{ BLACK, FULL_INK } ) );
}

TEST_F( DTDiscMessageTest, AdvancesEachGlyphByItsWidth ) {
	DisplayMessageWithRomFont( "W" );
	const InkBox alone = FindInk( DT_FRAME_HEIGHT_60HZ );
	std::vector<u8> first( frame );

	DisplayMessageWithRomFont( "i\x7F" "W" );
	const s32 shift = GlyphWidth( "i" ) + GlyphWidth( "\x7F" );
	for ( s32 y = alone.top; y <= alone.bottom; ++y ) {
		for ( s32 x = alone.left; x <= alone.right; ++x ) {
			ASSERT_EQ( Luma( frame, static_cast<u32>( x + shift ), static_cast<u32>( y ) ),
					   Luma( first, static_cast<u32>( x ), static_cast<u32>( y ) ) ) << x << "," << y;
		}
	}
}

TEST_F( DTDiscMessageTest, DrawsNothingForAnEmptyText ) {
	VISetNextFrameBuffer( nullptr );
	DisplayMessageWithRomFont( "" );
	DisplayMessageWithRomFont( nullptr );
	EXPECT_EQ( VIGetNextFrameBuffer(), nullptr );
	EXPECT_EQ( gTempFB, nullptr );
	EXPECT_EQ( frame, std::vector<u8>( DT_TEST_FRAME_BYTES, 0xFF ) );
}

TEST_F( DTDiscMessageTest, StopsOnAnUnknownTvFormatWithoutTouchingTheFrame ) {
	const u32 formats[] = { 3, 4, 6, 0xFFFFFFFF };
	for ( const u32 format : formats ) {
		SCOPED_TRACE( format );
		VIHostSetTvFormat( format );
		try {
			DisplayMessageWithRomFont( "H" );
			ADD_FAILURE() << "no panic";
		} catch ( const std::runtime_error& error ) {
			EXPECT_STREQ( error.what(), "DEMOInit: invalid TV format\n" );
		}
		EXPECT_TRUE( HostInterruptsEnabled() );
	}
	EXPECT_EQ( frame, std::vector<u8>( DT_TEST_FRAME_BYTES, 0xFF ) );
}

TEST_F( DTDiscMessageTest, ClipsLongLinesAndTallTextsToTheFrame ) {
	struct Case {
		u32			tvFormat;
		std::string	text;
		bool		inkOnTopRow;
		bool		inkOnBottomRow;
	};
	std::string tall;
	for ( u32 i = 0; i < 30; ++i ) {
		tall += i == 0 ? "HHHH" : "\nHHHH";
	}
	const Case cases[] = {
		{ VI_NTSC,	std::string( 60, 'W' ),	false,	false },
		{ VI_PAL,	std::string( 60, 'W' ),	false,	false },
		{ VI_NTSC,	tall,					true,	true },
		{ VI_PAL,	tall,					true,	true },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( testing::Message() << "format " << c.tvFormat << ", " << c.text.size() << " bytes" );
		const u32 height = DTFrameHeightForTvFormat( c.tvFormat );
		// Exactly one frame, so that a write past it is caught.
		frame.assign( height * DT_FRAME_STRIDE, 0xFF );
		VISetNextFrameBuffer( frame.data() );
		VIHostSetTvFormat( c.tvFormat );
		DisplayMessageWithRomFont( c.text.c_str() );

		const InkBox box = FindInk( height );
		EXPECT_EQ( box.top == 0, c.inkOnTopRow );
		EXPECT_EQ( box.bottom == static_cast<s32>( height ) - 1, c.inkOnBottomRow );
		if ( !c.inkOnTopRow ) {
			// One line, not wrapped: ink only in its band and up to the edge.
			EXPECT_GE( box.top, static_cast<s32>( height / 2 ) - 12 );
			EXPECT_LT( box.bottom, static_cast<s32>( height / 2 ) + 12 );
			EXPECT_GE( box.right, static_cast<s32>( DT_FRAME_WIDTH ) - GlyphWidth( "W" ) );
		}
	}
}

TEST_F( DTDiscMessageTest, DrawsIntoATemporaryFrameFromTheGlobalHeapWhenNoneIsSet ) {
	ASSERT_TRUE( MMHostReinitialise( 0x1800000 ) );
	MMFree( MMMalloc( 1 ) );
	MMChangeHeap( MM_LEVEL_HEAP );
	VISetNextFrameBuffer( nullptr );

	DisplayMessageWithRomFont( "H" );
	ASSERT_NE( gTempFB, nullptr );
	void* const temporary = gTempFB;
	EXPECT_TRUE( _MemHeap[MM_GLOBAL_HEAP]->Contains( mmheader::FromPayload( temporary ) ) );
	EXPECT_EQ( MMGetActualHeap(), MM_LEVEL_HEAP );
	EXPECT_EQ( VIGetNextFrameBuffer(), temporary );
	VIWaitForRetrace();
	EXPECT_FALSE( VIHostIsBlack() );

	// A level change resets heap 1 and fills it again; the temporary frame
	// must survive and drawing must not touch the new level's memory.
	MMResetHeap( MM_LEVEL_HEAP );
	const u32 levelBytes = DT_FRAME_HEIGHT_PAL * DT_FRAME_STRIDE;
	u8* level = static_cast<u8*>( MMMalloc( levelBytes ) );
	ASSERT_NE( level, nullptr );
	std::memset( level, 0x77, levelBytes );
	VISetNextFrameBuffer( nullptr );
	DisplayMessageWithRomFont( "HHHH\nHHHH" );
	EXPECT_EQ( gTempFB, temporary );
	for ( u32 i = 0; i < levelBytes; ++i ) {
		ASSERT_EQ( level[i], 0x77 ) << i;
	}

	// Whoever frees it nulls it; the next message allocates anew.
	MMFree( gTempFB );
	gTempFB = nullptr;
	VISetNextFrameBuffer( nullptr );
	DisplayMessageWithRomFont( "H" );
	EXPECT_NE( gTempFB, nullptr );
	MMFree( gTempFB );
	gTempFB = nullptr;
	MMChangeHeap( MM_GLOBAL_HEAP );
}

TEST_F( DTDiscMessageTest, DumpsTheLumaPlaneAsAnImage ) {
	VIHostSetTvFormat( VI_PAL );
	DisplayMessageWithRomFont( GetLocalizedMessage( DT_DISC_MESSAGE_UNREADABLE ) );
	const std::string path = ( root / "screen.pgm" ).string();
	ASSERT_TRUE( VIHostDumpLumaPgm( frame.data(), DT_FRAME_WIDTH, DT_FRAME_HEIGHT_PAL, DT_FRAME_STRIDE, path.c_str() ) );

	std::ifstream in( path, std::ios::binary );
	std::string header;
	std::getline( in, header );
	EXPECT_EQ( header, "P5" );
	std::getline( in, header );
	EXPECT_EQ( header, "640 496" );
	std::getline( in, header );
	EXPECT_EQ( header, "255" );
	std::vector<char> pixels( DT_FRAME_WIDTH * DT_FRAME_HEIGHT_PAL + 1 );
	in.read( pixels.data(), static_cast<std::streamsize>( pixels.size() ) );
	ASSERT_EQ( in.gcount(), static_cast<std::streamsize>( DT_FRAME_WIDTH * DT_FRAME_HEIGHT_PAL ) );
	for ( u32 y = 0; y < DT_FRAME_HEIGHT_PAL; y += 7 ) {
		for ( u32 x = 0; x < DT_FRAME_WIDTH; x += 3 ) {
			ASSERT_EQ( static_cast<u8>( pixels[y * DT_FRAME_WIDTH + x] ), Luma( frame, x, y ) );
		}
	}

	EXPECT_FALSE( VIHostDumpLumaPgm( nullptr, 640, 448, 1280, path.c_str() ) );
	EXPECT_FALSE( VIHostDumpLumaPgm( frame.data(), 641, 448, 1280, path.c_str() ) );
	EXPECT_FALSE( VIHostDumpLumaPgm( frame.data(), 640, 448, 1280, ( root / "no" / "such.pgm" ).c_str() ) );
}

}
