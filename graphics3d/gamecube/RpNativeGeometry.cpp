#include "graphics3d/gamecube/RpNativeGeometry.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCAllInOne.h"
#include "graphics3d/gamecube/RxGCDefaults.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorld.h"

#include "datatypes/base/DTByteOrder.h"
#include "platform/gx/GX.h"
#include "platform/os/OS.h"

namespace {

const u32 NATIVE_VERSION		= 0x34003;
const u32 NATIVE_BUILD			= 0xFFFF;
const u32 CHUNK_HEADER_BYTES	= 12;
// Platform, H and D before the blocks.
const u32 COUNT_WORDS_BYTES		= 12;
const uintptr_t DATA_ALIGNMENT	= 32;
// Geometry and world flags that select arrays, and the excluded-mask bits
// that leave them out of the stream.
const u32 FLAG_POSITIONS		= 0x02;
const u32 FLAG_TEXTURED			= 0x04;
const u32 FLAG_PRELIT			= 0x08;
const u32 FLAG_NORMALS			= 0x10;
const u32 FLAG_TEXTURED2		= 0x80;
const u32 FLAG_TRISTRIP			= 0x01;
// Draw commands of the lists: triangles, triangle strip (vertex format 0).
const u8 OPCODE_TRIANGLES		= 0x90;
const u8 OPCODE_STRIP			= 0x98;
const u32 DRAW_COMMAND_BYTES	= 3;
// Offsets of the fields in the header's image.
const u32 IMAGE_STRIDES			= 6;
const u32 IMAGE_MASK			= 20;
const u32 IMAGE_ARRAYS			= 24;
const u32 IMAGE_ARRAY_COUNT		= 3 + RXGC_MAX_TEXCOORD_SETS;

bool Malformed() {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	return false;
}

u8* AsOffset( const u64 offset ) {
	return reinterpret_cast<u8*>( static_cast<uintptr_t>( offset ) );
}

u32 OffsetOf( const u8* field ) {
	return static_cast<u32>( reinterpret_cast<uintptr_t>( field ) );
}

// The array fields of a header in image order: positions, normals,
// colours, texture sets.
u8** ArrayField( RxGCInstanceHeader* header, const u32 i ) {
	switch ( i ) {
		case 0:
			return &header->posArray;
		case 1:
			return &header->normArray;
		case 2:
			return &header->colorArray;
		default:
			return &header->texArray[i - 3];
	}
}

u8* StrideField( RxGCInstanceHeader* header, const u32 i ) {
	switch ( i ) {
		case 0:
			return &header->posStride;
		case 1:
			return &header->normStride;
		case 2:
			return &header->colorStride;
		default:
			return &header->texStride[i - 3];
	}
}

// Whether the conversion covers array field i (texture sets: up to the
// first null one, which the caller tests).
bool Converted( const u32 excludedMask, const u32 i ) {
	switch ( i ) {
		case 0:
			return ( excludedMask & FLAG_POSITIONS ) == 0;
		case 1:
			return ( excludedMask & FLAG_NORMALS ) == 0;
		case 2:
			return ( excludedMask & FLAG_PRELIT ) == 0;
		default:
			return ( excludedMask & ( FLAG_TEXTURED | FLAG_TEXTURED2 ) ) == 0;
	}
}

// Applies convert to every array and list address the conversion covers:
// arrays that are not null (texture sets up to the first null one), every
// list.
template <typename Convert>
void ForAllAddresses( RxGCInstanceHeader* header, RxGCDisplayListRecord* records, const u32 numMeshes, Convert convert ) {
	for ( u32 i = 0; i < IMAGE_ARRAY_COUNT; i++ ) {
		u8** const field = ArrayField( header, i );
		if ( i >= 3 && *field == nullptr ) {
			break;
		}
		if ( Converted( header->excludedMask, i ) && *field != nullptr ) {
			*field = convert( *field );
		}
	}
	for ( u32 m = 0; m < numMeshes; m++ ) {
		records[m].list = convert( records[m].list );
	}
}

u32 DataBytes( RwResEntry* entry, const u32 numMeshes ) {
	const u8* const end = reinterpret_cast<const u8*>( entry + 1 ) + entry->size;
	const u8* const base = _rpNativeDataBase( entry, numMeshes );
	return end > base ? static_cast<u32>( end - base ) : 0;
}

u32 HeaderBytes( const u32 numMeshes ) {
	return RPNATIVE_HEADER_BYTES + RPNATIVE_RECORD_BYTES * numMeshes;
}

u32 MeshCount( const RpMeshHeader* mesh ) {
	return mesh != nullptr ? mesh->numMeshes : 0;
}

void EncodeHeader( u8* image, RxGCInstanceHeader* header ) {
	DTWriteBE16( image, header->serialNum );
	DTWriteBE16( image + 2, header->indexType );
	DTWriteBE16( image + 4, header->drawToken );
	for ( u32 i = 0; i < IMAGE_ARRAY_COUNT; i++ ) {
		image[IMAGE_STRIDES + i] = *StrideField( header, i );
		DTWriteBE32( image + IMAGE_ARRAYS + 4 * i, OffsetOf( *ArrayField( header, i ) ) );
	}
	image[IMAGE_STRIDES + IMAGE_ARRAY_COUNT] = 0;
	image[IMAGE_STRIDES + IMAGE_ARRAY_COUNT + 1] = 0;
	image[IMAGE_STRIDES + IMAGE_ARRAY_COUNT + 2] = 0;
	DTWriteBE32( image + IMAGE_MASK, header->excludedMask );
}

void DecodeHeader( const u8* image, RxGCInstanceHeader* header ) {
	*header = {};
	header->serialNum = DTReadBE16( image );
	header->indexType = DTReadBE16( image + 2 );
	header->drawToken = DTReadBE16( image + 4 );
	header->excludedMask = DTReadBE32( image + IMAGE_MASK );
	for ( u32 i = 0; i < IMAGE_ARRAY_COUNT; i++ ) {
		*StrideField( header, i ) = image[IMAGE_STRIDES + i];
		*ArrayField( header, i ) = AsOffset( DTReadBE32( image + IMAGE_ARRAYS + 4 * i ) );
	}
}

RwStream* WriteImages( RwStream* stream, RwResEntry* entry, const u32 numMeshes, const u32 dataBytes ) {
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( entry );
	const RxGCDisplayListRecord* const records = _rxGCDisplayListRecords( entry );
	const u32 headerBytes = HeaderBytes( numMeshes );
	const u32 counts[3] = { RPNATIVE_PLATFORM, headerBytes, dataBytes };
	u8 image[RPNATIVE_HEADER_BYTES];
	EncodeHeader( image, header );
	if ( _rwStreamWriteVersionedChunkHeader( stream, rwID_STRUCT, COUNT_WORDS_BYTES + headerBytes + dataBytes,
											 NATIVE_VERSION, NATIVE_BUILD ) == nullptr ||
		 RwStreamWriteInt32( stream, counts, sizeof( counts ) ) == nullptr ||
		 RwStreamWrite( stream, image, sizeof( image ) ) == nullptr ) {
		return nullptr;
	}
	for ( u32 m = 0; m < numMeshes; m++ ) {
		u8 record[RPNATIVE_RECORD_BYTES];
		DTWriteBE32( record, records[m].size );
		DTWriteBE32( record + 4, OffsetOf( records[m].list ) );
		if ( RwStreamWrite( stream, record, sizeof( record ) ) == nullptr ) {
			return nullptr;
		}
	}
	return dataBytes == 0 ? stream : RwStreamWrite( stream, _rpNativeDataBase( entry, numMeshes ), dataBytes );
}

// Bytes of one vertex of array field i in the format; 0 for a type the
// format cannot have.
u32 ElementBytes( const RpGameCubeVtxFmt& f, const u32 i ) {
	const u32 compTypes = sizeof( _RpDlCompSize );
	switch ( i ) {
		case 0:
			return f.posType < compTypes ? 3u * _RpDlCompSize[f.posType] : 0;
		case 1:
			return f.normType < compTypes ? ( f.threeNormals ? 9u : 3u ) * _RpDlCompSize[f.normType] : 0;
		case 2:
			return f.colorType < sizeof( _RpDlCompColSize ) ? _RpDlCompColSize[f.colorType] : 0;
		default:
			return f.texType[i - 3] < compTypes ? 2u * _RpDlCompSize[f.texType[i - 3]] : 0;
	}
}

// The header and records in offset form: index type known, fields the
// conversion skips null, arrays the draw needs present, every array's
// vertices and every list inside the data block.
bool OffsetsValid( RxGCInstanceHeader* header, const RxGCDisplayListRecord* records, const u8* base,
				   const RpNativeTarget& target, const u32 numMeshes, const u32 dataBytes ) {
	if ( header->indexType != RXGC_INDEX8 && header->indexType != RXGC_INDEX16 ) {
		return false;
	}
	const RpGameCubeVtxFmt& f = target.format != nullptr ? *target.format : _RpDlVtxFmtDefault;
	bool texEnded = false;
	for ( u32 i = 0; i < IMAGE_ARRAY_COUNT; i++ ) {
		const u64 offset = OffsetOf( *ArrayField( header, i ) );
		texEnded = texEnded || ( i >= 3 && offset == 0 );
		if ( offset == 0 ) {
			continue;
		}
		if ( texEnded || !Converted( header->excludedMask, i ) ) {
			return false;
		}
		const u64 element = ElementBytes( f, i );
		const u64 stride = *StrideField( header, i );
		if ( element == 0 || stride < element ) {
			return false;
		}
		const u64 extent = target.numVertices > 0 ? ( target.numVertices - 1 ) * stride + element : 0;
		if ( offset + extent > dataBytes ) {
			return false;
		}
	}
	if ( header->posArray == nullptr || ( ( target.flags & FLAG_NORMALS ) != 0 && header->normArray == nullptr ) ||
		 ( ( target.flags & FLAG_PRELIT ) != 0 && header->colorArray == nullptr ) ) {
		return false;
	}
	const u8 opcode = ( target.mesh != nullptr && ( target.mesh->flags & FLAG_TRISTRIP ) != 0 ) ? OPCODE_STRIP
																							  : OPCODE_TRIANGLES;
	for ( u32 m = 0; m < numMeshes; m++ ) {
		const u64 offset = OffsetOf( records[m].list );
		if ( records[m].size < DRAW_COMMAND_BYTES || offset + records[m].size > dataBytes || base[offset] != opcode ) {
			return false;
		}
	}
	return true;
}

// One list: a single draw command of count vertices, each perVertex bytes
// (skip bytes of matrix index, then attributes indices), followed by
// nothing but no-operation bytes, every index below the vertex count.
bool ListValid( const u8* list, const u32 size, const u32 skip, const u32 attributes, const u32 indexBytes,
				const u32 numVertices ) {
	const u64 count = DTReadBE16( list + 1 );
	const u64 perVertex = skip + u64{ attributes } * indexBytes;
	const u64 end = DRAW_COMMAND_BYTES + count * perVertex;
	if ( end > size ) {
		return false;
	}
	for ( u64 at = end; at < size; at++ ) {
		if ( list[at] != 0 ) {
			return false;
		}
	}
	for ( u64 v = 0; v < count; v++ ) {
		const u8* const indices = list + DRAW_COMMAND_BYTES + v * perVertex + skip;
		for ( u32 a = 0; a < attributes; a++ ) {
			const u32 index = indexBytes == 1 ? indices[a] : DTReadBE16( indices + 2 * a );
			if ( index >= numVertices ) {
				return false;
			}
		}
	}
	return true;
}

void Flush( RwResEntry* entry ) {
	DCFlushRange( entry, static_cast<u32>( sizeof( RwResEntry ) + static_cast<u32>( entry->size ) ) );
	GXInvalidateVtxCache();
}

// An entry read but refused: the processor never saw it, so it goes
// without waiting for a token.
void Discard( RwResEntry* entry ) {
	if ( entry->ownerRef != nullptr && *entry->ownerRef == entry ) {
		*entry->ownerRef = nullptr;
	}
	RwEngineInstance->memoryFunctions.rwfree( entry );
}

}	// namespace

