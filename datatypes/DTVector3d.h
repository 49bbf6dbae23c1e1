/*
===============================================================================

	Three-float vector.

	x, y and z in that order, with no base class and no virtual operation:
	the layout of the 3D library's vector, so a pointer to one can be handed
	wherever the library wants the other.

===============================================================================
*/
#ifndef DT_VECTOR3D_H
#define DT_VECTOR3D_H

#include "datatypes/DTTypes.h"

class DTVector3d {
public:
	f32						x;
	f32						y;
	f32						z;

							DTVector3d() : x( 0.0f ), y( 0.0f ), z( 0.0f ) {}
							DTVector3d( const f32 fx, const f32 fy, const f32 fz ) : x( fx ), y( fy ), z( fz ) {}
							DTVector3d( const DTVector3d & ) = default;
	DTVector3d &			operator=( const DTVector3d & ) = default;

	void					Set( const f32 fx, const f32 fy, const f32 fz ) { x = fx; y = fy; z = fz; }
};

static_assert( sizeof( DTVector3d ) == 3 * sizeof( f32 ), "DTVector3d must be exactly three floats" );

#endif
