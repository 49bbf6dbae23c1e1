#include "graphics3d/world/RpSkin.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineUnlock.h"
#include "graphics3d/gamecube/RxGCAllInOne.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"

#include "datatypes/base/DTFloatToInt.h"

#include <bit>
#include <cstring>

RpSkinGlobals			_rpSkinGlobals = { {}, {}, {}, nullptr, nullptr, nullptr, 0, nullptr };
RpSkinInstanceCallBack	_RwDlDefaultReinstanceCallBack = nullptr;

static RwFreeList skinFreeListRecord;

// Engine plug-ins whose presence asks for further pipeline kinds.
static const u32 rwID_MATFXPLUGIN_KIND		= 0x120;
static const u32 rwID_TOONPLUGIN_KIND		= 0x12E;
static const u32 SKIN_PIPELINE_GENERIC		= 1;
static const u32 SKIN_PIPELINE_MATFX		= 2;
static const u32 SKIN_PIPELINE_TOON			= 4;
static const u32 MATRIX_ALIGNMENT			= 16;
static const u32 QUANTISED_ALIGNMENT		= 4;
static const u32 QUANTISED_SLACK			= 3;
static const f32 WEIGHT_SCALE				= 128.0f;
static const u32 WEIGHT_TOTAL				= 128;
// Geometry flags and lock bits.
static const u32 FLAG_NORMALS				= 0x10;
static const u16 LOCK_POSITIONS				= 0x02;
static const u16 LOCK_NORMALS				= 0x04;

namespace {

u8* AlignUp( u8* pointer, const uintptr_t alignment ) {
	return reinterpret_cast<u8*>( ( reinterpret_cast<uintptr_t>( pointer ) + alignment - 1 ) & ~( alignment - 1 ) );
}

// The plug-in's slot in an object; null while the plug-in is not attached
// to the running library.
RpSkin** GeometrySlot( const RpGeometry* geometry ) {
	const s32 offset = _rpSkinGlobals.geometryOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpSkin*>( const_cast<RpGeometry*>( geometry ), offset );
}

RpHAnimHierarchy** AtomicSlot( const RpAtomic* atomic ) {
	const s32 offset = _rpSkinGlobals.atomicOffset.Get();
	return offset < 0 ? nullptr : RwPluginData<RpHAnimHierarchy*>( const_cast<RpAtomic*>( atomic ), offset );
}

void* SkinAtomicConstructor( void* object, const s32 offset, s32 ) {
	*RwPluginData<RpHAnimHierarchy*>( object, offset ) = nullptr;
	return object;
}

void* SkinAtomicDestructor( void* object, const s32 offset, s32 ) {
	*RwPluginData<RpHAnimHierarchy*>( object, offset ) = nullptr;
	return object;
}

void* SkinAtomicCopy( void* dst, const void* src, const s32 offset, s32 ) {
	*RwPluginData<RpHAnimHierarchy*>( dst, offset ) = *RwPluginData<RpHAnimHierarchy*>( const_cast<void*>( src ), offset );
	return dst;
}

void* SkinGeometryConstructor( void* object, const s32 offset, s32 ) {
	*RwPluginData<RpSkin*>( object, offset ) = nullptr;
	return object;
}

void* SkinGeometryDestructor( void* object, const s32 offset, s32 ) {
	RpSkin*& skin = *RwPluginData<RpSkin*>( object, offset );
	if ( skin != nullptr ) {
		_rpSkinDeinit( skin );
		RpSkinDestroy( skin );
		skin = nullptr;
	}
	return object;
}

void* SkinGeometryCopy( void* dst, const void*, s32, s32 ) {
	return dst;
}

// After an atomic is read, and when its rights name this plug-in: a
// skinned geometry draws through the skin pipeline.
bool UseSkinPipeline( void* object ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	if ( atomic->geometry != nullptr && RpSkinGeometryGetSkin( atomic->geometry ) != nullptr ) {
		atomic->pipeline = _rpSkinGlobals.pipeline;
	}
	return true;
}

bool SkinAtomicAlways( void* object, s32, s32 ) {
	return UseSkinPipeline( object );
}

bool SkinAtomicRights( void* object, s32, s32, u32 ) {
	return UseSkinPipeline( object );
}

// The generic skin pipeline: the all-in-one node with the skin's
// instance, reinstance and render callbacks.
RxPipeline* SkinPipelineCreate( const u32 kind ) {
	RxPipeline* const pipeline = RxPipelineCreate();
	if ( pipeline == nullptr ) {
		return nullptr;
	}
	pipeline->pluginId = rwID_SKINPLUGIN;
	pipeline->pluginData = kind;
	RxNodeDefinition* const node = RxNodeDefinitionGetGameCubeAtomicAllInOne();
	RxPipeline* const locked = RxPipelineLock( pipeline );
	if ( locked == nullptr || RxLockedPipeAddFragment( locked, nullptr, node ) == nullptr ||
		 RxLockedPipeUnlock( locked ) == nullptr ) {
		_rxPipelineDestroy( pipeline );
		return nullptr;
	}
	RxPipelineNode* const found = RxPipelineFindNodeByName( pipeline, node->name, nullptr, nullptr );
	if ( found != nullptr ) {
		_rxGameCubeAllInOneSetInstanceCallBack( found, _rpSkinInstanceCallback );
		_RwDlDefaultReinstanceCallBack = _rxGameCubeAllInOneGetReinstanceCallBack( found );
		_rxGameCubeAllInOneSetReinstanceCallBack( found, _rpSkinAtomicReinstanceCallBack );
		RxGameCubeAllInOneSetRenderCallBack( found, _rpSkinRenderCallback );
	}
	return pipeline;
}

}	// namespace

