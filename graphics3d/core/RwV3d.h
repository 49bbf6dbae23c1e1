/*
===============================================================================

	Vector module of the 3D library.

	Keeps vector maths (square-root tables and the point and vector
	transform routines). For now the module only takes its place in the
	engine: its open and close succeed and touch nothing but the module's
	offset and open count; its globals are the space it reserves.

===============================================================================
*/
#ifndef RW_V3D_H
#define RW_V3D_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwVectorGlobals {
	u8		reserved[16];
};

extern RwModuleInfo	vectorModule;

// Engine plug-in open and close.
void*	_rwVectorOpen( void* instance, s32 offset, s32 size );
void*	_rwVectorClose( void* instance, s32 offset, s32 size );

#endif
