#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/file/DTFile.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"
#include "framework/physics/EFPhysic.h"

namespace {

bool bDone = false;

// Registration target meaning "the object itself".
constexpr u32 NOTIFY_SELF = 0xFFFFFFFF;
// Failure value of the id and group getters.
constexpr u32 NO_ID = 0x7FFFFFFE;

// Game-object slots find their object this way (0x2A000000: the running
// object; group queries: the first object found).
EFGameObject * Find( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, nullptr ) : nullptr;
}

EFPhysic * BodyOf( const u32 id ) {
	EFGameObject * const object = Find( id );
	return object != nullptr ? object->mpoPhysic : nullptr;
}

// --- Slots: logic states and flags ---

void GameObjChangeState( const u32 state ) {
	EFApiTrace::mFuncName = "ChangeState";
	EFLogicInstance * const instance = EFLogicStack::GetRunningInstance();
	if ( instance == nullptr ) {
		DTPrintf( "ChangeState OUTSIDE A LOGIC CALL!!!\n" );
		EFApiTrace::mFuncName = nullptr;
		return;
	}
	// Leaves the running call.
	instance->ChangeState( state );
}

void GameObjSetNextState( const u32 id, const u32 state ) {
	EFApiTrace::mFuncName = "SetNextState";
	if ( EFGameObject * const object = Find( id ) ) {
		object->moLogicInstance.SetNextState( state );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjBreak() {
	EFApiTrace::mFuncName = "ApiBreak";
	EFLogicInstance * const instance = EFLogicStack::GetRunningInstance();
	if ( instance == nullptr ) {
		DTPrintf( "Break OUTSIDE A LOGIC CALL!!!\n" );
		EFApiTrace::mFuncName = nullptr;
		return;
	}
	instance->Break();
}

void GameObjSleep( const u32 id, const f32 seconds ) {
	EFApiTrace::mFuncName = "Sleep";
	if ( EFGameObject * const object = Find( id ) ) {
		object->moLogicInstance.Sleep( seconds );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjSetLogicFlag( const u32 id, const u32 bits ) {
	if ( EFGameObject * const object = Find( id ) ) {
		object->SetLogicFlags( object->muiLogicFlags | bits );
	}
}

void GameObjResetLogicFlag( const u32 id, const u32 bits ) {
	if ( EFGameObject * const object = Find( id ) ) {
		object->SetLogicFlags( object->muiLogicFlags & ~bits );
	}
}

u32 GameObjLaunchLatant( const u32 templateId ) {
	EFApiTrace::mFuncName = "LaunchLatant";
	const u32 copy = gpoGameLogicMgr != nullptr ? gpoGameLogicMgr->LaunchLatant( templateId ) : 0;
	EFApiTrace::mFuncName = nullptr;
	return copy;
}

void GameObjSetGameObjectVisible( const u32 id, const s32 visible ) {
	EFApiTrace::mFuncName = "SetGameObjectVisible";
	if ( EFGameObject * const object = Find( id ) ) {
		object->SetGameObjectVisible( visible != 0 );
	}
	EFApiTrace::mFuncName = nullptr;
}

s32 GameObjIsGameObjectVisible( const u32 id ) {
	EFApiTrace::mFuncName = "IsGameObjectVisible";
	const EFGameObject * const object = Find( id );
	const s32 visible = object != nullptr ? object->IsGameObjectVisible() : -1;
	EFApiTrace::mFuncName = nullptr;
	return visible;
}

// The world keeps one entry however often an object is killed.
void GameObjKillObject( const u32 id ) {
	if ( EFGameObject * const object = Find( id ) ) {
		gpoWorldMgr->RequestDeletion( object );
	}
}

void * GameObjGetGameBuffer( const u32 bufferId, const u32 size, const u32 persistent ) {
	EFApiTrace::mFuncName = "GetGameBuffer";
	void * const data = gpoGameLogicMgr != nullptr ? gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( bufferId, size, persistent ) : nullptr;
	EFApiTrace::mFuncName = nullptr;
	return data;
}

void GameObjFreeGameBuffer( const u32 bufferId ) {
	EFApiTrace::mFuncName = "FreeGameBuffer";
	if ( gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->GetGameMemoryMgr().FreeGameBuffer( bufferId );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjSetContextFlag( const u32 id, const u32 context ) {
	EFApiTrace::mFuncName = "SetContextFlag";
	if ( EFPhysic * const body = BodyOf( id ) ) {
		body->mui32CurrentContext = context;
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 GameObjGetContextFlag( const u32 id ) {
	EFApiTrace::mFuncName = "GetContextFlag";
	const EFPhysic * const body = BodyOf( id );
	const u32 context = body != nullptr ? body->mui32CurrentContext : 0;
	EFApiTrace::mFuncName = nullptr;
	return context;
}

u32 GameObjGetCurrentStateID( const u32 id ) {
	EFApiTrace::mFuncName = "GetCurrentStateID";
	const EFGameObject * const object = Find( id );
	const u32 state = object != nullptr ? object->moLogicInstance.muiCurrentState : 0xFFFFFFFF;
	EFApiTrace::mFuncName = nullptr;
	return state;
}

// --- Slots: messages, ids and notifications ---

u32 GameObjSendMessageTo( const u32 id, ObjectRetrieverParams * params, const u32 msg, const u32 param, void * data ) {
	EFApiTrace::mFuncName = "GameObjSendMessageTo";
	const s32 sent = gpoGameLogicMgr != nullptr ? gpoGameLogicMgr->SendLogicMessageTo( id, msg, param, data, params ) : 0;
	EFApiTrace::mFuncName = nullptr;
	return static_cast<u32>( sent );
}

u32 GameObjGetID( const u32 id, ObjectRetrieverParams * params ) {
	EFApiTrace::mFuncName = "GetID";
	const EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, params ) : nullptr;
	const u32 found = object != nullptr ? object->GetUID() : NO_ID;
	EFApiTrace::mFuncName = nullptr;
	return found;
}

void * GameObjGetMagicPreset( const u32 id, const u32 key ) {
	EFApiTrace::mFuncName = "APIGameObj::GetMagicPreset()";
	EFGameObject * const object = Find( id );
	void * const preset = object != nullptr ? object->GetMagicPreset( key ) : nullptr;
	EFApiTrace::mFuncName = nullptr;
	return preset;
}

// Type 17 asks the animation manager for its post-update notification;
// unregistering leaves the request on.
void RequestPostAnimation( EFGameObject * object, const u32 type ) {
	if ( type == NO_POST_ANIMATION ) {
		object->moAnimationMgr.mbSendPostUpdateNotif = 1;
	}
}

void GameObjRegisterNotify( const u32 id, const u32 target, const u32 type, const u32 userData ) {
	EFApiTrace::mFuncName = "RegisterNotify";
	EFGameObject * const object = Find( id );
	if ( object != nullptr && gpoGameLogicMgr != nullptr ) {
		// A game object is its own owner; an instance registers for what
		// the target sends to its owner.
		const u32 self = object->GetUID();
		const EFGameObject * const owner = object->mpGameObjectOwner != nullptr ? object->mpGameObjectOwner : object;
		const u32 registrant = target == NOTIFY_SELF ? self : owner->GetUID();
		const u32 sender = target == NOTIFY_SELF ? self : target;
		// The manager refuses types it does not know and frees the record.
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( static_cast<EFNotifyType_e>( type ), registrant, sender,
															  EFGameLogicMgr::ExecLogicCallback,
															  EFNewLogicCallbackRecord( object, userData ) );
		RequestPostAnimation( object, type );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjUnregisterNotify( const u32 id, const u32 target, const u32 type ) {
	EFApiTrace::mFuncName = "UnregisterNotify";
	EFGameObject * const object = Find( id );
	if ( object != nullptr && gpoGameLogicMgr != nullptr ) {
		const u32 self = object->GetUID();
		gpoGameLogicMgr->GetNotificationMgr().UnregisterNotify( static_cast<EFNotifyType_e>( type ), self,
																target == NOTIFY_SELF ? self : target );
		RequestPostAnimation( object, type );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjUnregisterAllNotify( const u32 id ) {
	EFApiTrace::mFuncName = "UnregisterNotify";
	const EFGameObject * const object = Find( id );
	if ( object != nullptr && gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->GetNotificationMgr().UnregisterAllOwnerNotify( object->GetUID() );
	}
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiGameObjNotInit() {
	bDone = true;
}

bool ApiGameObjNotInitDone() {
	return bDone;
}

constexpr _api_gameobj APIgameobjStubs = MakeLogicApiStubs<_api_gameobj, ApiGameObjNotInit>();
constinit _api_gameobj APIgameobj = MakeLogicApiStubs<_api_gameobj, ApiGameObjNotInit>();

void Init_gameobj() {
	InitAPI( &APIgameobj, LOGIC_API_GAME_OBJ_SLOTS, &APIgameobjStubs );
	APIgameobj.ChangeState = GameObjChangeState;
	APIgameobj.SetNextState = GameObjSetNextState;
	APIgameobj.Break = GameObjBreak;
	APIgameobj.Sleep = GameObjSleep;
	APIgameobj.SetLogicFlag = GameObjSetLogicFlag;
	APIgameobj.ResetLogicFlag = GameObjResetLogicFlag;
	APIgameobj.LaunchLatant = GameObjLaunchLatant;
	APIgameobj.SetGameObjectVisible = GameObjSetGameObjectVisible;
	APIgameobj.IsGameObjectVisible = GameObjIsGameObjectVisible;
	APIgameobj.KillObject = GameObjKillObject;
	APIgameobj.GetGameBuffer = GameObjGetGameBuffer;
	APIgameobj.FreeGameBuffer = GameObjFreeGameBuffer;
	APIgameobj.SetContextFlag = GameObjSetContextFlag;
	APIgameobj.GetContextFlag = GameObjGetContextFlag;
	APIgameobj.GetCurrentStateID = GameObjGetCurrentStateID;
	APIgameobj.SendMessageTo = GameObjSendMessageTo;
	APIgameobj.GetID = GameObjGetID;
	APIgameobj.GetMagicPreset = GameObjGetMagicPreset;
	APIgameobj.RegisterNotify = GameObjRegisterNotify;
	APIgameobj.UnregisterNotify = GameObjUnregisterNotify;
	APIgameobj.UnregisterAllNotify = GameObjUnregisterAllNotify;
}
