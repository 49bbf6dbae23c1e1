#include "framework/behaviour/EFDMAnalogMotion.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 DEFAULT_TURN_RATE		= 1.0f;
constexpr f32 DEFAULT_SPEED			= 1.0f;
constexpr u32 DEFAULT_PROJECTION	= 2;
constexpr f32 DEFAULT_RELEASE		= 0.25f;
// Both stick values below this are no input (2^-7).
constexpr f32 DEAD_ZONE				= 0.0078125f;
// A vector whose components are all below this counts as zero (2^-6).
constexpr f32 NEGLIGIBLE			= 0.015625f;
// Turns of this angle or less are not made.
constexpr f32 SMALLEST_TURN			= 0.001f;
constexpr f32 PI					= 3.14159265f;

bool Negligible( const DTVector3d & v ) {
	return std::fabs( v.x ) < NEGLIGIBLE && std::fabs( v.y ) < NEGLIGIBLE && std::fabs( v.z ) < NEGLIGIBLE;
}

DTVector3d Cross( const DTVector3d & a, const DTVector3d & b ) {
	DTVector3d out;
	a.Cross( b, &out );
	return out;
}

DTVector3d Row( const RwV3d & row ) {
	return DTVector3d( row.x, row.y, row.z );
}

DTVector3d TransformPoint( const DTVector3d & p, const RwMatrix & matrix ) {
	DTVector3d out;
	RwV3dTransformPoints( DTAsRwV3d( &out ), DTAsRwV3d( &p ), 1, &matrix );
	return out;
}

}

EFDMAnalogMotion::EFDMAnalogMotion( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfTurnRate( DEFAULT_TURN_RATE ), mfMinTurnRate( DEFAULT_TURN_RATE ),
	  mfSpeed( DEFAULT_SPEED ), mfMinSpeed( 0.0f ), moPivot(), mui32ProjectionMode( DEFAULT_PROJECTION ),
	  mui32Options( 0 ), mui32CallbackId( 0 ), mfReleaseThreshold( DEFAULT_RELEASE ), mui32InputConfigId( 0 ),
	  mui32ActionId( 0 ), mpoAction( nullptr ), mfRemainingAngle( 0.0f ), mafLastInput{ 0.0f, 0.0f }, moMove(),
	  moTurnAxis(), mbWallContact( 0 ), moWallNormal(), mpoOwnerObject( nullptr ), mbActionFound( 0 ),
	  mui32FoundConfigId( 0 ), mui32FoundActionId( 0 ) {
}

void EFDMAnalogMotion::SetDefaults() {
	mfTurnRate = DEFAULT_TURN_RATE;
	mfMinTurnRate = DEFAULT_TURN_RATE;
	mfSpeed = DEFAULT_SPEED;
	mfMinSpeed = 0.0f;
	mui32Options = 0;
	mui32InputConfigId = 0;
	mui32ActionId = 0;
	mui32ProjectionMode = DEFAULT_PROJECTION;
	moPivot = DTVector3d();
	mui32CallbackId = 0;
	mfReleaseThreshold = DEFAULT_RELEASE;
}

void EFDMAnalogMotion::SetParams( void * params ) {
	if ( params == nullptr ) {
		SetDefaults();
		moMove = DTVector3d();
		mbWallContact = 0;
		return;
	}
	const DMAnalogMotionParams & record = *static_cast<const DMAnalogMotionParams *>( params );
	mfTurnRate = record.fTurnRate;
	mfMinTurnRate = record.fMinTurnRate;
	mfSpeed = record.fSpeed;
	mfMinSpeed = record.fMinSpeed;
	mui32Options = record.ui32Options;
	mui32InputConfigId = record.ui32InputConfigId;
	mui32ActionId = record.ui32ActionId;
	mui32ProjectionMode = record.ui32ProjectionMode;
	moPivot = record.oPivot;
	mui32CallbackId = record.ui32CallbackId;
	mfReleaseThreshold = record.fReleaseThreshold;
	mpoAction = gpoInputMgr != nullptr ? gpoInputMgr->InputActionGet( static_cast<s32>( mui32InputConfigId ),
																		 static_cast<s32>( mui32ActionId ) )
									   : nullptr;
	mbActionFound = mpoAction != nullptr ? 1 : 0;
	mui32FoundConfigId = mui32InputConfigId;
	mui32FoundActionId = mui32ActionId;
}

void EFDMAnalogMotion::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMAnalogMotionParams & record = *static_cast<DMAnalogMotionParams *>( params );
	record.fTurnRate = mfTurnRate;
	record.fMinTurnRate = mfMinTurnRate;
	record.fSpeed = mfSpeed;
	record.fMinSpeed = mfMinSpeed;
	record.ui32Options = mui32Options;
	record.ui32InputConfigId = mui32InputConfigId;
	record.ui32ActionId = mui32ActionId;
	record.ui32ProjectionMode = mui32ProjectionMode;
	record.oPivot = moPivot;
	record.ui32CallbackId = mui32CallbackId;
	record.fReleaseThreshold = mfReleaseThreshold;
}

