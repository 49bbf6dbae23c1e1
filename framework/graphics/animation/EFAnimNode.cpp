#include "framework/graphics/animation/EFAnimNode.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTSphere.h"
#include "framework/core/level/EFRessource.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimCollPrim.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpHAnim.h"

#include <cmath>
#include <cstdint>

EFNotificationMgr * EFAnimNode::mpNotificationMgr = nullptr;

namespace {

// A swept sphere's segment shorter than this (squared) is replaced.
constexpr f32 SHORT_SEGMENT_SQUARED = 0.0001f;
constexpr f32 SHORT_SEGMENT_LENGTH = 0.01f;

DTVector3d Vector( const f32 * v ) {
	return DTVector3d( v[0], v[1], v[2] );
}

f32 Length( const DTVector3d & v ) {
	return static_cast<f32>( std::sqrt( static_cast<f64>( v.LengthSquare() ) ) );
}

}

EFAnimNode::EFAnimNode( const OPNodeType_e type )
	: DTOperator( type ), muiUID( 0 ), muiIndex( 0 ), muiGroup( 0 ), mpGameObjectOwner( nullptr ), mp3dObj( nullptr ),
	  mpAnimRes( nullptr ), muiAnimState( AS_STOPPED ), mfCurrentTime( 0.0f ), mfDuration( 0.0f ), mfSpeed( 1.0f ) {
}

EFAnimNode::~EFAnimNode() {
	if ( mpAnimRes != nullptr && mpAnimRes->Release() != 0 ) {
		delete mpAnimRes;
	}
	mpAnimRes = nullptr;
}

EFAnimNode * EFAnimNode::TimeOut( f32 * ) {
	return nullptr;
}

EFAnimNode * EFAnimNode::ShallowCopy() {
	return nullptr;
}

void EFAnimNode::SetNotificationMgr( EFNotificationMgr * manager ) {
	mpNotificationMgr = manager;
}

const u8 * EFAnimNode::GetAnimData() const {
	const EFAnimRes * const resource = EFAnimRes::From( mpAnimRes );
	return resource != nullptr ? resource->mpAnimData : nullptr;
}

u32 EFAnimNode::GetAnimDataSize() const {
	const EFAnimRes * const resource = EFAnimRes::From( mpAnimRes );
	return resource != nullptr ? resource->GetAnimDataSize() : 0;
}

bool EFAnimNode::Initialize( DTCreationParameters * params ) {
	mp3dObj = nullptr;
	if ( params != nullptr && params->mpoExtraCreationParams != nullptr ) {
		EFInstance * const target = static_cast<EFInstance *>( params->mpoExtraCreationParams );
		if ( target->GetClassID() == EF_3D_OBJ_CLASS_ID ) {
			mp3dObj = static_cast<EF3dObj *>( target );
		}
	}
	// A node without data keeps group 0 and duration 0: Play ignores it.
	const u8 * const data = GetAnimData();
	if ( data == nullptr ) {
		muiGroup = 0;
		return false;
	}
	muiGroup = data[EF_ANIM_DATA_GROUP];
	return true;
}

void EFAnimNode::Play( const u32 flags, f32 ) {
	muiAnimState = flags;
}

f32 EFAnimNode::Update( f32, DTWorkMemory & ) {
	return 0.0f;
}

bool EFAnimNode::Stop() {
	if ( muiAnimState == AS_STOPPED ) {
		return false;
	}
	muiAnimState = AS_STOPPED;
	mfCurrentTime = 0.0f;
	Notify( NO_ANIMATION_STOP, reinterpret_cast<void *>( static_cast<uintptr_t>( muiIndex ) ) );
	return false;
}

void EFAnimNode::Connect( EFPosData * ) {
}

void EFAnimNode::SetTime( const f32 time ) {
	mfCurrentTime = time;
}

void EFAnimNode::Notify( const EFNotifyType_e type, void * data ) {
	if ( mpNotificationMgr == nullptr || mpGameObjectOwner == nullptr ) {
		return;
	}
	const u32 owner = mpGameObjectOwner->GetUID();
	mpNotificationMgr->Notify( type, owner, type == NO_ANIM_CB ? owner : muiIndex, data, true );
}

void EFAnimNode::ChangeAnimState( const u32 mask, const EFChangeType_e change, const bool recursive ) {
	switch ( change ) {
	case CT_SET:
		muiAnimState |= mask;
		break;
	case CT_RESET:
		muiAnimState &= ~mask;
		break;
	case CT_REPLACE:
		muiAnimState = mask;
		break;
	}
	if ( !recursive ) {
		return;
	}
	if ( mpChild != nullptr ) {
		static_cast<EFAnimNode *>( mpChild )->ChangeAnimState( mask, change, true );
	}
	if ( mpNext != nullptr ) {
		static_cast<EFAnimNode *>( mpNext )->ChangeAnimState( mask, change, true );
	}
}

