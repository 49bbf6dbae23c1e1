#include "graphics3d/core/RwFrameSync.h"

#include "graphics3d/core/RwEngine.h"

#include <cstddef>

static RwFrame* FrameOfDirtyLink( RwLLLink* link ) {
	return reinterpret_cast<RwFrame*>( reinterpret_cast<u8*>( link ) - offsetof( RwFrame, inDirtyListLink ) );
}

static RwObjectHasFrame* ObjectOfLink( RwLLLink* link ) {
	return reinterpret_cast<RwObjectHasFrame*>( reinterpret_cast<u8*>( link ) - offsetof( RwObjectHasFrame, lFrame ) );
}

// Calls every attached object's sync in object-list order.
static void SyncObjects( RwFrame* frame ) {
	RwLinkList* const list = &frame->objectList;
	RwLLLink* link = rwLinkListGetFirst( list );
	while ( link != rwLinkListGetTerminator( list ) ) {
		RwLLLink* const next = link->next;
		RwObjectHasFrame* const object = ObjectOfLink( link );
		if ( object->sync != nullptr ) {
			object->sync( object );
		}
		link = next;
	}
}

static const u8 CLEARED_BY_ROOT_SYNC = 0x0F;

// Full sync of a child chain with the inherited flags.
static void SyncChildren( RwFrame* frame, const u32 inherited ) {
	while ( frame != nullptr ) {
		const u32 flags = inherited | frame->object.privateFlags;
		if ( flags & rwFRAMEPRIVATESUBTREESYNCLTM ) {
			RwMatrixMultiply( &frame->ltm, &frame->modelling, &static_cast<RwFrame*>( frame->object.parent )->ltm );
		}
		SyncObjects( frame );
		frame->object.privateFlags &= static_cast<u8>( ~rwFRAMEPRIVATESUBTREESYNC );
		SyncChildren( frame->child, flags );
		frame = frame->next;
	}
}

// Objects only: no LTM, bit 0x04 left alone.
static void SyncChildrenObjects( RwFrame* frame ) {
	while ( frame != nullptr ) {
		SyncObjects( frame );
		frame->object.privateFlags &= static_cast<u8>( ~rwFRAMEPRIVATESUBTREESYNCOBJ );
		SyncChildrenObjects( frame->child );
		frame = frame->next;
	}
}

static void SyncRoot( RwFrame* root ) {
	const u32 flags = root->object.privateFlags;
	if ( flags & rwFRAMEPRIVATEHIERARCHYSYNCLTM ) {
		if ( flags & rwFRAMEPRIVATESUBTREESYNCLTM ) {
			root->ltm = root->modelling;
		}
		SyncObjects( root );
		SyncChildren( root->child, flags & rwFRAMEPRIVATESUBTREESYNCLTM );
	} else {
		SyncObjects( root );
		SyncChildrenObjects( root->child );
	}
	root->object.privateFlags &= static_cast<u8>( ~CLEARED_BY_ROOT_SYNC );
}

// Each root leaves the list before it is synchronised, so a root that a
// sync function lists again is synchronised in this pass and no root is
// left flagged as listed after the list is emptied.
bool _rwFrameSyncDirty() {
	RwLinkList* const dirty = &RwEngineInstance->dirtyFrames;
	while ( !rwLinkListEmpty( dirty ) ) {
		RwFrame* const root = FrameOfDirtyLink( rwLinkListGetFirst( dirty ) );
		rwLinkListRemoveLLLink( &root->inDirtyListLink );
		SyncRoot( root );
	}
	return true;
}

static void SyncChildrenLTM( RwFrame* frame, const u32 inherited ) {
	while ( frame != nullptr ) {
		const u32 flags = inherited | frame->object.privateFlags;
		if ( flags & rwFRAMEPRIVATESUBTREESYNCLTM ) {
			RwMatrixMultiply( &frame->ltm, &frame->modelling, &static_cast<RwFrame*>( frame->object.parent )->ltm );
			frame->object.privateFlags &= static_cast<u8>( ~rwFRAMEPRIVATESUBTREESYNCLTM );
		}
		SyncChildrenLTM( frame->child, flags );
		frame = frame->next;
	}
}

RwFrame* _rwFrameSyncHierarchyLTM( RwFrame* root ) {
	const u32 flags = root->object.privateFlags;
	if ( flags & rwFRAMEPRIVATESUBTREESYNCLTM ) {
		root->ltm = root->modelling;
	}
	SyncChildrenLTM( root->child, flags );
	root->object.privateFlags &= static_cast<u8>( ~( rwFRAMEPRIVATEHIERARCHYSYNCLTM | rwFRAMEPRIVATESUBTREESYNCLTM ) );
	return root;
}

RwObjectHasFrame* _rwObjectHasFrameReleaseFrame( RwObjectHasFrame* object ) {
	if ( object->object.parent != nullptr && object->lFrame.next != nullptr ) {
		rwLinkListRemoveLLLink( &object->lFrame );
	}
	return object;
}

RwObjectHasFrame* _rwObjectHasFrameSetFrame( RwObjectHasFrame* object, RwFrame* frame ) {
	_rwObjectHasFrameReleaseFrame( object );
	object->object.parent = frame;
	if ( frame != nullptr ) {
		rwLinkListAddLLLink( &frame->objectList, &object->lFrame );
		RwFrameUpdateObjects( frame );
	}
	return object;
}
