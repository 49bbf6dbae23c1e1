/*
===============================================================================

	Analog rotation (pre-collision): turns a body about its up axis by
	the stick of an input action.

	By default the body turns toward the direction the stick points on
	screen (seen from camera 0), the short way round, by speed x dt of the
	remaining angle per pass (all of it from 1 on); clamp mode (flags bit
	1) turns by at most speed radians a pass instead, and rate mode (bit
	3) turns at the stick's x times speed radians a second. A stick at
	exactly (0, 0), or without camera 0, turns nothing.

===============================================================================
*/
#ifndef EF_DM_ANALOG_ROTATION_H
#define EF_DM_ANALOG_ROTATION_H

#include "framework/physics/EFPhysicModule.h"

constexpr u32 EF_DM_ROTATION_CLAMP		= 0x2;
constexpr u32 EF_DM_ROTATION_RATE		= 0x8;

class EFDMAnalogRotation : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000002;

	explicit				EFDMAnalogRotation( EFPhysic * owner );
							~EFDMAnalogRotation() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMAnalogRotationParams; null restores the defaults.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	f32						mfSpeed;
	u32						mui32Flags;
	u32						mui32InputConfigId;
	u32						mui32ActionId;
};

#endif
