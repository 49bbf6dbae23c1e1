#include "datatypes/file/DTDiscMessage.h"

#include "datatypes/memory/MMMemory.h"
#include "platform/os/OS.h"
#include "platform/os/OSFont.h"
#include "platform/vi/VI.h"

#include <cstring>

void* gTempFB = nullptr;

namespace {

// One language's four messages; 0 and 2 share a text.
struct LanguageMessages {
	const char*	code;
	const char*	insertDisc;
	const char*	coverOpen;
	const char*	unreadable;
};

// Single-byte Windows-1252 texts, the ROM font's encoding (\x99 is the
// trade-mark sign). Blanks and line feeds are part of the layout.
DTLanguageHook goLanguageHook = nullptr;

const LanguageMessages MESSAGES[] = {
	{ "EN",
	  "Please insert the Quillmoor!\x99" "\nTallowmere Game Disc.",
	  "The Disc Cover is open.\nIf you want to continue the game,\nplease close the Disc Cover.",
	  "The Game Disc could not be read.\nPlease read the Nintendo GameCube\nInstruction Booklet for more information." },
	{ "DE",
	  "Bitte legen Sie die Quillmoor!\x99" "\nFennspire Game Disc ein.",
	  "Der Disc-Deckel ist ge\xF6" "ffnet.\nBitte den Disc-Deckel schlie\xDF" "en,\num mit dem Spiel fortzufahren.",
	  "Diese Game Disc kann nicht\ngelesen werden. Bitte lesen Sie die\nBedienungsanleitung des Nintendo\nGameCube, um weitere Informationen\nzu erhalten." },
	{ "FR",
	  "Veuillez ins\xE9" "rer le disque Quillmoor !\x99" "\nCorvalune.",
	  "Le couvercle est ouvert.\nPour continuer \xE0" " jouer,\nveuillez fermer le couvercle.",
	  "La lecture du disque a \xE9" "chou\xE9" ".\nVeuillez vous r\xE9" "f\xE9" "rer au manuel\nd'instructions Nintendo GameCube\npour de plus amples informations." },
	{ "ES",
	  "Coloca el disco de Quillmoor!\x99" ".",
	  "La tapa est\xE1" " abierta.\nSi quieres seguir jugando, debes cerrar la tapa.",
	  "No se puede leer el disco.\nConsulta el manual de instrucciones de\nNintendo GameCube  para obtener m\xE1" "s informaci\xF3" "n." },
	{ "IT",
	  "Inserisci il disco di gioco Quillmoor!\x99" ".",
	  "Il coperchio del disco \xE8" " aperto.\nSe vuoi proseguire nel gioco, chiudi il coperchio del disco.",
	  "Impossibile leggere il disco di gioco.\nPer ulteriori indicazioni consulta il manuale di istruzioni del Nintendo GameCube." },
	{ "NL",
	  "Plaats de Quillmoor!\x99" "\n spel-disc.",
	  "De disc-deksel is open.\nSluit de disc-deksel als je verder wilt spelen.",
	  "De spel-disc kon niet worden gelezen.\nLees de handleiding van de Nintendo GameCube voor meer informatie." },
};

// Black in the frame's luma/chroma format, as the two bytes in memory.
constexpr u8 BLACK_LUMA		= 0x10;
constexpr u8 BLACK_CHROMA	= 0x80;

// Luma range of video: a four-bit texel from 0 to 15 maps onto it.
constexpr u32 LUMA_MIN		= 16;
constexpr u32 LUMA_SPAN		= 219;
constexpr u32 TEXEL_MAX		= 15;

// A glyph is 3 x 3 tiles of the font sheet.
constexpr s32 GLYPH_SIZE	= 24;

// The temporary frame is sized for the tallest format, so that it fits
// whatever format asks for it later.
constexpr u32 TEMP_FB_BYTES	= DT_FRAME_HEIGHT_PAL * DT_FRAME_STRIDE;

u8 TexelToLuma( const u8 texel ) {
	return static_cast<u8>( LUMA_MIN + ( texel * LUMA_SPAN + TEXEL_MAX / 2 ) / TEXEL_MAX );
}

// Four-bit texel at (x, y) of an I4 sheet: tiles left to right, then top to
// bottom; in a tile rows of 4 bytes, the left texel in the high nibble.
u8 SheetTexel( const u8* sheet, const u32 x, const u32 y ) {
	constexpr u32 tilesAcross = OS_FONT_SHEET_WIDTH_ANSI / OS_FONT_TILE_SIZE;
	const u32 tile = ( y / OS_FONT_TILE_SIZE ) * tilesAcross + x / OS_FONT_TILE_SIZE;
	const u32 byte = tile * OS_FONT_TILE_BYTES + ( y % OS_FONT_TILE_SIZE ) * ( OS_FONT_TILE_SIZE / 2 ) +
					 ( x % OS_FONT_TILE_SIZE ) / 2;
	const u8 pair = sheet[byte];
	return x % 2 == 0 ? static_cast<u8>( pair >> 4 ) : static_cast<u8>( pair & 0x0F );
}

// Writes the inked texels of one glyph with its top-left at (row, column);
// everything outside the frame is dropped.
void DrawGlyph( u8* frame, const u32 height, const u8* sheet, const s32 sheetX, const s32 sheetY,
				const s32 row, const s32 column ) {
	if ( sheetX < 0 || sheetY < 0 ) {
		return;
	}
	for ( s32 dy = 0; dy < GLYPH_SIZE; dy++ ) {
		const s32 y = row + dy;
		if ( y < 0 || y >= static_cast<s32>( height ) ) {
			continue;
		}
		for ( s32 dx = 0; dx < GLYPH_SIZE; dx++ ) {
			const s32 x = column + dx;
			if ( x < 0 || x >= static_cast<s32>( DT_FRAME_WIDTH ) ) {
				continue;
			}
			const u8 texel = SheetTexel( sheet, static_cast<u32>( sheetX + dx ), static_cast<u32>( sheetY + dy ) );
			if ( texel != 0 ) {
				frame[static_cast<u32>( y ) * DT_FRAME_STRIDE + static_cast<u32>( x ) * 2] = TexelToLuma( texel );
			}
		}
	}
}

void ClearFrame( u8* frame, const u32 height ) {
	const u32 bytes = height * DT_FRAME_STRIDE;
	for ( u32 i = 0; i < bytes; i += 2 ) {
		frame[i] = BLACK_LUMA;
		frame[i + 1] = BLACK_CHROMA;
	}
}

void DrawText( u8* frame, const u32 height, const char* text ) {
	s32 lines = 1;
	for ( const char* c = text; *c != '\0'; c++ ) {
		lines += *c == '\n' ? 1 : 0;
	}
	s32 row = static_cast<s32>( height / 2 ) - ( DT_MESSAGE_LINE_HEIGHT / 2 ) * lines;
	s32 column = DT_MESSAGE_LEFT_COLUMN;
	const char* c = text;
	while ( *c != '\0' ) {
		if ( *c == '\n' ) {
			row += DT_MESSAGE_LINE_HEIGHT;
			column = DT_MESSAGE_LEFT_COLUMN;
			c++;
			continue;
		}
		void* image = nullptr;
		s32 x = 0;
		s32 y = 0;
		s32 width = 0;
		const char* next = OSGetFontTexture( c, &image, &x, &y, &width );
		if ( image != nullptr && column < static_cast<s32>( DT_FRAME_WIDTH ) ) {
			DrawGlyph( frame, height, static_cast<const u8*>( image ), x, y, row, column );
		}
		// Past the right edge nothing more of the line can show.
		if ( column < static_cast<s32>( DT_FRAME_WIDTH ) && width > 0 ) {
			column += width;
		}
		c = next > c ? next : c + 1;
	}
}

// The frame to draw into: the video interface's next one, else the
// temporary one, allocated from the global heap so that a level heap reset
// cannot free it behind the pointer. Null when it cannot be allocated.
u8* TakeFrame() {
	void* frame = VIGetNextFrameBuffer();
	if ( frame != nullptr ) {
		return static_cast<u8*>( frame );
	}
	if ( gTempFB == nullptr ) {
		MMSwapToGlobalHeap();
		gTempFB = MMMalloc( TEMP_FB_BYTES );
		MMReplaceHeap();
		if ( gTempFB == nullptr ) {
			return nullptr;
		}
	}
	VISetBlack( 0 );
	return static_cast<u8*>( gTempFB );
}

}