bool RpSkinPluginAttach() {
	RpSkinGlobals& g = _rpSkinGlobals;
	g.engineOffset.Set( RwEngineRegisterPlugin( 0, rwID_SKINPLUGIN, SkinOpen, SkinClose ) );
	g.atomicOffset.Set( RpAtomicRegisterPlugin( static_cast<s32>( sizeof( RpHAnimHierarchy* ) ), rwID_SKINPLUGIN,
												SkinAtomicConstructor, SkinAtomicDestructor, SkinAtomicCopy ) );
	RpAtomicRegisterPluginStream( rwID_SKINPLUGIN, SkinAtomicRead, SkinAtomicWrite, SkinAtomicGetSize );
	RpAtomicSetStreamAlwaysCallBack( rwID_SKINPLUGIN, SkinAtomicAlways );
	RpAtomicSetStreamRightsCallBack( rwID_SKINPLUGIN, SkinAtomicRights );
	g.geometryOffset.Set( RpGeometryRegisterPlugin( static_cast<s32>( sizeof( RpSkin* ) ), rwID_SKINPLUGIN,
													SkinGeometryConstructor, SkinGeometryDestructor, SkinGeometryCopy ) );
	RpGeometryRegisterPluginStream( rwID_SKINPLUGIN, SkinGeometryRead, SkinGeometryWrite, SkinGeometrySize );
	return true;
}

void* SkinOpen( void* instance, s32, s32 ) {
	RpSkinGlobals& g = _rpSkinGlobals;
	if ( g.openCount == 0 ) {
		u32 kinds = SKIN_PIPELINE_GENERIC;
		kinds |= RwEngineGetPluginOffset( rwID_MATFXPLUGIN_KIND ) >= 0 ? SKIN_PIPELINE_MATFX : 0;
		kinds |= RwEngineGetPluginOffset( rwID_TOONPLUGIN_KIND ) >= 0 ? SKIN_PIPELINE_TOON : 0;
		// Only the generic pipeline exists; every kind uses it.
		g.pipeline = ( kinds & SKIN_PIPELINE_GENERIC ) ? SkinPipelineCreate( SKIN_PIPELINE_GENERIC ) : nullptr;
		g.freeList = RwFreeListCreateAndPreallocateSpace( static_cast<s32>( sizeof( RpSkin ) ), _rpSkinFreeListBlockSize,
														  4, _rpSkinFreeListPreallocBlocks, &skinFreeListRecord );
		const u32 bytes = RPSKIN_PALETTE_SIZE * static_cast<u32>( sizeof( RwMatrix ) ) + MATRIX_ALIGNMENT - 1;
		g.paletteAllocation = RwEngineInstance->memoryFunctions.rwmalloc( bytes );
		if ( g.pipeline == nullptr || g.freeList == nullptr || g.paletteAllocation == nullptr ) {
			g.openCount = 1;
			SkinClose( instance, 0, 0 );
			return nullptr;
		}
		std::memset( g.paletteAllocation, 0, bytes );
		g.palette = reinterpret_cast<RwMatrix*>( AlignUp( static_cast<u8*>( g.paletteAllocation ), MATRIX_ALIGNMENT ) );
	}
	g.openCount++;
	return instance;
}

void* SkinClose( void* instance, s32, s32 ) {
	RpSkinGlobals& g = _rpSkinGlobals;
	if ( g.openCount <= 0 ) {
		return instance;
	}
	if ( --g.openCount > 0 ) {
		return instance;
	}
	if ( g.pipeline != nullptr ) {
		_rxPipelineDestroy( g.pipeline );
		g.pipeline = nullptr;
	}
	if ( g.freeList != nullptr ) {
		RwFreeListDestroy( g.freeList );
		g.freeList = nullptr;
	}
	if ( g.paletteAllocation != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( g.paletteAllocation );
		g.paletteAllocation = nullptr;
		g.palette = nullptr;
	}
	return instance;
}

