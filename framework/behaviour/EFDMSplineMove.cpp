#include "framework/behaviour/EFDMSplineMove.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/input/ActionState.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr u32 NO_ID					= 0xFFFFFFFF;
constexpr f32 DEFAULT_OFFSET		= 2.0f;
constexpr f32 DEFAULT_SPEED			= 2.0f;
constexpr f32 DEFAULT_GAIN			= 2.0f;
constexpr f32 DEFAULT_LEAN			= 0.707f;
constexpr u32 DEFAULT_OPTIONS		= 45;
constexpr u32 DEFAULT_MODE			= 1;
constexpr f32 PI					= 3.14159265f;
constexpr f32 HALF_PI				= 1.57079633f;
// Leans below this in size end (2^-7); a turn axis below this is none
// (2^-15); offsets whose components are all below this are none (2^-6).
constexpr f32 LEAN_END				= 0.0078125f;
constexpr f32 STRAIGHT				= 0.000030517578f;
constexpr f32 NO_OFFSET				= 0.015625f;
constexpr f32 LEAN_DECAY			= 0.3f;
constexpr f32 LOOK_AHEAD			= 0.01f;
// A target further than this from the object after collisions was held
// back.
constexpr f32 HELD_BACK				= 0.01f;
const DTVector3d WORLD_UP( 0.0f, 1.0f, 0.0f );

DTVector3d Cross( const DTVector3d & a, const DTVector3d & b ) {
	DTVector3d out;
	a.Cross( b, &out );
	return out;
}

DTVector3d Unit( DTVector3d v ) {
	const f32 length = std::sqrt( v.LengthSquare() );
	return length > 0.0f ? v * ( 1.0f / length ) : v;
}

f32 Limit( const f32 v, const f32 limit ) {
	return v > limit ? limit : v < -limit ? -limit : v;
}

DTVector3d Row( const RwV3d & row ) {
	return DTVector3d( row.x, row.y, row.z );
}

bool Negligible( const DTVector3d & v ) {
	return std::fabs( v.x ) < NO_OFFSET && std::fabs( v.y ) < NO_OFFSET && std::fabs( v.z ) < NO_OFFSET;
}

DTVector3d PositionOf( DTFrame & frame ) {
	return Row( RwFrameGetLTM( frame.GetRwFrame() )->pos );
}

}

EFDMSplineMove::EFDMSplineMove( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfUnused( DEFAULT_SPEED ), mfSideLean( 0.0f ), mfForwardLean( 0.0f ) {
	SetDefaults();
}

void EFDMSplineMove::SetDefaults() {
	mui32ActionId = NO_ID;
	mui32SecondActionId = NO_ID;
	mui32InputConfigId = NO_ID;
	mfMaxOffset = DEFAULT_OFFSET;
	mfMaxSpeed = DEFAULT_SPEED;
	mfBaseSpeed = 0.0f;
	mfOffsetGain = DEFAULT_GAIN;
	mfMaxLean = DEFAULT_LEAN;
	mfLeanGain = DEFAULT_LEAN;
	mfPitchBank = 1.0f;
	mfYawBank = 1.0f;
	mfRollBank = 1.0f;
	mui32Options = DEFAULT_OPTIONS;
	mui32Mode = DEFAULT_MODE;
	mfUnused = DEFAULT_SPEED;
}

void EFDMSplineMove::SetParams( void * params ) {
	if ( params == nullptr ) {
		SetDefaults();
		moOffset = DTVector3d();
		mfSideLean = 0.0f;
		mfForwardLean = 0.0f;
		return;
	}
	const DMSplineMoveParams & record = *static_cast<const DMSplineMoveParams *>( params );
	mui32InputConfigId = record.ui32InputConfigId;
	mui32ActionId = record.ui32ActionId;
	mui32SecondActionId = record.ui32SecondActionId;
	mfMaxOffset = record.fMaxOffset;
	mfBaseSpeed = record.fBaseSpeed;
	mfMaxSpeed = record.fMaxSpeed;
	mfOffsetGain = record.fOffsetGain;
	mfMaxLean = record.fMaxLean;
	mfLeanGain = record.fLeanGain;
	mui32Options = record.ui32Options;
	mui32Mode = record.ui32Mode;
	mfPitchBank = record.fPitchBank;
	mfYawBank = record.fYawBank;
	mfRollBank = record.fRollBank;
}

void EFDMSplineMove::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMSplineMoveParams & record = *static_cast<DMSplineMoveParams *>( params );
	record.ui32InputConfigId = mui32InputConfigId;
	record.ui32ActionId = mui32ActionId;
	record.ui32SecondActionId = mui32SecondActionId;
	record.fMaxOffset = mfMaxOffset;
	record.fBaseSpeed = mfBaseSpeed;
	record.fMaxSpeed = mfMaxSpeed;
	record.fOffsetGain = mfOffsetGain;
	record.fMaxLean = mfMaxLean;
	record.fLeanGain = mfLeanGain;
	record.ui32Options = mui32Options;
	record.ui32Mode = mui32Mode;
	record.fPitchBank = mfPitchBank;
	record.fYawBank = mfYawBank;
	record.fRollBank = mfRollBank;
}

