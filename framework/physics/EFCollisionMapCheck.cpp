#include "framework/physics/EFCollisionMapCheck.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/physics/EFOctreeNodeHeader.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr u32 kHeaderSize		= 16;
constexpr u32 kAttribSize		= 32;
constexpr u32 kPrimHeaderSize	= 28;
constexpr u32 kMaxVertices		= 32;

// The load-time check over the stored image: the first problem found.
class ImageCheck {
public:
	ImageCheck( const u8 * image, const u32 size, u32 * marks, char * message, const u32 messageSize )
		: mpImage( image ), mui32Size( size ), mpMessage( message ), mui32MessageSize( messageSize ),
		  mpMarks( marks ) {}

	bool Run();

private:
	bool Fail( const char * what, const u32 offset ) {
		if ( mpMessage != nullptr && mui32MessageSize > 0 ) {
			std::snprintf( mpMessage, mui32MessageSize, "collision map: %s at byte %u", what,
						   static_cast<unsigned>( offset ) );
		}
		return false;
	}
	bool Finite( const u32 offset, const u32 count ) const {
		for ( u32 i = 0; i < count; i++ ) {
			if ( !std::isfinite( DTReadBEF32( mpImage + offset + 4 * i ) ) ) {
				return false;
			}
		}
		return true;
	}
	// One bit per word of the data area: record starts, then visited nodes.
	bool Marked( const u32 dataOffset ) const { return ( mpMarks[dataOffset / 128] >> ( ( dataOffset / 4 ) & 31 ) ) & 1; }
	void Mark( const u32 dataOffset ) { mpMarks[dataOffset / 128] |= 1u << ( ( dataOffset / 4 ) & 31 ); }
	// Marks every word of a node: nodes are decoded in place one by one,
	// so one that shares a word with another would be swapped twice.
	bool MarkNode( const u32 offset, const u32 bytes ) {
		for ( u32 word = offset; word < offset + bytes; word += 4 ) {
			if ( Marked( word ) ) {
				return false;
			}
			Mark( word );
		}
		return true;
	}
	bool CheckPolygons();
	bool CheckNode( u32 offset, u32 depth );

	const u8 *	mpImage;
	u32			mui32Size;
	char *		mpMessage;
	u32			mui32MessageSize;
	u32 *		mpMarks;
	u32			mui32Root;		// data offsets
	u32			mui32Prims;
	u32			mui32Data;
};

bool ImageCheck::Run() {
	if ( mui32Size < kHeaderSize || ( mui32Size & 3 ) != 0 ) {
		return Fail( "size below 16 or not a multiple of 4", 0 );
	}
	if ( DTReadBE32( mpImage ) != mui32Size ) {
		return Fail( "stored size differs from the blob", 0 );
	}
	mui32Data = mui32Size - kHeaderSize;
	mui32Prims = DTReadBE32( mpImage + 8 );
	mui32Root = DTReadBE32( mpImage + 12 );
	if ( ( mui32Root % kAttribSize ) != 0 ) {
		return Fail( "attribute region not a multiple of 32", 12 );
	}
	if ( mui32Prims > mui32Data || ( mui32Prims & 3 ) != 0 ) {
		return Fail( "polygon region outside the blob or unaligned", 8 );
	}
	if ( mui32Root > mui32Prims || mui32Prims - mui32Root < EF_OCTREE_LEAF_SIZE ) {
		return Fail( "node region missing or out of order", 12 );
	}
	if ( mpMarks == nullptr ) {
		return Fail( "no scratch for the check", 0 );
	}
	if ( !CheckPolygons() ) {
		return false;
	}
	return CheckNode( mui32Root, 0 );
}