RpAtomic* RpSkinAtomicSetHAnimHierarchy( RpAtomic* atomic, RpHAnimHierarchy* hierarchy ) {
	RpHAnimHierarchy** const slot = AtomicSlot( atomic );
	if ( slot == nullptr ) {
		return nullptr;
	}
	*slot = hierarchy;
	return atomic;
}

RpHAnimHierarchy* RpSkinAtomicGetHAnimHierarchy( const RpAtomic* atomic ) {
	RpHAnimHierarchy** const slot = AtomicSlot( atomic );
	return slot != nullptr ? *slot : nullptr;
}

RpSkin* RpSkinGeometryGetSkin( const RpGeometry* geometry ) {
	RpSkin** const slot = GeometrySlot( geometry );
	return slot != nullptr ? *slot : nullptr;
}

const f32* RpSkinGetVertexBoneWeights( const RpSkin* skin ) {
	return skin->vertexBoneWeights;
}

const u32* RpSkinGetVertexBoneIndices( const RpSkin* skin ) {
	return skin->vertexBoneIndices;
}

const RwMatrix* RpSkinGetSkinToBoneMatrices( const RpSkin* skin ) {
	return skin->skinToBoneMatrices;
}

u32 RpSkinAtomicGetType( const RpAtomic* atomic ) {
	const RxPipeline* const pipeline = atomic->pipeline;
	return pipeline != nullptr && pipeline->pluginId == rwID_SKINPLUGIN ? pipeline->pluginData : 0;
}

RpSkin* SkinCreateSkinData( const u32 numBones, const u32 numUsedBones, const u32 numVertices, const u8* usedBones,
							const RwMatrix* matrices, const u32* indices, const f32* weights ) {
	RpSkinGlobals& g = _rpSkinGlobals;
	if ( g.freeList == nullptr ) {
		return nullptr;
	}
	const u64 bytes = 20 * u64{ numVertices } + sizeof( RwMatrix ) * u64{ numBones } + numUsedBones + MATRIX_ALIGNMENT - 1;
	RpSkin* const skin = static_cast<RpSkin*>( RwEngineInstance->freeListAllocHook( g.freeList ) );
	if ( skin == nullptr ) {
		return nullptr;
	}
	std::memset( skin, 0, sizeof( RpSkin ) );
	u8* const block = bytes <= 0xFFFFFFFFu ? static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) )
										   : nullptr;
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
		RwEngineInstance->freeListFreeHook( g.freeList, skin );
		return nullptr;
	}
	std::memset( block, 0, static_cast<size_t>( bytes ) );
	skin->data = block;
	skin->numBones = numBones;
	skin->numUsedBones = numUsedBones;
	skin->usedBones = block;
	skin->skinToBoneMatrices = reinterpret_cast<RwMatrix*>( AlignUp( block + numUsedBones, MATRIX_ALIGNMENT ) );
	skin->vertexBoneIndices = reinterpret_cast<u32*>( skin->skinToBoneMatrices + numBones );
	skin->vertexBoneWeights = reinterpret_cast<f32*>( skin->vertexBoneIndices + numVertices );
	if ( usedBones != nullptr ) {
		std::memcpy( skin->usedBones, usedBones, numUsedBones );
	}
	if ( matrices != nullptr ) {
		std::memcpy( skin->skinToBoneMatrices, matrices, sizeof( RwMatrix ) * numBones );
	}
	if ( indices != nullptr ) {
		std::memcpy( skin->vertexBoneIndices, indices, sizeof( u32 ) * numVertices );
	}
	if ( weights != nullptr ) {
		std::memcpy( skin->vertexBoneWeights, weights, sizeof( f32 ) * RPSKIN_MAX_WEIGHTS * numVertices );
	}
	return skin;
}

u32 SkinFindMaxWeights( const RpSkin* skin, const u32 numVertices ) {
	u32 most = 1;
	for ( u32 v = 0; v < numVertices && most < RPSKIN_MAX_WEIGHTS; v++ ) {
		// A weight's bit pattern decides: -0 counts as a weight.
		while ( most < RPSKIN_MAX_WEIGHTS &&
				std::bit_cast<u32>( skin->vertexBoneWeights[v * RPSKIN_MAX_WEIGHTS + most] ) != 0 ) {
			most++;
		}
	}
	return most;
}

