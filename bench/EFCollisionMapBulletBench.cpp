// The collision map's queries side by side with Bullet's over the same
// maps (the 10k and 50k polygon maps of EFCollisionMapBench.cpp): rays of
// 2, 10 and 50 units (Bullet: btCollisionWorld::rayTest, closest hit) and
// sphere queries of radius 0.5 to 2 (Bullet: contactTest with a sphere of
// the same radius) against a btBvhTriangleMeshShape built once, outside
// the timing, from the map's polygons (fans; two-sided polygons both
// ways, one-sided ones wound to face as the map's and back faces filtered).
//
// Each benchmark times one fixed set of queries, engine and Bullet in
// turn in every iteration, and reports both times per query and their
// ratio (engine / Bullet). Before timing, every query is checked to find
// the same first hit in both: a ray's nearest hit distance, a sphere's
// nearest polygon distance from its centre, within 1e-3 relative (1e-3
// absolute below one unit), or nothing in both. A disagreement skips the
// benchmark with an error naming the query. Queries on a decision that
// single precision cannot settle are not drawn: rays with a component
// below 2^-7 (the map's walk treats such an axis as flat) or crossing a
// polygon's plane within 1e-4 of one of its edges, spheres reaching a
// polygon within 1e-4 of their radius.
#include "bench/CollisionMapBenchMaps.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"

#include <benchmark/benchmark.h>

#ifdef ENGINE_HAVE_BULLET
#include <btBulletCollisionCommon.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace {

constexpr u32 QUERIES = 2048;
constexpr f32 FLAT = 0.0078125f;
constexpr u32 TWO_SIDED = 0x1;
constexpr u32 SPHERE_CAPACITY = 256;
// Width of a decision band left out of the query sets.
constexpr double BAND = 1e-4;

typedef std::array<double, 3> D3;

D3 Of( const DTVector3d& v ) {
	return { v.x, v.y, v.z };
}

