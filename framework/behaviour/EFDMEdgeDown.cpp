#include "framework/behaviour/EFDMEdgeDown.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMLedge.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>

namespace {

constexpr f32 PI			= 3.14159265f;
constexpr f32 MIN_FLOOR_UP	= 0.25f;
constexpr f32 PROBE_SIDE	= 0.05f;
constexpr f32 PROBE_REACH	= 1.1f;
constexpr u32 NO_TAG		= 0xFFFFFFFF;

}

EFDMEdgeDown::EFDMEdgeDown( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mi32PrimIndex( 0 ), mfTipDuration( 0.0f ), mui32MatchedBits( 0 ),
	  moTipAxis(), mfTipRate( 0.0f ), mfTippedAngle( 0.0f ), mui32LastFrame( 0 ), mbPreGap( false ) {}

void EFDMEdgeDown::SetParams( void * params ) {
	mui32MatchedBits = 0;
	if ( params == nullptr ) {
		mi32PrimIndex = 0;
		mfTipDuration = 0.0f;
		mfTipRate = 0.0f;
		return;
	}
	const DMEdgeDownParams & record = *static_cast<const DMEdgeDownParams *>( params );
	mi32PrimIndex = mpoOwner->moCollisionModel.PrimTagToPrimIndex( record.ui32PrimTag );
	mfTipDuration = record.fTipDuration;
	mfTipRate = mfTipDuration != 0.0f ? PI / mfTipDuration : 0.0f;
}

void EFDMEdgeDown::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMEdgeDownParams & record = *static_cast<DMEdgeDownParams *>( params );
	const EFObjCollisionPrim * const prim =
		mpoOwner->moCollisionModel.GetPrimitive( static_cast<u32>( mi32PrimIndex ) );
	record.ui32PrimTag = prim != nullptr ? prim->mui32Tag : NO_TAG;
	record.fTipDuration = mfTipDuration;
	record.ui32MatchedBits = mui32MatchedBits;
}

bool EFDMEdgeDown::IsInSomeOtherPrim( const DTVector3d & p, const DTVector3d & d,
									  const EFCollisionStage & stage ) const {
	return DMFloorAlong( stage, p, d );
}

u32 EFDMEdgeDown::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	const u32 frameNumber = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	mbPreGap = frameNumber != mui32LastFrame + 1;
	if ( mbPreGap ) {
		mfTippedAngle = 0.0f;
	}
	if ( ( mui32State & 1 ) != 0 && mfTipRate > 0.0f ) {
		f32 step = mfTipRate * dt;
		if ( mfTippedAngle + step > PI ) {
			step = PI - mfTippedAngle;
			DMChangeState( *this, mui32State & ~1u );
			mfTippedAngle = 0.0f;
		} else {
			mfTippedAngle += step;
		}
		DTFrame * const owner = DMOwnerFrame( *this );
		if ( owner != nullptr ) {
			DMRotateInPlace( owner->GetRwFrame(), moTipAxis, step );
		}
	}
	mui32LastFrame = frameNumber;
	return 1;
}

void EFDMEdgeDown::PostColUpdate( EFCollisionStage * stage, f32 ) {
	if ( stage == nullptr ) {
		return;
	}
	const u32 frameNumber = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	// When the pre phase ran this frame it already stored the number: the
	// gap is the one it saw.
	const bool gap = frameNumber == mui32LastFrame ? mbPreGap : frameNumber != mui32LastFrame + 1;
	mbPreGap = false;
	if ( gap ) {
		mui32State = 0;
	}
	mui32LastFrame = frameNumber;
	EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( static_cast<u32>( mi32PrimIndex ) );
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( ( mui32State & 1 ) != 0 || prim == nullptr || owner == nullptr ) {
		return;
	}
	const DTVector3d c = prim->moPrimPos;
	const f32 r = prim->mfMaxRadius;
	const DMLedgeQuery query = { c, c, r, MIN_FLOOR_UP, true, DTVector3d( -PROBE_SIDE, 0.0f, -PROBE_SIDE ),
								 DTVector3d( PROBE_REACH * r, 0.0f, PROBE_REACH * r ) };
	const DMLedge ledge = DMFindLedge( *stage, *prim, query );
	mui32MatchedBits = ledge.mui32Matched;
	if ( !ledge.mbFound ) {
		DMChangeState( *this, mui32State & ~1u );
		return;
	}
	RwFrame * const frame = owner->GetRwFrame();
	const DTVector3d at = DMRow( RwFrameGetLTM( frame )->at );
	const f32 facing = std::atan2( at.x, at.z );
	const f32 across = std::atan2( ledge.moOutward.x, ledge.moOutward.z );
	DMRotateInPlace( frame, DTVector3d( 0.0f, 1.0f, 0.0f ), across - facing );
	prim->PrecalcPrimData();
	mpoOwner->moCollisionModel.Translate( ledge.moPoint - c );
	mpoOwner->moVelocity = DTVector3d();
	mpoOwner->mfFallingTimer = mpoOwner->mfFallingDelay;
	moTipAxis = DMUnit( ledge.moEdge );
	DMChangeState( *this, mui32State | 1u );
}
