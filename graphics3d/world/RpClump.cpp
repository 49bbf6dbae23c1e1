#include "graphics3d/world/RpClump.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameClone.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"

#include <cstddef>
#include <cstring>

RwModuleInfo		clumpModule;
RwPluginRegistry	clumpTKList = { static_cast<s32>( sizeof( RpClump ) ), static_cast<s32>( sizeof( RpClump ) ), 0, 0,
									nullptr, nullptr };

// Records of the free lists while the module is open.
static RwFreeList atomicFreeListRecord;
static RwFreeList clumpFreeListRecord;

// Offsets of the clump link extension in lights and cameras; negative
// until registered.
static RwPluginOffset lightLinkOffset;
static RwPluginOffset cameraLinkOffset;

namespace {

RpAtomic* AtomicFromLink( RwLLLink* link ) {
	return reinterpret_cast<RpAtomic*>( reinterpret_cast<u8*>( link ) - offsetof( RpAtomic, inClumpLink ) );
}

// The object whose clump link extension (at offset) holds link.
template< typename T >
T* ObjectFromLink( RwLLLink* link, const s32 offset ) {
	return reinterpret_cast<T*>( reinterpret_cast<u8*>( link ) - offsetof( RpClumpLink, link ) - offset );
}

RpClump* DefaultClumpCallBack( RpClump* clump, void* ) {
	return clump;
}

void* ClumpLinkConstructor( void* object, const s32 offset, s32 ) {
	*RwPluginData<RpClumpLink>( object, offset ) = {};
	return object;
}

void* ClumpLinkDestructor( void* object, s32, s32 ) {
	return object;
}

void AddLinked( RpClump* clump, RwLinkList* list, RpClumpLink* link ) {
	link->clump = clump;
	rwLinkListAddLLLink( list, &link->link );
}

void RemoveLinked( RpClumpLink* link ) {
	if ( link->link.next != nullptr ) {
		rwLinkListRemoveLLLink( &link->link );
	}
	*link = {};
}

// Walks a list whose members are found from their link; the next member
// is taken before the callback runs.
template< typename T, typename Find >
void ForAll( RwLinkList* list, T* ( *callBack )( T*, void* ), void* data, Find find ) {
	RwLLLink* link = rwLinkListGetFirst( list );
	while ( link != rwLinkListGetTerminator( list ) ) {
		RwLLLink* const next = link->next;
		if ( callBack( find( link ), data ) == nullptr ) {
			return;
		}
		link = next;
	}
}

// Whether frame lies in the hierarchy below (or at) ancestor.
bool IsWithin( const RwFrame* frame, const RwFrame* ancestor ) {
	for ( ; frame != nullptr; frame = static_cast<const RwFrame*>( frame->object.parent ) ) {
		if ( frame == ancestor ) {
			return true;
		}
	}
	return false;
}

// The stored roots one clump keeps besides its own hierarchy: made by its
// read, copied to each of its clones, released by its destroy.
struct KeptRoots {
	KeptRoots*	next;
	RpClump*	clump;
	s32			count;
	RwFrame**	roots;		// the count entries that follow the record
};

// Every clump's record, newest first; clumps without other stored roots
// have none.
KeptRoots* keptRoots = nullptr;

KeptRoots* NewKeptRoots( RpClump* clump, RwFrame* const* roots, const s32 count ) {
	const u32 bytes = static_cast<u32>( sizeof( KeptRoots ) + static_cast<u32>( count ) * sizeof( RwFrame* ) );
	KeptRoots* const kept = static_cast<KeptRoots*>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
	if ( kept == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		return nullptr;
	}
	kept->roots = reinterpret_cast<RwFrame**>( kept + 1 );
	std::memcpy( kept->roots, roots, static_cast<u32>( count ) * sizeof( RwFrame* ) );
	kept->count = count;
	kept->clump = clump;
	kept->next = keptRoots;
	keptRoots = kept;
	return kept;
}

// The link that holds the clump's record, or the list's end.
KeptRoots** KeptRootsOf( const RpClump* clump ) {
	KeptRoots** link = &keptRoots;
	while ( *link != nullptr && ( *link )->clump != clump ) {
		link = &( *link )->next;
	}
	return link;
}

bool KeptByAnother( const RwFrame* root ) {
	for ( const KeptRoots* kept = keptRoots; kept != nullptr; kept = kept->next ) {
		for ( s32 i = 0; i < kept->count; i++ ) {
			if ( kept->roots[i] == root ) {
				return true;
			}
		}
	}
	return false;
}

// Takes the clump's record out of the list and moves to its front the
// roots the clump's destroy may free: those no other clump keeps that are
// still the top of a hierarchy (one put under another frame belongs to
// that hierarchy, the clump's own or a caller's). Null without record.
KeptRoots* TakeKeptRoots( const RpClump* clump, s32* freeable ) {
	KeptRoots** const link = KeptRootsOf( clump );
	KeptRoots* const kept = *link;
	*freeable = 0;
	if ( kept == nullptr ) {
		return nullptr;
	}
	*link = kept->next;
	for ( s32 i = 0; i < kept->count; i++ ) {
		RwFrame* const root = kept->roots[i];
		if ( root->object.parent == nullptr && !KeptByAnother( root ) ) {
			kept->roots[( *freeable )++] = root;
		}
	}
	return kept;
}

void DestroyLeftClump( void* entry, void* ) {
	RpClumpDestroy( static_cast<RpClump*>( entry ) );
}

void DestroyLeftAtomic( void* entry, void* ) {
	RpAtomicDestroy( static_cast<RpAtomic*>( entry ) );
}

}	// namespace