void SkinFindNumUsedBones( RpSkin* skin, const u32 numVertices ) {
	skin->numUsedBones = 0;
	for ( u32 v = 0; v < numVertices; v++ ) {
		for ( u32 k = 0; k < skin->maxNumWeights; k++ ) {
			if ( skin->vertexBoneWeights[v * RPSKIN_MAX_WEIGHTS + k] == 0.0f ) {
				continue;
			}
			const u8 bone = static_cast<u8>( skin->vertexBoneIndices[v] >> ( 8 * k ) );
			bool seen = false;
			for ( u32 i = 0; i < skin->numUsedBones && !seen; i++ ) {
				seen = skin->usedBones[i] == bone;
			}
			if ( !seen && skin->numUsedBones < skin->numBones ) {
				skin->usedBones[skin->numUsedBones++] = bone;
			}
		}
	}
}

bool _rpSkinCreate( RpGeometry* geometry, RpSkin* skin ) {
	const u32 m = skin->maxNumWeights;
	if ( m < 2 ) {
		return true;
	}
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	for ( u32 v = 0; v < vertices; v++ ) {
		f32* const w = &skin->vertexBoneWeights[v * RPSKIN_MAX_WEIGHTS];
		u32 indices = skin->vertexBoneIndices[v];
		for ( u32 j = 0; j < 3; j++ ) {
			for ( u32 k = j + 1; k < RPSKIN_MAX_WEIGHTS; k++ ) {
				if ( w[k] > w[j] ) {
					const f32 weight = w[j];
					w[j] = w[k];
					w[k] = weight;
					const u32 a = ( indices >> ( 8 * j ) ) & 0xFF;
					const u32 b = ( indices >> ( 8 * k ) ) & 0xFF;
					indices &= ~( ( 0xFFu << ( 8 * j ) ) | ( 0xFFu << ( 8 * k ) ) );
					indices |= ( b << ( 8 * j ) ) | ( a << ( 8 * k ) );
				}
			}
		}
		skin->vertexBoneIndices[v] = indices;
	}
	const u32 bytes = 2 * vertices * m + QUANTISED_SLACK;
	u8* const block = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
		return false;
	}
	skin->quantisedWeights = block;
	skin->quantisedIndices = AlignUp( block + vertices * m, QUANTISED_ALIGNMENT );
	for ( u32 v = 0; v < vertices; v++ ) {
		u8* const q = &skin->quantisedWeights[v * m];
		u32 sum = 0;
		for ( u32 k = 0; k < m; k++ ) {
			q[k] = static_cast<u8>(
				DTFloatToS32( static_cast<f64>( skin->vertexBoneWeights[v * RPSKIN_MAX_WEIGHTS + k] * WEIGHT_SCALE ) ) );
			sum += q[k];
		}
		for ( u32 k = 0; k < m && sum < WEIGHT_TOTAL; k++ ) {
			q[k]++;
			sum++;
		}
		for ( u32 k = 0; k < m; k++ ) {
			skin->quantisedIndices[v * m + k] = static_cast<u8>( skin->vertexBoneIndices[v] >> ( 8 * k ) );
		}
	}
	return true;
}

void _rpSkinDeinit( RpSkin* skin ) {
	// A native skin's quantised arrays live in its data block.
	if ( skin->quantisedWeights != nullptr && skin->vertexBoneWeights != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( skin->quantisedWeights );
		skin->quantisedWeights = nullptr;
		skin->quantisedIndices = nullptr;
	}
	skin->sourcePositions = nullptr;
	skin->sourceNormals = nullptr;
}

RpGeometry* RpSkinGeometrySetSkin( RpGeometry* geometry, RpSkin* skin ) {
	RpSkin** const found = GeometrySlot( geometry );
	if ( found == nullptr ) {
		return nullptr;
	}
	RpSkin*& slot = *found;
	if ( slot == skin ) {
		return geometry;
	}
	if ( slot != nullptr ) {
		_rpSkinDeinit( slot );
	}
	slot = skin;
	if ( skin == nullptr ) {
		return geometry;
	}
	if ( geometry->flags & rpGEOMETRYNATIVE ) {
		geometry->lockedSinceLastInst |= ( geometry->flags & FLAG_NORMALS ) ? ( LOCK_POSITIONS | LOCK_NORMALS ) : LOCK_POSITIONS;
		skin->sourcePositions = nullptr;
		skin->sourceNormals = nullptr;
		return geometry;
	}
	if ( !_rpSkinCreate( geometry, skin ) ) {
		// The caller still owns a skin that could not be set.
		slot = nullptr;
		return nullptr;
	}
	return geometry;
}

RpSkin* RpSkinDestroy( RpSkin* skin ) {
	if ( skin == nullptr ) {
		return nullptr;
	}
	RwEngineInstance->memoryFunctions.rwfree( skin->data );
	if ( skin->splitData != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( skin->splitData );
	}
	if ( _rpSkinGlobals.freeList != nullptr ) {
		RwEngineInstance->freeListFreeHook( _rpSkinGlobals.freeList, skin );
	}
	return nullptr;
}
