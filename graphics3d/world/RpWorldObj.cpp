#include "graphics3d/world/RpWorldObj.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/gamecube/RpNativeGeometry.h"
#include "graphics3d/world/RpBinMesh.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorld.h"

#include <cstddef>

// Where the extensions live; -1 until registered.
static RwPluginOffset engineOffset;
static RwPluginOffset cameraOffset;
static RwPluginOffset atomicOffset;
static RwPluginOffset clumpOffset;
static RwPluginOffset lightOffset;
static s32 worldObjInstances = 0;

static RwFreeList tieFreeListRecord;
static RwFreeList lightTieFreeListRecord;

// Rights-to-render state of the world or sector being read.
RpAtomicRights _rpWorldRightsState;
RpAtomicRights _rpSectorRightsState;

RpWorldObjGlobals* _rpWorldObjGlobals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( worldObjInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	const s32 offset = engineOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpWorldObjGlobals>( instance, offset );
}

RpCameraWorldExt* _rpCameraWorldExt( const RwCamera* camera ) {
	const s32 offset = cameraOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpCameraWorldExt>( const_cast<RwCamera*>( camera ), offset );
}

RpAtomicWorldExt* _rpAtomicWorldExt( const RpAtomic* atomic ) {
	const s32 offset = atomicOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpAtomicWorldExt>( const_cast<RpAtomic*>( atomic ), offset );
}

RpClumpWorldExt* _rpClumpWorldExt( const RpClump* clump ) {
	const s32 offset = clumpOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpClumpWorldExt>( const_cast<RpClump*>( clump ), offset );
}

RpLightWorldExt* _rpLightWorldExt( const RpLight* light ) {
	const s32 offset = lightOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpLightWorldExt>( const_cast<RpLight*>( light ), offset );
}

