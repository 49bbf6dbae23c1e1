#include "framework/graphics/hud/EFHud3DWindow_BC.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"

EFHud3DWindow_BC::EFHud3DWindow_BC( const u32 flags, const u32 priority )
	: EFHudWindow( HUD_WIN_3D, flags, priority ), muiOwnerId( EF_HUD_NO_OWNER ), muiObjectIndex( 0 ) {
}

void EFHud3DWindow_BC::SetObject( const u32 ownerId, const u32 index ) {
	const EFGameObject * const owner = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( ownerId ) : nullptr;
	muiOwnerId = owner != nullptr ? ownerId : EF_HUD_NO_OWNER;
	muiObjectIndex = owner != nullptr ? index : 0;
}

EF3dObj * EFHud3DWindow_BC::Get3dObject() const {
	if ( muiOwnerId == EF_HUD_NO_OWNER || gpoWorldMgr == nullptr ) {
		return nullptr;
	}
	const EFGameObject * const owner = gpoWorldMgr->GetGameObject( muiOwnerId );
	return owner != nullptr ? owner->Get3dObject( muiObjectIndex ) : nullptr;
}
