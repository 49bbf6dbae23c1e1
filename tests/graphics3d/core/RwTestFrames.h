/*
===============================================================================

	Frame helpers of the 3D library tests: the dirty list read as a vector,
	a frame's children in list order, and objects that count their syncs.

===============================================================================
*/
#ifndef RW_TEST_FRAMES_H
#define RW_TEST_FRAMES_H

#include "graphics3d/core/RwFrameSync.h"
#include "RwTestChunks.h"

#include <cstddef>

inline std::vector<RwFrame*> RwTestDirtyRoots() {
	std::vector<RwFrame*> roots;
	RwLinkList* const list = &RwEngineInstance->dirtyFrames;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		roots.push_back( reinterpret_cast<RwFrame*>( reinterpret_cast<u8*>( link ) - offsetof( RwFrame, inDirtyListLink ) ) );
	}
	return roots;
}

inline std::vector<RwFrame*> RwTestChildren( const RwFrame* frame ) {
	std::vector<RwFrame*> children;
	for ( RwFrame* child = frame->child; child != nullptr; child = child->next ) {
		children.push_back( child );
	}
	return children;
}

// An attached object that logs its syncs into a shared log.
struct RwTestObject {
	RwObjectHasFrame		header;
	std::vector<void*>*		log;
};

inline RwObjectHasFrame* RwTestObjectSync( RwObjectHasFrame* object ) {
	RwTestObject* const self = reinterpret_cast<RwTestObject*>( object );
	self->log->push_back( self );
	return object;
}

inline void RwTestObjectInit( RwTestObject* object, std::vector<void*>* log ) {
	object->header = {};
	object->header.sync = RwTestObjectSync;
	object->log = log;
}

// Translation by (x, y, z) as a modelling matrix, replacing the old one.
inline void RwTestPlace( RwFrame* frame, const f32 x, const f32 y, const f32 z ) {
	const RwV3d t = { x, y, z };
	RwFrameTranslate( frame, &t, rwCOMBINEREPLACE );
}

#endif
