/*
===============================================================================

	World objects: which world each camera, atomic, clump and light is in,
	the ties that keep atomics and local lights linked to the atomic
	sectors they overlap, and each camera's list of sectors inside its
	frustum.

	Extensions under one plug-in id on the engine (the two tie free lists),
	cameras, atomics, clumps and lights hold an object's world and save the
	object's own sync (and, for cameras, begin and end update) functions,
	replacing them with this module's: an atomic or local light that moves
	is tied again, a camera that moves rebuilds its sector list, and a
	camera update makes its world the engine's current world and counts
	render frames.

	An object is in at most one world: adding one already in a world is
	refused, removing one from a world it is not in changes nothing (a
	clump records {2, 3} and {2, 4}). Destroying an object leaves its world
	first. Cameras and atomics added on their own are also kept in the
	module's lists, so that destroying a world can let go of them.

	Rendering a visible sector's atomics draws each atomic with the render
	flag once per frame (the render-frame counter is 16 bits and wraps),
	when its world sphere passes the current camera's frustum test.

===============================================================================
*/
#ifndef RP_WORLD_OBJ_H
#define RP_WORLD_OBJ_H

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwLinkList.h"
#include "graphics3d/core/RwObject.h"
#include "graphics3d/world/RpAtomic.h"

struct RpClump;
struct RpLight;
struct RpWorld;
struct RpWorldSector;
struct RwFreeList;
struct RwStream;
struct RxPipeline;

// Plug-in id of the world-object extensions.
constexpr u32 rwID_WORLDOBJPLUGIN = 0x509;
// Plug-in id of the platform's native data of geometries and sectors.
constexpr u32 rwID_NATIVEDATAPLUGIN = 0x510;
// Ties per block of the tie and light-tie free lists.
constexpr s32 RPTIE_ENTRIES_PER_BLOCK		= 256;
constexpr s32 RPLIGHTTIE_ENTRIES_PER_BLOCK	= 32;
// Entries a camera's sector array grows by.
constexpr s32 RPWORLD_FRUSTUM_SECTORS_GROWTH = 50;
// Errors of clumps joining and leaving worlds.
constexpr u32 RPWORLD_ERROR_CLUMP_IN_WORLD		= 3;
constexpr u32 RPWORLD_ERROR_CLUMP_NOT_IN_WORLD	= 4;

// An atomic tied to a sector: linked in the sector's atomic list and in
// the atomic's sector list.
struct RpTie {
	RwLLLink			lAtomicInWorldSector;
	RpAtomic*			apAtom;
	RwLLLink			lWorldSectorInAtomic;
	RpWorldSector*		worldSector;
};

struct RpLightTie {
	RwLLLink			lightInWorldSector;
	RpLight*			light;
	RwLLLink			WorldSectorInLight;
	RpWorldSector*		sect;
};

// The module's engine data, with the cameras and atomics in any world.
struct RpWorldObjGlobals {
	RwFreeList*			tieFreeList;
	RwFreeList*			lightTieFreeList;
	RwLinkList			camerasInWorlds;
	RwLinkList			atomicsInWorlds;
};

struct RpCameraWorldExt {
	RpWorldSector**					frustumSectors;
	s32								space;
	s32								position;
	RpWorld*						world;
	RwCameraBeginUpdateFunc			oldBeginUpdate;
	RwCameraEndUpdateFunc			oldEndUpdate;
	RwObjectHasFrameSyncFunction	oldSync;
	RwLLLink						inWorldsLink;
};

struct RpAtomicWorldExt {
	RpWorld*						world;
	RwObjectHasFrameSyncFunction	oldSync;
	RwLLLink						inWorldsLink;
};

struct RpClumpWorldExt {
	RpWorld*						world;
};

struct RpLightWorldExt {
	RpWorld*						world;
	RwObjectHasFrameSyncFunction	oldSync;
};

typedef RpWorldSector* ( *RpWorldSectorCallBack )( RpWorldSector* sector, void* data );

