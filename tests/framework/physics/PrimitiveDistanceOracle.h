/*
===============================================================================

	Distances between the parties of the primitive tests, in double
	precision: segments (capsule axes, sphere centres), convex map
	polygons and oriented boxes. Capsule distances are exact; between a
	box and a box or a polygon the distance is the largest separation
	over every separating axis, zero exactly when they touch and negative
	when they overlap.

===============================================================================
*/
#ifndef PRIMITIVE_DISTANCE_ORACLE_H
#define PRIMITIVE_DISTANCE_ORACLE_H

#include "framework/physics/CollisionMapTestScenes.h"
#include "framework/physics/EFObjCollisionBBox.h"

#include <algorithm>

namespace primitive_oracle {

typedef std::array<double, 3> D3;

inline D3 Of( const DTVector3d& v ) {
	return { v.x, v.y, v.z };
}
inline D3 Add( const D3& a, const D3& b ) {
	return { a[0] + b[0], a[1] + b[1], a[2] + b[2] };
}
inline D3 Sub( const D3& a, const D3& b ) {
	return { a[0] - b[0], a[1] - b[1], a[2] - b[2] };
}
inline D3 Scale( const D3& a, const double s ) {
	return { a[0] * s, a[1] * s, a[2] * s };
}
inline double Dot( const D3& a, const D3& b ) {
	return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline D3 Cross( const D3& a, const D3& b ) {
	return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] };
}
inline double Length( const D3& a ) {
	return std::sqrt( Dot( a, a ) );
}

// Distance between the segments p0-p1 and q0-q1.
inline double SegmentSegment( const D3& p0, const D3& p1, const D3& q0, const D3& q1 ) {
	const D3 d1 = Sub( p1, p0 );
	const D3 d2 = Sub( q1, q0 );
	const D3 r = Sub( p0, q0 );
	const double a = Dot( d1, d1 );
	const double e = Dot( d2, d2 );
	const double f = Dot( d2, r );
	double s = 0.0;
	double t = 0.0;
	if ( a <= 1e-18 && e <= 1e-18 ) {
		return Length( r );
	}
	if ( a <= 1e-18 ) {
		t = std::clamp( f / e, 0.0, 1.0 );
	} else {
		const double c = Dot( d1, r );
		if ( e <= 1e-18 ) {
			s = std::clamp( -c / a, 0.0, 1.0 );
		} else {
			const double b = Dot( d1, d2 );
			const double denom = a * e - b * b;
			s = denom > 1e-18 ? std::clamp( ( b * f - c * e ) / denom, 0.0, 1.0 ) : 0.0;
			t = ( b * s + f ) / e;
			if ( t < 0.0 ) {
				t = 0.0;
				s = std::clamp( -c / a, 0.0, 1.0 );
			} else if ( t > 1.0 ) {
				t = 1.0;
				s = std::clamp( ( b - c ) / a, 0.0, 1.0 );
			}
		}
	}
	return Length( Sub( Add( p0, Scale( d1, s ) ), Add( q0, Scale( d2, t ) ) ) );
}

// Distance between the segment a-b and the polygon.
inline double SegmentPolygon( const OraclePolygon& p, const D3& a, const D3& b ) {
	const double ha = Dot( p.n, a ) + p.d;
	const double hb = Dot( p.n, b ) + p.d;
	if ( ( ha <= 0.0 ) != ( hb <= 0.0 ) || ha == 0.0 || hb == 0.0 ) {
		const double u = ha == hb ? 0.0 : ha / ( ha - hb );
		const D3 x = Add( a, Scale( Sub( b, a ), u ) );
		if ( OracleDistance( p, x ) < 1e-12 ) {
			return 0.0;
		}
	}
	double best = std::min( OracleDistance( p, a ), OracleDistance( p, b ) );
	const size_t n = p.v.size();
	for ( size_t i = 0; i < n; i++ ) {
		best = std::min( best, SegmentSegment( a, b, p.v[i], p.v[( i + 1 ) % n] ) );
	}
	return best;
}

// A box in double: centre, unit axes and half extents.
struct OracleBox {
	D3 c;
	D3 axis[3];
	double h[3];

	double PointDistance( const D3& point ) const {
		const D3 d = Sub( point, c );
		double sum = 0.0;
		for ( int k = 0; k < 3; k++ ) {
			const double e = std::max( std::fabs( Dot( d, axis[k] ) ) - h[k], 0.0 );
			sum += e * e;
		}
		return std::sqrt( sum );
	}
	double Radius( const D3& l ) const {
		return std::fabs( Dot( l, axis[0] ) ) * h[0] + std::fabs( Dot( l, axis[1] ) ) * h[1] +
			   std::fabs( Dot( l, axis[2] ) ) * h[2];
	}
	OracleBox Moved( const D3& by ) const {
		OracleBox moved = *this;
		moved.c = Add( c, by );
		return moved;
	}
};

