/*
===============================================================================

	Collision system: the colliding bodies of one island, simulated
	together through a physics pass, one stage per member.

	Not built yet: its four operations do nothing, so a colliding body
	neither moves nor runs its post-collision update.

===============================================================================
*/
#ifndef EF_COLLISION_SYSTEM_H
#define EF_COLLISION_SYSTEM_H

#include "datatypes/base/DTTypes.h"

struct EFUpdatePhysicStruct;

class EFCollisionSystem {
public:
	// Builds the island of record index of the pass in memory up to end.
	void					Init( EFUpdatePhysicStruct & frame, u32 pass, u32 index, void * memory, void * end );
	void					Update( EFUpdatePhysicStruct & frame );
	void					PostUpdate( EFUpdatePhysicStruct & frame );
	void					Terminate( EFUpdatePhysicStruct & frame );
};

#endif
