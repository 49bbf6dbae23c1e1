#include "framework/behaviour/EFDMPrimMove.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"

namespace {

constexpr u32 NO_TAG = 0xFFFFFFFF;

}

EFDMPrimMove::EFDMPrimMove( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), moAnchor(), mui32PrimIndex( 0 ), mui32LastFrame( 0 ) {
}

EFObjCollisionPrim * EFDMPrimMove::GetPrim() const {
	return mpoOwner->moCollisionModel.GetPrimitive( mui32PrimIndex );
}

void EFDMPrimMove::SetParams( void * params ) {
	if ( params == nullptr ) {
		mui32PrimIndex = 0;
		return;
	}
	const DMPrimMoveParams & record = *static_cast<const DMPrimMoveParams *>( params );
	// An unknown tag gives -1, all ones here: no primitive.
	mui32PrimIndex = static_cast<u32>( mpoOwner->moCollisionModel.PrimTagToPrimIndex( record.ui32PrimTag ) );
}

void EFDMPrimMove::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	const EFObjCollisionPrim * const prim = GetPrim();
	static_cast<DMPrimMoveParams *>( params )->ui32PrimTag = prim != nullptr ? prim->mui32Tag : NO_TAG;
}

u32 EFDMPrimMove::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	EFObjCollisionPrim * const prim = GetPrim();
	if ( prim == nullptr || ( prim->moCurrentAttrib.IntArray[0] & EF_DM_PRIM_MOVE_SKIP ) != 0 ) {
		return 1;
	}
	if ( ( prim->muiPrimFlags & EF_DM_PRIM_MOVE_ANCHOR ) != 0 || !DMRanInPreviousFrame( mui32LastFrame ) ) {
		moAnchor = prim->moPrimPos;
		prim->muiPrimFlags &= ~EF_DM_PRIM_MOVE_ANCHOR;
	}
	EFPhysic & body = *mpoOwner;
	body.moVelocity = record.oTargetVelocity + ( moAnchor - prim->moPrimPos ) * ( 1.0f / dt );
	body.mfFallingTimer = body.mfFallingDelay;
	mui32LastFrame = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	return 1;
}
