/*
===============================================================================

	Clumps of the 3D library: atomics, lights and cameras sharing one
	frame hierarchy, read, cloned, walked and destroyed as one model.

	A clump owns its atomics (linked through their inClumpLink), its
	lights and cameras (linked through the clump link extension, id 0x10,
	that both carry) and its frame hierarchy, whose root is the clump's
	frame. Every list runs newest first. Walks fetch the next member
	before calling back, so a callback may destroy the member it is
	given, and stop at the first null result.

	Clumps and atomics come from the clump module's free lists (128 per
	block, one block preallocated, atomics first); closing the module
	destroys every clump, then every atomic still allocated.

	Adding an atomic takes it out of its previous clump first, and
	destroying a clump that is still in a world removes it from that world
	first.

	A stored frame list may hold roots besides the clump's frame. The read
	destroys those nothing of the clump hangs from and the clump keeps the
	others: moving or destroying a single member never frees them, the
	clump's destroy frees those nothing hangs in then. A clone's atomics
	hang from the same frames of them rather than from copies, and the
	clone keeps them too, so the last of source and clones frees them. A
	root put under another frame belongs to that hierarchy from then on;
	like the clump's own hierarchy it must outlive the clumps keeping it.

	A clump chunk (0x10) holds a struct (atomic, light and camera counts;
	the atomic count alone up to version 0x33000), a frame list, a
	geometry list, the atomics, lights and cameras, and the extension. An
	atomic, light or camera naming a frame or geometry outside the lists
	read before it fails the read; an empty frame list gives a clump
	without frame. Any failure destroys everything read so far.

===============================================================================
*/
#ifndef RP_CLUMP_H
#define RP_CLUMP_H

#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwPlugin.h"

struct RpAtomic;
struct RpLight;
struct RpWorld;
struct RwCamera;
struct RwFrame;
struct RwFreeList;
struct RwStream;

// Object type of clumps; chunk types of a clump and a geometry list.
constexpr u8 rpCLUMP = 2;
constexpr u32 rwID_CLUMP		= 0x10;
constexpr u32 rwID_GEOMETRYLIST	= 0x1A;
// Plug-in id of the clump link extension on cameras and lights.
constexpr u32 rwID_CLUMPLINK	= 0x10;
// Objects per block of the atomic and clump free lists.
constexpr s32 RPCLUMP_ENTRIES_PER_BLOCK = 128;
// Errors of clumps: the library's plug-in id; code of a source atomic
// without frame while cloning.
constexpr u32 RPCLUMP_ERROR_PLUGIN = 2;
constexpr u32 RPCLUMP_ERROR_NO_FRAME = 5;

struct RpClump;
typedef RpClump* ( *RpClumpCallBack )( RpClump* clump, void* data );

struct RpClump {
	RwObject				object;
	RwLinkList				atomicList;
	RwLinkList				lightList;
	RwLinkList				cameraList;
	RwLLLink				inWorldLink;
	RpClumpCallBack			callback;
	u16						renderFrame;
};

// The clump link extension of a camera or light.
struct RpClumpLink {
	RpClump*				clump;
	RwLLLink				link;
};

// The clump module's engine data.
struct RpClumpGlobals {
	RwFreeList*				atomicFreeList;
	RwFreeList*				clumpFreeList;
};

typedef RpAtomic* ( *RpAtomicCallBack )( RpAtomic* atomic, void* data );
typedef RpLight* ( *RpLightCallBack )( RpLight* light, void* data );
typedef RwCamera* ( *RwCameraCallBack )( RwCamera* camera, void* data );

extern RwPluginRegistry	clumpTKList;
extern RwModuleInfo		clumpModule;

// A new empty clump without frame; null when the module is closed or the
// free list is exhausted.
RpClump*		RpClumpCreate();
// Leaves its world and is freed with its atomics, lights, cameras and
// frame hierarchy, and with each other stored root it keeps that no other
// clump keeps, that is still a root and that nothing hangs in. True.
bool			RpClumpDestroy( RpClump* clump );
// A copy of the frame hierarchy and atomics (reversed) that keeps the
// source's other stored roots too; lights and cameras are not copied.
// Null on failure.
RpClump*		RpClumpClone( RpClump* clump );
RpClump*		RpClumpSetFrame( RpClump* clump, RwFrame* frame );
RwFrame*		RpClumpGetFrame( const RpClump* clump );
// Puts the atomic in front of the clump's list; it leaves its old clump
// first.
RpClump*		RpClumpAddAtomic( RpClump* clump, RpAtomic* atomic );
RpClump*		RpClumpRemoveAtomic( RpClump* clump, RpAtomic* atomic );
RpClump*		RpClumpAddLight( RpClump* clump, RpLight* light );
RpClump*		RpClumpRemoveLight( RpClump* clump, RpLight* light );
RpClump*		RpClumpAddCamera( RpClump* clump, RwCamera* camera );
RpClump*		RpClumpRemoveCamera( RpClump* clump, RwCamera* camera );
RpClump*		RpClumpForAllAtomics( RpClump* clump, RpAtomicCallBack callBack, void* data );
RpClump*		RpClumpForAllLights( RpClump* clump, RpLightCallBack callBack, void* data );
RpClump*		RpClumpForAllCameras( RpClump* clump, RwCameraCallBack callBack, void* data );
// The world the clump is in, or null.
RpWorld*		RpClumpGetWorld( const RpClump* clump );
// The stream positioned inside a clump chunk; the clump or null.
RpClump*		RpClumpStreamRead( RwStream* stream );

s32				RpClumpRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									   RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32				RpClumpRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
											 RwPluginDataChunkWriteCallBack writeCB,
											 RwPluginDataChunkGetSizeCallBack getSizeCB );

// The clump link of a camera or light (registered by the extensions).
RpClumpLink*	_rpClumpLightLink( RpLight* light );
RpClumpLink*	_rpClumpCameraLink( RwCamera* camera );
// The module's engine data while it is open, else null.
RpClumpGlobals*	_rpClumpGlobals();
// Destroys an atomic without touching its clump's list.
void			_rpAtomicDestroyUnlinked( RpAtomic* atomic );
// Whether a frame of the chain starting at frame (siblings through next)
// or one below them carries an object.
bool			_rpClumpFramesHoldObjects( const RwFrame* frame );
// Records that the clump keeps count stored frame roots besides its own
// hierarchy, for RpClumpDestroy to free (and RpClumpClone to share).
// False, with the error recorded, when the record cannot be made.
bool			_rpClumpKeepStoredRoots( RpClump* clump, RwFrame* const* roots, s32 count );

// Engine plug-in open and close; the clump link extensions.
void*			_rpClumpOpen( void* instance, s32 offset, s32 size );
void*			_rpClumpClose( void* instance, s32 offset, s32 size );
bool			_rpClumpRegisterExtensions();

#endif
