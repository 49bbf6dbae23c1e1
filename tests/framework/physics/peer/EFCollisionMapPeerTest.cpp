// Collision-map rays against an independent collision library's ray cast
// over the same polygons, fan-triangulated into a bounding-volume mesh.
// The library reports every triangle the ray crosses; this test keeps the
// ones the map's rules accept (detect masks, one-sided front faces) and
// compares the nearest with the map's answer: polygon, t and normal. Cases
// within 1e-3 of a decision, and rays the map's flat rule excludes, are
// left out; most rays must be compared.

#include "framework/physics/CollisionMapTestScenes.h"

#include <map>
#include <random>

#ifndef ENGINE_PEER_MISSING
#include <BulletCollision/CollisionShapes/btBvhTriangleMeshShape.h>
#include <BulletCollision/CollisionShapes/btTriangleMesh.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>
#endif

namespace {

#ifdef ENGINE_PEER_MISSING

TEST( EFCollisionMapPeerTest, NeedsThePeerLibrary ) {
	FAIL() << "the collision library to compare with is not installed";
}

#else

constexpr u32 RAYS = 3000;
constexpr double BAND = 1e-3;
constexpr u32 REQUIRED_COMPARED = RAYS * 95 / 100;

struct PeerHit {
	size_t		polygon;
	double		t;
	btVector3	normal;		// the triangle's, as wound
};

// Records every hit and keeps the cast going (a fraction of 1 keeps the
// ray's full length).
class HitRecorder : public btTriangleRaycastCallback {
public:
	HitRecorder( const btVector3& from, const btVector3& to, const std::vector<size_t>& polygonOf )
		: btTriangleRaycastCallback( from, to, kF_KeepUnflippedNormal ), mPolygonOf( polygonOf ) {}
	btScalar reportHit( const btVector3& normal, const btScalar fraction, int, const int triangle ) override {
		hits.push_back( { mPolygonOf.at( static_cast<size_t>( triangle ) ), fraction, normal } );
		return 1.0f;
	}
	std::vector<PeerHit>			hits;

private:
	const std::vector<size_t>&	mPolygonOf;
};

TEST( EFCollisionMapPeerTest, NearestRayHitsAgreeWithTheCollisionLibrary ) {
	const ToolColMap scene = ToolLevelCollisionScene( 53, 10000 );
	ToolColMapLayout layout;
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
	ASSERT_NE( map, nullptr );
	std::map<const EFEnvCollisionPrim*, size_t> index;
	for ( size_t i = 0; i < layout.polygonOffsets.size(); i++ ) {
		index[reinterpret_cast<const EFEnvCollisionPrim*>( map->GetBlob() + 16 + layout.polygonOffsets[i] )] = i;
	}
	const std::vector<OraclePolygon> oracle = OracleOf( scene );

	btTriangleMesh mesh;
	std::vector<size_t> polygonOf;
	for ( size_t p = 0; p < scene.polygons.size(); p++ ) {
		const std::vector<ToolVec3>& v = scene.polygons[p].vertices;
		for ( size_t i = 1; i + 1 < v.size(); i++ ) {
			mesh.addTriangle( btVector3( v[0][0], v[0][1], v[0][2] ), btVector3( v[i][0], v[i][1], v[i][2] ),
							  btVector3( v[i + 1][0], v[i + 1][1], v[i + 1][2] ) );
			polygonOf.push_back( p );
		}
	}
	btBvhTriangleMeshShape shape( &mesh, true );

	std::mt19937 rng( 11 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	const u32 masks[] = { 0x1, 0x2, 0x3 };
	const f32 lengths[] = { 2.0f, 10.0f, 50.0f };
	u32 compared = 0;
	u32 hits = 0;
	u32 flat = 0;
	for ( u32 i = 0; i < RAYS; i++ ) {
		const DTVector3d start( unit( rng ) * 55.0f, unit( rng ) * 55.0f, unit( rng ) * 55.0f );
		DTVector3d dir( unit( rng ), unit( rng ), unit( rng ) );
		dir = dir * ( lengths[i % 3] / std::sqrt( dir * dir ) );
		if ( std::fabs( dir.x ) < 0.0078125f || std::fabs( dir.y ) < 0.0078125f || std::fabs( dir.z ) < 0.0078125f ) {
			flat++;
			continue;
		}
		const u32 detect = masks[i % 3];
		const std::array<double, 3> s = { start.x, start.y, start.z };
		const std::array<double, 3> dv = { dir.x, dir.y, dir.z };

		// Near a decision at single precision: an edge, the ends of the
		// ray, a grazing angle, or two polygons at nearly the same t.
		bool boundary = false;
		std::vector<double> ts;
		for ( const OraclePolygon& p : oracle ) {
			if ( !OracleDetects( p.attribs, detect, 0 ) || OracleFar( p, s, dv, 0.1 ) ) {
				continue;
			}
			bool near = false;
			const double t = OracleRay( p, s, dv, near, BAND );
			boundary = boundary || near;
			if ( t >= 0.0 ) {
				ts.push_back( t );
			}
		}
		std::sort( ts.begin(), ts.end() );
		if ( boundary || ( ts.size() > 1 && ts[1] - ts[0] < BAND ) ) {
			continue;
		}

		const btVector3 from( start.x, start.y, start.z );
		const btVector3 to( start.x + dir.x, start.y + dir.y, start.z + dir.z );
		HitRecorder recorder( from, to, polygonOf );
		shape.performRaycast( &recorder, from, to );
		const PeerHit* nearest = nullptr;
		for ( const PeerHit& hit : recorder.hits ) {
			const ToolColAttribs& attribs = scene.attribs[scene.polygons[hit.polygon].attrib];
			const bool back = hit.normal.dot( to - from ) > 0.0f;
			if ( !OracleDetects( attribs, detect, 0 ) || ( back && ( attribs.flags & 0x1 ) == 0 ) ) {
				continue;
			}
			if ( nearest == nullptr || hit.t < nearest->t ) {
				nearest = &hit;
			}
		}

		RayIntersectIn in = { start, dir, 0, 0, detect, 0, 0 };
		EFRayIntersectOut out = {};
		f32 t = 1.0f;
		EFPhysicMgr::msui32GetPrimCount++;
		const RayIntersectResult result = map->RayIntersect( in, out, t );
		compared++;
		if ( nearest == nullptr ) {
			EXPECT_EQ( result, PS_RAY_NONE ) << "ray " << i;
			continue;
		}
		hits++;
		ASSERT_EQ( result, PS_RAY_ENV ) << "ray " << i;
		EXPECT_EQ( index.at( out.poEnvCollider ), nearest->polygon ) << "ray " << i;
		EXPECT_NEAR( t, nearest->t, BAND ) << "ray " << i;
		const btVector3 normal = nearest->normal.normalized();
		const DTVector3d& mapNormal = out.poEnvCollider->moPlane.moNormal;
		const f32 sign = normal.dot( btVector3( mapNormal.x, mapNormal.y, mapNormal.z ) ) < 0.0f ? -1.0f : 1.0f;
		EXPECT_NEAR( sign * normal.x(), mapNormal.x, BAND ) << "ray " << i;
		EXPECT_NEAR( sign * normal.y(), mapNormal.y, BAND ) << "ray " << i;
		EXPECT_NEAR( sign * normal.z(), mapNormal.z, BAND ) << "ray " << i;
	}
	EXPECT_GE( compared, REQUIRED_COMPARED - flat );
	EXPECT_GT( hits, compared / 4 );
	::testing::Test::RecordProperty( "flat rays excluded", static_cast<int>( flat ) );
}

#endif

}	// namespace
