// Speed of one physics frame over 200 and 1000 dynamic bodies that do not
// collide, each with two pre-collision modules that run every frame: the
// records, the pools and the stages, with the work memory the frame used
// and the allocations it made after the first frames (expected: none).
//
// Then the frame with colliding spheres: 50, 100 and 200 bodies of which
// 10% or 30% are colliding spheres pressed into the floor of a 10k or 50k
// polygon map (the rest half dynamic, half still), with the work memory's
// high-water mark and the allocations per frame after warm-up (every one
// of them a pool falling back on the heap).
//
// The benchmark program runs without the 3D library's device, so objects
// have no frames: bodies do all their per-frame work but move no frame,
// and every frame meets the same contacts.
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysicModule.h"
#include "tests/framework/physics/HarnessSphere.h"
#include "tools/lib/level/ToolCollisionMapWriter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <random>
#include <vector>

namespace {

std::atomic<u64> gAllocations{ 0 };

}

// Allocations the program made so far, for the other benchmarks' checks.
u64 BenchAllocationCount() {
	return gAllocations.load( std::memory_order_relaxed );
}

// Every allocation of the program is counted; the frame's share is read
// around the timed loop. The replacements pair malloc with free, which the
// compiler cannot see through. Every scalar form is replaced: a block from
// a form left to the runtime must not reach free (the nothrow form is the
// engine's usual one).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void * operator new( std::size_t size, const std::nothrow_t& ) noexcept {
	gAllocations.fetch_add( 1, std::memory_order_relaxed );
	return std::malloc( size != 0 ? size : 1 );
}

