#include "framework/physics/EFCollisionModel.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "platform/os/OS.h"

#include <cmath>
#include <new>

namespace {

// Moves whose components are all below this (2^-23) leave the frame alone.
constexpr f32 NEGLIGIBLE_MOVE	= 1.0f / 8388608.0f;
// A primary move below this share of the smallest radius (squared: half
// the radius) is not checked.
constexpr f32 SMALL_MOVE_SHARE	= 0.25f;
// How far before a blocking polygon a checked move stops.
constexpr f32 WALL_CLEARANCE	= 0.01f;

}

EFCollisionModel::EFCollisionModel( EFPhysicData * owner, const u32 slots )
	: mppoPrimArray( nullptr ), mui32MaxPrims( 0 ), moPhysicBSphere(), moPhysicBSphereWPos(),
	  muiLastPrimaryPrimSaveCount( 0 ), muiPrimaryPrimIndex( EF_NO_PRIMARY_PRIM ), moPrimaryPrimSavedPos(),
	  mbUsingFixVolume( 0 ), muiCollisionType( 0 ), muiCollisionUDType( 0 ), muiCollisionDetectType( 0 ),
	  muiCollisionUDDetectType( 0 ), muiEnvDetectType( 0 ), muiUDEnvDetectType( 0 ), mpoPhysicData( owner ) {
	SetMaxPrims( slots );
}

EFCollisionModel::~EFCollisionModel() {
	DeletePrims();
}

void EFCollisionModel::DeletePrims() {
	for ( u32 i = 0; i < mui32MaxPrims; i++ ) {
		delete mppoPrimArray[i];
	}
	delete[] mppoPrimArray;
	mppoPrimArray = nullptr;
	mui32MaxPrims = 0;
}

void EFCollisionModel::SetMaxPrims( const u32 count ) {
	DeletePrims();
	// A primary index kept past the new slots would name a primitive of
	// the old array.
	if ( muiPrimaryPrimIndex != EF_NO_PRIMARY_PRIM && muiPrimaryPrimIndex >= count ) {
		muiPrimaryPrimIndex = EF_NO_PRIMARY_PRIM;
	}
	if ( count == 0 ) {
		return;
	}
	mppoPrimArray = new ( std::nothrow ) EFObjCollisionPrim *[count];
	if ( mppoPrimArray == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < count; i++ ) {
		mppoPrimArray[i] = nullptr;
	}
	mui32MaxPrims = count;
}

s32 EFCollisionModel::PrimTagToPrimIndex( const u32 tag ) const {
	for ( u32 i = 0; i < mui32MaxPrims; i++ ) {
		if ( mppoPrimArray[i] != nullptr && mppoPrimArray[i]->mui32Tag == tag ) {
			return static_cast<s32>( i );
		}
	}
	return -1;
}

EFObjCollisionPrim * EFCollisionModel::AddPrimitive( const u32 index, const u32 tag, const u32 shape, DTFrame * frame ) {
	if ( index >= mui32MaxPrims ) {
		OSReport( "EFCollisionModel::AddPrimitive: slot %u of %u refused\n", index, mui32MaxPrims );
		return nullptr;
	}
	EFObjCollisionPrim * prim = nullptr;
	switch ( shape ) {
	case EF_PRIM_SPHERE:
		prim = new ( std::nothrow ) EFObjCollisionSphere( frame );
		break;
	case EF_PRIM_SWEPT_SPHERE:
		prim = new ( std::nothrow ) EFObjCollisionSweptSphere( frame );
		break;
	case EF_PRIM_BBOX:
		prim = new ( std::nothrow ) EFObjCollisionBBox( frame );
		break;
	case EF_PRIM_POLYGON:
		prim = new ( std::nothrow ) EFObjCollisionPolygon( frame );
		break;
	default:
		OSReport( "EFCollisionModel::AddPrimitive: unknown shape %u\n", shape );
		return nullptr;
	}
	if ( prim == nullptr ) {
		return nullptr;
	}
	delete mppoPrimArray[index];
	prim->mui32Tag = tag;
	mppoPrimArray[index] = prim;
	return prim;
}

const RwMatrix * EFCollisionModel::GetOwnerLTM() const {
	if ( mpoPhysicData == nullptr || mpoPhysicData->GetFrame() == nullptr ) {
		return nullptr;
	}
	return RwFrameGetLTM( mpoPhysicData->GetFrame()->GetRwFrame() );
}

