#include "tools/lib/graphics3d/ToolCollisionPrimWriter.h"

#include "tools/lib/ToolChunkWriter.h"
#include "tools/lib/level/ToolCollisionMapWriter.h"

#include <cmath>
#include <string>

namespace {

u32 PayloadWords( const u32 shape ) {
	static const u32 words[] = { 1, 4, 3, 2 };
	return shape < 4 ? words[shape] : 0;
}

// One polygon record: attribute, edge-grab and vertex count as one word,
// check word, plane, vertices, edge planes. A polygon the map writer
// refuses (kept for malformed data) gets zero planes.
void PutPolygon( ToolChunkWriter& out, const ToolCollisionPolygon& polygon ) {
	std::vector<f32> planes;
	std::string error;
	ToolColPolygon map;
	map.vertices = polygon.vertices;
	if ( !ToolCollisionMapWriter::PolygonPlanes( map, planes, error ) ) {
		planes.assign( 4 * ( polygon.vertices.size() + 1 ), 0.0f );
	}
	out.WriteU32( polygon.attrib );
	out.WriteU32( polygon.edgeGrab | ( static_cast<u32>( polygon.vertices.size() ) << 16 ) );
	out.WriteU32( 0 );
	for ( size_t i = 0; i < 4; i++ ) {
		out.WriteF32( planes[i] );
	}
	for ( const auto& v : polygon.vertices ) {
		for ( const f32 c : v ) {
			out.WriteF32( c );
		}
	}
	for ( size_t i = 4; i < planes.size(); i++ ) {
		out.WriteF32( planes[i] );
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
	u32 size = 8 + ( prims.prims.empty() ? 0 : 16 ) + PolygonBytes( prims.polygons, prims.polygons.size() );
	for ( const ToolCollisionPrim& prim : prims.prims ) {
		size += 76 + 4 * PayloadWords( prim.shape );
	}
	ToolChunkWriter out;
	out.WriteS32( prims.storedSize.value_or( static_cast<s32>( size ) ) );
	out.WriteS32( prims.storedCount.value_or( static_cast<s32>( prims.prims.size() ) ) );
	if ( !prims.prims.empty() ) {
		for ( const f32 c : prims.sphere.value_or( std::array<f32, 4>{ 0, 0, 0, 0 } ) ) {
			out.WriteF32( c );
		}
	}
	for ( const ToolCollisionPrim& prim : prims.prims ) {
		out.WriteU32( prim.shape );
		out.WriteU32( prim.tag );
		out.WriteS32( prim.joint );
		for ( const f32 c : prim.offset ) {
			out.WriteF32( c );
		}
		for ( const f32 c : prim.unused ) {
			out.WriteF32( c );
		}
		for ( const u32 word : prim.attribs ) {
			out.WriteU32( word );
		}
		if ( prim.shape == 3 ) {
			out.WriteU32( prim.polygonCount );
			out.WriteU32( prim.polygonOffset );
		} else {
			for ( u32 i = 0; i < PayloadWords( prim.shape ); i++ ) {
				out.WriteF32( prim.size[i] );
			}
		}
	}
	for ( const ToolCollisionPolygon& polygon : prims.polygons ) {
		PutPolygon( out, polygon );
	}
	std::vector<u8> payload;
	out.Finish( payload );
	return { TOOL_PLUGIN_COLLISION_PRIMS, payload };
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
