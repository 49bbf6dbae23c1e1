#include "framework/graphics/hud/EFHudMgr_BC.h"

#include "datatypes/file/DTFile.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFText.h"
#include "framework/graphics/hud/EFHud2DWindow.h"
#include "framework/graphics/hud/EFHud3DWindow.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudTextWindow.h"

#include <new>

EFHudMgr_BC * EFHudMgr_BC::mspoCurrent = nullptr;

namespace {

constexpr u32 SLOT_SHIFT		= 16;
constexpr u32 SERIAL_MASK		= 0xFFFF;
// The HUD camera's view window before the first frame.
constexpr f32 VIEW_WINDOW_WIDTH		= 1.0f;
constexpr f32 VIEW_WINDOW_HEIGHT	= 0.75f;

EFHudWindow * FindInSiblings( EFHudWindow * window, const u32 id ) {
	for ( EFHudWindow * w = window; w != nullptr; w = w->mpoNextSibling ) {
		if ( w->muiId == id ) {
			return w;
		}
	}
	for ( EFHudWindow * w = window; w != nullptr; w = w->mpoNextSibling ) {
		EFHudWindow * const found = FindInSiblings( w->mpoFirstChild, id );
		if ( found != nullptr ) {
			return found;
		}
	}
	return nullptr;
}

}

EFHudMgr_BC::EFHudMgr_BC()
	: mpoRootWindow( nullptr ), mpoHudCamera( nullptr ), mpoGlobalPalette( nullptr ), mapoFonts(), mapoPalettes(),
	  mapoLights(), mpoTextTable( nullptr ), mafViewWindow{ VIEW_WINDOW_WIDTH, VIEW_WINDOW_HEIGHT }, mafScreenScale(),
	  maoHandles(), muiLastSlot( 0 ), muiWindowCount( 0 ), muiLanguage( 0 ), mpCommandBlock( nullptr ),
	  mpCommandEnd( nullptr ), muiCommandBytesUsed( 0 ) {
	mspoCurrent = this;
}

EFHudMgr_BC::~EFHudMgr_BC() {
	Terminate();
	delete mpoRootWindow;
	mpoRootWindow = nullptr;
	if ( mspoCurrent == this ) {
		mspoCurrent = nullptr;
	}
}

u32 EFHudMgr_BC::Init() {
	mspoCurrent = this;
	if ( mpoRootWindow == nullptr ) {
		mpoRootWindow = new ( std::nothrow ) EFHudWindow( 0, 0 );
	}
	return 1;
}

void EFHudMgr_BC::Terminate() {
	for ( EFFont *& font : mapoFonts ) {
		delete font;
		font = nullptr;
	}
	for ( EFHudPalette *& palette : mapoPalettes ) {
		delete palette;
		palette = nullptr;
	}
	delete mpoGlobalPalette;
	mpoGlobalPalette = nullptr;
	if ( mpoRootWindow != nullptr ) {
		while ( mpoRootWindow->mpoFirstChild != nullptr ) {
			delete mpoRootWindow->mpoFirstChild;
		}
	}
	for ( EFLight *& light : mapoLights ) {
		light = nullptr;
	}
	delete mpoTextTable;
	mpoTextTable = nullptr;
}

EFHudWindow * EFHudMgr_BC::GetWindow( const u32 handle ) const {
	if ( handle == EF_HUD_ROOT_HANDLE ) {
		return mpoRootWindow;
	}
	const u32 slot = handle >> SLOT_SHIFT;
	if ( handle == EF_HUD_NO_HANDLE || slot >= EF_HUD_WINDOW_SLOTS ) {
		return nullptr;
	}
	const EFHudHandleSlot & entry = maoHandles[slot];
	return ( entry.uiSerial & SERIAL_MASK ) == ( handle & SERIAL_MASK ) ? entry.poWindow : nullptr;
}

u32 EFHudMgr_BC::AllocateHandle( EFHudWindow * window ) {
	if ( muiWindowCount >= EF_HUD_WINDOW_SLOTS ) {
		return EF_HUD_NO_HANDLE;
	}
	u32 slot = EF_HUD_WINDOW_SLOTS;
	for ( u32 i = muiLastSlot + 1; i < EF_HUD_WINDOW_SLOTS && slot == EF_HUD_WINDOW_SLOTS; i++ ) {
		slot = maoHandles[i].poWindow == nullptr ? i : slot;
	}
	for ( u32 i = 0; i <= muiLastSlot && slot == EF_HUD_WINDOW_SLOTS; i++ ) {
		slot = maoHandles[i].poWindow == nullptr ? i : slot;
	}
	if ( slot == EF_HUD_WINDOW_SLOTS ) {
		return EF_HUD_NO_HANDLE;
	}
	EFHudHandleSlot & entry = maoHandles[slot];
	muiLastSlot = slot;
	entry.poWindow = window;
	entry.uiSerial++;
	if ( entry.uiSerial == 0 ) {
		entry.uiSerial = 1;
	}
	muiWindowCount++;
	return ( slot << SLOT_SHIFT ) | ( entry.uiSerial & SERIAL_MASK );
}

