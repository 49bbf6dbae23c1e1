/*
	Speed of the capsule and box primitives' tests: nanoseconds per test
	of a capsule against octree polygons, a box against octree polygons,
	a capsule against a box and a box against a box, over cases placed
	near the other party with random motions (about half of them meet).
*/
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "graphics3d/core/RwEngine.h"
#include "tools/lib/level/ToolCollisionMapWriter.h"
#include "tools/lib/level/ToolCollisionScenes.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Handed to the device's open; the device keeps it unread.
u32 deviceConfig = 0;
constexpr u32 CASES = 1024;

// The library started for one benchmark, with the shared work matrix.
class StartedLibrary {
public:
	StartedLibrary() {
		started = RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) && RwEngineOpen( &deviceConfig ) &&
				  RwEngineStart();
		DTMatrix::mpoWork = started ? DTMatrix::CreateMatrix() : nullptr;
	}
	~StartedLibrary() {
		if ( DTMatrix::mpoWork != nullptr ) {
			DTMatrix::mpoWork->Destroy();
			DTMatrix::mpoWork = nullptr;
		}
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
	}

	bool started = false;
};

// Random polygons of 3 to 32 vertices loaded as a collision map, with
// each polygon's record and centre.
struct Polygons {
	std::unique_ptr<EFCollisionMap>		map;
	std::vector<EFEnvCollisionPrim *>	records;
	std::vector<DTVector3d>				centres;

	Polygons() {
		const ToolColMap scene = ToolRandomCollisionScene( 54, 400, 20.0f );
		std::vector<u8> blob;
		std::string error;
		ToolColMapLayout layout;
		if ( !ToolCollisionMapWriter::Encode( scene, blob, error, &layout ) ) {
			return;
		}
		u8 * const copy = static_cast<u8 *>( MMMalloc( static_cast<u32>( blob.size() ) ) );
		std::memcpy( copy, blob.data(), blob.size() );
		map.reset( new EFCollisionMap );
		if ( !map->Init( copy ) ) {
			MMFree( copy );
			map.reset();
			return;
		}
		for ( size_t i = 0; i < scene.polygons.size(); i++ ) {
			records.push_back(
				reinterpret_cast<EFEnvCollisionPrim *>( const_cast<u8 *>( map->GetBlob() ) + 16 + layout.polygonOffsets[i] ) );
			DTVector3d centre;
			for ( const ToolVec3 & v : scene.polygons[i].vertices ) {
				centre += DTVector3d( v[0], v[1], v[2] );
			}
			centres.push_back( centre * ( 1.0f / static_cast<f32>( scene.polygons[i].vertices.size() ) ) );
		}
	}
};

struct Case {
	DTVector3d			at;
	DTVector3d			axis;
	EFCheckCollisionIn	in;
	u32					polygon;
};

std::vector<Case> Cases( const u32 polygons ) {
	std::mt19937 random( 55 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	std::vector<Case> cases;
	for ( u32 i = 0; i < CASES; i++ ) {
		Case c;
		c.at = DTVector3d( unit( random ), unit( random ), unit( random ) ) * 2.5f;
		c.axis = DTVector3d( unit( random ), unit( random ), unit( random ) ) * 0.8f;
		c.in = { 1.0f, DTVector3d( unit( random ), unit( random ), unit( random ) ) * 3.0f };
		c.polygon = polygons == 0 ? 0 : static_cast<u32>( random() % polygons );
		cases.push_back( c );
	}
	return cases;
}

// Runs test over the cases, one per iteration.
template <typename Test>
void Run( benchmark::State & state, const std::vector<Case> & cases, Test test ) {
	u32 i = 0;
	u32 contacts = 0;
	for ( auto _ : state ) {
		EFCheckCollisionOut out = {};
		contacts += ( test( cases[i], out ) & ( CS_COL_HIT | CS_COL_PUSH ) ) != 0 ? 1 : 0;
		benchmark::DoNotOptimize( out );
		i = ( i + 1 ) % CASES;
	}
	state.counters["contacts"] = benchmark::Counter( static_cast<double>( contacts ) / static_cast<double>( state.iterations() ) );
	state.SetItemsProcessed( static_cast<s64>( state.iterations() ) );
}

}

