/*
===============================================================================

	What a body's collision phase hands each collision module: the time
	and normal of the collision, a vector left at zero, the colliding
	body with its primitive (null for the environment) or the polygon,
	and the contacts of the collision.

===============================================================================
*/
#ifndef EF_COL_DM_DATA_H
#define EF_COL_DM_DATA_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFEnvCollisionPrim;
class EFObjCollisionPrim;
class EFPhysic;
struct EFContactReport;

struct EFColDMData {
	f32						fTime;
	DTVector3d				oNorm;
	DTVector3d				oVector;
	EFPhysic *				poCollider;
	EFObjCollisionPrim *	poColliderPrim;
	EFEnvCollisionPrim *	poEnvPrim;
	EFContactReport *		poContact;
};

#endif
