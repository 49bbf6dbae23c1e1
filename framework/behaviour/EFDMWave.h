/*
===============================================================================

	Wave motion (pre-collision): moves a body back and forth between two
	world points A and B, each leg with a trapezoidal speed profile
	(ramp up, cruise, ramp down), by setting the velocity that reaches
	this pass's point of the cycle. Values 0x20 and 0x40 of the state
	mark the passes that leave A and reach B. A cycle that is not a
	finite positive time keeps the body at A.

===============================================================================
*/
#ifndef EF_DM_WAVE_H
#define EF_DM_WAVE_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

enum EFDMWaveFlags_e : u32 {
	EF_DM_WAVE_PERIOD_MODE	= 0x02,
	EF_DM_WAVE_PLACE_AT_A	= 0x04,
	EF_DM_WAVE_PLACE_AT_B	= 0x08,
	EF_DM_WAVE_STOP			= 0x10,
};

enum EFDMWaveState_e : u32 {
	EF_DM_WAVE_LEAVES_A		= 0x20,
	EF_DM_WAVE_REACHES_B	= 0x40,
};

class EFDMWave : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000009;

	explicit				EFDMWave( EFPhysic * owner );
							~EFDMWave() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMWaveParams: in period mode the period is kept and speed and ramp
	// follow from it, else the ramp time is kept and the period follows.
	// Null: from the current position one unit along z, period 2.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	f32						mfSpeed;
	DTVector3d				moPointA;
	DTVector3d				moPointB;
	f32						mfRampTime;
	f32						mfPeriod;
	f32						mfRampDistance;
	u32						mui32Flags;
	f32						mfTime;
	u8						mbSkip;

private:
	bool					CycleValid() const;
	void					SetFlags( f32 dt );
	void					Place( const DTVector3d & point );
};

#endif
