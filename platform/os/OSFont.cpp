#include "platform/os/OSFont.h"

#include "platform/os/OSFontGlyphs.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr u16 FIRST_CHAR   = 0x20;
constexpr u16 LAST_CHAR    = 0xFF;
constexpr u16 INVALID_CHAR = 0x7F;	// DEL: never printable, so free for the box
constexpr u32 CODE_COUNT   = LAST_CHAR - FIRST_CHAR + 1;

constexpr u32 CELL_SIZE     = OS_FONT_DESIGN_ROWS * OS_FONT_DESIGN_SCALE;
constexpr u32 ASCENT_ROWS   = 9;	// grid rows 0 to 8 lie above the baseline
// Ink starts one texel into the cell, so that the two texels of the empty
// grid column after a glyph split evenly around it.
constexpr u32 LEFT_BEARING  = 1;
constexpr u32 SHEET_COLUMNS = 16;
constexpr u32 SHEET_ROWS    = ( CODE_COUNT + SHEET_COLUMNS - 1 ) / SHEET_COLUMNS;
constexpr u32 SHEET_WIDTH   = SHEET_COLUMNS * CELL_SIZE;
constexpr u32 SHEET_HEIGHT  = SHEET_ROWS * CELL_SIZE;

constexpr u32 TILE_SIZE      = 8;
constexpr u32 TILE_BYTES     = TILE_SIZE * TILE_SIZE / 2;
constexpr u32 TILES_ACROSS   = SHEET_WIDTH / TILE_SIZE;
constexpr u32 SHEET_BYTES    = SHEET_WIDTH * SHEET_HEIGHT / 2;
constexpr u8  INK            = 0xF;

constexpr u32 BUFFER_ALIGN       = 32;
constexpr u32 WIDTH_TABLE_OFFSET = sizeof( OSFontHeader );
constexpr u32 SHEET_OFFSET       = ( WIDTH_TABLE_OFFSET + CODE_COUNT + BUFFER_ALIGN - 1 ) & ~( BUFFER_ALIGN - 1 );
constexpr u32 FONT_BYTES         = SHEET_OFFSET + SHEET_BYTES;

static_assert( SHEET_WIDTH == OS_FONT_SHEET_WIDTH_ANSI && TILE_SIZE == OS_FONT_TILE_SIZE &&
			   TILE_BYTES == OS_FONT_TILE_BYTES, "sheet geometry must match what callers read" );
static_assert( SHEET_WIDTH % TILE_SIZE == 0 && SHEET_HEIGHT % TILE_SIZE == 0, "sheet must be whole tiles" );
// The caller aligns its allocation up to 32 bytes, which can cost 31 of them.
static_assert( FONT_BYTES + BUFFER_ALIGN - 1 <= OS_FONT_SIZE_ANSI, "font does not fit its buffer" );

// The font OSGetFontTexture reads, and a private copy of its advances so
// that a caller scribbling over the buffer cannot steer reads elsewhere.
u8*		currentFont = nullptr;
u8		advances[CODE_COUNT];

// Sets one texel of an I4 sheet; positions outside the sheet are ignored.
void SetTexel( u8* sheet, const u32 x, const u32 y, const u8 value ) {
	if ( x >= SHEET_WIDTH || y >= SHEET_HEIGHT ) {
		return;
	}
	const u32 tile   = ( y / TILE_SIZE ) * TILES_ACROSS + x / TILE_SIZE;
	const u32 offset = tile * TILE_BYTES + ( y % TILE_SIZE ) * ( TILE_SIZE / 2 ) + ( x % TILE_SIZE ) / 2;
	if ( x % 2 == 0 ) {
		sheet[offset] = static_cast<u8>( ( sheet[offset] & 0x0F ) | ( value << 4 ) );
	} else {
		sheet[offset] = static_cast<u8>( ( sheet[offset] & 0xF0 ) | value );
	}
}

// Draws one glyph slot (grid columns [begin, begin + columns) of every row
// of the band) into the cell of `code`, enlarged to cell size.
void DrawSlot( u8* sheet, const OSFontGlyphBand& band, const u32 begin, const u32 columns, const u8 code ) {
	const u32 cell  = code - FIRST_CHAR;
	const u32 cellX = ( cell % SHEET_COLUMNS ) * CELL_SIZE;
	const u32 cellY = ( cell / SHEET_COLUMNS ) * CELL_SIZE;
	for ( u32 row = 0; row < OS_FONT_DESIGN_ROWS; row++ ) {
		const char* pixels = band.rows[row] + begin;
		for ( u32 column = 0; column < columns && pixels[column] != '\0'; column++ ) {
			if ( pixels[column] != '#' ) {
				continue;
			}
			for ( u32 dy = 0; dy < OS_FONT_DESIGN_SCALE; dy++ ) {
				for ( u32 dx = 0; dx < OS_FONT_DESIGN_SCALE; dx++ ) {
					SetTexel( sheet, cellX + LEFT_BEARING + column * OS_FONT_DESIGN_SCALE + dx,
							  cellY + row * OS_FONT_DESIGN_SCALE + dy, INK );
				}
			}
		}
	}
}

