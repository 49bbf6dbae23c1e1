/*
===============================================================================

	Ground grip (collision phase): at the first collision of a physics
	frame whose normal counts as floor (n.y at least the floor cosine),
	steers the body's velocity toward the frame's target velocity laid
	onto the floor plane, at a rate of grip × the floor's friction per
	second (at once from 50 up), works relative to a body it stands on,
	leaves a velocity away from the floor alone, tells the body which
	slope is floor and restarts its falling timer.

===============================================================================
*/
#ifndef EF_DM_GROUND_GRIP_H
#define EF_DM_GROUND_GRIP_H

#include "framework/physics/EFPhysicModule.h"

class EFDMGroundGrip : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x20000008;

	explicit				EFDMGroundGrip( EFPhysic * owner );
							~EFDMGroundGrip() override = default;

	void					ColUpdate( EFCollisionStage * stage, EFColDMData & data, f32 dt ) override;
	// DMGroundGripParams; null restores the grip only.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	f32						mfGrip;
	f32						mfFloorCos;
	u32						mui32LastFrame;

private:
	// The floor's friction; false when the collision gives none.
	static bool				FloorFriction( const EFColDMData & data, f32 & friction );
};

#endif
