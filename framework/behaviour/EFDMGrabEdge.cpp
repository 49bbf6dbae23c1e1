#include "framework/behaviour/EFDMGrabEdge.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/input/ActionState.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>
#include <utility>

namespace {

constexpr f32 DEFAULT_MAX_TURN		= 1.0f;
constexpr f32 DEFAULT_GRAB_DISTANCE	= 0.5f;
constexpr f32 DEFAULT_REACH_SPEED	= 0.5f;
constexpr f32 DEFAULT_MAX_SPEED		= 1.0f;
constexpr f32 DEFAULT_TURN_RATE		= 1.0f;

// The angle between at and v with its component along n removed; a
// vector with nothing left lies along at (angle 0).
f32 AngleInPlane( const DTVector3d & v, const DTVector3d & n, const DTVector3d & at ) {
	DTVector3d flat;
	v.RemoveComponent( n, &flat );
	const DTVector3d unit = DMUnit( flat );
	if ( unit * unit == 0.0f ) {
		return 0.0f;
	}
	return DMClampedAcos( unit * at );
}

bool SameVertex( const DTVector3d & a, const DTVector3d & b ) {
	return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Whether the hand may see the polygon's edges.
bool Eligible( const EFEnvCollisionPrim & polygon, const EFObjCollisionPrim & hand ) {
	const EnvPrimAttribs * const attribs = polygon.GetAttribs();
	const bool seen = ( attribs->ui32DetectedBy & hand.GetAttrib( EF_ATTR_ENV_DETECT ) ) != 0 ||
					  ( attribs->ui32UDDetectedBy & hand.GetAttrib( EF_ATTR_UD_ENV_DETECT ) ) != 0;
	return seen && polygon.mui16EdgeGrab != 0;
}

// Calls visit (polygon, a, b) for every grabbable edge of length above 0
// of the polygons the hand sees, in list and edge order, until it
// returns true; returns whether it did.
template< class Visit >
bool ForEachGrabEdge( const EFCollisionStage & stage, const EFObjCollisionPrim & hand, Visit visit ) {
	for ( u32 k = 0; k < stage.mui32NbEnvPrims; k++ ) {
		const EFEnvCollisionPrim * const polygon = stage.mppoEnvPrims[k];
		if ( polygon == nullptr || !Eligible( *polygon, hand ) ) {
			continue;
		}
		const u32 count = DMPolygonVertexCount( *polygon );
		for ( u32 i = 0; i < count; i++ ) {
			DTVector3d a;
			DTVector3d b;
			if ( !DMEdgeGrabbable( *polygon, i ) ) {
				continue;
			}
			DMPolygonEdge( *polygon, i, &a, &b );
			if ( !SameVertex( a, b ) && visit( *polygon, a, b ) ) {
				return true;
			}
		}
	}
	return false;
}

}

EFDMGrabEdge::EFDMGrabEdge( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfMaxTurn( DEFAULT_MAX_TURN ), mfGrabDistance( DEFAULT_GRAB_DISTANCE ),
	  mui32PrimIndex( 0 ), mui32InputConfigId( 0 ), mui32ActionId( 0 ), mfReachSpeed( DEFAULT_REACH_SPEED ),
	  mfMaxEdgeSpeed( DEFAULT_MAX_SPEED ), mfMinEdgeSpeed( 0.0f ), mfTurnRate( DEFAULT_TURN_RATE ),
	  mfHandDepth( 0.0f ), mui32LastFrame( 0 ), mfEdgeT( 0.0f ), mfInputFactor( 1.0f ),
	  mi32Phase( EF_DM_GRAB_PHASE_REACH ), mfEdgeLength( 0.0f ), moEdgeVector(), moLedgeNormal(), moGrabPoint(),
	  moEdgeStart(), moEdgeEnd(), moNextVertex(), moReachStart(), moReachVelocity(), moTurnAxis(),
	  mfTurnAmount( 0.0f ), mfTurned( 0.0f ), mfReachTime( 0.0f ), mfReachElapsed( 0.0f ) {
}

void EFDMGrabEdge::SetDefaults() {
	mfMaxTurn = DEFAULT_MAX_TURN;
	mfGrabDistance = DEFAULT_GRAB_DISTANCE;
	mui32PrimIndex = 0;
	mui32InputConfigId = 0;
	mui32ActionId = 0;
	mfReachSpeed = DEFAULT_REACH_SPEED;
	mfMaxEdgeSpeed = DEFAULT_MAX_SPEED;
	mfMinEdgeSpeed = 0.0f;
	mfTurnRate = DEFAULT_TURN_RATE;
}

EFObjCollisionPrim * EFDMGrabEdge::GetPrim() const {
	return mpoOwner->moCollisionModel.GetPrimitive( mui32PrimIndex );
}

void EFDMGrabEdge::SetParams( void * params ) {
	if ( params == nullptr ) {
		SetDefaults();
	} else {
		const DMGrabEdgeParams & record = *static_cast<const DMGrabEdgeParams *>( params );
		mfMaxTurn = record.fMaxTurn;
		mfGrabDistance = record.fGrabDistance;
		// An unknown tag gives -1, all ones here: no hand.
		mui32PrimIndex = static_cast<u32>( mpoOwner->moCollisionModel.PrimTagToPrimIndex( record.ui32HandTag ) );
		mui32InputConfigId = record.ui32InputConfigId;
		mui32ActionId = record.ui32ActionId;
		mfReachSpeed = record.fReachSpeed;
		mfMaxEdgeSpeed = record.fMaxEdgeSpeed;
		mfMinEdgeSpeed = record.fMinEdgeSpeed;
		mfTurnRate = record.fTurnRate;
	}
	mui32State = 0;
}

void EFDMGrabEdge::GetParams( void * params ) {
	const EFObjCollisionPrim * const hand = GetPrim();
	if ( params == nullptr || hand == nullptr ) {
		return;
	}
	DMGrabEdgeParams & record = *static_cast<DMGrabEdgeParams *>( params );
	record.fMaxTurn = mfMaxTurn;
	record.fGrabDistance = mfGrabDistance;
	record.ui32HandTag = hand->mui32Tag;
	record.ui32InputConfigId = mui32InputConfigId;
	record.ui32ActionId = mui32ActionId;
	record.fReachSpeed = mfReachSpeed;
	record.fMaxEdgeSpeed = mfMaxEdgeSpeed;
	record.fMinEdgeSpeed = mfMinEdgeSpeed;
	record.fTurnRate = mfTurnRate;
}

void EFDMGrabEdge::DoAction( const u32 action, void * data ) {
	if ( action != DM_GRAB_EDGE_GET_EDGE || data == nullptr ) {
		return;
	}
	f32 * const out = static_cast<f32 *>( data );
	out[0] = moEdgeVector.x;
	out[1] = moEdgeVector.y;
	out[2] = moEdgeVector.z;
	out[3] = moLedgeNormal.x;
	out[4] = moLedgeNormal.y;
	out[5] = moLedgeNormal.z;
}

void EFDMGrabEdge::SetState( const u32 state ) {
	mui32State = state;
	if ( ( state & mui32StateChangeNotifyBits ) != 0 ) {
		DMNotifyExclusiveState( *this, state );
	}
}

bool EFDMGrabEdge::FindNewGrabEdge( EFCollisionStage & stage, const EFObjCollisionPrim & hand, const DTVector3d & q,
									const DTVector3d & p ) {
	f32 best = mfGrabDistance * mfGrabDistance;
	bool found = false;
	ForEachGrabEdge( stage, hand, [&]( const EFEnvCollisionPrim & polygon, const DTVector3d & a, const DTVector3d & b ) {
		const DTVector3d e = b - a;
		const f32 t = ( ( q - a ) * e ) / ( e * e );
		const DTVector3d x = a + e * t;
		const DTVector3d gap = p - x;
		const f32 d2 = gap * gap;
		// Later candidates at an equal distance replace earlier ones.
		if ( d2 <= best && t >= 0.0f && t <= 1.0f ) {
			moGrabPoint = x;
			mfEdgeT = t;
			moLedgeNormal = polygon.moPlane.moNormal;
			moEdgeVector = e;
			mfEdgeLength = std::sqrt( e * e );
			moEdgeStart = a;
			moEdgeEnd = b;
			best = d2;
			found = true;
		}
		return false;
	} );
	return found;
}

bool EFDMGrabEdge::FindAdjEdge( EFCollisionStage & stage, const EFObjCollisionPrim & hand ) {
	const bool swapped = mfEdgeT < 0.0f;
	if ( swapped ) {
		std::swap( moEdgeStart, moEdgeEnd );
		mfInputFactor = -mfInputFactor;
		mfEdgeT = -mfEdgeT;
	} else {
		mfEdgeT -= 1.0f;
	}
	const bool found =
		ForEachGrabEdge( stage, hand, [&]( const EFEnvCollisionPrim &, const DTVector3d & c, const DTVector3d & d ) {
			if ( SameVertex( c, moEdgeEnd ) && !SameVertex( d, moEdgeStart ) ) {
				moNextVertex = d;
				return true;
			}
			if ( SameVertex( d, moEdgeEnd ) && !SameVertex( c, moEdgeStart ) ) {
				moNextVertex = c;
				return true;
			}
			return false;
		} );
	if ( found ) {
		return true;
	}
	if ( swapped ) {
		std::swap( moEdgeStart, moEdgeEnd );
		mfInputFactor = -mfInputFactor;
		mfEdgeT = 0.0f;
	} else {
		mfEdgeT = 1.0f;
	}
	return false;
}

void EFDMGrabEdge::HoldHandAt( EFObjCollisionPrim & hand, const DTVector3d & target ) {
	hand.PrecalcPrimData();
	EFPhysic & body = *mpoOwner;
	body.moCollisionModel.Translate( target - hand.moPrimPos );
	body.moVelocity = DTVector3d();
	body.mfFallingTimer = body.mfFallingDelay;
}

void EFDMGrabEdge::ReachEdge( const f32 dt, RwFrame * frame, EFObjCollisionPrim & hand ) {
	if ( mfReachElapsed >= mfReachTime ) {
		return;
	}
	f32 step = dt;
	if ( mfReachElapsed + dt > mfReachTime ) {
		step = mfReachTime - mfReachElapsed;
		mfReachElapsed = mfReachTime;
	} else {
		mfReachElapsed += step;
	}
	DMRotateInPlace( frame, moTurnAxis, step * mfTurnAmount );
	HoldHandAt( hand, moReachStart + moReachVelocity * mfReachElapsed );
}

void EFDMGrabEdge::MoveOnEdge( EFObjCollisionPrim & hand ) {
	HoldHandAt( hand, moGrabPoint );
}

bool EFDMGrabEdge::UpdateFactor( const f32 dt ) {
	const f32 f = mfInputFactor;
	f32 speed = 0.0f;
	if ( f != 0.0f ) {
		const f32 magnitude = mfMinEdgeSpeed + std::fabs( f ) * ( mfMaxEdgeSpeed - mfMinEdgeSpeed );
		speed = f > 0.0f ? magnitude : -magnitude;
	}
	mfEdgeT += dt * speed / mfEdgeLength;
	return mfEdgeT >= 0.0f && mfEdgeT <= 1.0f;
}

u32 EFDMGrabEdge::Transition( const f32 dt, RwFrame * frame ) {
	if ( UpdateFactor( dt ) ) {
		moGrabPoint = moEdgeEnd + moEdgeVector * mfEdgeT;
		f32 step = 0.0f;
		if ( mfInputFactor > 0.0f ) {
			step = std::fmin( dt * mfTurnRate, mfTurnAmount - mfTurned );
		} else {
			step = std::fmax( -dt * mfTurnRate, -mfTurned );
		}
		if ( step != 0.0f ) {
			DMRotateInPlace( frame, moTurnAxis, step );
		}
		mfTurned += step;
		if ( mfTurned >= mfTurnAmount ) {
			moEdgeStart = moEdgeEnd;
			moEdgeEnd = moNextVertex;
			return 0;
		}
		return mfTurned < 0.0f ? 0 : 1;
	}
	mfEdgeT += 1.0f;
	moEdgeVector = moEdgeEnd - moEdgeStart;
	mfEdgeLength = std::sqrt( moEdgeVector * moEdgeVector );
	moGrabPoint = moEdgeStart + moEdgeVector * mfEdgeT;
	if ( mfTurned != 0.0f ) {
		DMRotateInPlace( frame, moTurnAxis, -mfTurned );
	}
	mfTurned = 0.0f;
	return 0;
}

void EFDMGrabEdge::ComputeInputFactor() {
	mfInputFactor = 0.0f;
	const ActionState * const action = DMActionState( mui32InputConfigId, mui32ActionId );
	const RwMatrix * const camera = DMCameraLTM();
	if ( action == nullptr || camera == nullptr ) {
		return;
	}
	f32 x = action->x;
	f32 y = action->y;
	f32 m = std::sqrt( x * x + y * y );
	if ( m > 1.0f ) {
		x /= m;
		y /= m;
		m = 1.0f;
	}
	const DTVector3d direction = DMRow( camera->up ) * y - DMRow( camera->right ) * x;
	mfInputFactor = direction * moEdgeVector >= 0.0f ? m : -m;
}

void EFDMGrabEdge::Search( EFCollisionStage & stage, EFObjCollisionPrim & hand, RwFrame * frame,
						   const DTVector3d & position, const DTVector3d & at, const DTVector3d & right,
						   const f32 dt ) {
	const DTVector3d p = hand.moPrimPos;
	mfHandDepth = -( ( p - position ) * at );
	const DTVector3d q = p + at * mfHandDepth;
	if ( !FindNewGrabEdge( stage, hand, q, p ) ) {
		return;
	}
	const DTVector3d n = DMCross( at, right );
	const f32 a1 = AngleInPlane( p - q, n, at );
	const f32 a2 = AngleInPlane( moGrabPoint - q, n, at );
	DTVector3d u2;
	( moGrabPoint - q ).RemoveComponent( n, &u2 );
	f32 turn = a1 - a2;
	if ( DMUnit( u2 ) * right > 0.0f ) {
		turn = -turn;
	}
	if ( std::fabs( turn ) > mfMaxTurn ) {
		return;
	}
	// A reach of length 0 ends at once; a reach speed of 0 never ends.
	const DTVector3d reach = moGrabPoint - p;
	const f32 distance = std::sqrt( reach * reach );
	moTurnAxis = DTVector3d( 0.0f, 1.0f, 0.0f );
	mfReachElapsed = 0.0f;
	moReachStart = p;
	mfReachTime = distance == 0.0f ? 0.0f : mfReachSpeed != 0.0f ? distance / mfReachSpeed : INFINITY;
	const bool timed = mfReachTime > 0.0f && mfReachTime < INFINITY;
	mfTurnAmount = timed ? turn / mfReachTime : 0.0f;
	moReachVelocity = timed ? reach * ( 1.0f / mfReachTime ) : DTVector3d();
	ReachEdge( dt, frame, hand );
	SetState( EF_DM_GRAB_REACHING );
}

void EFDMGrabEdge::PostColUpdate( EFCollisionStage * stage, const f32 dt ) {
	if ( stage == nullptr ) {
		return;
	}
	EFObjCollisionPrim * const hand = GetPrim();
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( hand == nullptr || owner == nullptr ) {
		return;
	}
	RwFrame * const frame = owner->GetRwFrame();
	const RwMatrix & ltm = *RwFrameGetLTM( frame );
	const DTVector3d position = DMRow( ltm.pos );
	const DTVector3d at = DMRow( ltm.at );
	const DTVector3d right = DMRow( ltm.right );

	if ( !DMRanInPreviousFrame( mui32LastFrame ) ) {
		mi32Phase = EF_DM_GRAB_PHASE_REACH;
		mui32State = 0;
	}
	mui32LastFrame = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();

	if ( mui32State == 0 ) {
		Search( *stage, *hand, frame, position, at, right, dt );
		return;
	}
	ComputeInputFactor();
	switch ( mi32Phase ) {
		case EF_DM_GRAB_PHASE_REACH:
			ReachEdge( dt, frame, *hand );
			if ( !( mfReachElapsed >= mfReachTime ) ) {
				return;
			}
			SetState( EF_DM_GRAB_HANGING );
			mi32Phase = EF_DM_GRAB_PHASE_HANG;
			[[fallthrough]];
		case EF_DM_GRAB_PHASE_HANG: {
			if ( UpdateFactor( dt ) ) {
				moGrabPoint = moEdgeStart + moEdgeVector * mfEdgeT;
				MoveOnEdge( *hand );
				return;
			}
			if ( !FindAdjEdge( *stage, *hand ) ) {
				SetState( EF_DM_GRAB_LEDGE_END );
				return;
			}
			DTVector3d e1 = moEdgeEnd - moEdgeStart;
			DTVector3d e2 = moNextVertex - moEdgeEnd;
			moEdgeVector = e2;
			mfEdgeLength = std::sqrt( e2 * e2 );
			e1 = DMUnit( e1 );
			e2 = DMUnit( e2 );
			mfTurnAmount = DMClampedAcos( e1 * e2 );
			mfTurned = 0.0f;
			moTurnAxis = DMCross( e1, e2 );
			mi32Phase = EF_DM_GRAB_PHASE_CORNER;
			[[fallthrough]];
		}
		case EF_DM_GRAB_PHASE_CORNER:
			if ( Transition( dt, frame ) == 0 ) {
				mi32Phase = EF_DM_GRAB_PHASE_HANG;
			}
			MoveOnEdge( *hand );
			return;
		default:
			return;
	}
}
