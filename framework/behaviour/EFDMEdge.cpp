#include "framework/behaviour/EFDMEdge.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMLedge.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>

namespace {

constexpr f32 MIN_WALKABLE	= 0.6f;
constexpr f32 PROBE_DROP	= 0.05f;
constexpr f32 PROBE_REACH	= 1.1f;
constexpr u32 NO_TAG		= 0xFFFFFFFF;

}

EFDMEdge::EFDMEdge( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32PrimIndex( 0 ), mui32MatchedBits( 0 ), mui32Mirror( 0 ),
	  mfForwardOffset( 0.0f ), mui32LastFrame( 0 ) {}

void EFDMEdge::SetParams( void * params ) {
	mui32MatchedBits = 0;
	if ( params == nullptr ) {
		mui32PrimIndex = 0;
		return;
	}
	const DMEdgeParams & record = *static_cast<const DMEdgeParams *>( params );
	mui32PrimIndex = static_cast<u32>( mpoOwner->moCollisionModel.PrimTagToPrimIndex( record.ui32PrimTag ) );
	mui32Mirror = record.ui32Mirror;
}

void EFDMEdge::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMEdgeParams & record = *static_cast<DMEdgeParams *>( params );
	const EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( mui32PrimIndex );
	record.ui32PrimTag = prim != nullptr ? prim->mui32Tag : NO_TAG;
	record.ui32MatchedBits = mui32MatchedBits;
	record.ui32Mirror = mui32Mirror;
}

void EFDMEdge::PostColUpdate( EFCollisionStage * stage, f32 ) {
	EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( mui32PrimIndex );
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( stage == nullptr || prim == nullptr || owner == nullptr ) {
		return;
	}
	const u32 frameNumber = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	if ( mui32LastFrame + 1 != frameNumber ) {
		mui32State = 0;
	}
	mui32LastFrame = frameNumber;

	RwFrame * const frame = owner->GetRwFrame();
	const RwMatrix & ltm = *RwFrameGetLTM( frame );
	const DTVector3d at = DMRow( ltm.at );
	const f32 r = prim->mfMaxRadius;
	const DTVector3d p = prim->moPrimPos;
	if ( ( mui32State & 1 ) == 0 ) {
		mfForwardOffset = -( ( p - DMRow( ltm.pos ) ) * at );
	}
	const DTVector3d q = p + at * mfForwardOffset;
	const DMLedgeQuery query = { p, q, r, MIN_WALKABLE, false, DTVector3d( 0.0f, -PROBE_DROP, 0.0f ),
								 DTVector3d( 0.0f, PROBE_REACH * r, 0.0f ) };
	const DMLedge rim = DMFindLedge( *stage, *prim, query );
	mui32MatchedBits = rim.mui32Matched;
	if ( !rim.mbFound ) {
		mui32MatchedBits = 0;
		DMChangeState( *this, mui32State & ~1u );
		return;
	}
	const DTVector3d & e = rim.moPoint;
	const f32 a = std::atan2( p.x - q.x, p.z - q.z );
	const f32 b = std::atan2( e.x - q.x, mui32Mirror != 0 ? -( e.z - q.z ) : e.z - q.z );
	// Upright first: the vertical turn then keeps the body level.
	RwMatrix & modelling = frame->modelling;
	const DTVector3d up( 0.0f, 1.0f, 0.0f );
	const DTVector3d level = DMUnit( DTVector3d( modelling.at.x, 0.0f, modelling.at.z ) );
	const DTVector3d right = DMCross( up, level );
	modelling.right = { right.x, right.y, right.z };
	modelling.up = { up.x, up.y, up.z };
	modelling.at = { level.x, level.y, level.z };
	modelling.flags = ( modelling.flags & ~rwMATRIXINTERNALIDENTITY ) | rwMATRIXTYPEORTHONORMAL;
	DMRotateInPlace( frame, up, b - a );
	prim->PrecalcPrimData();
	mpoOwner->moCollisionModel.Translate( e - prim->moPrimPos );
	mpoOwner->moVelocity = DTVector3d();
	mpoOwner->mfFallingTimer = mpoOwner->mfFallingDelay;
	DMChangeState( *this, mui32State | 1u );
}
