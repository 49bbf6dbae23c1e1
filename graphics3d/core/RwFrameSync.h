/*
===============================================================================

	Frame hierarchy synchronisation.

	Brings dirty hierarchies up to date: recomputes the LTMs of the changed
	subtrees (LTM = modelling x parent LTM) and calls the sync function of
	every object attached to a frame of a dirty hierarchy. A full sync runs
	over the engine's dirty list; an LTM query refreshes one hierarchy's
	matrices only and leaves its root listed, with 0x02 set, so that the
	objects are still synchronised at the next full sync.

	Every walk does a frame's own work before it reads the frame's next
	sibling and children, and visits children depth first in child-list
	order.

===============================================================================
*/
#ifndef RW_FRAME_SYNC_H
#define RW_FRAME_SYNC_H

#include "graphics3d/core/RwFrame.h"

// Synchronises every listed root in list order and empties the list.
// Returns true.
bool				_rwFrameSyncDirty();
// The LTMs of one hierarchy, no object called; clears only the root's
// bits 0x01 and 0x04.
RwFrame*			_rwFrameSyncHierarchyLTM( RwFrame* root );

// Moves the object to the head of the frame's object list (out of its
// previous frame's) and marks the frame dirty; a null frame only detaches.
RwObjectHasFrame*	_rwObjectHasFrameSetFrame( RwObjectHasFrame* object, RwFrame* frame );
// Takes the object out of its frame's list; its parent pointer stays.
RwObjectHasFrame*	_rwObjectHasFrameReleaseFrame( RwObjectHasFrame* object );

#endif
