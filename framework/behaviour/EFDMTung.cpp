#include "framework/behaviour/EFDMTung.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 BEND_FACTOR = 1.3f;
constexpr f32 COUNTDOWN_START = 0.06f;
// The tongue points back once its direction's forward part is below this.
constexpr f32 TURN_BACK = -0.7f;
// What is left of the tip's distance after each retracting update, and
// the distance from which the base starts to shrink.
constexpr f32 RETRACT_KEEP = 0.05f;
constexpr f32 SHRINK_DISTANCE = 1.6f;
constexpr f32 NO_BEND = 1.0f / 64.0f;
constexpr f32 BEND_LENGTH = 3.0f;
constexpr u32 OBJECT_DETECT = 2;
constexpr u32 ENV_DETECT = 1;
constexpr u32 ROOT_BONE = 0;

RwFrame * BoneOf( const EFGameObject * owner, const u32 id ) {
	DTFrame * const bone = owner != nullptr ? owner->GetBoneFrame( id ) : nullptr;
	return bone != nullptr ? bone->GetRwFrame() : nullptr;
}

}

DMTungParams DMTungDefaults() {
	DMTungParams record = {};
	record.ui32BaseBone = 1;
	record.ui32TipBone = 2;
	record.fFullLength = 8.0f;
	record.fStartLength = 1.0f;
	record.fEndDistance = 0.01f;
	record.fExtendSpeed = 3.0f;
	record.fRetractSpeed = 3.0f;
	record.fCarried = 0.0f;
	record.fUnused8 = 3.0f;
	record.fBendFactor = 1.0f;
	record.ui32Shoot = 0;
	return record;
}

EFDMTung::EFDMTung( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32BaseBone( 0 ), mui32TipBone( 0 ), mfFullLength( 0.0f ),
	  mfStartLength( 0.0f ), mfEndDistance( 0.0f ), mfExtendSpeed( 0.0f ), mfRetractSpeed( 0.0f ),
	  mfCarried( 0.0f ), mfBendFactor( 0.0f ), mui32Shoot( 0 ), mafSpare{}, mfCountdownStart( 0.0f ),
	  mfLength( 0.0f ), mfCountdown( 0.0f ), mpoRoot( nullptr ), mpoBase( nullptr ), mpoTip( nullptr ),
	  mpoBaseLTM( nullptr ), mpoTipMatrix( nullptr ), mpoWork( nullptr ) {
	DMTungParams defaults = DMTungDefaults();
	SetParams( &defaults );
	SetExclusiveState( EF_DM_TUNG_READY );
	mpoWork = RwMatrixCreate();
}

EFDMTung::~EFDMTung() {
	if ( mpoWork != nullptr ) {
		RwMatrixDestroy( mpoWork );
	}
}

void EFDMTung::SetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	const DMTungParams & record = *static_cast<const DMTungParams *>( params );
	mui32BaseBone = record.ui32BaseBone;
	mui32TipBone = record.ui32TipBone;
	mfFullLength = record.fFullLength;
	mfStartLength = record.fStartLength;
	mfEndDistance = record.fEndDistance;
	mfExtendSpeed = record.fExtendSpeed;
	mfRetractSpeed = record.fRetractSpeed;
	mfCarried = record.fCarried;
	mfBendFactor = record.fBendFactor;
	mui32Shoot = record.ui32Shoot;
	moTarget = record.oTarget;
	const EFGameObject * const owner = DMOwnerObject( *this );
	mpoBase = BoneOf( owner, mui32BaseBone );
	mpoTip = BoneOf( owner, mui32TipBone );
	mpoRoot = BoneOf( owner, ROOT_BONE );
}

void EFDMTung::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMTungParams & record = *static_cast<DMTungParams *>( params );
	record.ui32BaseBone = mui32BaseBone;
	record.ui32TipBone = mui32TipBone;
	record.fFullLength = mfFullLength;
	record.fStartLength = mfStartLength;
	record.fEndDistance = mfEndDistance;
	record.fExtendSpeed = mfExtendSpeed;
	record.fRetractSpeed = mfRetractSpeed;
	record.fCarried = mfCarried;
	record.fBendFactor = mfBendFactor;
	record.ui32Shoot = mui32Shoot;
	record.oTarget = moTarget;
}

