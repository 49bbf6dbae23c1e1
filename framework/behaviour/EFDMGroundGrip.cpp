#include "framework/behaviour/EFDMGroundGrip.h"

#include "datatypes/maths/DTLimits.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFColDMData.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 DEFAULT_GRIP			= 1.0f;
constexpr f32 DEFAULT_FLOOR_COS		= 0.7f;
// Leaving the floor faster than this keeps the normal part; faster than
// the second, the step shortens so that the grip acts less.
constexpr f32 LEAVING_SPEED			= 0.001f;
constexpr f32 SHORT_STEP_SPEED		= 0.01f;
// From this grip × friction on the target is reached at once.
constexpr f32 INSTANT_GRIP			= 50.0f;
// A squared error at most this snaps to the target.
constexpr f32 SNAP_ERROR			= 0.01f;

bool Grips( const EFPhysic * body ) {
	return body != nullptr && ( body->mui32PhysicFlags & ( EF_PHYSIC_PLATFORM | EF_PHYSIC_CARRIER ) ) != 0;
}

f32 Length( const DTVector3d & v ) {
	return RwV3dLength( DTAsRwV3d( &v ) );
}

}

EFDMGroundGrip::EFDMGroundGrip( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfGrip( DEFAULT_GRIP ), mfFloorCos( DEFAULT_FLOOR_COS ),
	  mui32LastFrame( 0 ) {
}

void EFDMGroundGrip::SetParams( void * params ) {
	if ( params == nullptr ) {
		mfGrip = DEFAULT_GRIP;
		return;
	}
	const DMGroundGripParams & record = *static_cast<const DMGroundGripParams *>( params );
	mfGrip = record.fGrip;
	mfFloorCos = std::cos( record.fMaxSlope );
}

void EFDMGroundGrip::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMGroundGripParams & record = *static_cast<DMGroundGripParams *>( params );
	record.fGrip = mfGrip;
	record.fMaxSlope = std::acos( mfFloorCos );
}

bool EFDMGroundGrip::FloorFriction( const EFColDMData & data, f32 & friction ) {
	if ( data.poContact != nullptr ) {
		friction = 0.0f;
		for ( const EFContactReport * contact = data.poContact; contact != nullptr; contact = contact->mpoNext ) {
			f32 f = 0.0f;
			if ( contact->poEnvPrim != nullptr ) {
				f = contact->poEnvPrim->GetAttribs()->fFriction;
			} else if ( Grips( contact->poPhys ) ) {
				f = contact->poPhys->mfFriction;
			} else {
				continue;
			}
			if ( f > friction ) {
				friction = f;
			}
		}
		return true;
	}
	if ( data.poEnvPrim != nullptr ) {
		friction = data.poEnvPrim->GetAttribs()->fFriction;
		return true;
	}
	if ( Grips( data.poCollider ) ) {
		friction = data.poCollider->mfFriction;
		return true;
	}
	return false;
}

void EFDMGroundGrip::ColUpdate( EFCollisionStage * stage, EFColDMData & data, f32 dt ) {
	const u32 frame = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	const DTVector3d & n = data.oNorm;
	// A normal that is not at least the floor cosine (NaN included) is no
	// floor.
	if ( stage == nullptr || stage->mpoRecord == nullptr || mui32LastFrame == frame || !( n.y >= mfFloorCos ) ) {
		return;
	}
	EFPhysic & body = *mpoOwner;
	body.mfMinFloorNormalY = mfFloorCos;

	DTVector3d v = body.moVelocity;
	if ( data.poCollider != nullptr ) {
		v -= data.poCollider->moVelocity;
	}
	const f32 d = v * n;
	DTVector3d vn;
	if ( d > LEAVING_SPEED ) {
		if ( d > SHORT_STEP_SPEED ) {
			dt = dt * ( SHORT_STEP_SPEED / d );
		}
		vn = n * d;
		v -= vn;
	}
	mui32LastFrame = frame;

	f32 friction = 0.0f;
	if ( !FloorFriction( data, friction ) ) {
		return;
	}
	f32 g = mfGrip * friction;
	g = g < INSTANT_GRIP ? g * dt : 1.0f;

	DTVector3d t = stage->mpoRecord->oTargetVelocity;
	const f32 length = Length( t );
	if ( length > DT_MIN_FLOAT ) {
		t -= n * ( t * n );
		const f32 projected = Length( t );
		if ( projected > DT_MIN_FLOAT ) {
			t *= length / projected;
		}
	}
	if ( g < 1.0f ) {
		const DTVector3d e = t - v;
		if ( e * e > SNAP_ERROR ) {
			t = v + e * g;
		}
	}
	if ( data.poCollider != nullptr ) {
		t += data.poCollider->moVelocity;
	}
	t += vn;
	body.moVelocity = t;
	body.mfFallingTimer = body.mfFallingDelay;
}
