#include "framework/graphics/hud/EFHudTextWindow_BC.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFText.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr u32 WORD_BYTES		= 4;
constexpr u32 GLYPH_ENTRY_BYTES	= 12;
constexpr u32 MARKER_BYTES		= 8;
// The colour marker of a literal: the next argument gives the colour.
constexpr const char * COLOR_MARKER = "%(color)";
constexpr u32 COLOR_MARKER_LENGTH	= 8;
// Bytes of 128 and above show this character.
constexpr u32 NON_ASCII_STAND_IN	= 33;
// UTF-16 characters outside ASCII show this glyph.
constexpr u16 UNICODE_STAND_IN		= 1;
// Longest UTF-16 argument laid out.
constexpr u32 UNICODE_MAX_UNITS		= 1024;
constexpr f32 SMALLEST_SHIFT		= 0.5f;
constexpr u32 TAB_SPACES			= 3;
constexpr const char * HexCharTable	= "0123456789abcdef";

u32 PaddedRunBytes( const u32 units ) {
	return ( ( units + 1 ) * 2 + 3 ) & ~3u;
}

// Kind of each argument a stream consumes, in order: true for a pointer.
u32 CountArguments( const u8 * p, const u8 * end, bool ( &pointer )[EF_HUD_TEXT_ARGUMENTS] ) {
	u32 count = 0;
	while ( p + WORD_BYTES <= end && count < EF_HUD_TEXT_ARGUMENTS ) {
		const u32 command = DTReadBE32( p );
		p += WORD_BYTES;
		if ( command == EF_TEXT_RUN ) {
			const u8 * q = p;
			while ( q + 2 <= end && DTReadBE16( q ) != EF_GLYPH_END ) {
				q += 2;
			}
			p += PaddedRunBytes( static_cast<u32>( q - p ) / 2 );
		} else if ( command == EF_TEXT_ARGUMENT ) {
			if ( p + WORD_BYTES > end ) {
				break;
			}
			pointer[count++] = ( DTReadBE16( p ) & ( EF_ARG_POINTER | EF_ARG_UNICODE ) ) != 0;
			p += WORD_BYTES;
		} else if ( command == EF_TEXT_COLOR || command == EF_TEXT_FONT ) {
			p += WORD_BYTES;
		} else if ( command == EF_TEXT_COLOR_ARGUMENT || command == EF_TEXT_FONT_ARGUMENT ) {
			pointer[count++] = false;
		} else {
			break;
		}
	}
	return count;
}

}

EFHudTextWindow_BC::EFHudTextWindow_BC( const u32 flags, const u32 priority )
	: EFHudWindow( HUD_WIN_TEXT, flags, priority ), muiTextId( EF_HUD_OWN_TEXT ), mpRenderStart( nullptr ),
	  mauiArguments(), mafMargins(), mpCommandBuffer( nullptr ), muiFont( 0 ), mafLayoutArea(), muiColor( 0 ),
	  mbStoredArguments( false ),
	  mpOut( nullptr ), mpOutEnd( nullptr ), mpLineStart( nullptr ), mpBreak( nullptr ), mpoLayoutFont( nullptr ),
	  mfPenX( 0.0f ), mfPenY( 0.0f ), mfWordStart( 0.0f ), mfLineRight( 0.0f ), mfBreakRight( 0.0f ),
	  muiNextArgument( 0 ), mbWordPending( false ), mbFull( false ), muiCommandBytes( 0 ) {
}

EFHudTextWindow_BC::~EFHudTextWindow_BC() {
	FreeBuffer();
}

void EFHudTextWindow_BC::FreeBuffer() {
	MMFree( mpCommandBuffer );
	mpCommandBuffer = nullptr;
	muiCommandBytes = 0;
	mpRenderStart = nullptr;
}

