/*
===============================================================================

	One segment of a level spline, decoded: the curve P(t) = P0 + B t + C t^2
	for t in 0..1 with the values prepared by the authoring tool.

	The corners are the control triangle; P0 is the first. The speed
	polynomial gives |P'(t)|^2 = 4 (a t^2 + b t + c), r is the square root
	of a and K the constant that makes the closed-form arc length 0 at
	t = 0. Planes are a unit normal and a distance (signed distance =
	normal . X + distance): the triangle's own plane, then the outward
	planes of its sides from the third corner to the first, from the second
	to the third and from the first to the second. A degenerate triangle
	has four zero planes, which cull nothing.

===============================================================================
*/
#ifndef EF_SPLINE_SEGMENT_H
#define EF_SPLINE_SEGMENT_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

constexpr u32 EF_SPLINE_CORNERS			= 3;
constexpr u32 EF_SPLINE_PLANES			= 4;
constexpr u32 EF_SPLINE_TRIANGLE_PLANE	= 0;
constexpr u32 EF_SPLINE_FIRST_SIDE		= 1;

struct EFSplinePlane {
	DTVector3d				moNormal;
	f32						mfDistance;

	f32						SignedDistance( const DTVector3d & x ) const { return moNormal * x + mfDistance; }
};

struct EFSplineSegment {
	DTVector3d				moCorners[EF_SPLINE_CORNERS];
	// Arc length of the segment, and from the spline's start to its start.
	f32						mfLength;
	f32						mfDistance;
	f32						mfA;
	f32						mfB;
	f32						mfC;
	f32						mfR;
	f32						mfK;
	DTVector3d				moB;
	DTVector3d				moC;
	// C.C, 2 (B.C) and B.B.
	f32						mfCC;
	f32						mfBC2;
	f32						mfBB;
	EFSplinePlane			moPlanes[EF_SPLINE_PLANES];
};

#endif
