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

class EFPlane {
public:
	DTVector3d				moNormal;
	f32						mfD;

							EFPlane() : mfD( 0.0f ) {}
							EFPlane( const DTVector3d & normal, const f32 d ) : moNormal( normal ), mfD( d ) {}

	// The plane carried by matrix into out: the normal through the
	// rotation part only, the distance moved by the translation along it.
	void					Transform( const DTMatrix & matrix, EFPlane * out ) const;
	// How far p lies beyond the plane (positive outside).
	f32						Distance( const DTVector3d & p ) const { return moNormal * p - mfD; }
};

#endif
