/*
===============================================================================

	Cloning frame hierarchies.

	_rwFrameCloneAndLinkClones copies a hierarchy: each clone copies its
	source's header bytes and modelling matrix and runs the plug-in
	constructors and copy functions. While the clone is built, and until
	_rwFramePurgeClone, every source frame's root names that frame's clone,
	so objects attached to the source can find the clone of their frame.
	A clone's children come out in the reverse order of the source's. The
	clone is marked dirty as a hierarchy of its own.

	When a frame cannot be cloned, the part already built is destroyed and
	the source's roots are restored before null is returned.

===============================================================================
*/
#ifndef RW_FRAME_CLONE_H
#define RW_FRAME_CLONE_H

#include "graphics3d/core/RwFrame.h"

RwFrame*	_rwFrameCloneAndLinkClones( RwFrame* frame );
// Sets every frame's root again to its real root (the parent's root, or
// the frame itself for a root). Returns the frame.
RwFrame*	_rwFramePurgeClone( RwFrame* frame );

#endif
