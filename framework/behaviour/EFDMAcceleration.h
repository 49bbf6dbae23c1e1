/*
===============================================================================

	Constant acceleration (pre-collision). Plain mode adds the acceleration
	to the frame's applied acceleration and acceleration × dt to the
	body's velocity, in world axes. Capped mode (flags bit 1) takes the
	acceleration in the body's axes, caps w = velocity + a × dt at the
	maximum speed and adds w to the velocity (w / dt to the applied
	acceleration): the cap holds w, not the sum.

===============================================================================
*/
#ifndef EF_DM_ACCELERATION_H
#define EF_DM_ACCELERATION_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

// The capped mode, in the body's axes.
constexpr u32 EF_DM_ACCEL_CAPPED = 0x2;

class EFDMAcceleration : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000000;

	explicit				EFDMAcceleration( EFPhysic * owner );
							~EFDMAcceleration() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMAccelerationParams; null restores (0, 0, 0), 2 and 1.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	DTVector3d				moAcceleration;
	f32						mfMaxSpeed;
	u32						mui32Flags;
};

#endif
