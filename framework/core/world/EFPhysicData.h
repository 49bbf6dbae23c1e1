/*
===============================================================================

	A positioned instance with an optional physics body (mpoPhysic, null
	at construction), made by the physics manager on request and never
	replaced while one exists.

	The body is only ever deleted by the physics manager. Deleting the
	instance hands its body over for the manager's next sweep and first
	cuts the body's reference to the instance, so the later deletion does
	not write into the freed instance.

===============================================================================
*/
#ifndef EF_PHYSIC_DATA_H
#define EF_PHYSIC_DATA_H

#include "framework/core/world/EFPosData.h"

class EFPhysic;

class EFPhysicData : public EFPosData {
public:
							EFPhysicData();
	virtual					~EFPhysicData();

	// The body there is, else a new one in the manager's body list list
	// (0 or 1); null when none could be made.
	EFPhysic *				CreatePhysic( u32 list );
	// Marks the body for the manager's next sweep; mpoPhysic stays.
	void					RequestPhysicDeletion();

	EFPhysic *				mpoPhysic;
};

#endif
