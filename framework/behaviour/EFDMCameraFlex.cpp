#include "framework/behaviour/EFDMCameraFlex.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTLimits.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTQuaternion.h"
#include "framework/behaviour/EFDMCameraTrack.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "framework/core/input/ActionState.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwMatrixCombine.h"

#include <cmath>

namespace {

constexpr f32 DEFAULT_LOOK_FACTOR		= 1.0f;
constexpr f32 DEFAULT_SMOOTHING			= 0.5f;
constexpr f32 DEFAULT_ANGLE_SMOOTHING	= 0.1f;
constexpr f32 DEFAULT_SEARCH_RADIUS		= 3.0f;
constexpr f32 DEFAULT_MAX_ACCELERATION	= 25.0f;
constexpr f32 DEFAULT_LOOK_SPEED		= 0.7f;
// 85 degrees.
constexpr f32 DEFAULT_MAX_LOOK_ANGLE	= 1.4835299f;
constexpr f32 DEFAULT_LOOK_PITCH_LIMIT	= 0.7f;
// The distance before any InitDM.
constexpr f32 CONSTRUCTED_DISTANCE		= 3.0f;

constexpr f32 SMALLEST_CONSTANT			= 0.000001f;
// Stick values below this on both axes are no input.
constexpr f32 DEAD_ZONE					= 0.0078125f;
// Acceleration is limited only with more smoothing than this.
constexpr f32 CAP_SMOOTHING				= 0.05f;
constexpr f32 SMALLEST_MOVE				= 0.0001f;
constexpr f32 TWO_PI					= 6.2831855f;
constexpr f32 PI						= 3.1415927f;
constexpr f32 HALF_PI					= 1.5707964f;
// Highest orbit pitch (pi - 0.1).
constexpr f32 MAX_ORBIT_PITCH			= 3.0415928f;
// Within this of 0 or pi the yaw is measured against the right axis.
constexpr f32 YAW_SWITCH				= 0.02f;
// Below this on x and z an axis counts as vertical (2^-15).
constexpr f32 VERTICAL_AXIS				= 0.000030517578f;
// Squared move of the collision that turns the camera again.
constexpr f32 COLLISION_MOVE			= 0.0001f;
// Ray settings of the obstruction test.
constexpr u32 RAY_OBJ_DETECT			= 2;
constexpr u32 RAY_ENV_DETECT			= 0x404;

const DTVector3d UP( 0.0f, 1.0f, 0.0f );

DTVector3d PositionOf( const RwMatrix & m ) {
	return DTVector3d( m.pos.x, m.pos.y, m.pos.z );
}

DTVector3d TransformPoint( const RwMatrix & m, const DTVector3d & p ) {
	return DMRow( m.right ) * p.x + DMRow( m.up ) * p.y + DMRow( m.at ) * p.z + PositionOf( m );
}

bool Moved( const ActionState * action ) {
	return action != nullptr && ( std::fabs( action->x ) >= DEAD_ZONE || std::fabs( action->y ) >= DEAD_ZONE );
}

// The work matrix set to a rotation about axis by radians.
DTMatrix & Rotation( DTMatrix & scratch, const DTVector3d & axis, const f32 radians ) {
	DTMatrix & work = DTMatrix::mpoWork != nullptr ? *DTMatrix::mpoWork : scratch;
	_rwMatrixSetIdentity( &work.oMat );
	RwMatrixRotate( &work.oMat, DTAsRwV3d( &axis ), radians * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	return work;
}

DTVector3d Turned( const DTVector3d & v, const DTVector3d & axis, const f32 radians ) {
	DTMatrix scratch;
	const DTMatrix & rotation = Rotation( scratch, axis, radians );
	DTVector3d out;
	rotation.TransformVectors( &v, &out, 1 );
	return out;
}

// The rows of an upright frame whose at axis is at.
void UprightRows( const DTVector3d & direction, DTVector3d & right, DTVector3d & up, DTVector3d & at ) {
	at = DMUnit( direction );
	const bool vertical = std::fabs( at.x ) < VERTICAL_AXIS && std::fabs( at.z ) < VERTICAL_AXIS;
	const DTVector3d reference = vertical ? DTVector3d( 0.0f, 0.0f, 1.0f ) : UP;
	right = DMUnit( DMCross( reference, at ) );
	up = DMUnit( DMCross( at, right ) );
}

void SetRows( RwMatrix & m, const DTVector3d & right, const DTVector3d & up, const DTVector3d & at ) {
	m.right = { right.x, right.y, right.z };
	m.up = { up.x, up.y, up.z };
	m.at = { at.x, at.y, at.z };
}

}

EFDMCameraFlex::EFDMCameraFlex( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mbMatrixOrientation( 0 ), mpoMatrix( RwMatrixCreate() ),
	  mfDistance( CONSTRUCTED_DISTANCE ), mfHeightDifference( 0.0f ), mui32TargetUID( 0 ) {
	moCursor.SetSpline( nullptr );
	SetDefaults();
}

EFDMCameraFlex::~EFDMCameraFlex() {
	if ( mpoMatrix != nullptr ) {
		RwMatrixDestroy( mpoMatrix );
		mpoMatrix = nullptr;
	}
	mpoTarget = nullptr;
}

void EFDMCameraFlex::SetDefaults() {
	mui32TargetId = 0;
	mpoTarget = nullptr;
	mui32TargetUID = 0;
	mui32AnimObjectId = 0;
	mi32Mode = EF_DM_CAMERA_TARGET_FRAME;
	mfSearchRadius = DEFAULT_SEARCH_RADIUS;
	moOffset = DTVector3d( 0.0f, 0.0f, -2.0f );
	moLookOffset = DTVector3d();
	mfHorizontalSmoothing = DEFAULT_SMOOTHING;
	mfVerticalSmoothing = DEFAULT_SMOOTHING;
	mfOrientationSmoothing = DEFAULT_SMOOTHING;
	mfYawSmoothing = DEFAULT_ANGLE_SMOOTHING;
	mfPitchSmoothing = DEFAULT_ANGLE_SMOOTHING;
	mfMaxAcceleration = DEFAULT_MAX_ACCELERATION;
	mfMaxDrift = 0.0f;
	mfDriftAcceleration = 1.0f;
	mfYaw = DEFAULT_LOOK_FACTOR;
	mfPitch = DEFAULT_LOOK_FACTOR;
	mfLookFactor = DEFAULT_LOOK_FACTOR;
	mui32ActionId = 0;
	mui32InputConfigId = 0;
	mfLookSpeedX = DEFAULT_LOOK_SPEED;
	mfLookSpeedY = DEFAULT_LOOK_SPEED;
	mfMaxLookAngle = DEFAULT_MAX_LOOK_ANGLE;
	mfOrbitSpeed = 1.0f;
	mfLookPitchLimit = DEFAULT_LOOK_PITCH_LIMIT;
	mui32Options = 0;
	mui32CallbackId = 0;
	mi32SplineId = -1;
	mbSplineFinished = 1;
	mpoAnimationMgr = nullptr;
	mfSpeed = 0.0f;
	mfDrift = 0.0f;
	mi32ObstructionState = 1;
	moRememberedCamera = DTVector3d();
	moRememberedTarget = DTVector3d();
}

void EFDMCameraFlex::SetParams( void * params ) {
	if ( params == nullptr ) {
		SetDefaults();
		InitDM();
		return;
	}
	const DMCameraFlexParams & record = *static_cast<const DMCameraFlexParams *>( params );
	mui32TargetId = DMStoredObjectId( record.ui32TargetId );
	mpoTarget = DMFindObject( mui32TargetId );
	mui32TargetUID = mpoTarget != nullptr ? mpoTarget->GetUID() : 0;
	mui32AnimObjectId = DMStoredObjectId( record.ui32AnimObjectId );
	mi32Mode = record.i32Mode;
	mfSearchRadius = record.fSplineSearchRadius;
	moOffset = record.oOffset;
	moLookOffset = record.oLookOffset;
	mfHorizontalSmoothing = record.fHorizontalSmoothing;
	mfVerticalSmoothing = record.fVerticalSmoothing;
	mfOrientationSmoothing = record.fOrientationSmoothing;
	mfYawSmoothing = record.fYawSmoothing;
	mfPitchSmoothing = record.fPitchSmoothing;
	mfMaxAcceleration = record.fMaxAcceleration;
	mfMaxDrift = record.fMaxDriftSpeed;
	mfDriftAcceleration = record.fDriftAcceleration;
	mfYaw = record.fYaw;
	mfPitch = record.fPitch;
	mfLookFactor = record.fLookFactor;
	mui32ActionId = record.ui32ActionId;
	mui32InputConfigId = record.ui32InputConfigId;
	mfLookSpeedX = record.fLookSpeedX;
	mfLookSpeedY = record.fLookSpeedY;
	mfMaxLookAngle = record.fMaxLookAngle;
	mfOrbitSpeed = record.fOrbitSpeed;
	mfLookPitchLimit = record.fLookPitchLimit;
	mui32Options = record.ui32Flags;
	mui32CallbackId = record.ui32CallbackId;
	InitDM();
}

void EFDMCameraFlex::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMCameraFlexParams & record = *static_cast<DMCameraFlexParams *>( params );
	record.ui32TargetId = mui32TargetId;
	record.ui32AnimObjectId = mui32AnimObjectId;
	record.i32Mode = mi32Mode;
	record.fSplineSearchRadius = mfSearchRadius;
	record.oOffset = moOffset;
	record.oLookOffset = moLookOffset;
	record.fHorizontalSmoothing = mfHorizontalSmoothing;
	record.fVerticalSmoothing = mfVerticalSmoothing;
	record.fOrientationSmoothing = mfOrientationSmoothing;
	record.fYawSmoothing = mfYawSmoothing;
	record.fPitchSmoothing = mfPitchSmoothing;
	record.fMaxAcceleration = mfMaxAcceleration;
	record.fMaxDriftSpeed = mfMaxDrift;
	record.fDriftAcceleration = mfDriftAcceleration;
	record.fYaw = mfYaw;
	record.fPitch = mfPitch;
	record.fLookFactor = mfLookFactor;
	record.ui32ActionId = mui32ActionId;
	record.ui32InputConfigId = mui32InputConfigId;
	record.fLookSpeedX = mfLookSpeedX;
	record.fLookSpeedY = mfLookSpeedY;
	record.fMaxLookAngle = mfMaxLookAngle;
	record.fOrbitSpeed = mfOrbitSpeed;
	record.fLookPitchLimit = mfLookPitchLimit;
	record.ui32Flags = mui32Options;
	record.ui32CallbackId = mui32CallbackId;
}

void EFDMCameraFlex::InitDM() {
	mfDistance = std::sqrt( moOffset.x * moOffset.x + moOffset.z * moOffset.z );
	mfHeightDifference = moOffset.y - moLookOffset.y;
}

void EFDMCameraFlex::DoAction( const u32 action, void * data ) {
	if ( action == EF_DM_CAMERA_FINISH_SPLINE ) {
		mbSplineFinished = 1;
		return;
	}
	if ( action != EF_DM_CAMERA_START_SPLINE || data == nullptr || gpoSplineMgr == nullptr ) {
		return;
	}
	const u32 id = *static_cast<const u32 *>( data );
	for ( u32 i = 0; i < gpoSplineMgr->GetNbSplines(); i++ ) {
		EFQuadraticSpline * const spline = gpoSplineMgr->GetSpline( i );
		if ( spline != nullptr && ( spline->mui16Flags & EF_SPLINE_FLAG_ROPE ) != 0 && spline->mui16ID == id ) {
			moCursor.SetSpline( spline );
			mi32SplineId = static_cast<s32>( id );
			mbSplineFinished = 0;
			return;
		}
	}
}

EFGameObject * EFDMCameraFlex::GetTarget() const {
	return mpoTarget != nullptr ? DMFindObject( mui32TargetUID ) : nullptr;
}

f32 EFDMCameraFlex::DeltaForce( const f32 c, const f32 dt ) {
	if ( c < SMALLEST_CONSTANT ) {
		return 1.0f;
	}
	f32 f = dt / c;
	f = f > 1.0f ? 1.0f : f;
	return f <= SMALLEST_CONSTANT ? 0.0f : f;
}

u32 EFDMCameraFlex::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	EFGameObject * const target = GetTarget();
	DTFrame * const camera = DMOwnerFrame( *this );
	if ( target == nullptr || target->GetFrame() == nullptr || camera == nullptr ) {
		return 1;
	}
	const RwMatrix T = *RwFrameGetLTM( target->GetFrame()->GetRwFrame() );
	const DTVector3d position = PositionOf( *RwFrameGetLTM( camera->GetRwFrame() ) );
	const DTVector3d targetPos = PositionOf( T );
	DTVector3d goal = position;
	DTVector3d lookAt;
	const ActionState * const action = DMActionState( mui32InputConfigId, mui32ActionId );
	if ( mi32Mode == EF_DM_CAMERA_SPLINE ) {
		EFGameObject * const animated = DMFindObject( mui32AnimObjectId );
		mpoAnimationMgr = animated != nullptr ? &animated->moAnimationMgr : nullptr;
	}
	if ( mi32Mode == EF_DM_CAMERA_FOLLOW ) {
		moOffset.x = position.x - targetPos.x;
		moOffset.z = position.z - targetPos.z;
	}
	if ( ( mui32Options & EF_DM_CAMERA_STICK_ORBITS ) != 0 ) {
		OrbitCam( action, T, dt );
	}
	switch ( mi32Mode ) {
		case EF_DM_CAMERA_SPLINE:
			UpdateCameraAnimated( goal, dt );
			break;
		case EF_DM_CAMERA_TARGET_FRAME:
			goal = TransformPoint( T, moOffset );
			break;
		case EF_DM_CAMERA_FOLLOW: {
			const f32 radius = target->mpoPhysic != nullptr ? target->mpoPhysic->moCollisionModel.moPhysicBSphere.mfRadius : 1.0f;
			goal = targetPos + moOffset;
			UpdateCameraDistance( *camera, T, radius, goal );
			break;
		}
		case EF_DM_CAMERA_WORLD_OFFSET:
			goal = targetPos + moOffset;
			break;
		case EF_DM_CAMERA_FIXED:
			goal = moOffset;
			break;
		case EF_DM_CAMERA_FIXED_VIEW:
			goal = moOffset;
			BuildFixedView();
			break;
		case EF_DM_CAMERA_ORBIT:
			lookAt = ( mui32Options & EF_DM_CAMERA_ABSOLUTE_LOOK ) != 0 ? moLookOffset : targetPos;
			UpdateCameraRelDistance( *camera, T, lookAt, goal, dt );
			break;
		case EF_DM_CAMERA_LOGIC:
			AskLogic( targetPos, goal, lookAt, dt );
			break;
		default:
			break;
	}
	// Read again: mode 2 may have put the camera on an obstruction.
	const DTVector3d from = PositionOf( *RwFrameGetLTM( camera->GetRwFrame() ) );
	mpoOwner->moVelocity = record.oTargetVelocity + MoveToTarget( from, goal, dt );
	mpoOwner->mfFallingTimer = mpoOwner->mfFallingDelay;
	const bool freeLook = ( mui32Options & EF_DM_CAMERA_STICK_ORBITS ) == 0 && FirstPersonView( action, T, *camera, dt );
	if ( !freeLook ) {
		if ( mi32Mode == EF_DM_CAMERA_FIXED_VIEW ) {
			lookAt = targetPos;
		} else if ( mi32Mode != EF_DM_CAMERA_LOGIC ) {
			lookAt = TransformPoint( T, moLookOffset );
		}
		LookAtHero( *camera, lookAt, dt );
	}
	DMChangeState( *this, ( mui32State & ~EF_DM_CAMERA_SPLINE_FINISHED ) | mbSplineFinished );
	return 1;
}

