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

	Only ValidateTranslation is declared so far, and it finds nothing
	blocking: the move is left as it is.

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

class EFCollisionStage {
public:
	struct CollidableList {
		EFDynamicPhysic **	mppoRecords;
		u32					mui32Count;
	};

	// Shortens move to the first blocking polygon of the environment list
	// met by the point moving from start; 1 when it did, else 0 with the
	// move unchanged.
	u32						ValidateTranslation( const DTVector3d & start, DTVector3d & move, u32 detect,
												 u32 udDetect );

	// Puts report into the new-report list by time, before reports of the
	// same time, and lowers the earliest time to it.
	void					InsertNewReport( EFCollisionReport * report );

	EFDynamicPhysic *		mpoRecord;
	EFEnvCollisionPrim **	mppoEnvPrims;
	u32						mui32NbEnvPrims;
	CollidableList			maCollidables[EF_PHYSIC_PASS_COUNT];
	u32						mui32SetupWord;
	f32						mfSetupFloat;
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
