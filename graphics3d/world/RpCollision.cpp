#include "graphics3d/world/RpCollision.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpWorld.h"

s32 _rpCollisionNumInstances = 0;
RwPluginOffset _rpCollisionGlobalsOffset;
RwPluginOffset _rpCollisionWorldSectorDataOffset;
RwPluginOffset _rpCollisionAtomicDataOffset;
RwPluginOffset _rpCollisionGeometryDataOffset;

// Stored bytes: N and M, then per branch four words, per leaf and per
// map entry one.
static const u64 RECORD_HEADER_BYTES	= 8;
static const u64 MAP_ENTRY_BYTES		= 4;
static const u32 SLOT_BYTES				= 4;

namespace {

RpCollisionData*& Slot( void* object, const s32 offset ) {
	return *RwPluginData<RpCollisionData*>( object, offset );
}

void* CollisionOpen( void* instance, const s32 offset, s32 ) {
	*RwPluginData<u32>( instance, offset ) = 0;
	_rpCollisionNumInstances++;
	return instance;
}

void* CollisionClose( void* instance, s32, s32 ) {
	if ( _rpCollisionNumInstances > 0 ) {
		_rpCollisionNumInstances--;
	}
	return instance;
}

void* CollisionDataCreate( void* object, const s32 offset, s32 ) {
	Slot( object, offset ) = nullptr;
	return object;
}

void FreeRecord( RpCollisionData* data ) {
	if ( ( data->flags & rpCOLLISIONDATA_TREE_INSIDE ) == 0 && data->tree != nullptr ) {
		_rpCollBSPTreeDestroy( data->tree );
	}
	RwEngineInstance->memoryFunctions.rwfree( data );
}

void* CollisionDataDestroy( void* object, const s32 offset, s32 ) {
	RpCollisionData*& data = Slot( object, offset );
	if ( data != nullptr ) {
		FreeRecord( data );
		data = nullptr;
	}
	return object;
}

void* CollisionAtomicInit( void* object, const s32 offset, s32 ) {
	*RwPluginData<u32>( object, offset ) = 0;
	return object;
}

bool ReadFailed( RpCollisionData* data ) {
	RwEngineInstance->memoryFunctions.rwfree( data );
	return false;
}

// Reads one record for an owner of ownerTriangles triangles into the slot.
RwStream* ReadRecord( RwStream* stream, const s32 length, RpCollisionData*& slot, const u32 ownerTriangles ) {
	if ( length == 0 ) {
		return stream;
	}
	u32 counts[2] = { 0, 0 };
	if ( RwStreamReadInt32( stream, counts, sizeof( counts ) ) == nullptr ) {
		return nullptr;
	}
	const u64 n = counts[0];
	const u64 m = counts[1];
	const u64 expected = n >= 1 ? RECORD_HEADER_BYTES + 16 * ( n - 1 ) + 4 * n + MAP_ENTRY_BYTES * m : 0;
	if ( n < 1 || static_cast<u64>( length ) != expected ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return nullptr;
	}
	const u64 bytes = sizeof( RpCollisionData ) + _rpCollBSPTreeMemGetSize( counts[0] ) + sizeof( u16 ) * m;
	RpCollisionData* const data = bytes <= 0xFFFFFFFFu ? static_cast<RpCollisionData*>(
																RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) )
													   : nullptr;
	if ( data == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
		return nullptr;
	}
	u8* const block = reinterpret_cast<u8*>( data );
	data->flags = rpCOLLISIONDATA_TREE_INSIDE;
	data->tree = reinterpret_cast<RpCollBSPTree*>( block + sizeof( RpCollisionData ) );
	data->numTriangles = counts[1];
	data->triangleMap = reinterpret_cast<u16*>( block + sizeof( RpCollisionData ) + _rpCollBSPTreeMemGetSize( counts[0] ) );
	_rpCollBSPTreeInit( data->tree, counts[0] );
	if ( _rpCollBSPTreeStreamRead( stream, data->tree, counts[1] ) == nullptr ) {
		ReadFailed( data );
		return nullptr;
	}
	for ( u32 i = 0; i < counts[1]; i++ ) {
		u32 entry = 0;
		if ( RwStreamReadInt32( stream, &entry, sizeof( entry ) ) == nullptr ) {
			ReadFailed( data );
			return nullptr;
		}
		data->triangleMap[i] = static_cast<u16>( entry );
		// Entries name the owner's triangles.
		if ( data->triangleMap[i] >= ownerTriangles ) {
			_rwErrorSetCore( _rwerror( RWERR_READ ) );
			ReadFailed( data );
			return nullptr;
		}
	}
	if ( slot != nullptr ) {
		FreeRecord( slot );
	}
	slot = data;
	return stream;
}