namespace {

// A looping time is brought back into its clip one duration at a time; a time
// more than this many clips away (a huge step or speed, a tiny duration) is
// folded in one go, since subtracting a tiny duration from a huge time never
// changes it and the loop would not end.
constexpr u32 LOOP_WRAP_STEPS = 64;

f32 FoldIntoClip( const f32 time, const f32 duration ) {
	if ( !std::isfinite( time ) ) {
		return 0.0f;
	}
	const f32 folded = std::fmod( time, duration );
	return folded < 0.0f ? folded + duration : folded;
}

}

void EFAnimNode::AdvanceTime( const f32 dt ) {
	if ( ( muiAnimState & AS_STOPPED ) != 0 || !( mfDuration > 0.0f ) ) {
		return;
	}
	mfCurrentTime += dt * mfSpeed;
	muiAnimState &= ~AS_WRAPPED;
	if ( mfCurrentTime >= mfDuration ) {
		if ( ( muiAnimState & AS_LOOP ) != 0 ) {
			u32 steps = 0;
			while ( mfCurrentTime > mfDuration ) {
				muiAnimState |= AS_WRAPPED;
				if ( ++steps > LOOP_WRAP_STEPS ) {
					mfCurrentTime = FoldIntoClip( mfCurrentTime, mfDuration );
					break;
				}
				mfCurrentTime -= mfDuration;
			}
		} else if ( ( muiAnimState & AS_CLAMP ) != 0 ) {
			mfCurrentTime = mfDuration;
			muiAnimState |= AS_LAST_FRAME;
		}
	} else if ( mfCurrentTime <= 0.0f ) {
		if ( ( muiAnimState & AS_LOOP ) != 0 ) {
			u32 steps = 0;
			while ( mfCurrentTime < 0.0f ) {
				muiAnimState |= AS_WRAPPED;
				if ( ++steps > LOOP_WRAP_STEPS ) {
					mfCurrentTime = FoldIntoClip( mfCurrentTime, mfDuration );
					break;
				}
				mfCurrentTime += mfDuration;
			}
		} else if ( ( muiAnimState & AS_CLAMP ) != 0 ) {
			mfCurrentTime = 0.0f;
			muiAnimState |= AS_LAST_FRAME;
		}
	}
	if ( ( muiAnimState & AS_WRAPPED ) != 0 ) {
		muiAnimState |= AS_LAST_FRAME;
	}
}

void EFAnimNode::EndTest() {
	if ( ( muiAnimState & AS_CLAMP ) != 0 &&
		 ( ( mfSpeed < 0.0f && mfCurrentTime == 0.0f ) || ( mfSpeed > 0.0f && mfCurrentTime == mfDuration ) ) ) {
		muiAnimState |= AS_AT_END;
	}
	if ( ( muiAnimState & AS_LAST_FRAME ) != 0 ) {
		Notify( NO_ANIMATION_LAST_FRAME, reinterpret_cast<void *>( static_cast<uintptr_t>( muiIndex ) ) );
		muiAnimState &= ~AS_LAST_FRAME;
	}
}

DTAttrib * EFAnimNode::GetOutput( const DTAttribType type ) const {
	for ( DTAttrib * attrib = mpOutputList; attrib != nullptr; attrib = attrib->mpNext ) {
		if ( attrib->meType == type ) {
			return attrib;
		}
	}
	return nullptr;
}

EFAnimNode * EFAnimNode::CopyInto( EFAnimNode * copy ) const {
	if ( copy == nullptr ) {
		return nullptr;
	}
	copy->muiUID = muiUID;
	copy->muiIndex = muiIndex;
	copy->mpAnimRes = mpAnimRes;
	if ( mpAnimRes != nullptr ) {
		mpAnimRes->muiRefCount++;
	}
	return copy;
}

