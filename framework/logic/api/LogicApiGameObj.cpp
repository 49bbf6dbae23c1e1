#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/maths/DTSphere.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiGameObjFrames.h"
#include "framework/logic/api/LogicApiTable.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/world/RpHAnim.h"

namespace {

bool bDone = false;

// Registration target meaning "the object itself".
constexpr u32 NOTIFY_SELF = 0xFFFFFFFF;
// Failure value of the id and group getters.
constexpr u32 NO_ID = 0x7FFFFFFE;

// Game-object slots find their object this way (0x2A000000: the running
// object; group queries: the first object found).
EFGameObject * Find( const u32 id ) {
	return LogicApiFindGameObject( id );
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

// --- Slots: bounds, groups, clipping, shadow and 3D objects ---

// Clip-test word bits: distance and proximity clipping, and the two
// "asked for" bits that stay once set.
constexpr u32 CLIP_DISTANCE				= 0x1;
constexpr u32 CLIP_PROXIMITY			= 0x2;
constexpr u32 CLIP_DISTANCE_ASKED		= 0x4;
constexpr u32 CLIP_PROXIMITY_ASKED		= 0x8;
constexpr u32 BLEND_BITS				= EF_3D_OBJ_ALPHA | EF_3D_OBJ_ADDITIVE | EF_3D_OBJ_MULTIPLIED;

// Slots 40 and 41 alike: the physics body's sphere.
f32 GameObjGetPhysicBSphereRadius( const u32 id ) {
	const EFPhysic * const body = BodyOf( id );
	return body != nullptr ? body->moCollisionModel.moPhysicBSphere.mfRadius : 0.0f;
}

EF3dObj * First3dObject( const u32 id ) {
	EFGameObject * const object = Find( id );
	return object != nullptr ? object->Get3dObject( 0 ) : nullptr;
}

f32 GameObjGetRenderBSphere( const u32 id, DTVector3d * centre, f32 * radius ) {
	EF3dObj * const model = First3dObject( id );
	const DTSphere * const sphere = model != nullptr ? model->GetClippingBSphere() : nullptr;
	if ( sphere == nullptr ) {
		return 0.0f;
	}
	if ( centre != nullptr ) {
		*centre = sphere->moPos;
	}
	if ( radius != nullptr ) {
		*radius = sphere->mfRadius;
	}
	return sphere->mfRadius;
}

void GameObjSetRenderBSphere( const u32 id, DTVector3d * centre, const f32 radius ) {
	EF3dObj * const model = First3dObject( id );
	if ( model != nullptr && centre != nullptr ) {
		DTSphere sphere( *centre, radius );
		model->SetClippingBSphere( sphere );
	}
}

void GameObjSetGroupBitMask( const u32 id, const u32 mask ) {
	if ( EFGameObject * const object = Find( id ) ) {
		object->muiGroupMask = mask;
	}
}

void GameObjSetGroupID( const u32 id, const u32 group ) {
	if ( EFGameObject * const object = Find( id ) ) {
		object->muiGroupID = group;
	}
}

u32 GameObjGetGroupBitMask( const u32 id ) {
	const EFGameObject * const object = Find( id );
	return object != nullptr ? object->muiGroupMask : NO_ID;
}

u32 GameObjGetGroupID( const u32 id ) {
	const EFGameObject * const object = Find( id );
	return object != nullptr ? object->muiGroupID : NO_ID;
}

// Switching a kind of clipping on takes it only when its parameters can
// clip; switching off clears exactly the bits given.
void GameObjEnableClipping( const u32 id, const u32 enable, const u32 which ) {
	EFGameObject * const object = Find( id );
	if ( object == nullptr ) {
		return;
	}
	u32& tests = object->muiClipTests;
	if ( enable == 0 ) {
		tests &= ~which;
		return;
	}
	if ( which & CLIP_DISTANCE ) {
		const bool clips = object->moClipping.clipParams.oDists[0].fDist > 0.0f;
		tests = clips ? tests | CLIP_DISTANCE : tests & ~CLIP_DISTANCE;
		tests |= CLIP_DISTANCE_ASKED;
	}
	if ( which & CLIP_PROXIMITY ) {
		const EFProximityClippingParams& proximity = object->moProximityClipping.proxClipParams;
		const bool clips = proximity.uiObjectID != 0 && proximity.fDistance != 0.0f;
		tests = clips ? tests | CLIP_PROXIMITY : tests & ~CLIP_PROXIMITY;
		tests |= CLIP_PROXIMITY_ASKED;
	}
}

// The object's clumps leave the level's library world with it and come
// back with it; the utility bit says where they are.
void GameObjEnableObject( const u32 id, const u32 enable ) {
	EFGameObject * const object = Find( id );
	if ( object == nullptr ) {
		return;
	}
	gpoWorldMgr->SetGameObjectEnabled( object, enable != 0 );
	const bool inWorld = ( object->muiUtilFlag & EF_UTIL_CLUMPS_IN_WORLD ) != 0;
	if ( ( enable != 0 ) == inWorld ) {
		return;
	}
	gpoWorldMgr->MoveClumps( *object, enable != 0 );
	object->muiUtilFlag ^= EF_UTIL_CLUMPS_IN_WORLD;
}

void GameObjGetClippingParams( const u32 id, EFClippingParams * out ) {
	const EFGameObject * const object = Find( id );
	if ( object != nullptr && out != nullptr ) {
		object->GetClippingParams( out );
	}
}

void GameObjSetClippingParams( const u32 id, EFClippingParams * in, const u32 recursive ) {
	EFGameObject * const object = Find( id );
	if ( object != nullptr && in != nullptr ) {
		object->SetClippingParams( in, recursive );
	}
}

void GameObjGetProximityClippingParams( const u32 id, EFProximityClippingParams * out ) {
	const EFGameObject * const object = Find( id );
	if ( object != nullptr && out != nullptr ) {
		object->GetProximityClippingParams( out );
	}
}

void GameObjSetProximityClippingParams( const u32 id, EFProximityClippingParams * in ) {
	EFGameObject * const object = Find( id );
	if ( object != nullptr && in != nullptr ) {
		object->SetProximityClippingParams( in );
	}
}

void GameObjSetShadowParams( const u32 id, _ShadowParams * in ) {
	EFGameObject * const object = Find( id );
	if ( object != nullptr && in != nullptr ) {
		object->mShadowData = *in;
	}
}

u32 GameObjGetShadowParams( const u32 id, _ShadowParams * out ) {
	const EFGameObject * const object = Find( id );
	if ( object == nullptr || out == nullptr ) {
		return 0;
	}
	*out = object->mShadowData;
	return 1;
}

void GameObjDisplayInfo( u32, char *, u32, u32 ) {
}

EF3dObj * Nth3dObject( const u32 id, const u32 index ) {
	EFGameObject * const object = Find( id );
	return object != nullptr ? object->Get3dObject( index ) : nullptr;
}

void GameObjSetTransparentPriority( const u32 id, const u32 index, const u32 priority ) {
	if ( EF3dObj * const model = Nth3dObject( id, index ) ) {
		model->muiTransparentPriority = priority;
	}
}

u32 GameObjGetTransparentPriority( const u32 id, const u32 index ) {
	const EF3dObj * const model = Nth3dObject( id, index );
	return model != nullptr ? model->muiTransparentPriority : 0;
}

u32 GameObjIsInCutScene( const u32 id, const u32 cutScene ) {
	const EFGameObject * const object = Find( id );
	return object != nullptr ? EFCutScenePlayer::mInstance.IsInCutScene( object->GetUID(), cutScene ) : 0;
}

u32 GameObjGetNbJoints( const u32 id ) {
	const EF3dObj * const model = First3dObject( id );
	if ( model == nullptr || model->mpHierarchy == nullptr || model->mpHierarchy->numNodes < 0 ) {
		return 0;
	}
	return static_cast<u32>( model->mpHierarchy->numNodes );
}

void GameObjSetTransparentType( const u32 id, const u32 index, const u32 type ) {
	EF3dObj * const model = Nth3dObject( id, index );
	if ( model == nullptr ) {
		return;
	}
	u32 blend = 0;
	if ( type == 1 ) {
		blend = EF_3D_OBJ_ALPHA;
	} else if ( type == 2 ) {
		blend = EF_3D_OBJ_ADDITIVE;
	} else if ( type == 3 ) {
		blend = EF_3D_OBJ_MULTIPLIED;
	}
	model->mui3dObjState = ( model->mui3dObjState & ~BLEND_BITS ) | blend;
}

}

EFGameObject * LogicApiFindGameObject( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, nullptr ) : nullptr;
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
	APIgameobj.AddChild = GameObjAddChild;
	APIgameobj.LeaveParent = GameObjLeaveParent;
	APIgameobj.RemoveAllChildren = GameObjRemoveAllChildren;
	APIgameobj.GetPosition = GameObjGetPosition;
	APIgameobj.GetLookAt = GameObjGetLookAt;
	APIgameobj.GetLookUp = GameObjGetLookUp;
	APIgameobj.GetLookRight = GameObjGetLookRight;
	APIgameobj.Translate = GameObjTranslate;
	APIgameobj.SetTranslation = GameObjSetTranslation;
	APIgameobj.Rotate = GameObjRotate;
	APIgameobj.RotateAround = GameObjRotateAround;
	APIgameobj.SetRotation = GameObjSetRotation;
	APIgameobj.AlignAtWith = GameObjAlignAtWith;
	APIgameobj.LookAtAlignUp = GameObjLookAtAlignUp;
	APIgameobj.LookUpAlignAt = GameObjLookUpAlignAt;
	APIgameobj.TakeOrientation = GameObjTakeOrientation;
	APIgameobj.SetIdentity = GameObjSetIdentity;
	APIgameobj.TransformVector = GameObjTransformVector;
	APIgameobj.InvertTransformVector = GameObjInvertTransformVector;
	APIgameobj.SetTranslationSafe = GameObjSetTranslationSafe;
	APIgameobj.SetLMat = GameObjSetLMat;
	APIgameobj.GetLMat = GameObjGetLMat;
	APIgameobj.GetWMat = GameObjGetWMat;
	APIgameobj.SetBoneLMat = GameObjSetBoneLMat;
	APIgameobj.GetBoneLMat = GameObjGetBoneLMat;
	APIgameobj.GetBoneWMat = GameObjGetBoneWMat;
	APIgameobj.GetBoundingSphereRadius = GameObjGetPhysicBSphereRadius;
	APIgameobj.GetPhysicBSphereRadius = GameObjGetPhysicBSphereRadius;
	APIgameobj.GetRenderBSphere = GameObjGetRenderBSphere;
	APIgameobj.SetRenderBSphere = GameObjSetRenderBSphere;
	APIgameobj.SetGroupBitMask = GameObjSetGroupBitMask;
	APIgameobj.SetGroupID = GameObjSetGroupID;
	APIgameobj.GetGroupBitMask = GameObjGetGroupBitMask;
	APIgameobj.GetGroupID = GameObjGetGroupID;
	APIgameobj.EnableClipping = GameObjEnableClipping;
	APIgameobj.EnableObject = GameObjEnableObject;
	APIgameobj.GetClippingParams = GameObjGetClippingParams;
	APIgameobj.SetClippingParams = GameObjSetClippingParams;
	APIgameobj.GetProximityClippingParams = GameObjGetProximityClippingParams;
	APIgameobj.SetProximityClippingParams = GameObjSetProximityClippingParams;
	APIgameobj.SetShadowParams = GameObjSetShadowParams;
	APIgameobj.GetShadowParams = GameObjGetShadowParams;
	APIgameobj.DisplayInfo = GameObjDisplayInfo;
	APIgameobj.SetTransparentPriority = GameObjSetTransparentPriority;
	APIgameobj.GetTransparentPriority = GameObjGetTransparentPriority;
	APIgameobj.IsInCutScene = GameObjIsInCutScene;
	APIgameobj.GetNbJoints = GameObjGetNbJoints;
	APIgameobj.SetTransparentType = GameObjSetTransparentType;
}
