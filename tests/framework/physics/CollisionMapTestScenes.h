/*
===============================================================================

	Collision maps for the map tests: loading a writer's blob into a map,
	and a brute-force double-precision oracle over
	every polygon (no octree) for the sphere and ray queries.

===============================================================================
*/
#ifndef COLLISION_MAP_TEST_SCENES_H
#define COLLISION_MAP_TEST_SCENES_H

#include "datatypes/memory/MMMemory.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysicMgr.h"
#include "tools/lib/level/ToolCollisionMapWriter.h"
#include "tools/lib/level/ToolCollisionScenes.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

// A map over a copy of blob; null when Init refuses it (the copy freed).
inline std::unique_ptr<EFCollisionMap> LoadMap( const std::vector<u8>& blob ) {
	u8* copy = static_cast<u8*>( MMMalloc( static_cast<u32>( blob.size() ) ) );
	std::memcpy( copy, blob.data(), blob.size() );
	std::unique_ptr<EFCollisionMap> map( new EFCollisionMap );
	if ( !map->Init( copy ) ) {
		MMFree( copy );
		return nullptr;
	}
	return map;
}

inline std::vector<u8> EncodeMap( const ToolColMap& scene, ToolColMapLayout* layout = nullptr ) {
	std::vector<u8> blob;
	std::string error;
	EXPECT_TRUE( ToolCollisionMapWriter::Encode( scene, blob, error, layout ) ) << error;
	return blob;
}

inline ToolColPolygon Quad( const ToolVec3& a, const ToolVec3& b, const ToolVec3& c, const ToolVec3& d, u32 attrib = 0 ) {
	ToolColPolygon polygon;
	polygon.vertices = { a, b, c, d };
	polygon.attrib = attrib;
	return polygon;
}

// The oracle's view of a polygon: double plane and vertices.
struct OraclePolygon {
	std::vector<std::array<double, 3>>	v;
	std::array<double, 3>				n;
	double								d;
	ToolColAttribs						attribs;
	// A sphere around the vertices, to skip far polygons quickly.
	std::array<double, 3>				centre;
	double								reach;
};

inline std::vector<OraclePolygon> OracleOf( const ToolColMap& scene ) {
	std::vector<OraclePolygon> out;
	for ( const ToolColPolygon& polygon : scene.polygons ) {
		OraclePolygon p;
		std::array<double, 3> n = { 0.0, 0.0, 0.0 };
		const size_t count = polygon.vertices.size();
		for ( size_t i = 0; i < count; i++ ) {
			const ToolVec3& a = polygon.vertices[i];
			const ToolVec3& b = polygon.vertices[( i + 1 ) % count];
			p.v.push_back( { a[0], a[1], a[2] } );
			n[0] += ( double( a[1] ) - b[1] ) * ( double( a[2] ) + b[2] );
			n[1] += ( double( a[2] ) - b[2] ) * ( double( a[0] ) + b[0] );
			n[2] += ( double( a[0] ) - b[0] ) * ( double( a[1] ) + b[1] );
		}
		const double l = std::sqrt( n[0] * n[0] + n[1] * n[1] + n[2] * n[2] );
		p.n = { n[0] / l, n[1] / l, n[2] / l };
		p.d = -( p.n[0] * p.v[0][0] + p.n[1] * p.v[0][1] + p.n[2] * p.v[0][2] );
		p.attribs = scene.attribs[polygon.attrib];
		p.centre = { 0.0, 0.0, 0.0 };
		for ( const auto& v : p.v ) {
			for ( int k = 0; k < 3; k++ ) {
				p.centre[k] += v[k] / static_cast<double>( count );
			}
		}
		p.reach = 0.0;
		for ( const auto& v : p.v ) {
			const std::array<double, 3> r = { v[0] - p.centre[0], v[1] - p.centre[1], v[2] - p.centre[2] };
			p.reach = std::max( p.reach, std::sqrt( r[0] * r[0] + r[1] * r[1] + r[2] * r[2] ) );
		}
		out.push_back( p );
	}
	return out;
}

