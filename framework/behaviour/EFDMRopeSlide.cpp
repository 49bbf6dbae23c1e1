#include "framework/behaviour/EFDMRopeSlide.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/input/ActionState.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr u32 NONE				= 0xFFFFFFFF;
constexpr u32 HANGING_CLOSE		= 0x1;
constexpr u32 AT_END			= 0x2;
constexpr u32 POINT_CACHED		= 0x1;
constexpr u32 TANGENT_CACHED	= 0x2;
constexpr u32 ARM_POSE_ON		= 1;
constexpr f32 CLOSE_MARGIN		= 0.01f;
constexpr f32 NO_SCORE			= -10000.0f;
// How far along a following rope its direction is taken.
constexpr f32 LOOK_ALONG		= 1.0f;
constexpr f32 ARM_BLEND			= 0.5f;

const DTVector3d WORLD_UP( 0.0f, 1.0f, 0.0f );

DTVector3d CursorPoint( EFSplineCursor & cursor ) {
	cursor.mpoSpline->GetPoint( cursor.mi32Segment, cursor.mfT, cursor.moCachedPoint );
	cursor.mui32State |= POINT_CACHED;
	return cursor.moCachedPoint;
}

DTVector3d CursorTangent( EFSplineCursor & cursor ) {
	cursor.mpoSpline->GetTangent( cursor.mi32Segment, cursor.mfT, cursor.moCachedTangent );
	cursor.mui32State |= TANGENT_CACHED;
	return DMUnit( cursor.moCachedTangent );
}

// World up with its part along t removed, normalised.
DTVector3d UpAcross( const DTVector3d & t, const DTVector3d & up = WORLD_UP ) {
	return DMUnit( up - t * ( up * t ) );
}

void SetRows( RwMatrix & m, const DTVector3d & right, const DTVector3d & up, const DTVector3d & at ) {
	m.right = { right.x, right.y, right.z };
	m.up = { up.x, up.y, up.z };
	m.at = { at.x, at.y, at.z };
	m.flags &= ~rwMATRIXINTERNALIDENTITY;
}

f32 Clamp( const f32 v, const f32 low, const f32 high ) {
	return v < low ? low : ( v > high ? high : v );
}

}

EFDMRopeSlide::EFDMRopeSlide( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), moCursor(), mfSwingAngle( 0.0f ), mfSwingRate( 0.0f ),
	  mfSlideSpeed( 0.0f ) {
	SetParams( nullptr );
}

void EFDMRopeSlide::SetParams( void * params ) {
	const DMRopeSlideParams * const record = static_cast<const DMRopeSlideParams *>( params );
	if ( record == nullptr ) {
		mui32ActionId = NONE;
		mui32ConfigId = NONE;
		mfSwingInputFactor = 5.0f;
		mfHangDistance = 0.045f;
		mfHangRange = 0.8f;
		mfSpringAtHang = 5.0f;
		mfSpringAtRange = 24.0f;
		mfRopeGravity = 7.0f;
		mfForwardSpeedFactor = 8.0f;
		mfBackwardSpeedFactor = 4.0f;
		mfNominalSpeed = 6.0f;
		mfSpeedBlendRate = 4.0f;
		mui32ArmPose = 0;
		mfSwingBlendHolding = 10.0f;
		mfSwingBlendOther = 5.0f;
		mui32HandIndex = NONE;
		mfSwingLimit = 0.7853982f;
		return;
	}
	mui32ConfigId = record->ui32InputConfigId;
	mui32ActionId = record->ui32InputActionId;
	mfSwingInputFactor = record->fSwingInputFactor;
	mfSpeedBlendRate = record->fSpeedBlendRate;
	mfHangDistance = record->fHangDistance;
	mfHangRange = record->fHangRange;
	mfSpringAtHang = record->fSpringAtHang;
	mfSpringAtRange = record->fSpringAtRange;
	mui32ArmPose = record->ui32ArmPose == ARM_POSE_ON ? 1 : 0;
	mfBackwardSpeedFactor = record->fBackwardSpeedFactor;
	mfForwardSpeedFactor = record->fForwardSpeedFactor;
	mfNominalSpeed = record->fNominalSpeed;
	mfRopeGravity = std::fabs( record->fRopeGravity );
	mfSwingBlendHolding = record->fSwingBlendHolding;
	mfSwingBlendOther = record->fSwingBlendOther;
	mui32HandIndex = static_cast<u32>( mpoOwner->moCollisionModel.PrimTagToPrimIndex( record->ui32HandTag ) );
	mfSwingLimit = record->fSwingLimit;
}

