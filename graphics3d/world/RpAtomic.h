/*
===============================================================================

	Drawable geometry instance of the 3D library, as far as the engine's
	visibility test reads it: its frame, its bounding sphere in frame
	space, the interpolator mark that says the sphere is stale, and its
	place in its clump.

	Only these records exist so far; geometry, pipelines and drawing come
	with the atomics' own work. Resynchronising the interpolated sphere
	takes the sphere of the interpolator's current morph state, which
	without morph targets is the sphere the atomic already has, and
	clears the stale mark.

===============================================================================
*/
#ifndef RP_ATOMIC_H
#define RP_ATOMIC_H

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwObject.h"

struct RpClump;
struct RwFrame;

// Object type of atomics.
constexpr u8 rpATOMIC = 1;

// Interpolator flags: the bounding sphere must be recomputed before use.
constexpr u32 rpINTERPOLATORDIRTYSPHERE = 0x4;

struct RpInterpolator {
	u32						flags;
	RwSphere				morphSphere;	// frame space, of the current morph state
};

struct RpAtomic {
	RwObjectHasFrame		object;
	RwSphere				boundingSphere;	// frame space
	RpInterpolator			interpolator;
	RpClump*				clump;
	RpAtomic*				next;			// in the clump
};

// A new atomic without frame, at the origin with radius 0; null without
// memory. Atomics are plain allocations until the library's own atomic
// module exists.
RpAtomic*		RpAtomicCreate();
// Leaves its clump and is freed. True.
bool			RpAtomicDestroy( RpAtomic* atomic );
RpAtomic*		RpAtomicSetFrame( RpAtomic* atomic, RwFrame* frame );
RwFrame*		RpAtomicGetFrame( const RpAtomic* atomic );
// Recomputes the bounding sphere from the interpolator and clears the
// stale mark.
RpAtomic*		_rpAtomicResyncInterpolatedSphere( RpAtomic* atomic );

#endif
