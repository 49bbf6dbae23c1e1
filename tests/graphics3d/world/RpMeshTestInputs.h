/*
===============================================================================

	Generated triangle sets for the mesh tests, and a strip decoder.

	Each input is a list of triangles with a material slot (0 to 2, or -1
	for none). Grids are quads of two triangles wound the same way;
	shuffling reorders the triangles and rotates each one's vertices
	(winding kept); a tube closes a grid around one axis; soups are random
	triangles over few vertices, so edges are shared either way round, by
	three triangles, and repeated; degenerate triangles are mixed in.

	Decoding reads a strip with standard parity (odd triangles swap their
	first two vertices) and drops degenerate triangles. Triangles compare
	in a canonical rotation, so winding counts and the first vertex does
	not.

===============================================================================
*/
#ifndef RP_MESH_TEST_INPUTS_H
#define RP_MESH_TEST_INPUTS_H

#include "datatypes/base/DTTypes.h"

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

struct RpTestTriangle {
	std::array<u16, 3>	v;
	s32					material;	// slot, -1 for none
};

struct RpTestInput {
	std::string					name;
	std::vector<RpTestTriangle>	triangles;
};

typedef std::array<u16, 3> RpTestTri;

// The rotation of the triangle that starts with its smallest vertex.
inline RpTestTri RpTestCanonical( const RpTestTri& t ) {
	const size_t first = std::min_element( t.begin(), t.end() ) - t.begin();
	return { t[first], t[( first + 1 ) % 3], t[( first + 2 ) % 3] };
}

inline bool RpTestDegenerate( const RpTestTri& t ) {
	return t[0] == t[1] || t[1] == t[2] || t[2] == t[0];
}

// The non-degenerate triangles of a strip, canonical and sorted.
inline std::vector<RpTestTri> RpTestDecodeStrip( const std::vector<u16>& strip ) {
	std::vector<RpTestTri> triangles;
	for ( size_t i = 0; i + 2 < strip.size(); i++ ) {
		RpTestTri t = { strip[i], strip[i + 1], strip[i + 2] };
		if ( i % 2 == 1 ) {
			std::swap( t[0], t[1] );
		}
		if ( !RpTestDegenerate( t ) ) {
			triangles.push_back( RpTestCanonical( t ) );
		}
	}
	std::sort( triangles.begin(), triangles.end() );
	return triangles;
}

// The expected non-degenerate triangles of each material slot.
inline std::map<s32, std::vector<RpTestTri>> RpTestExpected( const RpTestInput& input ) {
	std::map<s32, std::vector<RpTestTri>> bySlot;
	for ( const RpTestTriangle& t : input.triangles ) {
		if ( !RpTestDegenerate( t.v ) ) {
			bySlot[t.material].push_back( RpTestCanonical( t.v ) );
		}
	}
	for ( auto& [slot, triangles] : bySlot ) {
		std::sort( triangles.begin(), triangles.end() );
	}
	return bySlot;
}

// A grid of width x height quads; wrap closes it into a tube around x.
inline std::vector<RpTestTriangle> RpTestGrid( const u32 width, const u32 height, const bool wrap = false,
											   const s32 materials = 1 ) {
	const u32 columns = wrap ? width : width + 1;
	const auto vertex = [&]( const u32 x, const u32 y ) { return static_cast<u16>( y * columns + ( x % columns ) ); };
	std::vector<RpTestTriangle> triangles;
	for ( u32 y = 0; y < height; y++ ) {
		for ( u32 x = 0; x < width; x++ ) {
			const s32 material = static_cast<s32>( ( x + y ) % static_cast<u32>( materials ) );
			const u16 a = vertex( x, y );
			const u16 b = vertex( x + 1, y );
			const u16 c = vertex( x, y + 1 );
			const u16 d = vertex( x + 1, y + 1 );
			triangles.push_back( { { a, b, c }, material } );
			triangles.push_back( { { c, b, d }, material } );
		}
	}
	return triangles;
}

inline std::vector<RpTestTriangle> RpTestShuffled( std::vector<RpTestTriangle> triangles, const u32 seed ) {
	std::mt19937 random( seed );
	std::shuffle( triangles.begin(), triangles.end(), random );
	for ( RpTestTriangle& t : triangles ) {
		std::rotate( t.v.begin(), t.v.begin() + random() % 3, t.v.end() );
	}
	return triangles;
}

inline std::vector<RpTestTriangle> RpTestSoup( const u32 count, const u32 vertices, const u32 seed, const s32 materials ) {
	std::mt19937 random( seed );
	std::vector<RpTestTriangle> triangles;
	for ( u32 i = 0; i < count; i++ ) {
		RpTestTriangle t;
		for ( u16& v : t.v ) {
			v = static_cast<u16>( random() % vertices );
		}
		t.material = static_cast<s32>( random() % static_cast<u32>( materials ) ) - ( materials > 1 ? 1 : 0 );
		triangles.push_back( t );
	}
	return triangles;
}

inline std::vector<RpTestInput> RpTestGeneratedInputs() {
	std::vector<RpTestInput> inputs;
	inputs.push_back( { "regular 12 x 9 grid", RpTestGrid( 12, 9 ) } );
	inputs.push_back( { "three-material grid", RpTestGrid( 10, 10, false, 3 ) } );
	for ( u32 seed = 1; seed <= 6; seed++ ) {
		inputs.push_back( { "shuffled grid " + std::to_string( seed ), RpTestShuffled( RpTestGrid( 11, 7 ), seed ) } );
	}
	inputs.push_back( { "closed tube", RpTestGrid( 16, 6, true ) } );
	inputs.push_back( { "shuffled closed tube", RpTestShuffled( RpTestGrid( 9, 9, true ), 77 ) } );
	for ( u32 seed = 1; seed <= 40; seed++ ) {
		inputs.push_back( { "soup " + std::to_string( seed ), RpTestSoup( 20 + seed * 7, 6 + seed % 13, seed, 1 + seed % 3 ) } );
	}
	inputs.push_back( { "three triangles on one edge",
						{ { { 0, 1, 2 }, 0 }, { { 1, 0, 3 }, 0 }, { { 1, 0, 4 }, 0 }, { { 0, 1, 5 }, 0 }, { { 4, 0, 6 }, 0 } } } );
	// A degenerate triangle between neighbours: the strip must leave it by
	// position, not by a vertex the edge's two ends share.
	inputs.push_back( { "degenerate between neighbours",
						{ { { 7, 3, 5 }, 0 }, { { 3, 3, 7 }, 0 }, { { 2, 6, 3 }, 0 }, { { 2, 7, 6 }, 0 }, { { 2, 3, 3 }, 0 } } } );
	std::vector<RpTestTriangle> degenerate = RpTestGrid( 4, 3 );
	degenerate.insert( degenerate.begin() + 3, { { 0, 0, 1 }, 0 } );
	degenerate.insert( degenerate.begin() + 7, { { 5, 5, 5 }, 0 } );
	degenerate.push_back( { { 6, 7, 6 }, 0 } );
	degenerate.push_back( { { 1, 0, 0 }, 0 } );
	inputs.push_back( { "degenerates in a grid", degenerate } );
	return inputs;
}

#endif
