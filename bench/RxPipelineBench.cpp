// Pipelines: unlocking a one-node pipeline and a 64-node graph over 32
// clusters (every unlock resolves the graph in full), and executing a
// one-node pipeline. The intersection predicates on hit-and-miss mixes.

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwStrings.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/core/RxPipelineUnlock.h"
#include "graphics3d/world/RtIntersection.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

// The pipeline module open over an engine instance of our own: benchmarks
// link no device, so the engine cannot be started the ordinary way.
class PipelineModule {
public:
	PipelineModule() {
		RwEngineInstance = &staticGlobals;
		_rwStringOpen();
		_rwMemoryOpen( nullptr );
		staticGlobals.freeListAllocHook = _rwFreeListAllocReal;
		staticGlobals.freeListFreeHook = _rwFreeListFreeReal;
		_rwFreeListEnable( true );
		std::memcpy( instance.data(), &staticGlobals, sizeof( RwGlobals ) );
		RwEngineInstance = reinterpret_cast<RwGlobals*>( instance.data() );
		RwEngineInstance->engineState = RWENGINE_STATE_OPENED;
		_rwRenderPipelineOpen( RwEngineInstance, OFFSET, RWPIPELINE_GLOBALS_SIZE );
		RwEngineInstance->engineState = RWENGINE_STATE_STARTED;
	}
	~PipelineModule() {
		_rwRenderPipelineClose( RwEngineInstance, OFFSET, RWPIPELINE_GLOBALS_SIZE );
		RwEngineInstance = &staticGlobals;
		_rwMemoryClose();
	}

private:
	static constexpr s32 OFFSET = ( sizeof( RwGlobals ) + 7 ) & ~7;
	alignas( 16 ) std::vector<u8> instance = std::vector<u8>( OFFSET + RWPIPELINE_GLOBALS_SIZE );
};

bool Body( RxPipelineNode*, const RxPipelineNodeParam* params ) {
	benchmark::DoNotOptimize( params->dataParam );
	return true;
}

RxClusterDefinition clusters[32];
RxClusterRef makeAll[32];
u32 makeDispositions[32];
RxOutputSpec makeOutput = { "out", makeDispositions, rxCLVALID_NOCHANGE };
RxClusterRef needOne[32];
const u32 required[1] = { rxCLREQ_REQUIRED };
u32 keep[1] = { rxCLVALID_NOCHANGE };
RxOutputSpec keepOutput = { "out", keep, rxCLVALID_NOCHANGE };

RxNodeDefinition Definition( const char* name, const u32 outputs ) {
	RxNodeDefinition definition = {};
	definition.name = name;
	definition.nodeBody = Body;
	definition.numOutputs = outputs;
	definition.pipelineNodePrivateDataSize = 20;
	return definition;
}

void BM_UnlockOneNodePipeline( benchmark::State& state ) {
	PipelineModule module;
	RxNodeDefinition node = Definition( "One", 0 );
	RxPipeline* const pipeline = RxPipelineCreate();
	RxLockedPipeAddFragment( RxPipelineLock( pipeline ), nullptr, &node );
	for ( auto _ : state ) {
		benchmark::DoNotOptimize( RxLockedPipeUnlock( pipeline ) );
		RxPipelineLock( pipeline );
	}
	_rxPipelineDestroy( pipeline );
}
BENCHMARK( BM_UnlockOneNodePipeline );

