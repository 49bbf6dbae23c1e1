#include "platform/os/OSFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <vector>

namespace {

constexpr u8 GUARD = 0xAA;

// The start-up code's font buffer: 131392 bytes, used from a 32-byte
// boundary on.
alignas( 32 ) u8 buffer[OS_FONT_SIZE_ANSI];

OSFontHeader* Header() {
	return reinterpret_cast<OSFontHeader*>( buffer );
}

// Reads one texel of an I4 sheet, decoded here independently of the font.
u8 Texel( const u8* sheet, const u32 sheetWidth, const u32 x, const u32 y ) {
	const u32 tile = ( y / 8 ) * ( sheetWidth / 8 ) + x / 8;
	const u8 pair  = sheet[tile * 32 + ( y % 8 ) * 4 + ( x % 8 ) / 2];
	return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

struct Glyph {
	const char*			next;
	s32					consumed;	// characters the lookup stepped over
	void*				image;
	s32					x;
	s32					y;
	s32					width;
	std::vector<u8>		texels;		// the cell, row by row
	bool				empty;
	s32					inkRight;	// one past the rightmost ink column
};

Glyph Lookup( const char* string ) {
	Glyph g{};
	g.next     = OSGetFontTexture( string, &g.image, &g.x, &g.y, &g.width );
	g.consumed = static_cast<s32>( g.next - string );
	g.empty = true;
	if ( g.image == nullptr ) {
		return g;
	}
	const OSFontHeader* h = Header();
	for ( u32 row = 0; row < h->cellHeight; row++ ) {
		for ( u32 column = 0; column < h->cellWidth; column++ ) {
			const u8 t = Texel( static_cast<const u8*>( g.image ), h->sheetWidth, g.x + column, g.y + row );
			g.texels.push_back( t );
			if ( t != 0 ) {
				g.empty    = false;
				g.inkRight = std::max( g.inkRight, static_cast<s32>( column + 1 ) );
			}
		}
	}
	return g;
}

Glyph LookupCode( const u8 code ) {
	const char text[2] = { static_cast<char>( code ), '\0' };
	Glyph g = Lookup( text );
	g.next = nullptr;	// pointed into this frame
	return g;
}

// The character set: printable ASCII and the accented letters, sharp s
// and trade mark of the disc messages, in Windows-1252.
std::vector<u8> CharacterSet() {
	std::vector<u8> set;
	for ( u32 c = 0x20; c <= 0x7E; c++ ) {
		set.push_back( static_cast<u8>( c ) );
	}
	for ( const u8 c : { 0xE9, 0xE8, 0xE0, 0xE1, 0xF3, 0xF6, 0xDF, 0x99 } ) {
		set.push_back( c );
	}
	return set;
}

// The disc-error messages of every start-up language, Windows-1252.
const char* const discMessages[][3] = {
	{ "Please insert the Quillmoor!\x99\nTallowmere Game Disc.",
	  "The Disc Cover is open.\nIf you want to continue the game,\nplease close the Disc Cover.",
	  "The Game Disc could not be read.\nPlease read the Nintendo GameCube\nInstruction Booklet for more information." },
	{ "Bitte legen Sie die Quillmoor!\x99\nFennspire Game Disc ein.",
	  "Der Disc-Deckel ist ge\xF6" "ffnet.\nBitte den Disc-Deckel schlie\xDF" "en,\num mit dem Spiel fortzufahren.",
	  "Diese Game Disc kann nicht\ngelesen werden. Bitte lesen Sie die\nBedienungsanleitung des Nintendo\nGameCube, um weitere Informationen\nzu erhalten." },
	{ "Veuillez ins\xE9rer le disque Quillmoor !\x99\nCorvalune.",
	  "Le couvercle est ouvert.\nPour continuer \xE0 jouer,\nveuillez fermer le couvercle.",
	  "La lecture du disque a \xE9" "chou\xE9.\nVeuillez vous r\xE9" "f\xE9rer au manuel\nd'instructions Nintendo GameCube\npour de plus amples informations." },
	{ "Coloca el disco de Quillmoor!\x99.",
	  "La tapa est\xE1 abierta.\nSi quieres seguir jugando, debes cerrar la tapa.",
	  "No se puede leer el disco.\nConsulta el manual de instrucciones de\nNintendo GameCube  para obtener m\xE1s informaci\xF3n." },
	{ "Inserisci il disco di gioco Quillmoor!\x99.",
	  "Il coperchio del disco \xE8 aperto.\nSe vuoi proseguire nel gioco, chiudi il coperchio del disco.",
	  "Impossibile leggere il disco di gioco.\nPer ulteriori indicazioni consulta il manuale di istruzioni del Nintendo GameCube." },
	{ "Plaats de Quillmoor!\x99\n spel-disc.",
	  "De disc-deksel is open.\nSluit de disc-deksel als je verder wilt spelen.",
	  "De spel-disc kon niet worden gelezen.\nLees de handleiding van de Nintendo GameCube voor meer informatie." },
};

class OSFontTest : public testing::Test {
protected:
	void SetUp() override {
		std::memset( buffer, GUARD, sizeof( buffer ) );
		ASSERT_EQ( OSInitFont( Header() ), 1 );
	}
};

TEST_F( OSFontTest, RefusesNullAndMisalignedBuffersWithoutWritingOrSwitchingFonts ) {
	EXPECT_EQ( OSInitFont( nullptr ), 0 );

	std::vector<u8> before( buffer, buffer + sizeof( buffer ) );
	for ( const u32 offset : { 1u, 2u, 4u, 8u, 16u, 31u } ) {
		SCOPED_TRACE( offset );
		EXPECT_EQ( OSInitFont( reinterpret_cast<OSFontHeader*>( buffer + offset ) ), 0 );
		EXPECT_EQ( std::memcmp( before.data(), buffer, sizeof( buffer ) ), 0 );
		EXPECT_EQ( LookupCode( 'A' ).image, buffer + Header()->sheetImage );
	}
}

TEST_F( OSFontTest, DescribesASingleByteSheetOfThreeByThreeTileCells ) {
	const OSFontHeader* h = Header();
	EXPECT_EQ( OSGetFontEncode(), OS_FONT_ENCODE_ANSI );
	EXPECT_EQ( h->fontType, OS_FONT_ENCODE_ANSI );
	EXPECT_EQ( h->sheetFormat, OS_FONT_SHEET_FORMAT_I4 );
	EXPECT_EQ( h->cellWidth, 24 );
	EXPECT_EQ( h->cellHeight, 24 );
	EXPECT_LE( h->firstChar, 0x20 );
	EXPECT_EQ( h->lastChar, 0xFF );
	EXPECT_EQ( h->ascent + h->descent, h->cellHeight );
	EXPECT_GE( h->leading, h->cellHeight );
	EXPECT_EQ( h->sheetWidth, h->sheetColumn * h->cellWidth );
	EXPECT_EQ( h->sheetHeight, h->sheetRow * h->cellHeight );
	EXPECT_GE( h->sheetColumn * h->sheetRow, h->lastChar - h->firstChar + 1 );
	EXPECT_EQ( h->sheetSize, static_cast<u32>( h->sheetWidth ) * h->sheetHeight / 2 );
	EXPECT_EQ( h->sheetFullSize, h->sheetSize );
	EXPECT_EQ( h->sheetImage % 32, 0u );
	EXPECT_GE( h->widthTable, sizeof( OSFontHeader ) );
	EXPECT_LE( h->widthTable + ( h->lastChar - h->firstChar + 1 ), h->sheetImage );
}

TEST_F( OSFontTest, FitsTheStartUpBufferAfterAlignmentAndWritesNothingBeyondIt ) {
	const OSFontHeader* h = Header();
	const u32 end = h->sheetImage + h->sheetFullSize;
	// An unaligned allocation moved up to 32 bytes loses up to 31 of them.
	EXPECT_LE( end + 31, OS_FONT_SIZE_ANSI );
	for ( u32 i = end; i < sizeof( buffer ); i++ ) {
		ASSERT_EQ( buffer[i], GUARD ) << "byte " << i;
	}
}

TEST_F( OSFontTest, DrawsEveryCharacterOfTheSetAsItsOwnGlyphInsideItsAdvance ) {
	const OSFontHeader* h = Header();
	const Glyph invalid = LookupCode( static_cast<u8>( h->invalChar ) );
	ASSERT_FALSE( invalid.empty );

	std::map<std::vector<u8>, u8> seen;
	for ( const u8 code : CharacterSet() ) {
		SCOPED_TRACE( testing::Message() << "code 0x" << std::hex << static_cast<u32>( code ) );
		const Glyph g = LookupCode( code );
		EXPECT_EQ( g.consumed, 1 );
		EXPECT_EQ( g.image, buffer + h->sheetImage );
		EXPECT_EQ( g.x % h->cellWidth, 0 );
		EXPECT_EQ( g.y % h->cellHeight, 0 );
		EXPECT_LT( g.x, h->sheetWidth );
		EXPECT_LT( g.y, h->sheetHeight );
		EXPECT_GT( g.width, 0 );
		EXPECT_LE( g.width, h->width );
		EXPECT_LE( h->width, h->cellWidth );
		EXPECT_EQ( g.width, buffer[h->widthTable + code - h->firstChar] );
		EXPECT_LE( g.inkRight, g.width );
		EXPECT_NE( g.texels, invalid.texels );
		// Only the space is blank; every other glyph differs from all others.
		EXPECT_EQ( g.empty, code == ' ' );
		const auto [where, added] = seen.emplace( g.texels, code );
		EXPECT_TRUE( added ) << "same glyph as 0x" << std::hex << static_cast<u32>( where->second );
	}
}

TEST_F( OSFontTest, DrawsCodesOutsideTheSetAsTheInvalidGlyph ) {
	const OSFontHeader* h = Header();
	const Glyph invalid = LookupCode( static_cast<u8>( h->invalChar ) );
	ASSERT_GT( invalid.width, 0 );

	// Control codes, undefined and defined codes without a drawing, the
	// top of the range.
	for ( const u8 code : { 0x01, 0x09, 0x0A, 0x1F, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xC0, 0xC9, 0xE2, 0xFF } ) {
		SCOPED_TRACE( testing::Message() << "code 0x" << std::hex << static_cast<u32>( code ) );
		const Glyph g = LookupCode( code );
		EXPECT_EQ( g.consumed, 1 );
		EXPECT_EQ( g.x, invalid.x );
		EXPECT_EQ( g.y, invalid.y );
		EXPECT_EQ( g.width, invalid.width );
	}
}

TEST_F( OSFontTest, StepsThroughAStringOneCharacterAtATimeAndStopsAtItsEnd ) {
	const char* text = "Quillmoor!\x99\n\xE9";
	const char* p = text;
	for ( size_t i = 0; i < std::strlen( text ); i++ ) {
		SCOPED_TRACE( i );
		const Glyph single = LookupCode( static_cast<u8>( text[i] ) );
		const Glyph stepped = Lookup( p );
		EXPECT_EQ( stepped.next, text + i + 1 );
		EXPECT_EQ( stepped.x, single.x );
		EXPECT_EQ( stepped.y, single.y );
		EXPECT_EQ( stepped.width, single.width );
		p = stepped.next;
	}

	const Glyph end = Lookup( p );
	EXPECT_EQ( end.next, p );
	EXPECT_EQ( end.width, 0 );

	const char* ab = "ab";
	EXPECT_EQ( OSGetFontTexture( ab, nullptr, nullptr, nullptr, nullptr ), ab + 1 );
	EXPECT_EQ( OSGetFontTexture( nullptr, nullptr, nullptr, nullptr, nullptr ), nullptr );
}

TEST_F( OSFontTest, DrawsEveryCharacterOfTheDiscMessagesAndFitsTheirLinesOnScreen ) {
	const OSFontHeader* h = Header();
	const Glyph invalid = LookupCode( static_cast<u8>( h->invalChar ) );
	// Lines start at column 75 of a 640-pixel frame.
	constexpr s32 lineRoom = 640 - 75;

	for ( u32 language = 0; language < std::size( discMessages ); language++ ) {
		for ( const char* message : discMessages[language] ) {
			SCOPED_TRACE( message );
			s32 lineWidth = 0;
			for ( const char* p = message; *p != '\0'; ) {
				if ( *p == '\n' ) {
					p++;
					lineWidth = 0;
					continue;
				}
				const Glyph g = Lookup( p );
				EXPECT_TRUE( g.x != invalid.x || g.y != invalid.y ) << "no glyph for '" << *p << "'";
				lineWidth += g.width;
				// The two longest Italian and Dutch lines are wider than any
				// readable glyph set allows; the drawing code must clip.
				if ( language < 4 ) {
					EXPECT_LE( lineWidth, lineRoom );
				}
				p = g.next;
			}
		}
	}
}

TEST_F( OSFontTest, StoresTexelsInEightByEightTilesLeftTexelInTheHighNibble ) {
	const OSFontHeader* h = Header();
	// The invalid glyph is a box: its top edge spans texels 1 to 10 of cell
	// rows 4 and 5; its sides are texels 1, 2, 9 and 10 of the rows below.
	const Glyph box = LookupCode( static_cast<u8>( h->invalChar ) );
	const u8* sheet = buffer + h->sheetImage;
	const u32 tileRow = box.y / 8 * ( h->sheetWidth / 8 ) * 32;
	const u8* left  = sheet + tileRow + box.x / 8 * 32;
	const u8* right = left + 32;

	const struct {
		u32		row;
		u8		left[4];
		u8		right[4];
	} fixture[] = {
		{ 3, { 0x00, 0x00, 0x00, 0x00 }, { 0x00, 0x00, 0x00, 0x00 } },
		{ 4, { 0x0F, 0xFF, 0xFF, 0xFF }, { 0xFF, 0xF0, 0x00, 0x00 } },
		{ 5, { 0x0F, 0xFF, 0xFF, 0xFF }, { 0xFF, 0xF0, 0x00, 0x00 } },
		{ 6, { 0x0F, 0xF0, 0x00, 0x00 }, { 0x0F, 0xF0, 0x00, 0x00 } },
	};
	for ( const auto& f : fixture ) {
		SCOPED_TRACE( f.row );
		EXPECT_EQ( std::memcmp( left + f.row * 4, f.left, 4 ), 0 );
		EXPECT_EQ( std::memcmp( right + f.row * 4, f.right, 4 ), 0 );
	}
}

}
