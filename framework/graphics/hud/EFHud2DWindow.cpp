#include "framework/graphics/hud/EFHud2DWindow.h"

#include "datatypes/persist/DTBasePersistStream.h"

EFHud2DWindow::EFHud2DWindow( const u32 flags, const u32 priority ) : EFHud2DWindow_SP( flags, priority ) {
}

u32 EFHud2DWindow::LoadWindowType( DTBasePersistStream & stream ) {
	if ( EFHudWindow::LoadWindowType( stream ) == 0 ) {
		return 0;
	}
	char name[EF_HUD_TEXTURE_NAME_MAX + 1] = {};
	s32 result = stream.LoadData( mfUTiling );
	result |= stream.LoadData( mfVTiling );
	result |= stream.LoadData( muiColorGroup2D );
	result |= stream.LoadTextData( name, static_cast<s32>( sizeof( name ) ) );
	if ( result != DT_PERSIST_OK ) {
		return 0;
	}
	SetTexture( name );
	return 1;
}

u32 EFHud2DWindow::SaveWindowType( DTBasePersistStream & stream ) {
	const char * const name = GetTexture();
	s32 result = EFHudWindow::SaveWindowType( stream ) != 0 ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END;
	result |= stream.SaveData( mfUTiling );
	result |= stream.SaveData( mfVTiling );
	result |= stream.SaveData( muiColorGroup2D );
	result |= stream.SaveTextData( name != nullptr ? name : "" );
	return result == DT_PERSIST_OK ? 1 : 0;
}
