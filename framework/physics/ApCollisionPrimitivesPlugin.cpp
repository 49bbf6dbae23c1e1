#include "framework/physics/ApCollisionPrimitivesPlugin.h"

#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPrimSpace.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpClump.h"

#include <cmath>
#include <cstring>

namespace {

// The extension of every clump.
struct ApCollisionPrimitivesExt {
	s32						mi32Size;			// bytes of the chunk's payload
	s32						mi32Count;
	DTSphere *				mpoSphere;
	ApCollisionPrimitive *	mpoRecords;
	s32						mi32PolygonSize;
	u8 *					mpPolygons;
};

// The smallest streamed record (a sphere's).
constexpr s32 MIN_RECORD	= 80;

// Read -1 once the library term closed the registries.
RwPluginOffset gOffset;

ApCollisionPrimitivesExt * Ext( void * object, const s32 offset ) {
	return reinterpret_cast<ApCollisionPrimitivesExt *>( static_cast<u8 *>( object ) + offset );
}

const ApCollisionPrimitivesExt * Ext( const RpClump * clump ) {
	const s32 offset = gOffset.Get();
	if ( clump == nullptr || offset < 0 ) {
		return nullptr;
	}
	return reinterpret_cast<const ApCollisionPrimitivesExt *>( reinterpret_cast<const u8 *>( clump ) + offset );
}

void * Alloc( const u32 bytes ) {
	return RwEngineInstance->memoryFunctions.rwmalloc( bytes );
}

void Free( void * block ) {
	if ( block != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( block );
	}
}

void Empty( ApCollisionPrimitivesExt & ext ) {
	Free( ext.mpPolygons );
	Free( ext.mpoRecords );
	Free( ext.mpoSphere );
	std::memset( &ext, 0, sizeof( ext ) );
}

// Payload words a shape streams; -1 for an unknown shape.
s32 PayloadWords( const u32 shape ) {
	switch ( shape ) {
	case EF_PRIM_SPHERE:
		return 1;
	case EF_PRIM_SWEPT_SPHERE:
		return 4;
	case EF_PRIM_BBOX:
		return 3;
	case EF_PRIM_POLYGON:
		return 2;
	default:
		return -1;
	}
}

bool Finite( const f32 * values, const u32 count ) {
	for ( u32 i = 0; i < count; i++ ) {
		if ( !std::isfinite( values[i] ) ) {
			return false;
		}
	}
	return true;
}

// Bytes of the polygon record at offset (its halfwords already native),
// or 0 when it is not a whole, sound record inside size bytes.
u32 PolygonRecordBytes( const u8 * data, const u32 size, const u32 offset ) {
	if ( offset > size || size - offset < EF_POLYGON_HEADER_BYTES ) {
		return 0;
	}
	const EFEnvCollisionPrim * const polygon = reinterpret_cast<const EFEnvCollisionPrim *>( data + offset );
	const u32 n = polygon->mui16NbVertex;
	if ( n < 3 || n > EF_POLYGON_MAX_VERTICES ) {
		return 0;
	}
	const u32 bytes = EF_POLYGON_HEADER_BYTES + EF_POLYGON_VERTEX_BYTES * n;
	if ( size - offset < bytes || !Finite( reinterpret_cast<const f32 *>( data + offset + 12 ), ( bytes - 12 ) / 4 ) ) {
		return 0;
	}
	const DTVector3d * const v = polygon->GetVertex();
	for ( u32 i = 0; i < n; i++ ) {
		const DTVector3d & a = v[i];
		const DTVector3d & b = v[( i + 1 ) % n];
		if ( a.x == b.x && a.y == b.y && a.z == b.z ) {
			return 0;
		}
	}
	return bytes;
}

// Decodes each record's edge-grab / vertex-count word into the native
// halfwords and checks that the data is whole records; false otherwise.
bool NormalisePolygons( u8 * data, const u32 size ) {
	u32 offset = 0;
	while ( offset < size ) {
		if ( size - offset < EF_POLYGON_HEADER_BYTES ) {
			return false;
		}
		EFEnvCollisionPrim * const polygon = reinterpret_cast<EFEnvCollisionPrim *>( data + offset );
		u32 word;
		std::memcpy( &word, data + offset + 4, sizeof( word ) );
		polygon->mui16EdgeGrab = static_cast<u16>( word & 0xFFFF );
		polygon->mui16NbVertex = static_cast<u16>( word >> 16 );
		const u32 bytes = PolygonRecordBytes( data, size, offset );
		if ( bytes == 0 ) {
			return false;
		}
		offset += bytes;
	}
	return true;
}

// Whether every polygon set names count whole records from a record start.
bool PolygonSetsSound( const ApCollisionPrimitivesExt & ext ) {
	const u32 size = static_cast<u32>( ext.mi32PolygonSize );
	for ( s32 i = 0; i < ext.mi32Count; i++ ) {
		const ApCollisionPrimitive & record = ext.mpoRecords[i];
		if ( record.mui32Shape != EF_PRIM_POLYGON ) {
			continue;
		}
		// Record starts are found by walking from the first record.
		u32 start = 0;
		while ( start < record.moPolygons.mui32Offset && start < size ) {
			const u32 bytes = PolygonRecordBytes( ext.mpPolygons, size, start );
			if ( bytes == 0 ) {
				return false;
			}
			start += bytes;
		}
		if ( start != record.moPolygons.mui32Offset || record.moPolygons.mui32NbPolygons > size / 28 ) {
			return false;
		}
		for ( u32 p = 0; p < record.moPolygons.mui32NbPolygons; p++ ) {
			const u32 bytes = PolygonRecordBytes( ext.mpPolygons, size, start );
			if ( bytes == 0 ) {
				return false;
			}
			start += bytes;
		}
	}
	return true;
}

// Reads count 32-bit words into out as integers or reals, counting them
// against the bytes left.
bool Take( const u32 count, s32 & left ) {
	if ( left < static_cast<s32>( count * 4 ) ) {
		return false;
	}
	left -= static_cast<s32>( count * 4 );
	return true;
}

bool ReadInts( RwStream * stream, void * out, const u32 count, s32 & left ) {
	return Take( count, left ) && RwStreamReadInt32( stream, out, count * 4 ) != nullptr;
}

bool ReadReals( RwStream * stream, f32 * out, const u32 count, s32 & left ) {
	return Take( count, left ) && RwStreamReadReal( stream, out, count * 4 ) != nullptr;
}

bool ReadRecord( RwStream * stream, ApCollisionPrimitive & record, s32 & left ) {
	u32 head[3];
	f32 reals[5];
	if ( !ReadInts( stream, head, 3, left ) || !ReadReals( stream, reals, 5, left ) ||
		 !ReadInts( stream, record.maui32Attribs, AP_COLLISION_PRIMITIVE_ATTRIBS, left ) ) {
		return false;
	}
	record.mui32Shape = head[0];
	record.mui32Tag = head[1];
	record.mi32Joint = static_cast<s32>( head[2] );
	std::memcpy( record.mafOffset, reals, sizeof( record.mafOffset ) );
	std::memcpy( record.mafUnused, reals + 3, sizeof( record.mafUnused ) );
	const s32 words = PayloadWords( record.mui32Shape );
	if ( words < 0 ) {
		return false;
	}
	if ( record.mui32Shape == EF_PRIM_POLYGON ) {
		u32 pair[2];
		if ( !ReadInts( stream, pair, 2, left ) ) {
			return false;
		}
		record.moPolygons.mui32NbPolygons = pair[0];
		record.moPolygons.mui32Offset = pair[1];
		return true;
	}
	return ReadReals( stream, record.mafSize, static_cast<u32>( words ), left );
}

bool ReadExt( RwStream * stream, const s32 length, ApCollisionPrimitivesExt & ext ) {
	// The chunk's length sizes the record and polygon blocks: a chunk the
	// stream cannot hold would fail at its end anyway, so it is refused
	// before it can ask for blocks as large as it claims.
	u32 streamLeft = 0;
	if ( _rwStreamBytesLeft( stream, &streamLeft ) && static_cast<u32>( length ) > streamLeft ) {
		return false;
	}
	s32 left = length;
	s32 head[2];
	if ( !ReadInts( stream, head, 2, left ) || head[1] < 0 ) {
		return false;
	}
	const s32 stored = head[0];
	const s32 count = head[1];
	ext.mi32Count = 0;
	if ( count != 0 ) {
		if ( ext.mpoSphere == nullptr ) {
			ext.mpoSphere = static_cast<DTSphere *>( Alloc( sizeof( DTSphere ) ) );
		}
		f32 sphere[4];
		if ( ext.mpoSphere == nullptr || !ReadReals( stream, sphere, 4, left ) ) {
			return false;
		}
		ext.mpoSphere->moPos = DTVector3d( sphere[0], sphere[1], sphere[2] );
		ext.mpoSphere->mfRadius = sphere[3];
		// No more records than the rest of the chunk can hold.
		const s32 room = left / MIN_RECORD;
		const s32 records = count < room ? count : room;
		// Records are promised but none fits: the sphere alone would be
		// read and never written back.
		if ( records == 0 ) {
			return false;
		}
		Free( ext.mpoRecords );
		ext.mpoRecords = nullptr;
		if ( records > 0 ) {
			const u32 bytes = static_cast<u32>( records ) * sizeof( ApCollisionPrimitive );
			ext.mpoRecords = static_cast<ApCollisionPrimitive *>( Alloc( bytes ) );
			if ( ext.mpoRecords == nullptr ) {
				return false;
			}
			std::memset( ext.mpoRecords, 0, bytes );
		}
		while ( ext.mi32Count < records && left > 0 ) {
			if ( !ReadRecord( stream, ext.mpoRecords[ext.mi32Count], left ) ) {
				return false;
			}
			ext.mi32Count++;
		}
	}
	// The polygon data runs to the stored size, within the chunk.
	const s32 consumed = length - left;
	const s32 end = stored < length ? stored : length;
	// A negative stored size leaves no polygon data (and must not wrap).
	const s32 polygons = end > consumed ? end - consumed : 0;
	if ( polygons > 0 ) {
		if ( polygons % 4 != 0 ) {
			return false;
		}
		ext.mpPolygons = static_cast<u8 *>( Alloc( static_cast<u32>( polygons ) ) );
		if ( ext.mpPolygons == nullptr || !ReadInts( stream, ext.mpPolygons, static_cast<u32>( polygons ) / 4, left ) ) {
			return false;
		}
		ext.mi32PolygonSize = polygons;
		if ( !NormalisePolygons( ext.mpPolygons, static_cast<u32>( polygons ) ) ) {
			return false;
		}
	}
	if ( !PolygonSetsSound( ext ) ) {
		return false;
	}
	// The size is what the extension now holds, which is what writing it
	// gives back; bytes of the chunk beyond it are passed over.
	ext.mi32Size = length - left;
	return left == 0 || RwStreamSkip( stream, static_cast<u32>( left ) ) != nullptr;
}

}	// namespace