const DTVector3d & EFDMSplineMove::CursorPoint() {
	if ( ( moCursor.mui32State & 0x1 ) == 0 ) {
		moCursor.mpoSpline->GetPoint( moCursor.mi32Segment, moCursor.mfT, moCursor.moCachedPoint );
		moCursor.mui32State |= 0x1;
	}
	return moCursor.moCachedPoint;
}

DTVector3d EFDMSplineMove::CursorTangent() {
	if ( ( moCursor.mui32State & 0x2 ) == 0 ) {
		moCursor.mpoSpline->GetTangent( moCursor.mi32Segment, moCursor.mfT, moCursor.moCachedTangent );
		moCursor.mui32State |= 0x2;
	}
	return Unit( moCursor.moCachedTangent );
}

void EFDMSplineMove::OrientAlongTangent( DTFrame & frame ) {
	const DTVector3d at = CursorTangent();
	DTVector3d up = WORLD_UP - at * ( WORLD_UP * at );
	up = Unit( up );
	const DTVector3d right = Cross( up, at );
	RwMatrix & modelling = frame.GetRwFrame()->modelling;
	modelling.right = { right.x, right.y, right.z };
	modelling.up = { up.x, up.y, up.z };
	modelling.at = { at.x, at.y, at.z };
	RwFrameUpdateObjects( frame.GetRwFrame() );
}

void EFDMSplineMove::DoAction( const u32 action, void * data ) {
	if ( data == nullptr || gpoSplineMgr == nullptr ) {
		return;
	}
	const u32 * const words = static_cast<const u32 *>( data );
	EFQuadraticSpline * spline = nullptr;
	if ( action == DM_SPLINE_MOVE_BY_ID ) {
		for ( u32 i = 0; i < gpoSplineMgr->GetNbSplines() && spline == nullptr; i++ ) {
			EFQuadraticSpline * const candidate = gpoSplineMgr->GetSpline( i );
			if ( candidate != nullptr && candidate->mui16ID == words[0] ) {
				spline = candidate;
			}
		}
	} else if ( action == DM_SPLINE_MOVE_BY_INDEX ) {
		spline = gpoSplineMgr->GetSpline( words[0] );
	}
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( spline == nullptr ) {
		return;
	}
	moCursor.SetSpline( spline );
	if ( words[1] != 0 ) {
		moCursor.MoveTo( 0.0f );
	} else {
		moCursor.SetToNearest( frame != nullptr ? PositionOf( *frame ) : DTVector3d() );
	}
	moOffset = DTVector3d();
	mfSideLean = 0.0f;
	mfForwardLean = 0.0f;
	if ( frame == nullptr ) {
		return;
	}
	RwFrame * const rw = frame->GetRwFrame();
	rw->modelling.pos = { 0.0f, 0.0f, 0.0f };
	const DTVector3d point = CursorPoint();
	RwFrameTranslate( rw, DTAsRwV3d( &point ), rwCOMBINEPOSTCONCAT );
	OrientAlongTangent( *frame );
	RwFrameUpdateObjects( rw );
}

