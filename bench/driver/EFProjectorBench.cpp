// Projected textures: one projector's drawing over a skinned receiver of
// 2,048 triangles inside its volume, with the static world's query.
// Counters: triangles gathered per millisecond and draw calls per pass.
#include "BenchDriverUp.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGraphicsMgrRW.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorld.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// A 32 x 32 grid of quads: 2,048 triangles on the y = 0 plane, 4 x 4 wide.
constexpr u16 GRID = 32;
constexpr f32 CELL = 4.0f / GRID;

RpGeometry* Grid() {
	const s32 vertices = ( GRID + 1 ) * ( GRID + 1 );
	RpGeometry* const geometry = RpGeometryCreate( vertices, 2 * GRID * GRID, rpGEOMETRYPOSITIONS );
	for ( u16 z = 0; z <= GRID; z++ ) {
		for ( u16 x = 0; x <= GRID; x++ ) {
			geometry->morphTarget[0].verts[z * ( GRID + 1 ) + x] = { -2.0f + CELL * x, 0.0f, -2.0f + CELL * z };
		}
	}
	geometry->morphTarget[0].boundingSphere = { { 0, 0, 0 }, 2.9f };
	u32 t = 0;
	for ( u16 z = 0; z < GRID; z++ ) {
		for ( u16 x = 0; x < GRID; x++ ) {
			const u16 a = static_cast<u16>( z * ( GRID + 1 ) + x );
			const u16 b = static_cast<u16>( a + 1 );
			const u16 c = static_cast<u16>( a + GRID + 1 );
			const u16 d = static_cast<u16>( c + 1 );
			geometry->triangles[t++] = { { a, b, c }, -1 };
			geometry->triangles[t++] = { { b, d, c }, -1 };
		}
	}
	return geometry;
}

// The library up over the driver with the engine's plug-ins attached, as
// the graphics manager brings it up.
struct EngineLibraryUp {
	RwMemoryFunctions		memory = { BenchDriverUp::Malloc, BenchDriverUp::Free, BenchDriverUp::Realloc,
									BenchDriverUp::Calloc };
	RwGameCubeDeviceConfig	config = { nullptr, 0, 0 };
	RwGameCubeDeviceConfig*	displayId = &config;
	EngineLibraryUp() {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		GXHostReset();
		VIInit();
		RwEngineInit( &memory, 0, 0 );
		for ( const EFPlugInAttachStep_s& step : gaoPlugInAttachSteps ) {
			step.attach();
		}
		RwEngineOpen( &displayId );
		RwEngineStart();
	}
	~EngineLibraryUp() {
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
		VIHostReset();
		HostResetEvents();
	}
};