void EFHudTextWindow_BC::ConvertLiteral( const char * string ) {
	const u32 length = static_cast<u32>( std::strlen( string ) );
	if ( length == 0 || length >= EF_HUD_FORMAT_BYTES ) {
		return;
	}
	const u32 bytes = ( ( ( length + 3 ) * 2 ) & ~7u ) + 12;
	u8 * const buffer = static_cast<u8 *>( MMMalloc( bytes ) );
	if ( buffer == nullptr ) {
		return;
	}
	const u32 written = ConvertStringToTextCommands( string, buffer, bytes );
	if ( written == 0 ) {
		MMFree( buffer );
		return;
	}
	mpCommandBuffer = buffer;
	muiCommandBytes = written;
}

void EFHudTextWindow_BC::SetStringToDisplay( const char * format, va_list args ) {
	muiTextId = EF_HUD_OWN_TEXT;
	FreeBuffer();
	if ( format == nullptr ) {
		return;
	}
	char text[EF_HUD_FORMAT_BYTES];
	if ( std::vsnprintf( text, sizeof( text ), format, args ) < 0 ) {
		text[EF_HUD_FORMAT_BYTES - 1] = '\0';
	}
	ConvertLiteral( text );
}

void EFHudTextWindow_BC::SetTextToDisplay( const char * string, va_list args ) {
	muiTextId = EF_HUD_OWN_TEXT;
	FreeBuffer();
	if ( string == nullptr ) {
		return;
	}
	char text[EF_HUD_FORMAT_BYTES];
	std::snprintf( text, sizeof( text ), "%s", string );
	ConvertLiteral( text );
	ReadArguments( args );
}

void EFHudTextWindow_BC::SetTextToDisplay( const u32 textId, va_list args ) {
	muiTextId = textId;
	ReadArguments( args );
	FreeBuffer();
}

void EFHudTextWindow_BC::ReadArguments( va_list args ) {
	mbStoredArguments = false;
	bool pointer[EF_HUD_TEXT_ARGUMENTS] = {};
	const u8 * end = nullptr;
	const u8 * const stream = muiTextId == EF_HUD_OWN_TEXT ? mpCommandBuffer : GetTableText( muiTextId, end );
	if ( muiTextId == EF_HUD_OWN_TEXT ) {
		end = mpCommandBuffer + muiCommandBytes;
	}
	const u32 count = stream != nullptr ? CountArguments( stream, end, pointer ) : 0;
	va_list copy;
	va_copy( copy, args );
	for ( u32 i = 0; i < EF_HUD_TEXT_ARGUMENTS; i++ ) {
		if ( i >= count ) {
			mauiArguments[i] = 0;
		} else if ( pointer[i] ) {
			mauiArguments[i] = reinterpret_cast<uintptr_t>( va_arg( copy, const void * ) );
		} else {
			mauiArguments[i] = va_arg( copy, u32 );
		}
	}
	va_end( copy );
}

const u8 * EFHudTextWindow_BC::GetTableText( const u32 id, const u8 *& end ) const {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const EFText * const table = manager != nullptr ? manager->GetTextTable() : nullptr;
	const u8 * const text = table != nullptr ? table->GetText( id ) : nullptr;
	if ( text == nullptr ) {
		return nullptr;
	}
	end = table->GetTexts( 0 ) + table->GetTextsBytes( 0 );
	return text;
}

