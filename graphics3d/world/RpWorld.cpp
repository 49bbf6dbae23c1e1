#include "graphics3d/world/RpWorld.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorldObj.h"
#include "graphics3d/world/RpWorldPlugin.h"

#include <cstddef>
#include <cstring>

RwPluginRegistry	worldTKList = { static_cast<s32>( sizeof( RpWorld ) ), static_cast<s32>( sizeof( RpWorld ) ), 0, 0,
									nullptr, nullptr };
RwPluginRegistry	sectorTKList = { static_cast<s32>( sizeof( RpWorldSector ) ),
									 static_cast<s32>( sizeof( RpWorldSector ) ), 0, 0, nullptr, nullptr };

// Record of the registered-world free list while the module is open.
static RwFreeList worldRegFreeListRecord;

namespace {

RpWorldGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( worldModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RpWorldGlobals>( instance, worldModule.globalsOffset );
}

void* Allocate( const u64 bytes ) {
	void* const block = bytes <= 0xFFFFFFFFu ? RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) : nullptr;
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
	}
	return block;
}

bool IsAtomic( const RpSector* sector ) {
	return sector->type < 0;
}

// Calls visit with every atomic sector, left subtree before right, until
// it returns false; false then.
template< typename Visit >
bool ForEachAtomicSector( RpSector* root, Visit&& visit ) {
	RpSector* stack[RPWORLD_MAX_TREE_DEPTH + 1];
	s32 top = 0;
	RpSector* sector = root;
	while ( sector != nullptr ) {
		if ( IsAtomic( sector ) ) {
			if ( !visit( reinterpret_cast<RpWorldSector*>( sector ) ) ) {
				return false;
			}
			sector = top > 0 ? stack[--top] : nullptr;
			continue;
		}
		const RpPlaneSector* const plane = reinterpret_cast<const RpPlaneSector*>( sector );
		if ( top <= RPWORLD_MAX_TREE_DEPTH ) {
			stack[top++] = plane->rightSubTree;
		}
		sector = plane->leftSubTree;
	}
	return true;
}

// Frees a created world's sectors; each holds nothing but itself.
void DestroySectorsRecursive( RpSector* sector ) {
	if ( sector == nullptr ) {
		return;
	}
	if ( !IsAtomic( sector ) ) {
		RpPlaneSector* const plane = reinterpret_cast<RpPlaneSector*>( sector );
		DestroySectorsRecursive( plane->leftSubTree );
		DestroySectorsRecursive( plane->rightSubTree );
	} else {
		_rpWorldSectorRelease( reinterpret_cast<RpWorldSector*>( sector ) );
	}
	RwEngineInstance->memoryFunctions.rwfree( sector );
}

void SetupBoxes( RpSector* sector, const RwBBox& box ) {
	// Iterative, the explicit stack holding the pending right subtrees
	// with their boxes.
	struct Pending {
		RpSector*	sector;
		RwBBox		box;
	};
	Pending stack[RPWORLD_MAX_TREE_DEPTH + 1];
	s32 top = 0;
	RwBBox current = box;
	while ( sector != nullptr ) {
		if ( IsAtomic( sector ) ) {
			reinterpret_cast<RpWorldSector*>( sector )->boundingBox = current;
			if ( top == 0 ) {
				break;
			}
			top--;
			sector = stack[top].sector;
			current = stack[top].box;
			continue;
		}
		const RpPlaneSector* const plane = reinterpret_cast<const RpPlaneSector*>( sector );
		const s32 axis = plane->type / 4;
		RwBBox right = current;
		( &right.inf.x )[axis] = plane->rightValue;
		if ( top <= RPWORLD_MAX_TREE_DEPTH ) {
			stack[top++] = { plane->rightSubTree, right };
		}
		( &current.sup.x )[axis] = plane->leftValue;
		sector = plane->leftSubTree;
	}
}

RpWorldSector* RenderSectorStep( RpWorldSector* sector, void* ) {
	if ( RpWorldSectorRender( sector ) != nullptr ) {
		_rpWorldSectorRenderAtomics( sector );
	}
	return sector;
}

}	// namespace

