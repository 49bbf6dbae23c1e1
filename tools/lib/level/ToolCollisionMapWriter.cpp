#include "tools/lib/level/ToolCollisionMapWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolMalformedData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

typedef std::array<double, 3> Vec;

// How far a child's box reaches past its half of the parent.
constexpr double kOverlap = 1e-3;

ToolColMapImageCheck gImageCheck = nullptr;

Vec ToVec( const ToolVec3& v ) {
	return { v[0], v[1], v[2] };
}
Vec Sub( const Vec& a, const Vec& b ) {
	return { a[0] - b[0], a[1] - b[1], a[2] - b[2] };
}
Vec Cross( const Vec& a, const Vec& b ) {
	return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] };
}
double Dot( const Vec& a, const Vec& b ) {
	return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
double Length( const Vec& a ) {
	return std::sqrt( Dot( a, a ) );
}
Vec Scale( const Vec& a, const double s ) {
	return { a[0] * s, a[1] * s, a[2] * s };
}

struct Plane {
	Vec normal;
	double d;
};

// Positive zero for either zero, so equal geometry gives equal bytes.
f32 Stored( const double v ) {
	return static_cast<f32>( v + 0.0 );
}

struct Prepared {
	Plane plane;
	std::vector<Plane> edges;
	Vec lo, hi;
};

// Newell's normal of the winding; edge planes outward.
bool Prepare( const ToolColPolygon& polygon, Prepared& out, std::string& error ) {
	const size_t n = polygon.vertices.size();
	if ( n < 3 || n > 32 ) {
		error = "a polygon needs 3 to 32 vertices";
		return false;
	}
	Vec normal = { 0.0, 0.0, 0.0 };
	Vec centre = { 0.0, 0.0, 0.0 };
	out.lo = out.hi = ToVec( polygon.vertices[0] );
	for ( size_t i = 0; i < n; i++ ) {
		const Vec a = ToVec( polygon.vertices[i] );
		const Vec b = ToVec( polygon.vertices[( i + 1 ) % n] );
		normal[0] += ( a[1] - b[1] ) * ( a[2] + b[2] );
		normal[1] += ( a[2] - b[2] ) * ( a[0] + b[0] );
		normal[2] += ( a[0] - b[0] ) * ( a[1] + b[1] );
		centre = { centre[0] + a[0], centre[1] + a[1], centre[2] + a[2] };
		for ( int k = 0; k < 3; k++ ) {
			out.lo[k] = std::min( out.lo[k], a[k] );
			out.hi[k] = std::max( out.hi[k], a[k] );
		}
		if ( Length( Sub( b, a ) ) == 0.0 ) {
			error = "a polygon has a zero-length edge";
			return false;
		}
	}
	const double length = Length( normal );
	if ( !( length > 1e-12 ) ) {
		error = "a polygon has no area";
		return false;
	}
	normal = Scale( normal, 1.0 / length );
	centre = Scale( centre, 1.0 / static_cast<double>( n ) );
	out.plane = { normal, -Dot( normal, centre ) };
	out.edges.clear();
	for ( size_t i = 0; i < n; i++ ) {
		const Vec a = ToVec( polygon.vertices[i] );
		const Vec b = ToVec( polygon.vertices[( i + 1 ) % n] );
		Vec edge = Cross( Sub( b, a ), normal );
		edge = Scale( edge, 1.0 / Length( edge ) );
		const Plane plane = { edge, -Dot( edge, a ) };
		for ( size_t j = 0; j < n; j++ ) {
			if ( Dot( plane.normal, ToVec( polygon.vertices[j] ) ) + plane.d > 1e-4 * ( 1.0 + Length( Sub( b, a ) ) ) ) {
				error = "a polygon is not convex in its winding";
				return false;
			}
		}
		out.edges.push_back( plane );
	}
	return true;
}

struct Node {
	u32 flags = 0;
	Vec centre, half;
	std::array<int, 8> children = { -1, -1, -1, -1, -1, -1, -1, -1 };
	std::vector<u32> polygons;
	u32 offset = 0;		// from the root
};

// Whether the polygon's area may touch the box (conservative).
bool Touches( const ToolColPolygon& polygon, const Prepared& p, const Vec& centre, const Vec& half ) {
	constexpr double kMargin = 1e-3;
	for ( int k = 0; k < 3; k++ ) {
		if ( p.lo[k] > centre[k] + half[k] + kMargin || p.hi[k] < centre[k] - half[k] - kMargin ) {
			return false;
		}
	}
	const double reach = std::fabs( p.plane.normal[0] ) * half[0] + std::fabs( p.plane.normal[1] ) * half[1] +
						 std::fabs( p.plane.normal[2] ) * half[2];
	if ( std::fabs( Dot( p.plane.normal, centre ) + p.plane.d ) > reach + kMargin ) {
		return false;
	}
	// Separated by one of the polygon's edge planes.
	for ( const Plane& edge : p.edges ) {
		const double r = std::fabs( edge.normal[0] ) * half[0] + std::fabs( edge.normal[1] ) * half[1] +
						 std::fabs( edge.normal[2] ) * half[2];
		if ( Dot( edge.normal, centre ) + edge.d > r + kMargin ) {
			return false;
		}
	}
	(void)polygon;
	return true;
}

}	// namespace

