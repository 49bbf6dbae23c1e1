#include "graphics3d/core/RwPlugin.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwStream.h"

#include <climits>

RwFreeList*			toolkitRegEntryFreeList = nullptr;
RwPluginRegistry**	toolkitNonFLRegList = nullptr;
s32					numRegToolkits = 0;

// Record of the entry free list while the registry module is open.
static RwFreeList	toolkitRegEntries;
// Closes of the registries so far.
static u32			registryCloses = 0;

// Bytes of a chunk header in a stream.
static const u32 CHUNK_HEADER_BYTES = 12;

void* PluginDefaultConstructor( void* object, s32, s32 ) {
	return object;
}

void* PluginDefaultDestructor( void* object, s32, s32 ) {
	return object;
}

void* PluginDefaultCopy( void* dstObject, const void*, s32, s32 ) {
	return dstObject;
}

static RwPluginRegEntry* FindEntry( const RwPluginRegistry* registry, const u32 pluginID ) {
	for ( RwPluginRegEntry* entry = registry->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry ) {
		if ( entry->pluginID == pluginID ) {
			return entry;
		}
	}
	return nullptr;
}

// Remembers a registry that receives plain-allocated entries so that the
// entries can be released when the module closes.
static bool RememberRegistry( RwPluginRegistry* registry ) {
	for ( s32 i = 0; i < numRegToolkits; i++ ) {
		if ( toolkitNonFLRegList[i] == registry ) {
			return true;
		}
	}
	RwMemoryFunctions* const memory = &RwEngineInstance->memoryFunctions;
	const u32 bytes = static_cast<u32>( ( static_cast<u64>( numRegToolkits ) + 1 ) * sizeof( RwPluginRegistry* ) );
	RwPluginRegistry** const grown = static_cast<RwPluginRegistry**>( memory->rwmalloc( bytes ) );
	if ( grown == nullptr ) {
		return false;
	}
	for ( s32 i = 0; i < numRegToolkits; i++ ) {
		grown[i] = toolkitNonFLRegList[i];
	}
	if ( toolkitNonFLRegList != nullptr ) {
		memory->rwfree( toolkitNonFLRegList );
	}
	grown[numRegToolkits] = registry;
	toolkitNonFLRegList = grown;
	numRegToolkits++;
	return true;
}

s32 _rwPluginRegistryAddPlugin( RwPluginRegistry* registry, const s32 size, const u32 pluginID,
								const RwPluginObjectConstructor constructCB, const RwPluginObjectDestructor destructCB,
								const RwPluginObjectCopy copyCB ) {
	if ( toolkitRegEntryFreeList == nullptr || registry == nullptr ) {
		return -1;
	}
	if ( _rwGetNumEngineInstances() != 0 ) {
		_rwErrorSetCore( _rwerror( RWERR_PLUGIN_REFUSED ) );
		return -1;
	}
	RwGlobals* const instance = RwEngineInstance;
	if ( instance->freeListAllocHook != _rwFreeListAllocReal && !RememberRegistry( registry ) ) {
		return -1;
	}
	const RwPluginRegEntry* const existing = FindEntry( registry, pluginID );
	if ( existing != nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_PLUGIN_REFUSED ) );
		return existing->offset;
	}
	// A negative size would shrink the object under earlier plug-ins.
	if ( size < 0 ) {
		return -1;
	}
	const s64 rounded = ( static_cast<s64>( size ) + RWPLUGIN_SIZE_ROUNDING - 1 ) / RWPLUGIN_SIZE_ROUNDING * RWPLUGIN_SIZE_ROUNDING;
	const s64 newSize = registry->sizeOfStruct + rounded;
	if ( newSize > INT_MAX || ( registry->maxSizeOfStruct != 0 && newSize > registry->maxSizeOfStruct ) ) {
		return -1;
	}
	RwPluginRegEntry* const entry = static_cast<RwPluginRegEntry*>( instance->freeListAllocHook( toolkitRegEntryFreeList ) );
	if ( entry == nullptr ) {
		return -1;
	}
	entry->offset = registry->sizeOfStruct;
	entry->size = size;
	entry->pluginID = pluginID;
	entry->readCB = nullptr;
	entry->writeCB = nullptr;
	entry->getSizeCB = nullptr;
	entry->alwaysCB = nullptr;
	entry->rightsCB = nullptr;
	entry->constructCB = constructCB != nullptr ? constructCB : PluginDefaultConstructor;
	entry->destructCB = destructCB != nullptr ? destructCB : PluginDefaultDestructor;
	entry->copyCB = copyCB != nullptr ? copyCB : PluginDefaultCopy;
	entry->unused = nullptr;
	entry->parentRegistry = registry;
	entry->nextRegEntry = nullptr;
	entry->prevRegEntry = registry->lastRegEntry;
	if ( registry->lastRegEntry != nullptr ) {
		registry->lastRegEntry->nextRegEntry = entry;
	} else {
		registry->firstRegEntry = entry;
	}
	registry->lastRegEntry = entry;
	registry->sizeOfStruct = static_cast<s32>( newSize );
	return entry->offset;
}