double Dot( const D3& a, const D3& b ) {
	return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

D3 Sub( const D3& a, const D3& b ) {
	return { a[0] - b[0], a[1] - b[1], a[2] - b[2] };
}

// Distance from p to the polygon record, in double precision.
double PolygonDistance( const EFEnvCollisionPrim& polygon, const D3& p ) {
	const u32 count = polygon.mui16NbVertex & 0x7FFF;
	const DTVector3d* const vertex = polygon.GetVertex();
	const EFEnvCollisionPrim::Plane* const edges = polygon.GetEdges();
	const double h = Dot( Of( polygon.moPlane.moNormal ), p ) + polygon.moPlane.mfD;
	bool inside = true;
	for ( u32 i = 0; i < count && inside; i++ ) {
		inside = Dot( Of( edges[i].moNormal ), p ) + edges[i].mfD <= 0.0;
	}
	if ( inside ) {
		return std::fabs( h );
	}
	double best = 1e30;
	for ( u32 i = 0; i < count; i++ ) {
		const D3 a = Of( vertex[i] );
		const D3 e = Sub( Of( vertex[( i + 1 ) % count] ), a );
		const D3 w = Sub( p, a );
		const double t = std::clamp( Dot( w, e ) / Dot( e, e ), 0.0, 1.0 );
		const D3 d = { w[0] - e[0] * t, w[1] - e[1] * t, w[2] - e[2] * t };
		best = std::min( best, std::sqrt( Dot( d, d ) ) );
	}
	return best;
}

// Every polygon of the map.
template <typename Visit>
void ForEachPolygon( const EFCollisionMap& map, Visit visit ) {
	const u8* const end = map.GetBlob() + map.GetBlobSize();
	for ( const u8* at = reinterpret_cast<const u8*>( map.GetFirstPrimitive() ); at < end; ) {
		const EFEnvCollisionPrim& polygon = *reinterpret_cast<const EFEnvCollisionPrim*>( at );
		visit( polygon );
		at += 28 + 28 * polygon.mui16NbVertex;
	}
}

bool Agree( const double engine, const double bullet ) {
	return std::fabs( engine - bullet ) <= 1e-3 * std::max( 1.0, std::max( engine, bullet ) );
}

// Query i's distances (negative: no hit) from both sides; when they
// disagree, skips the benchmark with both and returns false.
bool BothAgree( benchmark::State& state, const char* query, const u32 i, const double engine, const double bullet ) {
	if ( ( engine < 0.0 ) != ( bullet < 0.0 ) || ( engine >= 0.0 && !Agree( engine, bullet ) ) ) {
		char message[128];
		std::snprintf( message, sizeof( message ), "%s %u: engine %.6f, Bullet %.6f", query, i, engine, bullet );
		state.SkipWithError( message );
		return false;
	}
	return true;
}

// Bullet's side of one map: the triangle mesh, its bounding-volume tree
// and a world holding it, built once per map.
struct BulletMap {
	btTriangleMesh						mesh;
	std::unique_ptr<btBvhTriangleMeshShape>	shape;
	btCollisionObject					object;
	btDefaultCollisionConfiguration		configuration;
	btCollisionDispatcher				dispatcher{ &configuration };
	btDbvtBroadphase					broadphase;
	btCollisionWorld					world{ &dispatcher, &broadphase, &configuration };

	explicit BulletMap( const ToolColMap& scene ) {
		for ( const ToolColPolygon& polygon : scene.polygons ) {
			const std::vector<ToolVec3>& v = polygon.vertices;
			const bool both = ( scene.attribs[polygon.attrib].flags & TWO_SIDED ) != 0;
			const auto at = [&]( const size_t i ) { return btVector3( v[i][0], v[i][1], v[i][2] ); };
			// Fans wound as the polygon: the writer's normal is the first
			// fan's (v1 - v0) x (v2 - v0), as is Bullet's.
			for ( size_t i = 1; i + 1 < v.size(); i++ ) {
				mesh.addTriangle( at( 0 ), at( i ), at( i + 1 ) );
				if ( both ) {
					mesh.addTriangle( at( 0 ), at( i + 1 ), at( i ) );
				}
			}
		}
		shape = std::make_unique<btBvhTriangleMeshShape>( &mesh, true );
		object.setCollisionShape( shape.get() );
		world.addCollisionObject( &object );
		world.updateAabbs();
	}
};

BulletMap& BulletMapOf( const u32 count ) {
	static std::map<u32, std::unique_ptr<BulletMap>> maps;
	std::unique_ptr<BulletMap>& map = maps[count];
	if ( map == nullptr ) {
		map = std::make_unique<BulletMap>( BenchScene( count ) );
	}
	return *map;
}

// The nearest penetrating or touching contact's distance from the
// sphere's centre (the radius plus the contact's signed distance).
struct NearestContact : btCollisionWorld::ContactResultCallback {
	double	radius = 0.0;
	double	nearest = -1.0;

	btScalar addSingleResult( btManifoldPoint& point, const btCollisionObjectWrapper*, int, int,
							  const btCollisionObjectWrapper*, int, int ) override {
		const double distance = point.getDistance();
		if ( distance <= 0.0 && ( nearest < 0.0 || radius + distance < nearest ) ) {
			nearest = radius + distance;
		}
		return 0.0f;
	}
};

struct Timing {
	double	engine = 0.0;
	double	bullet = 0.0;
};

// Times engine() and bullet() over the set in every iteration, in turn,
// and reports both per query and their ratio.
template <typename Engine, typename Bullet>
void TimeBoth( benchmark::State& state, Engine engine, Bullet bullet ) {
	Timing total;
	for ( auto _ : state ) {
		const auto start = std::chrono::steady_clock::now();
		engine();
		const auto middle = std::chrono::steady_clock::now();
		bullet();
		const auto end = std::chrono::steady_clock::now();
		total.engine += std::chrono::duration<double, std::nano>( middle - start ).count();
		total.bullet += std::chrono::duration<double, std::nano>( end - middle ).count();
	}
	const double queries = static_cast<double>( state.iterations() ) * QUERIES;
	state.counters["engine ns/query"] = total.engine / queries;
	state.counters["Bullet ns/query"] = total.bullet / queries;
	state.counters["engine/Bullet"] = total.engine / total.bullet;
}

struct Ray {
	DTVector3d	start;
	DTVector3d	move;
};

// Whether the ray crosses a polygon's plane within the band of one of its
// edges.
bool GrazesAnEdge( const EFCollisionMap& map, const Ray& ray ) {
	bool grazes = false;
	ForEachPolygon( map, [&]( const EFEnvCollisionPrim& polygon ) {
		const D3 n = Of( polygon.moPlane.moNormal );
		const double den = Dot( n, Of( ray.move ) );
		const double t = den != 0.0 ? -( polygon.moPlane.mfD + Dot( n, Of( ray.start ) ) ) / den : -1.0;
		if ( grazes || t < 0.0 || t > 1.0 ) {
			return;
		}
		const D3 at = { ray.start.x + ray.move.x * t, ray.start.y + ray.move.y * t, ray.start.z + ray.move.z * t };
		double outside = -1e30;
		for ( u32 i = 0; i < ( polygon.mui16NbVertex & 0x7FFFu ); i++ ) {
			const EFEnvCollisionPrim::Plane& edge = polygon.GetEdges()[i];
			outside = std::max( outside, Dot( Of( edge.moNormal ), at ) + edge.mfD );
		}
		grazes = std::fabs( outside ) < BAND;
	} );
	return grazes;
}

// The benchmark's rays of length, none with a flat component or grazing
// an edge.
std::vector<Ray> Rays( const EFCollisionMap& map, const u32 count, const f32 length ) {
	std::mt19937 rng( 5 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	std::vector<Ray> rays;
	while ( rays.size() < QUERIES ) {
		DTVector3d d( unit( rng ), unit( rng ), unit( rng ) );
		d = d * ( length / std::sqrt( d * d + 1e-12f ) );
		const Ray ray = { RandomPoint( rng, Extent( count ) ), d };
		if ( std::fabs( d.x ) >= FLAT && std::fabs( d.y ) >= FLAT && std::fabs( d.z ) >= FLAT &&
			 !GrazesAnEdge( map, ray ) ) {
			rays.push_back( ray );
		}
	}
	return rays;
}

// The engine's nearest hit along the ray as a distance; -1 for none.
double EngineRay( EFCollisionMap& map, const Ray& ray ) {
	RayIntersectIn in = { ray.start, ray.move, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0 };
	EFRayIntersectOut out = {};
	f32 t = 1.0f;
	EFPhysicMgr::msui32GetPrimCount++;
	const RayIntersectResult result = map.RayIntersect( in, out, t );
	return result == PS_RAY_ENV ? static_cast<double>( t ) * std::sqrt( ray.move * ray.move ) : -1.0;
}

btCollisionWorld::ClosestRayResultCallback BulletRay( BulletMap& map, const Ray& ray ) {
	const btVector3 from( ray.start.x, ray.start.y, ray.start.z );
	const btVector3 to( ray.start.x + ray.move.x, ray.start.y + ray.move.y, ray.start.z + ray.move.z );
	btCollisionWorld::ClosestRayResultCallback closest( from, to );
	closest.m_flags = btTriangleRaycastCallback::kF_FilterBackfaces;
	map.world.rayTest( from, to, closest );
	return closest;
}

void BM_CollisionMapRayAgainstBullet( benchmark::State& state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	const f32 length = static_cast<f32>( state.range( 1 ) );
	const std::unique_ptr<EFCollisionMap> map = Map( state, count );
	if ( map == nullptr ) {
		return;
	}
	BulletMap& peer = BulletMapOf( count );
	static std::map<std::pair<u32, f32>, std::vector<Ray>> sets;
	std::vector<Ray>& rays = sets[{ count, length }];
	if ( rays.empty() ) {
		rays = Rays( *map, count, length );
	}
	u32 hits = 0;
	for ( u32 i = 0; i < QUERIES; i++ ) {
		const double engine = EngineRay( *map, rays[i] );
		const btCollisionWorld::ClosestRayResultCallback closest = BulletRay( peer, rays[i] );
		const double bullet = closest.hasHit() ? closest.m_closestHitFraction * static_cast<double>( length ) : -1.0;
		if ( !BothAgree( state, "ray", i, engine, bullet ) ) {
			return;
		}
		hits += engine >= 0.0 ? 1 : 0;
	}
	state.counters["hits"] = hits;
	TimeBoth(
		state,
		[&]() {
			for ( const Ray& ray : rays ) {
				RayIntersectIn in = { ray.start, ray.move, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0 };
				EFRayIntersectOut out = {};
				f32 t = 1.0f;
				EFPhysicMgr::msui32GetPrimCount++;
				benchmark::DoNotOptimize( map->RayIntersect( in, out, t ) );
			}
		},
		[&]() {
			for ( const Ray& ray : rays ) {
				benchmark::DoNotOptimize( BulletRay( peer, ray ).m_closestHitFraction );
			}
		} );
}

struct Sphere {
	DTVector3d	centre;
	f32			radius;
};

// The map benchmark's spheres (radius 0.5 to 2 at a random point), none
// reaching a polygon within the band of its radius, each with Bullet's
// sphere.
struct SphereSet {
	std::vector<Sphere>								spheres;
	std::vector<std::unique_ptr<btSphereShape>>		shapes;
	std::vector<std::unique_ptr<btCollisionObject>>	objects;
};

SphereSet Spheres( const EFCollisionMap& map, const u32 count ) {
	std::mt19937 rng( 3 );
	std::uniform_real_distribution<f32> radius( 0.5f, 2.0f );
	SphereSet set;
	while ( set.spheres.size() < QUERIES ) {
		const Sphere sphere = { RandomPoint( rng, Extent( count ) ), radius( rng ) };
		bool onEdge = false;
		const D3 centre = Of( sphere.centre );
		ForEachPolygon( map, [&]( const EFEnvCollisionPrim& polygon ) {
			const double h = Dot( Of( polygon.moPlane.moNormal ), centre ) + polygon.moPlane.mfD;
			onEdge = onEdge || ( std::fabs( h ) < sphere.radius + BAND &&
								 std::fabs( PolygonDistance( polygon, centre ) - sphere.radius ) < BAND );
		} );
		if ( onEdge ) {
			continue;
		}
		set.spheres.push_back( sphere );
		set.shapes.push_back( std::make_unique<btSphereShape>( sphere.radius ) );
		set.objects.push_back( std::make_unique<btCollisionObject>() );
		set.objects.back()->setCollisionShape( set.shapes.back().get() );
		set.objects.back()->getWorldTransform().setOrigin( btVector3( sphere.centre.x, sphere.centre.y, sphere.centre.z ) );
	}
	return set;
}

// The nearest polygon's distance from the centre among those the
// engine's query returns; -1 for none.
double EngineSphere( EFCollisionMap& map, const Sphere& sphere, EFEnvCollisionPrim** output ) {
	EFGetPrimitivesInSphereData query = { DTSphere( sphere.centre, sphere.radius ), 0xFFFFFFFF, 0xFFFFFFFF, output,
										  SPHERE_CAPACITY };
	EFPhysicMgr::msui32GetPrimCount++;
	const u32 found = map.GetPrimitivesInSphere( &query );
	double nearest = -1.0;
	for ( u32 i = 0; i < found; i++ ) {
		const double distance = PolygonDistance( *output[i], Of( sphere.centre ) );
		if ( distance <= sphere.radius && ( nearest < 0.0 || distance < nearest ) ) {
			nearest = distance;
		}
	}
	return nearest;
}

void BM_CollisionMapSphereAgainstBullet( benchmark::State& state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	const std::unique_ptr<EFCollisionMap> map = Map( state, count );
	if ( map == nullptr ) {
		return;
	}
	BulletMap& peer = BulletMapOf( count );
	static std::map<u32, SphereSet> sets;
	SphereSet& set = sets[count];
	if ( set.spheres.empty() ) {
		set = Spheres( *map, count );
	}
	const std::vector<Sphere>& spheres = set.spheres;
	const std::vector<std::unique_ptr<btCollisionObject>>& objects = set.objects;
	EFEnvCollisionPrim* output[SPHERE_CAPACITY];
	u32 touching = 0;
	for ( u32 i = 0; i < QUERIES; i++ ) {
		const double engine = EngineSphere( *map, spheres[i], output );
		NearestContact contacts;
		contacts.radius = spheres[i].radius;
		peer.world.contactTest( objects[i].get(), contacts );
		const double bullet = contacts.nearest;
		if ( !BothAgree( state, "sphere", i, engine, bullet ) ) {
			return;
		}
		touching += engine >= 0.0 ? 1 : 0;
	}
	state.counters["touching"] = touching;
	TimeBoth(
		state,
		[&]() {
			for ( const Sphere& sphere : spheres ) {
				EFGetPrimitivesInSphereData query = { DTSphere( sphere.centre, sphere.radius ), 0xFFFFFFFF, 0xFFFFFFFF,
													  output, SPHERE_CAPACITY };
				EFPhysicMgr::msui32GetPrimCount++;
				benchmark::DoNotOptimize( map->GetPrimitivesInSphere( &query ) );
			}
		},
		[&]() {
			for ( const std::unique_ptr<btCollisionObject>& object : objects ) {
				NearestContact contacts;
				peer.world.contactTest( object.get(), contacts );
				benchmark::DoNotOptimize( contacts.nearest );
			}
		} );
}

}	// namespace

BENCHMARK( BM_CollisionMapRayAgainstBullet )
	->Args( { 10000, 2 } )->Args( { 10000, 10 } )->Args( { 10000, 50 } )
	->Args( { 50000, 2 } )->Args( { 50000, 10 } )->Args( { 50000, 50 } );
BENCHMARK( BM_CollisionMapSphereAgainstBullet )->Arg( 10000 )->Arg( 50000 );

#endif