u8* _rpNativeDataBase( RwResEntry* entry, const u32 numMeshes ) {
	const uintptr_t end = reinterpret_cast<uintptr_t>( _rxGCDisplayListRecords( entry ) + numMeshes );
	return reinterpret_cast<u8*>( ( end + DATA_ALIGNMENT - 1 ) & ~( DATA_ALIGNMENT - 1 ) );
}

void _rpNativePointer2Offset( RxGCInstanceHeader* header, RxGCDisplayListRecord* records, const u8* base,
							  const RpGameCubeVtxFmt*, const u32 numMeshes, u32 ) {
	ForAllAddresses( header, records, numMeshes, [base]( u8* pointer ) { return AsOffset( pointer - base ); } );
}

void _rpNativeOffset2Pointer( RxGCInstanceHeader* header, RxGCDisplayListRecord* records, u8* base, const u32 numMeshes,
							  u32 ) {
	// An array offset of 0 is a null array; list offsets are converted even
	// when 0 (the first list starts the block).
	ForAllAddresses( header, records, numMeshes, [base]( u8* offset ) { return base + OffsetOf( offset ); } );
}

RwStream* _rpNativeWrite( RwStream* stream, RwResEntry* entry, const RpGameCubeVtxFmt* format, const u32 numMeshes,
						  const u32 numVertices ) {
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( entry );
	RxGCDisplayListRecord* const records = _rxGCDisplayListRecords( entry );
	u8* const base = _rpNativeDataBase( entry, numMeshes );
	const u32 dataBytes = DataBytes( entry, numMeshes );
	_rpNativePointer2Offset( header, records, base, format, numMeshes, numVertices );
	RwStream* const written = WriteImages( stream, entry, numMeshes, dataBytes );
	// Back to pointers whether or not the stream took it all: the instance
	// is drawn again.
	_rpNativeOffset2Pointer( header, records, base, numMeshes, numVertices );
	if ( written == nullptr ) {
		return nullptr;
	}
	Flush( entry );
	return stream;
}

