/*
===============================================================================

	Sphere collision primitive: a radius about the primitive's centre. The
	radius starts at 0; the hot spot or the caller sets it.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_SPHERE_H
#define EF_OBJ_COLLISION_SPHERE_H

#include "framework/physics/EFObjCollisionPrim.h"

class EFObjCollisionSphere : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionSphere( DTFrame * frame );

	f32						mfRadius;
};

#endif