void EFDMRopeSlide::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMRopeSlideParams & record = *static_cast<DMRopeSlideParams *>( params );
	record.ui32InputConfigId = mui32ConfigId;
	record.ui32InputActionId = mui32ActionId;
	record.fSwingInputFactor = mfSwingInputFactor;
	record.fSpeedBlendRate = mfSpeedBlendRate;
	record.fHangDistance = mfHangDistance;
	record.fHangRange = mfHangRange;
	record.fSpringAtHang = mfSpringAtHang;
	record.fSpringAtRange = mfSpringAtRange;
	record.ui32ArmPose = mui32ArmPose;
	record.fBackwardSpeedFactor = mfBackwardSpeedFactor;
	record.fForwardSpeedFactor = mfForwardSpeedFactor;
	record.fNominalSpeed = mfNominalSpeed;
	record.fRopeGravity = mfRopeGravity;
	record.fSwingBlendHolding = mfSwingBlendHolding;
	record.fSwingBlendOther = mfSwingBlendOther;
	const EFObjCollisionPrim * const hand = mpoOwner->moCollisionModel.GetPrimitive( mui32HandIndex );
	record.ui32HandTag = hand != nullptr ? hand->mui32Tag : NONE;
	record.fSwingLimit = mfSwingLimit;
}

void EFDMRopeSlide::DoAction( const u32 action, void * data ) {
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( action != DM_ROPE_SLIDE_ATTACH || data == nullptr || gpoSplineMgr == nullptr || owner == nullptr ) {
		return;
	}
	const DMRopeSlideAttach & attach = *static_cast<const DMRopeSlideAttach *>( data );
	EFQuadraticSpline * rope = nullptr;
	for ( u32 i = 0; i < gpoSplineMgr->GetNbSplines() && rope == nullptr; i++ ) {
		EFQuadraticSpline * const spline = gpoSplineMgr->GetSpline( i );
		if ( ( spline->mui16Flags & EF_SPLINE_FLAG_ROPE ) != 0 && spline->mui16ID == attach.ui32RopeId ) {
			rope = spline;
		}
	}
	if ( rope == nullptr ) {
		return;
	}
	RwFrame * const frame = owner->GetRwFrame();
	moCursor = EFSplineCursor();
	moCursor.SetSpline( rope );
	if ( attach.ui32Placement == 0 ) {
		moCursor.SetToNearest( DMRow( RwFrameGetLTM( frame )->pos ) );
	} else {
		moCursor.MoveTo( 0.0f );
	}
	const DTVector3d point = CursorPoint( moCursor ) + DTVector3d( 0.0f, mfHangDistance, 0.0f );
	frame->modelling.pos = { 0.0f, 0.0f, 0.0f };
	RwFrameTranslate( frame, DTAsRwV3d( &point ), rwCOMBINEPOSTCONCAT );
	const DTVector3d at = CursorTangent( moCursor );
	const DTVector3d up = UpAcross( at );
	SetRows( frame->modelling, DMCross( up, at ), up, at );
	RwFrameUpdateObjects( frame );
}

