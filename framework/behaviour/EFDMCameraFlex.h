/*
===============================================================================

	Camera (pre- and post-collision): turns the body of a camera object
	into a following camera.

	Each frame one of eight modes gives the goal position: 0 runs along
	the camera spline nearest the target and takes the goal, rotation,
	look factors, smoothing times, far clip and field of view from that
	spline's animation tracks; 1 an offset in the target's frame; 2 a world
	offset kept clear of obstructions by a ray; 3 a world offset; 4 a fixed
	point; 5 a fixed point with a fixed view; 6 a point on a sphere around
	the target at a wanted yaw and pitch; 7 whatever the camera object's
	logic answers. The body moves toward the goal with smoothing and an
	acceleration limit, and the frame turns toward the look-at point by a
	slerp. A stick action orbits the camera (option bit 1) or looks around.

	The target named by logic is found once by SetParams; its own id is
	kept and looked up every frame, so a target that dies idles the module
	instead of leaving a dangling pointer. Ids given as 0x2A000000 name the
	object whose logic set them. Without a target the module does nothing.
	State bit 0 mirrors the spline-finished flag while there is a target.

===============================================================================
*/
#ifndef EF_DM_CAMERA_FLEX_H
#define EF_DM_CAMERA_FLEX_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/core/spline/EFSplineCursor.h"
#include "framework/physics/EFPhysicModule.h"

class DTFrame;
class DTQuaternion;
class EFAnimationMgr;
class EFGameObject;
struct ActionState;
struct RwMatrix;

// Camera modes.
constexpr s32 EF_DM_CAMERA_SPLINE			= 0;
constexpr s32 EF_DM_CAMERA_TARGET_FRAME		= 1;
constexpr s32 EF_DM_CAMERA_FOLLOW			= 2;
constexpr s32 EF_DM_CAMERA_WORLD_OFFSET		= 3;
constexpr s32 EF_DM_CAMERA_FIXED			= 4;
constexpr s32 EF_DM_CAMERA_FIXED_VIEW		= 5;
constexpr s32 EF_DM_CAMERA_ORBIT			= 6;
constexpr s32 EF_DM_CAMERA_LOGIC			= 7;

// Option flags.
constexpr u32 EF_DM_CAMERA_TANGENT_OFFSET	= 0x1;
constexpr u32 EF_DM_CAMERA_STICK_ORBITS		= 0x2;
constexpr u32 EF_DM_CAMERA_LOOK_DEAD_BAND	= 0x4;
constexpr u32 EF_DM_CAMERA_ABSOLUTE_LOOK	= 0x8;
constexpr u32 EF_DM_CAMERA_NO_RAY			= 0x10;

// State bit: the spline run is finished.
constexpr u32 EF_DM_CAMERA_SPLINE_FINISHED	= 0x1;

// Actions.
constexpr u32 EF_DM_CAMERA_FINISH_SPLINE	= 1;
constexpr u32 EF_DM_CAMERA_START_SPLINE		= 2;

class EFDMCameraFlex : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000012;

	// With the defaults of SetParams (null) and a matrix of its own.
	explicit				EFDMCameraFlex( EFPhysic * owner );
							~EFDMCameraFlex() override;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// Turns the camera again when the collision moved it.
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMCameraFlexParams, then InitDM; null restores the defaults.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1 finishes the spline run; 2 starts the camera spline whose id data
	// points at.
	void					DoAction( u32 action, void * data ) override;
	// Distance and height difference from the offsets.
	void					InitDM() override;

	// Share of the remaining way covered in dt with time constant c.
	static f32				DeltaForce( f32 c, f32 dt );

	// The body's velocity toward goal from position; stores the predicted
	// position and the speed.
	DTVector3d				MoveToTarget( const DTVector3d & position, const DTVector3d & goal, f32 dt );
	// Whether the stick turned the camera around the target.
	bool					OrbitCam( const ActionState * action, const RwMatrix & target, f32 dt );
	// Mode 2: the goal kept clear of obstructions.
	void					UpdateCameraDistance( DTFrame & camera, const RwMatrix & target, f32 radius, DTVector3d & goal );
	// Mode 6: the goal on the sphere around look at.
	void					UpdateCameraRelDistance( DTFrame & camera, const RwMatrix & target, const DTVector3d & lookAt,
													 DTVector3d & goal, f32 dt );
	// Turns the camera frame toward lookAt.
	void					LookAtHero( DTFrame & camera, DTVector3d lookAt, f32 dt );
	// lookAt scaled by the look factors in the orientation source's space.
	DTVector3d				GetNewLookAtPos( DTFrame & camera, const DTVector3d & lookAt ) const;
	// Free look with the stick; true when it turned the view.
	bool					FirstPersonView( const ActionState * action, const RwMatrix & target, DTFrame & camera, f32 dt );

	// Mode 0: the goal from the camera spline nearest the target.
	void					UpdateCameraAnimated( DTVector3d & goal, f32 dt );
	// The camera spline nearest position (its id, or the old one).
	s32						FindSpline( const DTVector3d & position );
	// The goal and the camera's settings from the spline's tracks; 0, or
	// -1 without animation manager, spline or track for the spline.
	s32						UpdateAnimation( DTVector3d & goal );

	// The target's own id when SetParams found it, looked up every frame.
	EFGameObject *			GetTarget() const;

	u32						mui32TargetId;
	// Only tells whether SetParams found the target: never followed.
	EFGameObject *			mpoTarget;
	u32						mui32AnimObjectId;
	EFSplineCursor			moCursor;
	f32						mfYaw;
	f32						mfPitch;
	f32						mfLookFactor;
	f32						mfHorizontalSmoothing;
	f32						mfVerticalSmoothing;
	f32						mfOrientationSmoothing;
	f32						mfYawSmoothing;
	f32						mfPitchSmoothing;
	DTVector3d				moOffset;
	DTVector3d				moLookOffset;
	s32						mi32Mode;
	s32						mi32SplineId;
	EFAnimationMgr *		mpoAnimationMgr;
	u8						mbSplineFinished;
	f32						mfSearchRadius;
	u8						mbMatrixOrientation;
	RwMatrix *				mpoMatrix;
	f32						mfSpeed;
	f32						mfMaxAcceleration;
	DTVector3d				moPredicted;
	u32						mui32ActionId;
	u32						mui32InputConfigId;
	f32						mfLookSpeedX;
	f32						mfLookSpeedY;
	f32						mfMaxLookAngle;
	f32						mfMaxDrift;
	f32						mfDrift;
	f32						mfDriftAcceleration;
	f32						mfDistance;
	f32						mfHeightDifference;
	f32						mfLookPitchLimit;
	f32						mfOrbitSpeed;
	u32						mui32CallbackId;
	s32						mi32ObstructionState;
	DTVector3d				moRememberedCamera;
	DTVector3d				moRememberedTarget;
	u32						mui32Options;
	// The found target's own id.
	u32						mui32TargetUID;

private:
	void					SetDefaults();
	// The look-at orientation from one point toward another.
	static void				GetLookAt( const DTVector3d & from, const DTVector3d & to, DTQuaternion & out );
	// The goal and look-at point of mode 7 from the camera object's logic.
	void					AskLogic( const DTVector3d & target, DTVector3d & goal, DTVector3d & lookAt, f32 dt );
	// The module matrix looking from the offset toward the look offset.
	void					BuildFixedView();
	// The cursor's tangent, fetched once per move.
	const DTVector3d &		CursorTangent();
	// One camera channel of value v.
	void					ApplyChannel( u32 channel, f32 v, DTVector3d & goal, DTVector3d & rotation );
};

#endif
