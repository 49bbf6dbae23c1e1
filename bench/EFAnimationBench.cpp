// Speed of the animation managers' frame step over 50 objects of 40
// joints, each playing a cross-fade between two skeletal animations of one
// group under a timed layer of another: per object, the evaluation of a
// two-level blend tree writing the object's joint array. Reported: time
// per object, the work-memory high-water mark of one object's evaluation,
// and the allocations per frame (expected: none; blend nodes come only
// from play requests).
#include "tests/framework/graphics/animation/AnimTestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

u64 BenchAllocationCount();

namespace {

constexpr u32 OBJECTS = 50;
constexpr u32 JOINTS = 40;
constexpr u8 UNTOUCHED = 0xCD;

struct Scene {
	Scene() {
		std::vector<u32> joints;
		for ( u32 j = 0; j < JOINTS; j++ ) {
			joints.push_back( j );
		}
		for ( u32 i = 0; i < OBJECTS; i++ ) {
			actors.push_back( std::make_unique<animtest::Actor>( 0x2A000001 + i, JOINTS ) );
			animtest::Actor& actor = *actors.back();
			EFAnimationMgr& manager = actor.Manager();
			manager.CreateTable( 3 );
			const u8 groups[] = { 1, 1, 2 };
			for ( u32 n = 0; n < 3; n++ ) {
				animtest::ScriptedHAnimNode* const node = new animtest::ScriptedHAnimNode(
					actor.object, actor.model, animtest::MakeRes( 1000.0f, groups[n] ), joints, n + 1 );
				node->muiIndex = n;
				manager.AddAnim( node, n );
			}
			// Long transitions and an endless layer: the tree stays as built.
			manager.Play( 0, AS_LOOP, 0.0f );
			manager.Play( 1, AS_LOOP | AS_CROSSFADE, 1.0e6f );
			EFBlendParams params = { 0xBB000001, 0.5f, 0.5f, 0.0f, -1.0f };
			manager.PlayBlend( 2, AS_LOOP, EF_ANIM_NO_TARGET, 0.0f, &params );
		}
	}

	void Frame( const f32 dt ) {
		for ( const auto& actor : actors ) {
			actor->Manager().Update( dt );
		}
	}

	std::vector<std::unique_ptr<animtest::Actor>> actors;
};

// Bytes of the work memory one object's evaluation wrote at most.
u32 WorkMemoryHighWater( EFAnimationMgr& manager ) {
	static u8 buffer[EF_ANIM_WORK_MEMORY];
	std::memset( buffer, UNTOUCHED, sizeof( buffer ) );
	DTWorkMemory memory( buffer, sizeof( buffer ) );
	manager.Evaluate( &manager.mUpdateTree, 0.0f, memory );
	u32 top = sizeof( buffer );
	while ( top > 0 && buffer[top - 1] == UNTOUCHED ) {
		top--;
	}
	return top;
}

void BM_AnimationUpdate( benchmark::State& state ) {
	Scene scene;
	scene.Frame( 0.016f );
	const u32 highWater = WorkMemoryHighWater( scene.actors[0]->Manager() );
	const u64 before = BenchAllocationCount();
	for ( u32 i = 0; i < 10; i++ ) {
		scene.Frame( 0.016f );
	}
	const u64 made = BenchAllocationCount() - before;
	if ( made != 0 ) {
		state.SkipWithError( "the frame step allocated" );
	}
	for ( auto _ : state ) {
		scene.Frame( 0.016f );
	}
	state.SetItemsProcessed( static_cast<int64_t>( state.iterations() ) * OBJECTS );
	state.counters["ns_per_object"] =
		benchmark::Counter( static_cast<double>( state.iterations() * OBJECTS ), benchmark::Counter::kIsRate | benchmark::Counter::kInvert );
	state.counters["work_bytes"] = highWater;
	state.counters["allocs_per_frame"] = static_cast<double>( made ) / 10.0;
}

BENCHMARK( BM_AnimationUpdate );

}