namespace {

void ClumpError( const u32 code ) {
	RwError error = { RPWORLD_ERROR_PLUGIN, code };
	RwErrorSet( &error );
}

void LinkInWorlds( RwLinkList RpWorldObjGlobals::*list, RwLLLink* link ) {
	RpWorldObjGlobals* const globals = _rpWorldObjGlobals();
	if ( globals != nullptr ) {
		rwLinkListAddLLLink( &( globals->*list ), link );
	}
}

void UnlinkFromWorlds( RwLLLink* link ) {
	if ( link->next != nullptr ) {
		rwLinkListRemoveLLLink( link );
	}
}

// Engine data.

void* WorldObjOpen( void* instance, const s32 offset, s32 ) {
	RpWorldObjGlobals* const globals = RwPluginData<RpWorldObjGlobals>( instance, offset );
	globals->tieFreeList = RwFreeListCreateAndPreallocateSpace( static_cast<s32>( sizeof( RpTie ) ), RPTIE_ENTRIES_PER_BLOCK,
																0, 1, &tieFreeListRecord );
	if ( globals->tieFreeList == nullptr ) {
		return nullptr;
	}
	globals->lightTieFreeList = RwFreeListCreateAndPreallocateSpace(
		static_cast<s32>( sizeof( RpLightTie ) ), RPLIGHTTIE_ENTRIES_PER_BLOCK, 0, 1, &lightTieFreeListRecord );
	if ( globals->lightTieFreeList == nullptr ) {
		RwFreeListDestroy( globals->tieFreeList );
		globals->tieFreeList = nullptr;
		return nullptr;
	}
	rwLinkListInitialize( &globals->camerasInWorlds );
	rwLinkListInitialize( &globals->atomicsInWorlds );
	static_cast<RwGlobals*>( instance )->renderFrame = 1;
	engineOffset.Set( offset );
	worldObjInstances++;
	return instance;
}

void* WorldObjClose( void* instance, const s32 offset, s32 ) {
	RpWorldObjGlobals* const globals = RwPluginData<RpWorldObjGlobals>( instance, offset );
	// Objects still tied when the library stops must not keep ties in
	// blocks about to be freed.
	if ( globals->tieFreeList != nullptr ) {
		_rpWorldUntieAll();
	}
	RwFreeList** const lists[] = { &globals->lightTieFreeList, &globals->tieFreeList };
	for ( RwFreeList** const list : lists ) {
		if ( *list != nullptr ) {
			RwFreeListDestroy( *list );
			*list = nullptr;
		}
	}
	if ( worldObjInstances > 0 ) {
		worldObjInstances--;
	}
	return instance;
}

// Cameras.

void* CameraConstructor( void* object, const s32 offset, s32 ) {
	RwCamera* const camera = static_cast<RwCamera*>( object );
	RpCameraWorldExt* const ext = RwPluginData<RpCameraWorldExt>( object, offset );
	ext->frustumSectors = nullptr;
	ext->space = 0;
	ext->position = 0;
	ext->world = nullptr;
	ext->oldBeginUpdate = camera->beginUpdate;
	ext->oldEndUpdate = camera->endUpdate;
	ext->oldSync = camera->object.sync;
	ext->inWorldsLink = { nullptr, nullptr };
	camera->beginUpdate = _rpWorldObjCameraBeginUpdate;
	camera->endUpdate = _rpWorldObjCameraEndUpdate;
	camera->object.sync = _rpWorldObjCameraSync;
	return object;
}

void* CameraDestructor( void* object, const s32 offset, s32 ) {
	RwCamera* const camera = static_cast<RwCamera*>( object );
	RpCameraWorldExt* const ext = RwPluginData<RpCameraWorldExt>( object, offset );
	if ( ext->world != nullptr ) {
		RpWorldRemoveCamera( ext->world, camera );
	}
	if ( ext->frustumSectors != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( ext->frustumSectors );
		ext->frustumSectors = nullptr;
	}
	camera->beginUpdate = ext->oldBeginUpdate;
	camera->endUpdate = ext->oldEndUpdate;
	camera->object.sync = ext->oldSync;
	return object;
}

void* CameraCopy( void* dst, const void* src, const s32 offset, s32 ) {
	RpWorld* const world = RwPluginData<RpCameraWorldExt>( const_cast<void*>( src ), offset )->world;
	if ( world != nullptr ) {
		RpWorldAddCamera( world, static_cast<RwCamera*>( dst ) );
	}
	return dst;
}

// Atomics.

void* AtomicConstructor( void* object, const s32 offset, s32 ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	RpAtomicWorldExt* const ext = RwPluginData<RpAtomicWorldExt>( object, offset );
	ext->world = nullptr;
	ext->oldSync = atomic->object.sync;
	ext->inWorldsLink = { nullptr, nullptr };
	atomic->object.sync = _rpWorldObjAtomicSync;
	return object;
}

void* AtomicDestructor( void* object, const s32 offset, s32 ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	RpAtomicWorldExt* const ext = RwPluginData<RpAtomicWorldExt>( object, offset );
	_rpAtomicDestroyTies( atomic );
	UnlinkFromWorlds( &ext->inWorldsLink );
	ext->world = nullptr;
	atomic->object.sync = ext->oldSync;
	return object;
}

// Clumps.

void* ClumpConstructor( void* object, const s32 offset, s32 ) {
	RwPluginData<RpClumpWorldExt>( object, offset )->world = nullptr;
	return object;
}

void* ClumpDestructor( void* object, const s32 offset, s32 ) {
	RpWorld* const world = RwPluginData<RpClumpWorldExt>( object, offset )->world;
	if ( world != nullptr ) {
		RpWorldRemoveClump( world, static_cast<RpClump*>( object ) );
	}
	return object;
}

void* ClumpCopy( void* dst, const void* src, const s32 offset, s32 ) {
	RpWorld* const world = RwPluginData<RpClumpWorldExt>( const_cast<void*>( src ), offset )->world;
	if ( world != nullptr ) {
		RpWorldAddClump( world, static_cast<RpClump*>( dst ) );
	}
	return dst;
}

// Lights.

void* LightConstructor( void* object, const s32 offset, s32 ) {
	RpLight* const light = static_cast<RpLight*>( object );
	RpLightWorldExt* const ext = RwPluginData<RpLightWorldExt>( object, offset );
	ext->world = nullptr;
	ext->oldSync = light->object.sync;
	light->object.sync = _rpWorldObjLightSync;
	return object;
}

void* LightDestructor( void* object, const s32 offset, s32 ) {
	RpLight* const light = static_cast<RpLight*>( object );
	RpLightWorldExt* const ext = RwPluginData<RpLightWorldExt>( object, offset );
	if ( ext->world != nullptr ) {
		RpWorldRemoveLight( ext->world, light );
	}
	_rpLightDestroyTies( light );
	light->object.sync = ext->oldSync;
	return object;
}

void* LightCopy( void* dst, const void* src, const s32 offset, s32 ) {
	RpWorld* const world = RwPluginData<RpLightWorldExt>( const_cast<void*>( src ), offset )->world;
	if ( world != nullptr ) {
		RpWorldAddLight( world, static_cast<RpLight*>( dst ) );
	}
	return dst;
}

// Sector stream entries.

RpWorld* SectorWorld( const void* object ) {
	return RpWorldSectorGetWorld( static_cast<const RpWorldSector*>( object ) );
}

RwStream* SectorBinMeshRead( RwStream* stream, const s32 length, void* object, s32, s32 ) {
	RpWorldSector* const sector = static_cast<RpWorldSector*>( object );
	const RpWorld* const world = SectorWorld( object );
	if ( world == nullptr ) {
		return nullptr;
	}
	// A native instance read before holds lists for the meshes it was read
	// with: new meshes would not match them.
	if ( sector->repEntry != nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return nullptr;
	}
	RpMeshHeader* const header = _rpBinMeshRead( stream, length, ( world->flags & rpGEOMETRYNATIVE ) != 0,
												 sector->numVertices, &world->matList );
	if ( header == nullptr ) {
		return nullptr;
	}
	if ( sector->mesh != nullptr ) {
		_rpMeshDestroy( sector->mesh );
	}
	sector->mesh = header;
	return stream;
}

RwStream* SectorBinMeshWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	const RpWorldSector* const sector = static_cast<const RpWorldSector*>( object );
	const RpWorld* const world = SectorWorld( object );
	if ( sector->mesh == nullptr || world == nullptr ) {
		return stream;
	}
	return _rpBinMeshWrite( sector->mesh, stream, ( world->flags & rpGEOMETRYNATIVE ) != 0, &world->matList );
}