void EFDMTung::SetExclusiveState( const u32 state ) {
	if ( ( mui32State & state ) != 0 ) {
		mui32State = state;
		return;
	}
	mui32State = state;
	if ( ( state & mui32StateChangeNotifyBits ) != 0 ) {
		DMNotifyExclusiveState( *this, state );
	}
}

void EFDMTung::AlignLocalWithGlobal( RwFrame * const a, RwFrame * const b ) {
	if ( a == nullptr || b == nullptr ) {
		return;
	}
	RwMatrix rows = *RwFrameGetLTM( a );
	if ( RwFrame * const parent = static_cast<RwFrame *>( b->object.parent ) ) {
		RwMatrix inverse;
		RwMatrixInvert( &inverse, RwFrameGetLTM( parent ) );
		RwMatrixMultiply( &rows, RwFrameGetLTM( a ), &inverse );
	}
	rows.pos = b->modelling.pos;
	b->modelling = rows;
	RwFrameUpdateObjects( b );
}

void EFDMTung::UpdateTipLocalPosition( const DTVector3d & point ) {
	RwMatrix local;
	RwMatrix * const work = mpoWork != nullptr ? mpoWork : &local;
	RwMatrixInvert( work, RwFrameGetLTM( mpoBase ) );
	RwV3d at;
	RwV3dTransformPoints( &at, DTAsRwV3d( &point ), 1, work );
	mpoTip->modelling.pos = at;
	RwFrameUpdateObjects( mpoTip );
}

DTVector3d EFDMTung::BasePosition() const {
	return DMRow( RwFrameGetLTM( mpoBase )->pos );
}

void EFDMTung::Bend_Symmetric() {
	const DTVector3d d = moTipPosition - BasePosition();
	if ( std::fabs( d.x ) < NO_BEND && std::fabs( d.y ) < NO_BEND && std::fabs( d.z ) < NO_BEND ) {
		return;
	}
	const f32 length = std::sqrt( d * d );
	moBendAxis = DMCross( DMRow( RwFrameGetLTM( mpoBase )->at ), d * ( 1.0f / length ) );
	const f32 size = std::sqrt( moBendAxis * moBendAxis );
	// Along the base's forward axis there is nothing to bend about.
	if ( size == 0.0f ) {
		return;
	}
	const RwV3d position = mpoTipMatrix->pos;
	RwMatrixRotate( mpoTipMatrix, DTAsRwV3d( &moBendAxis ),
					DT_RADIANS_TO_DEGREES * ( length / BEND_LENGTH ) * ( mfBendFactor * size ), rwCOMBINEPOSTCONCAT );
	mpoTipMatrix->pos = position;
}

u32 EFDMTung::CastRay( const DTVector3d & displacement, const DTVector3d & u, DTVector3d * hit ) const {
	RayIntersectIn in = {};
	in.oStartVector = BasePosition();
	in.oDeplVector = displacement;
	in.ui32ObjDetectType = OBJECT_DETECT;
	in.ui32ObjUDDetectType = 0;
	in.ui32EnvDetectType = ENV_DETECT;
	in.ui32EnvUDDetectType = 0;
	const EFGameObject * const owner = DMOwnerObject( *this );
	in.ui32ExcludeObjID = owner != nullptr ? owner->GetUID() : 0;
	EFRayIntersectOut out = {};
	const RayIntersectResult result = EFPhysicMgr::moPhysicMgr.RayIntersect( in, out );
	if ( result == PS_RAY_NONE ) {
		return result;
	}
	*hit = out.oIntersectionPoint;
	EFPhysicData * const self = mpoOwner != nullptr ? mpoOwner->GetOwner() : nullptr;
	if ( result == PS_RAY_OBJ && self != nullptr ) {
		const EFPhysicData * const other = out.poObjCollider != nullptr ? out.poObjCollider->GetOwner() : nullptr;
		EFObjectCollisionRecord record = {};
		record.ui32Side = 1;
		record.ui32Tag = EF_DM_TUNG_TAG;
		record.ui32OtherId = other != nullptr ? other->GetUID() : 0;
		record.oVelocity = u;
		self->Notify( NO_PHYSIC_OBJECTCOLLISION, &record, false );
	}
	return result;
}

