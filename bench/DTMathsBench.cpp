// Engine matrices: a batch of points through DTMatrix::TransformPoints (one
// call of the library's array transform) against the same points one at a
// time through TransformPoint.

#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const RwMemoryFunctions engineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };

constexpr u32 POINTS = 1000;

// Opens the library's vector module in an instance of its own, without a
// device: the transforms go through the module's own routines.
class VectorModule {
public:
	VectorModule() {
		RwEngineInstance = &staticGlobals;
		staticGlobals.freeListAllocHook = MallocWrapper;
		staticGlobals.freeListFreeHook = FreeWrapper;
		_rwFreeListEnable( false );
		_rwMemoryOpen( &engineMemory );
		offset = static_cast<s32>( sizeof( RwGlobals ) );
		instance = static_cast<RwGlobals*>( std::calloc( 1, static_cast<size_t>( offset ) + sizeof( RwVectorGlobals ) ) );
		std::memcpy( instance, &staticGlobals, sizeof( RwGlobals ) );
		RwEngineInstance = instance;
		_rwVectorOpen( instance, offset, 0 );
	}
	~VectorModule() {
		_rwVectorClose( instance, offset, 0 );
		RwEngineInstance = &staticGlobals;
		_rwMemoryClose();
		std::free( instance );
	}

private:
	RwGlobals*	instance = nullptr;
	s32			offset = 0;
};

DTMatrix ExampleMatrix() {
	DTMatrix m;
	std::memset( &m, 0, sizeof( m ) );
	m.SetToRotation( DTVector3d( 0.3f, -1.1f, 2.0f ) );
	m.oMat.pos = { 1.0f, -2.0f, 5.0f };
	return m;
}

std::vector<DTVector3d> ExamplePoints() {
	std::vector<DTVector3d> points;
	for ( u32 i = 0; i < POINTS; i++ ) {
		points.emplace_back( 0.01f * i, 3.0f - 0.02f * i, 0.5f );
	}
	return points;
}

void BM_DTMatrixTransformPointsBatch( benchmark::State& state ) {
	const VectorModule module;
	const DTMatrix m = ExampleMatrix();
	const std::vector<DTVector3d> in = ExamplePoints();
	std::vector<DTVector3d> out( in.size() );
	for ( auto _ : state ) {
		m.TransformPoints( in.data(), out.data(), POINTS );
		benchmark::DoNotOptimize( out.data() );
	}
	state.SetItemsProcessed( state.iterations() * POINTS );
}
BENCHMARK( BM_DTMatrixTransformPointsBatch );

void BM_DTMatrixTransformPointOneByOne( benchmark::State& state ) {
	const VectorModule module;
	const DTMatrix m = ExampleMatrix();
	const std::vector<DTVector3d> in = ExamplePoints();
	std::vector<DTVector3d> out( in.size() );
	for ( auto _ : state ) {
		for ( u32 i = 0; i < POINTS; i++ ) {
			m.TransformPoint( in[i], out[i] );
		}
		benchmark::DoNotOptimize( out.data() );
	}
	state.SetItemsProcessed( state.iterations() * POINTS );
}
BENCHMARK( BM_DTMatrixTransformPointOneByOne );

} // namespace