s32 SectorBinMeshSize( const void* object, s32, s32 ) {
	const RpWorldSector* const sector = static_cast<const RpWorldSector*>( object );
	const RpWorld* const world = SectorWorld( object );
	if ( sector->mesh == nullptr || world == nullptr ) {
		return -1;
	}
	return _rpBinMeshSize( sector->mesh, ( world->flags & rpGEOMETRYNATIVE ) != 0 );
}

RwStream* WorldRightsRead( RwStream* stream, const s32 length, void*, s32, s32 ) {
	return _rpReadRights( stream, length, &_rpWorldRightsState );
}

RwStream* WorldRightsWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	return _rpWriteRights( stream, static_cast<const RpWorld*>( object )->pipeline );
}

s32 WorldRightsSize( const void* object, s32, s32 ) {
	return _rpSizeRights( static_cast<const RpWorld*>( object )->pipeline );
}

RwStream* SectorRightsRead( RwStream* stream, const s32 length, void*, s32, s32 ) {
	return _rpReadRights( stream, length, &_rpSectorRightsState );
}

RwStream* SectorRightsWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	return _rpWriteRights( stream, static_cast<const RpWorldSector*>( object )->pipeline );
}

s32 SectorRightsSize( const void* object, s32, s32 ) {
	return _rpSizeRights( static_cast<const RpWorldSector*>( object )->pipeline );
}

