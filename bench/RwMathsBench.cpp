// Library maths and frames: table square roots against the C library,
// array transforms through the module's routine and an installed one,
// the inversion paths, LTM queries and the once-a-frame dirty sync.

#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwFreeList.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const RwMemoryFunctions engineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };

// Opens the vector, matrix and frame modules in an instance of their own,
// without a device, as the engine's start would.
class MathsModules {
public:
	MathsModules() {
		RwEngineInstance = &staticGlobals;
		staticGlobals.freeListAllocHook = MallocWrapper;
		staticGlobals.freeListFreeHook = FreeWrapper;
		_rwFreeListEnable( false );
		_rwMemoryOpen( &engineMemory );
		const s32 head = static_cast<s32>( sizeof( RwGlobals ) );
		vectorOffset = head;
		matrixOffset = vectorOffset + static_cast<s32>( sizeof( RwVectorGlobals ) );
		frameOffset = matrixOffset + static_cast<s32>( sizeof( RwMatrixGlobals ) );
		const size_t size = static_cast<size_t>( frameOffset ) + sizeof( RwFrameGlobals );
		instance = static_cast<RwGlobals*>( std::calloc( 1, size ) );
		std::memcpy( instance, &staticGlobals, sizeof( RwGlobals ) );
		RwEngineInstance = instance;
		_rwVectorOpen( instance, vectorOffset, 0 );
		_rwMatrixOpen( instance, matrixOffset, 0 );
		_rwFrameOpen( instance, frameOffset, 0 );
	}
	~MathsModules() {
		_rwFrameClose( instance, frameOffset, 0 );
		_rwMatrixClose( instance, matrixOffset, 0 );
		_rwVectorClose( instance, vectorOffset, 0 );
		RwEngineInstance = &staticGlobals;
		_rwMemoryClose();
		std::free( instance );
	}

private:
	RwGlobals*	instance = nullptr;
	s32			vectorOffset = 0;
	s32			matrixOffset = 0;
	s32			frameOffset = 0;
};

std::vector<f32> SqrtInputs() {
	std::vector<f32> inputs;
	for ( f32 x = 1e-4f; x < 1e6f; x *= 1.01f ) {
		inputs.push_back( x );
	}
	return inputs;
}

template< typename Root >
void RunRoot( benchmark::State& state, Root root, const bool inverse ) {
	const MathsModules modules;
	const std::vector<f32> inputs = SqrtInputs();
	f64 worst = 0.0;
	for ( const f32 x : inputs ) {
		const f64 exact = inverse ? 1.0 / std::sqrt( static_cast<f64>( x ) ) : std::sqrt( static_cast<f64>( x ) );
		worst = std::fmax( worst, std::fabs( root( x ) - exact ) / exact );
	}
	for ( auto _ : state ) {
		f32 sum = 0.0f;
		for ( const f32 x : inputs ) {
			sum += root( x );
		}
		benchmark::DoNotOptimize( sum );
	}
	state.SetItemsProcessed( state.iterations() * static_cast<s64>( inputs.size() ) );
	state.counters["maxRelError"] = worst;
}

void BM_RwSqrt( benchmark::State& state ) { RunRoot( state, _rwSqrt, false ); }
void BM_StdSqrt( benchmark::State& state ) { RunRoot( state, []( f32 x ) { return std::sqrt( x ); }, false ); }
void BM_RwInvSqrt( benchmark::State& state ) { RunRoot( state, _rwInvSqrt, true ); }
void BM_StdInvSqrt( benchmark::State& state ) { RunRoot( state, []( f32 x ) { return 1.0f / std::sqrt( x ); }, true ); }

RwMatrix SampleMatrix() {
	RwMatrix m;
	_rwMatrixSetIdentity( &m );
	const RwV3d axis = { 1.0f, 2.0f, 3.0f };
	RwMatrixRotate( &m, &axis, 33.0f, rwCOMBINEREPLACE );
	const RwV3d move = { 4.0f, 5.0f, 6.0f };
	RwMatrixTranslate( &m, &move, rwCOMBINEPOSTCONCAT );
	return m;
}

// A stand-in for a device's routine: two components at a time.
RwV3d* PairedPoints( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* m ) {
	for ( s32 i = 0; i < count; i++ ) {
		const RwV3d v = in[i];
		const f32 x = v.x * m->right.x + v.y * m->up.x + v.z * m->at.x + m->pos.x;
		const f32 y = v.x * m->right.y + v.y * m->up.y + v.z * m->at.y + m->pos.y;
		out[i].z = v.x * m->right.z + v.y * m->up.z + v.z * m->at.z + m->pos.z;
		out[i].x = x;
		out[i].y = y;
	}
	return out;
}