void EFDMCameraFlex::BuildFixedView() {
	DTVector3d right;
	DTVector3d up;
	DTVector3d at = moLookOffset - moOffset;
	// Only an exactly vertical view takes z for its up.
	const DTVector3d reference = at.x == 0.0f && at.z == 0.0f ? DTVector3d( 0.0f, 0.0f, 1.0f ) : UP;
	at.Normalize();
	right = DMUnit( DMCross( reference, at ) );
	up = DMUnit( DMCross( at, right ) );
	SetRows( *mpoMatrix, right, up, at );
	mpoMatrix->pos = { moOffset.x, moOffset.y, moOffset.z };
	mpoMatrix->flags = 0;
	mbMatrixOrientation = 1;
}

void EFDMCameraFlex::AskLogic( const DTVector3d & target, DTVector3d & goal, DTVector3d & lookAt, const f32 dt ) {
	DMCameraFlexCallbackRecord answer;
	answer.fDt = dt;
	answer.oCameraPosition = goal;
	answer.oLookAt = ( mui32Options & EF_DM_CAMERA_ABSOLUTE_LOOK ) != 0 ? moLookOffset : moLookOffset + target;
	EFLogicCallbackRecord callback = EFLogicCallbackRecordOf( DMOwnerObject( *this ), mui32CallbackId );
	EFGameLogicMgr::ExecLogicCallback( &callback, &answer );
	goal = answer.oCameraPosition;
	lookAt = answer.oLookAt;
}

