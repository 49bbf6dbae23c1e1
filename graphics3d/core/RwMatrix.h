/*
===============================================================================

	Matrix module of the 3D library.

	Keeps matrices and their free list. For now the module only takes its
	place in the engine: its open and close succeed and touch nothing but
	the module's offset and open count; its globals are the space it
	reserves.

===============================================================================
*/
#ifndef RW_MATRIX_H
#define RW_MATRIX_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwMatrixGlobals {
	u8		reserved[24];
};

extern RwModuleInfo	matrixModule;

// Engine plug-in open and close.
void*	_rwMatrixOpen( void* instance, s32 offset, s32 size );
void*	_rwMatrixClose( void* instance, s32 offset, s32 size );

#endif