bool EFDMSplineMove::ProjectInputs( f32 x, f32 y, DTVector3d & out ) const {
	const RwMatrix * const camera = DMCameraLTM();
	if ( camera == nullptr ) {
		return false;
	}
	const f32 length = std::sqrt( x * x + y * y );
	if ( length > 1.0f ) {
		x /= length;
		y /= length;
	}
	const f32 c = std::fabs( camera->at.y );
	DTVector3d v;
	if ( mui32Mode == 0 ) {
		v = DTVector3d( -x, y * c, y * ( 1.0f - c ) );
	} else if ( mui32Mode == 1 ) {
		v = DTVector3d( -x, y * ( 1.0f - c ), y * c );
	}
	out = DMTransformVector( v, camera );
	return true;
}

f32 EFDMSplineMove::GetTangentAngle() {
	const EFQuadraticSpline & spline = *moCursor.mpoSpline;
	const u32 segments = spline.GetNbSegments();
	f32 u = moCursor.mfU + LOOK_AHEAD;
	if ( spline.IsLoop() ) {
		u -= std::floor( u );
	} else {
		u = u < 0.0f ? 0.0f : u > 1.0f ? 1.0f : u;
	}
	const f32 scaled = u * static_cast<f32>( segments );
	s32 segment = static_cast<s32>( scaled );
	f32 t = scaled - static_cast<f32>( segment );
	// The very end is the last segment's end.
	if ( segments != 0 && segment >= static_cast<s32>( segments ) ) {
		segment = static_cast<s32>( segments ) - 1;
		t = 1.0f;
	}
	DTVector3d ahead;
	spline.GetPoint( segment, t, ahead );
	const DTVector3d towards = ahead - CursorPoint();
	// No look-ahead direction (the end of an open spline): no turn.
	if ( towards.LengthSquare() == 0.0f ) {
		return 0.0f;
	}
	const DTVector3d k = Unit( towards );
	const DTVector3d tangent = CursorTangent();
	const DTVector3d c = Cross( k, tangent );
	const f32 along = k * tangent;
	const f32 size = std::sqrt( c.LengthSquare() );
	if ( size < STRAIGHT ) {
		return along > 0.0f ? 0.0f : PI;
	}
	f32 a = size >= 1.0f ? HALF_PI : std::asin( size );
	if ( along < 0.0f ) {
		a = PI - a;
	}
	return c.y < 0.0f ? -a : a;
}

void EFDMSplineMove::Turn( DTFrame & frame ) {
	const f32 a = GetTangentAngle();
	const RwMatrix & m = frame.GetRwFrame()->modelling;
	const struct {
		u32			option;
		const RwV3d *	axis;
		f32			angle;
	} turns[] = {
		{ EF_DM_SPLINE_ROLL_BANK, &m.at, mfRollBank * a },
		{ EF_DM_SPLINE_ROLL_LEAN, &m.at, mfSideLean },
		{ EF_DM_SPLINE_YAW_BANK, &m.up, mfYawBank * a },
		{ EF_DM_SPLINE_YAW_LEAN, &m.up, -mfSideLean },
		{ EF_DM_SPLINE_PITCH_BANK, &m.right, mfPitchBank * a },
		{ EF_DM_SPLINE_PITCH_LEAN, &m.right, -mfForwardLean },
	};
	for ( const auto & turn : turns ) {
		if ( ( mui32Options & turn.option ) != 0 ) {
			frame.Rotate( Row( *turn.axis ), turn.angle );
		}
	}
}

