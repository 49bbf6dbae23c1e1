/*
===============================================================================

	Camera module of the 3D library.

	Keeps cameras and their free list. For now the module only takes its
	place in the engine: its open and close succeed and touch nothing but
	the module's offset and open count; its globals are the space it
	reserves.

===============================================================================
*/
#ifndef RW_CAMERA_H
#define RW_CAMERA_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwCameraGlobals {
	u8		reserved[4];
};

extern RwModuleInfo	cameraModule;

// Engine plug-in open and close.
void*	_rwCameraOpen( void* instance, s32 offset, s32 size );
void*	_rwCameraClose( void* instance, s32 offset, s32 size );

#endif
