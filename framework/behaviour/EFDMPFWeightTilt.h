/*
===============================================================================

	Platform weight tilt (pre-collision and collision): the collision
	phase collects up to five bodies resting on top of the platform in
	the physics frame; the next frame's pre-collision phase turns their
	weights and positions into moments about the platform's right
	(pitch) and at (roll) axes and integrates each tilt as a damped
	spring between its limits. Riders older than the previous frame
	count for nothing, so an empty platform swings back toward level. An
	axis whose two limits are equal never turns.

===============================================================================
*/
#ifndef EF_DM_PF_WEIGHT_TILT_H
#define EF_DM_PF_WEIGHT_TILT_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

constexpr u32 EF_DM_TILT_RIDERS = 5;

class EFDMPFWeightTilt : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x30000010;

	explicit				EFDMPFWeightTilt( EFPhysic * owner );
							~EFDMPFWeightTilt() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	void					ColUpdate( EFCollisionStage * stage, EFColDMData & data, f32 dt ) override;
	// DMPFWeightTiltParams; null: limits 0, gains, stiffnesses and
	// dampings 1.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// The riders' pitch and roll moments in the platform's axes, each
	// only when asked; 0 unless the riders are the previous frame's.
	void					GetWeightFactors( f32 * pitch, f32 * roll ) const;

	f32						mfPitchMin;
	f32						mfPitchMax;
	f32						mfRollMin;
	f32						mfRollMax;
	f32						mfPitchGain;
	f32						mfPitchStiffness;
	f32						mfPitchDamping;
	f32						mfRollGain;
	f32						mfRollStiffness;
	f32						mfRollDamping;
	f32						mfPitchSpeed;
	f32						mfRollSpeed;
	u32						mui32RiderFrame;
	u32						mui32RiderCount;
	f32						mafRiderWeight[EF_DM_TILT_RIDERS];
	EFPhysic *				mapoRider[EF_DM_TILT_RIDERS];
	DTVector3d				maoRiderPosition[EF_DM_TILT_RIDERS];
};

#endif