u32 EFHudTextWindow_BC::ConvertStringToTextCommands( const char * string, u8 * buffer, const u32 bytes ) const {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const EFFont * const font = manager != nullptr ? manager->GetFont( muiFont ) : nullptr;
	if ( font == nullptr || string == nullptr || buffer == nullptr ) {
		return 0;
	}
	u32 at = 0;
	bool fits = true;
	auto word = [&]( const u32 value ) {
		fits = fits && at + WORD_BYTES <= bytes;
		if ( fits ) {
			DTWriteBE32( buffer + at, value );
			at += WORD_BYTES;
		}
	};
	auto unit = [&]( const u16 value ) {
		fits = fits && at + 2 <= bytes;
		if ( fits ) {
			DTWriteBE16( buffer + at, value );
			at += 2;
		}
	};
	auto endRun = [&]() {
		unit( EF_GLYPH_END );
		if ( ( at & 3 ) != 0 ) {
			unit( 0 );
		}
	};
	word( EF_TEXT_RUN );
	for ( const char * c = string; *c != '\0'; c++ ) {
		const u8 byte = static_cast<u8>( *c );
		if ( byte == ' ' ) {
			unit( EF_GLYPH_SPACE );
		} else if ( byte == '\n' ) {
			unit( EF_GLYPH_NEWLINE );
		} else if ( byte == '\t' ) {
			unit( EF_GLYPH_TAB );
		} else if ( std::strncmp( c, COLOR_MARKER, COLOR_MARKER_LENGTH ) == 0 ) {
			endRun();
			word( EF_TEXT_COLOR_ARGUMENT );
			word( EF_TEXT_RUN );
			c += COLOR_MARKER_LENGTH - 1;
		} else {
			unit( font->GetGlyphOfAscii( byte < 128 ? byte : NON_ASCII_STAND_IN ) );
		}
	}
	endRun();
	word( EF_TEXT_END );
	return fits ? at : 0;
}

bool EFHudTextWindow_BC::Reserve( const u32 bytes ) {
	if ( mbFull || mpOut == nullptr || static_cast<size_t>( mpOutEnd - mpOut ) < bytes ) {
		mbFull = true;
		return false;
	}
	return true;
}

bool EFHudTextWindow_BC::WriteGlyph( const u32 glyph, const f32 x, const f32 y ) {
	if ( !Reserve( GLYPH_ENTRY_BYTES ) ) {
		return false;
	}
	std::memcpy( mpOut, &glyph, WORD_BYTES );
	std::memcpy( mpOut + 4, &x, WORD_BYTES );
	std::memcpy( mpOut + 8, &y, WORD_BYTES );
	mpOut += GLYPH_ENTRY_BYTES;
	return true;
}

void EFHudTextWindow_BC::WriteMarker( const u32 marker, const u32 value ) {
	if ( !Reserve( MARKER_BYTES ) ) {
		return;
	}
	std::memcpy( mpOut, &marker, WORD_BYTES );
	std::memcpy( mpOut + 4, &value, WORD_BYTES );
	mpOut += MARKER_BYTES;
}

void EFHudTextWindow_BC::MoveGlyphs( u8 * from, u8 * to, const f32 dx, const f32 dy ) {
	while ( from < to ) {
		u32 tag = 0;
		std::memcpy( &tag, from, WORD_BYTES );
		if ( tag == EF_RENDER_FONT || tag == EF_RENDER_COLOR ) {
			from += MARKER_BYTES;
			continue;
		}
		f32 x = 0.0f;
		f32 y = 0.0f;
		std::memcpy( &x, from + 4, WORD_BYTES );
		std::memcpy( &y, from + 8, WORD_BYTES );
		x += dx;
		y += dy;
		std::memcpy( from + 4, &x, WORD_BYTES );
		std::memcpy( from + 8, &y, WORD_BYTES );
		from += GLYPH_ENTRY_BYTES;
	}
}

void EFHudTextWindow_BC::MarkBreak( const f32 wordStart ) {
	mpBreak = mpOut;
	mfBreakRight = mfLineRight;
	mfWordStart = wordStart;
	mbWordPending = true;
}

