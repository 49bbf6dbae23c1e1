/*
===============================================================================

	Texture module of the 3D library.

	Keeps textures, texture dictionaries and their free lists. For now the
	module only takes its place in the engine: its open and close succeed
	and touch nothing but the module's offset and open count; its globals
	are the space it reserves.

===============================================================================
*/
#ifndef RW_TEXTURE_H
#define RW_TEXTURE_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwTextureGlobals {
	u8		reserved[48];
};

extern RwModuleInfo	textureModule;

// Engine plug-in open and close.
void*	_rwTextureOpen( void* instance, s32 offset, s32 size );
void*	_rwTextureClose( void* instance, s32 offset, s32 size );

#endif
