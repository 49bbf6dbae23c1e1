/*
===============================================================================

	A particle of the manager's pool, as the collision primitives see it:
	the next particle of its list (first member), its position, its radius
	and the check mark of the last stamp that counted it.

	mui16GlobalCount is the current stamp, raised before each emitter's
	particles are tested, so that a particle is counted once per stamp.

===============================================================================
*/
#ifndef PL_PARTICLE_H
#define PL_PARTICLE_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class PLParticle {
public:
	PLParticle *			mpoNext = nullptr;
	DTVector3d				moPosition;
	f32						mfRadius = 0.0f;
	u16						mui16Mark = 0;

	static u16				mui16GlobalCount;
};

#endif