u32 EFDMSplineMove::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( moCursor.mpoSpline == nullptr || frame == nullptr ) {
		return 1;
	}
	f32 s = mfBaseSpeed;
	f32 p = 0.0f;
	f32 q = 0.0f;
	const f32 middle = ( mfMaxSpeed + mfBaseSpeed ) * 0.5f;
	const f32 half = ( mfMaxSpeed - mfBaseSpeed ) * 0.5f;
	const ActionState * const stick = DMActionState( mui32InputConfigId, mui32ActionId );
	const ActionState * const second = DMActionState( mui32InputConfigId, mui32SecondActionId );
	const DTVector3d tangent = CursorTangent();
	DTVector3d w;
	if ( stick != nullptr && ProjectInputs( stick->x, stick->y, w ) ) {
		const DTVector3d side = Unit( Cross( WORLD_UP, tangent ) );
		const DTVector3d up = Cross( tangent, side );
		p = std::fabs( stick->x ) * ( w * side );
		q = std::fabs( stick->y ) * ( w * ( mui32Mode == 1 ? up : tangent ) );
		moOffset.x -= p * mfOffsetGain * dt;
		if ( mui32Mode == 1 ) {
			moOffset.y += q * mfOffsetGain * dt;
		}
		const f32 length = std::sqrt( moOffset.LengthSquare() );
		if ( length > mfMaxOffset ) {
			moOffset *= mfMaxOffset / length;
		}
		if ( mui32Mode == 0 ) {
			s = middle + q * half;
		}
	}
	if ( second != nullptr ) {
		DTVector3d pressed;
		if ( ( second->flags & EF_DM_SPLINE_FULL_SPEED ) != 0 ) {
			s = mfMaxSpeed;
		} else if ( ProjectInputs( second->x, 0.0f, pressed ) ) {
			s = middle + std::fabs( second->x ) * ( pressed * tangent ) * half;
		}
	}
	if ( ( mui32Options & EF_DM_SPLINE_LEAN_SLOWS ) != 0 ) {
		s *= 1.0f - std::fabs( mfSideLean ) / HALF_PI;
	}
	const DTVector3d position = PositionOf( *frame );
	if ( ( mui32Options & EF_DM_SPLINE_NO_NEAREST ) == 0 ) {
		moCursor.MoveToNearest( position );
	}
	moCursor.MoveDistance( s * dt, nullptr );
	if ( ( mui32Options & EF_DM_SPLINE_ORIENT ) != 0 ) {
		OrientAlongTangent( *frame );
	}
	moTargetPoint = CursorPoint() + DMTransformVector( moOffset, RwFrameGetLTM( frame->GetRwFrame() ) );
	DTVector3d v = ( moTargetPoint - position ) * ( 1.0f / dt );
	if ( mui32Mode == 0 ) {
		v.y = 0.0f;
	}
	record.oTargetVelocity += v;
	if ( mui32Mode == 1 ) {
		EFPhysic & body = *mpoOwner;
		body.moVelocity = record.oTargetVelocity;
		body.mfFallingTimer = body.mfFallingDelay;
	}
	if ( p != 0.0f || q != 0.0f ) {
		mfSideLean = Limit( mfSideLean + dt * mfLeanGain * p, mfMaxLean );
		mfForwardLean = Limit( mfForwardLean + dt * mfLeanGain * q, mfMaxLean );
	}
	for ( f32 * lean : { &mfSideLean, &mfForwardLean } ) {
		if ( std::fabs( *lean ) < LEAN_END ) {
			*lean = 0.0f;
		} else {
			*lean /= 1.0f + LEAN_DECAY * dt * mfLeanGain;
		}
	}
	Turn( *frame );
	const u32 end = moCursor.mfU >= 1.0f ? EF_DM_SPLINE_AT_END : 0;
	DMChangeState( *this, ( mui32State & ~EF_DM_SPLINE_AT_END ) | end );
	RwFrameUpdateObjects( frame->GetRwFrame() );
	return 1;
}

void EFDMSplineMove::PostColUpdate( EFCollisionStage * stage, f32 ) {
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( stage == nullptr || stage->mui32NbEnvPrims == 0 || moCursor.mpoSpline == nullptr || frame == nullptr ) {
		return;
	}
	const DTVector3d position = PositionOf( *frame );
	DTVector3d held = moTargetPoint - position;
	if ( mui32Mode == 0 ) {
		held.y = 0.0f;
	}
	if ( !( held.LengthSquare() > HELD_BACK * HELD_BACK ) ) {
		return;
	}
	moTargetPoint = CursorPoint();
	if ( Negligible( moOffset ) ) {
		return;
	}
	DTVector3d reach = position - moTargetPoint;
	if ( mui32Mode == 0 ) {
		reach.y = 0.0f;
	}
	moOffset *= std::sqrt( reach.LengthSquare() ) / std::sqrt( moOffset.LengthSquare() );
}