bool _rpWorldRegisterWorld( RpWorld* world, const u32 size ) {
	RpWorldGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return false;
	}
	RpWorldRegEntry* const entry =
		static_cast<RpWorldRegEntry*>( RwEngineInstance->freeListAllocHook( globals->worldRegFreeList ) );
	if ( entry == nullptr ) {
		return false;
	}
	entry->world = world;
	entry->size = size;
	rwLinkListAddLLLink( &globals->worldRegList, &entry->link );
	return true;
}

void _rpWorldUnregisterWorld( const RpWorld* world ) {
	RpWorldGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return;
	}
	RwLinkList* const list = &globals->worldRegList;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		RpWorldRegEntry* const entry = rwLLLinkGetData<RpWorldRegEntry>( link, offsetof( RpWorldRegEntry, link ) );
		if ( entry->world == world ) {
			rwLinkListRemoveLLLink( link );
			RwEngineInstance->freeListFreeHook( globals->worldRegFreeList, entry );
			return;
		}
	}
}

RpWorld* RpWorldCreate( const RwBBox* boundingBox ) {
	RpWorld* const world = static_cast<RpWorld*>( Allocate( static_cast<u64>( worldTKList.sizeOfStruct ) ) );
	if ( world == nullptr ) {
		return nullptr;
	}
	RpWorldSector* const sector = static_cast<RpWorldSector*>( Allocate( static_cast<u64>( sectorTKList.sizeOfStruct ) ) );
	if ( sector == nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( world );
		return nullptr;
	}
	std::memset( world, 0, static_cast<size_t>( worldTKList.sizeOfStruct ) );
	std::memset( sector, 0, static_cast<size_t>( sectorTKList.sizeOfStruct ) );
	world->object = { rpWORLD, 0, 0, 0, nullptr };
	world->renderOrder = rpWORLDRENDERBACK2FRONT;
	_rpMaterialListInitialize( &world->matList );
	world->rootSector = reinterpret_cast<RpSector*>( sector );
	rwLinkListInitialize( &world->clumpList );
	rwLinkListInitialize( &world->lightList );
	rwLinkListInitialize( &world->directionalLightList );
	world->boundingBox = *boundingBox;
	world->renderCallBack = _rpWorldSectorDefaultRenderCallBack;
	sector->type = rpWORLDSECTOR_ATOMIC;
	rwLinkListInitialize( &sector->collAtomicsInWorldSector );
	rwLinkListInitialize( &sector->noCollAtomicsInWorldSector );
	rwLinkListInitialize( &sector->lightsInWorldSector );
	sector->boundingBox = *boundingBox;
	sector->tightBoundingBox = *boundingBox;
	if ( !_rpWorldRegisterWorld( world, 0 ) ) {
		RwEngineInstance->memoryFunctions.rwfree( sector );
		RwEngineInstance->memoryFunctions.rwfree( world );
		return nullptr;
	}
	if ( _rwPluginRegistryInitObject( &worldTKList, world ) == nullptr ) {
		_rpWorldUnregisterWorld( world );
		RwEngineInstance->memoryFunctions.rwfree( sector );
		RwEngineInstance->memoryFunctions.rwfree( world );
		return nullptr;
	}
	if ( _rwPluginRegistryInitObject( &sectorTKList, sector ) == nullptr ) {
		world->rootSector = nullptr;
		RwEngineInstance->memoryFunctions.rwfree( sector );
		RpWorldDestroy( world );
		return nullptr;
	}
	if ( RpWorldUnlock( world ) == nullptr ) {
		RpWorldDestroy( world );
		return nullptr;
	}
	return world;
}

void _rpWorldSectorRelease( RpWorldSector* sector ) {
	_rpWorldSectorDestroyTies( sector );
	if ( sector->repEntry != nullptr ) {
		RwResourcesFreeResEntry( sector->repEntry );
		sector->repEntry = nullptr;
	}
	_rwPluginRegistryDeInitObject( &sectorTKList, sector );
}