inline double OracleDot( const std::array<double, 3>& a, const std::array<double, 3>& b ) {
	return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Distance from s to the polygon (its area and boundary).
inline double OracleDistance( const OraclePolygon& p, const std::array<double, 3>& s ) {
	const size_t n = p.v.size();
	const double h = OracleDot( p.n, s ) + p.d;
	const std::array<double, 3> q = { s[0] - h * p.n[0], s[1] - h * p.n[1], s[2] - h * p.n[2] };
	bool inside = true;
	double best = 1e300;
	for ( size_t i = 0; i < n; i++ ) {
		const auto& a = p.v[i];
		const auto& b = p.v[( i + 1 ) % n];
		const std::array<double, 3> e = { b[0] - a[0], b[1] - a[1], b[2] - a[2] };
		const std::array<double, 3> w = { q[0] - a[0], q[1] - a[1], q[2] - a[2] };
		const std::array<double, 3> c = { e[1] * w[2] - e[2] * w[1], e[2] * w[0] - e[0] * w[2], e[0] * w[1] - e[1] * w[0] };
		inside = inside && OracleDot( c, p.n ) >= 0.0;
		const std::array<double, 3> ws = { s[0] - a[0], s[1] - a[1], s[2] - a[2] };
		double t = OracleDot( ws, e ) / OracleDot( e, e );
		t = t < 0.0 ? 0.0 : ( t > 1.0 ? 1.0 : t );
		const std::array<double, 3> r = { ws[0] - t * e[0], ws[1] - t * e[1], ws[2] - t * e[2] };
		best = std::min( best, std::sqrt( OracleDot( r, r ) ) );
	}
	return inside ? std::fabs( h ) : best;
}

// Where the ray start + t x displacement meets the polygon: t, or -1 for
// a miss. near is set when the outcome lies within kNear (1e-4 unless
// given) of a decision (back face, parallel, t range, an edge) while every
// other test passes or is near as well, so rounding could flip it.
inline double OracleRay( const OraclePolygon& p, const std::array<double, 3>& s, const std::array<double, 3>& dv,
						 bool& near, const double kNear = 1e-4 ) {
	near = false;
	const double den = OracleDot( p.n, dv );
	const bool oneSided = ( p.attribs.flags & 0x1 ) == 0;
	const bool front = !oneSided || den <= 0.0;
	const bool frontNear = oneSided && std::fabs( den ) < kNear;
	const bool steep = std::fabs( den ) >= 0.0005;
	const bool steepNear = std::fabs( std::fabs( den ) - 0.0005 ) < kNear;
	if ( std::fabs( den ) < 1e-12 ) {
		return -1.0;
	}
	const double t = ( -p.d - OracleDot( p.n, s ) ) / den;
	const bool range = t >= 0.0 && t <= 1.0;
	const bool rangeNear = std::fabs( t ) < kNear || std::fabs( t - 1.0 ) < kNear;
	const std::array<double, 3> hit = { s[0] + t * dv[0], s[1] + t * dv[1], s[2] + t * dv[2] };
	const size_t n = p.v.size();
	double outside = -1e300;
	for ( size_t i = 0; i < n; i++ ) {
		const auto& a = p.v[i];
		const auto& b = p.v[( i + 1 ) % n];
		const std::array<double, 3> e = { b[0] - a[0], b[1] - a[1], b[2] - a[2] };
		const std::array<double, 3> out = { e[1] * p.n[2] - e[2] * p.n[1], e[2] * p.n[0] - e[0] * p.n[2],
											e[0] * p.n[1] - e[1] * p.n[0] };
		const double l = std::sqrt( OracleDot( out, out ) );
		const std::array<double, 3> w = { hit[0] - a[0], hit[1] - a[1], hit[2] - a[2] };
		outside = std::max( outside, OracleDot( out, w ) / l );
	}
	const bool inside = outside <= 0.0;
	const bool insideNear = std::fabs( outside ) < kNear;
	const bool anyNear = frontNear || steepNear || rangeNear || insideNear;
	near = anyNear && ( front || frontNear ) && ( steep || steepNear ) && ( range || rangeNear ) &&
		   ( inside || insideNear );
	return front && steep && range && inside ? t : -1.0;
}

// Whether the segment passes farther than margin from the polygon's
// bounding sphere (then it can neither hit nor nearly hit it).
inline bool OracleFar( const OraclePolygon& p, const std::array<double, 3>& s, const std::array<double, 3>& dv,
					   const double margin ) {
	const std::array<double, 3> w = { p.centre[0] - s[0], p.centre[1] - s[1], p.centre[2] - s[2] };
	const double dd = dv[0] * dv[0] + dv[1] * dv[1] + dv[2] * dv[2];
	double t = dd > 0.0 ? ( w[0] * dv[0] + w[1] * dv[1] + w[2] * dv[2] ) / dd : 0.0;
	t = t < 0.0 ? 0.0 : ( t > 1.0 ? 1.0 : t );
	const std::array<double, 3> r = { w[0] - t * dv[0], w[1] - t * dv[1], w[2] - t * dv[2] };
	return std::sqrt( r[0] * r[0] + r[1] * r[1] + r[2] * r[2] ) > p.reach + margin;
}

inline bool OracleDetects( const ToolColAttribs& a, const u32 detect, const u32 udDetect ) {
	return ( a.detectedBy & detect ) != 0 || ( a.udDetectedBy & udDetect ) != 0;
}

#endif
