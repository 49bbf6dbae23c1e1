#include "graphics3d/gamecube/RxGCPipelines.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/core/RxPipelineUnlock.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwGCLights.h"
#include "graphics3d/gamecube/RxGCAllInOne.h"
#include "graphics3d/gamecube/RxGCDefaults.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorldObj.h"

#include <cstddef>
#include "platform/gx/GX.h"
#include "platform/os/OS.h"

namespace {

// Pipelines of the world plug-in.
const u32 WORLD_PLUGIN_ID		= 2;
// Locked bits of the arrays an instance holds.
const u16 LOCK_POSITIONS		= 0x02;
const u16 LOCK_NORMALS			= 0x04;
const u16 LOCK_PRELIGHT			= 0x08;
const u16 LOCK_TEXCOORDS0		= 0x10;
// The interpolator's position changed since the last morph update.
const s32 INTERPOLATOR_DIRTY	= 0x01;
// Light flags: lights atomics, lights the world.
const u32 LIGHT_ATOMICS			= 0x01;
const u32 LIGHT_WORLD			= 0x02;

RxNodeDefinition sectorAllInOne = {
	"GamerCubeWorldSectorAllInOne.csl", _rxGCWorldSectorAllInOneNode, nullptr, nullptr,
	_rxGCWorldSectorAllInOnePipelineInit, nullptr, nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr,
	static_cast<u32>( sizeof( RxGCAtomicNodeData ) ), rxNODEDEFCONST, 0, 0
};

RxGCAtomicNodeData* Data( RxPipelineNode* node ) {
	return static_cast<RxGCAtomicNodeData*>( node->privateData );
}

// Runs a callback when there is one: false when it does not return the
// object.
bool Run( const RxGCInstanceCallBack callBack, void* object, RxGCInstanceContext* context ) {
	return callBack == nullptr || callBack( object, context ) == object;
}

bool Light( const RxGCLightingCallBack callBack, void* object, RxGCLightingState* lighting ) {
	return callBack == nullptr || callBack( object, lighting ) == object;
}

// An instance whose mesh serial is out of date goes; null when it went
// or there was none.
RwResEntry* CurrentEntry( RwResEntry* entry, const RpMeshHeader* mesh ) {
	if ( entry != nullptr && _rxGCInstanceHeader( entry )->serialNum != mesh->serialNum ) {
		RwResourcesFreeResEntry( entry );
		return nullptr;
	}
	return entry;
}

// Entries outside the arena have no links and stay where they are.
void MarkUsed( RwResEntry* entry ) {
	if ( entry->link.next != nullptr ) {
		RwResourcesUseResEntry( entry );
	}
}

bool LightAndRender( void* object, RxGCInstanceContext* context, RxGCAtomicNodeData* data ) {
	return Light( data->lightingCallBack, object, &context->lighting ) &&
		   Run( data->renderCallBack, object, context );
}

void ResetLighting( RxGCLightingState* lighting ) {
	*lighting = {};
	lighting->ambientAlpha = 1.0f;
}

void ClampAmbient( RxGCLightingState* lighting ) {
	if ( lighting->ambientPresent != 0 ) {
		lighting->ambientRed = lighting->ambientRed > 1.0f ? 1.0f : lighting->ambientRed;
		lighting->ambientGreen = lighting->ambientGreen > 1.0f ? 1.0f : lighting->ambientGreen;
		lighting->ambientBlue = lighting->ambientBlue > 1.0f ? 1.0f : lighting->ambientBlue;
	}
}

bool CreatePipeline( RxNodeDefinition* definition, void ( *store )( RxPipeline* ) ) {
	RxPipeline* const pipeline = _rxGCCreateOneNodePipeline( definition, WORLD_PLUGIN_ID );
	if ( pipeline == nullptr ) {
		return false;
	}
	store( pipeline );
	return true;
}

}	// namespace

RxPipeline* _rxGCCreateOneNodePipeline( RxNodeDefinition* definition, const u32 pluginId ) {
	RxPipeline* const pipeline = RxPipelineCreate();
	if ( pipeline == nullptr ) {
		return nullptr;
	}
	pipeline->pluginId = pluginId;
	RxPipeline* const locked = RxPipelineLock( pipeline );
	if ( locked == nullptr || RxLockedPipeAddFragment( locked, nullptr, definition ) == nullptr ||
		 RxLockedPipeUnlock( locked ) == nullptr ) {
		_rxPipelineDestroy( pipeline );
		return nullptr;
	}
	return pipeline;
}

