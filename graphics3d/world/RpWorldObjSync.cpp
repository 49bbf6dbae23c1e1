// Ties, the world objects' sync and camera-update functions, the frustum
// walk and the drawing of a visible sector's atomics.
#include "graphics3d/world/RpWorldObj.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"

#include <cmath>
#include <cstddef>

namespace {

// "Below" by the sign bit of the difference: -0.0 is below.
bool Below( const f32 a, const f32 b ) {
	return std::signbit( a - b );
}

f32 Component( const RwV3d& v, const s32 axisOffset ) {
	return ( &v.x )[axisOffset / 4];
}

// Calls tie with every atomic sector the box reaches: left when inf is below the left value, also right when sup is
// above the right value.
template< typename Tie >
void ForAllSectorsInBox( RpSector* root, const RwBBox& box, Tie&& tie ) {
	RpSector* stack[RPWORLD_MAX_TREE_DEPTH + 1];
	s32 top = 0;
	RpSector* sector = root;
	while ( sector != nullptr ) {
		if ( sector->type < 0 ) {
			tie( reinterpret_cast<RpWorldSector*>( sector ) );
			sector = top > 0 ? stack[--top] : nullptr;
			continue;
		}
		const RpPlaneSector* const plane = reinterpret_cast<const RpPlaneSector*>( sector );
		const bool goLeft = Below( Component( box.inf, plane->type ), plane->leftValue );
		const bool goRight = Below( plane->rightValue, Component( box.sup, plane->type ) );
		if ( goLeft ) {
			if ( goRight && top <= RPWORLD_MAX_TREE_DEPTH ) {
				stack[top++] = plane->rightSubTree;
			}
			sector = plane->leftSubTree;
		} else if ( goRight ) {
			sector = plane->rightSubTree;
		} else {
			sector = top > 0 ? stack[--top] : nullptr;
		}
	}
}

RwBBox SphereBox( const RwV3d& centre, const f32 radius ) {
	return { { centre.x + radius, centre.y + radius, centre.z + radius },
			 { centre.x - radius, centre.y - radius, centre.z - radius } };
}

void DestroyTie( RpTie* tie ) {
	if ( tie->apAtom != nullptr && tie->worldSector != nullptr ) {
		rwLinkListRemoveLLLink( &tie->lAtomicInWorldSector );
		rwLinkListRemoveLLLink( &tie->lWorldSectorInAtomic );
	}
	RpWorldObjGlobals* const globals = _rpWorldObjGlobals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->tieFreeList, tie );
	}
}

void DestroyLightTie( RpLightTie* tie ) {
	if ( tie->light != nullptr && tie->sect != nullptr ) {
		rwLinkListRemoveLLLink( &tie->lightInWorldSector );
		rwLinkListRemoveLLLink( &tie->WorldSectorInLight );
	}
	RpWorldObjGlobals* const globals = _rpWorldObjGlobals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->lightTieFreeList, tie );
	}
}

void TieAtomic( RpAtomic* atomic, const RpWorld* world ) {
	RpWorldObjGlobals* const globals = _rpWorldObjGlobals();
	if ( globals == nullptr ) {
		return;
	}
	const RwSphere* const sphere = RpAtomicGetWorldBoundingSphere( atomic );
	const RwBBox box = SphereBox( sphere->center, sphere->radius );
	ForAllSectorsInBox( world->rootSector, box, [atomic, globals]( RpWorldSector* sector ) {
		RpTie* const tie = static_cast<RpTie*>( RwEngineInstance->freeListAllocHook( globals->tieFreeList ) );
		if ( tie == nullptr ) {
			return;
		}
		tie->apAtom = atomic;
		tie->worldSector = sector;
		RwLinkList* const list = ( atomic->object.object.flags & rpATOMICCOLLISIONTEST )
									 ? &sector->collAtomicsInWorldSector
									 : &sector->noCollAtomicsInWorldSector;
		rwLinkListAddLLLink( list, &tie->lAtomicInWorldSector );
		rwLinkListAddLLLink( &atomic->llWorldSectorsInAtomic, &tie->lWorldSectorInAtomic );
	} );
}

void TieLight( RpLight* light, const RpWorld* world, const RwV3d& position ) {
	RpWorldObjGlobals* const globals = _rpWorldObjGlobals();
	if ( globals == nullptr ) {
		return;
	}
	const RwBBox box = SphereBox( position, light->radius );
	ForAllSectorsInBox( world->rootSector, box, [light, globals]( RpWorldSector* sector ) {
		RpLightTie* const tie =
			static_cast<RpLightTie*>( RwEngineInstance->freeListAllocHook( globals->lightTieFreeList ) );
		if ( tie == nullptr ) {
			return;
		}
		tie->light = light;
		tie->sect = sector;
		rwLinkListAddLLLink( &sector->lightsInWorldSector, &tie->lightInWorldSector );
		rwLinkListAddLLLink( &light->WorldSectorsInLight, &tie->WorldSectorInLight );
	} );
}