bool ToolCollisionMapWriter::Encode( const ToolColMap& map, std::vector<u8>& blob, std::string& error,
									 ToolColMapLayout* layout ) {
	std::vector<Prepared> prepared( map.polygons.size() );
	Vec lo = { 0.0, 0.0, 0.0 };
	Vec hi = { 0.0, 0.0, 0.0 };
	for ( size_t i = 0; i < map.polygons.size(); i++ ) {
		if ( map.polygons[i].attrib >= map.attribs.size() ) {
			error = "a polygon names no attribute record";
			return false;
		}
		if ( !Prepare( map.polygons[i], prepared[i], error ) ) {
			return false;
		}
		for ( int k = 0; k < 3; k++ ) {
			lo[k] = i == 0 ? prepared[i].lo[k] : std::min( lo[k], prepared[i].lo[k] );
			hi[k] = i == 0 ? prepared[i].hi[k] : std::max( hi[k], prepared[i].hi[k] );
		}
	}
	std::vector<Node> nodes( 1 );
	for ( int k = 0; k < 3; k++ ) {
		nodes[0].centre[k] = 0.5 * ( lo[k] + hi[k] );
		nodes[0].half[k] = 0.5 * ( hi[k] - lo[k] ) + 0.01;
	}
	for ( u32 i = 0; i < map.polygons.size(); i++ ) {
		nodes[0].polygons.push_back( i );
	}
	std::function<void( size_t, u32 )> build = [&]( const size_t index, const u32 depth ) {
		if ( nodes[index].polygons.size() <= map.leafSize || depth >= map.maxDepth ) {
			nodes[index].flags = 0x1;
			return;
		}
		const Vec half = nodes[index].half;
		const double largest = std::max( { half[0], half[1], half[2] } );
		u32 split = 0;
		for ( int k = 0; k < 3; k++ ) {
			if ( half[k] >= 0.5 * largest ) {
				split |= 2u << k;
			}
		}
		std::array<std::vector<u32>, 8> lists;
		std::array<Vec, 8> centres, halves;
		bool smaller = false;
		for ( u32 c = 0; c < 8; c++ ) {
			bool exists = true;
			for ( int k = 0; k < 3; k++ ) {
				const bool bit = ( ( c >> k ) & 1 ) != 0;
				if ( ( split & ( 2u << k ) ) == 0 ) {
					exists = exists && !bit;
					centres[c][k] = nodes[index].centre[k];
					halves[c][k] = half[k];
				} else {
					// Children overlap a little, so that a ray running
					// along a split plane lies inside a child's slab.
					centres[c][k] = nodes[index].centre[k] + ( bit ? 0.5 : -0.5 ) * half[k];
					halves[c][k] = 0.5 * half[k] + kOverlap;
				}
			}
			if ( !exists ) {
				continue;
			}
			for ( const u32 p : nodes[index].polygons ) {
				if ( Touches( map.polygons[p], prepared[p], centres[c], halves[c] ) ) {
					lists[c].push_back( p );
				}
			}
			smaller = smaller || lists[c].size() < nodes[index].polygons.size();
		}
		if ( !smaller ) {
			nodes[index].flags = 0x1;
			return;
		}
		nodes[index].flags = split;
		std::vector<u32> none;
		nodes[index].polygons.swap( none );
		for ( u32 c = 0; c < 8; c++ ) {
			if ( lists[c].empty() ) {
				continue;
			}
			const size_t child = nodes.size();
			nodes.emplace_back();
			nodes[child].centre = centres[c];
			nodes[child].half = halves[c];
			nodes[child].polygons.swap( lists[c] );
			nodes[index].children[c] = static_cast<int>( child );
			build( child, depth + 1 );
		}
	};
	build( 0, 0 );

	// Node offsets in pre-order (children in index order), so the loader's
	// walk meets them in the order they are stored.
	std::vector<size_t> order;
	std::function<void( size_t )> visit = [&]( const size_t index ) {
		order.push_back( index );
		for ( const int child : nodes[index].children ) {
			if ( child >= 0 ) {
				visit( static_cast<size_t>( child ) );
			}
		}
	};
	visit( 0 );
	u32 nodeBytes = 0;
	u32 leaves = 0;
	const u32 root = 32 * static_cast<u32>( map.attribs.size() );
	std::vector<u32> nodeOffsets;
	std::vector<bool> nodeIsLeaf;
	for ( const size_t index : order ) {
		nodes[index].offset = nodeBytes;
		nodeOffsets.push_back( root + nodeBytes );
		nodeIsLeaf.push_back( ( nodes[index].flags & 0x1 ) != 0 );
		const bool leaf = ( nodes[index].flags & 0x1 ) != 0;
		leaves += leaf ? 1 : 0;
		nodeBytes += leaf ? 32 + 4 * static_cast<u32>( nodes[index].polygons.size() ) : 60;
	}
	const u32 prims = root + nodeBytes;
	std::vector<u32> polygonOffsets;
	u32 at = prims;
	for ( const ToolColPolygon& polygon : map.polygons ) {
		polygonOffsets.push_back( at );
		at += 28 + 28 * static_cast<u32>( polygon.vertices.size() );
	}
	const u32 size = 16 + at;

	ToolBigEndianWriter out;
	out.WriteU32( size );
	out.WriteU32( 0 );
	out.WriteU32( prims );
	out.WriteU32( root );
	for ( const ToolColAttribs& a : map.attribs ) {
		out.WriteU32( a.flags );
		out.WriteU32( a.detectedBy );
		out.WriteU32( a.udDetectedBy );
		out.WriteF32( a.friction );
		out.WriteF32( a.rebound );
		out.WriteU16( a.tag );
		out.WriteU16( a.surfaceType );
		out.WriteF32( a.hardness );
		out.WriteF32( a.acousticOpacity );
	}
	for ( const size_t index : order ) {
		const Node& node = nodes[index];
		out.WriteU32( node.flags );
		for ( int k = 0; k < 3; k++ ) {
			out.WriteF32( Stored( node.centre[k] ) );
		}
		for ( int k = 0; k < 3; k++ ) {
			out.WriteF32( Stored( node.half[k] ) );
		}
		if ( ( node.flags & 0x1 ) != 0 ) {
			out.WriteU32( static_cast<u32>( node.polygons.size() ) );
			for ( const u32 p : node.polygons ) {
				out.WriteU32( polygonOffsets[p] );
			}
		} else {
			for ( const int child : node.children ) {
				out.WriteU32( child < 0 ? 0 : nodes[static_cast<size_t>( child )].offset );
			}
		}
	}
	for ( size_t i = 0; i < map.polygons.size(); i++ ) {
		const ToolColPolygon& polygon = map.polygons[i];
		const Prepared& p = prepared[i];
		out.WriteU32( polygon.attrib );
		out.WriteU16( polygon.edgeGrab );
		out.WriteU16( static_cast<u16>( polygon.vertices.size() ) );
		out.WriteU32( 0 );
		for ( int k = 0; k < 3; k++ ) {
			out.WriteF32( Stored( p.plane.normal[k] ) );
		}
		out.WriteF32( Stored( p.plane.d ) );
		for ( const ToolVec3& v : polygon.vertices ) {
			for ( int k = 0; k < 3; k++ ) {
				out.WriteF32( v[k] );
			}
		}
		for ( const Plane& edge : p.edges ) {
			for ( int k = 0; k < 3; k++ ) {
				out.WriteF32( Stored( edge.normal[k] ) );
			}
			out.WriteF32( Stored( edge.d ) );
		}
	}
	blob = out.Bytes();
	if ( gImageCheck != nullptr && !gImageCheck( blob, error ) ) {
		return false;
	}
	if ( layout != nullptr ) {
		layout->size = size;
		layout->rootOffset = root;
		layout->primOffset = prims;
		layout->polygonOffsets = polygonOffsets;
		layout->nodeCount = static_cast<u32>( order.size() );
		layout->leafCount = leaves;
		layout->nodeOffsets = nodeOffsets;
		layout->nodeIsLeaf = nodeIsLeaf;
	}
	return true;
}

