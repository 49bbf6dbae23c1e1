/*
===============================================================================

	Three-float vector.

	x, y and z in that order, with no base class and no virtual operation:
	the layout of the 3D library's vector, so a pointer to one can be handed
	wherever the library wants the other (the project builds without
	strict aliasing for that reason, and the layouts are pinned below).

	Everything is inline and allocation-free except ToString. Lengths and
	normalisation go through the library's table square roots, so they
	carry its precision. Angles are in radians.

===============================================================================
*/
#ifndef DT_VECTOR3D_H
#define DT_VECTOR3D_H

#include "datatypes/base/DTTypes.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>
#include <cstddef>
#include <cstring>

// pi and pi/2 as the engine rounds them.
constexpr f32 DT_VECTOR3D_PI			= 3.1415927f;
constexpr f32 DT_VECTOR3D_HALF_PI		= 1.5707964f;

// Exponent field of a float, and its value for 2 to the power -15: a cross
// product shorter than that has no usable axis.
constexpr u32 DT_VECTOR3D_EXPONENT_MASK	= 0x7F800000;
constexpr u32 DT_VECTOR3D_AXIS_EXPONENT	= ( 127u - 15u ) << 23;

// Bytes of the shared buffer ToString writes into when given none; a
// caller's buffer must hold as many.
constexpr u32 DT_VECTOR3D_STRING_MAX	= 200;

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

	DTVector3d				operator+( const DTVector3d & b ) const { return DTVector3d( x + b.x, y + b.y, z + b.z ); }
	DTVector3d				operator-( const DTVector3d & b ) const { return DTVector3d( x - b.x, y - b.y, z - b.z ); }
	DTVector3d				operator-() const { return DTVector3d( -x, -y, -z ); }
	DTVector3d				operator*( const f32 s ) const { return DTVector3d( x * s, y * s, z * s ); }
	DTVector3d &			operator+=( const DTVector3d & b ) { x += b.x; y += b.y; z += b.z; return *this; }
	DTVector3d &			operator-=( const DTVector3d & b ) { x -= b.x; y -= b.y; z -= b.z; return *this; }
	DTVector3d &			operator*=( const f32 s ) { x *= s; y *= s; z *= s; return *this; }

	// Dot product.
	f32						operator*( const DTVector3d & b ) const { return x * b.x + y * b.y + z * b.z; }
	f32						DotProduct( const DTVector3d & b ) const { return x * b.x + y * b.y + z * b.z; }
	f32						LengthSquare() const { return x * x + y * y + z * z; }

	// out = this x b; out may be this or b.
	void					Cross( const DTVector3d & b, DTVector3d * out ) const;
	// out = this - n (this . n), n a unit vector; out may be this or n.
	void					RemoveComponent( const DTVector3d & n, DTVector3d * out ) const;

	// The rotation taking this unit vector to b: true with a unit axis and
	// the angle when the vectors are not parallel; otherwise false, the
	// axis is the raw cross product and the angle 0 (same direction) or pi.
	bool					GetRotationTo( const DTVector3d & b, DTVector3d * axis, f32 * angle ) const;

	// In place through the library's normalise (a zero vector stays zero
	// and the library records its error).
	void					Normalize();
	// out = this / length; the length is not tested, so a zero vector
	// gives non-finite components.
	void					Normalize( DTVector3d * out ) const;

	// Angle between two unit vectors; a dot product rounded past -1 or 1
	// gives pi or 0.
	f32						GetAngleTo( const DTVector3d & b ) const;

	// True when every component of this - b is below 2 to the power n in
	// magnitude; an infinite or NaN difference fails, a zero or denormal
	// one passes.
	bool					IsEqualEpsilon( const DTVector3d & b, const s32 n ) const;

	// The three components printed with format (three float conversions;
	// "< %g %g %g >" when null) into buffer, or into one shared buffer when
	// buffer is null. At most DT_VECTOR3D_STRING_MAX bytes are written,
	// terminator included. Returns the buffer written. The shared buffer
	// is overwritten by the next call.
	char *					ToString( const char * format, char * buffer ) const;