RwStream * ApCollisionPrimitivesStreamRead( RwStream * stream, const s32 length, void * object, const s32 offset, s32 ) {
	ApCollisionPrimitivesExt & ext = *Ext( object, offset );
	Free( ext.mpPolygons );
	ext.mpPolygons = nullptr;
	ext.mi32PolygonSize = 0;
	if ( length < 0 || !ReadExt( stream, length, ext ) ) {
		Empty( ext );
		return nullptr;
	}
	return stream;
}

bool WriteInts( RwStream * stream, const void * words, const u32 count ) {
	return count == 0 || RwStreamWriteInt32( stream, words, count * 4 ) != nullptr;
}

bool WriteReals( RwStream * stream, const f32 * reals, const u32 count ) {
	return count == 0 || RwStreamWriteReal( stream, reals, count * 4 ) != nullptr;
}

// The polygon data with each record's halfwords encoded as one word again.
bool WritePolygons( RwStream * stream, const u8 * data, const u32 size ) {
	u32 offset = 0;
	while ( offset < size ) {
		const EFEnvCollisionPrim * const polygon = reinterpret_cast<const EFEnvCollisionPrim *>( data + offset );
		const u32 bytes = PolygonRecordBytes( data, size, offset );
		if ( bytes == 0 ) {
			return WriteInts( stream, data + offset, ( size - offset ) / 4 );
		}
		const u32 word = polygon->mui16EdgeGrab | ( static_cast<u32>( polygon->mui16NbVertex ) << 16 );
		if ( !WriteInts( stream, data + offset, 1 ) || !WriteInts( stream, &word, 1 ) ||
			 !WriteInts( stream, data + offset + 8, ( bytes - 8 ) / 4 ) ) {
			return false;
		}
		offset += bytes;
	}
	return true;
}

