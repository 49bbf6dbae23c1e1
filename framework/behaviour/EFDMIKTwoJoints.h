/*
===============================================================================

	Two-joint limbs (post-collision): up to four limb ends, each a
	collision primitive of the body on the end frame of a three-frame
	chain, are put onto the environment polygons the stage gathered. Per
	limb the smallest correction taking its primitive's centre onto a
	polygon (onto the plane over the inside, onto the nearest edge point
	outside) is kept with that polygon's normal; the chain is then solved
	so the limb end moves by it (option bit 0 also turns the end frame to
	stand on the normal; option bit 1 takes a correction longer than the
	primitive's smallest radius only toward the normal).

	Limbs take part through their primitive's attribute word 3 meeting the
	object mask (word 0 bit 0x100 when the mask is 0), polygons through
	their user detect mask meeting the environment mask (detect bit 0x800
	when the mask is 0). A count above four is taken as four; a primitive
	gone from the slot array takes no part.

===============================================================================
*/
#ifndef EF_DM_IK_TWO_JOINTS_H
#define EF_DM_IK_TWO_JOINTS_H

#include "framework/behaviour/EF2D2JointsIK.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysicModule.h"

class EFObjCollisionPrim;

class EFDMIKTwoJoints : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD = 0x40000020;

	struct Limb {
		EFObjCollisionPrim *	mpoPrim;
		DTFrame *				mpoFrame;
		DTVector3d				moEnd;
		DTVector3d				moCorrection;
		DTVector3d				moNormal;
		f32						mfBest;
	};

	explicit				EFDMIKTwoJoints( EFPhysic * owner );
							~EFDMIKTwoJoints() override = default;

	void					PostColUpdate( EFCollisionStage * stage, f32 dt ) override;
	// DMIKTwoJointsParams; null: no limbs, options and masks 0.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;

	u32						mui32Count;
	s32						mai32PrimIndex[DM_IK_LIMBS];
	u32						mui32Options;
	u32						mui32ObjMask;
	u32						mui32EnvMask;
	Limb					maLimbs[DM_IK_LIMBS];

private:
	EF2D2JointsIK			moSolver;
};

#endif
