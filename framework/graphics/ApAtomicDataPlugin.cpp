#include "framework/graphics/ApAtomicDataPlugin.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"

#include <cstring>

namespace {

ApAtomicData * DataAt( void * object, const s32 offset ) {
	return reinterpret_cast<ApAtomicData *>( static_cast<u8 *>( object ) + offset );
}

const ApAtomicData * DataAt( const void * object, const s32 offset ) {
	return reinterpret_cast<const ApAtomicData *>( static_cast<const u8 *>( object ) + offset );
}

void FreeBlock( void * block ) {
	if ( block != nullptr && RwEngineInstance != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( block );
	}
}

void * Construct( void * object, const s32 offset, s32 ) {
	ApAtomicData * const data = DataAt( object, offset );
	data->pfnRender = nullptr;
	data->uiData = 0;
	data->pMorphBlock = nullptr;
	return object;
}

void * Destruct( void * object, const s32 offset, s32 ) {
	ApAtomicData * const data = DataAt( object, offset );
	FreeBlock( data->pMorphBlock );
	data->pMorphBlock = nullptr;
	return object;
}

void * Copy( void * destination, const void * source, const s32 offset, s32 ) {
	DataAt( destination, offset )->uiData = DataAt( source, offset )->uiData;
	return destination;
}

RwStream * Read( RwStream * stream, s32, void * object, const s32 offset, s32 ) {
	return RwStreamReadInt32( stream, &DataAt( object, offset )->uiData, sizeof( u32 ) );
}

RwStream * Write( RwStream * stream, s32, const void * object, const s32 offset, s32 ) {
	return RwStreamWriteInt32( stream, &DataAt( object, offset )->uiData, sizeof( u32 ) );
}

s32 Size( const void *, s32, s32 ) {
	return AP_ATOMIC_DATA_STREAM_BYTES;
}

// Vertex and normal arrays of both targets follow the two records.
constexpr u32 ARRAYS_PER_BLOCK = 2 * AP_ATOMIC_MORPH_TARGETS;

}

s32 ApAtomicDataPluginAttach() {
	if ( RpAtomicRegisterPlugin( static_cast<s32>( sizeof( ApAtomicData ) ), AP_ATOMIC_DATA_PLUGIN_ID, Construct, Destruct,
								 Copy ) < 0 ) {
		return 0;
	}
	return RpAtomicRegisterPluginStream( AP_ATOMIC_DATA_PLUGIN_ID, Read, Write, Size ) < 0 ? 0 : 1;
}

// The offset is looked up on every access: a library brought up again
// without the plug-in must not be read through a stale offset.
ApAtomicData * ApAtomicGetData( RpAtomic * atomic ) {
	const s32 offset = atomic != nullptr ? RpAtomicGetPluginOffset( AP_ATOMIC_DATA_PLUGIN_ID ) : -1;
	return offset >= 0 ? DataAt( atomic, offset ) : nullptr;
}

const ApAtomicData * ApAtomicGetData( const RpAtomic * atomic ) {
	const s32 offset = atomic != nullptr ? RpAtomicGetPluginOffset( AP_ATOMIC_DATA_PLUGIN_ID ) : -1;
	return offset >= 0 ? DataAt( atomic, offset ) : nullptr;
}

RpAtomicCallBackRender ApGetAtomicCallBackRender( const RpAtomic * atomic ) {
	const ApAtomicData * const data = ApAtomicGetData( atomic );
	return data != nullptr ? data->pfnRender : nullptr;
}

void ApSetAtomicCallBackRender( RpAtomic * atomic, const RpAtomicCallBackRender callBack ) {
	if ( ApAtomicData * const data = ApAtomicGetData( atomic ) ) {
		data->pfnRender = callBack;
	}
}

u32 ApGetAtomicLod( const RpAtomic * atomic ) {
	const ApAtomicData * const data = ApAtomicGetData( atomic );
	return data != nullptr ? ( data->uiData >> 16 ) & 0xF : 0;
}

void * ApAtomicCreateMorphTargets( RpAtomic * atomic ) {
	ApAtomicData * const data = ApAtomicGetData( atomic );
	if ( data == nullptr || atomic->geometry == nullptr || RwEngineInstance == nullptr ) {
		return nullptr;
	}
	if ( data->pMorphBlock != nullptr ) {
		return data->pMorphBlock;
	}
	RpGeometry * const geometry = atomic->geometry;
	if ( geometry->numMorphTargets >= 2 || geometry->numVertices < 0 ) {
		return nullptr;
	}
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	const u32 arrayBytes = vertices * sizeof( RwV3d );
	const u32 bytes = AP_ATOMIC_MORPH_TARGETS * sizeof( RpMorphTarget ) + ARRAYS_PER_BLOCK * arrayBytes;
	u8 * const block = static_cast<u8 *>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
	if ( block == nullptr ) {
		return nullptr;
	}
	std::memset( block, 0, bytes );
	RpMorphTarget * const targets = reinterpret_cast<RpMorphTarget *>( block );
	RwV3d * arrays = reinterpret_cast<RwV3d *>( block + AP_ATOMIC_MORPH_TARGETS * sizeof( RpMorphTarget ) );
	for ( u32 i = 0; i < AP_ATOMIC_MORPH_TARGETS; i++ ) {
		targets[i].parentGeom = geometry;
		targets[i].verts = arrays;
		targets[i].normals = arrays + vertices;
		arrays += 2 * vertices;
	}
	data->pMorphBlock = block;
	return block;
}

RpMorphTarget * ApAtomicGetMorphTarget( RpAtomic * atomic, const u32 index ) {
	ApAtomicData * const data = ApAtomicGetData( atomic );
	if ( data == nullptr || data->pMorphBlock == nullptr || index >= AP_ATOMIC_MORPH_TARGETS ) {
		return nullptr;
	}
	return static_cast<RpMorphTarget *>( data->pMorphBlock ) + index;
}
