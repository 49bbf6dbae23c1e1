#include "framework/graphics/hud/EFHudWindow.h"

#include "datatypes/persist/DTBasePersistStream.h"

EFHudWindow::EFHudWindow( const HudWinType_e type, const u32 flags, const u32 priority )
	: EFHudWindow_SP( type, flags, priority ) {
}

EFHudWindow::EFHudWindow( const u32 flags, const u32 priority ) : EFHudWindow_SP( HUD_WIN_BASE, flags, priority ) {
}

u32 EFHudWindow::LoadWindowType( DTBasePersistStream & stream ) {
	s32 result = stream.LoadData( muiId );
	result |= stream.LoadData( muiColorGroup );
	result |= stream.LoadData( mafBorder[0] );
	result |= stream.LoadData( mafBorder[1] );
	result |= stream.LoadData( moDesignRect.x );
	result |= stream.LoadData( moDesignRect.y );
	result |= stream.LoadData( moDesignRect.w );
	result |= stream.LoadData( moDesignRect.h );
	return result == DT_PERSIST_OK ? 1 : 0;
}

u32 EFHudWindow::SaveWindowType( DTBasePersistStream & stream ) {
	s32 result = stream.SaveData( muiId );
	result |= stream.SaveData( muiColorGroup );
	result |= stream.SaveData( mafBorder[0] );
	result |= stream.SaveData( mafBorder[1] );
	result |= stream.SaveData( moDesignRect.x );
	result |= stream.SaveData( moDesignRect.y );
	result |= stream.SaveData( moDesignRect.w );
	result |= stream.SaveData( moDesignRect.h );
	return result == DT_PERSIST_OK ? 1 : 0;
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