inline OracleBox BoxOf( const EFObjCollisionBBox& box ) {
	OracleBox o;
	o.c = Of( box.moPrimPos );
	const RwV3d* rows[3] = { &box.mpoBoxToWorld->right, &box.mpoBoxToWorld->up, &box.mpoBoxToWorld->at };
	for ( int k = 0; k < 3; k++ ) {
		o.axis[k] = { rows[k]->x, rows[k]->y, rows[k]->z };
	}
	o.h[0] = box.moHalfExtents.x;
	o.h[1] = box.moHalfExtents.y;
	o.h[2] = box.moHalfExtents.z;
	return o;
}

// Distance from the segment to the box: the point distance is convex
// along the segment, so a golden-section search finds its least.
inline double SegmentBox( const OracleBox& box, const D3& a, const D3& b ) {
	double lo = 0.0;
	double hi = 1.0;
	const double g = 0.5 * ( std::sqrt( 5.0 ) - 1.0 );
	for ( int i = 0; i < 48; i++ ) {
		const double m1 = hi - g * ( hi - lo );
		const double m2 = lo + g * ( hi - lo );
		if ( box.PointDistance( Add( a, Scale( Sub( b, a ), m1 ) ) ) <
			 box.PointDistance( Add( a, Scale( Sub( b, a ), m2 ) ) ) ) {
			hi = m2;
		} else {
			lo = m1;
		}
	}
	return std::min( { box.PointDistance( Add( a, Scale( Sub( b, a ), 0.5 * ( lo + hi ) ) ) ), box.PointDistance( a ),
					   box.PointDistance( b ) } );
}

inline void AddCrossAxes( std::vector<D3>& axes, const D3& a, const D3& b ) {
	const D3 l = Cross( a, b );
	const double length = Length( l );
	if ( length > 1e-6 ) {
		axes.push_back( Scale( l, 1.0 / length ) );
	}
}

// A box moving with a velocity against a still convex party, over fixed
// unit axes: the still party's interval, the box's half size, centre and
// speed along each. At( t ) is the largest separation at time t.
struct SatMotion {
	std::vector<D3>		axes;
	std::vector<double>	lo, hi, radius, centre, speed;

	void Add( const D3& l, const OracleBox& box, const D3& velocity, const double stillLo, const double stillHi ) {
		axes.push_back( l );
		lo.push_back( stillLo );
		hi.push_back( stillHi );
		radius.push_back( box.Radius( l ) );
		centre.push_back( Dot( box.c, l ) );
		speed.push_back( Dot( velocity, l ) );
	}
	double At( const double t ) const {
		double best = -1e300;
		for ( size_t i = 0; i < axes.size(); i++ ) {
			const double c = centre[i] + speed[i] * t;
			best = std::max( best, std::max( lo[i] - ( c + radius[i] ), ( c - radius[i] ) - hi[i] ) );
		}
		return best;
	}
};

// Every face axis of both boxes and the axes across their edges.
inline SatMotion BoxBoxMotion( const OracleBox& moving, const OracleBox& still, const D3& velocity ) {
	std::vector<D3> axes;
	for ( int i = 0; i < 3; i++ ) {
		axes.push_back( moving.axis[i] );
		axes.push_back( still.axis[i] );
		for ( int j = 0; j < 3; j++ ) {
			AddCrossAxes( axes, moving.axis[i], still.axis[j] );
		}
	}
	SatMotion motion;
	for ( const D3& l : axes ) {
		const double c = Dot( still.c, l );
		const double r = still.Radius( l );
		motion.Add( l, moving, velocity, c - r, c + r );
	}
	return motion;
}

// The polygon's normal, the box's axes and the axes across the polygon's
// edges and the box's axes.
inline SatMotion BoxPolygonMotion( const OracleBox& box, const OraclePolygon& p, const D3& velocity ) {
	std::vector<D3> axes = { p.n, box.axis[0], box.axis[1], box.axis[2] };
	const size_t n = p.v.size();
	for ( size_t i = 0; i < n; i++ ) {
		for ( int k = 0; k < 3; k++ ) {
			AddCrossAxes( axes, Sub( p.v[( i + 1 ) % n], p.v[i] ), box.axis[k] );
		}
	}
	SatMotion motion;
	for ( const D3& l : axes ) {
		double lo = 1e300;
		double hi = -1e300;
		for ( const D3& v : p.v ) {
			lo = std::min( lo, Dot( v, l ) );
			hi = std::max( hi, Dot( v, l ) );
		}
		motion.Add( l, box, velocity, lo, hi );
	}
	return motion;
}

inline double BoxBox( const OracleBox& a, const OracleBox& b ) {
	return BoxBoxMotion( a, b, { 0.0, 0.0, 0.0 } ).At( 0.0 );
}

inline double BoxPolygon( const OracleBox& box, const OraclePolygon& p ) {
	return BoxPolygonMotion( box, p, { 0.0, 0.0, 0.0 } ).At( 0.0 );
}

}	// namespace primitive_oracle

#endif
