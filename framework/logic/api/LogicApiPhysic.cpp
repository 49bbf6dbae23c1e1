#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMInterface.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiPhysicJump.h"
#include "framework/logic/api/LogicApiTable.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"

namespace {

bool bDone = false;

// Result of the offset slots when the object, body or primitive is
// missing.
constexpr u32 PRIM_MISSING = 0xFFFFFFFF;

EFGameObject * ObjectOf( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id ) : nullptr;
}

EFPhysic * BodyOf( const u32 id ) {
	EFGameObject * const object = ObjectOf( id );
	return object != nullptr ? object->mpoPhysic : nullptr;
}

// The body of the game object that owns the object's parent, when that
// body carries its children's velocities (0x400000); else null.
const EFPhysic * CarrierOf( const EFGameObject & object ) {
	const EFPosData * const parent = object.mpParent;
	if ( parent == nullptr || parent->mpGameObjectOwner == nullptr ) {
		return nullptr;
	}
	const EFPhysic * const carrier = parent->mpGameObjectOwner->mpoPhysic;
	return carrier != nullptr && ( carrier->mui32PhysicFlags & EF_PHYSIC_CARRIER ) != 0 ? carrier : nullptr;
}

// The primitive tagged tag on the object's body, or null.
EFObjCollisionPrim * TaggedPrim( const u32 object, const u32 tag ) {
	const EFPhysic * const body = BodyOf( object );
	if ( body == nullptr ) {
		return nullptr;
	}
	const s32 index = body->moCollisionModel.PrimTagToPrimIndex( tag );
	return index < 0 ? nullptr : body->moCollisionModel.GetPrimitive( static_cast<u32>( index ) );
}

// The tagged primitive when index names one of its attribute words.
EFObjCollisionPrim * AttribPrim( const u32 object, const u32 tag, const u32 index ) {
	return index < EF_COL_PRIM_ATTRIB_WORDS ? TaggedPrim( object, tag ) : nullptr;
}

void CopyAttribs( const EnvPrimAttribs & from, EnvPrimAttribs & to ) {
	to.ui32Flags = from.ui32Flags;
	to.ui32DetectedBy = from.ui32DetectedBy;
	to.ui32UDDetectedBy = from.ui32UDDetectedBy;
	to.fFriction = from.fFriction;
	to.fRebound = from.fRebound;
	to.ui16Tag = from.ui16Tag;
	to.ui16SurfaceType = from.ui16SurfaceType;
	to.fHardness = from.fHardness;
	to.fAccousticOpacity = from.fAccousticOpacity;
}

