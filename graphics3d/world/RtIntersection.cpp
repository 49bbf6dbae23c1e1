#include "graphics3d/world/RtIntersection.h"

#include <cmath>

static RwV3d Sub( const RwV3d& a, const RwV3d& b ) {
	return RwV3d{ a.x - b.x, a.y - b.y, a.z - b.z };
}

static f32 Dot( const RwV3d& a, const RwV3d& b ) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

static RwV3d Cross( const RwV3d& a, const RwV3d& b ) {
	return RwV3d{ a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
}

static f32 Axis( const RwV3d& v, const u32 axis ) {
	return axis == 0 ? v.x : ( axis == 1 ? v.y : v.z );
}

// True when the line through p and q passes the origin at more than
// radius, with the opposite vertex on the far side of the line.
static bool EdgeSeparates( const RwV3d& p, const RwV3d& q, const RwV3d& opposite, const f32 radiusSquared ) {
	const RwV3d e = Sub( q, p );
	const f32 t = Dot( e, p ) / Dot( e, e );
	const RwV3d foot = { p.x - t * e.x, p.y - t * e.y, p.z - t * e.z };
	const f32 footSquared = Dot( foot, foot );
	return footSquared > radiusSquared && footSquared < Dot( foot, opposite );
}

bool RtIntersectionSphereTriangle( const RwSphere* sphere, const RwV3d* v0, const RwV3d* v1, const RwV3d* v2, RwV3d* normal,
								   f32* distance ) {
	const f32 r = sphere->radius;
	const RwV3d a = Sub( *v0, sphere->center );
	const RwV3d b = Sub( *v1, sphere->center );
	const RwV3d c = Sub( *v2, sphere->center );

	// Outside the sphere's bounding cube: the upper bound is inclusive,
	// the lower one is not.
	for ( u32 axis = 0; axis < 3; axis++ ) {
		const f32 pa = Axis( a, axis );
		const f32 pb = Axis( b, axis );
		const f32 pc = Axis( c, axis );
		if ( ( pa >= r && pb >= r && pc >= r ) || ( pa < -r && pb < -r && pc < -r ) ) {
			return false;
		}
	}

	RwV3d n = Cross( Sub( *v1, *v0 ), Sub( *v2, *v0 ) );
	*normal = n;
	const f32 lengthSquared = Dot( n, n );
	if ( lengthSquared <= 0.0f ) {
		return false;
	}
	const f32 recip = _rwInvSqrt( lengthSquared );
	n = RwV3d{ n.x * recip, n.y * recip, n.z * recip };
	*normal = n;

	const f32 d = Dot( a, n );
	if ( d < -r || d > r ) {
		return false;
	}
	*distance = -d;

	const f32 r2 = r * r;
	const f32 aa = Dot( a, a );
	const f32 bb = Dot( b, b );
	const f32 cc = Dot( c, c );
	if ( aa <= r2 || bb <= r2 || cc <= r2 ) {
		return true;
	}

	// Beyond the nearest vertex: both other vertices lie further along it.
	const RwV3d* nearest = &a;
	const RwV3d* others[2] = { &b, &c };
	f32 nearestSquared = aa;
	if ( !( aa < bb ) ) {
		nearest = &b;
		others[0] = &a;
		nearestSquared = bb;
	}
	if ( cc < nearestSquared ) {
		others[0] = &a;
		others[1] = &b;
		nearest = &c;
		nearestSquared = cc;
	}
	if ( Dot( *nearest, *others[0] ) > nearestSquared && Dot( *nearest, *others[1] ) > nearestSquared ) {
		return false;
	}

	if ( EdgeSeparates( a, b, c, r2 ) || EdgeSeparates( b, c, a, r2 ) || EdgeSeparates( c, a, b, r2 ) ) {
		return false;
	}
	return true;
}

// Outcode bits: beyond the maximum, then below the minimum, per axis.
static constexpr u32 OUT_X_MAX = 0x01;
static constexpr u32 OUT_X_MIN = 0x02;
static constexpr u32 OUT_Y_MAX = 0x04;
static constexpr u32 OUT_Y_MIN = 0x08;
static constexpr u32 OUT_Z_MAX = 0x10;
static constexpr u32 OUT_Z_MIN = 0x20;

static u32 Outcode( const RwBBox& box, const RwV3d& v ) {
	u32 code = 0;
	code |= v.x > box.sup.x ? OUT_X_MAX : 0;
	code |= v.x < box.inf.x ? OUT_X_MIN : 0;
	code |= v.y > box.sup.y ? OUT_Y_MAX : 0;
	code |= v.y < box.inf.y ? OUT_Y_MIN : 0;
	code |= v.z > box.sup.z ? OUT_Z_MAX : 0;
	code |= v.z < box.inf.z ? OUT_Z_MIN : 0;
	return code;
}

// inf < (p * extent + step) / extent < sup, multiplied through by extent.
static bool StrictlyWithin( const f32 p, const f32 step, const f32 extent, const f32 inf, const f32 sup ) {
	const f32 scaled = p * extent + step;
	if ( extent > 0.0f ) {
		return scaled > inf * extent && scaled < sup * extent;
	}
	return scaled < inf * extent && scaled > sup * extent;
}

// True when the edge p->q crosses one of the faces its outcodes tell it
// crosses strictly inside that face's rectangle.
static bool EdgeCrossesFace( const RwBBox& box, const RwV3d& p, const RwV3d& q, const u32 crossed ) {
	static const u32 faces[6] = { OUT_X_MAX, OUT_X_MIN, OUT_Y_MAX, OUT_Y_MIN, OUT_Z_MAX, OUT_Z_MIN };
	for ( u32 f = 0; f < 6; f++ ) {
		if ( !( crossed & faces[f] ) ) {
			continue;
		}
		const u32 axis = f / 2;
		const f32 plane = ( f % 2 == 0 ) ? Axis( box.sup, axis ) : Axis( box.inf, axis );
		const f32 extent = Axis( q, axis ) - Axis( p, axis );
		const f32 toPlane = plane - Axis( p, axis );
		const u32 j = ( axis + 1 ) % 3;
		const u32 k = ( axis + 2 ) % 3;
		const f32 stepJ = toPlane * ( Axis( q, j ) - Axis( p, j ) );
		const f32 stepK = toPlane * ( Axis( q, k ) - Axis( p, k ) );
		if ( StrictlyWithin( Axis( p, j ), stepJ, extent, Axis( box.inf, j ), Axis( box.sup, j ) ) &&
			 StrictlyWithin( Axis( p, k ), stepK, extent, Axis( box.inf, k ), Axis( box.sup, k ) ) ) {
			return true;
		}
	}
	return false;
}

// The box diagonal the normal picks crosses the triangle's plane strictly
// between its ends and strictly inside the triangle.
static bool DiagonalPiercesTriangle( const RwBBox& box, const RwV3d& a, const RwV3d& b, const RwV3d& c ) {
	const RwV3d ab = Sub( b, a );
	const RwV3d ac = Sub( c, a );
	const RwV3d m = Cross( ab, ac );
	const bool negativeX = std::signbit( m.x );
	const bool sameY = std::signbit( m.y ) == negativeX;
	const bool sameZ = std::signbit( m.z ) == negativeX;
	const RwV3d start = { box.inf.x, sameY ? box.inf.y : box.sup.y, sameZ ? box.inf.z : box.sup.z };
	const RwV3d end = { box.sup.x, sameY ? box.sup.y : box.inf.y, sameZ ? box.sup.z : box.inf.z };
	const RwV3d direction = Sub( end, start );
	const f32 det = Dot( direction, m );
	const RwV3d w = Sub( start, a );
	const f32 wm = Dot( w, m );
	const RwV3d q = Cross( w, direction );
	const f32 u = -Dot( ac, q );
	const f32 v = Dot( ab, q );
	if ( det > 0.0f ) {
		return wm < 0.0f && wm > -det && u > 0.0f && v > 0.0f && u + v < det;
	}
	return wm > 0.0f && wm < -det && u < 0.0f && v < 0.0f && u + v > det;
}

bool RtIntersectionBBoxTriangle( const RwBBox* box, const RwV3d* v0, const RwV3d* v1, const RwV3d* v2 ) {
	const u32 codeA = Outcode( *box, *v0 );
	if ( codeA == 0 ) {
		return true;
	}
	const u32 codeB = Outcode( *box, *v1 );
	if ( codeB == 0 ) {
		return true;
	}
	const u32 codeC = Outcode( *box, *v2 );
	if ( codeC == 0 ) {
		return true;
	}
	if ( codeA & codeB & codeC ) {
		return false;
	}
	const RwV3d* const ends[3][2] = { { v0, v1 }, { v1, v2 }, { v2, v0 } };
	const u32 codes[3][2] = { { codeA, codeB }, { codeB, codeC }, { codeC, codeA } };
	for ( u32 e = 0; e < 3; e++ ) {
		if ( codes[e][0] & codes[e][1] ) {
			continue;
		}
		if ( EdgeCrossesFace( *box, *ends[e][0], *ends[e][1], codes[e][0] ^ codes[e][1] ) ) {
			return true;
		}
	}
	return DiagonalPiercesTriangle( *box, *v0, *v1, *v2 );
}