DTVector3d EFDMCameraFlex::MoveToTarget( const DTVector3d & position, const DTVector3d & goal, const f32 dt ) {
	if ( !( dt > 0.0f ) ) {
		// No time to move in: the camera stays where it is.
		moPredicted = position;
		return DTVector3d();
	}
	const f32 kx = DeltaForce( mfHorizontalSmoothing, dt );
	const f32 ky = DeltaForce( mfVerticalSmoothing, dt );
	const DTVector3d blended( position.x * ( 1.0f - kx ) + goal.x * kx, position.y * ( 1.0f - ky ) + goal.y * ky,
							  position.z * ( 1.0f - kx ) + goal.z * kx );
	DTVector3d move = blended - position;
	const f32 m = std::sqrt( move.LengthSquare() );
	const f32 wanted = m / dt;
	const f32 acceleration = ( wanted - mfSpeed ) / dt;
	const f32 speed =
		acceleration > mfMaxAcceleration && mfHorizontalSmoothing > CAP_SMOOTHING ? mfSpeed + mfMaxAcceleration * dt : wanted;
	if ( m > SMALLEST_MOVE ) {
		move *= speed / m;
	}
	moPredicted = position + move * dt;
	mfSpeed = speed;
	return move;
}

bool EFDMCameraFlex::OrbitCam( const ActionState * action, const RwMatrix & target, const f32 dt ) {
	if ( !Moved( action ) ) {
		return false;
	}
	if ( mi32Mode == EF_DM_CAMERA_ORBIT ) {
		mfYaw += mfOrbitSpeed * action->x * dt;
		mfPitch += mfOrbitSpeed * action->y * dt;
		if ( mfYaw >= TWO_PI ) {
			mfYaw -= TWO_PI;
		} else if ( mfYaw < 0.0f ) {
			mfYaw += TWO_PI;
		}
		mfPitch = mfPitch < 0.0f ? 0.0f : mfPitch > MAX_ORBIT_PITCH ? MAX_ORBIT_PITCH : mfPitch;
		return true;
	}
	const DTVector3d pivot = mi32Mode == EF_DM_CAMERA_FIXED ? TransformPoint( target, moLookOffset ) : moLookOffset;
	f32 angle = mfOrbitSpeed * action->x * dt;
	if ( mi32Mode == EF_DM_CAMERA_FOLLOW ) {
		// The smoothed move covers only this share: turn the goal further.
		const f32 k = DeltaForce( mfHorizontalSmoothing, dt );
		if ( k > SMALLEST_CONSTANT ) {
			angle /= k;
		}
	}
	moOffset = pivot + Turned( moOffset - pivot, UP, angle );
	return true;
}

