/*
===============================================================================

	Swept-sphere collision primitive: a sphere swept along a segment from
	the primitive's centre. Starts with the segment (0, 0.1, 0) and radius
	0; the hot spot or the caller sets both.

===============================================================================
*/
#ifndef EF_OBJ_COLLISION_SWEPT_SPHERE_H
#define EF_OBJ_COLLISION_SWEPT_SPHERE_H

#include "framework/physics/EFObjCollisionPrim.h"

// Length along y of a new primitive's segment.
constexpr f32 EF_SWEPT_SPHERE_DEFAULT_LENGTH = 0.1f;

class EFObjCollisionSweptSphere : public EFObjCollisionPrim {
public:
	explicit				EFObjCollisionSweptSphere( DTFrame * frame );

	f32						mfRadius;
	DTVector3d				moVector;
};

#endif
