#include "framework/audio/EFSoundCompletion.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/logic/EFGameLogicMgr.h"

#include <new>

void EFNotifySoundComplete( const EFGameObject * owner, const u32 soundId ) {
	if ( owner == nullptr || gpoGameLogicMgr == nullptr ) {
		return;
	}
	u32 * const block = static_cast<u32 *>( ::operator new( 2 * sizeof( u32 ), std::nothrow ) );
	if ( block == nullptr ) {
		return;
	}
	block[0] = owner->GetUID();
	block[1] = soundId;
	gpoGameLogicMgr->GetNotificationMgr().Notify( NO_SOUND_COMPLETE, owner->GetUID(), soundId, block, true );
}