void TransformPoints( benchmark::State& state, const RwVectorMultFn installed ) {
	const MathsModules modules;
	_rwVectorSetMultFn( installed, nullptr );
	const RwMatrix m = SampleMatrix();
	std::vector<RwV3d> points( static_cast<size_t>( state.range( 0 ) ), RwV3d{ 1.0f, 2.0f, 3.0f } );
	std::vector<RwV3d> out( points.size() );
	for ( auto _ : state ) {
		RwV3dTransformPoints( out.data(), points.data(), static_cast<s32>( points.size() ), &m );
		benchmark::DoNotOptimize( out.data() );
	}
	state.SetItemsProcessed( state.iterations() * state.range( 0 ) );
}

void BM_TransformPointsOwn( benchmark::State& state ) { TransformPoints( state, nullptr ); }
void BM_TransformPointsInstalled( benchmark::State& state ) { TransformPoints( state, PairedPoints ); }

void Invert( benchmark::State& state, const u32 flags ) {
	const MathsModules modules;
	RwMatrix m = SampleMatrix();
	m.flags = flags;
	RwMatrix inverse;
	for ( auto _ : state ) {
		RwMatrixInvert( &inverse, &m );
		benchmark::DoNotOptimize( inverse );
	}
}

void BM_InvertOrthonormal( benchmark::State& state ) { Invert( state, rwMATRIXTYPEORTHONORMAL ); }
void BM_InvertGeneral( benchmark::State& state ) { Invert( state, 0 ); }

// Hierarchies of ten frames: a root with a chain of three and six leaves.
std::vector<RwFrame*> BuildHierarchy() {
	std::vector<RwFrame*> frames;
	frames.push_back( RwFrameCreate() );
	for ( s32 i = 1; i < 10; i++ ) {
		RwFrame* const frame = RwFrameCreate();
		RwFrameAddChild( frames[i < 4 ? i - 1 : 3], frame );
		frames.push_back( frame );
	}
	return frames;
}

void GetLTM( benchmark::State& state, const bool dirty ) {
	const MathsModules modules;
	const std::vector<RwFrame*> frames = BuildHierarchy();
	_rwFrameSyncDirty();
	const RwV3d step = { 0.0f, 0.001f, 0.0f };
	for ( auto _ : state ) {
		if ( dirty ) {
			RwFrameTranslate( frames[1], &step, rwCOMBINEPOSTCONCAT );
		}
		benchmark::DoNotOptimize( RwFrameGetLTM( frames[9] ) );
	}
	_rwFrameSyncDirty();
	RwFrameDestroyHierarchy( frames[0] );
}

void BM_FrameGetLTMClean( benchmark::State& state ) { GetLTM( state, false ); }
void BM_FrameGetLTMDirty( benchmark::State& state ) { GetLTM( state, true ); }

// 1,000 frames in 100 hierarchies; a tenth of the frames move every pass.
void BM_FrameSyncDirty( benchmark::State& state ) {
	const MathsModules modules;
	std::vector<RwFrame*> all;
	std::vector<RwFrame*> roots;
	for ( s32 h = 0; h < 100; h++ ) {
		const std::vector<RwFrame*> frames = BuildHierarchy();
		roots.push_back( frames[0] );
		all.insert( all.end(), frames.begin(), frames.end() );
	}
	_rwFrameSyncDirty();
	const RwV3d step = { 0.001f, 0.0f, 0.0f };
	size_t next = 0;
	for ( auto _ : state ) {
		for ( size_t i = 0; i < all.size() / 10; i++ ) {
			RwFrameTranslate( all[next], &step, rwCOMBINEPOSTCONCAT );
			next = ( next + 7 ) % all.size();
		}
		_rwFrameSyncDirty();
	}
	for ( RwFrame* root : roots ) {
		RwFrameDestroyHierarchy( root );
	}
}

}	// namespace

BENCHMARK( BM_RwSqrt );
BENCHMARK( BM_StdSqrt );
BENCHMARK( BM_RwInvSqrt );
BENCHMARK( BM_StdInvSqrt );
BENCHMARK( BM_TransformPointsOwn )->Arg( 16 )->Arg( 1024 );
BENCHMARK( BM_TransformPointsInstalled )->Arg( 16 )->Arg( 1024 );
BENCHMARK( BM_InvertOrthonormal );
BENCHMARK( BM_InvertGeneral );
BENCHMARK( BM_FrameGetLTMClean );
BENCHMARK( BM_FrameGetLTMDirty );
BENCHMARK( BM_FrameSyncDirty );