bool RpWorldDestroy( RpWorld* world ) {
	if ( world == nullptr ) {
		return true;
	}
	// Nothing may keep pointing at the freed world: its clumps, lights,
	// cameras and atomics leave it and stay alive.
	while ( !rwLinkListEmpty( &world->clumpList ) ) {
		RpClump* const clump = rwLLLinkGetData<RpClump>( rwLinkListGetFirst( &world->clumpList ), offsetof( RpClump, inWorldLink ) );
		RpWorldRemoveClump( world, clump );
	}
	RwLinkList* const lightLists[] = { &world->directionalLightList, &world->lightList };
	for ( RwLinkList* const list : lightLists ) {
		while ( !rwLinkListEmpty( list ) ) {
			RpWorldRemoveLight( world, rwLLLinkGetData<RpLight>( rwLinkListGetFirst( list ), offsetof( RpLight, inWorld ) ) );
		}
	}
	_rpWorldObjLeaveWorld( world );
	if ( RwEngineInstance->currentWorld == world ) {
		RwEngineInstance->currentWorld = nullptr;
	}
	_rpWorldUnregisterWorld( world );
	if ( world->rootSector != nullptr ) {
		ForEachAtomicSector( world->rootSector, []( RpWorldSector* sector ) {
			if ( sector->mesh != nullptr ) {
				_rpMeshDestroy( sector->mesh );
				sector->mesh = nullptr;
			}
			return true;
		} );
	}
	_rpMaterialListDeinitialize( &world->matList );
	if ( world->object.privateFlags & rpWORLDSINGLEMALLOC ) {
		if ( world->rootSector != nullptr ) {
			ForEachAtomicSector( world->rootSector, []( RpWorldSector* sector ) {
				_rpWorldSectorRelease( sector );
				return true;
			} );
		}
	} else {
		DestroySectorsRecursive( world->rootSector );
	}
	world->rootSector = nullptr;
	_rwPluginRegistryDeInitObject( &worldTKList, world );
	RwEngineInstance->memoryFunctions.rwfree( world );
	return true;
}

RpWorldSector* _rpWorldSectorBuildMeshes( const RpWorld* world, RpWorldSector* sector ) {
	// A native sector counts triangles it keeps no copy of: no meshes.
	const u32 numTriangles = sector->triangles != nullptr ? sector->numTriangles : 0;
	RpBuildMesh* const buildMesh = _rpBuildMeshCreate( numTriangles );
	if ( buildMesh == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < numTriangles; i++ ) {
		const RpSectorTriangle& triangle = sector->triangles[i];
		RpMaterial* const material =
			_rpMaterialListGetMaterial( &world->matList, sector->matListWindowBase + triangle.matIndex );
		if ( _rpBuildMeshAddTriangle( buildMesh, material, triangle.vertIndex[0], triangle.vertIndex[1],
									  triangle.vertIndex[2] ) == nullptr ) {
			_rpBuildMeshDestroy( buildMesh );
			return nullptr;
		}
	}
	const u32 flags = ( world->flags & rpGEOMETRYTRISTRIP ) ? rpMESHOPTIMISETRISTRIP : 0;
	sector->mesh = _rpMeshOptimise( buildMesh, flags );
	if ( sector->mesh == nullptr ) {
		_rpBuildMeshDestroy( buildMesh );
		return nullptr;
	}
	return sector;
}

RpWorld* RpWorldUnlock( RpWorld* world ) {
	const bool built = ForEachAtomicSector( world->rootSector, [world]( RpWorldSector* sector ) {
		return sector->mesh != nullptr || _rpWorldSectorBuildMeshes( world, sector ) != nullptr;
	} );
	return built ? world : nullptr;
}

