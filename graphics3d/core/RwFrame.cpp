#include "graphics3d/core/RwFrame.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwFreeList.h"

#include <cstddef>

RwModuleInfo		frameModule;
RwPluginRegistry	frameTKList = { static_cast<s32>( sizeof( RwFrame ) ), static_cast<s32>( sizeof( RwFrame ) ), 0, 0,
									nullptr, nullptr };

// Record of the frame free list while the module is open.
static RwFreeList frameFreeListRecord;

static RwFrameGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( frameModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwFrameGlobals>( instance, frameModule.globalsOffset );
}

static RwObjectHasFrame* ObjectOfLink( RwLLLink* link ) {
	return reinterpret_cast<RwObjectHasFrame*>( reinterpret_cast<u8*>( link ) - offsetof( RwObjectHasFrame, lFrame ) );
}

RwFrame* _rwFrameAllocate() {
	RwFrameGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	return static_cast<RwFrame*>( RwEngineInstance->freeListAllocHook( globals->frames ) );
}

void _rwFrameFreeUnconstructed( RwFrame* frame ) {
	RwFrameGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->frames, frame );
	}
}

// Objects attached to a frame that goes away keep no link into it.
static void DetachObjects( RwFrame* frame ) {
	RwLinkList* const list = &frame->objectList;
	while ( !rwLinkListEmpty( list ) ) {
		RwObjectHasFrame* const object = ObjectOfLink( rwLinkListGetFirst( list ) );
		rwLinkListRemoveLLLink( &object->lFrame );
		object->object.parent = nullptr;
	}
}

void _rwFrameFree( RwFrame* frame ) {
	_rwPluginRegistryDeInitObject( &frameTKList, frame );
	DetachObjects( frame );
	_rwFrameFreeUnconstructed( frame );
}

RwFrame* _rwFrameInit( RwFrame* frame ) {
	frame->object.type = rwFRAME;
	frame->object.subType = 0;
	frame->object.flags = 0;
	frame->object.privateFlags = 0;
	frame->object.parent = nullptr;
	frame->inDirtyListLink.next = nullptr;
	frame->inDirtyListLink.prev = nullptr;
	rwLinkListInitialize( &frame->objectList );
	_rwMatrixSetIdentity( &frame->modelling );
	_rwMatrixSetIdentity( &frame->ltm );
	frame->child = nullptr;
	frame->next = nullptr;
	frame->root = frame;
	if ( _rwPluginRegistryInitObject( &frameTKList, frame ) == nullptr ) {
		return nullptr;
	}
	return frame;
}

RwFrame* RwFrameCreate() {
	RwFrame* const frame = _rwFrameAllocate();
	if ( frame == nullptr ) {
		return nullptr;
	}
	if ( _rwFrameInit( frame ) == nullptr ) {
		_rwFrameFreeUnconstructed( frame );
		return nullptr;
	}
	return frame;
}

void _rwFrameUnlinkFromParent( RwFrame* child ) {
	RwFrame* const parent = static_cast<RwFrame*>( child->object.parent );
	if ( parent == nullptr ) {
		return;
	}
	RwFrame** link = &parent->child;
	while ( *link != nullptr && *link != child ) {
		link = &( *link )->next;
	}
	if ( *link == child ) {
		*link = child->next;
	}
	child->object.parent = nullptr;
	child->next = nullptr;
}

void _rwFrameUnlinkDirty( RwFrame* frame ) {
	if ( frame->inDirtyListLink.next != nullptr ) {
		rwLinkListRemoveLLLink( &frame->inDirtyListLink );
	}
}

// Visits the frame, then its descendants depth first.
void _rwFrameSetHierarchyRoot( RwFrame* frame, RwFrame* root ) {
	frame->root = root;
	for ( RwFrame* child = frame->child; child != nullptr; child = child->next ) {
		_rwFrameSetHierarchyRoot( child, root );
	}
}

static bool IsRow( const RwV3d& row, const f32 x, const f32 y, const f32 z ) {
	return row.x == x && row.y == y && row.z == z;
}

// The identity mark promises that the modelling matrix is exactly the
// identity, and the matrix inverse copies a marked matrix as it stands.
// Callers also write rows of a frame's matrix themselves and then announce
// the change here, so the mark is held against the rows: a written position
// leaves an orthonormal matrix (as a translation does), a written axis row a
// general one (as any row write does). A matrix that still is the identity
// keeps its mark.
static void KeepIdentityMarkTrue( RwMatrix* m ) {
	if ( ( m->flags & rwMATRIXINTERNALIDENTITY ) == 0 ) {
		return;
	}
	const bool axes = IsRow( m->right, 1.0f, 0.0f, 0.0f ) && IsRow( m->up, 0.0f, 1.0f, 0.0f ) &&
					  IsRow( m->at, 0.0f, 0.0f, 1.0f );
	if ( !axes ) {
		m->flags &= ~rwMATRIXIDENTITYFLAGS;
	} else if ( !IsRow( m->pos, 0.0f, 0.0f, 0.0f ) ) {
		m->flags &= ~rwMATRIXINTERNALIDENTITY;
	}
}

RwFrame* RwFrameUpdateObjects( RwFrame* frame ) {
	KeepIdentityMarkTrue( &frame->modelling );
	RwFrame* const root = frame->root;
	if ( ( root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNC ) == 0 ) {
		rwLinkListAddLLLink( &RwEngineInstance->dirtyFrames, &root->inDirtyListLink );
	}
	root->object.privateFlags |= rwFRAMEPRIVATEHIERARCHYSYNC;
	frame->object.privateFlags |= rwFRAMEPRIVATESUBTREESYNC;
	return frame;
}

