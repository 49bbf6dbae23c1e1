// Speed of the game logic manager's frame step over 1,000 game objects
// whose states do almost nothing, walking the world's logic list: one
// protected call per object and frame. The second variant's state leaves
// by ChangeState, so every call ends with a jump back to the engine.
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "tests/framework/logic/LogicFakeModule.h"

#include <benchmark/benchmark.h>

namespace {

u32 gStateRuns = 0;

s32 TrivialState( void * ) {
	gStateRuns++;
	return 0;
}

s32 ChangingState( void * ) {
	gStateRuns++;
	RunningLogicInstance()->ChangeState( 0 );
	return 0;
}

void RunLogicFrames( benchmark::State & state, const LogicFunction function ) {
	const u32 count = 1000;
	EFAppContext context{};
	EFLogicStack::Create();
	EFGameLogicMgr * const manager = new EFGameLogicMgr();
	EFGraphicsMgr * const graphics = new EFGraphicsMgr( context );
	gpoWorldMgr = new EFWorld();
	graphics->CreateCamera( nullptr );
	LogicFakeModule module;
	module.SetFunction( 0, function );
	for ( u32 i = 0; i < count; i++ ) {
		EFGameObject * const object = new EFGameObject;
		object->SetUID( 0x2a000001 + i );
		object->moLogicInstance.mpLogicCode = &module;
		object->moLogicInstance.SetNextState( 0 );
		gpoWorldMgr->AddGameObject( object );
	}
	// Constructs every object, then fills the logic list.
	manager->Update( 0.02f );
	gpoWorldMgr->PrepareRender();
	gStateRuns = 0;
	for ( auto _ : state ) {
		manager->Update( 0.02f );
	}
	benchmark::DoNotOptimize( gStateRuns );
	state.SetItemsProcessed( state.iterations() * count );
	gpoWorldMgr->Terminate();
	graphics->DestroyCamera( 0 );
	delete gpoWorldMgr;
	gpoWorldMgr = nullptr;
	delete graphics;
	manager->Terminate();
	delete manager;
	EFLogicStack::Destroy();
}

}

static void BM_EFGameLogicUpdateTrivialStates( benchmark::State & state ) {
	RunLogicFrames( state, TrivialState );
}
BENCHMARK( BM_EFGameLogicUpdateTrivialStates );

static void BM_EFGameLogicUpdateChangeState( benchmark::State & state ) {
	RunLogicFrames( state, ChangingState );
}
BENCHMARK( BM_EFGameLogicUpdateChangeState );
