#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/EFText.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolHudTables.h"
#include "tools/lib/level/ToolLevelWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> gFirst = { "HELLO", "WORLD", "" };
const std::vector<std::string> gSecond = { "BONJOUR", "MONDE", "VIDE" };

ToolTexts MakeTexts() {
	ToolTexts texts;
	texts.nbTextes = static_cast<u32>( gFirst.size() );
	texts.languages.push_back( ToolHudTables::TextLanguage( gFirst ) );
	texts.languages.push_back( ToolHudTables::TextLanguage( gSecond ) );
	return texts;
}

std::vector<u8> Encode( const ToolTexts& texts ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteTexts( out, texts );
	return out.Bytes();
}

s32 LoadText( EFText& text, std::vector<u8> bytes ) {
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	return text.Load( stream );
}

const char* TextAt( const EFText& text, const u32 index ) {
	return reinterpret_cast<const char*>( text.GetText( index ) );
}

class EFTextTest : public ::testing::Test {
protected:
	void SetUp() override { gpoHudMgr = new EFHudMgr(); }
	void TearDown() override {
		delete gpoHudMgr;
		gpoHudMgr = nullptr;
	}
};

TEST_F( EFTextTest, ALoadedTableBecomesTheHudsTextTableAndServesTheFirstLanguage ) {
	EFText* const text = new EFText();
	ASSERT_EQ( LoadText( *text, Encode( MakeTexts() ) ), 0 );
	EXPECT_EQ( gpoHudMgr->GetTextTable(), text );
	struct Row {
		u32				index;
		const char*		expected;
	};
	const Row rows[] = { { 0, "HELLO" }, { 1, "WORLD" }, { 2, "" }, { 3, nullptr }, { 0xFFFFFFFF, nullptr } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.index );
		if ( row.expected == nullptr ) {
			EXPECT_EQ( text->GetText( row.index ), nullptr );
		} else {
			ASSERT_NE( text->GetText( row.index ), nullptr );
			EXPECT_STREQ( TextAt( *text, row.index ), row.expected );
		}
	}
}

TEST_F( EFTextTest, AnOffsetOutsideTheTextBlockGivesNoText ) {
	ToolTexts texts = MakeTexts();
	ToolTextLanguage& first = texts.languages[0];
	const u32 blockSize = static_cast<u32>( first.texts.size() );
	ToolBigEndianWriter index;
	index.WriteU32( blockSize );		// one past the last byte
	index.WriteU32( blockSize - 1 );	// the last byte: the empty text's zero
	index.WriteU32( 0xFFFFFFF0 );
	first.index = index.Bytes();
	EFText* const text = new EFText();
	ASSERT_EQ( LoadText( *text, Encode( texts ) ), 0 );
	EXPECT_EQ( text->GetText( 0 ), nullptr );
	EXPECT_STREQ( TextAt( *text, 1 ), "" );
	EXPECT_EQ( text->GetText( 2 ), nullptr );
}

TEST_F( EFTextTest, ATruncatedTableFailsAndIsNotInstalled ) {
	const std::vector<u8> whole = Encode( MakeTexts() );
	const size_t cuts[] = { 6, 18, 30, whole.size() - 1 };
	for ( const size_t cut : cuts ) {
		SCOPED_TRACE( cut );
		EFText* const text = new EFText();
		EXPECT_NE( LoadText( *text, std::vector<u8>( whole.begin(), whole.begin() + static_cast<long>( cut ) ) ), 0 );
		EXPECT_EQ( gpoHudMgr->GetTextTable(), nullptr );
		delete text;
	}
}

TEST_F( EFTextTest, AnEmptyTableHasNoTextAndALaterTableReplacesTheFirst ) {
	ToolTexts empty;
	EFText* const first = new EFText();
	ASSERT_EQ( LoadText( *first, Encode( empty ) ), 0 );
	EXPECT_EQ( first->GetText( 0 ), nullptr );
	EFText* const second = new EFText();
	ASSERT_EQ( LoadText( *second, Encode( MakeTexts() ) ), 0 );
	EXPECT_EQ( gpoHudMgr->GetTextTable(), second );
	EXPECT_STREQ( TextAt( *second, 1 ), "WORLD" );
}

TEST_F( EFTextTest, FontsAndTextsAreRegisteredUnderTheirClassIds ) {
	struct Row {
		s32				id;
		const char*		name;
	};
	const Row rows[] = { { 58, "EF_FONTS" }, { 59, "EF_TEXTS" } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::unique_ptr<DTStreamable> object(
			static_cast<DTStreamable*>( DTDynamicInstanciator::GetInstance().CreateInstance( row.id, IT_OBJECT ) ) );
		ASSERT_NE( object, nullptr );
		EXPECT_EQ( object->GetClassID(), row.id );
		EXPECT_STREQ( object->GetClassName(), row.name );
		EXPECT_FALSE( object->IsLoader() );
	}
}

}