// Draws every glyph of a band and records its advance. Slots are measured
// on the band's first row; the bands are checked at compile time to agree.
void DrawBand( u8* sheet, u8* widths, const OSFontGlyphBand& band ) {
	const char* first = band.rows[0];
	u32 begin = 0;
	for ( const char* c = band.codes; *c != '\0'; c++ ) {
		const u8 code = static_cast<u8>( *c );
		u32 columns = 0;
		while ( first[begin + columns] != '|' && first[begin + columns] != '\0' ) {
			columns++;
		}
		if ( code >= FIRST_CHAR && columns > 0 && columns <= OS_FONT_DESIGN_MAX_WIDTH ) {
			DrawSlot( sheet, band, begin, columns, code );
			widths[code - FIRST_CHAR] = static_cast<u8>( ( columns + 1 ) * OS_FONT_DESIGN_SCALE );
		}
		if ( first[begin + columns] == '\0' ) {
			break;
		}
		begin += columns + 1;
	}
}

void WriteHeader( OSFontHeader* header, const u16 widest ) {
	header->fontType      = OS_FONT_ENCODE_ANSI;
	header->firstChar     = FIRST_CHAR;
	header->lastChar      = LAST_CHAR;
	header->invalChar     = INVALID_CHAR;
	header->ascent        = ASCENT_ROWS * OS_FONT_DESIGN_SCALE;
	header->descent       = CELL_SIZE - ASCENT_ROWS * OS_FONT_DESIGN_SCALE;
	header->width         = widest;
	header->leading       = CELL_SIZE;
	header->cellWidth     = CELL_SIZE;
	header->cellHeight    = CELL_SIZE;
	header->sheetSize     = SHEET_BYTES;
	header->sheetFormat   = OS_FONT_SHEET_FORMAT_I4;
	header->sheetColumn   = SHEET_COLUMNS;
	header->sheetRow      = SHEET_ROWS;
	header->sheetWidth    = SHEET_WIDTH;
	header->sheetHeight   = SHEET_HEIGHT;
	header->widthTable    = WIDTH_TABLE_OFFSET;
	header->sheetImage    = SHEET_OFFSET;
	header->sheetFullSize = SHEET_BYTES;
}

// The cell drawn for a code: its own when it has a glyph, else the box's.
u32 CellOf( const u8 code ) {
	if ( code >= FIRST_CHAR && code <= LAST_CHAR && advances[code - FIRST_CHAR] != 0 ) {
		return code - FIRST_CHAR;
	}
	return INVALID_CHAR - FIRST_CHAR;
}

}

u16 OSGetFontEncode() {
	return OS_FONT_ENCODE_ANSI;
}

BOOL OSInitFont( OSFontHeader* fontData ) {
	if ( fontData == nullptr || reinterpret_cast<std::uintptr_t>( fontData ) % BUFFER_ALIGN != 0 ) {
		return 0;
	}
	u8* base = reinterpret_cast<u8*>( fontData );
	std::memset( base, 0, FONT_BYTES );

	u8* widths = base + WIDTH_TABLE_OFFSET;
	u8* sheet  = base + SHEET_OFFSET;
	const OSFontGlyphBand* bands = OSFontGlyphBands();
	for ( u32 b = 0; b < OSFontGlyphBandCount(); b++ ) {
		DrawBand( sheet, widths, bands[b] );
	}

	u16 widest = 0;
	for ( u32 i = 0; i < CODE_COUNT; i++ ) {
		widest = widths[i] > widest ? widths[i] : widest;
	}
	WriteHeader( fontData, widest );

	std::memcpy( advances, widths, CODE_COUNT );
	currentFont = base;
	return 1;
}

const char* OSGetFontTexture( const char* string, void** image, s32* x, s32* y, s32* width ) {
	const u8 code = string != nullptr ? static_cast<u8>( *string ) : 0;
	const u32 cell = CellOf( code );
	const bool known = currentFont != nullptr;
	if ( image != nullptr ) {
		*image = known ? currentFont + SHEET_OFFSET : nullptr;
	}
	if ( x != nullptr ) {
		*x = known ? static_cast<s32>( ( cell % SHEET_COLUMNS ) * CELL_SIZE ) : 0;
	}
	if ( y != nullptr ) {
		*y = known ? static_cast<s32>( ( cell / SHEET_COLUMNS ) * CELL_SIZE ) : 0;
	}
	if ( width != nullptr ) {
		*width = known && code != '\0' ? advances[cell] : 0;
	}
	if ( string == nullptr || code == '\0' ) {
		return string;
	}
	return string + 1;
}