private:
	static u32				ExponentField( const f32 value );
};

inline DTVector3d operator*( const f32 s, const DTVector3d & v ) {
	return DTVector3d( v.x * s, v.y * s, v.z * s );
}

static_assert( sizeof( DTVector3d ) == sizeof( RwV3d ), "DTVector3d must have the library vector's size" );
static_assert( offsetof( DTVector3d, x ) == offsetof( RwV3d, x ), "DTVector3d x must lie on the library's x" );
static_assert( offsetof( DTVector3d, y ) == offsetof( RwV3d, y ), "DTVector3d y must lie on the library's y" );
static_assert( offsetof( DTVector3d, z ) == offsetof( RwV3d, z ), "DTVector3d z must lie on the library's z" );

// The library's view of an engine vector and back.
inline RwV3d * DTAsRwV3d( DTVector3d * v ) { return reinterpret_cast<RwV3d *>( v ); }
inline const RwV3d * DTAsRwV3d( const DTVector3d * v ) { return reinterpret_cast<const RwV3d *>( v ); }

inline u32 DTVector3d::ExponentField( const f32 value ) {
	u32 bits;
	std::memcpy( &bits, &value, sizeof( bits ) );
	return bits & DT_VECTOR3D_EXPONENT_MASK;
}

inline void DTVector3d::Cross( const DTVector3d & b, DTVector3d * out ) const {
	const f32 cx = y * b.z - z * b.y;
	const f32 cy = z * b.x - x * b.z;
	const f32 cz = x * b.y - y * b.x;
	out->Set( cx, cy, cz );
}

inline void DTVector3d::RemoveComponent( const DTVector3d & n, DTVector3d * out ) const {
	const f32 d = DotProduct( n );
	const DTVector3d along = n * d;
	out->Set( x - along.x, y - along.y, z - along.z );
}

inline bool DTVector3d::GetRotationTo( const DTVector3d & b, DTVector3d * axis, f32 * angle ) const {
	Cross( b, axis );
	const f32 length = RwV3dLength( DTAsRwV3d( axis ) );
	const f32 d = DotProduct( b );
	if ( ExponentField( length ) < DT_VECTOR3D_AXIS_EXPONENT ) {
		*angle = d > 0.0f ? 0.0f : DT_VECTOR3D_PI;
		return false;
	}
	axis->Set( axis->x / length, axis->y / length, axis->z / length );
	f32 a = DT_VECTOR3D_HALF_PI;
	if ( length < 1.0f ) {
		a = static_cast<f32>( std::asin( static_cast<f64>( length ) ) );
	}
	if ( d < 0.0f ) {
		a = DT_VECTOR3D_PI - a;
	}
	*angle = a;
	return true;
}

inline void DTVector3d::Normalize() {
	RwV3dNormalize( DTAsRwV3d( this ), DTAsRwV3d( this ) );
}

inline void DTVector3d::Normalize( DTVector3d * out ) const {
	const f32 inverse = 1.0f / RwV3dLength( DTAsRwV3d( this ) );
	out->Set( x * inverse, y * inverse, z * inverse );
}

inline f32 DTVector3d::GetAngleTo( const DTVector3d & b ) const {
	const f32 d = DotProduct( b );
	if ( d <= -1.0f ) {
		return DT_VECTOR3D_PI;
	}
	if ( d >= 1.0f ) {
		return 0.0f;
	}
	return static_cast<f32>( std::acos( static_cast<f64>( d ) ) );
}

inline bool DTVector3d::IsEqualEpsilon( const DTVector3d & b, const s32 n ) const {
	// Unsigned arithmetic: no signed shift, and a wild n wraps instead of
	// being undefined.
	const u32 limit = ( static_cast<u32>( n ) + 127u ) << 23;
	const f32 differences[3] = { x - b.x, y - b.y, z - b.z };
	for ( const f32 difference : differences ) {
		const u32 field = ExponentField( difference );
		if ( field == DT_VECTOR3D_EXPONENT_MASK ) {
			return false;
		}
		if ( field != 0 && !( field < limit ) ) {
			return false;
		}
	}
	return true;
}

#endif
