#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/maths/DTSphere.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpHAnim.h"

#include <cmath>
#include <cstring>

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

// --- Slots: hierarchy and frames ---

constexpr u32 OWN_FRAME				= 0x7FFFFFFF;
constexpr u32 ID_KIND_SHIFT			= 24;
constexpr u32 GAME_OBJECT_KIND		= 0x2A;
// Below this in every component a move is ignored (2^-23).
constexpr f32 NEGLIGIBLE_MOVE		= 1.0f / 8388608.0f;
// Alignment tolerance: 2^-15 per component.
constexpr s32 ALIGN_EPSILON_EXPONENT	= -15;

bool IsGameObjectId( const u32 id ) {
	return ( id >> ID_KIND_SHIFT ) == GAME_OBJECT_KIND;
}

EFPosData * Thing( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetObjectPosData( id ) : nullptr;
}

// Positioned-thing slots work on the thing's own frame.
DTFrame * ThingFrame( const u32 id ) {
	EFPosData * const thing = Thing( id );
	return thing != nullptr ? thing->mpFrame : nullptr;
}

// Reads take a game object's joint frame, anything else's own frame.
DTFrame * ReadFrame( const u32 id, const u32 joint ) {
	if ( IsGameObjectId( id ) ) {
		EFGameObject * const object = Find( id );
		return object != nullptr ? object->GetObjectFrame( joint ) : nullptr;
	}
	return ThingFrame( id );
}

DTMatrix * Modelling( DTFrame * frame ) {
	return DTAsDTMatrix( &frame->GetRwFrame()->modelling );
}

void UpdateFrame( DTFrame * frame ) {
	RwFrameUpdateObjects( frame->GetRwFrame() );
}

const RwV3d * AsRw( const DTVector3d * v ) {
	return reinterpret_cast<const RwV3d *>( v );
}

