/*
===============================================================================

	Sphere: a centre and a radius, 16 bytes.

	Bounding and query volume of the collision, physics and clipping code.
	The centre's meaning (world position or offset in a frame's space) is
	the owner's.

===============================================================================
*/
#ifndef DT_SPHERE_H
#define DT_SPHERE_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class DTSphere {
public:
	DTVector3d				moPos;
	f32						mfRadius;

							DTSphere() : moPos(), mfRadius( 0.0f ) {}
							DTSphere( const DTVector3d & pos, const f32 radius ) : moPos( pos ), mfRadius( radius ) {}
};

static_assert( sizeof( DTSphere ) == 16, "DTSphere must be a centre and a radius, 16 bytes" );

#endif