void EFDMCameraFlex::UpdateCameraDistance( DTFrame & camera, const RwMatrix & target, const f32 radius, DTVector3d & goal ) {
	const RwMatrix & C = *RwFrameGetLTM( camera.GetRwFrame() );
	const DTVector3d P = PositionOf( target );
	const DTVector3d D = goal - P;
	const DTVector3d right = DMRow( C.right );
	DTVector3d side = right * ( DMRow( target.at ) * right );
	if ( side.LengthSquare() > 0.0f ) {
		side.Normalize();
	}
	const DTVector3d start = P + side * radius;
	RayIntersectIn in = {};
	in.oStartVector = start;
	in.oDeplVector = goal - start;
	in.ui32ObjDetectType = RAY_OBJ_DETECT;
	in.ui32EnvDetectType = RAY_ENV_DETECT;
	const EFPhysicData * const self = mpoOwner->GetOwner();
	in.ui32ExcludeObjID = self != nullptr ? self->GetUID() : 0;
	EFRayIntersectOut out = {};
	bool hit = false;
	if ( ( mui32Options & EF_DM_CAMERA_NO_RAY ) != 0 ) {
		mi32ObstructionState = 1;
	} else {
		hit = EFPhysicMgr::moPhysicMgr.RayIntersect( in, out ) != PS_RAY_NONE;
	}
	if ( mi32ObstructionState == 0 ) {
		if ( !hit && ( P - moRememberedTarget ).LengthSquare() <= DT_EPSILON_FLOAT ) {
			goal = moRememberedCamera;
		} else {
			mi32ObstructionState = 1;
		}
	}
	if ( mi32ObstructionState == 1 ) {
		if ( !hit ) {
			DTVector3d horizontal( D.x, 0.0f, D.z );
			if ( horizontal.LengthSquare() > 0.0f ) {
				horizontal.Normalize();
			}
			goal = P + horizontal * mfDistance;
			goal.y = P.y + moOffset.y;
			moRememberedCamera = goal;
		} else if ( D.x * D.x + D.z * D.z > 4.0f * mfDistance * mfDistance ) {
			goal = out.oIntersectionPoint;
			RwFrame * const frame = camera.GetRwFrame();
			frame->modelling.pos = { 0.0f, 0.0f, 0.0f };
			RwFrameTranslate( frame, DTAsRwV3d( &out.oIntersectionPoint ), rwCOMBINEPOSTCONCAT );
		} else {
			mi32ObstructionState = 2;
		}
	}
	if ( mi32ObstructionState == 2 ) {
		if ( !hit ) {
			mi32ObstructionState = 0;
		} else {
			RayIntersectIn back = in;
			back.oStartVector = goal;
			back.oDeplVector = start - goal;
			EFRayIntersectOut second = {};
			EFPhysicMgr::moPhysicMgr.RayIntersect( back, second );
			DTVector3d n = out.oIntersectionNormal + second.oIntersectionNormal;
			const f32 n2 = n.LengthSquare();
			n = n2 > DT_EPSILON_FLOAT ? n * ( 1.0f / n2 ) : side;
			const DTVector3d direction = DMUnit( D + n );
			goal = P + direction * mfDistance;
			goal.y = P.y + moOffset.y;
			moRememberedCamera = goal;
		}
	}
	moRememberedTarget = P;
	moOffset = goal - P;
}

