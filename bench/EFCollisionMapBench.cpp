// Speed of the collision map's queries over random maps of 10k and 50k
// convex polygons: sphere queries of radius 0.5 to 2 (with the polygons
// returned and tested per query), probe rays of 2 units, camera rays of 10, long rays
// of 50 and listener rays of 10, and the load (check and decode) of a
// map. Queries run from the caller's arrays and allocate nothing (the
// "heap blocks taken" counter stays 0). Each benchmark loads its map on
// the level heap, as a level does, and frees it at its end; the 50k map
// (triangles and quads over a larger cube) fits the default arena.
#include "bench/CollisionMapBenchMaps.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysicMgr.h"

#include <benchmark/benchmark.h>

namespace {

// Blocks held in both heaps: a query must leave it unchanged.
u32 HeapBlocks() {
	return _MemHeap[MM_GLOBAL_HEAP]->GetLiveBlocks() + _MemHeap[MM_LEVEL_HEAP]->GetLiveBlocks();
}

// Polygons whose mark holds query number mark: those the query tested.
u32 PolygonsMarked( const EFCollisionMap& map, const u32 mark ) {
	u32 count = 0;
	const u8* const end = map.GetBlob() + map.GetBlobSize();
	for ( const u8* at = reinterpret_cast<const u8*>( map.GetFirstPrimitive() ); at < end; ) {
		const EFEnvCollisionPrim* const prim = reinterpret_cast<const EFEnvCollisionPrim*>( at );
		count += prim->mui32CheckCount == mark ? 1 : 0;
		at += 28 + 28 * prim->mui16NbVertex;
	}
	return count;
}

// The sphere query of radius 0.5 to 2 at a random point of the map's cube.
EFGetPrimitivesInSphereData RandomSphere( std::mt19937& rng, const u32 count, EFEnvCollisionPrim** output,
										   const u32 capacity ) {
	std::uniform_real_distribution<f32> radius( 0.5f, 2.0f );
	const DTVector3d centre = RandomPoint( rng, Extent( count ) );
	return { DTSphere( centre, radius( rng ) ), 0xFFFFFFFF, 0xFFFFFFFF, output, capacity };
}

class CountingListener : public EFRayIntersectOut::Listener {
public:
	bool RayIntersectionOccured( const EFRayIntersectOut&, RayIntersectResult ) override {
		hits++;
		return true;
	}
	u64 hits = 0;
};

void BM_CollisionMapSphereQuery( benchmark::State& state ) {
	const std::unique_ptr<EFCollisionMap> map = Map( state, static_cast<u32>( state.range( 0 ) ) );
	if ( map == nullptr ) {
		return;
	}
	const u32 count = static_cast<u32>( state.range( 0 ) );
	std::mt19937 rng( 3 );
	EFEnvCollisionPrim* output[256];
	u64 found = 0;
	const u32 blocks = HeapBlocks();
	for ( auto _ : state ) {
		EFGetPrimitivesInSphereData query = RandomSphere( rng, count, output, 256 );
		EFPhysicMgr::msui32GetPrimCount++;
		found += map->GetPrimitivesInSphere( &query );
		benchmark::DoNotOptimize( query );
	}
	// Polygons tested, counted by their marks over a replay outside the timing.
	constexpr u32 kReplays = 1000;
	u64 tested = 0;
	std::mt19937 replay( 3 );
	for ( u32 i = 0; i < kReplays; i++ ) {
		EFGetPrimitivesInSphereData query = RandomSphere( replay, count, output, 256 );
		const u32 mark = ++EFPhysicMgr::msui32GetPrimCount;
		map->GetPrimitivesInSphere( &query );
		tested += PolygonsMarked( *map, mark );
	}
	state.counters["tested/query"] = static_cast<double>( tested ) / kReplays;
	state.counters["polygons/query"] = benchmark::Counter( static_cast<double>( found ), benchmark::Counter::kAvgIterations );
	state.counters["heap blocks taken"] = static_cast<double>( HeapBlocks() - blocks );
}

void BM_CollisionMapRay( benchmark::State& state ) {
	const std::unique_ptr<EFCollisionMap> map = Map( state, static_cast<u32>( state.range( 0 ) ) );
	if ( map == nullptr ) {
		return;
	}
	const f32 length = static_cast<f32>( state.range( 1 ) );
	const bool listen = state.range( 2 ) != 0;
	std::mt19937 rng( 5 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	CountingListener listener;
	const u32 blocks = HeapBlocks();
	for ( auto _ : state ) {
		DTVector3d d( unit( rng ), unit( rng ), unit( rng ) );
		d = d * ( length / std::sqrt( d * d + 1e-12f ) );
		RayIntersectIn in = { RandomPoint( rng, Extent( static_cast<u32>( state.range( 0 ) ) ) ), d, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0 };
		EFRayIntersectOut out = {};
		out.poListener = listen ? &listener : nullptr;
		f32 t = 1.0f;
		EFPhysicMgr::msui32GetPrimCount++;
		benchmark::DoNotOptimize( map->RayIntersect( in, out, t ) );
	}
	state.counters["heap blocks taken"] = static_cast<double>( HeapBlocks() - blocks );
}

void BM_CollisionMapLoad( benchmark::State& state ) {
	const std::vector<u8>& blob = Blob( static_cast<u32>( state.range( 0 ) ) );
	state.counters["blob MB"] = static_cast<double>( blob.size() ) / 1048576.0;
	for ( auto _ : state ) {
		u8* const copy = LevelHeapCopy( blob );
		if ( copy == nullptr ) {
			state.SkipWithError( "the map does not fit the level heap (raise ENGINE_ARENA_SIZE)" );
			break;
		}
		EFCollisionMap map;
		benchmark::DoNotOptimize( map.Init( copy ) );
	}
	state.SetBytesProcessed( static_cast<s64>( state.iterations() ) * static_cast<s64>( blob.size() ) );
}

}	// namespace

BENCHMARK( BM_CollisionMapSphereQuery )->Arg( 10000 )->Arg( 50000 );
// Probe, camera and long rays, then listener rays.
BENCHMARK( BM_CollisionMapRay )
	->Args( { 10000, 2, 0 } )->Args( { 10000, 10, 0 } )->Args( { 10000, 50, 0 } )->Args( { 10000, 10, 1 } )
	->Args( { 50000, 2, 0 } )->Args( { 50000, 10, 0 } )->Args( { 50000, 50, 0 } )->Args( { 50000, 10, 1 } );
BENCHMARK( BM_CollisionMapLoad )->Arg( 10000 )->Arg( 50000 )->Unit( benchmark::kMillisecond );