bool _rpNativeListsValid( RwResEntry* entry, const RpMeshHeader* mesh, const u32 numVertices, const u32 flags,
						  const bool matrixIndices ) {
	const RxGCInstanceHeader* const header = _rxGCInstanceHeader( entry );
	const RxGCDisplayListRecord* const records = _rxGCDisplayListRecords( entry );
	u32 attributes = 1;
	attributes += ( flags & FLAG_NORMALS ) != 0 ? 1 : 0;
	attributes += ( flags & FLAG_PRELIT ) != 0 ? 1 : 0;
	if ( ( flags & ( FLAG_TEXTURED | FLAG_TEXTURED2 ) ) != 0 ) {
		for ( u32 k = 0; k < RXGC_MAX_TEXCOORD_SETS && header->texArray[k] != nullptr; k++ ) {
			attributes++;
		}
	}
	const u32 indexBytes = header->indexType == RXGC_INDEX8 ? 1 : 2;
	for ( u32 m = 0; m < MeshCount( mesh ); m++ ) {
		if ( !ListValid( records[m].list, records[m].size, matrixIndices ? 1 : 0, attributes, indexBytes, numVertices ) ) {
			return false;
		}
	}
	return true;
}

void* _rpNativeRead( RwStream* stream, const RpNativeTarget& target, const u32 length, const bool checkIndices ) {
	u32 type = 0;
	u32 chunkLength = 0;
	u32 version = 0;
	if ( !_rwStreamReadChunkHeader( stream, &type, &chunkLength, &version, nullptr ) ) {
		return nullptr;
	}
	if ( type != rwID_STRUCT || length != u64{ CHUNK_HEADER_BYTES } + chunkLength || chunkLength < COUNT_WORDS_BYTES ) {
		Malformed();
		return nullptr;
	}
	if ( !_rwStreamVersionAccepted( version ) ) {
		_rwErrorSetCore( _rwerror( RWERR_BAD_VERSION, version ) );
		return nullptr;
	}
	u32 counts[3];
	if ( RwStreamReadInt32( stream, counts, sizeof( counts ) ) == nullptr ) {
		return nullptr;
	}
	// Another platform's data is refused without an error.
	if ( counts[0] != RPNATIVE_PLATFORM ) {
		return nullptr;
	}
	const u32 numMeshes = MeshCount( target.mesh );
	const u32 headerBytes = counts[1];
	const u32 dataBytes = counts[2];
	u32 left = 0;
	if ( headerBytes != HeaderBytes( numMeshes ) || chunkLength != u64{ COUNT_WORDS_BYTES } + headerBytes + dataBytes ||
		 *target.entryRef != nullptr ||
		 ( _rwStreamBytesLeft( stream, &left ) && left < u64{ headerBytes } + dataBytes ) ) {
		Malformed();
		return nullptr;
	}
	const u64 bytes = sizeof( RwResEntry ) + sizeof( RxGCInstanceHeader ) + u64{ numMeshes } * sizeof( RxGCDisplayListRecord ) +
					  DATA_ALIGNMENT - 1 + dataBytes;
	if ( bytes > 0x7FFFFFFFu ) {
		Malformed();
		return nullptr;
	}
	RwResEntry* const entry = static_cast<RwResEntry*>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) );
	if ( entry == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
		return nullptr;
	}
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( entry );
	RxGCDisplayListRecord* const records = _rxGCDisplayListRecords( entry );
	u8* const base = _rpNativeDataBase( entry, numMeshes );
	*entry = { { nullptr, nullptr }, static_cast<s32>( base + dataBytes - reinterpret_cast<u8*>( entry + 1 ) ), target.owner,
			   target.entryRef, _rxGCResEntryWaitDone };
	u8 image[RPNATIVE_HEADER_BYTES];
	bool read = RwStreamRead( stream, image, sizeof( image ) ) == sizeof( image );
	if ( read ) {
		DecodeHeader( image, header );
	}
	for ( u32 m = 0; read && m < numMeshes; m++ ) {
		u8 record[RPNATIVE_RECORD_BYTES];
		read = RwStreamRead( stream, record, sizeof( record ) ) == sizeof( record );
		records[m] = { DTReadBE32( record ), AsOffset( DTReadBE32( record + 4 ) ) };
	}
	read = read && ( dataBytes == 0 || RwStreamRead( stream, base, dataBytes ) == dataBytes );
	if ( !read ) {
		Discard( entry );
		return nullptr;
	}
	if ( !OffsetsValid( header, records, base, target, numMeshes, dataBytes ) ) {
		Discard( entry );
		Malformed();
		return nullptr;
	}
	header->drawToken = _RwDlTokenCurrent;
	_rpNativeOffset2Pointer( header, records, base, numMeshes, target.numVertices );
	if ( checkIndices && !_rpNativeListsValid( entry, target.mesh, target.numVertices, target.flags, false ) ) {
		Discard( entry );
		Malformed();
		return nullptr;
	}
	*target.entryRef = entry;
	Flush( entry );
	return target.owner;
}