void EFDMCameraFlex::UpdateCameraRelDistance( DTFrame & camera, const RwMatrix & target, const DTVector3d & lookAt,
											  DTVector3d & goal, const f32 dt ) {
	const DTVector3d position = PositionOf( *RwFrameGetLTM( camera.GetRwFrame() ) );
	DTVector3d reference = DMUnit( DTVector3d( target.at.x, 0.0f, target.at.z ) );
	DTVector3d V = position - lookAt;
	DTVector3d H = DMUnit( DTVector3d( V.x, 0.0f, V.z ) );
	V.Normalize();
	f32 wanted = mfYaw;
	f32 phi = DMClampedAcos( reference * H );
	if ( std::fabs( phi - PI ) < YAW_SWITCH || phi < YAW_SWITCH ) {
		// Along the forward axis the angle carries no side: measure from the
		// right axis, a quarter turn on, and turn from it.
		reference = DMUnit( DTVector3d( target.right.x, 0.0f, target.right.z ) );
		phi = DMClampedAcos( reference * H );
		wanted -= HALF_PI;
	}
	if ( DMCross( reference, H ).y < 0.0f ) {
		phi = TWO_PI - phi;
	}
	const f32 theta = DMClampedAcos( -V.y );
	const f32 ky = DeltaForce( mfYawSmoothing, dt );
	const f32 kp = DeltaForce( mfPitchSmoothing, dt );
	if ( ky > 0.0f ) {
		f32 turned;
		if ( phi - wanted > PI ) {
			turned = phi + ky * ( TWO_PI + wanted - phi );
		} else if ( wanted - phi > PI ) {
			turned = phi + ky * ( wanted - ( TWO_PI + phi ) );
		} else {
			turned = phi + ky * ( wanted - phi );
		}
		const f32 c = std::cos( turned );
		const f32 s = std::sin( turned );
		H = DTVector3d( reference.x * c + reference.z * s, 0.0f, reference.z * c - reference.x * s );
	}
	const f32 pitch = theta + kp * ( mfPitch - theta );
	// Tilting H up about H x up raises it from the horizontal.
	const DTVector3d W = Turned( H, DMCross( H, UP ), pitch - HALF_PI );
	goal = lookAt + W * mfDistance;
	moOffset = W;
}

