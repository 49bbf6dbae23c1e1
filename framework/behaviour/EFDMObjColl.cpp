#include "framework/behaviour/EFDMObjColl.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysic.h"

#include <new>

namespace {

constexpr u32 TYPE_ID = 35;
constexpr u32 NO_TAG = 0xFFFFFFFF;

// The callback's data: the instance whose body holds the modules.
struct Registration {
	EFPhysicData *	poOwner;
	u32				ui32Reserved;
};

}

EFDMObjColl::EFDMObjColl( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32Tag( NO_TAG ), mui32OtherTag( NO_TAG ), mui32OtherObject( 0 ),
	  mui32ContactSeen( 0 ) {}

void EFDMObjColl::SetParams( void * params ) {
	mui32ContactSeen = 0;
	if ( params == nullptr ) {
		return;
	}
	const DMObjCollParams & record = *static_cast<const DMObjCollParams *>( params );
	mui32Tag = record.ui32Tag;
	mui32OtherTag = record.ui32OtherTag;
	mui32OtherObject = DMStoredObjectId( record.ui32OtherObjId );
	EFPhysicData * const owner = mpoOwner->GetOwner();
	if ( gpoGameLogicMgr == nullptr || owner == nullptr ) {
		return;
	}
	void * const memory = ::operator new( sizeof( Registration ) );
	Registration * const data = new ( memory ) Registration{ owner, 0 };
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_DM_OBJCOL, owner->GetUID(), owner->GetUID(),
														   &CollisionCB, data );
}

void EFDMObjColl::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMObjCollParams & record = *static_cast<DMObjCollParams *>( params );
	record.ui32Tag = mui32Tag;
	record.ui32OtherTag = mui32OtherTag;
	record.ui32OtherObjId = mui32OtherObject;
}

s32 EFDMObjColl::CollisionCB( void * callerData, void * eventData ) {
	const Registration * const data = static_cast<const Registration *>( callerData );
	const EFObjectCollisionRecord * const record = static_cast<const EFObjectCollisionRecord *>( eventData );
	if ( data == nullptr || record == nullptr || data->poOwner == nullptr || data->poOwner->mpoPhysic == nullptr ) {
		return 0;
	}
	const EFPhysic & body = *data->poOwner->mpoPhysic;
	for ( EFPhysicModule * found = body.FindModule( TYPE_ID, nullptr ); found != nullptr;
		  found = body.FindModule( TYPE_ID, found ) ) {
		EFDMObjColl & module = *static_cast<EFDMObjColl *>( found );
		if ( record->ui32Tag == module.mui32Tag && record->ui32OtherId == module.mui32OtherObject &&
			 record->ui32OtherTag == module.mui32OtherTag ) {
			module.mui32ContactSeen = 1;
		}
	}
	return 0;
}

void EFDMObjColl::PostColUpdate( EFCollisionStage * stage, f32 ) {
	if ( stage == nullptr ) {
		return;
	}
	if ( ( mui32State & 1 ) == 0 && mui32ContactSeen == 1 ) {
		mui32State = 0;
		DMChangeState( *this, 1 );
	} else if ( ( mui32State & 1 ) != 0 && mui32ContactSeen == 0 ) {
		mui32State = 0;
		DMChangeState( *this, 2 );
	}
	mui32ContactSeen = 0;
}
