// Speed of the collision plug-in's line, sphere and box queries over a
// 10,000-triangle world (sector tree with a collision tree in every
// sector) and over an atomic of the same 10,000 triangles with and
// without a collision tree. Queries allocate nothing; the callback only
// counts. Items are queries.
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "tools/lib/graphics3d/ToolCollisionTreeBuilder.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"
#include "tools/lib/graphics3d/ToolSectorTreeBuilder.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <random>
#include <vector>

namespace {

constexpr u32 TRIANGLES = 10000;
constexpr u32 QUERIES = 256;
constexpr f32 EXTENT = 100.0f;

u32 deviceConfig[3] = { 1, 2, 3 };

struct Soup {
	std::vector<f32>				positions;
	std::vector<std::array<u32, 3>>	triangles;
};

Soup RandomSoup() {
	std::mt19937 random( 3 );
	std::uniform_real_distribution<f32> place( -EXTENT, EXTENT );
	std::uniform_real_distribution<f32> offset( -2.0f, 2.0f );
	Soup soup;
	for ( u32 i = 0; i < TRIANGLES; i++ ) {
		const f32 c[3] = { place( random ), place( random ), place( random ) };
		for ( u32 v = 0; v < 9; v++ ) {
			soup.positions.push_back( c[v % 3] + offset( random ) );
		}
		soup.triangles.push_back( { i * 3, i * 3 + 1, i * 3 + 2 } );
	}
	return soup;
}

std::vector<u8> Bytes( const std::function<void( ToolChunkWriter& )>& write ) {
	ToolChunkWriter writer;
	write( writer );
	std::vector<u8> bytes;
	writer.Finish( bytes );
	return bytes;
}

RwStream* OpenAt( std::vector<u8>& bytes, const u32 type ) {
	RwMemory memory = { bytes.data(), static_cast<u32>( bytes.size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	RwStreamFindChunk( stream, type, nullptr, nullptr );
	return stream;
}

// The library with the collision and world plug-ins, the world and the
// two atomics.
class Scene {
public:
	Scene() {
		started = RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) && RpCollisionPluginAttach() &&
				  RpWorldPluginAttach() && RwEngineOpen( deviceConfig ) && RwEngineStart();
		if ( !started ) {
			return;
		}
		const Soup soup = RandomSoup();
		std::vector<u8> worldBytes = Bytes( [&]( ToolChunkWriter& w ) {
			ToolWorldWriter::Write( w, ToolSectorTreeBuilder::Build( soup.positions, soup.triangles, 256, 4 ) );
		} );
		RwStream* stream = OpenAt( worldBytes, TOOL_CHUNK_WORLD );
		world = RpWorldStreamRead( stream );
		RwStreamClose( stream, nullptr );
		for ( const bool tree : { true, false } ) {
			const ToolGeometry stored =
				ToolCollisionTreeBuilder::Geometry( soup.positions, soup.triangles, tree ? 4 : 0 );
			std::vector<u8> bytes = Bytes( [&]( ToolChunkWriter& w ) { ToolGeometryWriter::Write( w, stored ); } );
			stream = OpenAt( bytes, TOOL_CHUNK_GEOMETRY );
			RpGeometry* const geometry = RpGeometryStreamRead( stream );
			RwStreamClose( stream, nullptr );
			RpAtomic* const atomic = RpAtomicCreate();
			RpAtomicSetGeometry( atomic, geometry, 0 );
			RpGeometryDestroy( geometry );
			( tree ? withTree : without ) = atomic;
		}
		std::mt19937 random( 9 );
		std::uniform_real_distribution<f32> place( -EXTENT, EXTENT );
		for ( u32 i = 0; i < QUERIES; i++ ) {
			points.push_back( { { place( random ), place( random ), place( random ) },
								{ place( random ), place( random ), place( random ) } } );
		}
	}
	~Scene() {
		RpAtomicDestroy( withTree );
		RpAtomicDestroy( without );
		RpWorldDestroy( world );
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
	}

	// The i-th query of the kind: a line between two random points, a
	// sphere of radius 5 or a box of half-size 5 around the first.
	RpIntersection Query( const RpIntersectType type, const u32 i ) const {
		const RwLine& line = points[i % QUERIES];
		RpIntersection query = {};
		query.type = type;
		if ( type == rpINTERSECTLINE ) {
			query.t.line = line;
		} else if ( type == rpINTERSECTSPHERE ) {
			query.t.sphere = { line.start, 5.0f };
		} else {
			const RwV3d& c = line.start;
			query.t.box = { { c.x + 5.0f, c.y + 5.0f, c.z + 5.0f }, { c.x - 5.0f, c.y - 5.0f, c.z - 5.0f } };
		}
		return query;
	}

	bool				started = false;
	RpWorld*			world = nullptr;
	RpAtomic*			withTree = nullptr;
	RpAtomic*			without = nullptr;
	std::vector<RwLine>	points;
};

RpCollisionTriangle* CountWorld( RpIntersection*, RpWorldSector*, RpCollisionTriangle* triangle, f32, void* data ) {
	( *static_cast<u64*>( data ) )++;
	return triangle;
}

RpCollisionTriangle* CountAtomic( RpIntersection*, RpCollisionTriangle* triangle, f32, void* data ) {
	( *static_cast<u64*>( data ) )++;
	return triangle;
}

void WorldQuery( benchmark::State& state, const RpIntersectType type ) {
	Scene scene;
	if ( !scene.started || scene.world == nullptr ) {
		state.SkipWithError( "the world did not load" );
		return;
	}
	u64 hits = 0;
	u32 i = 0;
	for ( auto _ : state ) {
		RpIntersection query = scene.Query( type, i++ );
		RpCollisionWorldForAllIntersections( scene.world, &query, CountWorld, &hits );
	}
	benchmark::DoNotOptimize( hits );
	state.SetItemsProcessed( static_cast<s64>( state.iterations() ) );
}

void AtomicQuery( benchmark::State& state, const RpIntersectType type, const bool tree ) {
	Scene scene;
	if ( !scene.started || scene.withTree == nullptr ) {
		state.SkipWithError( "the geometry did not load" );
		return;
	}
	RpAtomic* const atomic = tree ? scene.withTree : scene.without;
	u64 hits = 0;
	u32 i = 0;
	for ( auto _ : state ) {
		RpIntersection query = scene.Query( type, i++ );
		RpAtomicForAllIntersections( atomic, &query, CountAtomic, &hits );
	}
	benchmark::DoNotOptimize( hits );
	state.SetItemsProcessed( static_cast<s64>( state.iterations() ) );
}

void BM_RpCollisionWorldLine( benchmark::State& state ) { WorldQuery( state, rpINTERSECTLINE ); }
void BM_RpCollisionWorldSphere( benchmark::State& state ) { WorldQuery( state, rpINTERSECTSPHERE ); }
void BM_RpCollisionWorldBox( benchmark::State& state ) { WorldQuery( state, rpINTERSECTBOX ); }
void BM_RpCollisionAtomicLineTree( benchmark::State& state ) { AtomicQuery( state, rpINTERSECTLINE, true ); }
void BM_RpCollisionAtomicLineNoTree( benchmark::State& state ) { AtomicQuery( state, rpINTERSECTLINE, false ); }
void BM_RpCollisionAtomicSphereTree( benchmark::State& state ) { AtomicQuery( state, rpINTERSECTSPHERE, true ); }
void BM_RpCollisionAtomicSphereNoTree( benchmark::State& state ) { AtomicQuery( state, rpINTERSECTSPHERE, false ); }

}	// namespace

BENCHMARK( BM_RpCollisionWorldLine );
BENCHMARK( BM_RpCollisionWorldSphere );
BENCHMARK( BM_RpCollisionWorldBox );
BENCHMARK( BM_RpCollisionAtomicLineTree );
BENCHMARK( BM_RpCollisionAtomicLineNoTree );
BENCHMARK( BM_RpCollisionAtomicSphereTree );
BENCHMARK( BM_RpCollisionAtomicSphereNoTree );
