#include "framework/behaviour/EFDMTrackObjet.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTLimits.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 PI = 3.14159265f;
constexpr f32 TWO_PI = 6.28318531f;

}

f32 DMWrapAngleOnce( const f32 e ) {
	if ( e > PI ) {
		return e - TWO_PI;
	}
	if ( e < -PI ) {
		return e + TWO_PI;
	}
	return e;
}

EFDMTrackObjet::EFDMTrackObjet( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfRate( 1.0f ), mui32TargetId( 0xFFFFFFFF ), mui32Flags( 0 ) {
}

void EFDMTrackObjet::SetParams( void * params ) {
	if ( params == nullptr ) {
		mfRate = 1.0f;
		mui32TargetId = 0;
		mui32Flags = 0;
		moOffset = DTVector3d();
		return;
	}
	const DMTrackObjetParams & record = *static_cast<const DMTrackObjetParams *>( params );
	mui32TargetId = DMStoredObjectId( record.ui32TargetId );
	mfRate = record.fRate;
	moOffset = record.oOffset;
	mui32Flags = record.ui32Flags;
}

void EFDMTrackObjet::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMTrackObjetParams & record = *static_cast<DMTrackObjetParams *>( params );
	record.ui32TargetId = mui32TargetId;
	record.fRate = mfRate;
	record.oOffset = moOffset;
	record.ui32Flags = mui32Flags;
}

u32 EFDMTrackObjet::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	DTFrame * const frame = DMOwnerFrame( *this );
	EFGameObject * target = nullptr;
	if ( mui32TargetId != 0 ) {
		target = DMFindObject( mui32TargetId );
		if ( target == nullptr ) {
			DMChangeState( *this, mui32State | 1 );
			return 1;
		}
	}
	if ( frame == nullptr ) {
		return 1;
	}
	DTVector3d point;
	if ( ( mui32Flags & EF_DM_TRACK_LOCAL_POINT ) == 0 ) {
		if ( target != nullptr ) {
			point = DMObjectPosition( *target );
		}
		if ( ( mui32Flags & EF_DM_TRACK_WORLD_OFFSET ) != 0 ) {
			point = point + moOffset;
		}
	} else if ( target != nullptr && target->GetFrame() != nullptr ) {
		RwV3dTransformPoints( DTAsRwV3d( &point ), DTAsRwV3d( &moOffset ), 1,
							  RwFrameGetLTM( target->GetFrame()->GetRwFrame() ) );
	}
	const RwMatrix * const ltm = RwFrameGetLTM( frame->GetRwFrame() );
	DTVector3d d = point - DMRow( ltm->pos );
	if ( ( mui32Flags & EF_DM_TRACK_AWAY ) != 0 ) {
		d = d * -1.0f;
	}
	if ( d * d < DT_EPSILON_FLOAT ) {
		return 1;
	}
	const f32 k = std::fmin( mfRate * dt, 1.0f );
	const f32 heading = std::atan2( ltm->at.x, ltm->at.z );
	if ( ( mui32Flags & EF_DM_TRACK_HEADING_PITCH ) != 0 ) {
		const f32 newHeading = heading + k * DMWrapAngleOnce( std::atan2( d.x, d.z ) - heading );
		const f32 pitch = -DMClampedAsin( ltm->at.y );
		const f32 targetPitch = std::atan2( -d.y, std::sqrt( d.x * d.x + d.z * d.z ) );
		const f32 newPitch = pitch + k * DMWrapAngleOnce( targetPitch - pitch );
		frame->SetRotation( DTVector3d( 1.0f, 0.0f, 0.0f ), newPitch );
		frame->Rotate( DTVector3d( 0.0f, 1.0f, 0.0f ), newHeading );
	} else if ( ( mui32Flags & EF_DM_TRACK_HEADING ) != 0 ) {
		f32 e = std::atan2( d.x, d.z ) - heading;
		// Both angles lie in [-pi, pi], so at most one turn of 2 pi is
		// ever needed; a non-finite e is left alone rather than looped on.
		while ( e > PI ) {
			e -= TWO_PI;
		}
		while ( e < -PI ) {
			e += TWO_PI;
		}
		DMRotateInPlace( frame->GetRwFrame(), DTVector3d( 0.0f, 1.0f, 0.0f ), k * e );
	}
	return 1;
}
