/*
===============================================================================

	The engine's sphere primitive for collision scenarios, made with its
	radius.

===============================================================================
*/
#ifndef HARNESS_SPHERE_H
#define HARNESS_SPHERE_H

#include "framework/physics/EFObjCollisionSphere.h"

class HarnessSphere : public EFObjCollisionSphere {
public:
	HarnessSphere( DTFrame* frame, const f32 radius ) : EFObjCollisionSphere( frame ) { mfMaxRadius = radius; }
};

#endif
