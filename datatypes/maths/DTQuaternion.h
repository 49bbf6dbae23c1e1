/*
===============================================================================

	Rotation quaternion.

	The DTVector3d base holds the vector part (x, y, z) and mfScalaire the
	scalar part w, so the memory order is x, y, z, w. A rotation by angle a
	about the unit axis u is (u sin(a/2), cos(a/2)). Constructions and
	interpolations write their result into the quaternion they are called
	on.

	Precision is part of the contract: square roots are taken in double
	and rounded to float, the trigonometry of SetValue, GetValue,
	EulerToQuatf and Slerp is in double, Slerpf keeps its intermediates in
	float. Matrices are row-vector rotations (DTMatrix); only their nine
	rotation entries are read or written.

===============================================================================
*/
#ifndef DT_QUATERNION_H
#define DT_QUATERNION_H

#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTVector3d.h"

class DTQuaternion : public DTVector3d {
public:
	f32						mfScalaire;

							DTQuaternion() : DTVector3d(), mfScalaire( 0.0f ) {}
							DTQuaternion( const f32 fx, const f32 fy, const f32 fz, const f32 fw )
								: DTVector3d( fx, fy, fz ), mfScalaire( fw ) {}
							DTQuaternion( const DTQuaternion & other ) = default;
	DTQuaternion &			operator=( const DTQuaternion & other );

	// The Hamilton product this * b, normalised.
	DTQuaternion			operator*( const DTQuaternion & b ) const;

	// Writes the rotation rows of m from this unit quaternion.
	void					QuatToMat( DTMatrix * m ) const;
	// Sets this from the rotation rows of m.
	void					MatToQuat( const DTMatrix * m );

	// Divides by the length; a zero quaternion stays as it is.
	void					Normalise();

	// From an axis and an angle in radians; unitAxis false divides the
	// vector part by the axis length (a zero axis then gives non-finite
	// values).
	void					SetValue( const DTVector3d & axis, const f32 angle, const bool unitAxis );
	// The unit axis and the angle (at most pi); a rotation too small to
	// carry an axis gives (0, 0, 1) and 0.
	void					GetValue( DTVector3d & axis, f32 & angle ) const;

	// The rotation about x, then y, then z (the one DTMatrix::SetToRotation
	// builds).
	void					EulerToQuatf( const DTVector3d & euler );

	// The shortest rotation taking unit direction a to unit direction b.
	void					SetFromAxes( const DTVector3d & a, const DTVector3d & b );

	// Component-wise along the shorter way; not normalised.
	void					Lerp( const DTQuaternion & a, const DTQuaternion & b, const f32 t );
	// Linear with a corrected parameter and an approximate normalisation.
	void					QLerp( const DTQuaternion & a, const DTQuaternion & b, const f32 t );
	// Spherical, in double and with single-precision intermediates.
	void					Slerp( const DTQuaternion & a, const DTQuaternion & b, const f32 t );
	void					Slerpf( const DTQuaternion & a, const DTQuaternion & b, const f32 t );

	// The four-component dot product.
	f32						Dot4( const DTQuaternion & b ) const { return x * b.x + y * b.y + z * b.z + mfScalaire * b.mfScalaire; }
};

static_assert( sizeof( DTQuaternion ) == 4 * sizeof( f32 ), "DTQuaternion must be four floats" );

#endif
