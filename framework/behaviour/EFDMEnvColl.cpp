#include "framework/behaviour/EFDMEnvColl.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysic.h"

#include <cmath>

namespace {

constexpr s32 NO_PRIM		= -1;
// An offset component below this counts as zero (2^-6).
constexpr f32 NEGLIGIBLE	= 0.015625f;

bool Negligible( const DTVector3d & v ) {
	return std::fabs( v.x ) < NEGLIGIBLE && std::fabs( v.y ) < NEGLIGIBLE && std::fabs( v.z ) < NEGLIGIBLE;
}


}

EnvPrimAttribs EFDMEnvColl::moNullAttribs = {};

EFDMEnvColl::EFDMEnvColl( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mi32PrimIndex( NO_PRIM ), moOffset(), mfScale( 1.0f ),
	  mui32UDDetectMask( 0 ), mui32DetectMask( 0 ), mui32LocalOffset( 0 ), moContactNormal(),
	  mpoContactAttribs( &moNullAttribs ), moContactPoint(), mfSavedRadius( 0.0f ), moSavedVector() {
	moNullAttribs = EnvPrimAttribs{};
}

EFObjCollisionPrim * EFDMEnvColl::GetPrim() const {
	// -1 reads as all ones: past any slot array.
	return mpoOwner->moCollisionModel.GetPrimitive( static_cast<u32>( mi32PrimIndex ) );
}

void EFDMEnvColl::SetParams( void * params ) {
	if ( params == nullptr ) {
		mi32PrimIndex = NO_PRIM;
		moOffset = DTVector3d();
		mfScale = 1.0f;
		mui32UDDetectMask = 0;
		mui32LocalOffset = 0;
		mui32DetectMask = 0;
		return;
	}
	const DMEnvCollParams & record = *static_cast<const DMEnvCollParams *>( params );
	mi32PrimIndex = mpoOwner->moCollisionModel.PrimTagToPrimIndex( record.ui32PrimTag );
	moOffset = record.oOffset;
	mfScale = record.fScale;
	mui32UDDetectMask = record.ui32UDDetectMask;
	mui32LocalOffset = record.ui32LocalOffset != 0 ? 1 : 0;
	mui32DetectMask = record.ui32DetectMask;
}

void EFDMEnvColl::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMEnvCollParams & record = *static_cast<DMEnvCollParams *>( params );
	const EFObjCollisionPrim * const prim = GetPrim();
	record.ui32PrimTag = prim != nullptr ? prim->mui32Tag : 0;
	record.oOffset = moOffset;
	record.fScale = mfScale;
	record.ui32UDDetectMask = mui32UDDetectMask;
	record.ui32LocalOffset = mui32LocalOffset;
	record.ui32DetectMask = mui32DetectMask;
}

void EFDMEnvColl::DoAction( const u32 action, void * data ) {
	if ( action != DM_ENV_COLL_GET_CONTACT || data == nullptr ) {
		return;
	}
	DMEnvCollContact & contact = *static_cast<DMEnvCollContact *>( data );
	contact.oNormal = moContactNormal;
	contact.oAttribs = *mpoContactAttribs;
	contact.oPoint = moContactPoint;
}

void EFDMEnvColl::InitCollPrim( EFObjCollisionPrim * prim, DTVector3d & centre, DTVector3d & worldOffset ) {
	static_cast<void>( centre );
	worldOffset = moOffset;
	if ( mui32LocalOffset != 0 ) {
		worldOffset = DMTransformVector( moOffset, DMOwnerLTM( *this ) );
	}
	if ( mfScale == 1.0f ) {
		return;
	}
	switch ( prim->mui32Shape ) {
		case EF_PRIM_SPHERE:
			mfSavedRadius = prim->mfMaxRadius;
			prim->mfMaxRadius = mfScale * mfSavedRadius;
			break;
		case EF_PRIM_SWEPT_SPHERE: {
			EFObjCollisionSweptSphere & capsule = *static_cast<EFObjCollisionSweptSphere *>( prim );
			moSavedVector = capsule.moVector;
			mfSavedRadius = capsule.GetMinRadius();
			capsule.mfRadius = mfScale * mfSavedRadius;
			capsule.SetVector( moSavedVector * mfScale );
			break;
		}
		case EF_PRIM_BBOX: {
			EFObjCollisionBBox & box = *static_cast<EFObjCollisionBBox *>( prim );
			moSavedVector = box.moHalfExtents;
			box.SetHalfExtents( moSavedVector * mfScale );
			break;
		}
		default:
			break;
	}
}