std::vector<u8> ToolCollisionMapWriter::BinaryRecord( const std::vector<u8>& blob ) {
	ToolBigEndianWriter out;
	out.WriteU32( 0 );
	out.WriteU32( 0 );
	out.WriteBytes( blob );
	return out.Bytes();
}

std::vector<u8> ToolCollisionMapWriter::FileRecord( const std::string& fileName ) {
	ToolBigEndianWriter out;
	out.WriteU32( 0 );
	out.WriteU32( 0 );
	out.WriteString( fileName );
	return out.Bytes();
}

bool ToolCollisionMapWriter::PolygonPlanes( const ToolColPolygon& polygon, std::vector<f32>& planes,
										   std::string& error ) {
	Prepared prepared;
	if ( !Prepare( polygon, prepared, error ) ) {
		return false;
	}
	planes.clear();
	const auto put = [&]( const Plane& plane ) {
		for ( const double c : plane.normal ) {
			planes.push_back( Stored( c ) );
		}
		planes.push_back( Stored( plane.d ) );
	};
	put( prepared.plane );
	for ( const Plane& edge : prepared.edges ) {
		put( edge );
	}
	return true;
}

void ToolCollisionMapWriter::SetImageCheck( const ToolColMapImageCheck check ) {
	gImageCheck = check;
}

