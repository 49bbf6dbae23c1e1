// Speed of the collision map's queries over random maps of 10k and 50k
// convex polygons: sphere queries of radius 0.5 to 2 (with the polygons
// returned per query), probe rays of 2 units, camera rays of 10, long rays
// of 50 and listener rays of 10, and the load (check and decode) of a
// map. Queries run from the caller's arrays and allocate nothing.
#include "datatypes/memory/MMMemory.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysicMgr.h"
#include "tools/lib/level/ToolCollisionScenes.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<u8>& Blob( const u32 count ) {
	static std::map<u32, std::vector<u8>> blobs;
	std::vector<u8>& blob = blobs[count];
	if ( blob.empty() ) {
		std::string error;
		// The larger map keeps to small polygons so that it fits the heap.
		ToolCollisionMapWriter::Encode( ToolRandomCollisionScene( 51, count, 50.0f, count > 10000 ? 8 : 32 ), blob, error );
	}
	return blob;
}

EFCollisionMap* Map( const u32 count ) {
	static std::map<u32, std::unique_ptr<EFCollisionMap>> maps;
	std::unique_ptr<EFCollisionMap>& map = maps[count];
	if ( map == nullptr ) {
		const std::vector<u8>& blob = Blob( count );
		u8* const copy = static_cast<u8*>( MMMalloc( static_cast<u32>( blob.size() ) ) );
		if ( copy == nullptr ) {
			return nullptr;
		}
		std::memcpy( copy, blob.data(), blob.size() );
		map.reset( new EFCollisionMap );
		map->Init( copy );
	}
	return map.get();
}

DTVector3d RandomPoint( std::mt19937& rng ) {
	std::uniform_real_distribution<f32> unit( -50.0f, 50.0f );
	return DTVector3d( unit( rng ), unit( rng ), unit( rng ) );
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
	EFCollisionMap* const map = Map( static_cast<u32>( state.range( 0 ) ) );
	if ( map == nullptr ) {
		state.SkipWithError( "the map does not fit the heap" );
		return;
	}
	std::mt19937 rng( 3 );
	std::uniform_real_distribution<f32> radius( 0.5f, 2.0f );
	EFEnvCollisionPrim* output[256];
	u64 found = 0;
	for ( auto _ : state ) {
		EFGetPrimitivesInSphereData query = { DTSphere( RandomPoint( rng ), radius( rng ) ), 0xFFFFFFFF, 0xFFFFFFFF,
											  output, 256 };
		EFPhysicMgr::msui32GetPrimCount++;
		found += map->GetPrimitivesInSphere( &query );
		benchmark::DoNotOptimize( query );
	}
	state.counters["polygons/query"] = benchmark::Counter( static_cast<double>( found ), benchmark::Counter::kAvgIterations );
}

void BM_CollisionMapRay( benchmark::State& state ) {
	EFCollisionMap* const map = Map( static_cast<u32>( state.range( 0 ) ) );
	if ( map == nullptr ) {
		state.SkipWithError( "the map does not fit the heap" );
		return;
	}
	const f32 length = static_cast<f32>( state.range( 1 ) );
	const bool listen = state.range( 2 ) != 0;
	std::mt19937 rng( 5 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	CountingListener listener;
	for ( auto _ : state ) {
		DTVector3d d( unit( rng ), unit( rng ), unit( rng ) );
		d = d * ( length / std::sqrt( d * d + 1e-12f ) );
		RayIntersectIn in = { RandomPoint( rng ), d, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0 };
		EFRayIntersectOut out = {};
		out.poListener = listen ? &listener : nullptr;
		f32 t = 1.0f;
		EFPhysicMgr::msui32GetPrimCount++;
		benchmark::DoNotOptimize( map->RayIntersect( in, out, t ) );
	}
}

void BM_CollisionMapLoad( benchmark::State& state ) {
	const std::vector<u8>& blob = Blob( static_cast<u32>( state.range( 0 ) ) );
	for ( auto _ : state ) {
		u8* const copy = static_cast<u8*>( MMMalloc( static_cast<u32>( blob.size() ) ) );
		if ( copy == nullptr ) {
			state.SkipWithError( "the map does not fit the heap" );
			break;
		}
		std::memcpy( copy, blob.data(), blob.size() );
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
