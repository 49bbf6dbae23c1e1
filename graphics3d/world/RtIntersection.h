/*
===============================================================================

	Intersection toolkit: does a sphere or a box touch a triangle?

	Both predicates work in single precision on three vertex positions in
	winding order, allocate nothing and keep no state. They reject early on
	cheap comparisons before any product. The box test divides nowhere;
	the sphere test normalises the triangle's normal with the library's
	table reciprocal square root.

===============================================================================
*/
#ifndef RT_INTERSECTION_H
#define RT_INTERSECTION_H

#include "graphics3d/core/RwBBox.h"
#include "graphics3d/core/RwCamera.h"

// True when the sphere touches the triangle. The unnormalised normal
// (B - A) x (C - A) is written to normal before the degenerate test and
// normalised in place once the triangle has area; distance receives the
// signed distance of the centre from the triangle's plane along the
// normal (negated dot product of A - centre and the normal) once the
// centre lies within the radius of the plane.
bool	RtIntersectionSphereTriangle( const RwSphere* sphere, const RwV3d* v0, const RwV3d* v1, const RwV3d* v2,
									  RwV3d* normal, f32* distance );

// True when the box touches the triangle; a vertex on a face counts as
// inside.
bool	RtIntersectionBBoxTriangle( const RwBBox* box, const RwV3d* v0, const RwV3d* v1, const RwV3d* v2 );

#endif
