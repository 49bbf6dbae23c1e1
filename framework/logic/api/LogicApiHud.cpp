#include "framework/logic/api/LogicApiTables.h"

#include <cstdarg>

#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/hud/EFHud2DWindow.h"
#include "framework/graphics/hud/EFHud3DWindow.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudTextWindow.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

constexpr u32 GLOBAL_PALETTE_ARG	= 0xFFFFFFFF;
constexpr u32 GLOBAL_GROUP			= 0x80000000;

// The manager's one lookup: the root for -1, else the live window whose
// serial matches; stale handles give null.
EFHudWindow * Window( const u32 handle ) {
	return gpoHudMgr != nullptr ? gpoHudMgr->GetWindow( handle ) : nullptr;
}

// A window of that type only: a typed slot never writes one kind's fields
// into another kind of window.
template <typename T>
T * Typed( const u32 handle, const HudWinType_e type ) {
	EFHudWindow * const window = Window( handle );
	return window != nullptr && window->meType == type ? static_cast<T *>( window ) : nullptr;
}

EFHudTextWindow * Text( const u32 handle ) {
	return Typed<EFHudTextWindow>( handle, HUD_WIN_TEXT );
}

EFHud2DWindow * Window2D( const u32 handle ) {
	return Typed<EFHud2DWindow>( handle, HUD_WIN_2D );
}

// What the tree slots hand back: the root's value for the root.
u32 HandleOf( const EFHudWindow * window ) {
	return window == gpoHudMgr->GetRootWindow() ? EF_HUD_ROOT_HANDLE : window->muiHandle;
}

// The palette argument as a manager slot (-1 global), when it names one
// that is filled; false otherwise.
bool PaletteSlot( const u32 palette, s32 & slot ) {
	if ( gpoHudMgr == nullptr ) {
		return false;
	}
	if ( palette == GLOBAL_PALETTE_ARG ) {
		slot = EF_HUD_GLOBAL_PALETTE;
	} else if ( palette < EF_HUD_PALETTE_SLOTS ) {
		slot = static_cast<s32>( palette );
	} else {
		return false;
	}
	return gpoHudMgr->GetPalette( slot ) != nullptr;
}

// --- Window slots ---

u32 WindowAdd( const u32 type, const u32 parent, const u32 flags, const u32 priority ) {
	return gpoHudMgr != nullptr ? gpoHudMgr->WindowAdd( static_cast<HudWinType_e>( type ), parent, flags, priority )
								: EF_HUD_NO_HANDLE;
}

void WindowDelete( const u32 window ) {
	if ( gpoHudMgr != nullptr ) {
		gpoHudMgr->WindowDelete( window );
	}
}

void WindowSetFlags( const u32 handle, const u32 bits ) {
	if ( EFHudWindow * const window = Window( handle ) ) {
		window->muiFlags |= bits;
	}
}

void WindowResetFlags( const u32 handle, const u32 bits ) {
	if ( EFHudWindow * const window = Window( handle ) ) {
		window->muiFlags &= ~bits;
	}
}

u32 WindowGetFlags( const u32 handle ) {
	const EFHudWindow * const window = Window( handle );
	return window != nullptr ? window->muiFlags : 0;
}

void WindowSetTimer( const u32 handle, const f32 seconds ) {
	if ( EFHudWindow * const window = Window( handle ) ) {
		window->mfTimer = seconds;
		window->muiFlags |= EF_HUD_TIMER_RUNNING;
	}
}

void WindowSetPos( const u32 handle, const f32 x, const f32 y ) {
	if ( EFHudWindow * const window = Window( handle ) ) {
		window->moDesignRect.x = x;
		window->moDesignRect.y = y;
	}
}

void WindowSetDims( const u32 handle, const f32 w, const f32 h ) {
	if ( EFHudWindow * const window = Window( handle ) ) {
		window->moDesignRect.w = w;
		window->moDesignRect.h = h;
	}
}

void WindowSetGrid( u32, u32, u32, u32, u32, u32, u32 ) {
}

void WindowSetBackGround( const u32 handle, const u32 colour, const f32 a, const f32 b ) {
	if ( EFHudWindow * const window = Window( handle ) ) {
		window->muiColorGroup = colour;
		window->mafBorder[0] = a;
		window->mafBorder[1] = b;
	}
}

void WindowSetName( u32, char * ) {
	EFApiTrace::mFuncName = "APIhud::WindowSetName";
	EFApiTrace::mFuncName = nullptr;
}

u32 WindowFind( const u32 userId ) {
	const EFHudWindow * const window = gpoHudMgr != nullptr ? gpoHudMgr->FindHudWindow( userId ) : nullptr;
	return window != nullptr ? HandleOf( window ) : EF_HUD_NO_HANDLE;
}

