// Instancing speed of the console vertex formats: positions, normals,
// pre-lit colours and one texture set of 5,000 vertices written as
// big-endian arrays with the default descriptor (floats) and with a
// signed 16-bit one, and the positions alone rewritten after an edit.
// Items are vertices.
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/world/RpGeometry.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr s32 VERTICES = 5000;
constexpr u32 FLAGS = 0x02 | 0x04 | 0x08 | 0x10;

struct Source {
	std::vector<RwV3d>			positions;
	std::vector<RwV3d>			normals;
	std::vector<RwRGBA>			colours;
	std::vector<RwTexCoords>	uv;
	RpMorphTarget				target = {};
	RpGeometry					geometry = {};

	Source() : positions( VERTICES ), normals( VERTICES ), colours( VERTICES ), uv( VERTICES ) {
		for ( s32 i = 0; i < VERTICES; i++ ) {
			const f32 a = 0.01f * static_cast<f32>( i );
			positions[i] = { 10.0f * std::cos( a ), 0.001f * static_cast<f32>( i ), 10.0f * std::sin( a ) };
			normals[i] = { std::cos( a ), 0.0f, std::sin( a ) };
			colours[i] = { static_cast<u8>( i ), 128, 64, 255 };
			uv[i] = { 0.5f * std::cos( a ), 0.5f * std::sin( a ) };
		}
		target.verts = positions.data();
		target.normals = normals.data();
		geometry.numVertices = VERTICES;
		geometry.morphTarget = &target;
		geometry.preLitLum = colours.data();
		geometry.texCoords[0] = uv.data();
	}
};

void Instance( benchmark::State& state, const RpGameCubeVtxFmt* descriptor ) {
	Source source;
	std::vector<u8> arrays( _rpDlVtxFmtGetSize( descriptor, FLAGS, VERTICES, 1 ) );
	RxGCInstanceHeader header = {};
	for ( auto _ : state ) {
		_rpDlGeometryVtxFmtInst( &source.geometry, &header, descriptor, FLAGS, 1, arrays.data() );
		benchmark::DoNotOptimize( arrays.data() );
	}
	state.SetItemsProcessed( state.iterations() * VERTICES );
}

void BM_RpGameCubeVtxFmtInstanceDefault( benchmark::State& state ) {
	RpGameCubeVtxFmtInit( &_RpDlVtxFmtDefault );
	Instance( state, nullptr );
}

void BM_RpGameCubeVtxFmtInstanceS16( benchmark::State& state ) {
	RpGameCubeVtxFmt descriptor;
	RpGameCubeVtxFmtInit( &descriptor );
	descriptor.posType = rpGCCOMP_S16;
	descriptor.posFrac = 6;
	descriptor.normType = rpGCCOMP_S16;
	descriptor.texType[0] = rpGCCOMP_S16;
	descriptor.texFrac[0] = 12;
	Instance( state, &descriptor );
}

// A reinstance after an edit of the positions: that array alone is
// rewritten at the instance's stride.
void BM_RpGameCubeVtxFmtReinstancePositions( benchmark::State& state ) {
	RpGameCubeVtxFmtInit( &_RpDlVtxFmtDefault );
	Source source;
	std::vector<u8> positions( VERTICES * 12 );
	for ( auto _ : state ) {
		_rpDlVtxFmtInstPos( nullptr, positions.data(), source.positions.data(), VERTICES, 12 );
		benchmark::DoNotOptimize( positions.data() );
	}
	state.SetItemsProcessed( state.iterations() * VERTICES );
}

}	// namespace

BENCHMARK( BM_RpGameCubeVtxFmtInstanceDefault );
BENCHMARK( BM_RpGameCubeVtxFmtInstanceS16 );
BENCHMARK( BM_RpGameCubeVtxFmtReinstancePositions );
