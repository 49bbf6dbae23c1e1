// Speed of building meshes from a build mesh: strips and lists over grids
// of about 2k, 20k and 200k triangles, with one or eight materials (in
// blocks of 8 x 8 quads), in grid order and shuffled. Counters: indices
// per triangle of the result and, for strips, of the independent mesh
// library's stripifier on the same triangles in the same order (when it is
// installed; it expects cache-ordered input, so shuffled grids cost it).
// Edge pairing by walking the whole edge list runs beside the indexed
// pairing at 2k and 20k triangles.
//
// Indices are 16 bits: the 200k grid's vertex numbers wrap at 65536, which
// only adds shared vertices and edges.
//
// The library is started over the host test device for each benchmark,
// with the host's memory functions: the larger grids need more than the
// engine's global heap holds.
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpTriStripTesting.h"
#include "graphics3d/world/RpWorldPlugin.h"

#include <benchmark/benchmark.h>

#ifdef ENGINE_HAVE_MESHOPTIMIZER
#include <meshoptimizer.h>
#endif

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

// Handed to the device's open; the device keeps it unread.
u32 deviceConfig = 0;

struct BenchTriangle {
	std::array<u16, 3>	v;
	u32					material;
};

// A square grid of about the given number of triangles.
std::vector<BenchTriangle> Grid( const u32 triangles, const u32 materials, const bool shuffled ) {
	u32 side = 1;
	while ( 2 * ( side + 1 ) * ( side + 1 ) <= triangles ) {
		side++;
	}
	const auto vertex = [side]( const u32 x, const u32 y ) { return static_cast<u16>( y * ( side + 1 ) + x ); };
	std::vector<BenchTriangle> grid;
	for ( u32 y = 0; y < side; y++ ) {
		for ( u32 x = 0; x < side; x++ ) {
			const u32 material = ( x / 8 + y / 8 ) % materials;
			grid.push_back( { { vertex( x, y ), vertex( x + 1, y ), vertex( x, y + 1 ) }, material } );
			grid.push_back( { { vertex( x, y + 1 ), vertex( x + 1, y ), vertex( x + 1, y + 1 ) }, material } );
		}
	}
	if ( shuffled ) {
		std::mt19937 random( 7 );
		std::shuffle( grid.begin(), grid.end(), random );
	}
	return grid;
}

// The library started for one benchmark, with materials to use.
class StartedLibrary {
public:
	explicit StartedLibrary( const u32 count ) {
		started = RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) && RpWorldPluginAttach() &&
				  RwEngineOpen( &deviceConfig ) && RwEngineStart();
		for ( u32 i = 0; started && i < count; i++ ) {
			materials.push_back( RpMaterialCreate() );
		}
	}
	~StartedLibrary() {
		for ( RpMaterial* material : materials ) {
			RpMaterialDestroy( material );
		}
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
	}

	bool						started = false;
	std::vector<RpMaterial*>	materials;
};

void Optimise( benchmark::State& state, const u32 flags, const bool listWalk ) {
	const u32 materialCount = static_cast<u32>( state.range( 1 ) );
	const std::vector<BenchTriangle> grid = Grid( static_cast<u32>( state.range( 0 ) ), materialCount, state.range( 2 ) != 0 );
	StartedLibrary library( materialCount );
	if ( !library.started ) {
		state.SkipWithError( "the 3D library did not start" );
		return;
	}
	_rpTriStripUseListWalkPairing( listWalk );
	u32 indices = 0;
	for ( auto _ : state ) {
		state.PauseTiming();
		RpBuildMesh* const buildMesh = _rpBuildMeshCreate( static_cast<u32>( grid.size() ) );
		for ( const BenchTriangle& t : grid ) {
			_rpBuildMeshAddTriangle( buildMesh, library.materials[t.material], t.v[0], t.v[1], t.v[2] );
		}
		state.ResumeTiming();
		RpMeshHeader* const header = _rpMeshOptimise( buildMesh, flags );
		state.PauseTiming();
		if ( header == nullptr ) {
			state.SkipWithError( "no meshes were made" );
			break;
		}
		indices = header->totalIndicesInMesh;
		_rpMeshDestroy( header );
		state.ResumeTiming();
	}
	_rpTriStripUseListWalkPairing( false );
	state.counters["triangles"] = static_cast<double>( grid.size() );
	state.counters["indicesPerTriangle"] = static_cast<double>( indices ) / static_cast<double>( grid.size() );
#ifdef ENGINE_HAVE_MESHOPTIMIZER
	if ( flags & rpMESHOPTIMISETRISTRIP ) {
		// The peer strips each material's triangles on its own, as we do.
		size_t peerIndices = 0;
		for ( u32 material = 0; material < materialCount; material++ ) {
			std::vector<u32> list;
			for ( const BenchTriangle& t : grid ) {
				if ( t.material == material ) {
					list.insert( list.end(), t.v.begin(), t.v.end() );
				}
			}
			if ( list.empty() ) {
				continue;
			}
			std::vector<u32> strip( meshopt_stripifyBound( list.size() ) );
			peerIndices += meshopt_stripify( strip.data(), list.data(), list.size(), 65536, 0u );
		}
		state.counters["peerIndicesPerTriangle"] = static_cast<double>( peerIndices ) / static_cast<double>( grid.size() );
	}
#endif
}

void BM_RpMeshOptimiseStrips( benchmark::State& state ) {
	Optimise( state, rpMESHOPTIMISETRISTRIP, false );
}

void BM_RpMeshOptimiseLists( benchmark::State& state ) {
	Optimise( state, 0, false );
}

void BM_RpMeshOptimiseStripsListWalkPairing( benchmark::State& state ) {
	Optimise( state, rpMESHOPTIMISETRISTRIP, true );
}

}	// namespace

// Arguments: triangles, materials, shuffled.
BENCHMARK( BM_RpMeshOptimiseStrips )
	->ArgsProduct( { { 2000, 20000, 200000 }, { 1, 8 }, { 0, 1 } } )
	->Unit( benchmark::kMillisecond );
BENCHMARK( BM_RpMeshOptimiseLists )
	->ArgsProduct( { { 2000, 20000, 200000 }, { 1, 8 }, { 0, 1 } } )
	->Unit( benchmark::kMillisecond );
BENCHMARK( BM_RpMeshOptimiseStripsListWalkPairing )
	->ArgsProduct( { { 2000, 20000 }, { 1 }, { 0, 1 } } )
	->Unit( benchmark::kMillisecond );
