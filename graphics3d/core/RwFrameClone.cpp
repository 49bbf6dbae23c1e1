#include "graphics3d/core/RwFrameClone.h"

// Clones source and its subtree; topClone is null for the top call. On a
// failure everything this call built is freed and null returned.
static RwFrame* CloneHierarchy( RwFrame* source, RwFrame* topClone ) {
	RwFrame* const clone = _rwFrameAllocate();
	if ( clone == nullptr ) {
		return nullptr;
	}
	clone->object = source->object;
	clone->object.parent = nullptr;
	clone->inDirtyListLink.next = nullptr;
	clone->inDirtyListLink.prev = nullptr;
	rwLinkListInitialize( &clone->objectList );
	clone->modelling = source->modelling;
	clone->ltm = source->ltm;
	clone->child = nullptr;
	clone->next = nullptr;
	clone->root = topClone != nullptr ? topClone : clone;
	source->root = clone;

	for ( RwFrame* child = source->child; child != nullptr; child = child->next ) {
		RwFrame* const childClone = CloneHierarchy( child, clone->root );
		if ( childClone == nullptr ) {
			// The finished children are whole frames; this one has not
			// been constructed yet, so it is freed without destructors.
			while ( clone->child != nullptr ) {
				RwFrameDestroyHierarchy( clone->child );
			}
			_rwFrameFreeUnconstructed( clone );
			return nullptr;
		}
		childClone->next = clone->child;
		clone->child = childClone;
		childClone->object.parent = clone;
	}

	if ( _rwPluginRegistryInitObject( &frameTKList, clone ) == nullptr ) {
		while ( clone->child != nullptr ) {
			RwFrameDestroyHierarchy( clone->child );
		}
		_rwFrameFreeUnconstructed( clone );
		return nullptr;
	}
	_rwPluginRegistryCopyObject( &frameTKList, clone, source );
	return clone;
}

RwFrame* _rwFrameCloneAndLinkClones( RwFrame* frame ) {
	RwFrame* const clone = CloneHierarchy( frame, nullptr );
	if ( clone == nullptr ) {
		_rwFramePurgeClone( frame );
		return nullptr;
	}
	clone->object.privateFlags &= static_cast<u8>( ~rwFRAMEPRIVATEHIERARCHYSYNC );
	RwFrameUpdateObjects( clone );
	return clone;
}

static void RestoreRoots( RwFrame* frame ) {
	RwFrame* const parent = static_cast<RwFrame*>( frame->object.parent );
	frame->root = parent != nullptr ? parent->root : frame;
	for ( RwFrame* child = frame->child; child != nullptr; child = child->next ) {
		RestoreRoots( child );
	}
}

RwFrame* _rwFramePurgeClone( RwFrame* frame ) {
	RestoreRoots( frame );
	return frame;
}