RpClumpGlobals* _rpClumpGlobals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( clumpModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RpClumpGlobals>( instance, clumpModule.globalsOffset );
}

RpClumpLink* _rpClumpLightLink( RpLight* light ) {
	const s32 offset = lightLinkOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpClumpLink>( light, offset );
}

RpClumpLink* _rpClumpCameraLink( RwCamera* camera ) {
	const s32 offset = cameraLinkOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpClumpLink>( camera, offset );
}

bool _rpClumpFramesHoldObjects( const RwFrame* frame ) {
	for ( ; frame != nullptr; frame = frame->next ) {
		if ( !rwLinkListEmpty( &frame->objectList ) || _rpClumpFramesHoldObjects( frame->child ) ) {
			return true;
		}
	}
	return false;
}

bool _rpClumpKeepStoredRoots( RpClump* clump, RwFrame* const* roots, const s32 count ) {
	return count <= 0 || NewKeptRoots( clump, roots, count ) != nullptr;
}

RpClump* RpClumpCreate() {
	RpClumpGlobals* const globals = _rpClumpGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RpClump* const clump = static_cast<RpClump*>( RwEngineInstance->freeListAllocHook( globals->clumpFreeList ) );
	if ( clump == nullptr ) {
		return nullptr;
	}
	clump->object = { rpCLUMP, 0, 0, 0, nullptr };
	rwLinkListInitialize( &clump->atomicList );
	rwLinkListInitialize( &clump->lightList );
	rwLinkListInitialize( &clump->cameraList );
	clump->inWorldLink = { nullptr, nullptr };
	clump->callback = DefaultClumpCallBack;
	clump->renderFrame = 0;
	if ( _rwPluginRegistryInitObject( &clumpTKList, clump ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->clumpFreeList, clump );
		return nullptr;
	}
	return clump;
}

bool RpClumpDestroy( RpClump* clump ) {
	if ( clump == nullptr ) {
		return true;
	}
	// The world objects' destructor takes the clump out of its world.
	_rwPluginRegistryDeInitObject( &clumpTKList, clump );
	RwFrame* const frame = RpClumpGetFrame( clump );
	while ( !rwLinkListEmpty( &clump->atomicList ) ) {
		RpAtomic* const atomic = AtomicFromLink( rwLinkListGetFirst( &clump->atomicList ) );
		rwLinkListRemoveLLLink( &atomic->inClumpLink );
		atomic->clump = nullptr;
		_rpAtomicDestroyUnlinked( atomic );
	}
	while ( !rwLinkListEmpty( &clump->lightList ) ) {
		RpLight* const light = ObjectFromLink<RpLight>( rwLinkListGetFirst( &clump->lightList ), lightLinkOffset.Get() );
		RpClumpRemoveLight( clump, light );
		RpLightDestroy( light );
	}
	while ( !rwLinkListEmpty( &clump->cameraList ) ) {
		RwCamera* const camera = ObjectFromLink<RwCamera>( rwLinkListGetFirst( &clump->cameraList ), cameraLinkOffset.Get() );
		RpClumpRemoveCamera( clump, camera );
		RwCameraDestroy( camera );
	}
	// Which other stored roots may go is settled before the clump's own
	// hierarchy goes (it may hold one of them), whether something still
	// hangs in them after it (one of them may hold it). They are the tops
	// of separate hierarchies, so freeing one frees no other.
	s32 freeable = 0;
	KeptRoots* const kept = TakeKeptRoots( clump, &freeable );
	if ( frame != nullptr ) {
		RwFrameDestroyHierarchy( frame );
	}
	for ( s32 i = 0; i < freeable; i++ ) {
		if ( !_rpClumpFramesHoldObjects( kept->roots[i] ) ) {
			RwFrameDestroyHierarchy( kept->roots[i] );
		}
	}
	if ( kept != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( kept );
	}
	RpClumpGlobals* const globals = _rpClumpGlobals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->clumpFreeList, clump );
	}
	return true;
}

