/*
===============================================================================

	Raster module of the 3D library.

	Keeps rasters, their free list and the raster context stack. For now
	the module only takes its place in the engine: its open and close
	succeed and touch nothing but the module's offset and open count; its
	globals are the space it reserves.

===============================================================================
*/
#ifndef RW_RASTER_H
#define RW_RASTER_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwRasterGlobals {
	u8		reserved[100];
};

extern RwModuleInfo	rasterModule;

// Engine plug-in open and close.
void*	_rwRasterOpen( void* instance, s32 offset, s32 size );
void*	_rwRasterClose( void* instance, s32 offset, s32 size );

#endif