void EFHudTextWindow_BC::AlignLine() {
	const f32 left = mafLayoutArea[0];
	const f32 width = mafLayoutArea[2];
	u8 * const lineEnd = mpBreak != nullptr ? mpBreak : mpOut;
	const f32 lineRight = mpBreak != nullptr ? mfBreakRight : mfLineRight;
	if ( ( muiFlags & ( EF_HUD_TEXT_CENTER_LINES | EF_HUD_TEXT_RIGHT_LINES ) ) != 0 ) {
		const f32 lineWidth = lineRight - left;
		const f32 shift = ( muiFlags & EF_HUD_TEXT_CENTER_LINES ) != 0 ? 0.5f * ( width - lineWidth ) : width - lineWidth;
		if ( shift > SMALLEST_SHIFT ) {
			MoveGlyphs( mpLineStart, lineEnd, shift, 0.0f );
		}
	}
	const f32 lineHeight = mpoLayoutFont != nullptr ? mpoLayoutFont->mfScreenLineHeight : 0.0f;
	mfPenY += lineHeight;
	if ( mpBreak != nullptr ) {
		const f32 dx = left - mfWordStart;
		MoveGlyphs( mpBreak, mpOut, dx, lineHeight );
		mfPenX += dx;
		mfLineRight += dx;
		mpLineStart = mpBreak;
	} else {
		mfPenX = left;
		mfLineRight = left;
		mpLineStart = mpOut;
	}
	mpBreak = nullptr;
	mbWordPending = false;
}

void EFHudTextWindow_BC::AlignY() {
	if ( ( muiFlags & ( EF_HUD_TEXT_CENTER_BLOCK | EF_HUD_TEXT_BOTTOM_BLOCK ) ) == 0 ) {
		return;
	}
	const f32 height = mafLayoutArea[3];
	const f32 textHeight = mfPenY - mafLayoutArea[1];
	const f32 shift = ( muiFlags & EF_HUD_TEXT_CENTER_BLOCK ) != 0 ? 0.5f * ( height - textHeight ) : height - textHeight;
	MoveGlyphs( mpRenderStart, mpOut, 0.0f, shift );
}

void EFHudTextWindow_BC::LayoutGlyph( const u16 code ) {
	const EFFont * const font = mpoLayoutFont;
	if ( font == nullptr ) {
		return;
	}
	const f32 right = mafLayoutArea[0] + mafLayoutArea[2];
	if ( code == EF_GLYPH_SPACE || code == EF_GLYPH_TAB ) {
		const f32 advance = font->mfScreenSpaceSize * ( code == EF_GLYPH_TAB ? TAB_SPACES : 1 );
		if ( mfPenX <= right ) {
			MarkBreak( mfPenX + advance );
		} else {
			AlignLine();
		}
		mfPenX += advance;
		return;
	}
	if ( code == EF_GLYPH_NEWLINE ) {
		if ( mfPenX < right ) {
			MarkBreak( mfPenX );
		}
		AlignLine();
		return;
	}
	const f32 * const record = font->GetCharRecord( code );
	if ( record == nullptr ) {
		return;
	}
	if ( !mbWordPending ) {
		mfWordStart = mfPenX;
		mbWordPending = true;
	}
	const f32 glyphWidth = record[EF_FONT_CHAR_SCREEN_WIDTH];
	if ( !WriteGlyph( code, mfPenX, mfPenY + record[EF_FONT_CHAR_SCREEN_Y_OFFSET] ) ) {
		return;
	}
	mfLineRight = mfPenX + glyphWidth;
	mfPenX += font->mfScreenInterSpace + glyphWidth;
}

void EFHudTextWindow_BC::DisplayString( const u8 * run, const u8 * end ) {
	for ( const u8 * p = run; p + 2 <= end && !mbFull; p += 2 ) {
		const u16 code = DTReadBE16( p );
		if ( code == EF_GLYPH_END ) {
			return;
		}
		LayoutGlyph( code );
	}
}

void EFHudTextWindow_BC::DisplayUnicodeString( const u8 * text ) {
	const EFFont * const font = mpoLayoutFont;
	if ( text == nullptr || font == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < UNICODE_MAX_UNITS && !mbFull; i++ ) {
		const u16 unit = DTReadLE16( text + i * 2 );
		if ( unit == 0 ) {
			return;
		}
		const u16 next = DTReadLE16( text + i * 2 + 2 );
		if ( unit == '\\' && ( next == 'n' || next == 't' ) ) {
			LayoutGlyph( next == 'n' ? EF_GLYPH_NEWLINE : EF_GLYPH_TAB );
			i++;
		} else if ( unit == ' ' ) {
			LayoutGlyph( EF_GLYPH_SPACE );
		} else {
			LayoutGlyph( unit < 128 ? font->GetGlyphOfAscii( unit ) : UNICODE_STAND_IN );
		}
	}
}