void GameObjAddChild( const u32 parentId, const u32 joint, const u32 childId, const u32 flags ) {
	EFApiTrace::mFuncName = "AddChild";
	EFPosData * const child = Thing( childId );
	if ( child != nullptr ) {
		EFGameObject * const object = IsGameObjectId( parentId ) && joint != OWN_FRAME ? Find( parentId ) : nullptr;
		DTFrame * const jointFrame = object != nullptr ? object->GetObjectFrame( joint ) : nullptr;
		if ( jointFrame != nullptr ) {
			object->AddChildFrame( jointFrame, child, flags );
		} else if ( EFPosData * const parent = Thing( parentId ) ) {
			parent->AddChild( child, flags );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjLeaveParent( const u32 id, const u32 flags ) {
	EFApiTrace::mFuncName = "LeaveParent";
	if ( EFPosData * const thing = Thing( id ) ) {
		thing->LeaveParent( flags );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjRemoveAllChildren( const u32 id, const u32 flags ) {
	EFApiTrace::mFuncName = "RemoveAllChildren";
	if ( EFPosData * const thing = Thing( id ) ) {
		thing->RemoveAllChildren( flags );
	}
	EFApiTrace::mFuncName = nullptr;
}

// A row of the read frame's world matrix into out; zeros without one.
DTVector3d * WorldRow( const u32 id, const u32 joint, DTVector3d * out, DTVector3d * ( DTMatrix::*row )() ) {
	DTFrame * const frame = ReadFrame( id, joint );
	if ( out == nullptr ) {
		return out;
	}
	if ( frame == nullptr ) {
		*out = DTVector3d( 0.0f, 0.0f, 0.0f );
		return out;
	}
	*out = *( frame->GetWMatrix()->*row )();
	return out;
}

DTVector3d * GameObjGetPosition( const u32 id, const u32 joint, DTVector3d * out ) {
	return WorldRow( id, joint, out, &DTMatrix::GetPos );
}

DTVector3d * GameObjGetLookAt( const u32 id, const u32 joint, DTVector3d * out ) {
	EFApiTrace::mFuncName = "GetLookAt";
	DTVector3d * const result = WorldRow( id, joint, out, &DTMatrix::GetAt );
	EFApiTrace::mFuncName = nullptr;
	return result;
}

DTVector3d * GameObjGetLookUp( const u32 id, const u32 joint, DTVector3d * out ) {
	EFApiTrace::mFuncName = "GetLookUp";
	DTVector3d * const result = WorldRow( id, joint, out, &DTMatrix::GetUp );
	EFApiTrace::mFuncName = nullptr;
	return result;
}

DTVector3d * GameObjGetLookRight( const u32 id, const u32 joint, DTVector3d * out ) {
	EFApiTrace::mFuncName = "GetLookRight";
	DTVector3d * const result = WorldRow( id, joint, out, &DTMatrix::GetRight );
	EFApiTrace::mFuncName = nullptr;
	return result;
}

void GameObjTranslate( const u32 id, DTVector3d * delta ) {
	EFApiTrace::mFuncName = "GameObjTranslate";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && delta != nullptr &&
		 !( std::fabs( delta->x ) < NEGLIGIBLE_MOVE && std::fabs( delta->y ) < NEGLIGIBLE_MOVE &&
			std::fabs( delta->z ) < NEGLIGIBLE_MOVE ) ) {
		RwFrameTranslate( frame->GetRwFrame(), AsRw( delta ), rwCOMBINEPOSTCONCAT );
	}
	EFApiTrace::mFuncName = nullptr;
}

// The position words become pos, in the parent's space.
void PlaceFrame( DTFrame * frame, const DTVector3d & pos ) {
	*Modelling( frame )->GetPos() = DTVector3d( 0.0f, 0.0f, 0.0f );
	RwFrameTranslate( frame->GetRwFrame(), AsRw( &pos ), rwCOMBINEPOSTCONCAT );
}

// The body's primary primitive starts from its new place instead of
// sweeping from the old one. An index past the table or an empty slot
// means no primary primitive.
void RebasePrimaryPrimitive( const u32 id ) {
	EFGameObject * const object = Find( id );
	EFPhysic * const body = object != nullptr ? object->mpoPhysic : nullptr;
	if ( body == nullptr || gpoPhysicMgr == nullptr ) {
		return;
	}
	EFCollisionModel & model = body->moCollisionModel;
	const u32 index = model.muiPrimaryPrimIndex;
	if ( model.mppoPrimArray == nullptr || index >= model.mui32MaxPrims || model.mppoPrimArray[index] == nullptr ) {
		return;
	}
	EFObjCollisionPrim * const primitive = model.mppoPrimArray[index];
	primitive->PrecalcPrimData();
	model.moPrimaryPrimSavedPos = primitive->moPrimPos;
	model.muiLastPrimaryPrimSaveCount = gpoPhysicMgr->GetCurrentSaveCount();
}

void GameObjSetTranslation( const u32 id, DTVector3d * pos ) {
	EFApiTrace::mFuncName = "SetTranslation";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && pos != nullptr ) {
		PlaceFrame( frame, *pos );
		if ( IsGameObjectId( id ) ) {
			RebasePrimaryPrimitive( id );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjSetTranslationSafe( const u32 id, DTVector3d * pos ) {
	EFApiTrace::mFuncName = "SetTranslationSafe";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && pos != nullptr ) {
		PlaceFrame( frame, *pos );
	}
	EFApiTrace::mFuncName = nullptr;
}

void RotateInPlace( DTFrame * frame, const DTVector3d & axis, const f32 angle ) {
	const DTVector3d position = *Modelling( frame )->GetPos();
	RwFrameRotate( frame->GetRwFrame(), AsRw( &axis ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	*Modelling( frame )->GetPos() = position;
}

void GameObjRotate( const u32 id, DTVector3d * axis, const f32 angle ) {
	EFApiTrace::mFuncName = "Rotate";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && axis != nullptr ) {
		RotateInPlace( frame, *axis, angle );
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

// The point, in the thing's own axes, keeps its place while it turns.
void GameObjRotateAround( const u32 id, DTVector3d * axis, const f32 angle, DTVector3d * point ) {
	EFApiTrace::mFuncName = "RotateAround";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && axis != nullptr && point != nullptr ) {
		DTVector3d before;
		DTVector3d after;
		Modelling( frame )->TransformVectors( point, &before, 1 );
		RwFrameRotate( frame->GetRwFrame(), AsRw( axis ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
		Modelling( frame )->TransformVectors( point, &after, 1 );
		DTVector3d & position = *Modelling( frame )->GetPos();
		position = position - ( after - before );
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjSetRotation( const u32 id, DTVector3d * axis, const f32 angle ) {
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && axis != nullptr ) {
		frame->SetRotation( *axis, angle );
		UpdateFrame( frame );
	}
}

void GameObjAlignAtWith( const u32 id, DTVector3d * dir ) {
	EFApiTrace::mFuncName = "AlignAtWith";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && dir != nullptr ) {
		DTMatrix * const m = Modelling( frame );
		DTVector3d a = *m->GetAt();
		a.Normalize();
		DTVector3d b = *dir;
		b.Normalize();
		const DTVector3d minusB = -b;
		if ( a.IsEqualEpsilon( b, ALIGN_EPSILON_EXPONENT ) ) {
			// Already aligned.
		} else if ( a.IsEqualEpsilon( minusB, ALIGN_EPSILON_EXPONENT ) ) {
			// A half turn about up.
			*m->GetAt() = -*m->GetAt();
			*m->GetRight() = -*m->GetRight();
		} else {
			DTVector3d axis;
			a.Cross( b, &axis );
			axis.Normalize();
			m->Rotate( axis, a.GetAngleTo( b ) );
		}
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

// The first vector goes in as given; the other two are made orthogonal.
void GameObjLookAtAlignUp( const u32 id, DTVector3d * at, DTVector3d * up ) {
	EFApiTrace::mFuncName = "AlignAtWith";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && at != nullptr && up != nullptr ) {
		DTMatrix * const m = Modelling( frame );
		const DTVector3d givenAt = *at;
		DTVector3d right;
		up->Cross( givenAt, &right );
		right.Normalize();
		DTVector3d newUp;
		givenAt.Cross( right, &newUp );
		newUp.Normalize();
		*m->GetAt() = givenAt;
		*m->GetRight() = right;
		*m->GetUp() = newUp;
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjLookUpAlignAt( const u32 id, DTVector3d * up, DTVector3d * at ) {
	EFApiTrace::mFuncName = "AlignAtWith";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && up != nullptr && at != nullptr ) {
		DTMatrix * const m = Modelling( frame );
		const DTVector3d givenUp = *up;
		DTVector3d right;
		givenUp.Cross( *at, &right );
		right.Normalize();
		DTVector3d newAt;
		right.Cross( givenUp, &newAt );
		newAt.Normalize();
		*m->GetUp() = givenUp;
		*m->GetRight() = right;
		*m->GetAt() = newAt;
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjTakeOrientation( const u32 id, const u32 sourceId, const u32 joint ) {
	DTFrame * const frame = ThingFrame( id );
	DTFrame * const source = ReadFrame( sourceId, joint );
	if ( frame == nullptr || source == nullptr ) {
		return;
	}
	const DTMatrix * const world = source->GetWMatrix();
	DTMatrix * const m = Modelling( frame );
	*m->GetRight() = *world->GetRight();
	*m->GetUp() = *world->GetUp();
	*m->GetAt() = *world->GetAt();
	m->oMat.flags = 0;
	UpdateFrame( frame );
}

void GameObjSetIdentity( const u32 id ) {
	EFApiTrace::mFuncName = "SetIdentity";
	if ( DTFrame * const frame = ThingFrame( id ) ) {
		RwFrameSetIdentity( frame->GetRwFrame() );
	}
	EFApiTrace::mFuncName = nullptr;
}

DTFrame * ObjectFrame( const u32 id ) {
	EFGameObject * const object = Find( id );
	return object != nullptr ? object->mpFrame : nullptr;
}

// in may be out.
void GameObjTransformVector( const u32 id, DTVector3d * in, DTVector3d * out ) {
	DTFrame * const frame = ObjectFrame( id );
	if ( frame != nullptr && in != nullptr && out != nullptr ) {
		const DTVector3d copy = *in;
		frame->GetWMatrix()->TransformVectors( &copy, out, 1 );
	}
}

// Without the shared work matrix (made by the graphics manager) nothing
// can be inverted: nothing happens.
void GameObjInvertTransformVector( const u32 id, DTVector3d * in, DTVector3d * out ) {
	DTFrame * const frame = ObjectFrame( id );
	if ( frame == nullptr || in == nullptr || out == nullptr || DTMatrix::mpoWork == nullptr ) {
		return;
	}
	const DTVector3d copy = *in;
	RwMatrixInvert( DTAsRwMatrix( DTMatrix::mpoWork ), DTAsRwMatrix( frame->GetWMatrix() ) );
	DTMatrix::mpoWork->TransformVectors( &copy, out, 1 );
}

void CopyInto( DTFrame * frame, const DTMatrix * m ) {
	if ( frame == nullptr || m == nullptr ) {
		return;
	}
	DTMatrix * const modelling = Modelling( frame );
	if ( modelling != m ) {
		std::memcpy( static_cast<void *>( modelling ), m, sizeof( DTMatrix ) );
	}
	UpdateFrame( frame );
}

void GameObjSetLMat( const u32 id, DTMatrix * m ) {
	CopyInto( ThingFrame( id ), m );
}

DTMatrix * GameObjGetLMat( const u32 id ) {
	DTFrame * const frame = ThingFrame( id );
	return frame != nullptr ? Modelling( frame ) : nullptr;
}

DTMatrix * GameObjGetWMat( const u32 id ) {
	DTFrame * const frame = ThingFrame( id );
	return frame != nullptr ? frame->GetWMatrix() : nullptr;
}

DTFrame * BoneFrame( const u32 id, const u32 joint ) {
	EFGameObject * const object = Find( id );
	return object != nullptr ? object->GetObjectFrame( joint ) : nullptr;
}

void GameObjSetBoneLMat( const u32 id, const u32 joint, DTMatrix * m ) {
	CopyInto( BoneFrame( id, joint ), m );
}

DTMatrix * GameObjGetBoneLMat( const u32 id, const u32 joint ) {
	DTFrame * const frame = BoneFrame( id, joint );
	return frame != nullptr ? Modelling( frame ) : nullptr;
}

DTMatrix * GameObjGetBoneWMat( const u32 id, const u32 joint ) {
	DTFrame * const frame = BoneFrame( id, joint );
	return frame != nullptr ? frame->GetWMatrix() : nullptr;
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
