/*
===============================================================================

	One polygon of a level's collision map, as the map's data holds it:
	the index of its surface attribute record, edge-grab data, the vertex
	count (low 15 bits), the mark of the last query that tested it and its
	plane (unit normal towards the front, and the constant d: a point P
	lies at signed distance normal . P + d). Its vertices and edge planes
	follow the record in the map's data.

===============================================================================
*/
#ifndef EF_ENV_COLLISION_PRIM_H
#define EF_ENV_COLLISION_PRIM_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFEnvCollisionPrim {
public:
	struct Plane {
		DTVector3d			moNormal;
		f32					mfD;
	};

	u32						mui32Attributes;
	u16						mui16EdgeGrab;
	u16						mui16NbVertex;
	u32						mui32CheckCount;
	Plane					moPlane;
};

#endif