RxGCInstanceSource _rxGCAtomicInstanceSource( RpAtomic* atomic ) {
	RpGeometry* const geometry = atomic->geometry;
	const bool shared = geometry->numMorphTargets == 1;
	RxGCInstanceSource source = {};
	source.owner = shared ? static_cast<void*>( geometry ) : static_cast<void*>( atomic );
	source.ownerRef = shared ? &geometry->repEntry : &atomic->repEntry;
	source.format = RpGameCubeGeometryGetVtxFmt( geometry );
	source.geometry = geometry;
	source.numVertices = geometry->numVertices;
	source.numTexCoordSets = geometry->numTexCoordSets;
	source.heap = ( geometry->flags & rpGEOMETRYHEAPINSTANCE ) != 0;
	return source;
}

RxNodeDefinition* RxNodeDefinitionGetGameCubeWorldSectorAllInOne() {
	return &sectorAllInOne;
}

bool _rxGCAtomicAllInOnePipelineInit( RxPipelineNode* node ) {
	*Data( node ) = { _rxGCAtomicDefaultInstanceCallback, _rxGCAtomicDefaultReinstanceCallback,
					  _rxGCAtomicDefaultLightingCallback, _rxGCDefaultRenderCallback, 0 };
	return true;
}

bool _rxGCWorldSectorAllInOnePipelineInit( RxPipelineNode* node ) {
	*Data( node ) = { _rxGCWorldSectorDefaultInstanceCallback, nullptr, _rxGCWorldSectorDefaultLightingCallback,
					  _rxGCDefaultRenderCallback, 0 };
	return true;
}

bool _rxGCAtomicAllInOneNode( RxPipelineNode* node, const RxPipelineNodeParam* params ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( params->dataParam );
	RpGeometry* const geometry = atomic->geometry;
	RxGCAtomicNodeData* const data = Data( node );
	RxGCInstanceContext context = {};
	context.privateData = data;
	if ( geometry == nullptr ) {
		return true;
	}
	if ( ( geometry->flags & rpGEOMETRYNATIVE ) != 0 ) {
		if ( geometry->repEntry == nullptr || geometry->mesh == nullptr ) {
			return true;
		}
		context.entry = geometry->repEntry;
		context.mesh = geometry->mesh;
		context.flags = geometry->flags;
		if ( !Run( data->reinstanceCallBack, atomic, &context ) ) {
			return false;
		}
		return LightAndRender( atomic, &context, data );
	}
	if ( geometry->numVertices == 0 || geometry->mesh == nullptr || geometry->mesh->numMeshes == 0 ) {
		return true;
	}
	RwResEntry*& owned = geometry->numMorphTargets == 1 ? geometry->repEntry : atomic->repEntry;
	context.mesh = geometry->mesh;
	context.flags = geometry->flags;
	context.entry = CurrentEntry( owned, geometry->mesh );
	if ( context.entry != nullptr ) {
		if ( !Run( data->reinstanceCallBack, atomic, &context ) ) {
			return false;
		}
		MarkUsed( context.entry );
	} else if ( !Run( data->instanceCallBack, atomic, &context ) || !Run( data->reinstanceCallBack, atomic, &context ) ) {
		return false;
	}
	return LightAndRender( atomic, &context, data );
}

bool _rxGCWorldSectorAllInOneNode( RxPipelineNode* node, const RxPipelineNodeParam* params ) {
	RpWorldSector* const sector = static_cast<RpWorldSector*>( params->dataParam );
	const RpWorld* const world = RwEngineInstance->currentWorld;
	RxGCAtomicNodeData* const data = Data( node );
	RxGCInstanceContext context = {};
	context.privateData = data;
	if ( world == nullptr || sector->mesh == nullptr ) {
		return true;
	}
	context.mesh = sector->mesh;
	context.flags = world->flags;
	if ( ( world->flags & rpGEOMETRYNATIVE ) != 0 ) {
		if ( sector->repEntry == nullptr ) {
			return true;
		}
		context.entry = sector->repEntry;
		return LightAndRender( sector, &context, data );
	}
	if ( sector->numVertices == 0 || sector->mesh->numMeshes == 0 ) {
		return true;
	}
	context.entry = CurrentEntry( sector->repEntry, sector->mesh );
	if ( context.entry != nullptr ) {
		MarkUsed( context.entry );
	} else if ( !Run( data->instanceCallBack, sector, &context ) ) {
		return false;
	}
	return LightAndRender( sector, &context, data );
}

