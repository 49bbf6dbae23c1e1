#include "framework/behaviour/EFDMAnalogMove.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/input/ActionState.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>

namespace {

// The mapping modes, in the order they are tested.
constexpr u32 MAPPING_BITS = 6;

}

EFDMAnalogMove::EFDMAnalogMove( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32InputConfigId( 0 ), mui32ActionId( 0 ), moSpeed(),
	  mui32CameraRelative( 0 ), mui32TargetOnly( 1 ), mui32Mode( 0 ) {
}

void EFDMAnalogMove::SetParams( void * params ) {
	if ( params == nullptr ) {
		mui32InputConfigId = 0;
		mui32ActionId = 0;
		moSpeed = DTVector3d();
		mui32CameraRelative = 1;
		mui32TargetOnly = 1;
		mui32Mode = 0;
		return;
	}
	const DMAnalogMoveParams & record = *static_cast<const DMAnalogMoveParams *>( params );
	mui32InputConfigId = record.ui32InputConfigId;
	mui32ActionId = record.ui32ActionId;
	moSpeed = record.oSpeed;
	mui32CameraRelative = record.ui32CameraRelative;
	mui32TargetOnly = record.ui32TargetOnly;
	mui32Mode = record.ui32Mode;
}

void EFDMAnalogMove::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMAnalogMoveParams & record = *static_cast<DMAnalogMoveParams *>( params );
	record.ui32InputConfigId = mui32InputConfigId;
	record.ui32ActionId = mui32ActionId;
	record.oSpeed = moSpeed;
	record.ui32CameraRelative = mui32CameraRelative;
	record.ui32TargetOnly = mui32TargetOnly;
	record.ui32Mode = mui32Mode;
}

DTVector3d EFDMAnalogMove::CameraTransfo( const RwMatrix & camera, DTVector3d v, const DTVector3d & k,
										  const bool keepLength ) const {
	v = DMTransformVector( v, &camera );
	if ( ( mui32Mode & EF_DM_ANALOG_BODY_AXES ) != 0 ) {
		if ( const RwMatrix * const body = DMOwnerLTM( *this ) ) {
			RwMatrix inverse;
			RwMatrixInvert( &inverse, body );
			v = DMTransformVector( v, &inverse );
		}
	}
	const f32 length = std::sqrt( v.LengthSquare() );
	v.x *= -k.x;
	v.y *= k.y;
	v.z *= k.z;
	const f32 now = std::sqrt( v.LengthSquare() );
	if ( keepLength && now != 0.0f ) {
		v *= length / now;
	}
	return v;
}

bool EFDMAnalogMove::ProjectInputs( f32 x, f32 y, DTVector3d & out ) const {
	out = DTVector3d();
	f32 m = std::sqrt( x * x + y * y );
	if ( m > 1.0f ) {
		x /= m;
		y /= m;
		m = 1.0f;
	}
	u32 mapping = MAPPING_BITS;
	for ( u32 bit = 0; bit < MAPPING_BITS; bit++ ) {
		if ( ( mui32Mode & ( 1u << bit ) ) != 0 ) {
			mapping = bit;
			break;
		}
	}
	if ( mapping == MAPPING_BITS ) {
		return true;
	}
	if ( mui32CameraRelative != 0 ) {
		const RwMatrix * const camera = DMCameraLTM();
		if ( camera == nullptr ) {
			return false;
		}
		const DTVector3d plane( -x, 0.0f, y );
		const DTVector3d upright( -x, y, 0.0f );
		switch ( mapping ) {
		case 0: out = CameraTransfo( *camera, upright, DTVector3d( 1.0f, 1.0f, 0.0f ), true ); break;
		case 1: out = CameraTransfo( *camera, plane, DTVector3d( 1.0f, 0.0f, 1.0f ), true ); break;
		case 2: out = CameraTransfo( *camera, upright, DTVector3d( 0.0f, 1.0f, 1.0f ), true ); break;
		case 3: out = CameraTransfo( *camera, plane, DTVector3d( m, 0.0f, 0.0f ), false ); break;
		case 4: out = CameraTransfo( *camera, plane, DTVector3d( 0.0f, m, 0.0f ), false ); break;
		default: out = CameraTransfo( *camera, plane, DTVector3d( 0.0f, 0.0f, m ), false ); break;
		}
	} else {
		switch ( mapping ) {
		case 0: out = DTVector3d( x, y, 0.0f ); break;
		case 1: out = DTVector3d( x, 0.0f, y ); break;
		case 2: out = DTVector3d( 0.0f, y, x ); break;
		case 3: out = DTVector3d( m, 0.0f, 0.0f ); break;
		case 4: out = DTVector3d( 0.0f, m, 0.0f ); break;
		default: out = DTVector3d( 0.0f, 0.0f, m ); break;
		}
	}
	out.x *= -moSpeed.x;
	out.y *= moSpeed.y;
	out.z *= moSpeed.z;
	if ( ( mui32Mode & EF_DM_ANALOG_BODY_AXES ) != 0 ) {
		out = DMTransformVector( out, DMOwnerLTM( *this ) );
	}
	return true;
}

u32 EFDMAnalogMove::PreColUpdate( EFDynamicPhysic & record, f32 ) {
	const ActionState * const stick = DMActionState( mui32InputConfigId, mui32ActionId );
	if ( stick == nullptr || ( stick->x == 0.0f && stick->y == 0.0f ) ) {
		return 1;
	}
	const f32 x = stick->x;
	const f32 y = stick->y;
	DTVector3d out;
	if ( !ProjectInputs( x, y, out ) ) {
		return 1;
	}
	record.oTargetVelocity += out;
	if ( mui32TargetOnly == 0 ) {
		EFPhysic & body = *mpoOwner;
		body.moVelocity = record.oTargetVelocity;
		body.mfFallingTimer = body.mfFallingDelay;
	}
	return 1;
}

void EFDMAnalogMove::DoAction( const u32 action, void * data ) {
	if ( action != DM_ANALOG_MOVE_PROJECT || data == nullptr ) {
		return;
	}
	DMAnalogMoveProjectData & project = *static_cast<DMAnalogMoveProjectData *>( data );
	ProjectInputs( project.fStickX, project.fStickY, project.oResult );
}
