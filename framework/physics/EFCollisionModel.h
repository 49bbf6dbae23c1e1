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

class DTFrame;
class EFCollisionStage;
class EFObjCollisionPrim;
class EFPhysicData;
class EFPosData;
struct RwMatrix;

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
	// With no memory for the array the model is left without slots. A
	// primary index at or past the new count becomes none.
	void					SetMaxPrims( u32 count );

	// Index of the first primitive with this tag; -1 when none or when
	// the model has no slots.
	s32						PrimTagToPrimIndex( u32 tag ) const;
	// The primitive of slot index; null for an empty slot, or an index at
	// or past the slots (a stored -1 among them): logic may shrink the
	// array after a module kept an index into it.
	EFObjCollisionPrim *	GetPrimitive( u32 index ) const {
		return mppoPrimArray != nullptr && index < mui32MaxPrims ? mppoPrimArray[index] : nullptr;
	}

	// A new primitive of shape (EFColPrimShape_e) on frame with tag, in
	// slot index, replacing (and deleting) the one there. Null, with a
	// message, for an index past the slots, an unknown shape or without
	// memory.
	EFObjCollisionPrim *	AddPrimitive( u32 index, u32 tag, u32 shape, DTFrame * frame );

	// Once a frame: the world bounding sphere, each primitive's derived
	// data and the six masks.
	void					PrecalcData();
	// moPhysicBSphereWPos from the owner frame's world matrix.
	void					ComputePhysicBSphere();
	// Moves the owner frame (unless v is negligible), flags the owner and
	// its descendants as moved and moves the sphere and the primitives.
	void					Translate( const DTVector3d & v );
	// Whether every component of a move is below 2^-23 in magnitude: such
	// a move leaves frames alone.
	static bool				IsNegligibleMove( const DTVector3d & v );
	// Sets the moved bit of instance and of all its descendants.
	static void				FlagTranslatedChild( EFPosData * instance );
	// Checks the primary primitive's move since its saved position
	// against the stage's polygons; 0.
	u32						ValidatePrimaryPrimTrans( EFCollisionStage * stage );

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
	// The owner frame's world matrix; null without owner or frame.
	const RwMatrix *		GetOwnerLTM() const;
};

#endif
