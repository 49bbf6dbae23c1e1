// The tri-stripper's strips against an independent mesh library: its
// unstripifier decodes every strip a second time, and its own stripifier
// sets the bar for the length of a grid's strips.

#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpMeshTestInputs.h"
#include "graphics3d/world/RpWorldTestSupport.h"

#ifndef ENGINE_PEER_MISSING
#include <meshoptimizer.h>
#endif

namespace {

class RpTriStripPeerTest : public RpWorldTestCase {
protected:
	// The strips of every material run, joined meshes in header order.
	std::vector<std::vector<u16>> Strips( const std::vector<RpTestTriangle>& triangles ) {
		RpMaterial* slots[3] = { RpMaterialCreate(), RpMaterialCreate(), RpMaterialCreate() };
		RpBuildMesh* const buildMesh = _rpBuildMeshCreate( static_cast<u32>( triangles.size() ) );
		for ( const RpTestTriangle& t : triangles ) {
			_rpBuildMeshAddTriangle( buildMesh, t.material >= 0 ? slots[t.material] : nullptr, t.v[0], t.v[1], t.v[2] );
		}
		RpMeshHeader* const header = _rpMeshOptimise( buildMesh, rpMESHOPTIMISETRISTRIP );
		std::vector<std::vector<u16>> strips;
		const RpMesh* const meshes = RpMeshHeaderGetMeshes( header );
		for ( u32 m = 0; m < header->numMeshes; m++ ) {
			strips.emplace_back( meshes[m].indices, meshes[m].indices + meshes[m].numIndices );
		}
		_rpMeshDestroy( header );
		for ( RpMaterial* material : slots ) {
			RpMaterialDestroy( material );
		}
		return strips;
	}
};

#ifdef ENGINE_PEER_MISSING

TEST_F( RpTriStripPeerTest, NeedsThePeerLibrary ) {
	FAIL() << "the mesh library to compare with is not installed";
}

#else

// Non-degenerate triangles of a triangle list, canonical and sorted.
std::vector<RpTestTri> ListTriangles( const std::vector<u32>& list ) {
	std::vector<RpTestTri> triangles;
	for ( size_t i = 0; i + 2 < list.size(); i += 3 ) {
		const RpTestTri t = { static_cast<u16>( list[i] ), static_cast<u16>( list[i + 1] ), static_cast<u16>( list[i + 2] ) };
		if ( !RpTestDegenerate( t ) ) {
			triangles.push_back( RpTestCanonical( t ) );
		}
	}
	std::sort( triangles.begin(), triangles.end() );
	return triangles;
}

TEST_F( RpTriStripPeerTest, ThePeersUnstripifierDecodesTheSameTriangles ) {
	for ( const RpTestInput& input : RpTestGeneratedInputs() ) {
		SCOPED_TRACE( input.name );
		std::vector<RpTestTri> ours;
		std::vector<RpTestTri> peer;
		for ( const std::vector<u16>& strip : Strips( input.triangles ) ) {
			const std::vector<u32> indices( strip.begin(), strip.end() );
			std::vector<u32> list( meshopt_unstripifyBound( indices.size() ) );
			list.resize( meshopt_unstripify( list.data(), indices.data(), indices.size(), 0u ) );
			const std::vector<RpTestTri> decoded = ListTriangles( list );
			peer.insert( peer.end(), decoded.begin(), decoded.end() );
			const std::vector<RpTestTri> mine = RpTestDecodeStrip( strip );
			ours.insert( ours.end(), mine.begin(), mine.end() );
		}
		std::vector<RpTestTri> expected;
		for ( const auto& [slot, triangles] : RpTestExpected( input ) ) {
			expected.insert( expected.end(), triangles.begin(), triangles.end() );
		}
		std::sort( ours.begin(), ours.end() );
		std::sort( peer.begin(), peer.end() );
		std::sort( expected.begin(), expected.end() );
		EXPECT_EQ( peer, expected );
		EXPECT_EQ( ours, peer );
	}
}

TEST_F( RpTriStripPeerTest, AGridStripStaysWithinTwiceThePeersLength ) {
	const std::vector<RpTestTriangle> grid = RpTestGrid( 64, 64 );
	std::vector<u32> list;
	for ( const RpTestTriangle& t : grid ) {
		list.insert( list.end(), t.v.begin(), t.v.end() );
	}
	std::vector<u32> peerStrip( meshopt_stripifyBound( list.size() ) );
	peerStrip.resize( meshopt_stripify( peerStrip.data(), list.data(), list.size(), 65 * 65, 0u ) );
	const std::vector<std::vector<u16>> strips = Strips( grid );
	ASSERT_EQ( strips.size(), 1u );
	EXPECT_LE( strips[0].size(), 2 * peerStrip.size() );
}

#endif

}	// namespace
