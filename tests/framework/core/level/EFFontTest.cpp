#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolLevelWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<ToolFontChar> gChars = {
	{ 0.0f, 0.0f, 0.125f, 0.25f, 8.0f, 16.0f, 2.0f, 0.0f },
	{ 0.5f, 0.75f, 0.25f, 0.125f, 12.0f, 20.0f, -3.0f, 1.0f },
};

ToolFonts MakeFonts( const s32 instanceId ) {
	ToolFonts fonts;
	fonts.header.puid = instanceId;
	fonts.nbChars = static_cast<u32>( gChars.size() );
	fonts.spaceSize = 4.0f;
	fonts.lineHeight = 24.0f;
	fonts.interSpace = 1.0f;
	fonts.textureNames = { "FONT0_A", "FONT0_B" };
	fonts.charTable = ToolHudTables::CharTable( gChars );
	std::array<u16, 128> glyphs = {};
	glyphs['A'] = 1;
	glyphs[127] = 0x1234;
	fonts.asciiTable = ToolHudTables::AsciiTable( glyphs );
	return fonts;
}

std::vector<u8> Encode( const ToolFonts& fonts ) {
	ToolBigEndianWriter out;
	EXPECT_TRUE( ToolLevelWriter::WriteFonts( out, fonts ) );
	return out.Bytes();
}

s32 LoadFont( EFFont& font, std::vector<u8> bytes ) {
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	return font.Load( stream );
}

class EFFontTest : public ::testing::Test {
protected:
	void SetUp() override { gpoHudMgr = new EFHudMgr(); }
	void TearDown() override {
		delete gpoHudMgr;
		gpoHudMgr = nullptr;
	}

	static bool Installed( const EFFont* font ) {
		for ( u32 slot = 0; slot < EF_HUD_FONT_SLOTS; slot++ ) {
			if ( gpoHudMgr->GetFont( slot ) == font ) {
				return true;
			}
		}
		return false;
	}
};

TEST_F( EFFontTest, ALoadedFontDecodesItsTablesBindsATexturePerNameAndInstallsUnderItsId ) {
	EFFont* const font = new EFFont();
	ASSERT_EQ( LoadFont( *font, Encode( MakeFonts( 3 ) ) ), 0 );
	EXPECT_EQ( gpoHudMgr->GetFont( 3 ), font );
	ASSERT_EQ( font->GetCharCount(), 2u );
	const f32* const second = font->GetCharRecord( 1 );
	EXPECT_EQ( second[EF_FONT_CHAR_U], 0.5f );
	EXPECT_EQ( second[EF_FONT_CHAR_HEIGHT], 20.0f );
	EXPECT_EQ( second[EF_FONT_CHAR_Y_OFFSET], -3.0f );
	EXPECT_EQ( second[EF_FONT_CHAR_PAGE], 1.0f );
	EXPECT_EQ( font->GetCharRecord( 2 ), nullptr );
	EXPECT_EQ( font->GetGlyphOfAscii( 'A' ), 1u );
	EXPECT_EQ( font->GetGlyphOfAscii( 127 ), 0x1234u );
	EXPECT_EQ( font->GetGlyphOfAscii( 128 ), 0u );
	// The texture set holds no textures yet: one empty binding per name.
	EXPECT_EQ( font->GetTextureCount(), 2u );
	EXPECT_EQ( font->GetTexture( 1 ), nullptr );
}

TEST_F( EFFontTest, TheCharacterRecordKeepsItsStoredFieldOrder ) {
	ToolFonts fonts = MakeFonts( 0 );
	fonts.nbChars = 1;
	// u 1.0, v 2.0, u size 0.5, v size 0.25, width 8, height 16,
	// y offset -1, page 1, three screen values.
	fonts.charTable = { 0x3F, 0x80, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x3E, 0x80, 0x00,
						0x00, 0x41, 0x00, 0x00, 0x00, 0x41, 0x80, 0x00, 0x00, 0xBF, 0x80, 0x00, 0x00, 0x3F, 0x80,
						0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00 };
	EFFont* const font = new EFFont();
	ASSERT_EQ( LoadFont( *font, Encode( fonts ) ), 0 );
	const f32 expected[EF_FONT_CHAR_FIELDS] = { 1.0f, 2.0f, 0.5f, 0.25f, 8.0f, 16.0f, -1.0f, 1.0f, 0.0f, 0.0f, 0.0f };
	for ( u32 field = 0; field < EF_FONT_CHAR_FIELDS; field++ ) {
		EXPECT_EQ( font->GetCharRecord( 0 )[field], expected[field] ) << field;
	}
}

