/*
===============================================================================

	Image module of the 3D library.

	Keeps images, their free lists, the image search path and the gamma
	tables. For now the module only takes its place in the engine: its
	open and close succeed and touch nothing but the module's offset and
	open count; its globals are the space it reserves.

===============================================================================
*/
#ifndef RW_IMAGE_H
#define RW_IMAGE_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwImageGlobals {
	u8		reserved[544];
};

extern RwModuleInfo	imageModule;

// Sets the gamma correction of images; succeeds.
bool	RwImageSetGamma( f32 gammaValue );

// Engine plug-in open and close.
void*	_rwImageOpen( void* instance, s32 offset, s32 size );
void*	_rwImageClose( void* instance, s32 offset, s32 size );

#endif
