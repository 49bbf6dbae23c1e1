#include "framework/behaviour/EFDMPlugin.h"

#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysic.h"

EFDMPlugin::EFDMPlugin( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32PreIndex( EF_DM_PLUGIN_NONE ), mui32PostIndex( EF_DM_PLUGIN_NONE ),
	  mui32ObjectId( 0 ), mpoNotificationMgr( nullptr ) {
}

void EFDMPlugin::SetParams( void * params ) {
	mpoNotificationMgr = gpoGameLogicMgr != nullptr ? &gpoGameLogicMgr->GetNotificationMgr() : nullptr;
	if ( params == nullptr ) {
		return;
	}
	const DMPluginParams & record = *static_cast<const DMPluginParams *>( params );
	mui32PreIndex = record.ui32PreIndex;
	mui32PostIndex = record.ui32PostIndex;
	const EFPhysicData * const owner = mpoOwner != nullptr ? mpoOwner->GetOwner() : nullptr;
	mui32ObjectId = owner != nullptr ? owner->GetUID() : 0;
	EFGameObject * const object = gpoWorldMgr != nullptr && owner != nullptr
									  ? gpoWorldMgr->GetGameObject( mui32ObjectId, nullptr ) : nullptr;
	// A callback on no object would run on nothing: nothing is registered.
	if ( object == nullptr || mpoNotificationMgr == nullptr ) {
		return;
	}
	const struct {
		EFNotifyType_e	type;
		u32				index;
	} hooks[] = { { NO_PHYSIC_PREUPDATE, mui32PreIndex }, { NO_PHYSIC_POSTUPDATE, mui32PostIndex } };
	for ( const auto & hook : hooks ) {
		if ( hook.index != EF_DM_PLUGIN_NONE ) {
			mpoNotificationMgr->RegisterNotify( hook.type, mui32ObjectId, mui32ObjectId,
												&EFGameLogicMgr::ExecLogicCallback,
												EFNewLogicCallbackRecord( object, hook.index ) );
		}
	}
}

void EFDMPlugin::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMPluginParams & record = *static_cast<DMPluginParams *>( params );
	record.ui32PreIndex = mui32PreIndex;
	record.ui32PostIndex = mui32PostIndex;
}

u32 EFDMPlugin::PreColUpdate( EFDynamicPhysic &, f32 dt ) {
	if ( mui32PreIndex != EF_DM_PLUGIN_NONE && mpoNotificationMgr != nullptr ) {
		mpoNotificationMgr->Notify( NO_PHYSIC_PREUPDATE, mui32ObjectId, mui32ObjectId, &dt, false );
	}
	return 1;
}

void EFDMPlugin::PostColUpdate( EFCollisionStage *, f32 dt ) {
	if ( mui32PostIndex != EF_DM_PLUGIN_NONE && mpoNotificationMgr != nullptr ) {
		mpoNotificationMgr->Notify( NO_PHYSIC_POSTUPDATE, mui32ObjectId, mui32ObjectId, &dt, false );
	}
}
