/*
===============================================================================

	Analog motion (pre- and post-collision): walks and turns a character
	by the stick of an input action, relative to the view of camera 0.

	Each pass the stick, outside its dead zone, becomes a wanted heading
	in the character's plane (projection mode 1 turns about the
	character's at axis and moves along its up axis, mode 2 turns about
	up and moves along at). The frame turns toward the heading by the
	remaining angle × rate × dt, about a pivot of the frame when one is
	set, and a forward move at a speed set by the stick (or by a logic
	callback) goes into the frame's target velocity, sliding along the
	frictionless walls the post-collision phase found near the body.

	The module keeps the ids it found its action with and looks the action
	up again each pass, since logic may remove the action or its
	configuration; while none is found the module does nothing. Without
	camera 0 the stick is neither projected nor turned.

===============================================================================
*/
#ifndef EF_DM_ANALOG_MOTION_H
#define EF_DM_ANALOG_MOTION_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class EFGameObject;
class EFInputAction;
struct RwMatrix;

// Options.
constexpr u32 EF_DM_MOTION_SET_VELOCITY		= 0x2;
constexpr u32 EF_DM_MOTION_SLOW_TURNING		= 0x4;
constexpr u32 EF_DM_MOTION_RATE_BY_STICK	= 0x8;
constexpr u32 EF_DM_MOTION_TURN_ON_RELEASE	= 0x10;
constexpr u32 EF_DM_MOTION_SPEED_CALLBACK	= 0x20;

class EFDMAnalogMotion : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000006;

	explicit				EFDMAnalogMotion( EFPhysic * owner );
							~EFDMAnalogMotion() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// The wall normal from the stage's polygons.
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMAnalogMotionParams, looking the action up; null restores the
	// defaults and clears the move and the wall, keeping the action.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1: DMAnalogMotionProjectData, a stick projected without turning.
	void					DoAction( u32 action, void * data ) override;

	f32						mfTurnRate;
	f32						mfMinTurnRate;
	f32						mfSpeed;
	f32						mfMinSpeed;
	DTVector3d				moPivot;
	u32						mui32ProjectionMode;
	u32						mui32Options;
	u32						mui32CallbackId;
	f32						mfReleaseThreshold;
	u32						mui32InputConfigId;
	u32						mui32ActionId;
	EFInputAction *			mpoAction;
	f32						mfRemainingAngle;
	f32						mafLastInput[2];
	DTVector3d				moMove;
	DTVector3d				moTurnAxis;
	u8						mbWallContact;
	DTVector3d				moWallNormal;
	EFGameObject *			mpoOwnerObject;
	// Whether SetParams found the action, and with which ids.
	u8						mbActionFound;
	u32						mui32FoundConfigId;
	u32						mui32FoundActionId;

	// Whether a stick value lies in the dead zone, and its length (at
	// most 1).
	static bool				InDeadZone( f32 x, f32 y );
	static f32				StickLength( f32 x, f32 y );

private:
	void					SetDefaults();
	// The action of the remembered ids, null when gone or never found.
	EFInputAction *			FindAction() const;
	// Camera 0's world matrix; null without the camera or its frame.
	static const RwMatrix *	CameraMatrix();
	// The wanted heading of the stick: remaining angle, turn axis and
	// move.
	void					Project( f32 x, f32 y, const RwMatrix & camera );
	// Turns the frame for a stick of length s; the angle turned (0 below
	// the smallest turn too).
	f32						Turn( f32 s, f32 dt );
	void					SetVelocityToTarget( const EFDynamicPhysic & record );
	// The game object owning the body, for the speed callback.
	void					RefreshOwnerObject();
};

#endif
