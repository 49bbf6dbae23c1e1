#include "framework/behaviour/EFDMConstraintRotation.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 GIVEN_COMPONENT = 0.25f;
constexpr f32 MET_ANGLE = 0.125f;

// Whether a target counts as given, and the target as kept.
u8 Given( DTVector3d & target ) {
	if ( std::fabs( target.x ) < GIVEN_COMPONENT && std::fabs( target.y ) < GIVEN_COMPONENT &&
		 std::fabs( target.z ) < GIVEN_COMPONENT ) {
		return 0;
	}
	target = DMUnit( target );
	return 1;
}

f32 ClampedDot( const DTVector3d & a, const DTVector3d & b ) {
	const f32 d = a * b;
	return d > 1.0f ? 1.0f : ( d < -1.0f ? -1.0f : d );
}

DTVector3d TransformPoint( const DTVector3d & point, const RwMatrix & matrix ) {
	DTVector3d out;
	RwV3dTransformPoints( DTAsRwV3d( &out ), DTAsRwV3d( &point ), 1, &matrix );
	return out;
}

}

EFDMConstraintRotation::EFDMConstraintRotation( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mbUpGiven( 0 ), mbAtGiven( 0 ), mfRate( 0.0f ) {
}

void EFDMConstraintRotation::SetDefaultParams() {
	SetParams( nullptr );
}

void EFDMConstraintRotation::SetParams( void * params ) {
	if ( params == nullptr ) {
		moUpTarget = DTVector3d();
		moAtTarget = DTVector3d();
		moPivot = DTVector3d();
		mbUpGiven = 0;
		mbAtGiven = 0;
		mfRate = 0.0f;
		return;
	}
	const DMConstraintRotationParams & record = *static_cast<const DMConstraintRotationParams *>( params );
	moUpTarget = record.oUpTarget;
	moAtTarget = record.oAtTarget;
	moPivot = record.oPivot;
	mfRate = record.fRate;
	mbUpGiven = Given( moUpTarget );
	mbAtGiven = Given( moAtTarget );
}

void EFDMConstraintRotation::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMConstraintRotationParams & record = *static_cast<DMConstraintRotationParams *>( params );
	record.oUpTarget = moUpTarget;
	record.oAtTarget = moAtTarget;
	record.fRate = mfRate;
}

void EFDMConstraintRotation::TurnAboutPivot( RwFrame * const frame, const DTVector3d & axis, const f32 radians ) const {
	const DTVector3d before = TransformPoint( moPivot, frame->modelling );
	RwFrameRotate( frame, DTAsRwV3d( &axis ), radians * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	const DTVector3d shift = TransformPoint( moPivot, frame->modelling ) - before;
	frame->modelling.pos.x -= shift.x;
	frame->modelling.pos.y -= shift.y;
	frame->modelling.pos.z -= shift.z;
	RwFrameUpdateObjects( frame );
}

void EFDMConstraintRotation::SnapUp( RwFrame * const frame ) const {
	// The target is a world direction; the rows are in the parent's axes.
	const DTVector3d up = DMUnit( DMIntoParentAxes( frame, moUpTarget ) );
	RwMatrix & m = frame->modelling;
	DTVector3d right = DMCross( up, DMRow( m.at ) );
	// An up target along the current at leaves no right: the current one
	// stays (it is already across both).
	right = right * right > 0.0f ? DMUnit( right ) : DMUnit( DMRow( m.right ) );
	const DTVector3d at = DMUnit( DMCross( right, up ) );
	m.right = { right.x, right.y, right.z };
	m.up = { up.x, up.y, up.z };
	m.at = { at.x, at.y, at.z };
	RwFrameUpdateObjects( frame );
}

u32 EFDMConstraintRotation::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( owner == nullptr ) {
		return 1;
	}
	RwFrame * const frame = owner->GetRwFrame();
	const f32 k = std::fmin( mfRate * dt, 1.0f );
	bool done = true;
	const RwMatrix * const world = RwFrameGetLTM( frame );
	const DTVector3d at = DMRow( world->at );
	const DTVector3d up = DMRow( world->up );

	if ( mbAtGiven != 0 ) {
		const f32 angle = std::acos( ClampedDot( at, moAtTarget ) );
		if ( angle >= MET_ANGLE ) {
			done = false;
		}
		DTVector3d axis = DMCross( at, moAtTarget );
		if ( axis * axis == 0.0f ) {
			// Along the target nothing turns; exactly opposite, the turn
			// goes about the frame's up, not about a zero axis (which
			// would scale the frame).
			axis = angle > 0.0f ? up : DTVector3d();
		}
		if ( axis * axis > 0.0f ) {
			TurnAboutPivot( frame, axis, angle * k );
		}
	}

	if ( mbUpGiven != 0 ) {
		const f32 d = up * moUpTarget;
		if ( k == 1.0f || std::fabs( d ) >= 1.0f ) {
			SnapUp( frame );
			done = true;
		} else {
			const f32 angle = std::acos( d );
			if ( angle >= MET_ANGLE ) {
				done = false;
			}
			TurnAboutPivot( frame, DMCross( up, moUpTarget ), angle * k );
		}
	}

	if ( done ) {
		DMChangeState( *this, mui32State | 1 );
	}
	return 1;
}