// Makes a detached frame the root of its own subtree and marks it dirty.
static void BecomeRoot( RwFrame* frame ) {
	frame->object.parent = nullptr;
	frame->next = nullptr;
	_rwFrameSetHierarchyRoot( frame, frame );
	RwFrameUpdateObjects( frame );
}

RwFrame* RwFrameAddChild( RwFrame* parent, RwFrame* child ) {
	_rwFrameUnlinkFromParent( child );
	child->next = parent->child;
	parent->child = child;
	child->object.parent = parent;
	_rwFrameSetHierarchyRoot( child, parent->root );
	if ( child->inDirtyListLink.next != nullptr ) {
		_rwFrameUnlinkDirty( child );
		child->object.privateFlags &= static_cast<u8>( ~rwFRAMEPRIVATEHIERARCHYSYNC );
	}
	RwFrameUpdateObjects( child );
	return parent;
}

RwFrame* RwFrameRemoveChild( RwFrame* child ) {
	if ( child->object.parent == nullptr ) {
		return child;
	}
	_rwFrameUnlinkFromParent( child );
	BecomeRoot( child );
	return child;
}

bool RwFrameDestroy( RwFrame* frame ) {
	_rwPluginRegistryDeInitObject( &frameTKList, frame );
	_rwFrameUnlinkFromParent( frame );
	_rwFrameUnlinkDirty( frame );
	RwFrame* child = frame->child;
	frame->child = nullptr;
	while ( child != nullptr ) {
		RwFrame* const next = child->next;
		BecomeRoot( child );
		child = next;
	}
	DetachObjects( frame );
	_rwFrameFreeUnconstructed( frame );
	return true;
}

// Children before their parent, siblings in list order; the walk always
// descends through the first child, which is freed before its siblings,
// so it needs no stack.
bool RwFrameDestroyHierarchy( RwFrame* frame ) {
	_rwFrameUnlinkFromParent( frame );
	RwFrame* current = frame;
	for ( ;; ) {
		if ( current->child != nullptr ) {
			current = current->child;
			continue;
		}
		RwFrame* const parent = static_cast<RwFrame*>( current->object.parent );
		RwFrame* const next = current->next;
		const bool last = current == frame;
		if ( !last ) {
			parent->child = next;
		}
		_rwFrameUnlinkDirty( current );
		_rwFrameFree( current );
		if ( last ) {
			return true;
		}
		current = next != nullptr ? next : parent;
	}
}

RwFrame* RwFrameForAllChildren( RwFrame* frame, const RwFrameCallBack callBack, void* data ) {
	RwFrame* child = frame->child;
	while ( child != nullptr ) {
		RwFrame* const next = child->next;
		if ( callBack( child, data ) == nullptr ) {
			break;
		}
		child = next;
	}
	return frame;
}

RwFrame* RwFrameTranslate( RwFrame* frame, const RwV3d* v, const RwOpCombineType combine ) {
	if ( RwMatrixTranslate( &frame->modelling, v, combine ) == nullptr ) {
		return nullptr;
	}
	return RwFrameUpdateObjects( frame );
}

RwFrame* RwFrameRotate( RwFrame* frame, const RwV3d* axis, const f32 angle, const RwOpCombineType combine ) {
	if ( RwMatrixRotate( &frame->modelling, axis, angle, combine ) == nullptr ) {
		return nullptr;
	}
	return RwFrameUpdateObjects( frame );
}

RwFrame* RwFrameSetIdentity( RwFrame* frame ) {
	_rwMatrixSetIdentity( &frame->modelling );
	return RwFrameUpdateObjects( frame );
}

RwFrame* RwFrameOrthoNormalize( RwFrame* frame ) {
	RwMatrixOrthoNormalize( &frame->modelling, &frame->modelling );
	return RwFrameUpdateObjects( frame );
}

RwMatrix* RwFrameGetLTM( RwFrame* frame ) {
	if ( frame->root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNCLTM ) {
		_rwFrameSyncHierarchyLTM( frame->root );
	}
	return &frame->ltm;
}

u32 RwFrameDirty( const RwFrame* frame ) {
	return frame->root->object.privateFlags & rwFRAMEPRIVATEHIERARCHYSYNC;
}

s32 RwFrameRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
						   const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &frameTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RwFrameRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
								 const RwPluginDataChunkWriteCallBack writeCB,
								 const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &frameTKList, pluginID, readCB, writeCB, getSizeCB );
}

s32 RwFrameGetPluginOffset( const u32 pluginID ) {
	return _rwPluginRegistryGetPluginOffset( &frameTKList, pluginID );
}

void* _rwFrameOpen( void* instance, const s32 offset, s32 ) {
	RwFrameGlobals* const globals = RwPluginData<RwFrameGlobals>( instance, offset );
	globals->frames = RwFreeListCreateAndPreallocateSpace( frameTKList.sizeOfStruct, RWFRAME_ENTRIES_PER_BLOCK, 4, 1,
														   &frameFreeListRecord );
	if ( globals->frames == nullptr ) {
		return nullptr;
	}
	rwLinkListInitialize( &static_cast<RwGlobals*>( instance )->dirtyFrames );
	frameModule.globalsOffset = offset;
	frameModule.numInstances++;
	return instance;
}

void* _rwFrameClose( void* instance, const s32 offset, s32 ) {
	if ( frameModule.numInstances <= 0 ) {
		return instance;
	}
	RwFrameGlobals* const globals = RwPluginData<RwFrameGlobals>( instance, offset );
	RwFreeListDestroy( globals->frames );
	globals->frames = nullptr;
	frameModule.numInstances--;
	return instance;
}