bool ImageCheck::CheckPolygons() {
	const u32 attribCount = mui32Root / kAttribSize;
	for ( u32 i = 0; i < attribCount; i++ ) {
		const u32 at = kHeaderSize + i * kAttribSize;
		if ( !Finite( at + 12, 2 ) || !Finite( at + 24, 2 ) ) {
			return Fail( "non-finite attribute value", at );
		}
	}
	u32 offset = mui32Prims;
	while ( offset < mui32Data ) {
		const u32 at = kHeaderSize + offset;
		if ( mui32Data - offset < kPrimHeaderSize ) {
			return Fail( "truncated polygon record", at );
		}
		const u32 n = DTReadBE16( mpImage + at + 6 );
		if ( n < 3 || n > kMaxVertices ) {
			return Fail( "polygon vertex count outside 3..32", at + 6 );
		}
		const u32 bytes = kPrimHeaderSize + 28 * n;
		if ( mui32Data - offset < bytes ) {
			return Fail( "truncated polygon record", at );
		}
		if ( DTReadBE32( mpImage + at ) >= attribCount ) {
			return Fail( "attribute index past the count", at );
		}
		if ( !Finite( at + 12, 4 + 7 * n ) ) {
			return Fail( "non-finite polygon value", at );
		}
		const u8 * const v = mpImage + at + kPrimHeaderSize;
		for ( u32 i = 0; i < n; i++ ) {
			const u8 * const a = v + 12 * i;
			const u8 * const b = v + 12 * ( ( i + 1 ) % n );
			if ( DTReadBEF32( a ) == DTReadBEF32( b ) && DTReadBEF32( a + 4 ) == DTReadBEF32( b + 4 ) &&
				 DTReadBEF32( a + 8 ) == DTReadBEF32( b + 8 ) ) {
				return Fail( "zero-length polygon edge", at );
			}
		}
		Mark( offset );
		offset += bytes;
	}
	return true;
}

bool ImageCheck::CheckNode( const u32 offset, const u32 depth ) {
	const u32 at = kHeaderSize + offset;
	if ( depth > EF_COLLISION_MAP_MAX_DEPTH ) {
		return Fail( "octree deeper than 32", at );
	}
	if ( offset < mui32Root || ( offset & 3 ) != 0 || mui32Prims - offset < EF_OCTREE_LEAF_SIZE ) {
		return Fail( "node outside the node region or unaligned", at );
	}
	if ( Marked( offset ) ) {
		return Fail( "node reached twice or inside another node", at );
	}
	if ( !Finite( at + 4, 6 ) ) {
		return Fail( "non-finite node box", at );
	}
	const u32 flags = DTReadBE32( mpImage + at );
	if ( ( flags & EF_OCTREE_LEAF ) != 0 ) {
		const u32 count = DTReadBE32( mpImage + at + 28 );
		if ( count > ( mui32Prims - offset - EF_OCTREE_LEAF_SIZE ) / 4 ) {
			return Fail( "leaf list past the node region", at + 28 );
		}
		if ( !MarkNode( offset, EF_OCTREE_LEAF_SIZE + 4 * count ) ) {
			return Fail( "nodes overlap", at );
		}
		for ( u32 i = 0; i < count; i++ ) {
			const u32 entry = DTReadBE32( mpImage + at + EF_OCTREE_LEAF_SIZE + 4 * i );
			if ( entry < mui32Prims || entry >= mui32Data || ( entry & 3 ) != 0 || !Marked( entry ) ) {
				return Fail( "leaf entry not at a polygon record", at + EF_OCTREE_LEAF_SIZE + 4 * i );
			}
		}
		return true;
	}
	if ( mui32Prims - offset < EF_OCTREE_INNER_SIZE ) {
		return Fail( "node outside the node region or unaligned", at );
	}
	if ( !MarkNode( offset, EF_OCTREE_INNER_SIZE ) ) {
		return Fail( "nodes overlap", at );
	}
	for ( u32 i = 0; i < 8; i++ ) {
		const u32 child = DTReadBE32( mpImage + at + 28 + 4 * i );
		if ( child == 0 ) {
			continue;
		}
		if ( child > mui32Prims - mui32Root ) {
			return Fail( "child offset outside the node region", at + 28 + 4 * i );
		}
		if ( !CheckNode( mui32Root + child, depth + 1 ) ) {
			return false;
		}
	}
	return true;
}

}	// namespace

u32 EFCollisionMapCheck::GetScratchWords( const u32 size ) {
	// One bit per word of the data area.
	return size / 128 + 1;
}

bool EFCollisionMapCheck::Run( const u8 * image, const u32 size, u32 * scratch, char * message,
							   const u32 messageSize ) {
	if ( image == nullptr ) {
		if ( message != nullptr && messageSize > 0 ) {
			std::snprintf( message, messageSize, "collision map: no image" );
		}
		return false;
	}
	ImageCheck check( image, size, scratch, message, messageSize );
	return check.Run();
}
