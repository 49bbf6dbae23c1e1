/*
===============================================================================

	Atomics of the 3D library: one drawable instance of a geometry hung on
	a frame.

	An atomic holds a counted reference on its geometry, its bounding
	sphere in model space and a cached one in world space, the clump it
	belongs to (linked through inClumpLink), its render callback and an
	interpolator between two morph targets. Interpolator bit 0x02 asks for
	the model sphere to be re-interpolated; privateFlags bit 0x01 for the
	world sphere to be recomputed. A new atomic has flags 0x05 (collision
	test, render), privateFlags 0x01 and interpolator flags 3.

	Atomics come from the clump module's free list; the atomic registry is
	a static record. Destroying a clumped atomic takes it out of its clump
	first, so a clump never lists a freed atomic. An atomic without frame
	reports its model sphere as its world sphere.

	The rights-to-render entry (0x1F) of an atomic's extension holds a
	plug-in id and, when 8 bytes long, an extra word; it is written only
	for a pipeline with a non-zero plug-in id.

===============================================================================
*/
#ifndef RP_ATOMIC_H
#define RP_ATOMIC_H

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwPlugin.h"

struct RpClump;
struct RpGeometry;
struct RpWorld;
struct RwFrame;
struct RwResEntry;
struct RxPipeline;

// Object type of atomics; chunk type of an atomic.
constexpr u8 rpATOMIC = 1;
constexpr u32 rwID_ATOMIC = 0x14;

// Atomic flags: collision test, render; those of a new atomic.
constexpr u8 rpATOMICCOLLISIONTEST	= 0x01;
constexpr u8 rpATOMICRENDER			= 0x04;
constexpr u8 RPATOMIC_DEFAULT_FLAGS	= 0x05;
// privateFlags: the world bounding sphere must be recomputed.
constexpr u8 rpATOMICPRIVATEWORLDBOUNDDIRTY = 0x01;

// Interpolator flags: morph data must be reinstanced; the model sphere
// must be re-interpolated. A new atomic has both.
constexpr u32 rpINTERPOLATORDIRTYINSTANCE	= 0x01;
constexpr u32 rpINTERPOLATORDIRTYSPHERE		= 0x02;

// RpAtomicSetGeometry flags: keep the bounding sphere as it is.
constexpr u32 rpATOMICSAMEBOUNDINGSPHERE = 0x01;

// Plug-in id of the rights-to-render entry.
constexpr u32 rwID_RIGHTSTORENDER = 0x1F;

struct RpInterpolator {
	s32						flags;
	s16						startMorphTarget;
	s16						endMorphTarget;
	f32						time;
	f32						recipTime;
	f32						position;
};

struct RpAtomic;
typedef RpAtomic* ( *RpAtomicCallBackRender )( RpAtomic* atomic );

struct RpAtomic {
	RwObjectHasFrame		object;
	RwResEntry*				repEntry;
	RpGeometry*				geometry;
	RwSphere				boundingSphere;			// model space
	RwSphere				worldBoundingSphere;	// cache, world space
	RpClump*				clump;
	RwLLLink				inClumpLink;
	RpAtomicCallBackRender	renderCallBack;
	RpInterpolator			interpolator;
	u16						renderFrame;
	RwLinkList				llWorldSectorsInAtomic;
	RxPipeline*				pipeline;				// null: the default atomic pipeline
};

extern RwPluginRegistry	atomicTKList;

// A new atomic without frame, geometry or clump; null when the clump
// module is closed or the free list is exhausted.
RpAtomic*		RpAtomicCreate();
// Leaves its clump, runs the destructors, drops its geometry, releases
// its frame and is freed. True.
bool			RpAtomicDestroy( RpAtomic* atomic );
RpAtomic*		RpAtomicSetFrame( RpAtomic* atomic, RwFrame* frame );
RwFrame*		RpAtomicGetFrame( const RpAtomic* atomic );
RpAtomic*		RpAtomicSetGeometry( RpAtomic* atomic, RpGeometry* geometry, u32 flags );
// A copy without frame or clump sharing the geometry; null on failure.
RpAtomic*		RpAtomicClone( RpAtomic* atomic );
const RwSphere*	RpAtomicGetWorldBoundingSphere( RpAtomic* atomic );
// The world the atomic is in, or null.
RpWorld*		RpAtomicGetWorld( const RpAtomic* atomic );
// Runs the atomic's pipeline, or the default atomic one: the atomic, or
// null on failure.
RpAtomic*		AtomicDefaultRenderCallBack( RpAtomic* atomic );
// Re-interpolates the model sphere from the morph targets (nothing
// without a geometry).
RpAtomic*		_rpAtomicResyncInterpolatedSphere( RpAtomic* atomic );

s32				RpAtomicRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
										RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32				RpAtomicRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
											  RwPluginDataChunkWriteCallBack writeCB,
											  RwPluginDataChunkGetSizeCallBack getSizeCB );
s32				RpAtomicSetStreamAlwaysCallBack( u32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB );
s32				RpAtomicSetStreamRightsCallBack( u32 pluginID, RwPluginDataChunkRightsCallBack rightsCB );
s32				RpAtomicGetPluginOffset( u32 pluginID );

// The rights-to-render state of the atomic being read: the plug-in id
// (0: none seen) and its extra word.
struct RpAtomicRights {
	u32		pluginID;
	u32		extraData;
};
extern RpAtomicRights	_rpAtomicRightsState;

// A rights entry into state, or written and sized for a pipeline (an
// entry only for a non-zero plug-in id); shared by atomics, worlds and
// sectors.
RwStream*		_rpReadRights( RwStream* stream, s32 length, RpAtomicRights* state );
RwStream*		_rpWriteRights( RwStream* stream, const RxPipeline* pipeline );
s32				_rpSizeRights( const RxPipeline* pipeline );
RwStream*		_rpReadAtomicRights( RwStream* stream, s32 length, void* object, s32 offset, s32 size );
RwStream*		_rpWriteAtomicRights( RwStream* stream, s32 length, const void* object, s32 offset, s32 size );
s32				_rpSizeAtomicRights( const void* object, s32 offset, s32 size );

#endif
