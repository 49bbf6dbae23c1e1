/*
===============================================================================

	Rope detection (post-collision, with or without a stage): up to five
	primitives of the body are tested against every spline of the level
	as spheres (centre, smallest radius). The touching pair whose rope
	point lies nearest its primitive is kept for GetData (the earlier
	slot and the earlier spline on ties); the state bit of value 2 tells
	whether any primitive touches a rope (state-change rule).

	A slot whose primitive is gone from the slot array counts as empty.

===============================================================================
*/
#ifndef EF_DM_ROPE_DETECT_H
#define EF_DM_ROPE_DETECT_H

#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysicModule.h"

class EFDMRopeDetect : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x4000001E;

	explicit				EFDMRopeDetect( EFPhysic * owner );
							~EFDMRopeDetect() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMRopeDetectParams; null empties every slot.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// DMRopeDetectData of the last update.
	void					GetData( void * data ) override;

	u32						maui32PrimIndex[DM_ROPE_DETECT_SLOTS];
	u32						mui32SplineIndex;
	u32						mui32PrimTag;
	u32						mui32SplineFlags;
};

#endif
