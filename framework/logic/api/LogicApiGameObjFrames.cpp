#include "framework/logic/api/LogicApiGameObjFrames.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiMatrixAlign.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>
#include <cstring>

constexpr u32 OWN_FRAME				= 0x7FFFFFFF;
constexpr u32 ID_KIND_SHIFT			= 24;
constexpr u32 GAME_OBJECT_KIND		= 0x2A;
// Below this in every component a move is ignored (2^-23).
constexpr f32 NEGLIGIBLE_MOVE		= 1.0f / 8388608.0f;

static bool IsGameObjectId( const u32 id ) {
	return ( id >> ID_KIND_SHIFT ) == GAME_OBJECT_KIND;
}

static EFPosData * Thing( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetObjectPosData( id ) : nullptr;
}

// Positioned-thing slots work on the thing's own frame.
static DTFrame * ThingFrame( const u32 id ) {
	EFPosData * const thing = Thing( id );
	return thing != nullptr ? thing->mpFrame : nullptr;
}

// Reads take a game object's joint frame, anything else's own frame.
static DTFrame * ReadFrame( const u32 id, const u32 joint ) {
	if ( IsGameObjectId( id ) ) {
		EFGameObject * const object = LogicApiFindGameObject( id );
		return object != nullptr ? object->GetObjectFrame( joint ) : nullptr;
	}
	return ThingFrame( id );
}

static DTMatrix * Modelling( DTFrame * frame ) {
	return DTAsDTMatrix( &frame->GetRwFrame()->modelling );
}

static void UpdateFrame( DTFrame * frame ) {
	RwFrameUpdateObjects( frame->GetRwFrame() );
}

static const RwV3d * AsRw( const DTVector3d * v ) {
	return reinterpret_cast<const RwV3d *>( v );
}

void GameObjAddChild( const u32 parentId, const u32 joint, const u32 childId, const u32 flags ) {
	EFApiTrace::mFuncName = "AddChild";
	EFPosData * const child = Thing( childId );
	if ( child != nullptr ) {
		EFGameObject * const object = IsGameObjectId( parentId ) && joint != OWN_FRAME ? LogicApiFindGameObject( parentId ) : nullptr;
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
static DTVector3d * WorldRow( const u32 id, const u32 joint, DTVector3d * out, DTVector3d * ( DTMatrix::*row )() ) {
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
static void PlaceFrame( DTFrame * frame, const DTVector3d & pos ) {
	*Modelling( frame )->GetPos() = DTVector3d( 0.0f, 0.0f, 0.0f );
	RwFrameTranslate( frame->GetRwFrame(), AsRw( &pos ), rwCOMBINEPOSTCONCAT );
}

// The body's primary primitive starts from its new place instead of
// sweeping from the old one. An index past the table or an empty slot
// means no primary primitive.
static void RebasePrimaryPrimitive( const u32 id ) {
	EFGameObject * const object = LogicApiFindGameObject( id );
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

static void RotateInPlace( DTFrame * frame, const DTVector3d & axis, const f32 angle ) {
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
		LogicApiAlignRowWith( m, m->GetAt(), *dir );
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

// The first vector goes in as given; the other two are made orthogonal.
void GameObjLookAtAlignUp( const u32 id, DTVector3d * at, DTVector3d * up ) {
	EFApiTrace::mFuncName = "AlignAtWith";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && at != nullptr && up != nullptr ) {
		LogicApiLookAtAlignUp( Modelling( frame ), *at, *up );
		UpdateFrame( frame );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GameObjLookUpAlignAt( const u32 id, DTVector3d * up, DTVector3d * at ) {
	EFApiTrace::mFuncName = "AlignAtWith";
	DTFrame * const frame = ThingFrame( id );
	if ( frame != nullptr && up != nullptr && at != nullptr ) {
		LogicApiLookUpAlignAt( Modelling( frame ), *up, *at );
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
	if ( DTFrame * const frame = ThingFrame( id ) ) {
		RwFrameSetIdentity( frame->GetRwFrame() );
	}
}

static DTFrame * ObjectFrame( const u32 id ) {
	EFGameObject * const object = LogicApiFindGameObject( id );
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

static void CopyInto( DTFrame * frame, const DTMatrix * m ) {
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

static DTFrame * BoneFrame( const u32 id, const u32 joint ) {
	EFGameObject * const object = LogicApiFindGameObject( id );
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
