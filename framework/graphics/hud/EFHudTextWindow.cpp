#include "framework/graphics/hud/EFHudTextWindow.h"

#include "datatypes/persist/DTBasePersistStream.h"

EFHudTextWindow::EFHudTextWindow( const u32 flags, const u32 priority ) : EFHudTextWindow_SP( flags, priority ) {
}

u32 EFHudTextWindow::LoadWindowType( DTBasePersistStream & stream ) {
	if ( EFHudWindow::LoadWindowType( stream ) == 0 ) {
		return 0;
	}
	s32 result = DT_PERSIST_OK;
	for ( f32 & margin : mafMargins ) {
		result |= stream.LoadData( margin );
	}
	result |= stream.LoadData( muiColor );
	result |= stream.LoadData( muiFont );
	result |= stream.LoadData( muiTextId );
	for ( uintptr_t & argument : mauiArguments ) {
		u32 word = 0;
		result |= stream.LoadData( word );
		argument = word;
	}
	mbStoredArguments = true;
	return result == DT_PERSIST_OK ? 1 : 0;
}

u32 EFHudTextWindow::SaveWindowType( DTBasePersistStream & stream ) {
	s32 result = EFHudWindow::SaveWindowType( stream ) != 0 ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END;
	for ( const f32 & margin : mafMargins ) {
		result |= stream.SaveData( margin );
	}
	result |= stream.SaveData( muiColor );
	result |= stream.SaveData( muiFont );
	result |= stream.SaveData( muiTextId );
	for ( const uintptr_t argument : mauiArguments ) {
		const u32 word = static_cast<u32>( argument );
		result |= stream.SaveData( word );
	}
	return result == DT_PERSIST_OK ? 1 : 0;
}
