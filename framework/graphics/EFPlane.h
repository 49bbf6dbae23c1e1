/*
===============================================================================

	A plane of a visibility volume: a normal pointing out of the volume
	and a distance. A point p lies inside when moNormal . p <= mfD.

===============================================================================
*/
#ifndef EF_PLANE_H
#define EF_PLANE_H

#include "datatypes/maths/DTVector3d.h"

class DTMatrix;

// What a ray does with a plane.
enum EFPlaneRayIntersectResult_e {
	EFPLANE_RAY_POINT		= 0,	// it crosses the plane at one point
	EFPLANE_RAY_IN_PLANE	= 1,	// it lies in the plane
	EFPLANE_RAY_PARALLEL	= 2,	// it runs beside the plane
};

// A ray whose direction is closer than this to the plane's (dot product)
// counts as parallel; an origin closer than this to the plane lies in it.
constexpr f32 EF_PLANE_RAY_EPSILON = 0.0078125f;

class EFPlane {
public:
	DTVector3d				moNormal;
	f32						mfD;

							EFPlane() : mfD( 0.0f ) {}
							EFPlane( const DTVector3d & normal, const f32 d ) : moNormal( normal ), mfD( d ) {}

	// The plane carried by matrix into out: the normal through the
	// rotation part only, the distance moved by the translation along it.
	void					Transform( const DTMatrix & matrix, EFPlane * out ) const;
	// Where the ray from origin along direction meets the plane. The hit
	// is written only for EFPLANE_RAY_POINT.
	EFPlaneRayIntersectResult_e	IntersectRay( const DTVector3d & origin, const DTVector3d & direction,
											  DTVector3d * hit ) const;
	// How far p lies beyond the plane (positive outside).
	f32						Distance( const DTVector3d & p ) const { return moNormal * p - mfD; }
};

#endif