void EFCollisionModel::ComputePhysicBSphere() {
	const RwMatrix * const world = GetOwnerLTM();
	if ( world == nullptr ) {
		moPhysicBSphereWPos = moPhysicBSphere.moPos;
		return;
	}
	RwV3dTransformPoints( DTAsRwV3d( &moPhysicBSphereWPos ), DTAsRwV3d( &moPhysicBSphere.moPos ), 1, world );
}

void EFCollisionModel::PrecalcData() {
	ComputePhysicBSphere();
	muiCollisionType = muiCollisionUDType = muiCollisionDetectType = 0;
	muiCollisionUDDetectType = muiEnvDetectType = muiUDEnvDetectType = 0;
	for ( u32 i = 0; i < mui32MaxPrims; i++ ) {
		EFObjCollisionPrim * const prim = mppoPrimArray[i];
		if ( prim == nullptr ) {
			continue;
		}
		prim->PrecalcPrimData();
		muiCollisionType |= prim->GetAttrib( EF_ATTR_TYPE );
		muiCollisionUDType |= prim->GetAttrib( EF_ATTR_UD_TYPE );
		muiCollisionDetectType |= prim->GetAttrib( EF_ATTR_DETECT );
		muiCollisionUDDetectType |= prim->GetAttrib( EF_ATTR_UD_DETECT );
		muiEnvDetectType |= prim->GetAttrib( EF_ATTR_ENV_DETECT );
		muiUDEnvDetectType |= prim->GetAttrib( EF_ATTR_UD_ENV_DETECT );
	}
}

void EFCollisionModel::Translate( const DTVector3d & v ) {
	if ( mpoPhysicData != nullptr ) {
		if ( !IsNegligibleMove( v ) && mpoPhysicData->GetFrame() != nullptr ) {
			RwFrameTranslate( mpoPhysicData->GetFrame()->GetRwFrame(), DTAsRwV3d( &v ), rwCOMBINEPOSTCONCAT );
		}
		FlagTranslatedChild( mpoPhysicData );
	}
	moPhysicBSphereWPos += v;
	for ( u32 i = 0; i < mui32MaxPrims; i++ ) {
		if ( mppoPrimArray[i] != nullptr ) {
			mppoPrimArray[i]->Translate( v );
		}
	}
}

bool EFCollisionModel::IsNegligibleMove( const DTVector3d & v ) {
	return std::fabs( v.x ) < NEGLIGIBLE_MOVE && std::fabs( v.y ) < NEGLIGIBLE_MOVE && std::fabs( v.z ) < NEGLIGIBLE_MOVE;
}

void EFCollisionModel::FlagTranslatedChild( EFPosData * instance ) {
	instance->muiFlags |= EF_INSTANCE_MOVED;
	for ( EFPosData * child = instance->mpChild; child != nullptr; child = child->mpNext ) {
		FlagTranslatedChild( child );
	}
}

u32 EFCollisionModel::ValidatePrimaryPrimTrans( EFCollisionStage * stage ) {
	if ( muiPrimaryPrimIndex >= mui32MaxPrims || mppoPrimArray[muiPrimaryPrimIndex] == nullptr ) {
		return 0;
	}
	EFObjCollisionPrim * const prim = mppoPrimArray[muiPrimaryPrimIndex];
	const u32 frame = gpoPhysicMgr != nullptr ? gpoPhysicMgr->GetCurrentSaveCount() : 0;
	prim->PrecalcPrimData();
	if ( frame > muiLastPrimaryPrimSaveCount + 1 ) {
		moPrimaryPrimSavedPos = prim->moPrimPos;
		muiLastPrimaryPrimSaveCount = frame;
		return 0;
	}
	DTVector3d move = prim->moPrimPos - moPrimaryPrimSavedPos;
	const f32 minRadius = prim->GetMinRadius();
	if ( move * move < SMALL_MOVE_SHARE * minRadius * minRadius ) {
		return 0;
	}
	if ( stage != nullptr && stage->ValidateTranslation( moPrimaryPrimSavedPos, move, prim->GetAttrib( EF_ATTR_ENV_DETECT ),
														 prim->GetAttrib( EF_ATTR_UD_ENV_DETECT ) ) != 0 ) {
		const f32 length = std::sqrt( move * move );
		move = length <= WALL_CLEARANCE ? DTVector3d() : move * ( ( length - WALL_CLEARANCE ) / length );
		Translate( moPrimaryPrimSavedPos + move - prim->moPrimPos );
		prim->PrecalcPrimData();
	}
	moPrimaryPrimSavedPos = prim->moPrimPos;
	muiLastPrimaryPrimSaveCount = frame;
	return 0;
}
