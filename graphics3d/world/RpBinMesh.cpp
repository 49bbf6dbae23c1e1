#include "graphics3d/world/RpBinMesh.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpMesh.h"

#include "datatypes/base/DTByteOrder.h"

// Bytes of the entry's header and of each mesh record; one stored word.
static const u32 ENTRY_HEADER_BYTES	= 12;
static const u32 MESH_RECORD_BYTES	= 8;
static const u32 WORD_BYTES			= 4;
static const u32 LARGEST_MESH_COUNT	= 0xFFFF;

static u64 EntryBytes( const u64 numMeshes, const u64 totalIndices, const bool native ) {
	return ENTRY_HEADER_BYTES + MESH_RECORD_BYTES * numMeshes + ( native ? 0 : WORD_BYTES * totalIndices );
}

s32 _rpBinMeshSize( const RpMeshHeader* header, const bool native ) {
	return static_cast<s32>( EntryBytes( header->numMeshes, header->totalIndicesInMesh, native ) );
}

RwStream* _rpBinMeshWrite( const RpMeshHeader* header, RwStream* stream, const bool native,
						   const RpMaterialList* materialList ) {
	const u32 words[3] = { header->flags, header->numMeshes, header->totalIndicesInMesh };
	if ( RwStreamWriteInt32( stream, words, sizeof( words ) ) == nullptr ) {
		return nullptr;
	}
	const RpMesh* const meshes = RpMeshHeaderGetMeshes( const_cast<RpMeshHeader*>( header ) );
	for ( u32 m = 0; m < header->numMeshes; m++ ) {
		const RpMesh& mesh = meshes[m];
		const s32 found = _rpMaterialListFindMaterialIndex( materialList, mesh.material );
		const s32 record[2] = { static_cast<s32>( mesh.numIndices ), found >= 0 ? found : 0 };
		if ( RwStreamWriteInt32( stream, record, sizeof( record ) ) == nullptr ) {
			return nullptr;
		}
		if ( native ) {
			continue;
		}
		u32 group[RPBINMESH_INDEX_GROUP];
		for ( u32 i = 0; i < mesh.numIndices; i += RPBINMESH_INDEX_GROUP ) {
			const u32 count = mesh.numIndices - i < RPBINMESH_INDEX_GROUP ? mesh.numIndices - i : RPBINMESH_INDEX_GROUP;
			for ( u32 k = 0; k < count; k++ ) {
				group[k] = mesh.indices[i + k];
			}
			if ( RwStreamWriteInt32( stream, group, count * WORD_BYTES ) == nullptr ) {
				return nullptr;
			}
		}
	}
	return stream;
}

namespace {

bool ReadWords( RwStream* stream, u32* words, const u32 count ) {
	u8 bytes[RPBINMESH_INDEX_GROUP * WORD_BYTES];
	if ( RwStreamRead( stream, bytes, count * WORD_BYTES ) != count * WORD_BYTES ) {
		return false;
	}
	for ( u32 i = 0; i < count; i++ ) {
		words[i] = DTReadLE32( bytes + i * WORD_BYTES );
	}
	return true;
}

// Reads one mesh's indices into indices, each below numVertices.
bool ReadIndices( RwStream* stream, u16* indices, const u32 numIndices, const u32 numVertices ) {
	u32 group[RPBINMESH_INDEX_GROUP];
	for ( u32 i = 0; i < numIndices; i += RPBINMESH_INDEX_GROUP ) {
		const u32 count = numIndices - i < RPBINMESH_INDEX_GROUP ? numIndices - i : RPBINMESH_INDEX_GROUP;
		if ( !ReadWords( stream, group, count ) ) {
			return false;
		}
		for ( u32 k = 0; k < count; k++ ) {
			if ( group[k] >= numVertices ) {
				return false;
			}
			indices[i + k] = static_cast<u16>( group[k] );
		}
	}
	return true;
}

// The material of a stored index: inside the list, or none for index 0
// of an empty list.
bool ResolveMaterial( const RpMaterialList* list, const s32 index, RpMaterial** out ) {
	if ( index == 0 && list->numMaterials == 0 ) {
		*out = nullptr;
		return true;
	}
	if ( index < 0 || index >= list->numMaterials ) {
		return false;
	}
	*out = _rpMaterialListGetMaterial( list, index );
	return true;
}

RpMeshHeader* Fail( RpMeshHeader* header ) {
	_rwErrorSetCore( _rwerror( RWERR_READ ) );
	if ( header != nullptr ) {
		_rpMeshDestroy( header );
	}
	return nullptr;
}

}	// namespace

RpMeshHeader* _rpBinMeshRead( RwStream* stream, const s32 entryLength, const bool native, const u32 numVertices,
							  const RpMaterialList* materialList ) {
	u32 words[3] = { 0, 0, 0 };
	if ( entryLength < static_cast<s32>( ENTRY_HEADER_BYTES ) || !ReadWords( stream, words, 3 ) ) {
		return Fail( nullptr );
	}
	const u32 flags = words[0];
	const u32 numMeshes = words[1];
	const u32 totalIndices = words[2];
	if ( numMeshes > LARGEST_MESH_COUNT ||
		 EntryBytes( numMeshes, totalIndices, native ) != static_cast<u64>( static_cast<u32>( entryLength ) ) ) {
		return Fail( nullptr );
	}
	const u32 size = _rpMeshHeaderBlockSize( numMeshes, native ? 0 : totalIndices );
	RpMeshHeader* const header = size != 0 ? _rpMeshHeaderCreate( size ) : nullptr;
	if ( header == nullptr ) {
		return nullptr;
	}
	header->flags = flags;
	header->numMeshes = static_cast<u16>( numMeshes );
	header->serialNum = _rpMeshGetNextSerialNumber();
	header->totalIndicesInMesh = totalIndices;
	header->firstMeshOffset = 0;
	RpMesh* const meshes = RpMeshHeaderGetMeshes( header );
	u16* cursor = reinterpret_cast<u16*>( meshes + numMeshes );
	u32 indicesRead = 0;
	for ( u32 m = 0; m < numMeshes; m++ ) {
		u32 record[2];
		if ( !ReadWords( stream, record, 2 ) ||
			 !ResolveMaterial( materialList, static_cast<s32>( record[1] ), &meshes[m].material ) ) {
			return Fail( header );
		}
		meshes[m].numIndices = record[0];
		meshes[m].indices = nullptr;
		if ( native ) {
			continue;
		}
		// The counts must stay inside the total before any index is stored.
		if ( record[0] > totalIndices - indicesRead || !ReadIndices( stream, cursor, record[0], numVertices ) ) {
			return Fail( header );
		}
		meshes[m].indices = cursor;
		cursor += record[0];
		indicesRead += record[0];
	}
	if ( !native && indicesRead != totalIndices ) {
		return Fail( header );
	}
	return header;
}
