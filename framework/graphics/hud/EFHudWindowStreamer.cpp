#include "framework/graphics/hud/EFHudWindowStreamer.h"

#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/hud/EFHudWindow.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFHudWindowStreamer, "EF_HUD_CONFIG", EF_HUD_WINDOW_STREAMER_CLASS_ID, IT_OBJECT );

s32 EFHudWindowStreamer::GetClassID() const {
	return EF_HUD_WINDOW_STREAMER_CLASS_ID;
}

const char * EFHudWindowStreamer::GetClassName() const {
	return "EF_HUD_CONFIG";
}

s32 EFHudWindowStreamer::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 unused = 0;
	s32 code = stream.LoadData( unused );
	if ( code == DT_PERSIST_OK ) {
		code = stream.LoadData( unused );
	}
	if ( code != DT_PERSIST_OK ) {
		return code;
	}
	EFHudWindow * const root = gpoHudMgr != nullptr ? gpoHudMgr->GetRootWindow() : nullptr;
	if ( root == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return root->LoadWindowAndChild( stream ) != 0 ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END;
}

s32 EFHudWindowStreamer::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 unused = 0;
	stream.LoadData( unused );
	stream.LoadData( unused );
	char * const name = static_cast<char *>( MMCalloc( EF_HUD_CONFIG_NAME_MAX + 1, 1 ) );
	if ( name == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	const s32 code = stream.LoadTextData( name, EF_HUD_CONFIG_NAME_MAX + 1 );
	if ( code == DT_PERSIST_OK && gpoHudMgr != nullptr ) {
		gpoHudMgr->Load( name );
	}
	MMFree( name );
	return code;
}