void EFDMEnvColl::ResetCollPrim( EFObjCollisionPrim * prim ) {
	switch ( prim->mui32Shape ) {
		case EF_PRIM_SPHERE:
			prim->mfMaxRadius = mfSavedRadius;
			break;
		case EF_PRIM_SWEPT_SPHERE: {
			EFObjCollisionSweptSphere & capsule = *static_cast<EFObjCollisionSweptSphere *>( prim );
			capsule.mfRadius = mfSavedRadius;
			capsule.SetVector( moSavedVector );
			break;
		}
		case EF_PRIM_BBOX:
			static_cast<EFObjCollisionBBox *>( prim )->SetHalfExtents( moSavedVector );
			break;
		default:
			break;
	}
}

bool EFDMEnvColl::FindContact( EFCollisionStage & stage, EFObjCollisionPrim & prim, const DTVector3d & centre,
							   const DTVector3d & worldOffset ) {
	const f32 r = prim.mfMaxRadius;
	const f32 limit = r * r;
	for ( u32 i = 0; i < stage.mui32NbEnvPrims; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[i];
		if ( polygon == nullptr ) {
			continue;
		}
		const EnvPrimAttribs * const attribs = polygon->GetAttribs();
		if ( ( attribs->ui32UDDetectedBy & mui32UDDetectMask ) == 0 &&
			 ( attribs->ui32DetectedBy & mui32DetectMask ) == 0 ) {
			continue;
		}
		DTVector3d w;
		if ( EFCollisionStage_FindNearestPoint( *polygon, centre, limit, &w ) == CS_FINDNEARESTPOINT_TOOFAR ) {
			continue;
		}
		if ( prim.CheckPointIntersection( centre + w - worldOffset ) ) {
			moContactNormal = polygon->moPlane.moNormal;
			mpoContactAttribs = attribs;
			moContactPoint = centre + w;
			return true;
		}
	}
	return false;
}

void EFDMEnvColl::PostColUpdate( EFCollisionStage * stage, const f32 dt ) {
	static_cast<void>( dt );
	if ( ( mui32State & EF_DM_ENV_COLL_LOST ) != 0 || stage == nullptr ) {
		return;
	}
	EFObjCollisionPrim * const prim = GetPrim();
	if ( prim == nullptr ) {
		return;
	}
	DTVector3d centre = prim->moPrimPos;
	DTVector3d worldOffset;
	const bool scaled = mfScale != 1.0f;
	if ( !Negligible( moOffset ) || scaled ) {
		InitCollPrim( prim, centre, worldOffset );
		centre += worldOffset;
	}
	const bool found = FindContact( *stage, *prim, centre, worldOffset );
	if ( scaled ) {
		ResetCollPrim( prim );
	}
	if ( found ) {
		if ( mui32State == 0 ) {
			mui32State = EF_DM_ENV_COLL_CONTACT;
			if ( ( EF_DM_ENV_COLL_CONTACT & mui32StateChangeNotifyBits ) != 0 ) {
				DMNotifyExclusiveState( *this, EF_DM_ENV_COLL_CONTACT );
			}
		}
		return;
	}
	if ( ( mui32State & EF_DM_ENV_COLL_CONTACT ) != 0 ) {
		moContactNormal = DTVector3d();
		moContactPoint = DTVector3d();
		mpoContactAttribs = &moNullAttribs;
		mui32State = EF_DM_ENV_COLL_LOST;
		if ( ( EF_DM_ENV_COLL_LOST & mui32StateChangeNotifyBits ) != 0 ) {
			DMNotifyExclusiveState( *this, EF_DM_ENV_COLL_LOST );
		}
	}
}