RpWorldSector* _rpWorldSectorDefaultRenderCallBack( RpWorldSector* sector ) {
	if ( sector->numTriangles == 0 ) {
		return sector;
	}
	RxPipeline* pipeline = sector->pipeline;
	if ( pipeline == nullptr ) {
		const RpWorld* const world = RwEngineInstance->currentWorld;
		pipeline = world != nullptr ? world->pipeline : nullptr;
	}
	if ( pipeline == nullptr ) {
		pipeline = _rxPipelineGetDefaultWorldSectorPipeline();
	}
	if ( pipeline == nullptr ) {
		return nullptr;
	}
	return RxPipelineExecute( pipeline, sector, true ) != nullptr ? sector : nullptr;
}

RpWorldSector* RpWorldSectorRender( RpWorldSector* sector ) {
	const RpWorld* const world = RwEngineInstance->currentWorld;
	if ( world == nullptr ) {
		return nullptr;
	}
	return world->renderCallBack( sector );
}

RpWorld* RpWorldRender( RpWorld* world ) {
	RwCamera* const camera = RwEngineInstance->currentCamera;
	// Outside a camera update there is no frustum to walk.
	if ( camera == nullptr ) {
		return world;
	}
	RwCameraForAllSectorsInFrustum( camera, RenderSectorStep, nullptr );
	return world;
}

RpWorld* RpWorldSetSectorRenderCallBack( RpWorld* world, const RpWorldSectorCallBackRender callBack ) {
	world->renderCallBack = callBack != nullptr ? callBack : _rpWorldSectorDefaultRenderCallBack;
	return world;
}

RpWorldSectorCallBackRender RpWorldGetSectorRenderCallBack( const RpWorld* world ) {
	return world->renderCallBack;
}

RpWorld* RpWorldForAllClumps( RpWorld* world, const RpClumpCallBack callBack, void* data ) {
	RwLinkList* const list = &world->clumpList;
	RwLLLink* link = rwLinkListGetFirst( list );
	while ( link != rwLinkListGetTerminator( list ) ) {
		RwLLLink* const next = link->next;
		if ( callBack( rwLLLinkGetData<RpClump>( link, offsetof( RpClump, inWorldLink ) ), data ) == nullptr ) {
			break;
		}
		link = next;
	}
	return world;
}

RpWorld* RpWorldForAllMaterials( RpWorld* world, const RpMaterialCallBack callBack, void* data ) {
	for ( s32 i = 0; i < world->matList.numMaterials; i++ ) {
		if ( callBack( world->matList.materials[i], data ) == nullptr ) {
			break;
		}
	}
	return world;
}

RpWorld* RpWorldForAllLights( RpWorld* world, const RpLightCallBack callBack, void* data ) {
	RwLinkList* const lists[] = { &world->directionalLightList, &world->lightList };
	for ( RwLinkList* const list : lists ) {
		RwLLLink* link = rwLinkListGetFirst( list );
		while ( link != rwLinkListGetTerminator( list ) ) {
			RwLLLink* const next = link->next;
			if ( callBack( rwLLLinkGetData<RpLight>( link, offsetof( RpLight, inWorld ) ), data ) == nullptr ) {
				return world;
			}
			link = next;
		}
	}
	return world;
}

RpWorld* RpWorldForAllWorldSectors( RpWorld* world, const RpWorldSectorCallBack callBack, void* data ) {
	ForEachAtomicSector( world->rootSector,
						 [callBack, data]( RpWorldSector* sector ) { return callBack( sector, data ) != nullptr; } );
	return world;
}

RpWorld* RpWorldSectorGetWorld( const RpWorldSector* sector ) {
	RpWorldGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwLinkList* const list = &globals->worldRegList;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		const RpWorldRegEntry* const entry = rwLLLinkGetData<RpWorldRegEntry>( link, offsetof( RpWorldRegEntry, link ) );
		RpWorld* const world = entry->world;
		if ( world->object.privateFlags & rpWORLDSINGLEMALLOC ) {
			const u8* const begin = reinterpret_cast<const u8*>( world );
			const u8* const at = reinterpret_cast<const u8*>( sector );
			if ( at >= begin && at < begin + entry->size ) {
				return world;
			}
			continue;
		}
		const bool found = !ForEachAtomicSector( world->rootSector, [sector]( RpWorldSector* candidate ) {
			return candidate != sector;
		} );
		if ( found ) {
			return world;
		}
	}
	return nullptr;
}

