#include "framework/graphics/hud/EFHud3DWindow.h"

#include "datatypes/persist/DTBasePersistStream.h"

EFHud3DWindow::EFHud3DWindow( const u32 flags, const u32 priority ) : EFHud3DWindow_SP( flags, priority ) {
}

u32 EFHud3DWindow::LoadWindowType( DTBasePersistStream & stream ) {
	if ( EFHudWindow::LoadWindowType( stream ) == 0 ) {
		return 0;
	}
	u32 owner = 0;
	u32 index = 0;
	if ( ( stream.LoadData( owner ) | stream.LoadData( index ) ) != DT_PERSIST_OK ) {
		return 0;
	}
	SetObject( owner, index );
	return 1;
}

u32 EFHud3DWindow::SaveWindowType( DTBasePersistStream & stream ) {
	s32 result = EFHudWindow::SaveWindowType( stream ) != 0 ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END;
	result |= stream.SaveData( muiOwnerId );
	result |= stream.SaveData( muiObjectIndex );
	return result == DT_PERSIST_OK ? 1 : 0;
}