RpClump* RpClumpClone( RpClump* clump ) {
	RpClump* const clone = RpClumpCreate();
	if ( clone == nullptr ) {
		return nullptr;
	}
	RwFrame* const root = RpClumpGetFrame( clump );
	if ( root != nullptr ) {
		RwFrame* const rootClone = _rwFrameCloneAndLinkClones( root );
		if ( rootClone == nullptr ) {
			RpClumpDestroy( clone );
			return nullptr;
		}
		RpClumpSetFrame( clone, rootClone );
	}
	bool complete = true;
	RwLinkList* const list = &clump->atomicList;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		RpAtomic* const source = AtomicFromLink( link );
		RpAtomic* const atomic = RpAtomicClone( source );
		if ( atomic == nullptr ) {
			complete = false;
			break;
		}
		RwFrame* const frame = RpAtomicGetFrame( source );
		if ( frame == nullptr ) {
			RpAtomicDestroy( atomic );
			RwError error = { RPCLUMP_ERROR_PLUGIN, RPCLUMP_ERROR_NO_FRAME };
			RwErrorSet( &error );
			complete = false;
			break;
		}
		// While the clone links stand, the root of a source frame in the
		// cloned hierarchy names its clone. A frame outside it (a stored
		// root's) is shared: the clone hangs from that same frame.
		RpAtomicSetFrame( atomic, IsWithin( frame, root ) ? frame->root : frame );
		RpClumpAddAtomic( clone, atomic );
	}
	if ( root != nullptr ) {
		_rwFramePurgeClone( root );
	}
	// The clone keeps the source's other stored roots alive with it.
	const KeptRoots* const kept = *KeptRootsOf( clump );
	if ( !complete || ( kept != nullptr && NewKeptRoots( clone, kept->roots, kept->count ) == nullptr ) ) {
		RpClumpDestroy( clone );
		return nullptr;
	}
	clone->callback = clump->callback;
	_rwPluginRegistryCopyObject( &clumpTKList, clone, clump );
	return clone;
}

RpClump* RpClumpSetFrame( RpClump* clump, RwFrame* frame ) {
	clump->object.parent = frame;
	return clump;
}

RwFrame* RpClumpGetFrame( const RpClump* clump ) {
	return static_cast<RwFrame*>( clump->object.parent );
}

RpClump* RpClumpAddAtomic( RpClump* clump, RpAtomic* atomic ) {
	// Linking an atomic that is still in a list would corrupt that list.
	if ( atomic->clump != nullptr ) {
		RpClumpRemoveAtomic( atomic->clump, atomic );
	}
	rwLinkListAddLLLink( &clump->atomicList, &atomic->inClumpLink );
	atomic->clump = clump;
	return clump;
}

RpClump* RpClumpRemoveAtomic( RpClump* clump, RpAtomic* atomic ) {
	if ( atomic->clump == clump && atomic->inClumpLink.next != nullptr ) {
		rwLinkListRemoveLLLink( &atomic->inClumpLink );
		atomic->clump = nullptr;
	}
	return clump;
}

RpClump* RpClumpAddLight( RpClump* clump, RpLight* light ) {
	RpClumpLink* const link = _rpClumpLightLink( light );
	if ( link == nullptr ) {
		return nullptr;
	}
	AddLinked( clump, &clump->lightList, link );
	return clump;
}

RpClump* RpClumpRemoveLight( RpClump* clump, RpLight* light ) {
	RpClumpLink* const link = _rpClumpLightLink( light );
	if ( link != nullptr ) {
		RemoveLinked( link );
	}
	return clump;
}

