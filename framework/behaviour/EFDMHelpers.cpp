#include "framework/behaviour/EFDMHelpers.h"

#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTVector3d.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"

namespace {

// The record goes on the stack: delivery is immediate, the notification
// manager does not keep it.
void SendState( const EFPhysicModule & module, const u32 state, const u32 changed ) {
	EFPhysicData * const owner = module.mpoOwner != nullptr ? module.mpoOwner->GetOwner() : nullptr;
	if ( owner == nullptr ) {
		return;
	}
	DMStateChangeRecord record = { module.mui32Handle, module.mui32Type, state, changed };
	owner->Notify( NO_PHYSIC_DMSTATECHANGE, &record, false );
}

}

void DMChangeState( EFPhysicModule & module, const u32 state ) {
	const u32 changed = module.mui32State ^ state;
	module.mui32State = state;
	if ( ( changed & module.mui32StateChangeNotifyBits ) != 0 ) {
		SendState( module, state, changed );
	}
}

void DMNotifyExclusiveState( const EFPhysicModule & module, const u32 value ) {
	SendState( module, value, value );
}

u32 DMStoredObjectId( const u32 id ) {
	if ( id != EF_DM_RUNNING_OBJECT_ID ) {
		return id;
	}
	const EFGameObject * const running = EFWorld::GetRunningGameObject();
	return running != nullptr ? running->GetUID() : id;
}

bool DMRanInPreviousFrame( const u32 last ) {
	const EFPhysicMgr & manager = EFPhysicMgr::moPhysicMgr;
	const u32 frame = manager.GetCurrentSaveCount();
	if ( frame == last + 1 ) {
		return true;
	}
	return manager.GetPreviousFrameFlag() != 0 && frame - ( last + 1 ) == manager.GetFlaggedFrameCount();
}

DTFrame * DMOwnerFrame( const EFPhysicModule & module ) {
	EFPhysicData * const owner = module.mpoOwner != nullptr ? module.mpoOwner->GetOwner() : nullptr;
	return owner != nullptr ? owner->GetFrame() : nullptr;
}

const RwMatrix * DMOwnerLTM( const EFPhysicModule & module ) {
	DTFrame * const frame = DMOwnerFrame( module );
	return frame != nullptr ? RwFrameGetLTM( frame->GetRwFrame() ) : nullptr;
}

DTVector3d DMTransformVector( const DTVector3d & v, const RwMatrix * matrix ) {
	if ( matrix == nullptr ) {
		return v;
	}
	DTVector3d out;
	RwV3dTransformVectors( DTAsRwV3d( &out ), DTAsRwV3d( &v ), 1, matrix );
	return out;
}

DTVector3d DMObjectPosition( const EFGameObject & object ) {
	DTFrame * const frame = object.GetFrame();
	if ( frame == nullptr ) {
		return DTVector3d();
	}
	const RwMatrix * const ltm = RwFrameGetLTM( frame->GetRwFrame() );
	return DTVector3d( ltm->pos.x, ltm->pos.y, ltm->pos.z );
}

EFGameObject * DMOwnerObject( const EFPhysicModule & module ) {
	EFPhysicData * const owner = module.mpoOwner != nullptr ? module.mpoOwner->GetOwner() : nullptr;
	return owner != nullptr ? owner->mpGameObjectOwner : nullptr;
}

EFGameObject * DMFindObject( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, nullptr ) : nullptr;
}

const RwMatrix * DMCameraLTM() {
	EFCamera * const camera = gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( 0 ) : nullptr;
	if ( camera == nullptr || camera->GetFrame() == nullptr ) {
		return nullptr;
	}
	return RwFrameGetLTM( camera->GetFrame()->GetRwFrame() );
}

const ActionState * DMActionState( const u32 config, const u32 action ) {
	const EFInputAction * const found = gpoInputMgr != nullptr
											? gpoInputMgr->InputActionGet( static_cast<s32>( config ), static_cast<s32>( action ) )
											: nullptr;
	return found != nullptr ? &found->GetState() : nullptr;
}

u32 DMOwnerId( const EFPhysicModule & module ) {
	const EFPhysicData * const owner = module.mpoOwner != nullptr ? module.mpoOwner->GetOwner() : nullptr;
	return owner != nullptr ? owner->GetUID() : 0;
}

void DMRegisterLogicCallback( const EFPhysicModule & module, const u32 type, const u32 callback ) {
	if ( gpoGameLogicMgr == nullptr ) {
		return;
	}
	const u32 owner = DMOwnerId( module );
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( static_cast<EFNotifyType_e>( type ), owner, owner,
														   &EFGameLogicMgr::ExecLogicCallback,
														   EFNewLogicCallbackRecord( DMOwnerObject( module ), callback ) );
}
