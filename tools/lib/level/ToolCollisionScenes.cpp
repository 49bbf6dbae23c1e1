#include "tools/lib/level/ToolCollisionScenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace {

enum SceneAttrib : u32 { ONE_SIDED, TWO_SIDED, MOTION_FILTER, USER_DETECT, ATTRIB_COUNT };

void AddSceneAttribs( ToolColMap& scene ) {
	scene.attribs.resize( ATTRIB_COUNT );
	scene.attribs[ONE_SIDED].detectedBy = 0x1;
	scene.attribs[TWO_SIDED].flags = 0x1;
	scene.attribs[TWO_SIDED].detectedBy = 0x3;
	scene.attribs[MOTION_FILTER].flags = 0x2;
	scene.attribs[MOTION_FILTER].detectedBy = 0x2;
	scene.attribs[USER_DETECT].detectedBy = 0;
	scene.attribs[USER_DETECT].udDetectedBy = 0x4;
}

ToolVec3 Offset( const ToolVec3& p, const f32 x, const f32 y, const f32 z ) {
	return { p[0] + x, p[1] + y, p[2] + z };
}

// The parallelogram corner, corner + a, corner + a + b, corner + b: its
// front face points along a x b.
void AddQuad( ToolColMap& scene, const ToolVec3& corner, const ToolVec3& a, const ToolVec3& b, const u32 attrib ) {
	ToolColPolygon quad;
	quad.vertices = { corner, Offset( corner, a[0], a[1], a[2] ), Offset( corner, a[0] + b[0], a[1] + b[1], a[2] + b[2] ),
					  Offset( corner, b[0], b[1], b[2] ) };
	quad.attrib = attrib;
	scene.polygons.push_back( quad );
}

// Random convex polygons on circles of random planes, appended to scene
// until it holds count.
void AddRandomPolygons( ToolColMap& scene, std::mt19937& rng, const u32 count, const f32 extent, const u32 maxVertices ) {
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	for ( u32 i = static_cast<u32>( scene.polygons.size() ); i < count; i++ ) {
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
		polygon.attrib = rng() % ATTRIB_COUNT;
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
}

}	// namespace

ToolColMap ToolRandomCollisionScene( const u32 seed, const u32 count, const f32 extent, const u32 maxVertices ) {
	std::mt19937 rng( seed );
	ToolColMap scene;
	AddSceneAttribs( scene );
	AddRandomPolygons( scene, rng, count, extent, maxVertices );
	return scene;
}

ToolColMap ToolLevelCollisionScene( const u32 seed, const u32 count, const f32 extent, const u32 maxVertices ) {
	constexpr f32 kRoom = 16.0f;
	constexpr f32 kHeight = 6.0f;
	constexpr f32 kGap = 2.0f;
	constexpr u32 kSteps = 10;
	constexpr f32 kRise = 0.25f;
	constexpr f32 kTread = 0.4f;
	constexpr f32 kStairWidth = 3.0f;
	constexpr u32 kRoomPolygons = 6 + 2 * kSteps + 1;
	std::mt19937 rng( seed );
	ToolColMap scene;
	AddSceneAttribs( scene );
	const u32 across = static_cast<u32>( 2.0f * extent / ( kRoom + kGap ) );
	const u32 storeys = static_cast<u32>( 2.0f * extent / ( kHeight + 14.0f ) );
	for ( u32 level = 0; level < storeys; level++ ) {
		for ( u32 row = 0; row < across; row++ ) {
			for ( u32 column = 0; column < across; column++ ) {
				if ( scene.polygons.size() + kRoomPolygons > count ) {
					break;
				}
				const f32 x = -extent + static_cast<f32>( column ) * ( kRoom + kGap );
				const f32 z = -extent + static_cast<f32>( row ) * ( kRoom + kGap );
				const f32 y = -extent + 5.0f + static_cast<f32>( level ) * ( kHeight + 14.0f );
				const ToolVec3 o = { x, y, z };
				// Walls alternate between one- and two-sided, rooms between
				// the filtered attributes for their stairs and ramp.
				const u32 wall = ( row + column ) % 2 == 0 ? ONE_SIDED : TWO_SIDED;
				const u32 special = ( row + column + level ) % 2 == 0 ? MOTION_FILTER : USER_DETECT;
				AddQuad( scene, o, { 0, 0, kRoom }, { kRoom, 0, 0 }, ONE_SIDED );
				AddQuad( scene, Offset( o, 0, kHeight, 0 ), { kRoom, 0, 0 }, { 0, 0, kRoom }, ONE_SIDED );
				AddQuad( scene, o, { 0, kHeight, 0 }, { 0, 0, kRoom }, wall );
				AddQuad( scene, Offset( o, kRoom, 0, 0 ), { 0, 0, kRoom }, { 0, kHeight, 0 }, wall );
				AddQuad( scene, o, { kRoom, 0, 0 }, { 0, kHeight, 0 }, wall );
				AddQuad( scene, Offset( o, 0, 0, kRoom ), { 0, kHeight, 0 }, { kRoom, 0, 0 }, wall );
				for ( u32 step = 0; step < kSteps; step++ ) {
					const ToolVec3 riser = Offset( o, 2.0f + kTread * static_cast<f32>( step ), kRise * static_cast<f32>( step ), 2.0f );
					AddQuad( scene, riser, { 0, 0, kStairWidth }, { 0, kRise, 0 }, special );
					AddQuad( scene, Offset( riser, 0, kRise, 0 ), { 0, 0, kStairWidth }, { kTread, 0, 0 }, special );
				}
				AddQuad( scene, Offset( o, 8.0f, 0, 10.0f ), { 0, 0, 3.0f }, { 6.0f, 2.5f, 0 }, special );
			}
		}
	}
	AddRandomPolygons( scene, rng, count, extent, maxVertices );
	return scene;
}
