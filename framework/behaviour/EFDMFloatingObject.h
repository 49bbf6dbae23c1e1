/*
===============================================================================

	Floating object (pre-collision): keeps a body on the simulated water.

	The module finds the level's first water simulation (walking the
	physics manager's bodies, skipping those marked for deletion) and
	keeps its handle, looking it up again each pass: a water object
	deleted since means searching anew, and the
	water's base height is taken again from the water found. While the
	body's start position is over the simulated area and no higher than
	the base height plus the emersion threshold, it is in the water
	(state bit 0): the frame of its first 3D object tilts toward the
	surface normal by the tilt factor, and its vertical velocity is set to
	reach the surface in one step.

	Without a first 3D object that has its clump the module does nothing.

===============================================================================
*/
#ifndef EF_DM_FLOATING_OBJECT_H
#define EF_DM_FLOATING_OBJECT_H

#include "framework/physics/EFPhysicModule.h"

class EFDMWaterSimulation;

// State bit: in the water.
constexpr u32 EF_DM_FLOATING_IN_WATER	= 0x1;

class EFDMFloatingObject : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x10000015;

	explicit				EFDMFloatingObject( EFPhysic * owner );
							~EFDMFloatingObject() override = default;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMFloatingObjectParams; the water is searched again. Null restores
	// the defaults.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	// The first water simulation on the manager's bodies, in list order;
	// null for none.
	static EFDMWaterSimulation *	GetWaterSimModule();

	f32						mfTiltFactor;
	f32						mfHeightOffset;
	f32						mfWaveFactor;
	f32						mfEmersionThreshold;
	// The water's handle (0 while none is found).
	u32						mui32WaterHandle;
	f32						mfBaseHeight;
	u8						mbSearch;

private:
	void					SetDefaults();
	// The water kept, or a new one (taking its base height); null for none.
	EFDMWaterSimulation *	Water();
};

#endif