void EFDMCameraFlex::GetLookAt( const DTVector3d & from, const DTVector3d & to, DTQuaternion & out ) {
	DTMatrix look;
	_rwMatrixSetIdentity( &look.oMat );
	DTVector3d right;
	DTVector3d up;
	DTVector3d at;
	UprightRows( to - from, right, up, at );
	SetRows( look.oMat, right, up, at );
	out.MatToQuat( &look );
}

DTVector3d EFDMCameraFlex::GetNewLookAtPos( DTFrame & camera, const DTVector3d & lookAt ) const {
	const RwMatrix & source = mbMatrixOrientation != 0 ? *mpoMatrix : camera.GetRwFrame()->modelling;
	const DTVector3d d = lookAt - PositionOf( source );
	const DTVector3d right = DMRow( source.right );
	const DTVector3d up = DMRow( source.up );
	const DTVector3d at = DMRow( source.at );
	const DTVector3d local( ( d * right ) * mfYaw, ( d * up ) * mfPitch, std::fabs( d * at ) );
	return PositionOf( source ) + right * local.x + up * local.y + at * local.z;
}

void EFDMCameraFlex::LookAtHero( DTFrame & camera, DTVector3d lookAt, const f32 dt ) {
	RwMatrix & modelling = camera.GetRwFrame()->modelling;
	DTMatrix current;
	current.oMat = modelling;
	DTQuaternion from;
	from.MatToQuat( &current );
	DTQuaternion to;
	if ( mi32Mode == EF_DM_CAMERA_SPLINE || mi32Mode == EF_DM_CAMERA_FIXED_VIEW ) {
		if ( mfYaw == 0.0f && mfPitch == 0.0f ) {
			to.MatToQuat( DTAsDTMatrix( mpoMatrix ) );
		} else {
			GetLookAt( moPredicted, GetNewLookAtPos( camera, lookAt ), to );
		}
	} else {
		if ( mi32Mode == EF_DM_CAMERA_FOLLOW || ( mui32Options & EF_DM_CAMERA_LOOK_DEAD_BAND ) != 0 ) {
			// Hold the look height in a band around the camera's height.
			const DTVector3d R = lookAt - moPredicted;
			DTVector3d E( R.x, -mfHeightDifference, R.z );
			const f32 alpha = DMClampedAcos( DMUnit( R ) * DMUnit( E ) );
			if ( alpha >= mfLookPitchLimit ) {
				E = Turned( E, DMCross( E, R ), alpha - mfLookPitchLimit );
			}
			lookAt.y = moPredicted.y + E.y;
		}
		GetLookAt( moPredicted, lookAt, to );
	}
	DTQuaternion q;
	q.Slerp( from, to, DeltaForce( mfOrientationSmoothing, dt ) );
	q.Normalise();
	DTMatrix scratch;
	DTMatrix & work = DTMatrix::mpoWork != nullptr ? *DTMatrix::mpoWork : scratch;
	q.QuatToMat( &work );
	DTVector3d right;
	DTVector3d up;
	DTVector3d at;
	UprightRows( *work.GetAt(), right, up, at );
	SetRows( modelling, right, up, at );
	RwFrameUpdateObjects( camera.GetRwFrame() );
}

