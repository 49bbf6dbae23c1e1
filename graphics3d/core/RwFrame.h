/*
===============================================================================

	Frame module of the 3D library.

	Keeps frame hierarchies, their free list and the dirty-frame list. For
	now the module only takes its place in the engine: its open and close
	succeed and touch nothing but the module's offset and open count; its
	globals are the space it reserves.

===============================================================================
*/
#ifndef RW_FRAME_H
#define RW_FRAME_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwFrameGlobals {
	u8		reserved[4];
};

extern RwModuleInfo	frameModule;

// Engine plug-in open and close.
void*	_rwFrameOpen( void* instance, s32 offset, s32 size );
void*	_rwFrameClose( void* instance, s32 offset, s32 size );

#endif