void * operator new( std::size_t size ) {
	if ( void * const block = operator new( size, std::nothrow ) ) {
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

void operator delete( void * block, const std::nothrow_t& ) noexcept {
	std::free( block );
}
#pragma GCC diagnostic pop

namespace {

// Three frames of warm-up, then the timed frames with the work memory's
// high-water mark and the allocations per frame; then the world, the
// bodies and the logic manager go and the work memory is put back.
void RunFrames( benchmark::State & state, const u32 count, DTWorkMemory * savedWork ) {
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
	manager.Terminate();
	gpoWorldMgr->Terminate();
	delete gpoWorldMgr;
	gpoWorldMgr = nullptr;
	gpoGameLogicMgr->Terminate();
	delete gpoGameLogicMgr;
	gpoGameLogicMgr = nullptr;
	_WorkMem = savedWork;
}

}

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
	RunFrames( state, count, savedWork );
}
BENCHMARK( BM_EFPhysicFrame )->Arg( 200 )->Arg( 1000 )->Unit( benchmark::kMicrosecond );

namespace {

// A floor of about count triangles over a square of side 100 at y = 0.
EFCollisionMap * FloorMap( const u32 count ) {
	static std::map<u32, std::vector<u8>> blobs;
	std::vector<u8> & blob = blobs[count];
	if ( blob.empty() ) {
		ToolColMap scene;
		scene.attribs.resize( 1 );
		const u32 cells = static_cast<u32>( std::sqrt( static_cast<f32>( count / 2 ) ) );
		const f32 size = 100.0f / static_cast<f32>( cells );
		for ( u32 i = 0; i < cells; i++ ) {
			for ( u32 k = 0; k < cells; k++ ) {
				const f32 x = -50.0f + size * static_cast<f32>( i );
				const f32 z = -50.0f + size * static_cast<f32>( k );
				ToolColPolygon a;
				a.vertices = { { x, 0, z }, { x, 0, z + size }, { x + size, 0, z + size } };
				ToolColPolygon b;
				b.vertices = { { x, 0, z }, { x + size, 0, z + size }, { x + size, 0, z } };
				scene.polygons.push_back( a );
				scene.polygons.push_back( b );
			}
		}
		std::string error;
		ToolCollisionMapWriter::Encode( scene, blob, error );
	}
	u8 * const copy = static_cast<u8 *>( MMMalloc( static_cast<u32>( blob.size() ) ) );
	if ( copy == nullptr ) {
		return nullptr;
	}
	std::memcpy( copy, blob.data(), blob.size() );
	EFCollisionMap * const map = new EFCollisionMap;
	if ( !map->Init( copy ) ) {
		delete map;
		MMFree( copy );
		return nullptr;
	}
	return map;
}

}

namespace {

// A body in the world for object i carrying prim at at, of bounding radius
// radius, detecting the floor and every other body.
void AddBody( const u32 i, const u32 flags, EFObjCollisionPrim * const prim, const DTVector3d & at,
			  const f32 radius ) {
	EFGameObject * const object = new EFGameObject;
	object->SetUID( 0x2a000001 + i );
	gpoWorldMgr->AddGameObject( object );
	EFPhysic * const body = object->CreatePhysic( 0 );
	body->mui32PhysicFlags = flags;
	body->NormalizeFlags();
	body->moVelocity = DTVector3d( 1.0f, -2.0f, 0.5f );
	body->moCollisionModel.SetMaxPrims( 1 );
	prim->moTrans = at;
	for ( const u32 word : { 0u, 1u, 2u, 5u } ) {
		prim->moBaseAttrib.IntArray[word] = 0x1;
	}
	prim->UpdateCurrentAttribs();
	body->moCollisionModel.mppoPrimArray[0] = prim;
	body->moCollisionModel.moPhysicBSphere = DTSphere( at, radius );
}

// The bench's world over a floor of polygons triangles; false (and the
// state skipped) when the map does not fit.
bool StartWorld( benchmark::State & state, const u32 polygons ) {
	gpoGameLogicMgr = new EFGameLogicMgr();
	gpoWorldMgr = new EFWorld();
	EFCollisionMap * const map = FloorMap( polygons );
	if ( map == nullptr ) {
		state.SkipWithError( "the map does not fit the heap" );
		return false;
	}
	EFPhysicMgr::moPhysicMgr.AddMap( map );
	return true;
}

}

static void BM_EFPhysicCollisionFrame( benchmark::State & state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	const u32 percent = static_cast<u32>( state.range( 1 ) );
	const u32 polygons = static_cast<u32>( state.range( 2 ) );
	std::vector<u8> buffer( MM_WORK_MEMORY_BYTES );
	DTWorkMemory work( buffer.data(), static_cast<u32>( buffer.size() ) );
	DTWorkMemory * const savedWork = _WorkMem;
	_WorkMem = &work;
	const bool started = StartWorld( state, polygons );
	std::mt19937 random( 52 );
	std::uniform_real_distribution<f32> place( -45.0f, 45.0f );
	const u32 colliding = count * percent / 100;
	for ( u32 i = 0; i < count && started; i++ ) {
		const DTVector3d at( place( random ), 0.5f, place( random ) );
		const u32 flags = i < colliding ? EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING : ( i % 2 == 0 ? EF_PHYSIC_DYNAMIC : 0 );
		AddBody( i, flags, new HarnessSphere( nullptr, 0.5f ), at, 0.5f );
	}
	RunFrames( state, count, savedWork );
}
BENCHMARK( BM_EFPhysicCollisionFrame )
	->ArgsProduct( { { 50, 100, 200 }, { 10, 30 }, { 10000, 50000 } } )
	->Unit( benchmark::kMicrosecond );

// Colliding capsule characters (radius 0.4, 1.8 tall) crowded among a few
// still boxes over the floor.
static void BM_EFPhysicCapsuleFrame( benchmark::State & state ) {
	const u32 characters = static_cast<u32>( state.range( 0 ) );
	const u32 polygons = static_cast<u32>( state.range( 1 ) );
	constexpr u32 BOXES = 4;
	std::vector<u8> buffer( MM_WORK_MEMORY_BYTES );
	DTWorkMemory work( buffer.data(), static_cast<u32>( buffer.size() ) );
	DTWorkMemory * const savedWork = _WorkMem;
	_WorkMem = &work;
	const bool started = StartWorld( state, polygons );
	std::mt19937 random( 53 );
	std::uniform_real_distribution<f32> place( -6.0f, 6.0f );
	for ( u32 i = 0; i < characters && started; i++ ) {
		EFObjCollisionSweptSphere * const capsule = new EFObjCollisionSweptSphere( nullptr );
		capsule->SetRadius( 0.4f );
		capsule->SetVector( DTVector3d( 0.0f, 0.5f, 0.0f ) );
		AddBody( i, EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING, capsule,
				 DTVector3d( place( random ), 0.9f, place( random ) ), capsule->mfMaxRadius );
	}
	for ( u32 i = 0; i < BOXES && started; i++ ) {
		EFObjCollisionBBox * const box = new EFObjCollisionBBox( nullptr );
		box->SetHalfExtents( DTVector3d( 0.5f, 0.5f, 0.5f ) );
		AddBody( characters + i, EF_PHYSIC_COLLIDING, box,
				 DTVector3d( -3.0f + 2.0f * static_cast<f32>( i ), 0.5f, 0.0f ), box->mfMaxRadius );
	}
	RunFrames( state, characters + BOXES, savedWork );
}
BENCHMARK( BM_EFPhysicCapsuleFrame )
	->ArgsProduct( { { 10, 30 }, { 10000, 50000 } } )
	->Unit( benchmark::kMicrosecond );
