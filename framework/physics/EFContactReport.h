/*
===============================================================================

	One contact of a collision system's member: the normal, and what it
	touches (a body with its primitive, or an environment polygon).

	Contacts come from the physics manager's third pool; mpoNext links a
	stage's contacts, newest first, and is the pool's free link.

===============================================================================
*/
#ifndef EF_CONTACT_REPORT_H
#define EF_CONTACT_REPORT_H

#include "datatypes/maths/DTVector3d.h"

class EFEnvCollisionPrim;
class EFObjCollisionPrim;
class EFPhysic;

struct EFContactReport {
	DTVector3d				oContactNormal;
	EFPhysic *				poPhys;
	EFObjCollisionPrim *	poObjPrim;
	EFEnvCollisionPrim *	poEnvPrim;
	EFContactReport *		mpoNext;
};

#endif
