/*
===============================================================================

	Box collision primitive: half extents along the frame's axes about the
	primitive's centre, all 0 until the hot spot or the caller sets them.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_BBOX_H
#define EF_OBJ_COLLISION_BBOX_H

#include "framework/physics/EFObjCollisionPrim.h"

class EFObjCollisionBBox : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionBBox( DTFrame * frame );

	DTVector3d				moHalfExtents;
};

#endif