const char* GetLocalizedMessageFor( const char* language, const s32 index ) {
	if ( index < 0 || index >= DT_DISC_MESSAGE_COUNT ) {
		return "";
	}
	const LanguageMessages* messages = &MESSAGES[0];
	for ( const LanguageMessages& candidate : MESSAGES ) {
		if ( language != nullptr && std::strcmp( language, candidate.code ) == 0 ) {
			messages = &candidate;
			break;
		}
	}
	switch ( index ) {
		case DT_DISC_MESSAGE_COVER_OPEN:	return messages->coverOpen;
		case DT_DISC_MESSAGE_UNREADABLE:	return messages->unreadable;
		default:							return messages->insertDisc;
	}
}

DTLanguageHook DTSetLanguageHook( const DTLanguageHook hook ) {
	const DTLanguageHook previous = goLanguageHook;
	goLanguageHook = hook;
	return previous;
}

const char* GetLocalizedMessage( const s32 index ) {
	char language[DT_LANGUAGE_CODE_MAX] = {};
	if ( goLanguageHook != nullptr ) {
		goLanguageHook( language );
		language[DT_LANGUAGE_CODE_MAX - 1] = 0;
	}
	return GetLocalizedMessageFor( language, index );
}

u32 DTFrameHeightForTvFormat( const u32 tvFormat ) {
	switch ( tvFormat ) {
		case VI_NTSC:
		case VI_MPAL:
		case VI_EURGB60:	return DT_FRAME_HEIGHT_60HZ;
		case VI_PAL:		return DT_FRAME_HEIGHT_PAL;
		default:			return 0;
	}
}

void DisplayMessageWithRomFont( const char* text ) {
	if ( text == nullptr || text[0] == '\0' ) {
		return;
	}
	const u32 height = DTFrameHeightForTvFormat( VIGetTvFormat() );
	if ( height == 0 ) {
		OSPanic( __FILE__, __LINE__, "DEMOInit: invalid TV format\n" );
	}

	const BOOL level = OSDisableInterrupts();
	u8* frame = TakeFrame();
	if ( frame == nullptr ) {
		OSRestoreInterrupts( level );
		return;
	}
	ClearFrame( frame, height );
	VISetNextFrameBuffer( frame );
	VIFlush();
	DrawText( frame, height, text );
	DCStoreRange( frame, height * DT_FRAME_STRIDE );
	OSRestoreInterrupts( level );
}