// The platform's native data: an instanced sector's lists and arrays.
RwStream* SectorNativeRead( RwStream* stream, const s32 length, void* object, s32, s32 ) {
	return _rpWorldSectorNativeRead( stream, static_cast<RpWorldSector*>( object ), static_cast<u32>( length ) ) != nullptr
			   ? stream
			   : nullptr;
}

RwStream* SectorNativeWrite( RwStream* stream, s32, const void* object, s32, s32 ) {
	return _rpWorldSectorNativeWrite( stream, static_cast<const RpWorldSector*>( object ) );
}

s32 SectorNativeSize( const void* object, s32, s32 ) {
	return _rpWorldSectorNativeSize( static_cast<const RpWorldSector*>( object ) );
}

bool RegisterSectorStreams() {
	return RpWorldSectorRegisterPlugin( 0, rwID_BINMESHPLUGIN, nullptr, nullptr, nullptr ) >= 0 &&
		   RpWorldSectorRegisterPluginStream( rwID_BINMESHPLUGIN, SectorBinMeshRead, SectorBinMeshWrite,
											  SectorBinMeshSize ) >= 0 &&
		   RpWorldSectorRegisterPlugin( 0, rwID_NATIVEDATAPLUGIN, nullptr, nullptr, nullptr ) >= 0 &&
		   RpWorldSectorRegisterPluginStream( rwID_NATIVEDATAPLUGIN, SectorNativeRead, SectorNativeWrite,
											  SectorNativeSize ) >= 0;
}

bool RegisterRights() {
	return RpAtomicRegisterPlugin( 0, rwID_RIGHTSTORENDER, nullptr, nullptr, nullptr ) >= 0 &&
		   RpAtomicRegisterPluginStream( rwID_RIGHTSTORENDER, _rpReadAtomicRights, _rpWriteAtomicRights,
										 _rpSizeAtomicRights ) >= 0 &&
		   RpWorldRegisterPlugin( 0, rwID_RIGHTSTORENDER, nullptr, nullptr, nullptr ) >= 0 &&
		   RpWorldRegisterPluginStream( rwID_RIGHTSTORENDER, WorldRightsRead, WorldRightsWrite, WorldRightsSize ) >= 0 &&
		   RpWorldSectorRegisterPlugin( 0, rwID_RIGHTSTORENDER, nullptr, nullptr, nullptr ) >= 0 &&
		   RpWorldSectorRegisterPluginStream( rwID_RIGHTSTORENDER, SectorRightsRead, SectorRightsWrite,
											  SectorRightsSize ) >= 0;
}

// Adds or removes a clump's members.
RpAtomic* AddAtomicOf( RpAtomic* atomic, void* world ) {
	RpWorldAddAtomic( static_cast<RpWorld*>( world ), atomic );
	return atomic;
}

RpLight* AddLightOf( RpLight* light, void* world ) {
	RpWorldAddLight( static_cast<RpWorld*>( world ), light );
	return light;
}

RwCamera* AddCameraOf( RwCamera* camera, void* world ) {
	RpWorldAddCamera( static_cast<RpWorld*>( world ), camera );
	return camera;
}

RpAtomic* RemoveAtomicOf( RpAtomic* atomic, void* world ) {
	if ( RpAtomicGetWorld( atomic ) == world ) {
		RpWorldRemoveAtomic( static_cast<RpWorld*>( world ), atomic );
	}
	return atomic;
}

RpLight* RemoveLightOf( RpLight* light, void* world ) {
	if ( RpLightGetWorld( light ) == world ) {
		RpWorldRemoveLight( static_cast<RpWorld*>( world ), light );
	}
	return light;
}

RwCamera* RemoveCameraOf( RwCamera* camera, void* world ) {
	if ( RwCameraGetWorld( camera ) == world ) {
		RpWorldRemoveCamera( static_cast<RpWorld*>( world ), camera );
	}
	return camera;
}

}	// namespace