bool SectorInFrustum( const RwCamera* camera, const RwBBox& box ) {
	for ( const RwFrustumPlane& frustumPlane : camera->frustumPlanes ) {
		// The corner furthest behind the plane: 1 takes inf.
		const RwV3d corner = { frustumPlane.closestX ? box.inf.x : box.sup.x,
							   frustumPlane.closestY ? box.inf.y : box.sup.y,
							   frustumPlane.closestZ ? box.inf.z : box.sup.z };
		const RwV3d& normal = frustumPlane.plane.normal;
		const f32 distance = normal.x * corner.x + normal.y * corner.y + normal.z * corner.z - frustumPlane.plane.distance;
		if ( distance > 0.0f ) {
			return false;
		}
	}
	return true;
}

// Appends a visible sector; false when the array cannot grow.
bool AppendSector( RpCameraWorldExt* ext, RpWorldSector* sector ) {
	if ( ext->position >= ext->space ) {
		const s32 space = ext->space + RPWORLD_FRUSTUM_SECTORS_GROWTH;
		const u32 bytes = static_cast<u32>( space ) * static_cast<u32>( sizeof( RpWorldSector* ) );
		const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
		RpWorldSector** const grown = static_cast<RpWorldSector**>(
			ext->frustumSectors != nullptr ? memory.rwrealloc( ext->frustumSectors, bytes ) : memory.rwmalloc( bytes ) );
		if ( grown == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
			return false;
		}
		ext->frustumSectors = grown;
		ext->space = space;
	}
	ext->frustumSectors[ext->position++] = sector;
	return true;
}

void BuildFrustumSectors( RwCamera* camera, RpCameraWorldExt* ext ) {
	const RpWorld* const world = ext->world;
	const RwBBox& box = camera->frustumBoundBox;
	RwFrame* const frame = static_cast<RwFrame*>( camera->object.object.parent );
	const RwV3d position = frame != nullptr ? RwFrameGetLTM( frame )->pos : RwV3d{ 0.0f, 0.0f, 0.0f };
	ext->position = 0;
	RpSector* stack[RPWORLD_MAX_TREE_DEPTH + 1];
	s32 top = 0;
	RpSector* sector = world->rootSector;
	while ( sector != nullptr ) {
		if ( sector->type < 0 ) {
			RpWorldSector* const atomicSector = reinterpret_cast<RpWorldSector*>( sector );
			if ( SectorInFrustum( camera, atomicSector->boundingBox ) && !AppendSector( ext, atomicSector ) ) {
				return;
			}
			sector = top > 0 ? stack[--top] : nullptr;
			continue;
		}
		const RpPlaneSector* const plane = reinterpret_cast<const RpPlaneSector*>( sector );
		const bool left = Below( Component( box.inf, plane->type ), plane->leftValue );
		const bool right = Below( plane->rightValue, Component( box.sup, plane->type ) );
		if ( left && right ) {
			const bool cameraOnLeft = Below( Component( position, plane->type ), plane->value );
			// Render order 2 visits the side away from the camera first.
			const bool farFirst = world->renderOrder == rpWORLDRENDERBACK2FRONT;
			const bool leftFirst = farFirst ? !cameraOnLeft : cameraOnLeft;
			if ( top <= RPWORLD_MAX_TREE_DEPTH ) {
				stack[top++] = leftFirst ? plane->rightSubTree : plane->leftSubTree;
			}
			sector = leftFirst ? plane->leftSubTree : plane->rightSubTree;
		} else {
			sector = left ? plane->leftSubTree : plane->rightSubTree;
		}
	}
}

void RenderTiedAtomics( RwLinkList* list, const RwCamera* camera, const u16 frame ) {
	RwLLLink* link = rwLinkListGetFirst( list );
	while ( link != rwLinkListGetTerminator( list ) ) {
		RwLLLink* const next = link->next;
		RpAtomic* const atomic = rwLLLinkGetData<RpTie>( link, offsetof( RpTie, lAtomicInWorldSector ) )->apAtom;
		if ( ( atomic->object.object.flags & rpATOMICRENDER ) && atomic->renderFrame != frame ) {
			const RwSphere* const sphere = RpAtomicGetWorldBoundingSphere( atomic );
			if ( RwCameraFrustumTestSphere( camera, sphere ) != rwSPHEREOUTSIDE ) {
				atomic->renderCallBack( atomic );
			}
			atomic->renderFrame = frame;
		}
		link = next;
	}
}

}	// namespace