RwStream* CollisionGeometryDataStreamRead( RwStream* stream, const s32 length, void* object, const s32 offset, s32 ) {
	const RpGeometry* const geometry = static_cast<const RpGeometry*>( object );
	const u32 triangles = geometry->numTriangles > 0 ? static_cast<u32>( geometry->numTriangles ) : 0;
	return ReadRecord( stream, length, Slot( object, offset ), triangles );
}

RwStream* CollisionSectorDataStreamRead( RwStream* stream, const s32 length, void* object, const s32 offset, s32 ) {
	const RpWorldSector* const sector = static_cast<const RpWorldSector*>( object );
	return ReadRecord( stream, length, Slot( object, offset ), sector->numTriangles );
}

RwStream* CollisionDataStreamWrite( RwStream* stream, s32, const void* object, const s32 offset, s32 ) {
	const RpCollisionData* const data = Slot( const_cast<void*>( object ), offset );
	if ( data == nullptr ) {
		return stream;
	}
	const u32 counts[2] = { data->tree->numLeafNodes, data->numTriangles };
	if ( RwStreamWriteInt32( stream, counts, sizeof( counts ) ) == nullptr ||
		 _rpCollBSPTreeStreamWrite( stream, data->tree ) == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < data->numTriangles; i++ ) {
		const u32 entry = data->triangleMap[i];
		if ( RwStreamWriteInt32( stream, &entry, sizeof( entry ) ) == nullptr ) {
			return nullptr;
		}
	}
	return stream;
}

s32 CollisionDataStreamGetSize( const void* object, const s32 offset, s32 ) {
	const RpCollisionData* const data = Slot( const_cast<void*>( object ), offset );
	if ( data == nullptr ) {
		return 0;
	}
	return static_cast<s32>( RECORD_HEADER_BYTES + _rpCollBSPTreeStreamGetSize( data->tree ) +
							 MAP_ENTRY_BYTES * data->numTriangles );
}

}	// namespace

RpCollisionData* _rpCollisionGeometryData( const RpGeometry* geometry ) {
	const s32 offset = _rpCollisionGeometryDataOffset.Get();
	return offset < 0 ? nullptr : Slot( const_cast<RpGeometry*>( geometry ), offset );
}

RpCollisionData* _rpCollisionWorldSectorData( const RpWorldSector* sector ) {
	const s32 offset = _rpCollisionWorldSectorDataOffset.Get();
	return offset < 0 ? nullptr : Slot( const_cast<RpWorldSector*>( sector ), offset );
}

bool RpCollisionPluginAttach() {
	const s32 slot = static_cast<s32>( sizeof( RpCollisionData* ) );
	_rpCollisionGlobalsOffset.Set( RwEngineRegisterPlugin( SLOT_BYTES, rwID_COLLISPLUGIN, CollisionOpen, CollisionClose ) );
	if ( _rpCollisionGlobalsOffset.Get() < 0 ) {
		return false;
	}
	_rpCollisionWorldSectorDataOffset.Set( RpWorldSectorRegisterPlugin( slot, rwID_COLLISPLUGIN, CollisionDataCreate,
																		CollisionDataDestroy, nullptr ) );
	if ( _rpCollisionWorldSectorDataOffset.Get() < 0 ||
		 RpWorldSectorRegisterPluginStream( rwID_COLLISPLUGIN, CollisionSectorDataStreamRead, CollisionDataStreamWrite,
											CollisionDataStreamGetSize ) < 0 ) {
		return false;
	}
	_rpCollisionAtomicDataOffset.Set(
		RpAtomicRegisterPlugin( SLOT_BYTES, rwID_COLLISPLUGIN, CollisionAtomicInit, nullptr, nullptr ) );
	if ( _rpCollisionAtomicDataOffset.Get() < 0 ) {
		return false;
	}
	_rpCollisionGeometryDataOffset.Set(
		RpGeometryRegisterPlugin( slot, rwID_COLLISPLUGIN, CollisionDataCreate, CollisionDataDestroy, nullptr ) );
	return _rpCollisionGeometryDataOffset.Get() >= 0 &&
		   RpGeometryRegisterPluginStream( rwID_COLLISPLUGIN, CollisionGeometryDataStreamRead, CollisionDataStreamWrite,
										   CollisionDataStreamGetSize ) >= 0;
}
