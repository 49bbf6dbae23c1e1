// Line queries against an independent collision library's ray cast over
// a bounding-volume tree of the same random mesh, back faces filtered:
// the same triangles with the same fractions. The library works in
// single precision with its own edge tolerance, so rays passing within
// 1e-3 of a triangle edge or meeting a plane within 1e-3 of their ends
// are left out; most rays must be compared.

#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"

#include "../world/RpWorldTestScenes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

#ifndef ENGINE_PEER_MISSING
#include <BulletCollision/CollisionShapes/btBvhTriangleMeshShape.h>
#include <BulletCollision/CollisionShapes/btTriangleMesh.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>
#endif

namespace {

constexpr u32 RAYS = 2000;
constexpr f64 BAND = 1e-3;
constexpr u32 REQUIRED_COMPARED = RAYS * 95 / 100;
constexpr f32 FRACTION_TOLERANCE = 1e-4f;

class RpCollisionPeerTest : public RpWorldSceneTest {};

#ifdef ENGINE_PEER_MISSING

TEST_F( RpCollisionPeerTest, NeedsThePeerLibrary ) {
	FAIL() << "the collision library to compare with is not installed";
}

#else

typedef std::vector<std::pair<s32, f32>> Hits;

RpCollisionTriangle* Collect( RpIntersection*, RpCollisionTriangle* triangle, const f32 distance, void* data ) {
	static_cast<Hits*>( data )->push_back( { triangle->index, distance } );
	return triangle;
}

struct PeerHits : btTriangleRaycastCallback {
	PeerHits( const btVector3& from, const btVector3& to ) : btTriangleRaycastCallback( from, to, kF_FilterBackfaces ) {}
	btScalar reportHit( const btVector3&, const btScalar fraction, int, const int triangleIndex ) override {
		hits.push_back( { triangleIndex, static_cast<f32>( fraction ) } );
		return m_hitFraction;		// keep every hit along the whole ray
	}
	Hits hits;
};

struct D3 {
	f64 x, y, z;
};

D3 Sub( const D3& a, const D3& b ) {
	return { a.x - b.x, a.y - b.y, a.z - b.z };
}

D3 Cross( const D3& a, const D3& b ) {
	return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
}

f64 Dot( const D3& a, const D3& b ) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

// True when the ray passes near enough to an edge, or meets a plane near
// enough to one of its ends, for single precision to decide either way.
bool Ambiguous( const RpTestSoup& soup, const D3& s, const D3& e ) {
	for ( const std::array<u32, 3>& t : soup.triangles ) {
		D3 v[3];
		for ( u32 k = 0; k < 3; k++ ) {
			v[k] = { soup.positions[t[k] * 3], soup.positions[t[k] * 3 + 1], soup.positions[t[k] * 3 + 2] };
		}
		const D3 n = Cross( Sub( v[1], v[0] ), Sub( v[2], v[0] ) );
		const f64 n2 = Dot( n, n );
		const f64 da = Dot( n, Sub( s, v[0] ) );
		const f64 db = Dot( n, Sub( e, v[0] ) );
		if ( n2 == 0.0 || std::fabs( da - db ) < 1e-12 ) {
			continue;
		}
		const f64 f = da / ( da - db );
		if ( f < -BAND || f > 1.0 + BAND ) {
			continue;
		}
		const D3 p = { s.x + ( e.x - s.x ) * f, s.y + ( e.y - s.y ) * f, s.z + ( e.z - s.z ) * f };
		f64 least = 1.0;
		for ( u32 k = 0; k < 3; k++ ) {
			const D3& a = v[k];
			const D3& b = v[( k + 1 ) % 3];
			least = std::min( least, Dot( Cross( Sub( b, a ), Sub( p, a ) ), n ) / n2 );
		}
		const bool nearEnd = std::fabs( f ) < BAND || std::fabs( f - 1.0 ) < BAND;
		if ( least > -BAND && ( least < BAND || nearEnd ) ) {
			return true;
		}
	}
	return false;
}

TEST_F( RpCollisionPeerTest, LinesFindTheSameFrontFacesAtTheSameFractions ) {
	const RpTestSoup soup = RpTestRandomSoup( 11, 1500, 50.0f );
	const ToolGeometry stored = ToolCollisionTreeBuilder::Geometry( soup.positions, soup.triangles, 4 );
	const std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolGeometryWriter::Write( w, stored ); } );
	RpGeometry* const geometry = RpGeometryStreamRead( OpenAt( bytes, TOOL_CHUNK_GEOMETRY ) );
	ASSERT_NE( geometry, nullptr );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpGeometryDestroy( geometry );

	btTriangleMesh mesh;
	for ( const std::array<u32, 3>& t : soup.triangles ) {
		btVector3 v[3];
		for ( u32 k = 0; k < 3; k++ ) {
			v[k] = btVector3( soup.positions[t[k] * 3], soup.positions[t[k] * 3 + 1], soup.positions[t[k] * 3 + 2] );
		}
		mesh.addTriangle( v[0], v[1], v[2] );
	}
	btBvhTriangleMeshShape shape( &mesh, true );

	std::mt19937 random( 5 );
	std::uniform_real_distribution<f32> place( -70.0f, 70.0f );
	u32 compared = 0;
	u32 hits = 0;
	for ( u32 i = 0; i < RAYS; i++ ) {
		const RwV3d start = { place( random ), place( random ), place( random ) };
		const RwV3d end = { place( random ), place( random ), place( random ) };
		if ( Ambiguous( soup, { start.x, start.y, start.z }, { end.x, end.y, end.z } ) ) {
			continue;
		}
		compared++;
		RpIntersection query = {};
		query.type = rpINTERSECTLINE;
		query.t.line = { start, end };
		Hits ours;
		ASSERT_EQ( RpAtomicForAllIntersections( atomic, &query, Collect, &ours ), atomic );
		const btVector3 from( start.x, start.y, start.z );
		const btVector3 to( end.x, end.y, end.z );
		PeerHits peer( from, to );
		shape.performRaycast( &peer, from, to );
		std::sort( ours.begin(), ours.end() );
		std::sort( peer.hits.begin(), peer.hits.end() );
		ASSERT_EQ( ours.size(), peer.hits.size() ) << i;
		for ( size_t k = 0; k < ours.size(); k++ ) {
			EXPECT_EQ( ours[k].first, peer.hits[k].first ) << i;
			EXPECT_NEAR( ours[k].second, peer.hits[k].second, FRACTION_TOLERANCE ) << i;
		}
		hits += static_cast<u32>( ours.size() );
	}
	EXPECT_GE( compared, REQUIRED_COMPARED );
	EXPECT_GT( hits, RAYS / 4 );
	RpAtomicDestroy( atomic );
}

#endif

}	// namespace
