/*
===============================================================================

	Constant move (pre-collision): adds its velocity, in world axes or in
	the body's own (flags bit 0), to the frame's target velocity, which
	the grip modules steer toward.

===============================================================================
*/
#ifndef EF_DM_MOVE_H
#define EF_DM_MOVE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

// The velocity is in the body's axes.
constexpr u32 EF_DM_MOVE_BODY_AXES = 0x1;

class EFDMMove : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000004;

	explicit				EFDMMove( EFPhysic * owner );
							~EFDMMove() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMMoveParams; null restores (0, 0, 0) and 0.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	DTVector3d				moVelocity;
	u32						mui32Flags;
};

#endif
