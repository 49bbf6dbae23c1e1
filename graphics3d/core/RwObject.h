/*
===============================================================================

	Object headers of the 3D library.

	Every library object starts with an RwObject: its type, sub-type, flags,
	private flags and its parent (for frames the parent frame, for objects
	attached to a frame that frame). Objects that live on a frame (cameras,
	lights, atomics) start with an RwObjectHasFrame: the header, their link
	in the frame's object list and the function called when the frame's
	hierarchy is synchronised.

===============================================================================
*/
#ifndef RW_OBJECT_H
#define RW_OBJECT_H

#include "graphics3d/core/RwLinkList.h"

struct RwObject {
	u8		type;
	u8		subType;
	u8		flags;
	u8		privateFlags;
	void*	parent;
};

struct RwObjectHasFrame;

typedef RwObjectHasFrame* ( *RwObjectHasFrameSyncFunction )( RwObjectHasFrame* object );

struct RwObjectHasFrame {
	RwObject						object;
	RwLLLink						lFrame;		// in the frame's object list
	RwObjectHasFrameSyncFunction	sync;
};

#endif
