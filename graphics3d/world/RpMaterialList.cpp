#include "graphics3d/world/RpMaterialList.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpMaterial.h"

#include "datatypes/base/DTByteOrder.h"

// Bytes of the count and of each index in the list's struct.
static const u32 STRUCT_WORD_BYTES = 4;

RpMaterialList* _rpMaterialListInitialize( RpMaterialList* list ) {
	list->materials = nullptr;
	list->numMaterials = 0;
	list->space = 0;
	return list;
}

RpMaterialList* _rpMaterialListDeinitialize( RpMaterialList* list ) {
	for ( s32 i = 0; i < list->numMaterials; i++ ) {
		RpMaterialDestroy( list->materials[i] );
	}
	if ( list->materials != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( list->materials );
	}
	return _rpMaterialListInitialize( list );
}

RpMaterial* _rpMaterialListGetMaterial( const RpMaterialList* list, const s32 index ) {
	return list->materials[index];
}

s32 _rpMaterialListAppendMaterial( RpMaterialList* list, RpMaterial* material ) {
	if ( list->numMaterials >= list->space ) {
		const s32 space = list->space + RPMATERIALLIST_GROWTH;
		const u32 bytes = static_cast<u32>( space ) * static_cast<u32>( sizeof( RpMaterial* ) );
		const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
		RpMaterial** const materials = static_cast<RpMaterial**>( list->materials != nullptr
																	  ? memory.rwrealloc( list->materials, bytes )
																	  : memory.rwmalloc( bytes ) );
		if ( materials == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
			return -1;
		}
		list->materials = materials;
		list->space = space;
	}
	material->refCount++;
	list->materials[list->numMaterials] = material;
	return list->numMaterials++;
}

s32 _rpMaterialListFindMaterialIndex( const RpMaterialList* list, const RpMaterial* material ) {
	for ( s32 i = list->numMaterials - 1; i >= 0; i-- ) {
		if ( list->materials[i] == material ) {
			return i;
		}
	}
	return -1;
}

// Reads the struct: the count, which must be non-negative and fit the
// payload, and the indices, into an array allocated here (null for a count
// of 0). Extra payload bytes are skipped.
static bool ReadIndices( RwStream* stream, s32* countOut, s32** indicesOut ) {
	u32 length = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, nullptr ) ) {
		return false;
	}
	u8 word[STRUCT_WORD_BYTES];
	if ( length < STRUCT_WORD_BYTES || RwStreamRead( stream, word, STRUCT_WORD_BYTES ) != STRUCT_WORD_BYTES ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return false;
	}
	const s32 count = DTReadLES32( word );
	const u64 needed = STRUCT_WORD_BYTES + static_cast<u64>( STRUCT_WORD_BYTES ) * static_cast<u64>( count );
	// The chunk's own length is stored too: the indices must also be in
	// what the stream still holds before they are allocated.
	u32 left = 0;
	const bool knownLeft = _rwStreamBytesLeft( stream, &left );
	if ( count < 0 || needed > length || ( knownLeft && needed - STRUCT_WORD_BYTES > left ) ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return false;
	}
	s32* indices = nullptr;
	if ( count > 0 ) {
		const u32 bytes = static_cast<u32>( count ) * STRUCT_WORD_BYTES;
		indices = static_cast<s32*>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
		if ( indices == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
			return false;
		}
		for ( s32 i = 0; i < count; i++ ) {
			if ( RwStreamRead( stream, word, STRUCT_WORD_BYTES ) != STRUCT_WORD_BYTES ) {
				RwEngineInstance->memoryFunctions.rwfree( indices );
				return false;
			}
			indices[i] = DTReadLES32( word );
		}
	}
	const u32 rest = length - static_cast<u32>( needed );
	if ( rest > 0 && RwStreamSkip( stream, rest ) == nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( indices );
		return false;
	}
	*countOut = count;
	*indicesOut = indices;
	return true;
}

// The material of entry position: read from a material chunk (the
// reader's reference is handed back through ownedOut) or an earlier entry.
static RpMaterial* ReadEntry( RwStream* stream, const RpMaterialList* list, const s32 index, bool* ownedOut ) {
	if ( index < 0 ) {
		*ownedOut = true;
		if ( !RwStreamFindChunk( stream, rwID_MATERIAL, nullptr, nullptr ) ) {
			return nullptr;
		}
		return RpMaterialStreamRead( stream );
	}
	*ownedOut = false;
	// Only an entry already read may be reused.
	if ( index >= list->numMaterials ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return nullptr;
	}
	return list->materials[index];
}

RpMaterialList* _rpMaterialListStreamRead( RwStream* stream, RpMaterialList* list ) {
	s32 count = 0;
	s32* indices = nullptr;
	if ( !ReadIndices( stream, &count, &indices ) ) {
		return nullptr;
	}
	if ( count == 0 ) {
		return list;
	}
	const u32 bytes = static_cast<u32>( count ) * static_cast<u32>( sizeof( RpMaterial* ) );
	list->materials = static_cast<RpMaterial**>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
	if ( list->materials == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		RwEngineInstance->memoryFunctions.rwfree( indices );
		return nullptr;
	}
	list->space = count;
	bool failed = false;
	for ( s32 i = 0; i < count && !failed; i++ ) {
		bool owned = false;
		RpMaterial* const material = ReadEntry( stream, list, indices[i], &owned );
		failed = material == nullptr || _rpMaterialListAppendMaterial( list, material ) < 0;
		if ( material != nullptr && owned ) {
			RpMaterialDestroy( material );
		}
	}
	RwEngineInstance->memoryFunctions.rwfree( indices );
	if ( failed ) {
		_rpMaterialListDeinitialize( list );
		return nullptr;
	}
	return list;
}