bool EFDMAnalogMotion::InDeadZone( const f32 x, const f32 y ) {
	return std::fabs( x ) < DEAD_ZONE && std::fabs( y ) < DEAD_ZONE;
}

f32 EFDMAnalogMotion::StickLength( const f32 x, const f32 y ) {
	const f32 length = std::sqrt( x * x + y * y );
	return length > 1.0f ? 1.0f : length;
}

EFInputAction * EFDMAnalogMotion::FindAction() const {
	if ( mbActionFound == 0 || gpoInputMgr == nullptr ) {
		return nullptr;
	}
	return gpoInputMgr->InputActionGet( static_cast<s32>( mui32FoundConfigId ),
										static_cast<s32>( mui32FoundActionId ) );
}

const RwMatrix * EFDMAnalogMotion::CameraMatrix() {
	return DMCameraLTM();
}

void EFDMAnalogMotion::Project( const f32 x, const f32 y, const RwMatrix & camera ) {
	const RwMatrix * const character = DMOwnerLTM( *this );
	if ( character == nullptr ) {
		return;
	}
	const DTVector3d up = Row( character->up );
	const DTVector3d at = Row( character->at );
	// Other modes work last pass's angle and move over again.
	f32 cosine = mfRemainingAngle;
	if ( mui32ProjectionMode == 1 || mui32ProjectionMode == 2 ) {
		const bool mode1 = mui32ProjectionMode == 1;
		// The flatter the camera looks, the more of the stick's y goes to
		// its forward axis.
		const f32 c = std::fabs( Row( camera.at ) * up );
		const DTVector3d input = mode1 ? DTVector3d( -x, y * ( 1.0f - c ), y * c )
									   : DTVector3d( -x, y * c, y * ( 1.0f - c ) );
		const DTVector3d w = DMTransformVector( input, &camera );
		const DTVector3d & a = mode1 ? at : up;
		const DTVector3d & b = mode1 ? up : at;
		DTVector3d heading = Cross( a, Cross( w, a ) );
		heading.Normalize();
		cosine = b * heading;
		moTurnAxis = Cross( b, heading );
		moTurnAxis.Normalize();
		if ( Negligible( moTurnAxis ) ) {
			moTurnAxis = a;
		}
		const f32 s = StickLength( x, y );
		const f32 k = ( mui32Options & EF_DM_MOTION_SLOW_TURNING ) != 0 ? ( 1.0f + cosine ) * 0.5f : 1.0f;
		f32 speed = 0.0f;
		if ( ( mui32Options & EF_DM_MOTION_SPEED_CALLBACK ) != 0 ) {
			DMAnalogMotionSpeedRecord answer = { s * k };
			EFLogicCallbackRecord callback = EFLogicCallbackRecordOf( mpoOwnerObject, mui32CallbackId );
			EFGameLogicMgr::ExecLogicCallback( &callback, &answer );
			speed = answer.fSpeed;
		} else {
			speed = mfMinSpeed + s * k * ( mfSpeed - mfMinSpeed );
		}
		moMove = mode1 ? DTVector3d( 0.0f, speed, 0.0f ) : DTVector3d( 0.0f, 0.0f, speed );
	}
	mfRemainingAngle = cosine > 1.0f ? 0.0f : cosine < -1.0f ? PI : std::acos( cosine );
	moMove = DMTransformVector( moMove, character );
}