void* _rxGCAtomicDefaultInstanceCallback( void* object, RxGCInstanceContext* context ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	RpGeometry* const geometry = atomic->geometry;
	if ( _rxGCInstanceBuild( _rxGCAtomicInstanceSource( atomic ), context ) == nullptr ) {
		return nullptr;
	}
	geometry->lockedSinceLastInst = 0;
	return object;
}

void* _rxGCWorldSectorDefaultInstanceCallback( void* object, RxGCInstanceContext* context ) {
	RpWorldSector* const sector = static_cast<RpWorldSector*>( object );
	const RpWorld* const world = RwEngineInstance->currentWorld;
	RxGCInstanceSource source = {};
	source.owner = sector;
	source.ownerRef = &sector->repEntry;
	source.format = RpGameCubeWorldGetVtxFmt( world );
	source.sector = sector;
	source.numVertices = sector->numVertices;
	source.numTexCoordSets = world->numTexCoordSets;
	source.heap = ( world->flags & rpGEOMETRYHEAPINSTANCE ) != 0;
	return _rxGCInstanceBuild( source, context ) != nullptr ? object : nullptr;
}

void _rxGCDefaultReinstance( void* object, RxGCInstanceContext* context ) {
	RpGeometry* const geometry = static_cast<RpAtomic*>( object )->geometry;
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( context->entry );
	const RpGameCubeVtxFmt* const format = RpGameCubeGeometryGetVtxFmt( geometry );
	const u16 locked = geometry->lockedSinceLastInst;
	const u32 flags = context->flags | rpGEOMETRYPOSITIONS;
	const s32 vertices = geometry->numVertices;
	const RpMorphTarget* const target = geometry->morphTarget;
	if ( ( locked & LOCK_POSITIONS ) != 0 && header->posArray != nullptr && target != nullptr && target->verts != nullptr ) {
		const u32 bytes = _rpDlVtxFmtInstPos( format, header->posArray, target->verts, vertices, header->posStride );
		DCFlushRange( header->posArray, bytes );
	}
	if ( ( locked & LOCK_NORMALS ) != 0 && ( flags & rpGEOMETRYNORMALS ) != 0 && header->normArray != nullptr &&
		 target != nullptr && target->normals != nullptr ) {
		const u32 bytes = _rpDlVtxFmtInstNorm( format, header->normArray, target->normals, vertices, header->normStride );
		DCFlushRange( header->normArray, bytes );
	}
	if ( ( locked & LOCK_PRELIGHT ) != 0 && ( flags & rpGEOMETRYPRELIT ) != 0 && header->colorArray != nullptr &&
		 geometry->preLitLum != nullptr ) {
		const u32 bytes =
			_rpDlVtxFmtInstColor( format, header->colorArray, geometry->preLitLum, vertices, header->colorStride );
		DCFlushRange( header->colorArray, bytes );
	}
	if ( ( flags & ( rpGEOMETRYTEXTURED | rpGEOMETRYTEXTURED2 ) ) != 0 ) {
		for ( s32 i = 0; i < geometry->numTexCoordSets && i < static_cast<s32>( RXGC_MAX_TEXCOORD_SETS ); i++ ) {
			if ( ( locked & ( LOCK_TEXCOORDS0 << i ) ) != 0 && header->texArray[i] != nullptr &&
				 geometry->texCoords[i] != nullptr ) {
				const u32 bytes = _rpDlVtxFmtInstTexCoord( format, i, header->texArray[i], geometry->texCoords[i],
														   vertices, header->texStride[i] );
				DCFlushRange( header->texArray[i], bytes );
			}
		}
	}
	GXInvalidateVtxCache();
	geometry->lockedSinceLastInst = 0;
}

void* _rxGCAtomicDefaultReinstanceCallback( void* object, RxGCInstanceContext* context ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	RpGeometry* const geometry = atomic->geometry;
	if ( context->entry == nullptr ) {
		return object;
	}
	if ( geometry->lockedSinceLastInst != 0 ) {
		// The GPU may still read the arrays: wait until it passed them.
		_rxGCResEntryWaitDone( context->entry );
		_rxGCDefaultReinstance( object, context );
	}
	if ( geometry->numMorphTargets > 1 && ( atomic->interpolator.flags & INTERPOLATOR_DIRTY ) != 0 ) {
		_rxGCResEntryWaitDone( context->entry );
		_rxGCInstanceMorphUpdate( geometry, _rxGCInstanceHeader( context->entry ), &atomic->interpolator );
		atomic->interpolator.flags &= ~INTERPOLATOR_DIRTY;
	}
	return object;
}