uintptr_t EFHudTextWindow_BC::NextArgument() {
	const u32 index = muiNextArgument++;
	return index < EF_HUD_TEXT_ARGUMENTS ? mauiArguments[index] : 0;
}

void EFHudTextWindow_BC::DisplayArg( const u32 flags, const u32 width ) {
	const uintptr_t argument = NextArgument();
	const EFFont * const font = mpoLayoutFont;
	if ( font == nullptr ) {
		return;
	}
	if ( ( flags & ( EF_ARG_POINTER | EF_ARG_UNICODE ) ) != 0 && mbStoredArguments ) {
		return;
	}
	if ( ( flags & EF_ARG_NUMBER ) != 0 ) {
		if ( ( flags & EF_ARG_POINTER ) != 0 && argument == 0 ) {
			return;
		}
		u32 value = static_cast<u32>( argument );
		if ( ( flags & EF_ARG_POINTER ) != 0 ) {
			std::memcpy( &value, reinterpret_cast<const void *>( argument ), sizeof( value ) );
		}
		const bool negative = ( flags & EF_ARG_UNSIGNED ) == 0 && static_cast<s32>( value ) < 0;
		u32 magnitude = negative ? 0u - value : value;
		const u32 base = ( flags & EF_ARG_HEX ) != 0 ? 16 : 10;
		u16 glyphs[EF_HUD_ARG_GLYPHS];
		u32 at = EF_HUD_ARG_GLYPHS;
		do {
			glyphs[--at] = font->GetGlyphOfAscii( static_cast<u8>( HexCharTable[magnitude % base] ) );
			magnitude /= base;
		} while ( magnitude != 0 && at > 0 );
		const u32 wanted = ( flags & EF_ARG_MIN_WIDTH ) != 0 ? ( width < EF_HUD_ARG_GLYPHS ? width : EF_HUD_ARG_GLYPHS ) : 0;
		const u32 sign = negative ? 1 : 0;
		if ( ( flags & EF_ARG_ZERO_PAD ) != 0 ) {
			while ( EF_HUD_ARG_GLYPHS - at + sign < wanted && at > sign ) {
				glyphs[--at] = font->GetGlyphOfAscii( '0' );
			}
		}
		if ( negative && at > 0 ) {
			glyphs[--at] = font->GetGlyphOfAscii( '-' );
		}
		while ( EF_HUD_ARG_GLYPHS - at < wanted && at > 0 ) {
			glyphs[--at] = EF_GLYPH_SPACE;
		}
		for ( u32 i = at; i < EF_HUD_ARG_GLYPHS; i++ ) {
			LayoutGlyph( glyphs[i] );
		}
	} else if ( ( flags & EF_ARG_UNICODE ) != 0 ) {
		DisplayUnicodeString( reinterpret_cast<const u8 *>( argument ) );
	} else if ( ( flags & EF_ARG_TEXT_ID ) != 0 ) {
		const u8 * end = nullptr;
		const u8 * const text = GetTableText( static_cast<u32>( argument ), end );
		if ( text != nullptr && text + WORD_BYTES <= end ) {
			DisplayString( text + WORD_BYTES, end );
		}
	}
}