void EFAnimNode::SetCollPrimData() {
	const DTAttrib * const output = GetOutput( AT_COLLPRIM );
	const EFAnimCollPrim * first = output != nullptr ? static_cast<const EFAnimCollPrim *>( output->mpDataBlock ) : nullptr;
	EFPhysic * const body = mpGameObjectOwner != nullptr ? mpGameObjectOwner->mpoPhysic : nullptr;
	if ( mp3dObj == nullptr ) {
		return;
	}
	const EFAnimCollPrim * records = first;
	if ( first != nullptr && first->muiKind == EF_ANIM_COLL_BSPHERE ) {
		const EFAnimCollPrimPoint & point = static_cast<const EFAnimCollPrimPoint &>( *first );
		DTSphere sphere( Vector( point.mfValues ), point.mfValues[3] );
		mp3dObj->SetClippingBSphere( sphere );
		records = first->mpNext;
	}
	if ( body == nullptr ) {
		return;
	}
	EFCollisionModel & model = body->moCollisionModel;
	if ( records != nullptr && records->muiKind == EF_ANIM_COLL_TRANSLATION ) {
		const EFAnimCollPrimPoint & point = static_cast<const EFAnimCollPrimPoint &>( *records );
		RwV3d position = { point.mfValues[0], point.mfValues[1], point.mfValues[2] };
		RpHAnimHierarchy * const hierarchy = mp3dObj->mpHierarchy;
		if ( hierarchy != nullptr && hierarchy->numNodes > 0 && hierarchy->pNodeInfo != nullptr &&
			 hierarchy->pNodeInfo[0].pFrame != nullptr ) {
			const RwV3d local = position;
			RwV3dTransformPoints( &position, &local, 1, RwFrameGetLTM( hierarchy->pNodeInfo[0].pFrame ) );
		}
		if ( mpGameObjectOwner->mpFrame != nullptr ) {
			RwMatrix inverse;
			RwMatrixInvert( &inverse, RwFrameGetLTM( mpGameObjectOwner->mpFrame->GetRwFrame() ) );
			const RwV3d world = position;
			RwV3dTransformPoints( &position, &world, 1, &inverse );
		}
		model.moPhysicBSphere = DTSphere( DTVector3d( position.x, position.y, position.z ), point.mfValues[3] );
		records = records->mpNext;
	} else if ( model.mui32MaxPrims != 0 ) {
		mp3dObj->GetDefaultPhysicBSphere( model.moPhysicBSphere );
	}
	for ( u32 index = 0; index < model.mui32MaxPrims; index++ ) {
		EFObjCollisionPrim * const primitive = model.GetPrimitive( index );
		if ( primitive == nullptr ) {
			continue;
		}
		while ( records != nullptr && records->muiIndex < index ) {
			records = records->mpNext;
		}
		if ( records != nullptr && records->muiIndex == index && ( records->muiFlags & EF_ANIM_COLL_RESET ) == 0 ) {
			SetCollPrimData( *primitive, *records );
		} else {
			mp3dObj->GetDefaultCollPrimAttrib( index, *primitive );
		}
	}
}

void EFAnimNode::SetCollPrimData( EFObjCollisionPrim & primitive, const EFAnimCollPrim & record ) {
	if ( record.muiKind < EF_ANIM_COLL_SPHERE || record.muiKind > EF_ANIM_COLL_SWEPT_SPHERE ) {
		return;
	}
	const EFAnimCollPrimShape & shape = static_cast<const EFAnimCollPrimShape &>( record );
	switch ( record.muiKind ) {
	case EF_ANIM_COLL_SPHERE:
		if ( primitive.mui32Shape == EF_PRIM_SPHERE ) {
			primitive.mfMaxRadius = static_cast<const EFAnimCollPrimSphere &>( record ).mfRadius;
		}
		break;
	case EF_ANIM_COLL_BOX:
		if ( primitive.mui32Shape == EF_PRIM_BBOX ) {
			EFObjCollisionBBox & box = static_cast<EFObjCollisionBBox &>( primitive );
			box.moHalfExtents = Vector( static_cast<const EFAnimCollPrimBox &>( record ).mfHalfExtents );
			box.mfMaxRadius = Length( box.moHalfExtents );
		}
		break;
	default:
		if ( primitive.mui32Shape == EF_PRIM_SWEPT_SPHERE ) {
			const EFAnimCollPrimSweptSphere & swept = static_cast<const EFAnimCollPrimSweptSphere &>( record );
			EFObjCollisionSweptSphere & capsule = static_cast<EFObjCollisionSweptSphere &>( primitive );
			DTVector3d segment = Vector( swept.mfSegment );
			f32 length = Length( segment );
			if ( segment.LengthSquare() < SHORT_SEGMENT_SQUARED ) {
				segment = length == 0.0f ? DTVector3d( 0.0f, SHORT_SEGMENT_LENGTH, 0.0f )
										 : segment * ( SHORT_SEGMENT_LENGTH / length );
				length = SHORT_SEGMENT_LENGTH;
			}
			capsule.mfRadius = swept.mfRadius;
			capsule.moVector = segment;
			capsule.mfMaxRadius = swept.mfRadius + length;
		}
		break;
	}
	primitive.moTrans = Vector( shape.mfOffset );
	primitive.moPrimPos += primitive.moTrans;
	for ( u32 i = 0; i < EF_ANIM_COLL_ATTRIBUTES && i < EF_COL_PRIM_ATTRIB_WORDS; i++ ) {
		const u32 mask = primitive.mpuiLockedIntAttribs[i];
		primitive.moCurrentAttrib.IntArray[i] = ( shape.muiAttributes[i] & ~mask ) | ( primitive.moBaseAttrib.IntArray[i] & mask );
	}
	primitive.muiPrimFlags &= ~0x1u;
	if ( ( record.muiFlags & EF_ANIM_COLL_WRAP ) != 0 ) {
		primitive.muiPrimFlags |= 0x2u;
	}
}