f32 EFDMAnalogMotion::Turn( const f32 s, const f32 dt ) {
	f32 rate = mfTurnRate;
	if ( ( mui32Options & EF_DM_MOTION_RATE_BY_STICK ) != 0 ) {
		rate = mfMinTurnRate + s * ( mfTurnRate - mfMinTurnRate );
	}
	const f32 angle = mfRemainingAngle * rate * dt;
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( !( angle > SMALLEST_TURN ) || frame == nullptr ) {
		return angle;
	}
	if ( Negligible( moPivot ) ) {
		frame->Rotate( moTurnAxis, angle );
		return angle;
	}
	// The pivot stays where it was: the frame moves back by how far the
	// turn carried it.
	RwFrame * const rw = frame->GetRwFrame();
	const DTVector3d before = TransformPoint( moPivot, rw->modelling );
	RwFrameRotate( rw, DTAsRwV3d( &moTurnAxis ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	const DTVector3d shift = TransformPoint( moPivot, rw->modelling ) - before;
	const RwV3d back = { -shift.x, -shift.y, -shift.z };
	RwFrameTranslate( rw, &back, rwCOMBINEPOSTCONCAT );
	return angle;
}

void EFDMAnalogMotion::RefreshOwnerObject() {
	const EFPhysicData * const owner = mpoOwner->GetOwner();
	mpoOwnerObject = owner != nullptr ? owner->mpGameObjectOwner : nullptr;
}

void EFDMAnalogMotion::SetVelocityToTarget( const EFDynamicPhysic & record ) {
	EFPhysic & body = *mpoOwner;
	body.moVelocity = record.oTargetVelocity;
	body.mfFallingTimer = body.mfFallingDelay;
}

u32 EFDMAnalogMotion::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	const EFInputAction * const action = FindAction();
	mpoAction = const_cast<EFInputAction *>( action );
	if ( action == nullptr ) {
		return 1;
	}
	RefreshOwnerObject();
	const f32 x = action->GetState().x;
	const f32 y = action->GetState().y;
	const RwMatrix * const camera = CameraMatrix();
	if ( InDeadZone( x, y ) ) {
		if ( ( mui32Options & EF_DM_MOTION_SET_VELOCITY ) != 0 ) {
			SetVelocityToTarget( record );
		}
		if ( ( mui32Options & EF_DM_MOTION_TURN_ON_RELEASE ) != 0 && camera != nullptr ) {
			const f32 last = StickLength( mafLastInput[0], mafLastInput[1] );
			if ( last > mfReleaseThreshold ) {
				mfRemainingAngle -= Turn( last, dt );
			}
		}
		return 1;
	}
	mafLastInput[0] = x;
	mafLastInput[1] = y;
	if ( camera != nullptr ) {
		Project( x, y, *camera );
		Turn( StickLength( x, y ), dt );
	}
	const f32 into = moMove * moWallNormal;
	if ( mbWallContact != 0 && into < 0.0f ) {
		moMove -= moWallNormal * into;
	}
	record.oTargetVelocity += moMove;
	if ( ( mui32Options & EF_DM_MOTION_SET_VELOCITY ) != 0 ) {
		SetVelocityToTarget( record );
	}
	return 1;
}

void EFDMAnalogMotion::PostColUpdate( EFCollisionStage * stage, f32 ) {
	mbWallContact = 0;
	moWallNormal = DTVector3d();
	if ( stage == nullptr ) {
		return;
	}
	DTVector3d sum;
	u32 walls = 0;
	for ( u32 i = 0; i < stage->mui32NbEnvPrims; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage->mppoEnvPrims[i];
		const f32 friction = polygon->GetAttribs()->fFriction;
		if ( friction == 0.0f ) {
			mbWallContact = 1;
			sum += polygon->moPlane.moNormal;
			walls++;
		} else if ( friction > 0.0f ) {
			mbWallContact = 0;
			break;
		}
	}
	if ( mbWallContact == 0 ) {
		return;
	}
	sum *= 1.0f / static_cast<f32>( walls );
	sum.y = 0.0f;
	if ( sum.LengthSquare() != 0.0f ) {
		sum.Normalize();
	}
	moWallNormal = sum;
}

void EFDMAnalogMotion::DoAction( const u32 action, void * data ) {
	if ( action != DM_ANALOG_MOTION_PROJECT || data == nullptr ) {
		return;
	}
	DMAnalogMotionProjectData & project = *static_cast<DMAnalogMotionProjectData *>( data );
	RefreshOwnerObject();
	const f32 x = project.afStick[0];
	const f32 y = project.afStick[1];
	if ( !InDeadZone( x, y ) ) {
		if ( const RwMatrix * const camera = CameraMatrix() ) {
			Project( x, y, *camera );
		}
	}
	project.oMove = moMove;
	project.fRemainingAngle = mfRemainingAngle;
}
