#include "framework/graphics/hud/EFHudWindow.h"

#include "datatypes/persist/DTBasePersistStream.h"

EFHudWindow::EFHudWindow( const HudWinType_e type, const u32 flags, const u32 priority )
	: EFHudWindow_SP( type, flags, priority ) {
	EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	if ( manager != nullptr ) {
		muiHandle = manager->AllocateHandle( this );
	}
}

EFHudWindow::EFHudWindow( const u32 flags, const u32 priority ) : EFHudWindow( HUD_WIN_BASE, flags, priority ) {
}

EFHudWindow::~EFHudWindow() {
	if ( mpoParent != nullptr ) {
		mpoParent->RemoveChild( this );
	}
	EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	if ( manager != nullptr ) {
		manager->FreeHandle( muiHandle );
	}
	while ( mpoFirstChild != nullptr ) {
		EFHudWindow * const child = mpoFirstChild;
		mpoFirstChild = child->mpoNextSibling;
		child->mpoParent = nullptr;
		child->mpoNextSibling = nullptr;
		delete child;
	}
}

namespace {

// Applies op to every field of the window record, in stored order.
template <typename Op>
s32 WindowRecord( EFHudWindow & window, Op op ) {
	s32 result = op( window.muiId );
	result |= op( window.muiColorGroup );
	result |= op( window.mafBorder[0] );
	result |= op( window.mafBorder[1] );
	result |= op( window.moDesignRect.x );
	result |= op( window.moDesignRect.y );
	result |= op( window.moDesignRect.w );
	result |= op( window.moDesignRect.h );
	return result;
}

}

u32 EFHudWindow::LoadWindowType( DTBasePersistStream & stream ) {
	return WindowRecord( *this, [&]( auto & field ) { return stream.LoadData( field ); } ) == DT_PERSIST_OK ? 1 : 0;
}

u32 EFHudWindow::SaveWindowType( DTBasePersistStream & stream ) {
	return WindowRecord( *this, [&]( const auto & field ) { return stream.SaveData( field ); } ) == DT_PERSIST_OK ? 1 : 0;
}

u32 EFHudWindow::LoadWindowAndChild( DTBasePersistStream & stream ) {
	if ( LoadWindowType( stream ) == 0 ) {
		return 0;
	}
	u32 count = 0;
	if ( stream.LoadData( count ) != DT_PERSIST_OK ) {
		return 0;
	}
	EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	for ( u32 i = 0; i < count; i++ ) {
		u32 flags = 0;
		u32 priority = 0;
		u32 type = 0;
		if ( stream.LoadData( flags ) != DT_PERSIST_OK || stream.LoadData( priority ) != DT_PERSIST_OK ||
			 stream.LoadData( type ) != DT_PERSIST_OK || manager == nullptr ) {
			return 0;
		}
		const u32 handle = manager->WindowAdd( static_cast<HudWinType_e>( type ), muiHandle, flags, priority );
		EFHudWindow * const child = manager->GetWindow( handle );
		if ( child == nullptr || child->LoadWindowAndChild( stream ) == 0 ) {
			return 0;
		}
	}
	return 1;
}