RpClump* RpClumpAddCamera( RpClump* clump, RwCamera* camera ) {
	RpClumpLink* const link = _rpClumpCameraLink( camera );
	if ( link == nullptr ) {
		return nullptr;
	}
	AddLinked( clump, &clump->cameraList, link );
	return clump;
}

RpClump* RpClumpRemoveCamera( RpClump* clump, RwCamera* camera ) {
	RpClumpLink* const link = _rpClumpCameraLink( camera );
	if ( link != nullptr ) {
		RemoveLinked( link );
	}
	return clump;
}

RpClump* RpClumpForAllAtomics( RpClump* clump, const RpAtomicCallBack callBack, void* data ) {
	ForAll( &clump->atomicList, callBack, data, AtomicFromLink );
	return clump;
}

RpClump* RpClumpForAllLights( RpClump* clump, const RpLightCallBack callBack, void* data ) {
	ForAll( &clump->lightList, callBack, data,
			[]( RwLLLink* link ) { return ObjectFromLink<RpLight>( link, lightLinkOffset.Get() ); } );
	return clump;
}

RpClump* RpClumpForAllCameras( RpClump* clump, const RwCameraCallBack callBack, void* data ) {
	ForAll( &clump->cameraList, callBack, data,
			[]( RwLLLink* link ) { return ObjectFromLink<RwCamera>( link, cameraLinkOffset.Get() ); } );
	return clump;
}


s32 RpClumpRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
						   const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &clumpTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RpClumpRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
								 const RwPluginDataChunkWriteCallBack writeCB,
								 const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &clumpTKList, pluginID, readCB, writeCB, getSizeCB );
}

void* _rpClumpOpen( void* instance, const s32 offset, s32 ) {
	RpClumpGlobals* const globals = RwPluginData<RpClumpGlobals>( instance, offset );
	globals->atomicFreeList = RwFreeListCreateAndPreallocateSpace( atomicTKList.sizeOfStruct, RPCLUMP_ENTRIES_PER_BLOCK, 0,
																   1, &atomicFreeListRecord );
	if ( globals->atomicFreeList == nullptr ) {
		return nullptr;
	}
	globals->clumpFreeList = RwFreeListCreateAndPreallocateSpace( clumpTKList.sizeOfStruct, RPCLUMP_ENTRIES_PER_BLOCK, 0, 1,
																  &clumpFreeListRecord );
	if ( globals->clumpFreeList == nullptr ) {
		RwFreeListDestroy( globals->atomicFreeList );
		globals->atomicFreeList = nullptr;
		return nullptr;
	}
	clumpModule.globalsOffset = offset;
	clumpModule.numInstances++;
	return instance;
}

void* _rpClumpClose( void* instance, const s32 offset, s32 ) {
	RpClumpGlobals* const globals = RwPluginData<RpClumpGlobals>( instance, offset );
	// Clumps first: they destroy their own atomics.
	if ( globals->clumpFreeList != nullptr ) {
		RwFreeListForAllUsed( globals->clumpFreeList, DestroyLeftClump, nullptr );
	}
	if ( globals->atomicFreeList != nullptr ) {
		RwFreeListForAllUsed( globals->atomicFreeList, DestroyLeftAtomic, nullptr );
	}
	if ( globals->clumpFreeList != nullptr ) {
		RwFreeListDestroy( globals->clumpFreeList );
		globals->clumpFreeList = nullptr;
	}
	if ( globals->atomicFreeList != nullptr ) {
		RwFreeListDestroy( globals->atomicFreeList );
		globals->atomicFreeList = nullptr;
	}
	if ( clumpModule.numInstances > 0 ) {
		clumpModule.numInstances--;
	}
	return instance;
}

bool _rpClumpRegisterExtensions() {
	cameraLinkOffset.Set( RwCameraRegisterPlugin( static_cast<s32>( sizeof( RpClumpLink ) ), rwID_CLUMPLINK,
												  ClumpLinkConstructor, ClumpLinkDestructor, nullptr ) );
	lightLinkOffset.Set( RpLightRegisterPlugin( static_cast<s32>( sizeof( RpClumpLink ) ), rwID_CLUMPLINK,
												ClumpLinkConstructor, ClumpLinkDestructor, nullptr ) );
	return cameraLinkOffset.Get() >= 0 && lightLinkOffset.Get() >= 0;
}
