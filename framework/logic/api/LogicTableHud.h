/*
===============================================================================

	Layout of the table `_api_hud` that a module gets from the root table:
	HUD windows, texts and palettes.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_HUD_H
#define LOGIC_TABLE_HUD_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_HUD_SLOTS		52
#define LOGIC_API_HUD_PAD_SLOTS	16

struct _api_hud {
	u32								( *WindowAdd )( u32 type, u32 parent, u32 flags, u32 priority );
	void							( *WindowDelete )( u32 window );
	void							( *WindowSetFlags )( u32 window, u32 bits );
	void							( *WindowResetFlags )( u32 window, u32 bits );
	u32								( *WindowGetFlags )( u32 window );
	void							( *WindowSetTimer )( u32 window, f32 seconds );
	void							( *WindowSetPos )( u32 window, f32 x, f32 y );
	void							( *WindowSetDims )( u32 window, f32 w, f32 h );
	void							( *WindowSetGrid )( u32 window, u32, u32, u32, u32, u32, u32 );
	void							( *WindowSetBackGround )( u32 window, u32 colour, f32 a, f32 b );
	void							( *WindowSetName )( u32 window, char * name );
	u32								( *WindowFind )( u32 userId );
	u32								( *WindowSetID )( u32 window, u32 userId );
	u32								( *WindowGetNextSibling )( u32 window );
	u32								( *WindowGetFirstChild )( u32 window );
	u32								( *WindowGetParent )( u32 window );
	void							( *WindowGetPos )( u32 window, f32 * x, f32 * y );
	void							( *WindowGetDims )( u32 window, f32 * w, f32 * h );
	u8								( *WindowSaveAll )( char * fileName );
	void							( *Window2DSetTexture )( u32 window, char * textureName );
	void							( *Window2DSetTiling )( u32 window, f32 u, f32 v );
	void							( *Window2DSetColor )( u32 window, u32 colour );
	void							( *Window3DSetObj )( u32 window, u32 objectId, u32 instance );
	void							( *TextWindowSetText )( u32 window, u32 textId, ... );
	void							( *TextWindowSetMargins )( u32 window, f32, f32, f32, f32 );
	void							( *TextWindowSetStringToDisplay )( u32 window, char * format, ... );
	void							( *TextWindowSetColor )( u32 window, u32 colour );
	void							( *TextWindowSetFont )( u32 window, u32 font );
	void							( *TextSetCurrentLanguage )( u32 language );
	u32								( *TextGetCurrentLanguage )( void );
	void							( *ColorCopy )( u32 palette, u32, u32, u32 );
	void							( *ColorBlend )( u32 palette, u32, u32, u32, f32 factor, u32 );
	void							( *ColorFadeStart )( u32 palette, u32, u32, u32, f32 duration, u32 );
	void							( *ColorFadeStop )( u32 palette, u32 group );
	u32								( *ColorIsFading )( u32 palette, u32 group );
	void							( *TextWindowSetString )( u32 window, char * string, ... );
	void							( *Pad[LOGIC_API_HUD_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_hud, WindowAdd, 0 );
LOGIC_API_SLOT( _api_hud, WindowDelete, 1 );
LOGIC_API_SLOT( _api_hud, WindowSetFlags, 2 );
LOGIC_API_SLOT( _api_hud, WindowResetFlags, 3 );
LOGIC_API_SLOT( _api_hud, WindowGetFlags, 4 );
LOGIC_API_SLOT( _api_hud, WindowSetTimer, 5 );
LOGIC_API_SLOT( _api_hud, WindowSetPos, 6 );
LOGIC_API_SLOT( _api_hud, WindowSetDims, 7 );
LOGIC_API_SLOT( _api_hud, WindowSetGrid, 8 );
LOGIC_API_SLOT( _api_hud, WindowSetBackGround, 9 );
LOGIC_API_SLOT( _api_hud, WindowSetName, 10 );
LOGIC_API_SLOT( _api_hud, WindowFind, 11 );
LOGIC_API_SLOT( _api_hud, WindowSetID, 12 );
LOGIC_API_SLOT( _api_hud, WindowGetNextSibling, 13 );
LOGIC_API_SLOT( _api_hud, WindowGetFirstChild, 14 );
LOGIC_API_SLOT( _api_hud, WindowGetParent, 15 );
LOGIC_API_SLOT( _api_hud, WindowGetPos, 16 );
LOGIC_API_SLOT( _api_hud, WindowGetDims, 17 );
LOGIC_API_SLOT( _api_hud, WindowSaveAll, 18 );
LOGIC_API_SLOT( _api_hud, Window2DSetTexture, 19 );
LOGIC_API_SLOT( _api_hud, Window2DSetTiling, 20 );
LOGIC_API_SLOT( _api_hud, Window2DSetColor, 21 );
LOGIC_API_SLOT( _api_hud, Window3DSetObj, 22 );
LOGIC_API_SLOT( _api_hud, TextWindowSetText, 23 );
LOGIC_API_SLOT( _api_hud, TextWindowSetMargins, 24 );
LOGIC_API_SLOT( _api_hud, TextWindowSetStringToDisplay, 25 );
LOGIC_API_SLOT( _api_hud, TextWindowSetColor, 26 );
LOGIC_API_SLOT( _api_hud, TextWindowSetFont, 27 );
LOGIC_API_SLOT( _api_hud, TextSetCurrentLanguage, 28 );
LOGIC_API_SLOT( _api_hud, TextGetCurrentLanguage, 29 );
LOGIC_API_SLOT( _api_hud, ColorCopy, 30 );
LOGIC_API_SLOT( _api_hud, ColorBlend, 31 );
LOGIC_API_SLOT( _api_hud, ColorFadeStart, 32 );
LOGIC_API_SLOT( _api_hud, ColorFadeStop, 33 );
LOGIC_API_SLOT( _api_hud, ColorIsFading, 34 );
LOGIC_API_SLOT( _api_hud, TextWindowSetString, 35 );
LOGIC_API_SLOT( _api_hud, Pad, 36 );
LOGIC_API_TABLE_SIZE( _api_hud, LOGIC_API_HUD_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