void* _rxGCAtomicDefaultLightingCallback( void* object, RxGCLightingState* lighting ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	ResetLighting( lighting );
	if ( atomic->geometry == nullptr || ( atomic->geometry->flags & rpGEOMETRYLIGHT ) == 0 ||
		 RwEngineInstance->currentWorld == nullptr ) {
		return object;
	}
	_rwGCLightsGlobalEnable( LIGHT_ATOMICS, lighting );
	// A light tied to several of the atomic's sectors is set up once.
	const u16 stamp = ++RwEngineInstance->lightFrame;
	RwLinkList* const sectors = &atomic->llWorldSectorsInAtomic;
	for ( RwLLLink* s = rwLinkListGetFirst( sectors ); s != rwLinkListGetTerminator( sectors ); s = s->next ) {
		RpWorldSector* const sector = rwLLLinkGetData<RpTie>( s, offsetof( RpTie, lWorldSectorInAtomic ) )->worldSector;
		RwLinkList* const lights = &sector->lightsInWorldSector;
		for ( RwLLLink* l = rwLinkListGetFirst( lights ); l != rwLinkListGetTerminator( lights ); l = l->next ) {
			RpLight* const light = rwLLLinkGetData<RpLightTie>( l, offsetof( RpLightTie, lightInWorldSector ) )->light;
			if ( light != nullptr && light->lightFrame != stamp && ( light->object.object.flags & LIGHT_ATOMICS ) != 0 ) {
				light->lightFrame = stamp;
				_rwGCLightsLocalEnable( light, lighting );
			}
		}
	}
	ClampAmbient( lighting );
	return object;
}

void* _rxGCWorldSectorDefaultLightingCallback( void* object, RxGCLightingState* lighting ) {
	RpWorldSector* const sector = static_cast<RpWorldSector*>( object );
	const RpWorld* const world = RwEngineInstance->currentWorld;
	ResetLighting( lighting );
	if ( world == nullptr || ( world->flags & rpGEOMETRYLIGHT ) == 0 ) {
		return object;
	}
	_rwGCLightsGlobalEnable( LIGHT_WORLD, lighting );
	RwLinkList* const lights = &sector->lightsInWorldSector;
	for ( RwLLLink* l = rwLinkListGetFirst( lights ); l != rwLinkListGetTerminator( lights ); l = l->next ) {
		const RpLight* const light = rwLLLinkGetData<RpLightTie>( l, offsetof( RpLightTie, lightInWorldSector ) )->light;
		if ( light != nullptr && ( light->object.object.flags & LIGHT_WORLD ) != 0 ) {
			_rwGCLightsLocalEnable( light, lighting );
		}
	}
	ClampAmbient( lighting );
	return object;
}

bool _rxGCCreateAtomicPipeline() {
	return CreatePipeline( RxNodeDefinitionGetGameCubeAtomicAllInOne(), []( RxPipeline* pipeline ) {
		_rxPipelineSetPlatformAtomicPipeline( pipeline );
		RpAtomicSetDefaultPipeline( pipeline );
	} );
}

bool _rxGCCreateWorldSectorPipeline() {
	return CreatePipeline( RxNodeDefinitionGetGameCubeWorldSectorAllInOne(), []( RxPipeline* pipeline ) {
		_rxPipelineSetPlatformWorldSectorPipeline( pipeline );
		RpWorldSetDefaultSectorPipeline( pipeline );
	} );
}

void _rxGCDestroyAtomicPipeline() {
	RxPipeline* const pipeline = _rxPipelineGetPlatformAtomicPipeline();
	_rxPipelineSetPlatformAtomicPipeline( nullptr );
	RpAtomicSetDefaultPipeline( nullptr );
	_rxPipelineDestroy( pipeline );
}

void _rxGCDestroyWorldSectorPipeline() {
	RxPipeline* const pipeline = _rxPipelineGetPlatformWorldSectorPipeline();
	_rxPipelineSetPlatformWorldSectorPipeline( nullptr );
	RpWorldSetDefaultSectorPipeline( nullptr );
	_rxPipelineDestroy( pipeline );
}