u32 WindowSetID( const u32 handle, const u32 userId ) {
	EFHudWindow * const window = Window( handle );
	if ( window == nullptr ) {
		return 0;
	}
	window->muiId = userId;
	return 1;
}

// The tree link's handle, the given handle when there is no such window,
// 0 for a stale handle.
template <EFHudWindow * EFHudWindow_BC::*Link>
u32 TreeLink( const u32 handle ) {
	const EFHudWindow * const window = Window( handle );
	if ( window == nullptr ) {
		return EF_HUD_NO_HANDLE;
	}
	const EFHudWindow * const next = window->*Link;
	return next != nullptr ? HandleOf( next ) : handle;
}

void WindowGetPos( const u32 handle, f32 * x, f32 * y ) {
	if ( const EFHudWindow * const window = Window( handle ) ) {
		*x = window->moDesignRect.x;
		*y = window->moDesignRect.y;
	}
}

void WindowGetDims( const u32 handle, f32 * w, f32 * h ) {
	if ( const EFHudWindow * const window = Window( handle ) ) {
		*w = window->moDesignRect.w;
		*h = window->moDesignRect.h;
	}
}

u8 WindowSaveAll( char * fileName ) {
	return gpoHudMgr != nullptr ? gpoHudMgr->Save( fileName ) : 0;
}

// --- Typed windows ---

void Window2DSetTexture( const u32 handle, char * name ) {
	if ( EFHud2DWindow * const window = Window2D( handle ) ) {
		window->SetTexture( name );
	}
}

void Window2DSetTiling( const u32 handle, const f32 u, const f32 v ) {
	if ( EFHud2DWindow * const window = Window2D( handle ) ) {
		window->mfUTiling = u;
		window->mfVTiling = v;
	}
}

void Window2DSetColor( const u32 handle, const u32 colour ) {
	if ( EFHud2DWindow * const window = Window2D( handle ) ) {
		window->muiColorGroup2D = colour;
	}
}

// The window keeps the object's own id (never the running-object alias,
// which would name another object when drawn) and an index that exists now.
void Window3DSetObj( const u32 handle, const u32 objectId, const u32 instance ) {
	EFHud3DWindow * const window = Typed<EFHud3DWindow>( handle, HUD_WIN_3D );
	EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( objectId ) : nullptr;
	if ( window != nullptr && object != nullptr && object->Get3dObject( instance ) != nullptr ) {
		window->SetObject( object->GetUID(), instance );
	}
}

// The variadic slots hand the address of their own list over (an array
// type here, so never copied) and end it before returning; the window
// reads the words it keeps while the call runs.
void TextWindowSetText( const u32 handle, const u32 textId, ... ) {
	va_list args;
	va_start( args, textId );
	if ( EFHudTextWindow * const window = Text( handle ) ) {
		window->SetTextToDisplay( textId, args );
	}
	va_end( args );
}

void TextWindowSetMargins( const u32 handle, const f32 a, const f32 b, const f32 c, const f32 d ) {
	if ( EFHudTextWindow * const window = Text( handle ) ) {
		window->mafMargins[0] = a;
		window->mafMargins[1] = b;
		window->mafMargins[2] = c;
		window->mafMargins[3] = d;
	}
}

void TextWindowSetStringToDisplay( const u32 handle, char * format, ... ) {
	va_list args;
	va_start( args, format );
	EFHudTextWindow * const window = Text( handle );
	if ( window != nullptr && format != nullptr ) {
		window->SetStringToDisplay( format, args );
	}
	va_end( args );
}

void TextWindowSetColor( const u32 handle, const u32 colour ) {
	if ( EFHudTextWindow * const window = Text( handle ) ) {
		window->muiColor = colour;
	}
}

void TextWindowSetFont( const u32 handle, const u32 font ) {
	if ( EFHudTextWindow * const window = Text( handle ) ) {
		window->muiFont = font;
	}
}

void TextWindowSetString( const u32 handle, char * string, ... ) {
	va_list args;
	va_start( args, string );
	EFHudTextWindow * const window = Text( handle );
	if ( window != nullptr && string != nullptr ) {
		window->SetTextToDisplay( static_cast<const char *>( string ), args );
	}
	va_end( args );
}

void TextSetCurrentLanguage( const u32 language ) {
	if ( gpoHudMgr != nullptr ) {
		gpoHudMgr->TextSetCurrentLanguage( language );
	}
}

u32 TextGetCurrentLanguage() {
	return gpoHudMgr != nullptr ? gpoHudMgr->TextGetCurrentLanguage() : 0;
}