void _rpWorldUntieAll() {
	RpWorldGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return;
	}
	RwLinkList* const list = &globals->worldRegList;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		const RpWorldRegEntry* const entry = rwLLLinkGetData<RpWorldRegEntry>( link, offsetof( RpWorldRegEntry, link ) );
		ForEachAtomicSector( entry->world->rootSector, []( RpWorldSector* sector ) {
			_rpWorldSectorDestroyTies( sector );
			return true;
		} );
	}
}

s32 RpWorldSectorGetNumVertices( const RpWorldSector* sector ) {
	return sector->numVertices;
}

u32 RpWorldGetNumClumps( const RpWorld* world ) {
	return static_cast<u32>( world->numClumpsInWorld );
}

void _rpWorldSetupSectorBoundingBoxes( RpWorld* world ) {
	SetupBoxes( world->rootSector, world->boundingBox );
}

RwBBox* _rpWorldFindBBox( RpWorld* world, RwBBox* box ) {
	bool first = true;
	ForEachAtomicSector( world->rootSector, [box, &first]( RpWorldSector* sector ) {
		if ( first ) {
			RwBBoxInitialize( box, &sector->tightBoundingBox.inf );
			first = false;
		} else {
			RwBBoxAddPoint( box, &sector->tightBoundingBox.inf );
		}
		RwBBoxAddPoint( box, &sector->tightBoundingBox.sup );
		return true;
	} );
	return box;
}

s32 RpWorldRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
						   const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &worldTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RpWorldRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
								 const RwPluginDataChunkWriteCallBack writeCB,
								 const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &worldTKList, pluginID, readCB, writeCB, getSizeCB );
}

s32 RpWorldSectorRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
								 const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &sectorTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RpWorldSectorRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
									   const RwPluginDataChunkWriteCallBack writeCB,
									   const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &sectorTKList, pluginID, readCB, writeCB, getSizeCB );
}

s32 RpWorldSetStreamRightsCallBack( const u32 pluginID, const RwPluginDataChunkRightsCallBack rightsCB ) {
	return _rwPluginRegistryAddPlgnStrmRightsCB( &worldTKList, pluginID, rightsCB );
}

s32 RpWorldSectorSetStreamRightsCallBack( const u32 pluginID, const RwPluginDataChunkRightsCallBack rightsCB ) {
	return _rwPluginRegistryAddPlgnStrmRightsCB( &sectorTKList, pluginID, rightsCB );
}

void* _rpWorldOpen( void* instance, const s32 offset, s32 ) {
	if ( !_rpWorldPipelineOpen() ) {
		return nullptr;
	}
	RpWorldGlobals* const globals = RwPluginData<RpWorldGlobals>( instance, offset );
	globals->worldRegFreeList = RwFreeListCreateAndPreallocateSpace(
		static_cast<s32>( sizeof( RpWorldRegEntry ) ), RPWORLD_REGISTERED_PER_BLOCK, 0, 1, &worldRegFreeListRecord );
	if ( globals->worldRegFreeList == nullptr ) {
		_rpWorldPipelineClose();
		return nullptr;
	}
	rwLinkListInitialize( &globals->worldRegList );
	worldModule.globalsOffset = offset;
	worldModule.numInstances++;
	return instance;
}

void* _rpWorldClose( void* instance, const s32 offset, s32 ) {
	RpWorldGlobals* const globals = RwPluginData<RpWorldGlobals>( instance, offset );
	if ( globals->worldRegFreeList != nullptr ) {
		RwFreeListDestroy( globals->worldRegFreeList );
		globals->worldRegFreeList = nullptr;
		_rpWorldPipelineClose();
	}
	if ( worldModule.numInstances > 0 ) {
		worldModule.numInstances--;
	}
	return instance;
}
