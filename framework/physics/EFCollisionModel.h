/*
===============================================================================

	Collision model of a physics body: a fixed array of primitive slots
	(null = empty) that the model owns, the body's bounding sphere in the
	owner frame's space and its centre in world space, the primary
	primitive whose motion is validated against walls with its last saved
	position, the type masks gathered from the primitives and the owning
	instance.

===============================================================================
*/
#ifndef EF_COLLISION_MODEL_H
#define EF_COLLISION_MODEL_H

#include "datatypes/maths/DTSphere.h"
#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFObjCollisionPrim;
class EFPhysicData;

// muiPrimaryPrimIndex when the model has no primary primitive.
constexpr u32 EF_NO_PRIMARY_PRIM = 0xFFFFFFFF;

class EFCollisionModel {
public:
	// A model of slots empty slots (no array for 0) for the owner.
							EFCollisionModel( EFPhysicData * owner, u32 slots );
	// Deletes every primitive and the array.
	virtual					~EFCollisionModel();

							EFCollisionModel( const EFCollisionModel & ) = delete;
	EFCollisionModel &		operator=( const EFCollisionModel & ) = delete;

	// Deletes every primitive and the array, then makes count empty slots.
	// With no memory for the array the model is left without slots.
	void					SetMaxPrims( u32 count );

	// Index of the first primitive with this tag; -1 when none or when
	// the model has no slots.
	s32						PrimTagToPrimIndex( u32 tag ) const;

	EFObjCollisionPrim **	mppoPrimArray;
	u32						mui32MaxPrims;
	DTSphere				moPhysicBSphere;
	DTVector3d				moPhysicBSphereWPos;
	u32						muiLastPrimaryPrimSaveCount;
	u32						muiPrimaryPrimIndex;
	DTVector3d				moPrimaryPrimSavedPos;
	u8						mbUsingFixVolume;
	u32						muiCollisionType;
	u32						muiCollisionUDType;
	u32						muiCollisionDetectType;
	u32						muiCollisionUDDetectType;
	u32						muiEnvDetectType;
	u32						muiUDEnvDetectType;
	EFPhysicData *			mpoPhysicData;

private:
	void					DeletePrims();
};

#endif
