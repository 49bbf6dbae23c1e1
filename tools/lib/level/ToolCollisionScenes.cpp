#include "tools/lib/level/ToolCollisionScenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

ToolColMap ToolRandomCollisionScene( const u32 seed, const u32 count, const f32 extent, const u32 maxVertices ) {
	std::mt19937 rng( seed );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	ToolColMap scene;
	scene.attribs.resize( 4 );
	scene.attribs[0].detectedBy = 0x1;
	scene.attribs[1].flags = 0x1;
	scene.attribs[1].detectedBy = 0x3;
	scene.attribs[2].flags = 0x2;
	scene.attribs[2].detectedBy = 0x2;
	scene.attribs[3].detectedBy = 0;
	scene.attribs[3].udDetectedBy = 0x4;
	for ( u32 i = 0; i < count; i++ ) {
		const u32 n = 3 + rng() % ( std::clamp( maxVertices, 3u, 32u ) - 2 );
		const std::array<double, 3> centre = { unit( rng ) * extent, unit( rng ) * extent, unit( rng ) * extent };
		std::array<double, 3> normal = { unit( rng ), unit( rng ), unit( rng ) };
		double length = std::sqrt( normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2] );
		if ( length < 0.1 ) {
			normal = { 0.0, 1.0, 0.0 };
			length = 1.0;
		}
		for ( double& v : normal ) {
			v /= length;
		}
		// Two axes spanning the plane.
		std::array<double, 3> u = std::fabs( normal[0] ) < 0.9 ? std::array<double, 3>{ 1.0, 0.0, 0.0 }
																: std::array<double, 3>{ 0.0, 1.0, 0.0 };
		const double along = u[0] * normal[0] + u[1] * normal[1] + u[2] * normal[2];
		for ( int k = 0; k < 3; k++ ) {
			u[k] -= along * normal[k];
		}
		const double ul = std::sqrt( u[0] * u[0] + u[1] * u[1] + u[2] * u[2] );
		for ( double& v : u ) {
			v /= ul;
		}
		const std::array<double, 3> w = { normal[1] * u[2] - normal[2] * u[1], normal[2] * u[0] - normal[0] * u[2],
										   normal[0] * u[1] - normal[1] * u[0] };
		const double radius = 0.5 + 2.5 * ( unit( rng ) + 1.0 );
		std::vector<double> angles( n );
		for ( double& a : angles ) {
			a = ( unit( rng ) + 1.0 ) * 3.14159265358979;
		}
		std::sort( angles.begin(), angles.end() );
		ToolColPolygon polygon;
		polygon.attrib = rng() % 4;
		for ( u32 k = 0; k < n; k++ ) {
			// Keep vertices apart so every edge has length.
			const double a = k == 0 || angles[k] - angles[k - 1] > 0.01 ? angles[k] : angles[k - 1] + 0.01;
			angles[k] = a;
			if ( a >= 2.0 * 3.14159265358979 - 0.01 ) {
				break;
			}
			ToolVec3 v;
			for ( int c = 0; c < 3; c++ ) {
				v[c] = static_cast<f32>( centre[c] + radius * ( std::cos( a ) * u[c] + std::sin( a ) * w[c] ) );
			}
			polygon.vertices.push_back( v );
		}
		if ( polygon.vertices.size() >= 3 ) {
			scene.polygons.push_back( polygon );
		}
	}
	return scene;
}

