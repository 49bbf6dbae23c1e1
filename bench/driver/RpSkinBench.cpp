// Skin speed: blending 2, 3 and 4 weights over 5,000 vertices in f32 and
// s16 (positions and normals), and the matrix palette of 64 bones. Items
// are vertices, or bones for the palette.
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr u32 VERTICES = 5000;
constexpr u32 BONES = 64;

std::vector<RwMatrix> Rotations( const u32 count ) {
	std::vector<RwMatrix> matrices( count );
	for ( u32 b = 0; b < count; b++ ) {
		const f32 a = 0.05f * static_cast<f32>( b );
		RwMatrix& m = matrices[b];
		m = {};
		m.right = { std::cos( a ), std::sin( a ), 0.0f };
		m.up = { -std::sin( a ), std::cos( a ), 0.0f };
		m.at = { 0.0f, 0.0f, 1.0f };
		m.pos = { 0.1f * static_cast<f32>( b ), 0.0f, -0.2f };
	}
	return matrices;
}

void Blend( benchmark::State& state, const u32 weights, const u8 type ) {
	const std::vector<RwMatrix> palette = Rotations( RPSKIN_PALETTE_SIZE );
	const u32 size = type == rpGCCOMP_F32 ? 4 : 2;
	const u8 fraction = type == rpGCCOMP_F32 ? 0 : 6;
	std::vector<u8> quantisedWeights( VERTICES * weights );
	std::vector<u8> quantisedIndices( VERTICES * weights );
	std::vector<u8> positions( VERTICES * 3 * size );
	std::vector<u8> normals( VERTICES * 3 * size );
	for ( u32 v = 0; v < VERTICES; v++ ) {
		for ( u32 k = 0; k < weights; k++ ) {
			quantisedWeights[v * weights + k] = static_cast<u8>( 128 / weights + ( k == 0 ? 128 % weights : 0 ) );
			quantisedIndices[v * weights + k] = static_cast<u8>( ( v + k * 7 ) % BONES );
		}
		for ( u32 c = 0; c < 3; c++ ) {
			_rwDlQuantisedStore( &positions[( v * 3 + c ) * size], 0.01f * static_cast<f32>( v % 100 ) + c, type, fraction );
			_rwDlQuantisedStore( &normals[( v * 3 + c ) * size], c == 2 ? 1.0f : 0.0f, type, type == rpGCCOMP_F32 ? 0 : 14 );
		}
	}
	RpSkin skin = {};
	skin.maxNumWeights = weights;
	skin.quantisedWeights = quantisedWeights.data();
	skin.quantisedIndices = quantisedIndices.data();
	std::vector<u8> outPositions( positions.size() );
	std::vector<u8> outNormals( normals.size() );
	for ( auto _ : state ) {
		_rpSkinBlendBody( &skin, palette.data(), VERTICES, positions.data(), normals.data(), outPositions.data(),
						  outNormals.data(), type, fraction, type, false );
		benchmark::DoNotOptimize( outPositions.data() );
	}
	state.SetItemsProcessed( state.iterations() * VERTICES );
}

void BM_RpSkinBlend( benchmark::State& state ) {
	Blend( state, static_cast<u32>( state.range( 0 ) ), static_cast<u8>( state.range( 1 ) ) );
}

void BM_RpSkinPalette64Bones( benchmark::State& state ) {
	std::vector<RwMatrix> skinToBone = Rotations( BONES );
	std::vector<RwMatrix> boneMatrices = Rotations( BONES );
	std::vector<u8> used( BONES );
	for ( u32 b = 0; b < BONES; b++ ) {
		used[b] = static_cast<u8>( b );
	}
	RpSkin skin = {};
	skin.numBones = BONES;
	skin.numUsedBones = BONES;
	skin.usedBones = used.data();
	skin.skinToBoneMatrices = skinToBone.data();
	skin.maxNumWeights = 2;
	RpHAnimHierarchy hierarchy = {};
	hierarchy.numNodes = BONES;
	hierarchy.pMatrixArray = boneMatrices.data();
	RwMatrix ltm = Rotations( 1 )[0];
	std::vector<RwMatrix> palette( RPSKIN_PALETTE_SIZE );
	for ( auto _ : state ) {
		_rpSkinMatrixBlendUpdate( palette.data(), &skin, &ltm, &hierarchy );
		benchmark::DoNotOptimize( palette.data() );
	}
	state.SetItemsProcessed( state.iterations() * BONES );
}

}	// namespace

BENCHMARK( BM_RpSkinBlend )->ArgsProduct( { { 2, 3, 4 }, { rpGCCOMP_F32, rpGCCOMP_S16 } } );
BENCHMARK( BM_RpSkinPalette64Bones );