RwStream * ApCollisionPrimitivesStreamWrite( RwStream * stream, s32, const void * object, const s32 offset, s32 ) {
	const ApCollisionPrimitivesExt & ext = *Ext( const_cast<void *>( object ), offset );
	const s32 head[2] = { ext.mi32Size, ext.mi32Count };
	if ( !WriteInts( stream, head, 2 ) ) {
		return nullptr;
	}
	if ( ext.mi32Count != 0 ) {
		f32 sphere[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
		if ( ext.mpoSphere != nullptr ) {
			sphere[0] = ext.mpoSphere->moPos.x;
			sphere[1] = ext.mpoSphere->moPos.y;
			sphere[2] = ext.mpoSphere->moPos.z;
			sphere[3] = ext.mpoSphere->mfRadius;
		}
		if ( !WriteReals( stream, sphere, 4 ) ) {
			return nullptr;
		}
	}
	for ( s32 i = 0; i < ext.mi32Count && ext.mpoRecords != nullptr; i++ ) {
		const ApCollisionPrimitive & record = ext.mpoRecords[i];
		const s32 words = PayloadWords( record.mui32Shape );
		if ( !WriteInts( stream, &record.mui32Shape, 3 ) || !WriteReals( stream, record.mafOffset, 3 ) ||
			 !WriteReals( stream, record.mafUnused, 2 ) ||
			 !WriteInts( stream, record.maui32Attribs, AP_COLLISION_PRIMITIVE_ATTRIBS ) ) {
			return nullptr;
		}
		const bool payload = record.mui32Shape == EF_PRIM_POLYGON
								 ? WriteInts( stream, &record.moPolygons, 2 )
								 : WriteReals( stream, record.mafSize, words < 0 ? 0 : static_cast<u32>( words ) );
		if ( !payload ) {
			return nullptr;
		}
	}
	if ( ext.mpPolygons != nullptr &&
		 !WritePolygons( stream, ext.mpPolygons, static_cast<u32>( ext.mi32PolygonSize ) ) ) {
		return nullptr;
	}
	return stream;
}

s32 ApCollisionPrimitivesStreamSize( const void * object, const s32 offset, s32 ) {
	return Ext( const_cast<void *>( object ), offset )->mi32Size;
}

namespace {

void * CreateCallBack( void * object, const s32 offset, s32 ) {
	std::memset( Ext( object, offset ), 0, sizeof( ApCollisionPrimitivesExt ) );
	return object;
}

void * DestroyCallBack( void * object, const s32 offset, s32 ) {
	Empty( *Ext( object, offset ) );
	return object;
}

// A copy of bytes of source, or null (also for no source).
void * Duplicate( const void * source, const u32 bytes, bool & failed ) {
	if ( source == nullptr || bytes == 0 ) {
		return nullptr;
	}
	void * const block = Alloc( bytes );
	if ( block == nullptr ) {
		failed = true;
		return nullptr;
	}
	std::memcpy( block, source, bytes );
	return block;
}

}	// namespace

void * ApCollisionPrimitivesCopy( void * destination, const void * source, const s32 offset, s32 ) {
	if ( destination == nullptr || source == nullptr ) {
		return nullptr;
	}
	ApCollisionPrimitivesExt & to = *Ext( destination, offset );
	const ApCollisionPrimitivesExt & from = *Ext( const_cast<void *>( source ), offset );
	Empty( to );
	bool failed = false;
	ApCollisionPrimitivesExt copy = from;
	copy.mpoRecords = nullptr;
	if ( from.mi32Count > 0 && from.mpoRecords != nullptr ) {
		copy.mpoRecords = static_cast<ApCollisionPrimitive *>(
			Alloc( static_cast<u32>( from.mi32Count ) * sizeof( ApCollisionPrimitive ) ) );
		failed = copy.mpoRecords == nullptr;
		for ( s32 i = 0; i < from.mi32Count && !failed; i++ ) {
			ApCollisionPrimitiveCopy( copy.mpoRecords[i], from.mpoRecords[i] );
		}
	}
	copy.mpPolygons = static_cast<u8 *>(
		Duplicate( from.mpPolygons, static_cast<u32>( from.mi32PolygonSize ), failed ) );
	copy.mpoSphere = static_cast<DTSphere *>( Duplicate( from.mpoSphere, sizeof( DTSphere ), failed ) );
	if ( failed ) {
		Empty( copy );
		return nullptr;
	}
	to = copy;
	return destination;
}

s32 ApCollisionPrimitivesPluginAttach() {
	const s32 offset =
		RpClumpRegisterPlugin( static_cast<s32>( sizeof( ApCollisionPrimitivesExt ) ), AP_COLLISION_PRIMITIVES_PLUGIN_ID,
							   CreateCallBack, DestroyCallBack, ApCollisionPrimitivesCopy );
	if ( offset < 0 ) {
		return 0;
	}
	gOffset.Set( offset );
	const s32 stream =
		RpClumpRegisterPluginStream( AP_COLLISION_PRIMITIVES_PLUGIN_ID, ApCollisionPrimitivesStreamRead,
									 ApCollisionPrimitivesStreamWrite, ApCollisionPrimitivesStreamSize );
	return stream == offset ? 1 : 0;
}

s32 ApCollisionPrimitivesOffset() {
	return gOffset.Get();
}

s32 ApClumpGetNbCollisionPrimitives( const RpClump * clump ) {
	const ApCollisionPrimitivesExt * const ext = Ext( clump );
	return ext != nullptr ? ext->mi32Count : 0;
}

const ApCollisionPrimitive * ApClumpGetCollisionPrimitive( const RpClump * clump, const u32 index ) {
	const ApCollisionPrimitivesExt * const ext = Ext( clump );
	if ( ext == nullptr || index >= static_cast<u32>( ext->mi32Count ) ) {
		return nullptr;
	}
	return &ext->mpoRecords[index];
}

EFEnvCollisionPrim * ApClumpGetCollisionPolygonData( const RpClump * clump, const u32 index, u32 & count ) {
	const ApCollisionPrimitive * const record = ApClumpGetCollisionPrimitive( clump, index );
	if ( record == nullptr ) {
		count = 0xFFFFFFFFu;
		return nullptr;
	}
	const ApCollisionPrimitivesExt * const ext = Ext( clump );
	if ( record->mui32Shape != EF_PRIM_POLYGON || ext->mpPolygons == nullptr ) {
		count = 0;
		return nullptr;
	}
	count = record->moPolygons.mui32NbPolygons;
	return reinterpret_cast<EFEnvCollisionPrim *>( ext->mpPolygons + record->moPolygons.mui32Offset );
}

bool ApClumpGetBoundingSphere( const RpClump * clump, DTSphere & sphere ) {
	const ApCollisionPrimitivesExt * const ext = Ext( clump );
	if ( ext == nullptr || ext->mpoSphere == nullptr ) {
		return false;
	}
	sphere = *ext->mpoSphere;
	return true;
}

void ApCollisionPrimitiveCopy( ApCollisionPrimitive & destination, const ApCollisionPrimitive & source ) {
	std::memcpy( &destination, &source, sizeof( ApCollisionPrimitive ) );
}
