/*
===============================================================================

	One resolved collision handed to a body's collision response: the
	time and normal, whether a contact is to be recorded, the colliding
	body with its primitive or the polygon, and the contacts involved.

===============================================================================
*/
#ifndef EF_COLLISION_DATA_H
#define EF_COLLISION_DATA_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFEnvCollisionPrim;
class EFObjCollisionPrim;
class EFPhysic;
struct EFContactReport;

struct EFCollisionData {
	f32						fTime;
	DTVector3d				oNorm;
	u8						bCreateContact;
	EFPhysic *				poCollider;
	EFObjCollisionPrim *	poColliderPrim;
	EFEnvCollisionPrim *	poEnvPrim;
	EFContactReport *		poContact;
};

#endif