s32 _rwPluginRegistryGetPluginOffset( const RwPluginRegistry* registry, const u32 pluginID ) {
	const RwPluginRegEntry* const entry = registry != nullptr ? FindEntry( registry, pluginID ) : nullptr;
	return entry != nullptr ? entry->offset : -1;
}

s32 _rwPluginRegistryAddPluginStream( RwPluginRegistry* registry, const u32 pluginID,
									  const RwPluginDataChunkReadCallBack readCB,
									  const RwPluginDataChunkWriteCallBack writeCB,
									  const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	RwPluginRegEntry* const entry = registry != nullptr ? FindEntry( registry, pluginID ) : nullptr;
	if ( entry == nullptr ) {
		return -1;
	}
	entry->readCB = readCB;
	entry->writeCB = writeCB;
	entry->getSizeCB = getSizeCB;
	return entry->offset;
}

s32 _rwPluginRegistryAddPlgnStrmlwysCB( RwPluginRegistry* registry, const u32 pluginID,
										const RwPluginDataChunkAlwaysCallBack alwaysCB ) {
	RwPluginRegEntry* const entry = registry != nullptr ? FindEntry( registry, pluginID ) : nullptr;
	if ( entry == nullptr ) {
		return -1;
	}
	entry->alwaysCB = alwaysCB;
	return entry->offset;
}

s32 _rwPluginRegistryAddPlgnStrmRightsCB( RwPluginRegistry* registry, const u32 pluginID,
										  const RwPluginDataChunkRightsCallBack rightsCB ) {
	RwPluginRegEntry* const entry = registry != nullptr ? FindEntry( registry, pluginID ) : nullptr;
	if ( entry == nullptr ) {
		return -1;
	}
	entry->rightsCB = rightsCB;
	return entry->offset;
}

const RwPluginRegistry* _rwPluginRegistryInitObject( const RwPluginRegistry* registry, void* object ) {
	for ( RwPluginRegEntry* entry = registry->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry ) {
		if ( entry->constructCB( object, entry->offset, entry->size ) != nullptr ) {
			continue;
		}
		for ( RwPluginRegEntry* undo = entry->prevRegEntry; undo != nullptr; undo = undo->prevRegEntry ) {
			undo->destructCB( object, undo->offset, undo->size );
		}
		return nullptr;
	}
	return registry;
}

const RwPluginRegistry* _rwPluginRegistryDeInitObject( const RwPluginRegistry* registry, void* object ) {
	for ( RwPluginRegEntry* entry = registry->lastRegEntry; entry != nullptr; entry = entry->prevRegEntry ) {
		entry->destructCB( object, entry->offset, entry->size );
	}
	return registry;
}

const RwPluginRegistry* _rwPluginRegistryCopyObject( const RwPluginRegistry* registry, void* dstObject, const void* srcObject ) {
	for ( RwPluginRegEntry* entry = registry->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry ) {
		entry->copyCB( dstObject, srcObject, entry->offset, entry->size );
	}
	return registry;
}

// Finds the extension chunk and returns its payload length, or false.
static bool FindExtensionChunk( RwStream* stream, u32* length ) {
	u32 version = 0;
	if ( !RwStreamFindChunk( stream, RWCHUNK_EXTENSION, length, &version ) ) {
		return false;
	}
	if ( version < RWLIBRARY_OLDEST_VERSION || version > RWLIBRARY_NEWEST_VERSION ) {
		_rwErrorSetCore( _rwerror( RWERR_BAD_VERSION, version ) );
		return false;
	}
	return true;
}

// Reads the next sub-chunk header; fails when the sub-chunk does not fit
// in what is left of the extension chunk, so that a bad length cannot make
// the reader run on into the chunks that follow.
static bool ReadSubChunkHeader( RwStream* stream, const u32 remaining, u32* type, u32* length ) {
	if ( remaining < CHUNK_HEADER_BYTES ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return false;
	}
	if ( !_rwStreamReadChunkHeader( stream, type, length, nullptr, nullptr ) ) {
		return false;
	}
	if ( *length > remaining - CHUNK_HEADER_BYTES ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return false;
	}
	return true;
}