// Node 0 makes 32 clusters; each of the 63 nodes after it requires one of
// them and passes everything on.
void BM_UnlockChainOf64NodesOver32Clusters( benchmark::State& state ) {
	PipelineModule module;
	for ( u32 c = 0; c < 32; c++ ) {
		clusters[c] = RxClusterDefinition{ "cluster", 4, 0, nullptr };
		makeAll[c] = RxClusterRef{ &clusters[c], rxCLALLOWABSENT, 0 };
		makeDispositions[c] = rxCLVALID_VALID;
		needOne[c] = RxClusterRef{ &clusters[c], rxCLALLOWABSENT, 0 };
	}
	RxNodeDefinition maker = Definition( "Maker", 1 );
	maker.numClustersOfInterest = 32;
	maker.clustersOfInterest = makeAll;
	maker.outputs = &makeOutput;
	std::vector<RxNodeDefinition> users( 63, Definition( "User", 1 ) );
	for ( u32 i = 0; i < users.size(); i++ ) {
		users[i].numClustersOfInterest = 1;
		users[i].clustersOfInterest = &needOne[i % 32];
		users[i].inputRequirements = required;
		users[i].outputs = &keepOutput;
	}
	users.back().numOutputs = 0;
	RxPipeline* const pipeline = RxPipelineLock( RxPipelineCreate() );
	RxLockedPipeAddFragment( pipeline, nullptr, &maker );
	for ( RxNodeDefinition& user : users ) {
		u32 index = 0;
		RxLockedPipeAddFragment( pipeline, &index, &user );
		RxLockedPipeAddPath( pipeline, &pipeline->nodes[index - 1].outputs[0], &pipeline->nodes[index] );
	}
	for ( auto _ : state ) {
		if ( RxLockedPipeUnlock( pipeline ) == nullptr ) {
			state.SkipWithError( "unlock failed" );
			break;
		}
		RxPipelineLock( pipeline );
	}
	_rxPipelineDestroy( pipeline );
}
BENCHMARK( BM_UnlockChainOf64NodesOver32Clusters );

void BM_ExecuteOneNodePipeline( benchmark::State& state ) {
	PipelineModule module;
	RxNodeDefinition node = Definition( "One", 0 );
	RxPipeline* const pipeline = RxPipelineCreate();
	RxLockedPipeUnlock( RxLockedPipeAddFragment( RxPipelineLock( pipeline ), nullptr, &node ) );
	int object = 0;
	for ( auto _ : state ) {
		benchmark::DoNotOptimize( RxPipelineExecute( pipeline, &object, true ) );
	}
	_rxPipelineDestroy( pipeline );
}
BENCHMARK( BM_ExecuteOneNodePipeline );

struct Triangle {
	RwV3d	v[3];
};

// Random triangles around a unit shape: about half touch it.
std::vector<Triangle> Triangles() {
	std::mt19937 random( 7 );
	std::uniform_real_distribution<f32> coordinate( -3.0f, 3.0f );
	std::vector<Triangle> triangles( 1024 );
	for ( Triangle& t : triangles ) {
		for ( RwV3d& v : t.v ) {
			v = RwV3d{ coordinate( random ), coordinate( random ), coordinate( random ) };
		}
	}
	return triangles;
}

void BM_SphereTriangleMix( benchmark::State& state ) {
	const std::vector<Triangle> triangles = Triangles();
	const RwSphere sphere = { { 0, 0, 0 }, 1.0f };
	size_t i = 0;
	for ( auto _ : state ) {
		const Triangle& t = triangles[i++ & 1023];
		RwV3d normal;
		f32 distance;
		benchmark::DoNotOptimize( RtIntersectionSphereTriangle( &sphere, &t.v[0], &t.v[1], &t.v[2], &normal, &distance ) );
	}
}
BENCHMARK( BM_SphereTriangleMix );

void BM_BBoxTriangleMix( benchmark::State& state ) {
	const std::vector<Triangle> triangles = Triangles();
	const RwBBox box = { { 1, 1, 1 }, { -1, -1, -1 } };
	size_t i = 0;
	for ( auto _ : state ) {
		const Triangle& t = triangles[i++ & 1023];
		benchmark::DoNotOptimize( RtIntersectionBBoxTriangle( &box, &t.v[0], &t.v[1], &t.v[2] ) );
	}
}
BENCHMARK( BM_BBoxTriangleMix );

}	// namespace