void EFHudMgr_BC::FreeHandle( const u32 handle ) {
	const u32 slot = handle >> SLOT_SHIFT;
	if ( handle == EF_HUD_NO_HANDLE || handle == EF_HUD_ROOT_HANDLE || slot >= EF_HUD_WINDOW_SLOTS ) {
		return;
	}
	EFHudHandleSlot & entry = maoHandles[slot];
	if ( entry.poWindow == nullptr || ( entry.uiSerial & SERIAL_MASK ) != ( handle & SERIAL_MASK ) ) {
		return;
	}
	entry.poWindow = nullptr;
	muiWindowCount--;
}

u32 EFHudMgr_BC::WindowAdd( const HudWinType_e type, const u32 parent, const u32 flags, const u32 priority ) {
	if ( muiWindowCount >= EF_HUD_WINDOW_SLOTS ) {
		return EF_HUD_NO_HANDLE;
	}
	EFHudWindow * window = nullptr;
	switch ( type ) {
	case HUD_WIN_BASE:
		window = new ( std::nothrow ) EFHudWindow( flags, priority );
		break;
	case HUD_WIN_TEXT:
		window = new ( std::nothrow ) EFHudTextWindow( flags, priority );
		break;
	case HUD_WIN_2D:
		window = new ( std::nothrow ) EFHud2DWindow( flags, priority );
		break;
	case HUD_WIN_3D:
		window = new ( std::nothrow ) EFHud3DWindow( flags, priority );
		break;
	default:
		return EF_HUD_NO_HANDLE;
	}
	if ( window == nullptr ) {
		return EF_HUD_NO_HANDLE;
	}
	EFHudWindow * owner = GetWindow( parent );
	owner = owner != nullptr ? owner : mpoRootWindow;
	if ( owner != nullptr ) {
		owner->AddChild( window );
	}
	return window->muiHandle;
}

void EFHudMgr_BC::WindowDelete( const u32 handle ) {
	if ( handle == EF_HUD_ROOT_HANDLE ) {
		return;
	}
	EFHudWindow * const window = GetWindow( handle );
	if ( window != nullptr && window != mpoRootWindow ) {
		delete window;
	}
}

EFHudWindow * EFHudMgr_BC::FindHudWindow( const u32 id ) const {
	return FindInSiblings( mpoRootWindow, id );
}

void EFHudMgr_BC::AddFont( EFFont * font, const u32 id ) {
	if ( id >= EF_HUD_FONT_SLOTS ) {
		DTPrintf( "FONT %u NOT INSTALLED: NO SUCH SLOT!!!\n", id );
		return;
	}
	if ( mapoFonts[id] != font ) {
		delete mapoFonts[id];
	}
	mapoFonts[id] = font;
	if ( font != nullptr && mafScreenScale[0] > 0.0f && mafScreenScale[1] > 0.0f ) {
		font->ComputeScreenDims( mafScreenScale[0], mafScreenScale[1] );
	}
}

EFFont * EFHudMgr_BC::GetFont( const u32 id ) const {
	return id < EF_HUD_FONT_SLOTS ? mapoFonts[id] : nullptr;
}

void EFHudMgr_BC::AddPalette( EFHudPalette * palette, const s32 index, const u32 count,
							  const EFFontColorGroup * groups ) {
	if ( index < EF_HUD_GLOBAL_PALETTE || index >= static_cast<s32>( EF_HUD_PALETTE_SLOTS ) ) {
		return;
	}
	EFHudPalette *& slot = index == EF_HUD_GLOBAL_PALETTE ? mpoGlobalPalette : mapoPalettes[index];
	if ( slot != palette ) {
		delete slot;
	}
	slot = palette;
	if ( palette != nullptr ) {
		palette->Init( count, groups );
	}
}

EFHudPalette * EFHudMgr_BC::GetPalette( const s32 slot ) const {
	if ( slot == EF_HUD_GLOBAL_PALETTE ) {
		return mpoGlobalPalette;
	}
	return slot >= 0 && slot < static_cast<s32>( EF_HUD_PALETTE_SLOTS ) ? mapoPalettes[slot] : nullptr;
}

bool EFHudMgr_BC::IsPaletteInstalled( const EFHudPalette * palette ) const {
	if ( palette == nullptr ) {
		return false;
	}
	for ( const EFHudPalette * held : mapoPalettes ) {
		if ( held == palette ) {
			return true;
		}
	}
	return palette == mpoGlobalPalette;
}

EFHudColorGroup * EFHudMgr_BC::GetColorGroup( const s32 slot, const u32 index ) const {
	const EFHudPalette * const palette =
		( index & EF_HUD_GLOBAL_GROUP ) != 0 ? mpoGlobalPalette : GetPalette( slot );
	return palette != nullptr ? palette->GetGroup( index & ~EF_HUD_GLOBAL_GROUP ) : nullptr;
}

void EFHudMgr_BC::SetTextTable( EFText * table ) {
	if ( mpoTextTable != table ) {
		delete mpoTextTable;
	}
	mpoTextTable = table;
}

void EFHudMgr_BC::SetScreenScale( const f32 width, const f32 height ) {
	mafScreenScale[0] = width;
	mafScreenScale[1] = height;
}

void EFHudMgr_BC::SetCommandBlock( void * block, const u32 bytes ) {
	mpCommandBlock = static_cast<u8 *>( block );
	mpCommandEnd = block != nullptr ? mpCommandBlock + bytes : nullptr;
}
