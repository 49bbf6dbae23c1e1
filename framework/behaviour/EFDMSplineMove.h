/*
===============================================================================

	Spline move (pre- and post-collision): rides an object along a level
	spline through a cursor.

	The speed along the spline is the base speed, or with the stick action
	(max + base) / 2 plus the stick's forward part times (max - base) / 2;
	a second action at full gives the maximum speed. The stick's sideways
	part (and in mode 1 its forward part, upward) pushes the object off
	the spline by an offset in its own frame, at most the maximum offset;
	an obstacle that holds the object back shortens it. Options orient the
	object along the tangent, bank it into the spline's turns and lean it
	with the stick. State bit value 2 tells that the cursor is at the end.

	Logic puts the module on a spline with action 1 (by index) or 2 (by
	id); until then it does nothing. Without camera 0 the stick neither
	moves nor turns anything.

===============================================================================
*/
#ifndef EF_DM_SPLINE_MOVE_H
#define EF_DM_SPLINE_MOVE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/core/spline/EFSplineCursor.h"
#include "framework/physics/EFPhysicModule.h"

class DTFrame;

// Options.
constexpr u32 EF_DM_SPLINE_ROLL_BANK		= 0x1;
constexpr u32 EF_DM_SPLINE_YAW_BANK			= 0x2;
constexpr u32 EF_DM_SPLINE_PITCH_BANK		= 0x4;
constexpr u32 EF_DM_SPLINE_ROLL_LEAN		= 0x8;
constexpr u32 EF_DM_SPLINE_YAW_LEAN			= 0x10;
constexpr u32 EF_DM_SPLINE_PITCH_LEAN		= 0x20;
constexpr u32 EF_DM_SPLINE_ORIENT			= 0x40;
constexpr u32 EF_DM_SPLINE_NO_NEAREST		= 0x80;
constexpr u32 EF_DM_SPLINE_LEAN_SLOWS		= 0x100;
// State bit: the cursor is at the end.
constexpr u32 EF_DM_SPLINE_AT_END			= 0x2;
// The second action's flag for full speed.
constexpr u32 EF_DM_SPLINE_FULL_SPEED		= 0x20;

class EFDMSplineMove : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x50000003;

	explicit				EFDMSplineMove( EFPhysic * owner );
							~EFDMSplineMove() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// Shortens the offset when polygons held the object back.
	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMSplineMoveParams; null restores the defaults, clearing offset and
	// leans.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1 and 2 with u32[2]: the spline (index or id) and whether to start
	// at its beginning.
	void					DoAction( u32 action, void * data ) override;

	// The signed angle by which the spline turns just ahead of the cursor.
	f32						GetTangentAngle();

	u32						mui32ActionId;
	u32						mui32SecondActionId;
	u32						mui32InputConfigId;
	f32						mfMaxOffset;
	f32						mfMaxSpeed;
	f32						mfBaseSpeed;
	f32						mfOffsetGain;
	DTVector3d				moOffset;
	DTVector3d				moTargetPoint;
	f32						mfUnused;
	EFSplineCursor			moCursor;
	f32						mfMaxLean;
	f32						mfLeanGain;
	f32						mfSideLean;
	f32						mfForwardLean;
	f32						mfPitchBank;
	f32						mfYawBank;
	f32						mfRollBank;
	u32						mui32Options;
	u32						mui32Mode;

private:
	void					SetDefaults();
	// The cursor's point and unit tangent, cached in the cursor.
	const DTVector3d &		CursorPoint();
	DTVector3d				CursorTangent();
	// The stick in world axes; false without camera 0.
	bool					ProjectInputs( f32 x, f32 y, DTVector3d & out ) const;
	// The frame's rotation along the tangent, its position kept.
	void					OrientAlongTangent( DTFrame & frame );
	void					Turn( DTFrame & frame );
};

#endif
