/*
	ToolClumpWriter: a model's collision-primitive entry and its malformed
	variants.
*/
#include "tools/lib/graphics3d/ToolClumpWriter.h"

#include <bit>
#include <cmath>
#include <cstring>

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

using Vec = std::array<double, 3>;

Vec Cross( const Vec& a, const Vec& b ) {
	return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] };
}

Vec Unit( const Vec& v ) {
	const double l = std::sqrt( v[0] * v[0] + v[1] * v[1] + v[2] * v[2] );
	return l > 0.0 ? Vec{ v[0] / l, v[1] / l, v[2] / l } : Vec{ 0.0, 0.0, 1.0 };
}

double Dot( const Vec& a, const Vec& b ) {
	return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// One polygon record: attribute, edge-grab and vertex count as one word,
// check word, plane, vertices, outward edge planes.
void PutPolygon( std::vector<u8>& out, const ToolCollisionPolygon& polygon ) {
	const size_t n = polygon.vertices.size();
	Vec normal = { 0.0, 0.0, 0.0 };
	for ( size_t i = 0; i < n; i++ ) {
		const auto& a = polygon.vertices[i];
		const auto& b = polygon.vertices[( i + 1 ) % n];
		normal[0] += ( double( a[1] ) - b[1] ) * ( double( a[2] ) + b[2] );
		normal[1] += ( double( a[2] ) - b[2] ) * ( double( a[0] ) + b[0] );
		normal[2] += ( double( a[0] ) - b[0] ) * ( double( a[1] ) + b[1] );
	}
	normal = Unit( normal );
	const auto at = [&]( const size_t i ) {
		const auto& v = polygon.vertices[i % n];
		return Vec{ v[0], v[1], v[2] };
	};
	PutWord( out, polygon.attrib );
	PutWord( out, polygon.edgeGrab | ( static_cast<u32>( n ) << 16 ) );
	PutWord( out, 0 );
	for ( const double c : normal ) {
		PutFloat( out, static_cast<f32>( c ) );
	}
	PutFloat( out, n != 0 ? static_cast<f32>( -Dot( normal, at( 0 ) ) ) : 0.0f );
	for ( const auto& v : polygon.vertices ) {
		for ( const f32 c : v ) {
			PutFloat( out, c );
		}
	}
	for ( size_t i = 0; i < n; i++ ) {
		const Vec a = at( i );
		const Vec b = at( i + 1 );
		const Vec edge = Unit( Cross( { b[0] - a[0], b[1] - a[1], b[2] - a[2] }, normal ) );
		for ( const double c : edge ) {
			PutFloat( out, static_cast<f32>( c ) );
		}
		PutFloat( out, static_cast<f32>( -Dot( edge, a ) ) );
	}
}

}	// namespace

u32 ToolClumpWriter::PolygonBytes( const std::vector<ToolCollisionPolygon>& polygons, const size_t count ) {
	u32 bytes = 0;
	for ( size_t i = 0; i < count && i < polygons.size(); i++ ) {
		bytes += 28 + 28 * static_cast<u32>( polygons[i].vertices.size() );
	}
	return bytes;
}

ToolExtensionEntry ToolClumpWriter::CollisionPrims( const ToolCollisionPrims& prims ) {
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

std::vector<std::pair<const char*, ToolExtensionEntry>> ToolClumpWriter::MalformedCollisionPrims(
	const ToolCollisionPrims& sound ) {
	std::vector<std::pair<const char*, ToolExtensionEntry>> out;
	const auto variant = [&]( const char* name, auto change ) {
		ToolCollisionPrims prims = sound;
		change( prims );
		out.emplace_back( name, CollisionPrims( prims ) );
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
	ToolExtensionEntry wide = CollisionPrims( sound );
	const size_t first = wide.payload.size() - PolygonBytes( sound.polygons, sound.polygons.size() );
	if ( !sound.polygons.empty() ) {
		wide.payload[first + 7] |= 0x80;
		out.emplace_back( "vertex count with bit 15", wide );
	}
	ToolExtensionEntry cut = CollisionPrims( sound );
	cut.payload.resize( cut.payload.size() - 2 );
	out.emplace_back( "polygon data cut mid-word", cut );
	return out;
}
