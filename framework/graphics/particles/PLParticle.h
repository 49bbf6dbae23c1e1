/*
===============================================================================

	A particle of the manager's pool: the next particle of its list (first
	member), position, velocity, age in seconds, size, and its own matrix
	(oriented types only; null unless it holds a live matrix). Then what
	the collision primitives read: the radius and the check mark of the
	last stamp that counted it.

	mui16GlobalCount is the current stamp, raised before each emitter's
	particles are tested, so that a particle is counted once per stamp.

===============================================================================
*/
#ifndef PL_PARTICLE_H
#define PL_PARTICLE_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class DTMatrix;

class PLParticle {
public:
	PLParticle *			mpoNext = nullptr;
	DTVector3d				moPosition;
	DTVector3d				moVelocity;
	f32						mfAge = 0.0f;
	f32						mfSize = 0.0f;
	DTMatrix *				mpoMatrix = nullptr;
	f32						mfRadius = 0.0f;
	u16						mui16Mark = 0;

	// Destroys the own matrix, if any, and forgets it.
	void					DestroyMatrix();

	static u16				mui16GlobalCount;
};

#endif