bool EFDMCameraFlex::FirstPersonView( const ActionState * action, const RwMatrix & target, DTFrame & camera, const f32 dt ) {
	if ( !Moved( action ) ) {
		return false;
	}
	const RwMatrix & C = *RwFrameGetLTM( camera.GetRwFrame() );
	const DTVector3d position = PositionOf( C );
	DTVector3d base = TransformPoint( target, moLookOffset );
	if ( mi32Mode == EF_DM_CAMERA_SPLINE || mi32Mode == EF_DM_CAMERA_FIXED_VIEW ) {
		base = GetNewLookAtPos( camera, base );
	}
	DTVector3d R = base - position;
	const f32 yawStep = mfLookSpeedX * action->x;
	if ( yawStep != 0.0f ) {
		R = Turned( R, DMRow( C.up ), -yawStep );
	}
	f32 p = mfLookSpeedY * action->y;
	const f32 beta = DMClampedAcos( DMUnit( R ) * DMUnit( DMRow( C.up ) ) );
	if ( beta + std::fabs( p ) > mfMaxLookAngle ) {
		const f32 sign = p < 0.0f ? -1.0f : 1.0f;
		p -= sign * ( beta + std::fabs( p ) - mfMaxLookAngle );
	}
	if ( p != 0.0f ) {
		R = Turned( R, DMRow( C.right ), -p );
	}
	const s32 mode = mi32Mode;
	mi32Mode = EF_DM_CAMERA_TARGET_FRAME;
	LookAtHero( camera, position + R, dt );
	mi32Mode = mode;
	return yawStep != 0.0f || p != 0.0f;
}

void EFDMCameraFlex::PostColUpdate( EFCollisionStage *, const f32 dt ) {
	EFGameObject * const target = GetTarget();
	DTFrame * const camera = DMOwnerFrame( *this );
	if ( target == nullptr || target->GetFrame() == nullptr || camera == nullptr ) {
		return;
	}
	const RwMatrix T = *RwFrameGetLTM( target->GetFrame()->GetRwFrame() );
	const DTVector3d position = PositionOf( *RwFrameGetLTM( camera->GetRwFrame() ) );
	if ( ( position - moPredicted ).LengthSquare() > COLLISION_MOVE ) {
		moPredicted = position;
		const DTVector3d lookAt = mi32Mode == EF_DM_CAMERA_FIXED_VIEW ? PositionOf( T ) : TransformPoint( T, moLookOffset );
		LookAtHero( *camera, lookAt, dt );
	}
	RwFrameUpdateObjects( camera->GetRwFrame() );
}

namespace {

// 2^-7: smaller drifts are dropped.
constexpr f32 SMALLEST_DRIFT		= 0.0078125f;
// Half height against which a focal length gives the field of view.
constexpr f32 FOCAL_HALF_HEIGHT		= 12.44712f;
constexpr u32 CURSOR_TANGENT_CACHED	= 0x2;


}

s32 EFDMCameraFlex::FindSpline( const DTVector3d & position ) {
	EFQuadraticSpline * const best = EFDMCameraTrack::NearestCameraSpline( position, mfSearchRadius );
	if ( best == nullptr ) {
		mbSplineFinished = 1;
		return mi32SplineId;
	}
	moCursor.SetSpline( best );
	mi32SplineId = best->mui16ID;
	moCursor.SetToNearest( position );
	mbSplineFinished = 0;
	return mi32SplineId;
}

const DTVector3d & EFDMCameraFlex::CursorTangent() {
	if ( ( moCursor.mui32State & CURSOR_TANGENT_CACHED ) == 0 ) {
		moCursor.mpoSpline->GetTangent( moCursor.mi32Segment, moCursor.mfT, moCursor.moCachedTangent );
		moCursor.mui32State |= CURSOR_TANGENT_CACHED;
	}
	return moCursor.moCachedTangent;
}

void EFDMCameraFlex::UpdateCameraAnimated( DTVector3d & goal, const f32 dt ) {
	EFGameObject * const target = GetTarget();
	if ( target == nullptr || target->GetFrame() == nullptr ) {
		return;
	}
	const RwMatrix & T = *RwFrameGetLTM( target->GetFrame()->GetRwFrame() );
	const DTVector3d P = PositionOf( T );
	if ( moCursor.mpoSpline == nullptr || mbSplineFinished != 0 ) {
		mi32SplineId = FindSpline( P );
	}
	if ( mbSplineFinished == 0 && mi32SplineId >= 0 ) {
		moCursor.SetToNearest( P );
		if ( moCursor.mfU >= 1.0f || moCursor.mfU <= 0.0f ) {
			mbSplineFinished = 1;
		}
	}
	if ( moCursor.mpoSpline != nullptr ) {
		if ( DMRow( T.at ) * CursorTangent() < 0.0f ) {
			// The target turned back: drift along the spline, faster and
			// faster up to the maximum.
			mfDrift -= mfDriftAcceleration * dt;
			mfDrift = mfDrift < -mfMaxDrift ? -mfMaxDrift : mfDrift > 0.0f ? 0.0f : mfDrift;
			moCursor.MoveDistance( mfDrift, nullptr );
		} else if ( std::fabs( mfDrift ) >= SMALLEST_DRIFT ) {
			mfDrift /= 1.0f + dt * mfDriftAcceleration;
			moCursor.MoveDistance( mfDrift, nullptr );
		}
	}
	UpdateAnimation( goal );
}

