/*
===============================================================================

	Analog move (pre-collision): the stick of an input action becomes a
	velocity added to the body's target velocity, through the view of
	camera 0 or in fixed axes.

	The first of mode bits 0-5 set picks the mapping: the stick on the
	X-Y, X-Z or Y-Z plane, or its length along X, Y or Z. Mode bit 8 works
	in the body's own axes. A stick beyond the unit circle counts as on
	it; a stick at exactly (0, 0) does nothing. With target only 0 the
	body's velocity is set to the target velocity too. Without camera 0
	a camera-relative stick moves nothing.

===============================================================================
*/
#ifndef EF_DM_ANALOG_MOVE_H
#define EF_DM_ANALOG_MOVE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

struct RwMatrix;

// Mode bits.
constexpr u32 EF_DM_ANALOG_XY				= 0x1;
constexpr u32 EF_DM_ANALOG_XZ				= 0x2;
constexpr u32 EF_DM_ANALOG_YZ				= 0x4;
constexpr u32 EF_DM_ANALOG_ALONG_X		= 0x8;
constexpr u32 EF_DM_ANALOG_ALONG_Y		= 0x10;
constexpr u32 EF_DM_ANALOG_ALONG_Z		= 0x20;
constexpr u32 EF_DM_ANALOG_BODY_AXES		= 0x100;

class EFDMAnalogMove : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000005;

	explicit				EFDMAnalogMove( EFPhysic * owner );
							~EFDMAnalogMove() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMAnalogMoveParams; null restores the defaults (camera relative).
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1: DMAnalogMoveProjectData, a stick value projected.
	void					DoAction( u32 action, void * data ) override;

	// The velocity of stick (x, y); false (and (0, 0, 0)) when a camera
	// relative projection has no camera 0.
	bool					ProjectInputs( f32 x, f32 y, DTVector3d & out ) const;

	u32						mui32InputConfigId;
	u32						mui32ActionId;
	DTVector3d				moSpeed;
	u32						mui32CameraRelative;
	u32						mui32TargetOnly;
	u32						mui32Mode;

private:
	// v from the camera's axes into world axes (into the body's with mode
	// bit 8), masked by k (x negated) and, with keepLength, rescaled to
	// its length before the mask.
	DTVector3d				CameraTransfo( const RwMatrix & camera, DTVector3d v, const DTVector3d & k,
										   bool keepLength ) const;
};

#endif
