// Speed of one physics frame over 200 and 1000 dynamic bodies that do not
// collide, each with two pre-collision modules that run every frame: the
// records, the pools and the stages, with the work memory the frame used
// and the allocations it made after the first frames (expected: none).
//
// The benchmark program runs without the 3D library's device, so objects
// have no frames: bodies do all their per-frame work but move no frame.
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

std::atomic<u64> gAllocations{ 0 };

}

// Every allocation of the program is counted; the frame's share is read
// around the timed loop. The replacements pair malloc with free, which the
// compiler cannot see through.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void * operator new( std::size_t size ) {
	gAllocations.fetch_add( 1, std::memory_order_relaxed );
	if ( void * const block = std::malloc( size != 0 ? size : 1 ) ) {
		return block;
	}
	throw std::bad_alloc();
}

void operator delete( void * block ) noexcept {
	std::free( block );
}

void operator delete( void * block, std::size_t ) noexcept {
	std::free( block );
}
#pragma GCC diagnostic pop

static void BM_EFPhysicFrame( benchmark::State & state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	std::vector<u8> buffer( 0x80000 );
	DTWorkMemory work( buffer.data(), static_cast<u32>( buffer.size() ) );
	DTWorkMemory * const savedWork = _WorkMem;
	_WorkMem = &work;
	gpoGameLogicMgr = new EFGameLogicMgr();
	gpoWorldMgr = new EFWorld();
	for ( u32 i = 0; i < count; i++ ) {
		EFGameObject * const object = new EFGameObject;
		object->SetUID( 0x2a000001 + i );
		gpoWorldMgr->AddGameObject( object );
		EFPhysic * const body = object->CreatePhysic( 0 );
		body->mui32PhysicFlags = EF_PHYSIC_DYNAMIC;
		body->NormalizeFlags();
		body->moVelocity = DTVector3d( 1.0f, 0.0f, 0.0f );
		body->mui32CurrentContext = 1;
		for ( const u32 type : { 0u, 4u } ) {
			EFPhysicModule * const module = new EFPhysicModule( EF_DM_PHASE_PRE | type, body );
			module->mui32ContextMask = 1;
			body->LinkModule( module );
		}
	}
	EFPhysicMgr & manager = EFPhysicMgr::moPhysicMgr;
	for ( u32 warm = 0; warm < 3; warm++ ) {
		manager.Update( 1.0f / 60.0f );
	}
	const u64 before = gAllocations.load();
	for ( auto _ : state ) {
		manager.Update( 1.0f / 60.0f );
	}
	const u64 made = gAllocations.load() - before;
	state.SetItemsProcessed( state.iterations() * count );
	state.counters["work_bytes"] = manager.GetWorkMemoryHighWater();
	state.counters["allocs_per_frame"] =
		static_cast<double>( made ) / static_cast<double>( state.iterations() > 0 ? state.iterations() : 1 );
	gpoWorldMgr->Terminate();
	delete gpoWorldMgr;
	gpoWorldMgr = nullptr;
	gpoGameLogicMgr->Terminate();
	delete gpoGameLogicMgr;
	gpoGameLogicMgr = nullptr;
	_WorkMem = savedWork;
}
BENCHMARK( BM_EFPhysicFrame )->Arg( 200 )->Arg( 1000 )->Unit( benchmark::kMicrosecond );