void EFDMCameraFlex::ApplyChannel( const u32 channel, const f32 v, DTVector3d & goal, DTVector3d & rotation ) {
	EFCamera * const camera = gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( 0 ) : nullptr;
	switch ( channel ) {
		case EF_DM_CAMERA_CHANNEL_X: goal.x = v; break;
		case EF_DM_CAMERA_CHANNEL_Y: goal.y = v; break;
		case EF_DM_CAMERA_CHANNEL_Z: goal.z = v; break;
		case EF_DM_CAMERA_CHANNEL_ROTATION_X: rotation.x = -v; mbMatrixOrientation = 1; break;
		case EF_DM_CAMERA_CHANNEL_ROTATION_Y: rotation.y = PI + v; mbMatrixOrientation = 1; break;
		case EF_DM_CAMERA_CHANNEL_ROTATION_Z: rotation.z = v; mbMatrixOrientation = 1; break;
		case EF_DM_CAMERA_CHANNEL_YAW: mfYaw = v; break;
		case EF_DM_CAMERA_CHANNEL_PITCH: mfPitch = v; break;
		case EF_DM_CAMERA_CHANNEL_LOOK_FACTOR: mfLookFactor = v; break;
		case EF_DM_CAMERA_CHANNEL_MAX_DRIFT: mfMaxDrift = v; break;
		case EF_DM_CAMERA_CHANNEL_H_SMOOTHING: mfHorizontalSmoothing = v; break;
		case EF_DM_CAMERA_CHANNEL_O_SMOOTHING: mfOrientationSmoothing = v; break;
		case EF_DM_CAMERA_CHANNEL_FAR_CLIP:
			if ( camera != nullptr && camera->mpoRwCamera != nullptr ) {
				RwCameraSetFarClipPlane( camera->mpoRwCamera, v );
				camera->muiPlanesDirty = 1;
			}
			break;
		case EF_DM_CAMERA_CHANNEL_FOCAL:
			if ( camera != nullptr ) {
				camera->SetFOV( 2.0f * std::atan( FOCAL_HALF_HEIGHT / v ) );
			}
			break;
		case EF_DM_CAMERA_CHANNEL_V_SMOOTHING: mfVerticalSmoothing = v; break;
		default: break;
	}
}

s32 EFDMCameraFlex::UpdateAnimation( DTVector3d & goal ) {
	if ( mpoAnimationMgr == nullptr || moCursor.mpoSpline == nullptr ) {
		return -1;
	}
	mbMatrixOrientation = 0;
	DTVector3d rotation;
	EFDMCameraTrack track;
	if ( !track.Find( *mpoAnimationMgr, mi32SplineId ) ) {
		return -1;
	}
	bool vertical = false;
	for ( u32 e = 0; e < track.GetChannelCount(); e++ ) {
		f32 v = 0.0f;
		if ( !track.Evaluate( e, moCursor, v ) ) {
			continue;
		}
		const u32 channel = track.GetChannel( e );
		ApplyChannel( channel, v, goal, rotation );
		vertical = vertical || channel == EF_DM_CAMERA_CHANNEL_V_SMOOTHING;
	}
	if ( ( mui32Options & EF_DM_CAMERA_TANGENT_OFFSET ) != 0 ) {
		DTMatrix scratch;
		DTMatrix & work = DTMatrix::mpoWork != nullptr ? *DTMatrix::mpoWork : scratch;
		const DTVector3d at = DMUnit( CursorTangent() );
		const DTVector3d right = DMUnit( DMCross( UP, at ) );
		const DTVector3d up = DMUnit( DMCross( at, right ) );
		SetRows( work.oMat, right, up, at );
		DTVector3d turned;
		work.TransformVectors( &moOffset, &turned, 1 );
		goal += turned;
	}
	if ( mbMatrixOrientation != 0 ) {
		DTMatrix * const matrix = DTAsDTMatrix( mpoMatrix );
		matrix->SetToRotation( rotation );
		matrix->oMat.pos = { goal.x, goal.y, goal.z };
		matrix->oMat.flags = 0;
	}
	if ( !vertical ) {
		mfVerticalSmoothing = mfHorizontalSmoothing;
	}
	return 0;
}
