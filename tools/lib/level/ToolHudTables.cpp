#include "tools/lib/level/ToolHudTables.h"

#include "tools/lib/ToolBigEndianWriter.h"

namespace {

// Screen values of a character record, filled by the engine.
constexpr u32 SCREEN_FIELDS = 3;

}

std::vector<u8> ToolHudTables::CharTable( const std::span<const ToolFontChar> chars ) {
	ToolBigEndianWriter out;
	for ( const ToolFontChar& c : chars ) {
		for ( const f32 value : { c.u, c.v, c.uSize, c.vSize, c.width, c.height, c.yOffset, c.page } ) {
			out.WriteF32( value );
		}
		for ( u32 i = 0; i < SCREEN_FIELDS; i++ ) {
			out.WriteF32( 0.0f );
		}
	}
	return out.Bytes();
}

std::vector<u8> ToolHudTables::AsciiTable( const std::array<u16, 128>& glyphs ) {
	ToolBigEndianWriter out;
	for ( const u16 glyph : glyphs ) {
		out.WriteU16( glyph );
	}
	return out.Bytes();
}

ToolTextLanguage ToolHudTables::TextLanguage( const std::span<const std::string> texts ) {
	ToolBigEndianWriter index;
	std::vector<u8> block;
	for ( const std::string& text : texts ) {
		index.WriteU32( static_cast<u32>( block.size() ) );
		block.insert( block.end(), text.begin(), text.end() );
		block.push_back( 0 );
	}
	ToolTextLanguage language;
	language.index = index.Bytes();
	language.texts = block;
	return language;
}
