// Morph update and display-list recording: 1,000 vertices interpolated
// between two targets into f32 and into s16 with 8 fraction bits, a list
// of 3,000 indices recorded with positions, normals and one texture set,
// and immediate 3D: 3,000 textured vertices transformed and drawn as a
// triangle list. Items are vertices.
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwDlDisplayList.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RwGCLights.h"
#include "graphics3d/world/RpMesh.h"
#include "platform/gx/GXHost.h"

#include "BenchDriverUp.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr s32 VERTICES = 1000;

void Interp( benchmark::State& state, const u8 type, const u8 fraction ) {
	std::vector<RwV3d> a( VERTICES ), b( VERTICES );
	for ( s32 i = 0; i < VERTICES; i++ ) {
		a[i] = { 0.01f * i, 1.0f, -0.02f * i };
		b[i] = { -0.01f * i, 2.0f, 0.02f * i };
	}
	std::vector<u8> out( VERTICES * 12 );
	for ( auto _ : state ) {
		_rwDlV3dInterp( out.data(), a.data(), b.data(), 0.375f, VERTICES, type, fraction, 0 );
		benchmark::DoNotOptimize( out.data() );
	}
	state.SetItemsProcessed( state.iterations() * VERTICES );
}

void BM_RwGCMorphUpdateF32( benchmark::State& state ) {
	Interp( state, rpGCCOMP_F32, 0 );
}

void BM_RwGCMorphUpdateS16( benchmark::State& state ) {
	Interp( state, rpGCCOMP_S16, 8 );
}

void BM_RwDlDisplayListRecord( benchmark::State& state ) {
	constexpr u32 INDICES = 3000;
	std::vector<u8> block( sizeof( RpMeshHeader ) + sizeof( RpMesh ) + INDICES * sizeof( u16 ) );
	RpMeshHeader* const header = reinterpret_cast<RpMeshHeader*>( block.data() );
	*header = { 0, 1, 1, INDICES, 0 };
	RpMesh* const mesh = RpMeshHeaderGetMeshes( header );
	u16* const indices = reinterpret_cast<u16*>( mesh + 1 );
	for ( u32 i = 0; i < INDICES; i++ ) {
		indices[i] = static_cast<u16>( i % 997 );
	}
	*mesh = { indices, INDICES, nullptr };
	const u32 flags = 0x02 | 0x04 | 0x10;
	std::vector<u8> lists( _rwDlMeshHeaderGetDisplayListSize( header, 1, 2, flags, false ) + 64 );
	RxGCDisplayListRecord record;
	for ( auto _ : state ) {
		_rwDlDisplayListsCreate( &record, lists.data(), header, 1, 2, flags, nullptr );
		benchmark::DoNotOptimize( lists.data() );
		// The host log would otherwise grow with every recording.
		state.PauseTiming();
		GXHostClearLog();
		state.ResumeTiming();
	}
	state.SetItemsProcessed( state.iterations() * INDICES );
}

void BM_RwIm3DTriangleList( benchmark::State& state ) {
	constexpr u32 IM3D_VERTICES = 3000;
	BenchDriverUp up;
	std::vector<RwIm3DVertex> vertices( IM3D_VERTICES );
	for ( u32 i = 0; i < IM3D_VERTICES; i++ ) {
		const f32 f = static_cast<f32>( i );
		vertices[i] = { { 0.01f * f, 0.02f * f, 5.0f }, { 0.0f, 0.0f, 1.0f }, { 255, 128, 64, 255 }, 0.001f * f, 0.5f };
	}
	for ( auto _ : state ) {
		RwIm3DTransform( vertices.data(), IM3D_VERTICES, nullptr, rwIM3D_VERTEXUV );
		RwIm3DRenderPrimitive( rwPRIMTYPETRILIST );
		RwIm3DEnd();
		state.PauseTiming();
		GXHostClearLog();
		state.ResumeTiming();
	}
	state.SetItemsProcessed( state.iterations() * IM3D_VERTICES );
}

}	// namespace

BENCHMARK( BM_RwGCMorphUpdateF32 );
BENCHMARK( BM_RwGCMorphUpdateS16 );
BENCHMARK( BM_RwDlDisplayListRecord );
BENCHMARK( BM_RwIm3DTriangleList );