bool _rpWorldObjRegisterExtensions() {
	engineOffset.Set( RwEngineRegisterPlugin( static_cast<s32>( sizeof( RpWorldObjGlobals ) ), rwID_WORLDOBJPLUGIN,
											  WorldObjOpen, WorldObjClose ) );
	cameraOffset.Set( RwCameraRegisterPlugin( static_cast<s32>( sizeof( RpCameraWorldExt ) ), rwID_WORLDOBJPLUGIN,
											  CameraConstructor, CameraDestructor, CameraCopy ) );
	atomicOffset.Set( RpAtomicRegisterPlugin( static_cast<s32>( sizeof( RpAtomicWorldExt ) ), rwID_WORLDOBJPLUGIN,
											  AtomicConstructor, AtomicDestructor, nullptr ) );
	clumpOffset.Set( RpClumpRegisterPlugin( static_cast<s32>( sizeof( RpClumpWorldExt ) ), rwID_WORLDOBJPLUGIN,
											ClumpConstructor, ClumpDestructor, ClumpCopy ) );
	lightOffset.Set( RpLightRegisterPlugin( static_cast<s32>( sizeof( RpLightWorldExt ) ), rwID_WORLDOBJPLUGIN,
											LightConstructor, LightDestructor, LightCopy ) );
	if ( engineOffset.Get() < 0 || cameraOffset.Get() < 0 || atomicOffset.Get() < 0 || clumpOffset.Get() < 0 ||
		 lightOffset.Get() < 0 ) {
		return false;
	}
	return _rpGeometryRegisterStreams() && RegisterSectorStreams() && RegisterRights();
}

// Membership.

RpWorld* RpWorldAddCamera( RpWorld* world, RwCamera* camera ) {
	RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	if ( ext == nullptr || ext->world != nullptr ) {
		return nullptr;
	}
	RwFrame* const frame = static_cast<RwFrame*>( camera->object.object.parent );
	if ( frame != nullptr ) {
		RwFrameUpdateObjects( frame );
	}
	ext->world = world;
	LinkInWorlds( &RpWorldObjGlobals::camerasInWorlds, &ext->inWorldsLink );
	return world;
}

RpWorld* RpWorldRemoveCamera( RpWorld* world, RwCamera* camera ) {
	RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	if ( ext == nullptr || ext->world == nullptr || ext->world != world ) {
		return nullptr;
	}
	if ( ext->frustumSectors != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( ext->frustumSectors );
	}
	ext->frustumSectors = nullptr;
	ext->space = 0;
	ext->position = 0;
	ext->world = nullptr;
	UnlinkFromWorlds( &ext->inWorldsLink );
	return world;
}

RpWorld* RwCameraGetWorld( const RwCamera* camera ) {
	const RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	return ext != nullptr ? ext->world : nullptr;
}

RpWorld* RpWorldAddAtomic( RpWorld* world, RpAtomic* atomic ) {
	RpAtomicWorldExt* const ext = _rpAtomicWorldExt( atomic );
	if ( ext == nullptr || ext->world != nullptr ) {
		return nullptr;
	}
	RwFrame* const frame = RpAtomicGetFrame( atomic );
	if ( frame != nullptr ) {
		RwFrameUpdateObjects( frame );
	}
	ext->world = world;
	LinkInWorlds( &RpWorldObjGlobals::atomicsInWorlds, &ext->inWorldsLink );
	return world;
}

RpWorld* RpWorldRemoveAtomic( RpWorld* world, RpAtomic* atomic ) {
	RpAtomicWorldExt* const ext = _rpAtomicWorldExt( atomic );
	if ( ext == nullptr || ext->world == nullptr || ext->world != world ) {
		return nullptr;
	}
	if ( atomic->repEntry != nullptr ) {
		RwResourcesFreeResEntry( atomic->repEntry );
	}
	_rpAtomicDestroyTies( atomic );
	ext->world = nullptr;
	UnlinkFromWorlds( &ext->inWorldsLink );
	return world;
}