const RwPluginRegistry* _rwPluginRegistryReadDataChunks( const RwPluginRegistry* registry, RwStream* stream, void* object ) {
	u32 remaining = 0;
	if ( !FindExtensionChunk( stream, &remaining ) ) {
		return nullptr;
	}
	while ( remaining > 0 ) {
		u32 type = 0;
		u32 length = 0;
		if ( !ReadSubChunkHeader( stream, remaining, &type, &length ) ) {
			return nullptr;
		}
		const RwPluginRegEntry* const entry = FindEntry( registry, type );
		if ( entry != nullptr && entry->readCB != nullptr ) {
			if ( entry->readCB( stream, static_cast<s32>( length ), object, entry->offset, entry->size ) == nullptr ) {
				return nullptr;
			}
		} else if ( length != 0 && RwStreamSkip( stream, length ) == nullptr ) {
			return nullptr;
		}
		remaining -= length + CHUNK_HEADER_BYTES;
	}
	for ( const RwPluginRegEntry* entry = registry->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry ) {
		if ( entry->alwaysCB != nullptr && !entry->alwaysCB( object, entry->offset, entry->size ) ) {
			return nullptr;
		}
	}
	return registry;
}

const RwPluginRegistry* _rwPluginRegistrySkipDataChunks( const RwPluginRegistry* registry, RwStream* stream ) {
	u32 remaining = 0;
	if ( !FindExtensionChunk( stream, &remaining ) ) {
		return nullptr;
	}
	while ( remaining > 0 ) {
		u32 type = 0;
		u32 length = 0;
		if ( !ReadSubChunkHeader( stream, remaining, &type, &length ) ) {
			return nullptr;
		}
		if ( length != 0 && RwStreamSkip( stream, length ) == nullptr ) {
			return nullptr;
		}
		remaining -= length + CHUNK_HEADER_BYTES;
	}
	return registry;
}

const RwPluginRegistry* _rwPluginRegistryInvokeRights( const RwPluginRegistry* registry, const u32 pluginID, void* object,
													   const u32 extraData ) {
	const RwPluginRegEntry* const entry = FindEntry( registry, pluginID );
	if ( entry == nullptr || entry->rightsCB == nullptr ) {
		return nullptr;
	}
	return entry->rightsCB( object, entry->offset, entry->size, extraData ) ? registry : nullptr;
}

bool _rwPluginRegistryOpen() {
	toolkitNonFLRegList = nullptr;
	numRegToolkits = 0;
	toolkitRegEntryFreeList = RwFreeListCreateAndPreallocateSpace( static_cast<s32>( sizeof( RwPluginRegEntry ) ),
																   RWPLUGIN_ENTRIES_PER_BLOCK, 4, 1, &toolkitRegEntries );
	return toolkitRegEntryFreeList != nullptr;
}

static void ResetRegistry( RwPluginRegistry* registry ) {
	registry->sizeOfStruct = registry->origSizeOfStruct;
	registry->firstRegEntry = nullptr;
	registry->lastRegEntry = nullptr;
}

static void ReleaseUsedEntry( void* entry, void* ) {
	RwPluginRegEntry* const regEntry = static_cast<RwPluginRegEntry*>( entry );
	RwPluginRegistry* const registry = regEntry->parentRegistry;
	if ( registry->firstRegEntry != nullptr ) {
		ResetRegistry( registry );
	}
	RwEngineInstance->freeListFreeHook( toolkitRegEntryFreeList, regEntry );
}

bool _rwPluginRegistryClose() {
	if ( toolkitRegEntryFreeList == nullptr ) {
		return true;
	}
	RwFreeListForAllUsed( toolkitRegEntryFreeList, ReleaseUsedEntry, nullptr );
	RwMemoryFunctions* const memory = &RwEngineInstance->memoryFunctions;
	for ( s32 i = 0; i < numRegToolkits; i++ ) {
		RwPluginRegistry* const registry = toolkitNonFLRegList[i];
		RwPluginRegEntry* entry = registry->firstRegEntry;
		ResetRegistry( registry );
		while ( entry != nullptr ) {
			RwPluginRegEntry* const next = entry->nextRegEntry;
			RwEngineInstance->freeListFreeHook( toolkitRegEntryFreeList, entry );
			entry = next;
		}
	}
	if ( toolkitNonFLRegList != nullptr ) {
		memory->rwfree( toolkitNonFLRegList );
	}
	toolkitNonFLRegList = nullptr;
	numRegToolkits = 0;
	RwFreeListDestroy( toolkitRegEntryFreeList );
	toolkitRegEntryFreeList = nullptr;
	registryCloses++;
	return true;
}

u32 _rwPluginRegistryCloseCount() {
	return registryCloses;
}