static void BM_EFCapsuleAgainstPolygon( benchmark::State & state ) {
	StartedLibrary library;
	Polygons polygons;
	if ( !library.started || polygons.map == nullptr ) {
		state.SkipWithError( "the library or the map did not start" );
		return;
	}
	const std::vector<Case> cases = Cases( static_cast<u32>( polygons.records.size() ) );
	EFObjCollisionSweptSphere capsule( nullptr );
	capsule.SetRadius( 0.4f );
	Run( state, cases, [&]( const Case & c, EFCheckCollisionOut & out ) {
		capsule.moWorldVector = c.axis;
		capsule.moPrimPos = polygons.centres[c.polygon] + c.at;
		return capsule.CheckEnvCollision( c.in, out, polygons.records[c.polygon] );
	} );
}
BENCHMARK( BM_EFCapsuleAgainstPolygon )->Unit( benchmark::kNanosecond );

static void BM_EFBoxAgainstPolygon( benchmark::State & state ) {
	StartedLibrary library;
	Polygons polygons;
	if ( !library.started || polygons.map == nullptr ) {
		state.SkipWithError( "the library or the map did not start" );
		return;
	}
	const std::vector<Case> cases = Cases( static_cast<u32>( polygons.records.size() ) );
	EFObjCollisionBBox box( nullptr );
	box.SetHalfExtents( DTVector3d( 0.5f, 0.9f, 0.4f ) );
	Run( state, cases, [&]( const Case & c, EFCheckCollisionOut & out ) {
		box.moTrans = polygons.centres[c.polygon] + c.at;
		box.PrecalcPrimData();
		return box.CheckEnvCollision( c.in, out, polygons.records[c.polygon] );
	} );
}
BENCHMARK( BM_EFBoxAgainstPolygon )->Unit( benchmark::kNanosecond );

static void BM_EFCapsuleAgainstBox( benchmark::State & state ) {
	StartedLibrary library;
	if ( !library.started ) {
		state.SkipWithError( "the library did not start" );
		return;
	}
	const std::vector<Case> cases = Cases( 0 );
	EFObjCollisionSweptSphere capsule( nullptr );
	capsule.SetRadius( 0.4f );
	EFObjCollisionBBox box( nullptr );
	box.SetHalfExtents( DTVector3d( 0.5f, 0.9f, 0.4f ) );
	box.PrecalcPrimData();
	Run( state, cases, [&]( const Case & c, EFCheckCollisionOut & out ) {
		capsule.moWorldVector = c.axis;
		capsule.moPrimPos = c.at;
		return capsule.CheckObjPrimCollision( c.in, out, &box );
	} );
}
BENCHMARK( BM_EFCapsuleAgainstBox )->Unit( benchmark::kNanosecond );

static void BM_EFBoxAgainstBox( benchmark::State & state ) {
	StartedLibrary library;
	if ( !library.started ) {
		state.SkipWithError( "the library did not start" );
		return;
	}
	const std::vector<Case> cases = Cases( 0 );
	EFObjCollisionBBox mover( nullptr );
	mover.SetHalfExtents( DTVector3d( 0.6f, 0.3f, 0.5f ) );
	EFObjCollisionBBox still( nullptr );
	still.SetHalfExtents( DTVector3d( 0.5f, 0.9f, 0.4f ) );
	Run( state, cases, [&]( const Case & c, EFCheckCollisionOut & out ) {
		mover.moTrans = c.at;
		mover.PrecalcPrimData();
		return mover.CheckObjPrimCollision( c.in, out, &still );
	} );
}
BENCHMARK( BM_EFBoxAgainstBox )->Unit( benchmark::kNanosecond );