void EFDMTung::Extend( const f32 dt ) {
	const f32 step = mfExtendSpeed * dt;
	mfLength += step;
	if ( mfLength >= mfFullLength || mui32Shoot == 0 ) {
		mfLength = mfFullLength;
		SetExclusiveState( EF_DM_TUNG_FULL );
		UpdateTipLocalPosition( moTipPosition );
		return;
	}
	const DTVector3d base = BasePosition();
	const DTVector3d u = DMUnit( moTarget - moTipPosition );
	DTVector3d hit;
	const u32 result = CastRay( ( moTipPosition - base ) + u * step, u, &hit );
	if ( result != PS_RAY_NONE ) {
		moTipPosition = hit;
		moTarget = hit;
		mfLength = mfFullLength;
		SetExclusiveState( EF_DM_TUNG_CAUGHT );
		UpdateTipLocalPosition( moTipPosition );
		return;
	}
	moTipPosition += u * step;
	UpdateTipLocalPosition( moTipPosition );
	const DTVector3d forward = DMRow( RwFrameGetLTM( mpoRoot )->at );
	if ( DMUnit( moTipPosition - base ) * forward < TURN_BACK ) {
		SetExclusiveState( EF_DM_TUNG_RETRACTING );
	}
}

void EFDMTung::Retract( const f32 dt ) {
	mfLength -= mfRetractSpeed * dt;
	const DTVector3d base = BasePosition();
	const DTVector3d remaining = ( base - moTipPosition ) * RETRACT_KEEP;
	const f32 distance = std::sqrt( remaining * remaining );
	if ( mfCountdown == mfCountdownStart && distance < SHRINK_DISTANCE ) {
		mfCountdown -= dt;
	}
	if ( mfCountdown < mfCountdownStart ) {
		// The base shrinks in place; step 1 re-aligns it every update, so
		// the scale never compounds.
		const f32 k = mfCountdown > 0.0f ? mfCountdown / mfCountdownStart : 0.0f;
		const RwV3d scale = { k, k, k };
		const RwV3d position = mpoBase->modelling.pos;
		RwMatrixScale( &mpoBase->modelling, &scale, rwCOMBINEPOSTCONCAT );
		mpoBase->modelling.pos = position;
		RwFrameUpdateObjects( mpoBase );
		mfCountdown -= dt;
	} else {
		// The ray covers the tongue as it is drawn back.
		const DTVector3d tip = base - remaining;
		DTVector3d hit;
		CastRay( tip - base, DMUnit( tip - base ), &hit );
		moTipPosition = tip;
		Bend_Symmetric();
		UpdateTipLocalPosition( moTipPosition );
	}
	if ( mfCountdown <= 0.0f || distance <= mfEndDistance ) {
		mui32Shoot = 0;
		AlignLocalWithGlobal( mpoRoot, mpoBase );
		SetExclusiveState( EF_DM_TUNG_READY );
	}
}

void EFDMTung::PostColUpdate( EFCollisionStage *, const f32 dt ) {
	if ( mpoRoot == nullptr || mpoBase == nullptr || mpoTip == nullptr ) {
		return;
	}
	mfBendFactor = BEND_FACTOR;
	mfCountdownStart = COUNTDOWN_START;
	AlignLocalWithGlobal( mpoRoot, mpoBase );
	mpoBaseLTM = RwFrameGetLTM( mpoBase );
	mpoTipMatrix = &mpoTip->modelling;
	switch ( mui32State ) {
	case EF_DM_TUNG_READY:
		if ( mui32Shoot == 0 ) {
			return;
		}
		mfLength = mfStartLength;
		mfCountdown = mfCountdownStart;
		moTipPosition = BasePosition();
		_rwMatrixSetIdentity( mpoTipMatrix );
		RwFrameUpdateObjects( mpoTip );
		SetExclusiveState( EF_DM_TUNG_EXTENDING );
		Extend( dt );
		return;
	case EF_DM_TUNG_EXTENDING:
		Extend( dt );
		return;
	case EF_DM_TUNG_FULL:
	case EF_DM_TUNG_CAUGHT:
		SetExclusiveState( EF_DM_TUNG_RETRACTING );
		UpdateTipLocalPosition( moTipPosition );
		return;
	case EF_DM_TUNG_RETRACTING:
		Retract( dt );
		return;
	default:
		return;
	}
}
