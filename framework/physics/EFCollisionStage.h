/*
===============================================================================

	One member of a collision system, in the frame's work memory: the
	member's frame record, the environment polygons and outside bodies
	near it, whether it must be tested again (dirty), its squared frame
	radius, its pushes and accumulated translation, its primitives (its
	own and those of attached child bodies, each with its body), its new
	reports of the current check, its time tolerance (the time to move
	0.001 units), its earliest report time and its push and contact
	lists.

	Pushes are resolved by priority: the highest priority present moves
	the member first (the environment pushes with 100), lower ones only
	in a later pass (at most three) once the higher ones are used up. A
	velocity pressed into several contact planes is made to slide along
	them, along the crease of a wedge, and stops at a third plane. The
	translation sums the member's advances and pushes in its system.

	A stage holds at most 15 primitives: the body's own slots first
	(empty ones too, so that an index in the stage is the model's slot
	index), then those of its attached child bodies, depth first; what
	does not fit is left out with a debug message.

===============================================================================
*/
#ifndef EF_COLLISION_STAGE_H
#define EF_COLLISION_STAGE_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFUpdatePhysicStruct.h"

class EFCollisionReport;
class EFEnvCollisionPrim;
class EFObjCollisionPrim;
class EFPhysic;
struct EFContactReport;
struct EFDynamicPhysic;
struct EFPushRecord;

// Primitives a stage holds.
constexpr u32 EF_STAGE_MAX_PRIMS = 15;

// Kinds of environment record (mui32LostRecords).
constexpr u32 EF_STAGE_LOST_REPORT		= 0x1;
constexpr u32 EF_STAGE_LOST_PUSH		= 0x2;
constexpr u32 EF_STAGE_LOST_CONTACT		= 0x4;

class EFCollisionStage {
public:
	struct CollidableList {
		EFDynamicPhysic **	mppoRecords;
		u32					mui32Count;
	};

	// Primitive count 0, then the member's body and its attached children.
	void					InitColPrims();
	// Appends every slot of body's model (nulls included) with body as
	// owner, then recurses into the owner's children that are attached
	// (muiPosFlags 0x2) and have a body.
	void					InitColPrims( EFPhysic * body );
	// Moves the member out of the overlaps its push records describe and
	// gives the records back.
	void					CheckPush();
	// Makes the body's velocity slide along its contacts; a change tells
	// the body's collision response. The falling timer restarts.
	void					CheckMultipleCollisions( f32 dt );
	// velocity made to slide along the contact list's planes.
	void					SolveMultipleCollisions( DTVector3d & velocity );
	// Shortens move to the first blocking polygon of the environment list
	// met by the point moving from start; 1 when it did, else 0 with the
	// move unchanged.
	u32						ValidateTranslation( const DTVector3d & start, DTVector3d & move, u32 detect,
												 u32 udDetect );

	// Puts report into the new-report list by time, before reports of the
	// same time, and lowers the earliest time to it.
	void					InsertNewReport( EFCollisionReport * report );
	// An environment record of kind (EF_STAGE_LOST_) with normal could not
	// be taken: harmless when the stage holds one of that kind with nearly
	// the same normal (the same constraint), else noted in mui32LostRecords.
	void					LoseEnvRecord( u32 kind, const DTVector3d & normal );

	EFDynamicPhysic *		mpoRecord;
	EFEnvCollisionPrim **	mppoEnvPrims;
	u32						mui32NbEnvPrims;
	CollidableList			maCollidables[EF_PHYSIC_PASS_COUNT];
	// EF_STAGE_LOST_ bits of environment records lost with nothing like
	// them held; the system then holds the member where it found it.
	// Cleared at set-up.
	u32						mui32LostRecords;
	f32						mfReserved;
	u8						mbDirty;
	f32						mfSquaredRadius;
	u32						mui32NbPush;
	DTVector3d				moTranslation;
	u32						mui32NbPrims;
	EFObjCollisionPrim *	mapoPrims[EF_STAGE_MAX_PRIMS];
	EFPhysic *				mapoPrimOwners[EF_STAGE_MAX_PRIMS];
	EFCollisionReport *		mpoNewReports;
	f32						mfTimeTolerance;
	f32						mfEarliestTime;
	EFPushRecord *			mpoPushList;
	EFContactReport *		mpoContactList;
};

#endif