void ProjectorOverSkinnedReceiver( benchmark::State& state ) {
	EngineLibraryUp up;
	std::vector<u8> workBuffer( 64 * 1024 );
	DTWorkMemory work( workBuffer.data(), static_cast<u32>( workBuffer.size() ) );
	DTWorkMemory* const savedWork = _WorkMem;
	_WorkMem = &work;
	RwTexDictionary* const dictionary = RwTexDictionaryCreate();
	RwTexDictionarySetCurrent( dictionary );
	RwTexture* const texture = RwTextureCreate( RwRasterCreate( 32, 32, 0, rwRASTERTYPETEXTURE ) );
	RwTextureSetName( texture, "SPOT" );
	RwTexDictionaryAddTexture( dictionary, texture );

	// The receiver: the grid skinned to two bones, half and half.
	RpClump* const clump = RpClumpCreate();
	RpAtomic* const atomic = RpAtomicCreate();
	RpGeometry* const geometry = Grid();
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	RpSkin* const skin = SkinCreateSkinData( 2, 2, vertices, nullptr, nullptr, nullptr, nullptr );
	_rwMatrixSetIdentity( &skin->skinToBoneMatrices[0] );
	_rwMatrixSetIdentity( &skin->skinToBoneMatrices[1] );
	RpSkinGeometrySetSkin( geometry, skin );
	for ( u32 v = 0; v < vertices; v++ ) {
		skin->vertexBoneIndices[v] = 0x0100;
		skin->vertexBoneWeights[4 * v] = 0.5f;
		skin->vertexBoneWeights[4 * v + 1] = 0.5f;
	}
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpGeometryDestroy( geometry );
	RwFrame* const root = RwFrameCreate();
	RpClumpSetFrame( clump, root );
	RpAtomicSetFrame( atomic, root );
	RpClumpAddAtomic( clump, atomic );
	RpHAnimHierarchy* const hierarchy = RpHAnimHierarchyCreate( 2, nullptr, nullptr, 0, 36 );
	RwFrame* const bones[2] = { RwFrameCreate(), RwFrameCreate() };
	RwFrameAddChild( bones[0], bones[1] );
	hierarchy->pNodeInfo[0].pFrame = bones[0];
	hierarchy->pNodeInfo[1].pFrame = bones[1];
	RpSkinAtomicSetHAnimHierarchy( atomic, hierarchy );
	EF3dObj* const model = new EF3dObj;
	model->mpClump = clump;
	// Projectors hand their occurrences to the global manager.
	EFProjectorMgr& manager = goProjectorMgr;
	manager.AddReceiver( nullptr, model );
	const RwBBox box = { { 100, 100, 100 }, { -100, -100, -100 } };
	RpWorld* const world = RpWorldCreate( &box );

	// A projector 3 above the grid's centre looking down, reaching through it.
	EFProjector* const projector = manager.CreateProjector();
	RwFrame* const frame = projector->mpFrame->GetRwFrame();
	frame->modelling.right = { 1, 0, 0 };
	frame->modelling.up = { 0, 0, 1 };
	frame->modelling.at = { 0, -1, 0 };
	frame->modelling.pos = { 0, 3, 0 };
	RwFrameUpdateObjects( frame );
	projector->SetTexture( "SPOT" );
	projector->SetSize( 2.0f, 2.0f );
	projector->SetReachDistance( 6.0f );

	RwCamera* const camera = RwCameraCreate();
	RwFrame* const eye = RwFrameCreate();
	RwRaster* const raster = RwRasterCreate( 640, 480, 0, rwRASTERTYPECAMERA );
	_rwObjectHasFrameSetFrame( &camera->object, eye );
	camera->frameBuffer = raster;
	eye->modelling.pos = { 0, 10, -10 };
	RwFrameUpdateObjects( eye );

	u64 triangles = 0;
	u64 draws = 0;
	for ( auto _ : state ) {
		GXHostClearLog();
		manager.Begin( 0 );
		RwCameraBeginUpdate( camera );
		RpIntersection sphere;
		sphere.type = rpINTERSECTSPHERE;
		sphere.t.sphere = { { 0, 0, 0 }, 3.0f };
		RpCollisionWorldForAllIntersections(
			world, &sphere, []( RpIntersection*, RpWorldSector*, RpCollisionTriangle* t, f32, void* ) { return t; },
			nullptr );
		manager.End();
		RwCameraEndUpdate( camera );
		for ( const GXHostDraw& draw : GXHostCurrentFrame().draws ) {
			if ( draw.primitive == GX_TRIANGLES ) {
				triangles += draw.vertices.size() / 3;
				draws++;
			}
		}
	}
	state.counters["triangles_per_ms"] =
		benchmark::Counter( static_cast<f64>( triangles ) / 1000.0, benchmark::Counter::kIsRate );
	state.counters["draws_per_pass"] =
		benchmark::Counter( static_cast<f64>( draws ), benchmark::Counter::kAvgIterations );

	camera->frameBuffer = nullptr;
	_rwObjectHasFrameSetFrame( &camera->object, nullptr );
	RwCameraDestroy( camera );
	RwRasterDestroy( raster );
	RwFrameDestroy( eye );
	manager.Terminate();
	RpWorldDestroy( world );
	RpSkinAtomicSetHAnimHierarchy( atomic, nullptr );
	RpHAnimHierarchyDestroy( hierarchy );
	RwFrameRemoveChild( bones[1] );
	RwFrameDestroy( bones[0] );
	RwFrameDestroy( bones[1] );
	model->mpClump = nullptr;
	delete model;
	RpClumpDestroy( clump );
	RwTexDictionaryDestroy( dictionary );
	_WorkMem = savedWork;
}

BENCHMARK( ProjectorOverSkinnedReceiver )->Unit( benchmark::kMicrosecond );

}	// namespace