TEST_F( EFFontTest, OnlyAFontWithASlotIdIsInstalled ) {
	struct Row {
		s32		instanceId;
		bool	installed;
	};
	const Row rows[] = { { 0, true }, { 9, true }, { -1, false }, { 10, false }, { 0x7FFFFFFF, false } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.instanceId );
		EFFont* const font = new EFFont();
		EXPECT_EQ( LoadFont( *font, Encode( MakeFonts( row.instanceId ) ) ), 0 );
		EXPECT_EQ( Installed( font ), row.installed );
		if ( !row.installed ) {
			delete font;
		}
	}
}

TEST_F( EFFontTest, ATruncatedFontFailsWithoutBindingOrInstallingAnything ) {
	const std::vector<u8> whole = Encode( MakeFonts( 2 ) );
	// Cut inside the members, inside the character table and inside the
	// ASCII table at the very end.
	const size_t cuts[] = { 6, 30, whole.size() - 300, whole.size() - 1 };
	for ( const size_t cut : cuts ) {
		SCOPED_TRACE( cut );
		EFFont* const font = new EFFont();
		EXPECT_NE( LoadFont( *font, std::vector<u8>( whole.begin(), whole.begin() + static_cast<long>( cut ) ) ), 0 );
		EXPECT_FALSE( Installed( font ) );
		EXPECT_EQ( font->GetTextureCount(), 0u );
		EXPECT_EQ( font->GetCharCount(), 0u );
		delete font;
	}
}

TEST_F( EFFontTest, ScreenSizesFollowTheHudScaleOnceItIsKnown ) {
	struct Row {
		f32		sx;
		f32		sy;
		bool	scaled;
	};
	const Row rows[] = { { 0.0f, 0.0f, false }, { 640.0f, 0.0f, false }, { 640.0f, 448.0f, true } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::to_string( row.sx ) + " x " + std::to_string( row.sy ) );
		gpoHudMgr->SetScreenScale( row.sx, row.sy );
		EFFont* const font = new EFFont();
		ASSERT_EQ( LoadFont( *font, Encode( MakeFonts( 4 ) ) ), 0 );
		const f32* const record = font->GetCharRecord( 1 );
		EXPECT_EQ( record[EF_FONT_CHAR_SCREEN_WIDTH], row.scaled ? 12.0f * row.sx : 0.0f );
		EXPECT_EQ( record[EF_FONT_CHAR_SCREEN_HEIGHT], row.scaled ? 20.0f * row.sy : 0.0f );
		EXPECT_EQ( record[EF_FONT_CHAR_SCREEN_Y_OFFSET], row.scaled ? -3.0f * row.sy : 0.0f );
		EXPECT_EQ( font->mfScreenLineHeight, row.scaled ? 24.0f * row.sy : 0.0f );
		EXPECT_EQ( font->mfScreenSpaceSize, row.scaled ? 4.0f * row.sx : 0.0f );
		EXPECT_EQ( font->mfScreenInterSpace, row.scaled ? 1.0f * row.sx : 0.0f );
	}
}

TEST_F( EFFontTest, ANewFontInASlotReplacesTheOldOne ) {
	EFFont* const first = new EFFont();
	EFFont* const second = new EFFont();
	ASSERT_EQ( LoadFont( *first, Encode( MakeFonts( 5 ) ) ), 0 );
	ASSERT_EQ( LoadFont( *second, Encode( MakeFonts( 5 ) ) ), 0 );
	EXPECT_EQ( gpoHudMgr->GetFont( 5 ), second );
	// Installing the font already held keeps it.
	gpoHudMgr->AddFont( second, 5 );
	EXPECT_EQ( gpoHudMgr->GetFont( 5 ), second );
	EXPECT_EQ( second->GetCharCount(), 2u );
}

}
