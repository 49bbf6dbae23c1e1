#include "tools/lib/graphics3d/ToolCollisionPrimWriter.h"

#include "tools/lib/level/ToolCollisionMapWriter.h"

#include <bit>
#include <cmath>
#include <string>

namespace {

void PutWord( std::vector<u8>& out, const u32 value ) {
	for ( u32 i = 0; i < 4; i++ ) {
		out.push_back( static_cast<u8>( value >> ( 8 * i ) ) );
	}
}

void PutFloat( std::vector<u8>& out, const f32 value ) {
	PutWord( out, std::bit_cast<u32>( value ) );
}

void PutWordAt( std::vector<u8>& out, const size_t at, const u32 value ) {
	for ( u32 i = 0; i < 4; i++ ) {
		out[at + i] = static_cast<u8>( value >> ( 8 * i ) );
	}
}

u32 PayloadWords( const u32 shape ) {
	static const u32 words[] = { 1, 4, 3, 2 };
	return shape < 4 ? words[shape] : 0;
}

// One polygon record: attribute, edge-grab and vertex count as one word,
// check word, plane, vertices, edge planes. A polygon the map writer
// refuses (kept for malformed data) gets zero planes.
void PutPolygon( std::vector<u8>& out, const ToolCollisionPolygon& polygon ) {
	std::vector<f32> planes;
	std::string error;
	ToolColPolygon map;
	map.vertices = polygon.vertices;
	if ( !ToolCollisionMapWriter::PolygonPlanes( map, planes, error ) ) {
		planes.assign( 4 * ( polygon.vertices.size() + 1 ), 0.0f );
	}
	PutWord( out, polygon.attrib );
	PutWord( out, polygon.edgeGrab | ( static_cast<u32>( polygon.vertices.size() ) << 16 ) );
	PutWord( out, 0 );
	for ( size_t i = 0; i < 4; i++ ) {
		PutFloat( out, planes[i] );
	}
	for ( const auto& v : polygon.vertices ) {
		for ( const f32 c : v ) {
			PutFloat( out, c );
		}
	}
	for ( size_t i = 4; i < planes.size(); i++ ) {
		PutFloat( out, planes[i] );
	}
}

}	// namespace

u32 ToolCollisionPrimWriter::PolygonBytes( const std::vector<ToolCollisionPolygon>& polygons, const size_t count ) {
	u32 bytes = 0;
	for ( size_t i = 0; i < count && i < polygons.size(); i++ ) {
		bytes += 28 + 28 * static_cast<u32>( polygons[i].vertices.size() );
	}
	return bytes;
}

ToolExtensionEntry ToolCollisionPrimWriter::Entry( const ToolCollisionPrims& prims ) {
	std::vector<u8> out;
	PutWord( out, 0 );
	PutWord( out, static_cast<u32>( prims.storedCount.value_or( static_cast<s32>( prims.prims.size() ) ) ) );
	if ( !prims.prims.empty() ) {
		const std::array<f32, 4> sphere = prims.sphere.value_or( std::array<f32, 4>{ 0, 0, 0, 0 } );
		for ( const f32 c : sphere ) {
			PutFloat( out, c );
		}
	}
	for ( const ToolCollisionPrim& prim : prims.prims ) {
		PutWord( out, prim.shape );
		PutWord( out, prim.tag );
		PutWord( out, static_cast<u32>( prim.joint ) );
		for ( const f32 c : prim.offset ) {
			PutFloat( out, c );
		}
		for ( const f32 c : prim.unused ) {
			PutFloat( out, c );
		}
		for ( const u32 word : prim.attribs ) {
			PutWord( out, word );
		}
		if ( prim.shape == 3 ) {
			PutWord( out, prim.polygonCount );
			PutWord( out, prim.polygonOffset );
		} else {
			for ( u32 i = 0; i < PayloadWords( prim.shape ); i++ ) {
				PutFloat( out, prim.size[i] );
			}
		}
	}
	for ( const ToolCollisionPolygon& polygon : prims.polygons ) {
		PutPolygon( out, polygon );
	}
	PutWordAt( out, 0, static_cast<u32>( prims.storedSize.value_or( static_cast<s32>( out.size() ) ) ) );
	return { TOOL_PLUGIN_COLLISION_PRIMS, out };
}

std::vector<std::pair<const char*, ToolExtensionEntry>> ToolCollisionPrimWriter::Malformed( const ToolCollisionPrims& sound ) {
	std::vector<std::pair<const char*, ToolExtensionEntry>> out;
	const auto variant = [&]( const char* name, auto change ) {
		ToolCollisionPrims prims = sound;
		change( prims );
		out.emplace_back( name, Entry( prims ) );
	};
	variant( "negative count", []( ToolCollisionPrims& p ) { p.storedCount = -1; } );
	variant( "count beyond the chunk", []( ToolCollisionPrims& p ) { p.storedCount = 0x10000000; } );
	variant( "unknown shape", []( ToolCollisionPrims& p ) {
		if ( !p.prims.empty() ) {
			p.prims.back().shape = 4;
		}
	} );
	variant( "polygon set past the data", []( ToolCollisionPrims& p ) {
		for ( ToolCollisionPrim& prim : p.prims ) {
			if ( prim.shape == 3 ) {
				prim.polygonCount += 5;
			}
		}
	} );
	variant( "polygon set offset inside a record", []( ToolCollisionPrims& p ) {
		for ( ToolCollisionPrim& prim : p.prims ) {
			if ( prim.shape == 3 ) {
				prim.polygonOffset += 4;
			}
		}
	} );
	variant( "two vertices", []( ToolCollisionPrims& p ) {
		if ( !p.polygons.empty() ) {
			p.polygons[0].vertices.resize( 2 );
		}
	} );
	variant( "zero-length edge", []( ToolCollisionPrims& p ) {
		if ( !p.polygons.empty() && p.polygons[0].vertices.size() > 1 ) {
			p.polygons[0].vertices[1] = p.polygons[0].vertices[0];
		}
	} );
	variant( "not a number", []( ToolCollisionPrims& p ) {
		if ( !p.polygons.empty() ) {
			p.polygons[0].vertices[0][0] = std::nanf( "" );
		}
	} );
	// Byte-level damage: a vertex count with bit 15 set, data cut mid-word.
	ToolExtensionEntry wide = Entry( sound );
	const size_t first = wide.payload.size() - PolygonBytes( sound.polygons, sound.polygons.size() );
	if ( !sound.polygons.empty() ) {
		wide.payload[first + 7] |= 0x80;
		out.emplace_back( "vertex count with bit 15", wide );
	}
	ToolExtensionEntry cut = Entry( sound );
	cut.payload.resize( cut.payload.size() - 2 );
	out.emplace_back( "polygon data cut mid-word", cut );
	return out;
}
