#include "framework/core/world/EFInstance.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "platform/os/OS.h"

#include <new>

EFInstance::EFInstance() : muiFlags( 0 ), mpGameObjectOwner( nullptr ) {
}

EFInstance::~EFInstance() {
}

bool EFInstance::Initialize( const DTCreationParameters & ) {
	return true;
}

void EFInstance::SetRessource( EFRessource * ) {
}

void EFInstance::Terminate() {
}

EFInstance * EFInstance::ShallowCopy() {
	return nullptr;
}

void EFInstance::Notify( const EFNotifyType_e type, void * data, const bool deferred ) {
	if ( mpGameObjectOwner == nullptr || gpoGameLogicMgr == nullptr ) {
		OSReport( "EFInstance::Notify: instance %08x has no owner; notification %d dropped\n", muiUID,
				  static_cast<s32>( type ) );
		// A queued event's data belongs to the manager, which frees it
		// after delivery except for the animation types.
		if ( deferred && type != NO_ANIMATION_STOP && type != NO_ANIMATION_LAST_FRAME ) {
			::operator delete( data );
		}
		return;
	}
	gpoGameLogicMgr->GetNotificationMgr().Notify( type, mpGameObjectOwner->GetUID(), muiUID, data, deferred );
}
