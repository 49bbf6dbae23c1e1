#include "tools/lib/level/ToolHudTables.h"

#include "tools/lib/ToolBigEndianWriter.h"

namespace {

// Screen values of a character record, filled by the engine.
constexpr u32 SCREEN_FIELDS = 3;
constexpr const char* COLOR_MARKER = "%(color)";
constexpr size_t COLOR_MARKER_LENGTH = 8;
constexpr u8 NON_ASCII_STAND_IN = 33;

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

ToolTextLanguage ToolHudTables::TextCommandLanguage( const std::span<const std::vector<u8>> streams ) {
	ToolBigEndianWriter index;
	std::vector<u8> block;
	for ( const std::vector<u8>& stream : streams ) {
		index.WriteU32( static_cast<u32>( block.size() ) );
		block.insert( block.end(), stream.begin(), stream.end() );
	}
	ToolTextLanguage language;
	language.index = index.Bytes();
	language.texts = block;
	return language;
}

std::vector<u8> ToolHudTables::TextCommands( const std::string& text, const std::array<u16, 128>& glyphs ) {
	ToolTextCommands commands;
	std::vector<u16> run;
	for ( size_t i = 0; i < text.size(); i++ ) {
		const u8 c = static_cast<u8>( text[i] );
		if ( text.compare( i, COLOR_MARKER_LENGTH, COLOR_MARKER ) == 0 ) {
			commands.Run( run ).ColorArgument();
			run.clear();
			i += COLOR_MARKER_LENGTH - 1;
		} else if ( c == ' ' ) {
			run.push_back( 0xFFFE );
		} else if ( c == '\n' ) {
			run.push_back( 0xFFFF );
		} else if ( c == '\t' ) {
			run.push_back( 0xFFFD );
		} else {
			run.push_back( glyphs[c < 128 ? c : NON_ASCII_STAND_IN] );
		}
	}
	commands.Run( run );
	return commands.End();
}

void ToolTextCommands::Word( const u32 value ) {
	for ( u32 shift = 32; shift != 0; shift -= 8 ) {
		mBytes.push_back( static_cast<u8>( value >> ( shift - 8 ) ) );
	}
}

void ToolTextCommands::Unit( const u16 value ) {
	mBytes.push_back( static_cast<u8>( value >> 8 ) );
	mBytes.push_back( static_cast<u8>( value ) );
}

ToolTextCommands& ToolTextCommands::Run( const std::span<const u16> glyphs ) {
	Word( 0 );
	for ( const u16 glyph : glyphs ) {
		Unit( glyph );
	}
	Unit( 0 );
	if ( mBytes.size() % 4 != 0 ) {
		Unit( 0 );
	}
	return *this;
}

ToolTextCommands& ToolTextCommands::Argument( const u16 flags, const u8 width ) {
	Word( 2 );
	Unit( flags );
	mBytes.push_back( width );
	mBytes.push_back( 0 );
	return *this;
}

ToolTextCommands& ToolTextCommands::Color( const u32 color ) {
	Word( 3 );
	Word( color );
	return *this;
}

ToolTextCommands& ToolTextCommands::ColorArgument() {
	Word( 4 );
	return *this;
}

ToolTextCommands& ToolTextCommands::Font( const u32 slot ) {
	Word( 5 );
	Word( slot );
	return *this;
}

ToolTextCommands& ToolTextCommands::FontArgument() {
	Word( 6 );
	return *this;
}

std::vector<u8> ToolTextCommands::End() {
	Word( 1 );
	return std::move( mBytes );
}
