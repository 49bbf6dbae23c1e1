/*
	The random collision maps of the map benchmarks (10k and 50k convex
	polygons at the 10k map's density), the scenes they are written from,
	and their loading onto the level heap, as a level holds its maps.
*/
#ifndef COLLISION_MAP_BENCH_MAPS_H
#define COLLISION_MAP_BENCH_MAPS_H

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/physics/EFCollisionMap.h"
#include "tools/lib/level/ToolCollisionScenes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

// Polygons of the larger maps: triangles and quads, so that 50k polygons
// fit the level heap of the default arena (11.7 MB).
constexpr u32 ENV_LARGE_MAP_VERTICES = 4;

// Half the side of the cube a map of count polygons fills.
inline f32 Extent( const u32 count ) {
	return 50.0f * std::cbrt( static_cast<f32>( count ) / 10000.0f );
}

// The scene of a map of count polygons. Larger maps spread over a larger
// cube, keeping the 10k map's density, and keep to smaller polygons.
inline ToolColMap BenchScene( const u32 count ) {
	const bool large = count > 10000;
	return ToolRandomCollisionScene( 51, count, Extent( count ), large ? ENV_LARGE_MAP_VERTICES : 32 );
}

inline const std::vector<u8>& Blob( const u32 count ) {
	static std::map<u32, std::vector<u8>> blobs;
	std::vector<u8>& blob = blobs[count];
	if ( blob.empty() ) {
		std::string error;
		ToolCollisionMapWriter::Encode( BenchScene( count ), blob, error );
	}
	return blob;
}

// A copy of the blob on the level heap, where a level's maps live; null
// when it does not fit.
inline u8* LevelHeapCopy( const std::vector<u8>& blob ) {
	if ( ( ui32MemFlag & MM_FLAG_INITIALISED ) == 0 ) {
		MMInitialise();
	}
	// A request the level heap cannot serve goes on to the global heap, and
	// marks the level heap full for requests at least as large until one of
	// its blocks is freed: ask only for what fits.
	const DTMemHeap& heap = *_MemHeap[MM_LEVEL_HEAP];
	if ( blob.size() + 64 > heap.GetSize() - heap.GetBytesInUse() ) {
		return nullptr;
	}
	MMChangeHeap( MM_LEVEL_HEAP );
	u8* const copy = static_cast<u8*>( MMMalloc( static_cast<u32>( blob.size() ) ) );
	MMReplaceHeap();
	if ( copy != nullptr ) {
		std::memcpy( copy, blob.data(), blob.size() );
	}
	return copy;
}

// The map of one benchmark, loaded at its start and freed at its end, so
// that no benchmark holds heap room another needs.
inline std::unique_ptr<EFCollisionMap> Map( benchmark::State& state, const u32 count ) {
	const std::vector<u8>& blob = Blob( count );
	state.counters["blob MB"] = static_cast<double>( blob.size() ) / 1048576.0;
	u8* const copy = LevelHeapCopy( blob );
	if ( copy == nullptr ) {
		state.SkipWithError( "the map does not fit the level heap (raise ENGINE_ARENA_SIZE)" );
		return nullptr;
	}
	std::unique_ptr<EFCollisionMap> map( new EFCollisionMap );
	if ( !map->Init( copy ) ) {
		MMFree( copy );
		state.SkipWithError( "the map does not load" );
		return nullptr;
	}
	return map;
}

inline DTVector3d RandomPoint( std::mt19937& rng, const f32 extent ) {
	std::uniform_real_distribution<f32> unit( -extent, extent );
	return DTVector3d( unit( rng ), unit( rng ), unit( rng ) );
}

#endif
