/*
===============================================================================

	Record of one detected collision of a collision system's member: its
	stage and the index of its primitive there, the other party (another
	stage when the other body is a member, the other body's frame record
	and the index of its primitive in the other body's model, or an
	environment polygon), the normal pointing towards the member, the
	time from the start of the frame step, and whether the primitives
	already touched (1) or meet ahead in time (0).

	Reports come from the physics manager's first pool; mpoNext links
	them in time order and is the pool's free link.

===============================================================================
*/
#ifndef EF_COLLISION_REPORT_H
#define EF_COLLISION_REPORT_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFCollisionStage;
class EFEnvCollisionPrim;
struct EFDynamicPhysic;

class EFCollisionReport {
public:
	// Tells logic and modules of a contact between two bodies' primitives
	// that asked for it, with the two bodies' velocities. Not built yet.
	void					CheckNotify( const DTVector3d & velocityA, const DTVector3d & velocityB );

	EFCollisionStage *		mpoStage;
	EFCollisionStage *		mpoOtherStage;
	EFDynamicPhysic *		mpoOtherRecord;
	u32						mui32PrimIndex;
	DTVector3d				moNormal;
	f32						mfTime;
	u32						mui32OtherPrimIndex;
	EFEnvCollisionPrim *	mpoEnvPrim;
	EFCollisionReport *		mpoNext;
	u32						mui32Overlap;
};

#endif
