#include "graphics3d/core/RwResources.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwResHeap.h"

#include <cstddef>

RwModuleInfo resourcesModule;

// The module's globals, or null while the module is not open.
static RwResourcesGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( resourcesModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwResourcesGlobals>( instance, resourcesModule.globalsOffset );
}

static RwResEntry* EntryOf( RwLLLink* link ) {
	return reinterpret_cast<RwResEntry*>( reinterpret_cast<u8*>( link ) - offsetof( RwResEntry, link ) );
}

static RwResHeap* Heap( RwResourcesGlobals* globals ) {
	return static_cast<RwResHeap*>( globals->resArenaMemory );
}

// Notify, clear the reference, unlink, account and free in the heap.
static void Evict( RwResourcesGlobals* globals, RwResEntry* entry ) {
	if ( entry->destroyNotify != nullptr ) {
		entry->destroyNotify( entry );
	}
	if ( entry->ownerRef != nullptr ) {
		*entry->ownerRef = nullptr;
	}
	rwLinkListRemoveLLLink( &entry->link );
	globals->resArenaUsed -= static_cast<u32>( entry->size );
	_rwResHeapFree( entry );
}

static RwResEntry* Fail( RwResEntry** ownerRef, const s32 size ) {
	if ( ownerRef != nullptr ) {
		*ownerRef = nullptr;
	}
	_rwErrorSetCore( _rwerror( RWERR_RESOURCES, size ) );
	return nullptr;
}

RwResEntry* RwResourcesAllocateResEntry( void* owner, RwResEntry** ownerRef, const s32 size,
										 const RwResEntryDestroyNotify destroyNotify ) {
	RwResourcesGlobals* const globals = Globals();
	if ( globals == nullptr || globals->resArenaMemory == nullptr || size < 0 ||
		 static_cast<u64>( size ) + sizeof( RwResEntry ) > 0xFFFFFFFFu ) {
		return Fail( ownerRef, size );
	}
	const u32 bytes = static_cast<u32>( sizeof( RwResEntry ) + static_cast<u32>( size ) );
	RwResEntry* entry = static_cast<RwResEntry*>( _rwResHeapAlloc( Heap( globals ), bytes ) );
	while ( entry == nullptr ) {
		if ( !rwLinkListEmpty( globals->earlierFrames ) ) {
			Evict( globals, EntryOf( rwLinkListGetLast( globals->earlierFrames ) ) );
		} else if ( !rwLinkListEmpty( globals->currentFrame ) ) {
			RwResEntry* const victim = EntryOf( rwLinkListGetLast( globals->currentFrame ) );
			globals->resArenaEvicted += static_cast<u32>( victim->size );
			Evict( globals, victim );
		} else {
			return Fail( ownerRef, size );
		}
		entry = static_cast<RwResEntry*>( _rwResHeapAlloc( Heap( globals ), bytes ) );
	}
	rwLinkListAddLLLink( globals->currentFrame, &entry->link );
	entry->size = size;
	entry->owner = owner;
	entry->ownerRef = ownerRef;
	entry->destroyNotify = destroyNotify;
	globals->resArenaUsed += static_cast<u32>( size );
	if ( ownerRef != nullptr ) {
		*ownerRef = entry;
	}
	return entry;
}

bool RwResourcesFreeResEntry( RwResEntry* entry ) {
	if ( entry == nullptr ) {
		return true;
	}
	if ( entry->destroyNotify != nullptr ) {
		entry->destroyNotify( entry );
	}
	if ( entry->ownerRef != nullptr ) {
		*entry->ownerRef = nullptr;
	}
	if ( entry->link.next == nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( entry );
		return true;
	}
	rwLinkListRemoveLLLink( &entry->link );
	RwResourcesGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		globals->resArenaUsed -= static_cast<u32>( entry->size );
	}
	_rwResHeapFree( entry );
	return true;
}

RwResEntry* RwResourcesUseResEntry( RwResEntry* entry ) {
	RwResourcesGlobals* const globals = Globals();
	if ( entry == nullptr || globals == nullptr || entry->link.next == nullptr ) {
		return entry;
	}
	rwLinkListRemoveLLLink( &entry->link );
	rwLinkListAddLLLink( globals->currentFrame, &entry->link );
	return entry;
}

static void EvictAll( RwResourcesGlobals* globals, RwLinkList* list ) {
	while ( !rwLinkListEmpty( list ) ) {
		Evict( globals, EntryOf( rwLinkListGetFirst( list ) ) );
	}
}

void RwResourcesEmptyArena() {
	RwResourcesGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return;
	}
	EvictAll( globals, globals->currentFrame );
	EvictAll( globals, globals->earlierFrames );
	rwLinkListInitialize( &globals->entryLists[0] );
	rwLinkListInitialize( &globals->entryLists[1] );
	globals->earlierFrames = &globals->entryLists[0];
	globals->currentFrame = &globals->entryLists[1];
	globals->resArenaEvicted = 0;
}

void _rwResourcesPurge() {
	RwResourcesGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return;
	}
	RwLinkList* const current = globals->currentFrame;
	RwLinkList* const earlier = globals->earlierFrames;
	// Splice the earlier entries after the current frame's tail.
	if ( !rwLinkListEmpty( earlier ) ) {
		RwLLLink* const first = rwLinkListGetFirst( earlier );
		RwLLLink* const last = rwLinkListGetLast( earlier );
		RwLLLink* const tail = rwLinkListGetLast( current );
		tail->next = first;
		first->prev = tail;
		last->next = rwLinkListGetTerminator( current );
		current->link.prev = last;
		rwLinkListInitialize( earlier );
	}
	globals->earlierFrames = current;
	globals->currentFrame = earlier;
	globals->resArenaEvicted = 0;
}

void* _rwResourcesOpen( void* instance, const s32 offset, s32 ) {
	RwResourcesGlobals* const globals = RwPluginData<RwResourcesGlobals>( instance, offset );
	RwGlobals* const engine = static_cast<RwGlobals*>( instance );
	globals->resArenaSize = engine->arenaSize;
	globals->resArenaMemory = nullptr;
	if ( globals->resArenaSize != 0 ) {
		void* const arena = engine->memoryFunctions.rwmalloc( globals->resArenaSize );
		if ( arena == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, globals->resArenaSize ) );
			return nullptr;
		}
		if ( !_rwResHeapInit( arena, globals->resArenaSize ) ) {
			engine->memoryFunctions.rwfree( arena );
			_rwErrorSetCore( _rwerror( RWERR_RESOURCES ) );
			return nullptr;
		}
		globals->resArenaMemory = arena;
	}
	rwLinkListInitialize( &globals->entryLists[0] );
	rwLinkListInitialize( &globals->entryLists[1] );
	globals->earlierFrames = &globals->entryLists[0];
	globals->currentFrame = &globals->entryLists[1];
	globals->resArenaUsed = 0;
	globals->resArenaEvicted = 0;
	resourcesModule.globalsOffset = offset;
	resourcesModule.numInstances++;
	return instance;
}

void* _rwResourcesClose( void* instance, const s32 offset, s32 ) {
	if ( resourcesModule.numInstances <= 0 ) {
		return instance;
	}
	RwResourcesGlobals* const globals = RwPluginData<RwResourcesGlobals>( instance, offset );
	RwResourcesEmptyArena();
	if ( globals->resArenaMemory != nullptr ) {
		_rwResHeapClose( Heap( globals ) );
		static_cast<RwGlobals*>( instance )->memoryFunctions.rwfree( globals->resArenaMemory );
		globals->resArenaMemory = nullptr;
	}
	resourcesModule.numInstances--;
	return instance;
}