RpWorld* RpAtomicGetWorld( const RpAtomic* atomic ) {
	const RpAtomicWorldExt* const ext = _rpAtomicWorldExt( atomic );
	return ext != nullptr ? ext->world : nullptr;
}

RpAtomic* RpAtomicForAllWorldSectors( RpAtomic* atomic, const RpWorldSectorCallBack callBack, void* data ) {
	RwLinkList* const list = &atomic->llWorldSectorsInAtomic;
	RwLLLink* link = rwLinkListGetFirst( list );
	while ( link != rwLinkListGetTerminator( list ) ) {
		RwLLLink* const next = link->next;
		const RpTie* const tie = rwLLLinkGetData<RpTie>( link, offsetof( RpTie, lWorldSectorInAtomic ) );
		if ( callBack( tie->worldSector, data ) == nullptr ) {
			break;
		}
		link = next;
	}
	return atomic;
}

RpWorld* RpWorldAddClump( RpWorld* world, RpClump* clump ) {
	RpClumpWorldExt* const ext = _rpClumpWorldExt( clump );
	if ( ext == nullptr ) {
		return nullptr;
	}
	if ( ext->world != nullptr ) {
		ClumpError( RPWORLD_ERROR_CLUMP_IN_WORLD );
		return nullptr;
	}
	rwLinkListAddLLLink( &world->clumpList, &clump->inWorldLink );
	world->numClumpsInWorld++;
	ext->world = world;
	RpClumpForAllAtomics( clump, AddAtomicOf, world );
	RpClumpForAllLights( clump, AddLightOf, world );
	RpClumpForAllCameras( clump, AddCameraOf, world );
	RwFrame* const frame = RpClumpGetFrame( clump );
	if ( frame != nullptr ) {
		RwMatrixOptimize( &frame->modelling, nullptr );
		RwFrameUpdateObjects( frame );
	}
	return world;
}

RpWorld* RpWorldRemoveClump( RpWorld* world, RpClump* clump ) {
	RpClumpWorldExt* const ext = _rpClumpWorldExt( clump );
	if ( ext == nullptr ) {
		return nullptr;
	}
	// A clump in another world is not this world's to remove.
	if ( ext->world == nullptr || ext->world != world ) {
		ClumpError( RPWORLD_ERROR_CLUMP_NOT_IN_WORLD );
		return nullptr;
	}
	world->numClumpsInWorld--;
	if ( world->currentClumpLink == &clump->inWorldLink ) {
		world->currentClumpLink = clump->inWorldLink.next;
	}
	rwLinkListRemoveLLLink( &clump->inWorldLink );
	RpClumpForAllAtomics( clump, RemoveAtomicOf, world );
	RpClumpForAllLights( clump, RemoveLightOf, world );
	RpClumpForAllCameras( clump, RemoveCameraOf, world );
	ext->world = nullptr;
	return world;
}

RpWorld* RpClumpGetWorld( const RpClump* clump ) {
	const RpClumpWorldExt* const ext = _rpClumpWorldExt( clump );
	return ext != nullptr ? ext->world : nullptr;
}

RpWorld* RpWorldAddLight( RpWorld* world, RpLight* light ) {
	RpLightWorldExt* const ext = _rpLightWorldExt( light );
	if ( ext == nullptr || ext->world != nullptr ) {
		return nullptr;
	}
	ext->world = world;
	if ( light->object.object.subType < rpLIGHTPOINT ) {
		rwLinkListAddLLLink( &world->directionalLightList, &light->inWorld );
		return world;
	}
	RwFrame* const frame = static_cast<RwFrame*>( light->object.object.parent );
	if ( frame != nullptr ) {
		RwFrameUpdateObjects( frame );
	}
	rwLinkListAddLLLink( &world->lightList, &light->inWorld );
	return world;
}