std::vector<ToolColMapVariant> ToolCollisionMapWriter::Malformed( const std::vector<u8>& blob,
																   const ToolColMapLayout& layout ) {
	typedef ToolMalformedData M;
	std::vector<ToolColMapVariant> out;
	const u32 size = layout.size;
	const u32 poly = 16 + layout.polygonOffsets.at( 0 );
	u32 inner = 0;
	u32 leaf = 0;
	for ( size_t i = 1; i < layout.nodeOffsets.size(); i++ ) {
		if ( !layout.nodeIsLeaf[i] && inner == 0 ) {
			inner = 16 + layout.nodeOffsets[i];
		}
		if ( layout.nodeIsLeaf[i] && leaf == 0 ) {
			leaf = 16 + layout.nodeOffsets[i];
		}
	}
	const u32 root = 16 + layout.rootOffset;
	out.push_back( { "truncated", M::TruncateAt( blob, size - 4 ) } );
	out.push_back( { "size below 16", M::ReplaceU32( M::TruncateAt( blob, 12 ), 0, 12 ) } );
	out.push_back( { "size not a multiple of 4", M::ReplaceU32( M::TruncateAt( blob, size - 2 ), 0, size - 2 ) } );
	out.push_back( { "stored size beyond the data", M::ReplaceU32( blob, 0, 0x7FFFFFF0 ) } );
	out.push_back( { "first polygon past the end", M::ReplaceU32( blob, 8, size ) } );
	out.push_back( { "first polygon unaligned", M::ReplaceU32( blob, 8, layout.primOffset + 2 ) } );
	out.push_back( { "first polygon inside a polygon", M::ReplaceU32( blob, 8, layout.primOffset + 28 ) } );
	out.push_back( { "root not after whole attribute records", M::ReplaceU32( blob, 12, layout.rootOffset + 4 ) } );
	out.push_back( { "root past the polygons", M::ReplaceU32( blob, 12, layout.primOffset + 32 ) } );
	out.push_back( { "child offset outside the nodes", M::ReplaceU32( blob, root + 28, 0x00FFFFF0 ) } );
	out.push_back( { "child offset unaligned", M::ReplaceU32( blob, root + 28, layout.nodeOffsets[1] - layout.rootOffset + 2 ) } );
	if ( inner != 0 ) {
		out.push_back( { "child cycle", M::ReplaceU32( blob, inner + 28, inner - root ) } );
	}
	out.push_back( { "a node reached twice", M::ReplaceU32( M::ReplaceU32( blob, root + 28, 60 ), root + 32, 60 ) } );
	out.push_back( { "a node inside the root", M::ReplaceU32( blob, root + 28, 4 ) } );
	out.push_back( { "leaf count past the nodes", M::ReplaceU32( blob, leaf + 28, 0x40000000 ) } );
	out.push_back( { "leaf entry not at a record start", M::ReplaceU32( blob, leaf + 32, layout.polygonOffsets[0] + 4 ) } );
	out.push_back( { "leaf entry in the nodes", M::ReplaceU32( blob, leaf + 32, layout.rootOffset ) } );
	const u32 grab = static_cast<u32>( blob[poly + 4] ) << 24 | static_cast<u32>( blob[poly + 5] ) << 16;
	for ( const u32 n : { 0u, 2u, 33u, 0x8004u } ) {
		out.push_back( { "vertex count " + std::to_string( n ), M::ReplaceU32( blob, poly + 4, grab | n ) } );
	}
	out.push_back( { "attribute index past the count", M::ReplaceU32( blob, poly, layout.rootOffset / 32 ) } );
	std::vector<u8> edge = blob;
	std::copy( edge.begin() + poly + 28, edge.begin() + poly + 40, edge.begin() + poly + 40 );
	out.push_back( { "zero-length edge", edge } );
	out.push_back( { "NaN plane", M::ReplaceU32( blob, poly + 12, 0x7FC00000 ) } );
	out.push_back( { "infinite vertex", M::ReplaceU32( blob, poly + 28, 0x7F800000 ) } );
	out.push_back( { "infinite node centre", M::ReplaceU32( blob, root + 4, 0xFF800000 ) } );
	return out;
}