bool EFDMRopeSlide::HandOver( const f32 overshoot, const RwMatrix & body ) {
	const u32 index = static_cast<u32>( moCursor.mpoSpline - gpoSplineMgr->GetSpline( 0 ) );
	const EFFollowingRopes following = gpoSplineMgr->GetFollowingRopes( index );
	const DTVector3d up = DMRow( body.up );
	const DTVector3d right = DMRow( body.right );
	EFQuadraticSpline * winner = nullptr;
	f32 best = NO_SCORE;
	for ( u32 i = 0; i < following.mui32Count; i++ ) {
		EFQuadraticSpline * const rope = gpoSplineMgr->GetSpline( following.mpui32Splines[i] );
		if ( rope == nullptr ) {
			continue;
		}
		EFSplineCursor probe;
		probe.SetSpline( rope );
		probe.MoveTo( 0.0f );
		probe.MoveDistance( LOOK_ALONG, nullptr );
		const DTVector3d t = CursorTangent( probe );
		const f32 alongUp = t * up;
		const f32 acrossRight = 1.0f - t * right;
		const f32 score = ( alongUp < 0.0f ? -alongUp * alongUp : alongUp * alongUp ) + acrossRight * acrossRight;
		if ( score > best ) {
			best = score;
			winner = rope;
		}
	}
	if ( winner == nullptr ) {
		return false;
	}
	moCursor.SetSpline( winner );
	moCursor.MoveTo( 0.0f );
	moCursor.MoveDistance( overshoot, nullptr );
	return true;
}

u32 EFDMRopeSlide::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( moCursor.mpoSpline == nullptr || owner == nullptr || gpoSplineMgr == nullptr ) {
		return 1;
	}
	RwFrame * const frame = owner->GetRwFrame();
	const bool close = ( mui32State & HANGING_CLOSE ) != 0;

	// Stick.
	f32 targetSpeed = mfNominalSpeed;
	f32 targetSwing = 0.0f;
	if ( const ActionState * const stick = DMActionState( mui32ConfigId, mui32ActionId ) ) {
		targetSpeed += stick->y >= 0.0f ? mfForwardSpeedFactor * stick->y : mfBackwardSpeedFactor * stick->y;
		if ( stick->x != 0.0f && close ) {
			targetSwing = stick->x * mfSwingInputFactor;
		}
	}
	// Swing.
	mfSwingRate += ( targetSwing - mfSwingRate ) * dt * ( close ? mfSwingBlendHolding : mfSwingBlendOther );
	mfSwingAngle = DMClampSymmetric( mfSwingAngle + mfSwingRate * dt, mfSwingLimit );

	// Where the body hangs now.
	const DTVector3d body = DMRow( RwFrameGetLTM( frame )->pos );
	moCursor.MoveToNearest( body );
	const DTVector3d r = CursorPoint( moCursor );
	const DTVector3d tangent = CursorTangent( moCursor );
	f32 h = std::sqrt( ( body - r ) * ( body - r ) );

	// Slide speed: the slope, then the stick's target.
	mfSlideSpeed += -tangent.y * mfRopeGravity * dt;
	const f32 blend = mfSpeedBlendRate * dt;
	mfSlideSpeed += ( targetSpeed - mfSlideSpeed ) * ( blend < 1.0f ? blend : 1.0f );
	mfSlideSpeed = mfSlideSpeed < mfBackwardSpeedFactor ? mfBackwardSpeedFactor : mfSlideSpeed;
	mfSlideSpeed = mfSlideSpeed > mfForwardSpeedFactor ? mfForwardSpeedFactor : mfSlideSpeed;

	// Advance, handing over at the end.
	const EFQuadraticSpline & spline = *moCursor.mpoSpline;
	const f32 step = mfSlideSpeed * dt;
	const f32 travelled = spline.GetSegment( moCursor.mi32Segment ).mfDistance +
						  spline.GetSegmentLength( moCursor.mi32Segment, moCursor.mfT ) + step;
	const f32 overshoot = travelled - spline.mfLength;
	bool atEnd = false;
	if ( overshoot <= 0.0f ) {
		moCursor.MoveDistance( step, nullptr );
	} else if ( !HandOver( overshoot, *RwFrameGetLTM( frame ) ) ) {
		atEnd = true;
	}

	// Orientation along the rope, rolled by the swing.
	const DTVector3d t = CursorTangent( moCursor );
	const DTVector3d up = UpAcross( t );
	SetRows( frame->modelling, DMCross( up, t ), up, t );
	RwFrameUpdateObjects( frame );
	DMRotateInPlace( frame, t, mfSwingAngle );

	// Springy hanging below the rope.
	const DTVector3d point = CursorPoint( moCursor );
	f32 v = mpoOwner->moVelocity * up;
	const DTVector3d ropeVelocity = dt > 0.0f ? ( point - r ) * ( 1.0f / dt ) : DTVector3d();
	const f32 far = mfHangDistance + mfHangRange;
	h = Clamp( h, mfHangDistance, far );
	const f32 u = mfHangRange > 0.0f ? Clamp( ( h - mfHangDistance ) / mfHangRange, 0.0f, 1.0f ) : 0.0f;
	const f32 k = mfSpringAtHang + u * ( mfSpringAtRange - mfSpringAtHang );
	v -= dt * k;
	if ( dt > 0.0f ) {
		if ( h + v * dt > far ) {
			v = ( far - h ) / dt;
		} else if ( h + v * dt < mfHangDistance ) {
			v = ( mfHangDistance - h ) / dt;
		}
	}
	mpoOwner->moVelocity = ropeVelocity + up * v;
	mpoOwner->mfFallingTimer = mpoOwner->mfFallingDelay;
	const DTVector3d hang = r + up * h;
	frame->modelling.pos = { hang.x, hang.y, hang.z };
	RwFrameUpdateObjects( frame );

	DMChangeState( *this, atEnd ? mui32State | AT_END : mui32State & ~AT_END );
	return 1;
}

