/*
===============================================================================

	Clump of the 3D library: a group of atomics drawn as one model, and
	the world it is in (null for none).

	Only the atomic list and world membership exist so far; streaming,
	cloning and the clump's frame come with the clumps' own work. The
	atomic list runs newest first.

===============================================================================
*/
#ifndef RP_CLUMP_H
#define RP_CLUMP_H

#include "graphics3d/core/RwObject.h"

struct RpAtomic;
struct RpWorld;

// Object type of clumps.
constexpr u8 rpCLUMP = 2;

struct RpClump {
	RwObject				object;
	RpAtomic*				atomicList;
	RpWorld*				world;
	RpClump*				nextInWorld;
};

typedef RpAtomic* ( *RpAtomicCallBack )( RpAtomic* atomic, void* data );

// A new empty clump in no world; null without memory.
RpClump*		RpClumpCreate();
// Leaves its world and is freed with its atomics. True.
bool			RpClumpDestroy( RpClump* clump );
// Puts the atomic in front of the clump's list; it leaves its old clump
// first.
RpClump*		RpClumpAddAtomic( RpClump* clump, RpAtomic* atomic );
RpClump*		RpClumpRemoveAtomic( RpClump* clump, RpAtomic* atomic );
// Calls back for each atomic in list order until a callback returns null.
RpClump*		RpClumpForAllAtomics( RpClump* clump, RpAtomicCallBack callBack, void* data );
// The world the clump is in, or null.
RpWorld*		RpClumpGetWorld( const RpClump* clump );

#endif