s32 _rpGeometryNativeSize( const RpGeometry* geometry ) {
	if ( ( geometry->flags & rpGEOMETRYNATIVE ) == 0 || geometry->repEntry == nullptr ) {
		return 0;
	}
	const u32 numMeshes = MeshCount( geometry->mesh );
	return static_cast<s32>( CHUNK_HEADER_BYTES + COUNT_WORDS_BYTES + HeaderBytes( numMeshes ) +
							 DataBytes( geometry->repEntry, numMeshes ) );
}

RwStream* _rpGeometryNativeWrite( RwStream* stream, const RpGeometry* geometry ) {
	if ( ( geometry->flags & rpGEOMETRYNATIVE ) == 0 || geometry->repEntry == nullptr ) {
		return stream;
	}
	return _rpNativeWrite( stream, geometry->repEntry, RpGameCubeGeometryGetVtxFmt( geometry ), MeshCount( geometry->mesh ),
						   static_cast<u32>( geometry->numVertices ) );
}

RpGeometry* _rpGeometryNativeRead( RwStream* stream, RpGeometry* geometry, const u32 length ) {
	const RpNativeTarget target = { geometry, &geometry->repEntry, geometry->mesh,
									static_cast<u32>( geometry->numVertices > 0 ? geometry->numVertices : 0 ),
									RpGameCubeGeometryGetVtxFmt( geometry ), geometry->flags };
	// The lists are checked once the skin, which decides matrix indices, is in.
	return _rpNativeRead( stream, target, length, false ) != nullptr ? geometry : nullptr;
}

