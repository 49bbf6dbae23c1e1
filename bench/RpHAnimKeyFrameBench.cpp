// Speed of the standard key frame's interpolate, blend and add over 1,000
// nodes, as the animation toolkit calls them once per node and frame. Half
// the node pairs start out pointing away from each other (the first pass
// negates them in place, as the toolkit's key frames are); most pairs
// slerp, a tenth are close enough to blend linearly.
#include "graphics3d/world/RpHAnim.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr s32 NODES = 1000;

struct NodePairs {
	std::vector<RpHAnimKeyFrame>	a;
	std::vector<RpHAnimKeyFrame>	b;
	std::vector<RpHAnimKeyFrame>	out;

	NodePairs() : a( NODES ), b( NODES ), out( NODES ) {
		for ( s32 i = 0; i < NODES; i++ ) {
			const f32 angle = 0.001f * static_cast<f32>( i );
			const f32 turn = i % 10 == 0 ? 0.01f : 1.3f;
			const f32 sign = i % 2 == 0 ? 1.0f : -1.0f;
			a[i] = { nullptr, 0.0f, { { std::sin( angle ), 0.0f, 0.0f }, std::cos( angle ) }, { 0.0f, 1.0f, 2.0f } };
			b[i] = { nullptr, 1.0f, { { 0.0f, sign * std::sin( angle + turn ), 0.0f }, sign * std::cos( angle + turn ) }, { 3.0f, 2.0f, 1.0f } };
		}
	}
};

void BM_RpHAnimKeyFrameInterpolate( benchmark::State& state ) {
	NodePairs nodes;
	for ( auto _ : state ) {
		for ( s32 i = 0; i < NODES; i++ ) {
			RpHAnimKeyFrameInterpolate( &nodes.out[i], &nodes.a[i], &nodes.b[i], 0.37f );
		}
		benchmark::DoNotOptimize( nodes.out.data() );
	}
	state.SetItemsProcessed( state.iterations() * NODES );
}

void BM_RpHAnimKeyFrameBlend( benchmark::State& state ) {
	NodePairs nodes;
	for ( auto _ : state ) {
		for ( s32 i = 0; i < NODES; i++ ) {
			RpHAnimKeyFrameBlend( &nodes.out[i], &nodes.a[i], &nodes.b[i], 0.62f );
		}
		benchmark::DoNotOptimize( nodes.out.data() );
	}
	state.SetItemsProcessed( state.iterations() * NODES );
}

void BM_RpHAnimKeyFrameAdd( benchmark::State& state ) {
	NodePairs nodes;
	for ( auto _ : state ) {
		for ( s32 i = 0; i < NODES; i++ ) {
			RpHAnimKeyFrameAdd( &nodes.out[i], &nodes.a[i], &nodes.b[i] );
		}
		benchmark::DoNotOptimize( nodes.out.data() );
	}
	state.SetItemsProcessed( state.iterations() * NODES );
}

}	// namespace

BENCHMARK( BM_RpHAnimKeyFrameInterpolate );
BENCHMARK( BM_RpHAnimKeyFrameBlend );
BENCHMARK( BM_RpHAnimKeyFrameAdd );