RpWorld*		RpWorldAddCamera( RpWorld* world, RwCamera* camera );
// Null when the camera is not in this world.
RpWorld*		RpWorldRemoveCamera( RpWorld* world, RwCamera* camera );
RpWorld*		RwCameraGetWorld( const RwCamera* camera );
RpWorld*		RpWorldAddAtomic( RpWorld* world, RpAtomic* atomic );
RpWorld*		RpWorldRemoveAtomic( RpWorld* world, RpAtomic* atomic );
RpAtomic*		RpAtomicForAllWorldSectors( RpAtomic* atomic, RpWorldSectorCallBack callBack, void* data );
RpWorld*		RpWorldAddClump( RpWorld* world, RpClump* clump );
RpWorld*		RpWorldRemoveClump( RpWorld* world, RpClump* clump );
RpWorld*		RpWorldAddLight( RpWorld* world, RpLight* light );
RpWorld*		RpWorldRemoveLight( RpWorld* world, RpLight* light );
// The camera's visible sectors in order, until the callback returns null.
RwCamera*		RwCameraForAllSectorsInFrustum( RwCamera* camera, RpWorldSectorCallBack callBack, void* data );
// Null selects the platform's pipeline.
RxPipeline*		RpWorldSetDefaultSectorPipeline( RxPipeline* pipeline );
RxPipeline*		RpAtomicSetDefaultPipeline( RxPipeline* pipeline );

// Draws the atomics tied to a visible sector; the sector.
RpWorldSector*	_rpWorldSectorRenderAtomics( RpWorldSector* sector );
// Unties everything from a sector.
void			_rpWorldSectorDestroyTies( RpWorldSector* sector );
// The functions the extensions put in place of the objects' own, and
// the untying of an atomic or light from every sector.
RwObjectHasFrame*	_rpWorldObjAtomicSync( RwObjectHasFrame* object );
RwObjectHasFrame*	_rpWorldObjLightSync( RwObjectHasFrame* object );
RwObjectHasFrame*	_rpWorldObjCameraSync( RwObjectHasFrame* object );
RwCamera*		_rpWorldObjCameraBeginUpdate( RwCamera* camera );
RwCamera*		_rpWorldObjCameraEndUpdate( RwCamera* camera );
void			_rpAtomicDestroyTies( RpAtomic* atomic );
void			_rpLightDestroyTies( RpLight* light );
// Lets go of the cameras and atomics still in the world (before it goes).
void			_rpWorldObjLeaveWorld( RpWorld* world );
// The extensions while registered, else null.
RpCameraWorldExt*	_rpCameraWorldExt( const RwCamera* camera );
RpAtomicWorldExt*	_rpAtomicWorldExt( const RpAtomic* atomic );
RpClumpWorldExt*	_rpClumpWorldExt( const RpClump* clump );
RpLightWorldExt*	_rpLightWorldExt( const RpLight* light );
// The module's engine data while open, else null.
RpWorldObjGlobals*	_rpWorldObjGlobals();

// Registers the extensions, the bin-mesh and native-data entries of
// geometries and sectors and the rights-to-render entries; true on
// success.
bool			_rpWorldObjRegisterExtensions();
// Default world pipelines: open creates the platform's material, atomic
// and sector pipelines (all three undone when one fails); close destroys
// them in reverse.
bool			_rpWorldPipelineOpen();
void			_rpWorldPipelineClose();
// The rights-to-render entries of the world and of the sector being
// read (plug-in id 0: none seen).
extern RpAtomicRights	_rpWorldRightsState;
extern RpAtomicRights	_rpSectorRightsState;
// The platform's pipelines: none for materials; the atomic and sector
// defaults come with the device (weak: a program without a device has
// none). A creation makes its pipeline the default; a destroy clears it.
bool			_rpCreatePlatformMaterialPipelines();
void			_rpDestroyPlatformMaterialPipelines();
bool			_rpCreatePlatformAtomicPipelines() __attribute__( ( weak ) );
bool			_rpCreatePlatformWorldSectorPipelines() __attribute__( ( weak ) );
void			_rpDestroyPlatformAtomicPipelines() __attribute__( ( weak ) );
void			_rpDestroyPlatformWorldSectorPipelines() __attribute__( ( weak ) );

#endif
