/*
===============================================================================

	Polygon collision primitive, bound to a frame.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_POLYGON_H
#define EF_OBJ_COLLISION_POLYGON_H

#include "framework/physics/EFObjCollisionPrim.h"

class EFObjCollisionPolygon : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionPolygon( DTFrame * frame );
};

#endif