RpWorld* RpWorldRemoveLight( RpWorld* world, RpLight* light ) {
	RpLightWorldExt* const ext = _rpLightWorldExt( light );
	if ( ext == nullptr || ext->world == nullptr || ext->world != world ) {
		return nullptr;
	}
	ext->world = nullptr;
	_rpLightDestroyTies( light );
	rwLinkListRemoveLLLink( &light->inWorld );
	return world;
}

RpWorld* RpLightGetWorld( const RpLight* light ) {
	const RpLightWorldExt* const ext = _rpLightWorldExt( light );
	return ext != nullptr ? ext->world : nullptr;
}

void _rpWorldObjLeaveWorld( RpWorld* world ) {
	RpWorldObjGlobals* const globals = _rpWorldObjGlobals();
	if ( globals == nullptr ) {
		return;
	}
	RwLinkList* const cameras = &globals->camerasInWorlds;
	for ( RwLLLink* link = rwLinkListGetFirst( cameras ); link != rwLinkListGetTerminator( cameras ); ) {
		RwLLLink* const next = link->next;
		RwCamera* const camera = rwLLLinkGetData<RwCamera>(
			link, static_cast<size_t>( cameraOffset.Get() ) + offsetof( RpCameraWorldExt, inWorldsLink ) );
		RpWorldRemoveCamera( world, camera );
		link = next;
	}
	RwLinkList* const atomics = &globals->atomicsInWorlds;
	for ( RwLLLink* link = rwLinkListGetFirst( atomics ); link != rwLinkListGetTerminator( atomics ); ) {
		RwLLLink* const next = link->next;
		RpAtomic* const atomic = rwLLLinkGetData<RpAtomic>(
			link, static_cast<size_t>( atomicOffset.Get() ) + offsetof( RpAtomicWorldExt, inWorldsLink ) );
		RpWorldRemoveAtomic( world, atomic );
		link = next;
	}
}

// Default pipelines.

RxPipeline* RpWorldSetDefaultSectorPipeline( RxPipeline* pipeline ) {
	_rxPipelineSetDefaultWorldSectorPipeline( pipeline != nullptr ? pipeline
																  : _rxPipelineGetPlatformWorldSectorPipeline() );
	return _rxPipelineGetDefaultWorldSectorPipeline();
}

RxPipeline* RpAtomicSetDefaultPipeline( RxPipeline* pipeline ) {
	_rxPipelineSetDefaultAtomicPipeline( pipeline != nullptr ? pipeline : _rxPipelineGetPlatformAtomicPipeline() );
	return _rxPipelineGetDefaultAtomicPipeline();
}

// The platform has no material pipelines.
bool _rpCreatePlatformMaterialPipelines() {
	return true;
}

void _rpDestroyPlatformMaterialPipelines() {}

namespace {

// The atomic and sector pipelines come with the device; a program without
// one has none.
bool CreateDevicePipelines() {
	return ( _rpCreatePlatformAtomicPipelines == nullptr || _rpCreatePlatformAtomicPipelines() ) &&
		   ( _rpCreatePlatformWorldSectorPipelines == nullptr || _rpCreatePlatformWorldSectorPipelines() );
}

void DestroyDevicePipelines() {
	if ( _rpDestroyPlatformWorldSectorPipelines != nullptr ) {
		_rpDestroyPlatformWorldSectorPipelines();
	}
	if ( _rpDestroyPlatformAtomicPipelines != nullptr ) {
		_rpDestroyPlatformAtomicPipelines();
	}
}

}	// namespace

bool _rpWorldPipelineOpen() {
	if ( _rpCreatePlatformMaterialPipelines() && CreateDevicePipelines() ) {
		return true;
	}
	DestroyDevicePipelines();
	_rpDestroyPlatformMaterialPipelines();
	return false;
}

void _rpWorldPipelineClose() {
	DestroyDevicePipelines();
	_rpDestroyPlatformMaterialPipelines();
}