void _rpAtomicDestroyTies( RpAtomic* atomic ) {
	RwLinkList* const list = &atomic->llWorldSectorsInAtomic;
	while ( !rwLinkListEmpty( list ) ) {
		DestroyTie( rwLLLinkGetData<RpTie>( rwLinkListGetFirst( list ), offsetof( RpTie, lWorldSectorInAtomic ) ) );
	}
}

void _rpLightDestroyTies( RpLight* light ) {
	RwLinkList* const list = &light->WorldSectorsInLight;
	while ( !rwLinkListEmpty( list ) ) {
		DestroyLightTie( rwLLLinkGetData<RpLightTie>( rwLinkListGetFirst( list ), offsetof( RpLightTie, WorldSectorInLight ) ) );
	}
}

void _rpWorldSectorDestroyTies( RpWorldSector* sector ) {
	RwLinkList* const atomicLists[] = { &sector->collAtomicsInWorldSector, &sector->noCollAtomicsInWorldSector };
	for ( RwLinkList* const list : atomicLists ) {
		while ( list->link.next != nullptr && !rwLinkListEmpty( list ) ) {
			DestroyTie( rwLLLinkGetData<RpTie>( rwLinkListGetFirst( list ), offsetof( RpTie, lAtomicInWorldSector ) ) );
		}
	}
	RwLinkList* const lights = &sector->lightsInWorldSector;
	while ( lights->link.next != nullptr && !rwLinkListEmpty( lights ) ) {
		DestroyLightTie( rwLLLinkGetData<RpLightTie>( rwLinkListGetFirst( lights ), offsetof( RpLightTie, lightInWorldSector ) ) );
	}
}

RwObjectHasFrame* _rpWorldObjAtomicSync( RwObjectHasFrame* object ) {
	RpAtomic* const atomic = reinterpret_cast<RpAtomic*>( object );
	const RpAtomicWorldExt* const ext = _rpAtomicWorldExt( atomic );
	if ( ext->oldSync( object ) == nullptr ) {
		return nullptr;
	}
	if ( ext->world != nullptr ) {
		_rpAtomicDestroyTies( atomic );
		TieAtomic( atomic, ext->world );
	}
	return object;
}

RwObjectHasFrame* _rpWorldObjLightSync( RwObjectHasFrame* object ) {
	RpLight* const light = reinterpret_cast<RpLight*>( object );
	const RpLightWorldExt* const ext = _rpLightWorldExt( light );
	if ( ext->oldSync( object ) == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
		return nullptr;
	}
	RwFrame* const frame = static_cast<RwFrame*>( light->object.object.parent );
	if ( light->object.object.subType < rpLIGHTPOINT || ext->world == nullptr || frame == nullptr ) {
		return object;
	}
	_rpLightDestroyTies( light );
	TieLight( light, ext->world, RwFrameGetLTM( frame )->pos );
	return object;
}

RwObjectHasFrame* _rpWorldObjCameraSync( RwObjectHasFrame* object ) {
	RwCamera* const camera = reinterpret_cast<RwCamera*>( object );
	RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	if ( ext->oldSync( object ) == nullptr ) {
		return nullptr;
	}
	if ( ext->world != nullptr ) {
		BuildFrustumSectors( camera, ext );
	}
	return object;
}

RwCamera* _rpWorldObjCameraBeginUpdate( RwCamera* camera ) {
	const RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	RwEngineInstance->currentWorld = ext->world;
	RwEngineInstance->renderFrame++;
	return ext->oldBeginUpdate( camera );
}

RwCamera* _rpWorldObjCameraEndUpdate( RwCamera* camera ) {
	const RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	RwEngineInstance->currentWorld = nullptr;
	return ext->oldEndUpdate( camera );
}

RwCamera* RwCameraForAllSectorsInFrustum( RwCamera* camera, const RpWorldSectorCallBack callBack, void* data ) {
	const RpCameraWorldExt* const ext = _rpCameraWorldExt( camera );
	for ( s32 i = 0; ext != nullptr && i < ext->position; i++ ) {
		if ( callBack( ext->frustumSectors[i], data ) == nullptr ) {
			break;
		}
	}
	return camera;
}

RpWorldSector* _rpWorldSectorRenderAtomics( RpWorldSector* sector ) {
	const RwCamera* const camera = RwEngineInstance->currentCamera;
	if ( camera == nullptr ) {
		return sector;
	}
	const u16 frame = RwEngineInstance->renderFrame;
	RenderTiedAtomics( &sector->collAtomicsInWorldSector, camera, frame );
	RenderTiedAtomics( &sector->noCollAtomicsInWorldSector, camera, frame );
	return sector;
}