void EFDMRopeSlide::PostColUpdate( EFCollisionStage *, f32 ) {
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( moCursor.mpoSpline == nullptr || owner == nullptr ) {
		return;
	}
	RwFrame * const frame = owner->GetRwFrame();
	const DTVector3d body = DMRow( RwFrameGetLTM( frame )->pos );
	moCursor.MoveToNearest( body );
	const DTVector3d point = CursorPoint( moCursor );
	const f32 d = std::sqrt( ( body - point ) * ( body - point ) );
	const DTVector3d hang = point + DMRow( frame->modelling.up ) * d;
	frame->modelling.pos = { hang.x, hang.y, hang.z };
	RwFrameUpdateObjects( frame );
	const bool close = d <= mfHangDistance + CLOSE_MARGIN;
	DMChangeState( *this, close ? mui32State | HANGING_CLOSE : mui32State & ~HANGING_CLOSE );
	if ( mui32ArmPose != 0 ) {
		ComputeIK();
	}
}

void EFDMRopeSlide::ComputeIK() {
	EFObjCollisionPrim * const hand = mpoOwner->moCollisionModel.GetPrimitive( mui32HandIndex );
	DTFrame * const owner = DMOwnerFrame( *this );
	DTFrame * const handFrame = hand != nullptr ? hand->GetFrame() : nullptr;
	if ( handFrame == nullptr || owner == nullptr || moCursor.mpoSpline == nullptr ) {
		return;
	}
	EFSplineCursor nearest;
	nearest.SetSpline( moCursor.mpoSpline );
	nearest.SetToNearest( hand->moPrimPos );
	const DTVector3d point = CursorPoint( nearest );
	const DTVector3d at = CursorTangent( nearest );
	RwMatrix target = *RwFrameGetLTM( owner->GetRwFrame() );
	const DTVector3d up = UpAcross( at, DMRow( target.up ) );
	SetRows( target, DMCross( up, at ), up, at );
	const DTVector3d offset = DMTransformVector( hand->moTrans, &target );
	RwFrame * const handRw = handFrame->GetRwFrame();
	const DTVector3d current = DMRow( RwFrameGetLTM( handRw )->pos );
	const DTVector3d placed = current + ( point - offset - current ) * ARM_BLEND;
	target.pos = { placed.x, placed.y, placed.z };
	RwFrame * const parent = static_cast<RwFrame *>( handRw->object.parent );
	if ( parent != nullptr ) {
		RwMatrix inverse;
		RwMatrixInvert( &inverse, RwFrameGetLTM( parent ) );
		RwMatrixMultiply( &handRw->modelling, &target, &inverse );
	} else {
		handRw->modelling = target;
	}
	RwFrameUpdateObjects( handRw );
}