// --- Palettes ---

void ColorCopy( const u32 palette, const u32 destination, const u32 source, const u32 mask ) {
	s32 slot = 0;
	if ( PaletteSlot( palette, slot ) ) {
		EFHudPalette::ColorCopy( slot, destination, source, mask );
	}
}

void ColorBlend( const u32 palette, const u32 destination, const u32 from, const u32 to, const f32 factor,
				 const u32 mask ) {
	s32 slot = 0;
	if ( PaletteSlot( palette, slot ) ) {
		EFHudPalette::ColorBlend( slot, destination, from, to, factor, mask );
	}
}

void ColorFadeStart( const u32 palette, const u32 destination, const u32 from, const u32 to, const f32 duration,
					 const u32 mask ) {
	s32 slot = 0;
	if ( PaletteSlot( palette, slot ) ) {
		EFHudPalette::ColorFadeStart( slot, destination, from, to, duration, mask );
	}
}

void ColorFadeStop( const u32 palette, const u32 group ) {
	s32 slot = 0;
	if ( PaletteSlot( palette, slot ) ) {
		EFHudPalette::ColorFadeStop( slot, group );
	}
}

// A group with bit 31 is the global palette's; any other needs a filled
// slot 0-9.
u32 ColorIsFading( const u32 palette, const u32 group ) {
	s32 slot = EF_HUD_GLOBAL_PALETTE;
	if ( ( group & GLOBAL_GROUP ) == 0 && ( palette == GLOBAL_PALETTE_ARG || !PaletteSlot( palette, slot ) ) ) {
		return 0;
	}
	return EFHudPalette::ColorIsFading( slot, group ) ? 1 : 0;
}

}

void ApiHudNotInit() {
	bDone = true;
}

bool ApiHudNotInitDone() {
	return bDone;
}

constexpr _api_hud APIhudStubs = MakeLogicApiStubs<_api_hud, ApiHudNotInit>();
constinit _api_hud APIhud = MakeLogicApiStubs<_api_hud, ApiHudNotInit>();

void Init_hud() {
	InitAPI( &APIhud, LOGIC_API_HUD_SLOTS, &APIhudStubs );
	APIhud.WindowAdd = WindowAdd;
	APIhud.WindowDelete = WindowDelete;
	APIhud.WindowSetFlags = WindowSetFlags;
	APIhud.WindowResetFlags = WindowResetFlags;
	APIhud.WindowGetFlags = WindowGetFlags;
	APIhud.WindowSetTimer = WindowSetTimer;
	APIhud.WindowSetPos = WindowSetPos;
	APIhud.WindowSetDims = WindowSetDims;
	APIhud.WindowSetGrid = WindowSetGrid;
	APIhud.WindowSetBackGround = WindowSetBackGround;
	APIhud.WindowSetName = WindowSetName;
	APIhud.WindowFind = WindowFind;
	APIhud.WindowSetID = WindowSetID;
	APIhud.WindowGetNextSibling = TreeLink<&EFHudWindow_BC::mpoNextSibling>;
	APIhud.WindowGetFirstChild = TreeLink<&EFHudWindow_BC::mpoFirstChild>;
	APIhud.WindowGetParent = TreeLink<&EFHudWindow_BC::mpoParent>;
	APIhud.WindowGetPos = WindowGetPos;
	APIhud.WindowGetDims = WindowGetDims;
	APIhud.WindowSaveAll = WindowSaveAll;
	APIhud.Window2DSetTexture = Window2DSetTexture;
	APIhud.Window2DSetTiling = Window2DSetTiling;
	APIhud.Window2DSetColor = Window2DSetColor;
	APIhud.Window3DSetObj = Window3DSetObj;
	APIhud.TextWindowSetText = TextWindowSetText;
	APIhud.TextWindowSetMargins = TextWindowSetMargins;
	APIhud.TextWindowSetStringToDisplay = TextWindowSetStringToDisplay;
	APIhud.TextWindowSetColor = TextWindowSetColor;
	APIhud.TextWindowSetFont = TextWindowSetFont;
	APIhud.TextSetCurrentLanguage = TextSetCurrentLanguage;
	APIhud.TextGetCurrentLanguage = TextGetCurrentLanguage;
	APIhud.ColorCopy = ColorCopy;
	APIhud.ColorBlend = ColorBlend;
	APIhud.ColorFadeStart = ColorFadeStart;
	APIhud.ColorFadeStop = ColorFadeStop;
	APIhud.ColorIsFading = ColorIsFading;
	APIhud.TextWindowSetString = TextWindowSetString;
}