void PhysicCreate( const u32 id, const u32 list ) {
	EFApiTrace::mFuncName = "CreatePhysic";
	EFGameObject * const object = ObjectOf( id );
	if ( object != nullptr && object->mpoPhysic == nullptr ) {
		EFPhysic * const body = object->CreatePhysic( list );
		EF3dObj * const model = object->Get3dObject( 0 );
		if ( body != nullptr && model != nullptr ) {
			model->CreateCollisionPrimitives( *body );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicSetFlags( const u32 object, const u32 bits ) {
	EFApiTrace::mFuncName = "SetFlags";
	if ( EFPhysic * const body = BodyOf( object ) ) {
		body->mui32PhysicFlags |= bits;
		body->NormalizeFlags();
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicResetFlags( const u32 object, const u32 bits ) {
	EFApiTrace::mFuncName = "ResetFlags";
	if ( EFPhysic * const body = BodyOf( object ) ) {
		body->mui32PhysicFlags &= ~bits;
		body->NormalizeFlags();
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 PhysicGetFlags( const u32 object ) {
	EFApiTrace::mFuncName = "GetFlags";
	const EFPhysic * const body = BodyOf( object );
	const u32 flags = body != nullptr ? body->mui32PhysicFlags : 0;
	EFApiTrace::mFuncName = nullptr;
	return flags;
}

u32 PhysicGetPhysicState( const u32 object ) {
	EFApiTrace::mFuncName = "GetPhysicState";
	const EFPhysic * const body = BodyOf( object );
	const u32 state = body != nullptr ? body->mui32PhysicState : 0;
	EFApiTrace::mFuncName = nullptr;
	return state;
}

// One body field set to a value, under the slot's trace name.
template< class T >
void SetField( const char * name, const u32 object, T EFPhysic::*field, const T value ) {
	EFApiTrace::mFuncName = name;
	if ( EFPhysic * const body = BodyOf( object ) ) {
		body->*field = value;
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicSetFallingSpeed( const u32 object, const f32 value ) {
	SetField( "SetFallingSpeed", object, &EFPhysic::mfFallingSpeed, value );
}

void PhysicSetFallingDelay( const u32 object, const f32 value ) {
	SetField( "SetFallingDelay", object, &EFPhysic::mfFallingDelay, value );
}

void PhysicSetStateChangeNotifyBits( const u32 object, const u32 bits ) {
	EFApiTrace::mFuncName = "SetStateChangeNotifyBits";
	if ( EFPhysic * const body = BodyOf( object ) ) {
		body->mui32StateChangeNotifyBits |= bits;
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicResetStateChangeNotifyBits( const u32 object, const u32 bits ) {
	EFApiTrace::mFuncName = "ResetStateChangeNotifyBits";
	if ( EFPhysic * const body = BodyOf( object ) ) {
		body->mui32StateChangeNotifyBits &= ~bits;
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicSetStateChangeNotifyValue( const u32 object, const u32 value ) {
	SetField( "SetStateChangeNotifyValue", object, &EFPhysic::mui32StateChangeNotifyBits, value );
}

void PhysicSetFriction( const u32 object, const f32 value ) {
	SetField( "SetFriction", object, &EFPhysic::mfFriction, value );
}

u32 PhysicGetFloorAttribs( const u32 object, EnvPrimAttribs * out ) {
	EFApiTrace::mFuncName = "GetFloorAttribs";
	const EFPhysic * const body = BodyOf( object );
	u32 onFloor = 0;
	if ( body != nullptr ) {
		if ( out != nullptr ) {
			const EnvPrimAttribs none = {};
			CopyAttribs( body->mpoLastFloorPrim != nullptr ? *body->mpoLastFloorPrim->GetAttribs() : none, *out );
		}
		const u32 state = body->mui32PhysicState;
		onFloor = ( state & EF_STATE_ON_FLOOR ) != 0 && ( state & EF_STATE_ON_PLATFORM ) == 0 ? 1 : 0;
	}
	EFApiTrace::mFuncName = nullptr;
	return onFloor;
}

u32 PhysicGetFloorNormal( const u32 object, DTVector3d * out ) {
	EFApiTrace::mFuncName = "GetFloorNormal";
	const EFPhysic * const body = BodyOf( object );
	u32 found = 0;
	if ( body != nullptr && out != nullptr ) {
		if ( body->mpoLastFloorPrim != nullptr ) {
			*out = body->mpoLastFloorPrim->moPlane.moNormal;
			found = 1;
		} else {
			*out = DTVector3d( 0.0f, 0.0f, 0.0f );
		}
	}
	EFApiTrace::mFuncName = nullptr;
	return found;
}

void PhysicSetHardness( const u32 object, const f32 value ) {
	SetField( "SetHardness", object, &EFPhysic::mfHardness, value );
}

void PhysicSetRebound( const u32 object, const f32 value ) {
	SetField( "SetRebound", object, &EFPhysic::mfRebound, value );
}

void PhysicSetPriority( const u32 object, const u32 value ) {
	SetField( "SetPushPriority", object, &EFPhysic::muiPriority, value );
}

void PhysicSetWeight( const u32 object, const f32 value ) {
	SetField( "SetWeight", object, &EFPhysic::mfWeight, value );
}

void PhysicImpulse( const u32 object, DTVector3d * impulse ) {
	EFApiTrace::mFuncName = "Impulse";
	EFPhysic * const body = BodyOf( object );
	if ( body != nullptr && impulse != nullptr ) {
		body->moVelocity = body->moVelocity + *impulse;
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicSetVelocity( const u32 id, const f32 x, const f32 y, const f32 z ) {
	EFApiTrace::mFuncName = "SetVelocity";
	EFGameObject * const object = ObjectOf( id );
	EFPhysic * const body = object != nullptr ? object->mpoPhysic : nullptr;
	if ( body != nullptr ) {
		DTVector3d velocity( x, y, z );
		if ( const EFPhysic * const carrier = CarrierOf( *object ) ) {
			velocity = velocity + carrier->moVelocity;
		}
		body->moVelocity = velocity;
		body->mfFallingTimer = body->mfFallingDelay;
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicGetVelocity( const u32 id, DTVector3d * out ) {
	EFApiTrace::mFuncName = "GetVelocity";
	EFGameObject * const object = ObjectOf( id );
	const EFPhysic * const body = object != nullptr ? object->mpoPhysic : nullptr;
	if ( body != nullptr && out != nullptr ) {
		DTVector3d velocity = body->moVelocity;
		if ( const EFPhysic * const carrier = CarrierOf( *object ) ) {
			velocity = velocity - carrier->moVelocity;
		}
		*out = velocity;
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicJumpOnCoor( const u32 object, JumpOnCoorParam * param ) {
	EFApiTrace::mFuncName = "JumpOnCoor";
	JumpOnCoor( object, param );
	EFApiTrace::mFuncName = nullptr;
}

RayIntersectResult PhysicCheckRayIntersection( RayIntersectIn * in, RayIntersectOut * out ) {
	if ( in == nullptr || gpoPhysicMgr == nullptr ) {
		return PS_RAY_NONE;
	}
	in->ui32ExcludeObjID = DMStoredObjectId( in->ui32ExcludeObjID );
	EFRayIntersectOut hit = {};
	const RayIntersectResult result = gpoPhysicMgr->RayIntersect( *in, hit );
	if ( out == nullptr ) {
		return result;
	}
	if ( result == PS_RAY_OBJ ) {
		out->oIntersectionPoint = hit.oIntersectionPoint;
		out->oIntersectionNormal = hit.oIntersectionNormal;
		const EFPhysicData * const owner = hit.poObjCollider != nullptr ? hit.poObjCollider->GetOwner() : nullptr;
		out->oOutEnvObj.oOutObj.ui32ObjID = owner != nullptr ? owner->GetUID() : 0;
		out->oOutEnvObj.oOutObj.ui32TagPrim = hit.poObjSubCollider != nullptr ? hit.poObjSubCollider->mui32Tag : 0;
	} else if ( result == PS_RAY_ENV && hit.poEnvCollider != nullptr ) {
		out->oIntersectionPoint = hit.oIntersectionPoint;
		out->oIntersectionNormal = hit.oIntersectionNormal;
		const EnvPrimAttribs & attribs = *hit.poEnvCollider->GetAttribs();
		out->oOutEnvObj.oOutEnv.ui16Tag = attribs.ui16Tag;
		out->oOutEnvObj.oOutEnv.ui16SurfaceType = attribs.ui16SurfaceType;
		CopyAttribs( attribs, out->oOutEnvObj.oOutEnv.oAttribs );
	}
	return result;
}

u32 PhysicGetDM( const u32 object, const u32 typeId, const u32 after ) {
	EFApiTrace::mFuncName = "GetDM";
	const u32 handle = GetDM( object, typeId, after );
	EFApiTrace::mFuncName = nullptr;
	return handle;
}

u32 PhysicDMAdd( const u32 object, const u32 typeId ) {
	EFApiTrace::mFuncName = "DMAdd";
	const u32 handle = DMAdd( object, typeId );
	EFApiTrace::mFuncName = nullptr;
	return handle;
}

// A module operation under its trace name.
template< class... Args >
void Traced( const char * name, void ( *operation )( u32, Args... ), const u32 handle, Args... args ) {
	EFApiTrace::mFuncName = name;
	operation( handle, args... );
	EFApiTrace::mFuncName = nullptr;
}

void PhysicDMGetParams( const u32 handle, void * params ) {
	Traced( "DMGetParams", &DMGetParams, handle, params );
}

void PhysicDMSetParams( const u32 handle, void * params ) {
	Traced( "DMSetParams", &DMSetParams, handle, params );
}

void PhysicDMSetContextMask( const u32 handle, const u32 mask ) {
	Traced( "DMSetContextMask", &DMSetContextMask, handle, mask );
}

void PhysicDMSetActive( const u32 handle, const u32 value ) {
	Traced( "DMSetActive", &DMSetActive, handle, value );
}

u32 PhysicDMGetState( const u32 handle ) {
	EFApiTrace::mFuncName = "DMGetState";
	const u32 state = DMGetState( handle );
	EFApiTrace::mFuncName = nullptr;
	return state;
}

void PhysicDMSetStateChangeNotifyBits( const u32 handle, const u32 bits ) {
	Traced( "DMSetStateChangeNotifyBits", &DMSetStateChangeNotifyBits, handle, bits );
}

void PhysicDMResetStateChangeNotifyBits( const u32 handle, const u32 bits ) {
	Traced( "DMResetStateChangeNotifyBits", &DMResetStateChangeNotifyBits, handle, bits );
}

void PhysicSetPrimaryPrim( const u32 object, const u32 tag ) {
	EFApiTrace::mFuncName = "SetPrimaryPrim";
	if ( EFPhysic * const body = BodyOf( object ) ) {
		EFCollisionModel & model = body->moCollisionModel;
		model.muiPrimaryPrimIndex =
			tag == EF_NO_PRIMARY_PRIM ? EF_NO_PRIMARY_PRIM : static_cast<u32>( model.PrimTagToPrimIndex( tag ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicSetSpherePrimaryVolume( const u32 object, const f32 radius, const f32 x, const f32 y, const f32 z ) {
	EFApiTrace::mFuncName = "SetSpherePrimaryVolume";
	if ( EFPhysic * const body = BodyOf( object ) ) {
		EFCollisionModel & model = body->moCollisionModel;
		model.SetMaxPrims( 1 );
		if ( model.mui32MaxPrims == 1 ) {
			delete model.mppoPrimArray[0];
			model.mppoPrimArray[0] = nullptr;
			DTFrame * const frame = model.mpoPhysicData != nullptr ? model.mpoPhysicData->GetFrame() : nullptr;
			EFObjCollisionPrim * const sphere = model.AddPrimitive( 0, 0, EF_PRIM_SPHERE, frame );
			model.mbUsingFixVolume = 1;
			if ( sphere != nullptr ) {
				sphere->mfMaxRadius = radius;
				sphere->moTrans = DTVector3d( x, y, z );
				sphere->moPrimPos = sphere->moPrimPos + sphere->moTrans;
			}
			model.moPhysicBSphere = DTSphere( DTVector3d( x, y, z ), radius );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

// Changes the logic word and lock of one attribute of the tagged
// primitive, then the word in force.
void EditAttrib( const char * name, const u32 object, const u32 tag, const u32 index, const u32 logicKeep,
				 const u32 logicSet, const u32 lockKeep, const u32 lockSet ) {
	EFApiTrace::mFuncName = name;
	if ( EFObjCollisionPrim * const prim = AttribPrim( object, tag, index ) ) {
		u32 & logic = prim->moLogicAttrib.IntArray[index];
		u32 & lock = prim->mpuiLockedIntAttribs[index];
		logic = ( logic & logicKeep ) | logicSet;
		lock = ( lock & lockKeep ) | lockSet;
		prim->UpdateCurrentAttrib( index );
	}
	EFApiTrace::mFuncName = nullptr;
}

void PhysicPrimSetIntAttribBits( const u32 object, const u32 tag, const u32 index, const u32 bits ) {
	EditAttrib( "PrimSetIntAttribBits", object, tag, index, 0xFFFFFFFF, bits, 0xFFFFFFFF, bits );
}

u32 PhysicPrimGetIntAttrib( const u32 object, const u32 tag, const u32 index ) {
	EFApiTrace::mFuncName = "PrimGetIntAttrib";
	const EFObjCollisionPrim * const prim = AttribPrim( object, tag, index );
	const u32 value = prim != nullptr ? prim->GetAttrib( index ) : 0;
	EFApiTrace::mFuncName = nullptr;
	return value;
}

void PhysicPrimResetIntAttribBits( const u32 object, const u32 tag, const u32 index, const u32 bits ) {
	EditAttrib( "PrimResetIntAttribBits", object, tag, index, ~bits, 0, 0xFFFFFFFF, bits );
}

void PhysicPrimSetIntAttribValue( const u32 object, const u32 tag, const u32 index, const u32 value ) {
	EditAttrib( "PrimSetIntAttribValue", object, tag, index, 0, value, 0, 0xFFFFFFFF );
}

void PhysicPrimUnlockIntAttrib( const u32 object, const u32 tag, const u32 index, const u32 bits ) {
	EditAttrib( "PrimUnlockIntAttrib", object, tag, index, 0xFFFFFFFF, 0, ~bits, 0 );
}

u32 PhysicPrimGetOffsetFromJoint( const u32 object, const u32 tag, DTVector3d * out ) {
	EFApiTrace::mFuncName = "PrimGetOffsetFromJoint";
	const EFObjCollisionPrim * const prim = TaggedPrim( object, tag );
	u32 result = PRIM_MISSING;
	if ( prim != nullptr ) {
		if ( out != nullptr ) {
			*out = prim->moTrans;
		}
		result = 0;
	}
	EFApiTrace::mFuncName = nullptr;
	return result;
}

u32 PhysicPrimSetOffsetFromJoint( const u32 object, const u32 tag, DTVector3d * in ) {
	EFApiTrace::mFuncName = "PrimSetOffsetFromJoint";
	EFObjCollisionPrim * const prim = TaggedPrim( object, tag );
	u32 result = PRIM_MISSING;
	if ( prim != nullptr ) {
		if ( in != nullptr ) {
			prim->moTrans = *in;
			prim->moPrimPos = prim->moPrimPos + prim->moTrans;
		}
		result = 0;
	}
	EFApiTrace::mFuncName = nullptr;
	return result;
}

}

void ApiPhysicNotInit() {
	bDone = true;
}

bool ApiPhysicNotInitDone() {
	return bDone;
}

constexpr api_physic APIphysicStubs = MakeLogicApiStubs<api_physic, ApiPhysicNotInit>();
constinit api_physic APIphysic = MakeLogicApiStubs<api_physic, ApiPhysicNotInit>();

void Init_Physic() {
	InitAPI( &APIphysic, LOGIC_API_PHYSIC_SLOTS, &APIphysicStubs );
	APIphysic.Create = PhysicCreate;
	APIphysic.SetFlags = PhysicSetFlags;
	APIphysic.ResetFlags = PhysicResetFlags;
	APIphysic.GetFlags = PhysicGetFlags;
	APIphysic.GetPhysicState = PhysicGetPhysicState;
	APIphysic.SetFallingSpeed = PhysicSetFallingSpeed;
	APIphysic.SetFallingDelay = PhysicSetFallingDelay;
	APIphysic.SetStateChangeNotifyBits = PhysicSetStateChangeNotifyBits;
	APIphysic.ResetStateChangeNotifyBits = PhysicResetStateChangeNotifyBits;
	APIphysic.SetStateChangeNotifyValue = PhysicSetStateChangeNotifyValue;
	APIphysic.SetFriction = PhysicSetFriction;
	APIphysic.GetFloorAttribs = PhysicGetFloorAttribs;
	APIphysic.GetFloorNormal = PhysicGetFloorNormal;
	APIphysic.SetHardness = PhysicSetHardness;
	APIphysic.SetRebound = PhysicSetRebound;
	APIphysic.SetPriority = PhysicSetPriority;
	APIphysic.SetWeight = PhysicSetWeight;
	APIphysic.Impulse = PhysicImpulse;
	APIphysic.SetVelocity = PhysicSetVelocity;
	APIphysic.GetVelocity = PhysicGetVelocity;
	APIphysic.JumpOnCoor = PhysicJumpOnCoor;
	APIphysic.CheckRayIntersection = PhysicCheckRayIntersection;
	APIphysic.GetDM = PhysicGetDM;
	APIphysic.DMAdd = PhysicDMAdd;
	APIphysic.DMDoAction = DMDoAction;
	APIphysic.DMGetData = DMGetData;
	APIphysic.DMGetParams = PhysicDMGetParams;
	APIphysic.DMSetParams = PhysicDMSetParams;
	APIphysic.DMSetContextMask = PhysicDMSetContextMask;
	APIphysic.DMSetActive = PhysicDMSetActive;
	APIphysic.DMIsActive = DMIsActive;
	APIphysic.DMGetState = PhysicDMGetState;
	APIphysic.DMSetStateChangeNotifyBits = PhysicDMSetStateChangeNotifyBits;
	APIphysic.DMResetStateChangeNotifyBits = PhysicDMResetStateChangeNotifyBits;
	APIphysic.DMSetStateBits = DMSetStateBits;
	APIphysic.DMResetStateBits = DMResetStateBits;
	APIphysic.SetPrimaryPrim = PhysicSetPrimaryPrim;
	APIphysic.SetSpherePrimaryVolume = PhysicSetSpherePrimaryVolume;
	APIphysic.PrimSetIntAttribBits = PhysicPrimSetIntAttribBits;
	APIphysic.PrimGetIntAttrib = PhysicPrimGetIntAttrib;
	APIphysic.PrimResetIntAttribBits = PhysicPrimResetIntAttribBits;
	APIphysic.PrimSetIntAttribValue = PhysicPrimSetIntAttribValue;
	APIphysic.PrimUnlockIntAttrib = PhysicPrimUnlockIntAttrib;
	APIphysic.PrimGetOffsetFromJoint = PhysicPrimGetOffsetFromJoint;
	APIphysic.PrimSetOffsetFromJoint = PhysicPrimSetOffsetFromJoint;
}