bool _rpGeometryNativeCheckLists( RpGeometry* geometry ) {
	if ( ( geometry->flags & rpGEOMETRYNATIVE ) == 0 || geometry->repEntry == nullptr ) {
		return true;
	}
	// Rigid skins draw each vertex with a matrix index before it.
	const RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	const bool matrixIndices = skin != nullptr && skin->maxNumWeights < 2;
	if ( _rpNativeListsValid( geometry->repEntry, geometry->mesh, static_cast<u32>( geometry->numVertices ), geometry->flags,
							  matrixIndices ) ) {
		return true;
	}
	Discard( geometry->repEntry );
	Malformed();
	return false;
}

s32 _rpWorldSectorNativeSize( const RpWorldSector* sector ) {
	const RpWorld* const world = RpWorldSectorGetWorld( sector );
	if ( world == nullptr || ( world->flags & rpGEOMETRYNATIVE ) == 0 || sector->repEntry == nullptr ) {
		return 0;
	}
	const u32 numMeshes = MeshCount( sector->mesh );
	return static_cast<s32>( CHUNK_HEADER_BYTES + COUNT_WORDS_BYTES + HeaderBytes( numMeshes ) +
							 DataBytes( sector->repEntry, numMeshes ) );
}

RwStream* _rpWorldSectorNativeWrite( RwStream* stream, const RpWorldSector* sector ) {
	const RpWorld* const world = RpWorldSectorGetWorld( sector );
	if ( world == nullptr || ( world->flags & rpGEOMETRYNATIVE ) == 0 || sector->repEntry == nullptr ) {
		return stream;
	}
	return _rpNativeWrite( stream, sector->repEntry, RpGameCubeWorldGetVtxFmt( world ), MeshCount( sector->mesh ),
						   sector->numVertices );
}

RpWorldSector* _rpWorldSectorNativeRead( RwStream* stream, RpWorldSector* sector, const u32 length ) {
	const RpWorld* const world = RpWorldSectorGetWorld( sector );
	if ( world == nullptr ) {
		Malformed();
		return nullptr;
	}
	const RpNativeTarget target = { sector, &sector->repEntry, sector->mesh, sector->numVertices,
									RpGameCubeWorldGetVtxFmt( world ), world->flags };
	return _rpNativeRead( stream, target, length, true ) != nullptr ? sector : nullptr;
}
