#include "framework/behaviour/EFDMAnalogRotation.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/input/ActionState.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>

namespace {

constexpr f32 PI				= 3.14159265f;
// A stick direction shorter than this (squared) turns nothing.
constexpr f32 SMALLEST_STICK	= 0.01f;

}

EFDMAnalogRotation::EFDMAnalogRotation( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfSpeed( 1.0f ), mui32Flags( 0 ), mui32InputConfigId( 0 ),
	  mui32ActionId( 0 ) {
}

void EFDMAnalogRotation::SetParams( void * params ) {
	if ( params == nullptr ) {
		mfSpeed = 1.0f;
		mui32Flags = 0;
		mui32InputConfigId = 0;
		mui32ActionId = 0;
		return;
	}
	const DMAnalogRotationParams & record = *static_cast<const DMAnalogRotationParams *>( params );
	mfSpeed = record.fSpeed;
	mui32Flags = record.ui32Flags;
	mui32InputConfigId = record.ui32InputConfigId;
	mui32ActionId = record.ui32ActionId;
}

void EFDMAnalogRotation::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMAnalogRotationParams & record = *static_cast<DMAnalogRotationParams *>( params );
	record.fSpeed = mfSpeed;
	record.ui32Flags = mui32Flags;
	record.ui32InputConfigId = mui32InputConfigId;
	record.ui32ActionId = mui32ActionId;
}

u32 EFDMAnalogRotation::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	const ActionState * const stick = DMActionState( mui32InputConfigId, mui32ActionId );
	if ( stick == nullptr || ( stick->x == 0.0f && stick->y == 0.0f ) ) {
		return 1;
	}
	const f32 x = stick->x;
	const f32 y = stick->y;
	const RwMatrix * const camera = DMCameraLTM();
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( camera == nullptr || frame == nullptr ) {
		return 1;
	}
	const RwMatrix & body = *RwFrameGetLTM( frame->GetRwFrame() );
	const f32 heading = std::atan2( camera->at.x, camera->at.z );
	const f32 s = std::sin( heading );
	const f32 c = std::cos( heading );
	const f32 wx = -c * x + s * y;
	const f32 wz = s * x + c * y;
	f32 angle = 0.0f;
	if ( ( mui32Flags & EF_DM_ROTATION_RATE ) != 0 ) {
		angle = x * mfSpeed * dt;
	} else {
		if ( wx * wx + wz * wz < SMALLEST_STICK ) {
			return 1;
		}
		angle = std::atan2( wx, wz ) - std::atan2( body.at.x, body.at.z );
		if ( angle > PI ) {
			angle -= 2.0f * PI;
		} else if ( angle < -PI ) {
			angle += 2.0f * PI;
		}
		if ( ( mui32Flags & EF_DM_ROTATION_CLAMP ) != 0 ) {
			angle = angle > mfSpeed ? mfSpeed : angle < -mfSpeed ? -mfSpeed : angle;
		} else {
			const f32 share = mfSpeed * dt;
			angle *= share < 1.0f ? share : 1.0f;
		}
	}
	frame->Rotate( DTVector3d( body.up.x, body.up.y, body.up.z ), angle );
	return 1;
}
