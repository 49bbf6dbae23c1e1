/*
===============================================================================

	Result of a ray query: the hit point and normal and what was hit, a
	body with its primitive or an environment polygon. A query with a
	listener reports every hit to it instead of keeping the nearest.

===============================================================================
*/
#ifndef EF_RAY_INTERSECT_OUT_H
#define EF_RAY_INTERSECT_OUT_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/logic/api/LogicApiRecords.h"

class EFEnvCollisionPrim;
class EFObjCollisionPrim;
class EFPhysic;

class EFRayIntersectOut {
public:
	class Listener {
	public:
		virtual				~Listener() {}
		// True to go on with the query, false to stop it.
		virtual bool		RayIntersectionOccured( const EFRayIntersectOut & out, RayIntersectResult result ) = 0;
	};

	Listener *				poListener;
	DTVector3d				oIntersectionPoint;
	DTVector3d				oIntersectionNormal;
	EFPhysic *				poObjCollider;
	EFObjCollisionPrim *	poObjSubCollider;
	EFEnvCollisionPrim *	poEnvCollider;
};

#endif
