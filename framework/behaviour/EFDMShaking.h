/*
===============================================================================

	Shaking (pre-collision): swings the owner's frame in place about its
	own right, up or at axis (0, 1, 2; any other value swings nothing
	while the time still runs) by amplitude × sin(t × 2 pi f), faded in
	and out over the set fractions of the duration. After the duration
	the frame is left alone; the module stays, and action 1 starts the
	shake again.

===============================================================================
*/
#ifndef EF_DM_SHAKING_H
#define EF_DM_SHAKING_H

#include "framework/physics/EFPhysicModule.h"

// Action: start the shake again.
constexpr u32 EF_DM_SHAKING_RESTART = 1;

class EFDMShaking : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000016;

	explicit				EFDMShaking( EFPhysic * owner );
							~EFDMShaking() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMShakingParams, restarting; null changes nothing. GetParams writes
	// nothing.
	void					SetParams( void * params ) override;
	void					DoAction( u32 action, void * data ) override;

	s32						mi32Axis;
	f32						mfDuration;
	f32						mfAmplitude;
	f32						mfFadeInEnd;
	f32						mfFadeOutStart;
	f32						mfFrequency;
	f32						mfTime;
	f32						mfAngularFrequency;
};

#endif