void EFHudTextWindow_BC::ConvertTextCommandsToRenderCommands( const u8 * stream, const u32 bytes, void *& commands ) {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	u8 * const blockEnd = manager != nullptr ? manager->GetCommandBlockEnd() : nullptr;
	u8 * const start = static_cast<u8 *>( commands );
	mpRenderStart = nullptr;
	// The final -1 always fits.
	if ( start == nullptr || blockEnd == nullptr || blockEnd - start < static_cast<ptrdiff_t>( 3 * MARKER_BYTES ) ) {
		return;
	}
	mpOut = start;
	mpOutEnd = blockEnd - WORD_BYTES;
	mbFull = false;
	mfPenX = mafLayoutArea[0];
	mfPenY = mafLayoutArea[1];
	mfLineRight = mfPenX;
	mpBreak = nullptr;
	mbWordPending = false;
	muiNextArgument = 0;
	mpoLayoutFont = manager->GetFont( muiFont );
	WriteMarker( EF_RENDER_FONT, muiFont );
	WriteMarker( EF_RENDER_COLOR, muiColor );
	mpRenderStart = start;
	mpLineStart = mpOut;
	const u8 * p = stream;
	const u8 * const end = stream != nullptr ? stream + bytes : nullptr;
	while ( p != nullptr && p + WORD_BYTES <= end && !mbFull ) {
		const u32 command = DTReadBE32( p );
		p += WORD_BYTES;
		if ( command == EF_TEXT_END ) {
			break;
		}
		if ( command == EF_TEXT_RUN ) {
			const u8 * q = p;
			while ( q + 2 <= end && DTReadBE16( q ) != EF_GLYPH_END ) {
				q += 2;
			}
			DisplayString( p, q );
			p += PaddedRunBytes( static_cast<u32>( q - p ) / 2 );
			continue;
		}
		u32 value = 0;
		if ( command == EF_TEXT_ARGUMENT || command == EF_TEXT_COLOR || command == EF_TEXT_FONT ) {
			if ( p + WORD_BYTES > end ) {
				break;
			}
			value = DTReadBE32( p );
			p += WORD_BYTES;
		}
		if ( command == EF_TEXT_ARGUMENT ) {
			DisplayArg( value >> 16, ( value >> 8 ) & 0xFF );
		} else if ( command == EF_TEXT_COLOR || command == EF_TEXT_COLOR_ARGUMENT ) {
			value = command == EF_TEXT_COLOR ? value : static_cast<u32>( NextArgument() );
			WriteMarker( EF_RENDER_COLOR, value );
		} else if ( command == EF_TEXT_FONT || command == EF_TEXT_FONT_ARGUMENT ) {
			value = command == EF_TEXT_FONT ? value : static_cast<u32>( NextArgument() );
			const u32 slot = value == EF_HUD_OWN_TEXT ? muiFont : value;
			mpoLayoutFont = manager->GetFont( slot );
			WriteMarker( EF_RENDER_FONT, slot );
		} else {
			break;
		}
	}
	if ( mfPenX < mafLayoutArea[0] + mafLayoutArea[2] ) {
		MarkBreak( mfPenX );
	}
	AlignLine();
	AlignY();
	const u32 endTag = EF_RENDER_END;
	std::memcpy( mpOut, &endTag, WORD_BYTES );
	commands = mpOut + WORD_BYTES;
}

u32 EFHudTextWindow_BC::SpecificUpdate( f32, void *& commands, unsigned long & ) {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const EFHudWindow * const root = manager != nullptr ? manager->GetRootWindow() : nullptr;
	const CRect & reference = ( muiFlags & EF_HUD_TEXT_OWN_MARGINS ) != 0 || root == nullptr ? moPosRect : root->moPosRect;
	mafLayoutArea[0] = moPosRect.x + mafMargins[0] * reference.w;
	mafLayoutArea[1] = moPosRect.y + mafMargins[1] * reference.h;
	mafLayoutArea[2] = moPosRect.w - ( mafMargins[0] + mafMargins[2] ) * reference.w;
	mafLayoutArea[3] = moPosRect.h - ( mafMargins[1] + mafMargins[3] ) * reference.h;
	mpRenderStart = nullptr;
	if ( muiTextId == EF_HUD_OWN_TEXT ) {
		if ( mpCommandBuffer != nullptr ) {
			ConvertTextCommandsToRenderCommands( mpCommandBuffer, muiCommandBytes, commands );
		}
		return 0;
	}
	const u8 * end = nullptr;
	const u8 * const text = GetTableText( muiTextId, end );
	if ( text != nullptr ) {
		ConvertTextCommandsToRenderCommands( text, static_cast<u32>( end - text ), commands );
	}
	return 0;
}
