/*
===============================================================================

	Air grip (pre-collision): moves the chosen components of the body's
	velocity toward the frame's target velocity by the fraction rate × dt
	(all the way from 1 up), per axis of the body (axis bits 0-2 X, Y, Z)
	or of the world (bit 3).

===============================================================================
*/
#ifndef EF_DM_AIR_GRIP_H
#define EF_DM_AIR_GRIP_H

#include "framework/physics/EFPhysicModule.h"

// Axis bits, and world axes instead of the body's.
constexpr u32 EF_DM_AIR_GRIP_X			= 0x1;
constexpr u32 EF_DM_AIR_GRIP_Y			= 0x2;
constexpr u32 EF_DM_AIR_GRIP_Z			= 0x4;
constexpr u32 EF_DM_AIR_GRIP_WORLD		= 0x8;

class EFDMAirGrip : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000007;

	explicit				EFDMAirGrip( EFPhysic * owner );
							~EFDMAirGrip() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMAirGripParams; null restores 1 and 0.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	f32						mfGripRate;
	u32						mui32AxisFlags;
};

#endif
