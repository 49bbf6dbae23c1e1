// The skin's matrix palette, vertex blending and its pipeline callbacks.
#include "graphics3d/world/RpSkin.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCAllInOne.h"
#include "graphics3d/gamecube/RxGCPipelines.h"
#include "graphics3d/gamecube/RxGCDefaults.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "platform/gx/GX.h"
#include "platform/os/OS.h"

#include "datatypes/base/DTFloatToInt.h"

#include <algorithm>
#include <cmath>

// Fixed fractions of normals by type; bytes per component.
static const u8 NORMAL_FRACTION[5]	= { 0, 6, 0, 14, 0 };
static const u32 COMPONENT_BYTES[5]	= { 1, 1, 2, 2, 4 };
static const f32 WEIGHT_SCALE		= 1.0f / 128.0f;
static const u32 EXTRA_NBT_COMPONENTS	= 6;
static const u32 SLOTS_PER_MATRIX	= 3;
static const u8 FLOAT_TYPE			= rpGCCOMP_F32;

namespace {

RwV3d Apply( const RwMatrix& m, const RwV3d& p ) {
	return { p.x * m.right.x + p.y * m.up.x + p.z * m.at.x + m.pos.x, p.x * m.right.y + p.y * m.up.y + p.z * m.at.y + m.pos.y,
			 p.x * m.right.z + p.y * m.up.z + p.z * m.at.z + m.pos.z };
}

RwV3d Rotate( const RwMatrix& m, const RwV3d& n ) {
	return { n.x * m.right.x + n.y * m.up.x + n.z * m.at.x, n.x * m.right.y + n.y * m.up.y + n.z * m.at.y,
			 n.x * m.right.z + n.y * m.up.z + n.z * m.at.z };
}

// A blended component: floats as they are, integers saturated to their
// type's range.
void StoreSaturated( u8* destination, const f32 value, const u8 type, const u8 fraction ) {
	if ( type == rpGCCOMP_F32 ) {
		_rwDlQuantisedStore( destination, value, type, fraction );
		return;
	}
	const f64 scaled = static_cast<f64>( value ) * std::ldexp( 1.0, fraction );
	static const f64 low[4] = { 0.0, -128.0, 0.0, -32768.0 };
	static const f64 high[4] = { 255.0, 127.0, 65535.0, 32767.0 };
	const f64 clamped = std::min( std::max( scaled, low[type] ), high[type] );
	_rwDlQuantisedStore( destination, static_cast<f32>( clamped ), type, 0 );
}

RwV3d Load3( const u8* source, const u8 type, const u8 fraction ) {
	const u32 size = COMPONENT_BYTES[type];
	return { _rwDlQuantisedLoad( source, type, fraction ), _rwDlQuantisedLoad( source + size, type, fraction ),
			 _rwDlQuantisedLoad( source + 2 * size, type, fraction ) };
}

void Store3( u8* destination, const RwV3d& v, const u8 type, const u8 fraction ) {
	const u32 size = COMPONENT_BYTES[type];
	StoreSaturated( destination, v.x, type, fraction );
	StoreSaturated( destination + size, v.y, type, fraction );
	StoreSaturated( destination + 2 * size, v.z, type, fraction );
}

}	// namespace

void _rpSkinMatrixBlendUpdate( RwMatrix* palette, const RpSkin* skin, const RwMatrix* atomicLTM,
							   const RpHAnimHierarchy* hierarchy ) {
	if ( hierarchy == nullptr || skin->numUsedBones == 0 ) {
		return;
	}
	const bool blended = skin->maxNumWeights > 1;
	RwMatrix inverse;
	if ( blended ) {
		RwMatrixInvert( &inverse, atomicLTM );
	} else {
		inverse = _RwDlInvCamLTM;
	}
	RwMatrix toCamera;
	RwMatrixMultiply( &toCamera, atomicLTM, &_RwDlInvCamLTM );
	for ( u32 i = 0; i < skin->numUsedBones; i++ ) {
		const u32 bone = skin->usedBones[i];
		// Bones the hierarchy does not have keep their entries.
		if ( bone >= static_cast<u32>( hierarchy->numNodes ) || bone >= skin->numBones ) {
			continue;
		}
		RwMatrix boneMatrix;
		const RwMatrix* tail = &inverse;
		if ( hierarchy->flags & rpHANIMHIERARCHYNOMATRICES ) {
			RwFrame* const frame = hierarchy->pNodeInfo != nullptr ? hierarchy->pNodeInfo[bone].pFrame : nullptr;
			if ( frame == nullptr ) {
				continue;
			}
			boneMatrix = *RwFrameGetLTM( frame );
		} else {
			boneMatrix = hierarchy->pMatrixArray[bone];
			if ( hierarchy->flags & rpHANIMHIERARCHYLOCALSPACEMATRICES ) {
				tail = blended ? nullptr : &toCamera;
			}
		}
		RwMatrix skinned;
		RwMatrixMultiply( &skinned, &skin->skinToBoneMatrices[bone], &boneMatrix );
		if ( tail != nullptr ) {
			RwMatrixMultiply( &palette[bone], &skinned, tail );
		} else {
			palette[bone] = skinned;
		}
	}
}

void _rpSkinBlendBody( const RpSkin* skin, const RwMatrix* palette, const u32 numVertices, const u8* sourcePositions,
					   const u8* sourceNormals, u8* destPositions, u8* destNormals, const u8 posType, const u8 posFrac,
					   const u8 normType, const bool threeNormals ) {
	const u32 m = skin->maxNumWeights;
	if ( m < 2 || m > RPSKIN_MAX_WEIGHTS || posType > rpGCCOMP_F32 || normType > rpGCCOMP_F32 ) {
		return;
	}
	const u32 posStride = 3 * COMPONENT_BYTES[posType];
	const u32 normStride = ( 3 + ( threeNormals ? EXTRA_NBT_COMPONENTS : 0 ) ) * COMPONENT_BYTES[normType];
	const u8 normFrac = NORMAL_FRACTION[normType];
	for ( u32 v = 0; v < numVertices; v++ ) {
		const u8* const weights = &skin->quantisedWeights[v * m];
		const u8* const bones = &skin->quantisedIndices[v * m];
		const RwV3d p = Load3( sourcePositions + v * posStride, posType, posFrac );
		const RwV3d n = sourceNormals != nullptr ? Load3( sourceNormals + v * normStride, normType, normFrac ) : RwV3d{};
		RwV3d blendedP = { 0.0f, 0.0f, 0.0f };
		RwV3d blendedN = { 0.0f, 0.0f, 0.0f };
		for ( u32 k = 0; k < m; k++ ) {
			// Weights are sorted: the first one not above 0 ends the vertex.
			if ( k > 0 && weights[k] == 0 ) {
				break;
			}
			const f32 w = static_cast<f32>( weights[k] ) * WEIGHT_SCALE;
			const RwMatrix& matrix = palette[bones[k]];
			const RwV3d tp = Apply( matrix, p );
			blendedP = { blendedP.x + w * tp.x, blendedP.y + w * tp.y, blendedP.z + w * tp.z };
			if ( sourceNormals != nullptr ) {
				const RwV3d tn = Rotate( matrix, n );
				blendedN = { blendedN.x + w * tn.x, blendedN.y + w * tn.y, blendedN.z + w * tn.z };
			}
		}
		Store3( destPositions + v * posStride, blendedP, posType, posFrac );
		if ( sourceNormals != nullptr && destNormals != nullptr ) {
			Store3( destNormals + v * normStride, blendedN, normType, normFrac );
		}
	}
}

// A palette matrix into a processor slot: the rows negated on x and z as
// the processor's camera space wants them.
void _rpSkinLoadMatrix( const RwMatrix* m, const u32 slot, const bool normals ) {
	const Mtx rows = { { -m->right.x, -m->up.x, -m->at.x, -m->pos.x },
					   { m->right.y, m->up.y, m->at.y, m->pos.y },
					   { -m->right.z, -m->up.z, -m->at.z, -m->pos.z } };
	GXLoadPosMtxImm( rows, slot );
	if ( normals ) {
		GXLoadNrmMtxImm( rows, slot );
	}
}

namespace {

// The bones of a mesh's runs in order (at most 10) into table; how many.
// None without split data or for meshes the split data does not name.
u32 MeshBoneTable( const RpSkin* skin, const u32 mesh, u8* table ) {
	if ( skin->splitData == nullptr || mesh >= skin->numMeshes ) {
		return 0;
	}
	const u8* const meshRuns = skin->splitData + skin->numBones;
	const u8* const runs = meshRuns + 2 * skin->numMeshes;
	u32 count = 0;
	const u32 firstRun = meshRuns[2 * mesh];
	for ( u32 run = firstRun; run < firstRun + meshRuns[2 * mesh + 1]; run++ ) {
		for ( u32 bone = runs[2 * run]; bone < u32{ runs[2 * run] } + runs[2 * run + 1] && count < RPSKIN_MAX_MESH_BONES; bone++ ) {
			table[count++] = static_cast<u8>( bone );
		}
	}
	return count;
}

// With split data and one weight, every vertex a mesh draws must find its
// bone in the mesh's table (its runs' bones, at most 10).
bool MeshBonesCovered( const RpSkin* skin, RpMeshHeader* mesh, const u32 numVertices ) {
	if ( skin->maxNumWeights != 1 || skin->numMeshes == 0 || skin->splitData == nullptr ) {
		return true;
	}
	const RpMesh* const meshes = RpMeshHeaderGetMeshes( mesh );
	for ( u32 m = 0; m < mesh->numMeshes; m++ ) {
		u8 table[RPSKIN_MAX_MESH_BONES];
		const u32 count = MeshBoneTable( skin, m, table );
		for ( u32 i = 0; i < meshes[m].numIndices; i++ ) {
			const u32 vertex = meshes[m].indices != nullptr ? meshes[m].indices[i] : numVertices;
			if ( vertex >= numVertices ) {
				return false;
			}
			const u8 bone = static_cast<u8>( skin->vertexBoneIndices[vertex] );
			bool found = false;
			for ( u32 k = 0; k < count && !found; k++ ) {
				found = table[k] == bone;
			}
			if ( !found ) {
				return false;
			}
		}
	}
	return true;
}

}	// namespace

void* _rpSkinInstanceCallback( void* object, RxGCInstanceContext* context ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	RpGeometry* const geometry = atomic->geometry;
	if ( geometry == nullptr || context->mesh == nullptr ) {
		return nullptr;
	}
	const RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	if ( skin != nullptr && skin->vertexBoneIndices != nullptr && !MeshBonesCovered( skin, context->mesh, vertices ) ) {
		return nullptr;
	}
	RxGCInstanceSource source = _rxGCAtomicInstanceSource( atomic );
	// Rigid skins draw each vertex with its bone's matrix: loaded in
	// used-bone order, or with split data per mesh from its runs' bones.
	RwDlMatrixIndices matrices = {};
	u8* tables = nullptr;
	const bool rigid = skin != nullptr && skin->maxNumWeights < 2 && skin->vertexBoneIndices != nullptr;
	if ( rigid && skin->splitData == nullptr && skin->usedBones != nullptr ) {
		matrices = { skin->vertexBoneIndices, skin->usedBones, skin->numUsedBones, 0, nullptr };
		source.matrices = &matrices;
	} else if ( rigid && skin->splitData != nullptr && skin->numMeshes > 0 ) {
		const u32 meshes = context->mesh->numMeshes;
		const u32 bytes = ( meshes > 0 ? meshes : 1 ) * ( RPSKIN_MAX_MESH_BONES + 1 );
		tables = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( bytes ) );
		if ( tables == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, bytes ) );
			return nullptr;
		}
		u8* const lengths = tables + meshes * RPSKIN_MAX_MESH_BONES;
		for ( u32 m = 0; m < meshes; m++ ) {
			lengths[m] = static_cast<u8>( MeshBoneTable( skin, m, tables + m * RPSKIN_MAX_MESH_BONES ) );
		}
		matrices = { skin->vertexBoneIndices, tables, 0, RPSKIN_MAX_MESH_BONES, lengths };
		source.matrices = &matrices;
	}
	RwResEntry* const entry = _rxGCInstanceBuild( source, context );
	if ( tables != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( tables );
	}
	if ( entry == nullptr ) {
		return nullptr;
	}
	geometry->lockedSinceLastInst = 0;
	return object;
}

namespace {

// The destination entry's data: the token it was last written with, then
// (pointer-aligned) the entry's address right before the 32-byte aligned
// position array.
u8* DestinationArrays( RwResEntry* entry ) {
	u8* const data = reinterpret_cast<u8*>( entry + 1 );
	return reinterpret_cast<u8*>( ( reinterpret_cast<uintptr_t>( data + sizeof( u16 ) + sizeof( void* ) ) + 31 ) &
								  ~uintptr_t{ 31 } );
}

u16& DestinationToken( RwResEntry* entry ) {
	return *reinterpret_cast<u16*>( entry + 1 );
}

RwResEntry*& DestinationOf( u8* positions ) {
	return *reinterpret_cast<RwResEntry**>( positions - sizeof( void* ) );
}

RpSkin* SkinOfOwner( void* owner ) {
	const RwObject* const object = static_cast<const RwObject*>( owner );
	if ( object->type == rpATOMIC ) {
		const RpGeometry* const geometry = static_cast<const RpAtomic*>( owner )->geometry;
		return geometry != nullptr ? RpSkinGeometryGetSkin( geometry ) : nullptr;
	}
	return object->type == rpGEOMETRY ? RpSkinGeometryGetSkin( static_cast<const RpGeometry*>( owner ) ) : nullptr;
}

// Waits until the processor has passed the token, issuing it first when
// it is the current one.
void WaitForToken( const u16 token ) {
	if ( token == _RwDlTokenCurrent ) {
		GXSetDrawSync( token );
		_RwDlTokenCurrent = static_cast<u16>( ( token + 1 ) % RWDL_TOKEN_MODULO );
	}
	RwDlWait wait;
	_rwDlWaitBegin( &wait, "a skin's draw-sync token" );
	while ( !_rwDlTokenQueryDone( token ) ) {
		_rwDlWaitTurn( &wait );
	}
}

}	// namespace

void _rpSkinResEntryWaitDone( RwResEntry* entry ) {
	WaitForToken( DestinationToken( entry ) );
	GXInvalidateVtxCache();
}

void _rpSkinGiveBackSources( RpSkin* skin, RwResEntry* instance ) {
	if ( skin == nullptr || skin->sourcePositions == nullptr || instance == nullptr ) {
		return;
	}
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( instance );
	if ( header->posArray != nullptr && header->posArray != skin->sourcePositions ) {
		RwResourcesFreeResEntry( DestinationOf( header->posArray ) );
	}
	header->posArray = skin->sourcePositions;
	header->normArray = skin->sourceNormals;
	skin->sourcePositions = nullptr;
	skin->sourceNormals = nullptr;
}

void _rpSkinMainResEntryCB( RwResEntry* entry ) {
	WaitForToken( _rxGCInstanceHeader( entry )->drawToken );
	_rpSkinGiveBackSources( SkinOfOwner( entry->owner ), entry );
	GXInvalidateVtxCache();
}

bool _rpSkinVertexBuffersUpdate( RpAtomic* atomic, RpSkin* skin, RwResEntry* instance ) {
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( instance );
	RwResourcesUseResEntry( instance );
	instance->destroyNotify = _rpSkinMainResEntryCB;
	RwResEntry* destination = header->posArray != nullptr && header->posArray != skin->sourcePositions
								  ? DestinationOf( header->posArray )
								  : nullptr;
	if ( destination != nullptr ) {
		if ( !_rwDlTokenQueryDone( DestinationToken( destination ) ) ) {
			// Still read by the processor: left to the arena, a new one is taken.
			destination->ownerRef = nullptr;
			destination = nullptr;
		} else {
			GXInvalidateVtxCache();
		}
	}
	const RpGeometry* const geometry = atomic->geometry;
	const RpGameCubeVtxFmt* const format = RpGameCubeGeometryGetVtxFmt( geometry );
	const u32 vertices = static_cast<u32>( geometry->numVertices );
	const bool normals = ( geometry->flags & rpGEOMETRYNORMALS ) != 0 && skin->sourceNormals != nullptr;
	const u8 posType = format != nullptr ? format->posType : FLOAT_TYPE;
	const u8 normType = format != nullptr ? format->normType : FLOAT_TYPE;
	const bool threeNormals = format != nullptr && format->threeNormals != 0;
	const u32 posBytes = 3 * COMPONENT_BYTES[posType];
	const u32 normBytes = ( threeNormals ? 9 : 3 ) * COMPONENT_BYTES[normType];
	const u32 posArrayBytes = ( vertices * posBytes + 31 ) & ~31u;
	if ( destination == nullptr ) {
		const u32 payload = posArrayBytes + ( normals ? ( ( vertices * normBytes + 31 ) & ~31u ) : 0 );
		const s32 size = static_cast<s32>( payload + 31 + sizeof( u16 ) + sizeof( void* ) );
		RwResEntry* owned = nullptr;
		destination = RwResourcesAllocateResEntry( atomic, &owned, size, _rpSkinResEntryWaitDone );
		if ( destination == nullptr ) {
			return false;
		}
		destination->ownerRef = nullptr;
		u8* const positions = DestinationArrays( destination );
		DestinationOf( positions ) = destination;
		// The allocation may have evicted the instance itself.
		if ( atomic->repEntry != instance && atomic->geometry->repEntry != instance ) {
			RwResourcesFreeResEntry( destination );
			return false;
		}
		header->posArray = positions;
		header->normArray = normals ? positions + posArrayBytes : nullptr;
	}
	RwResourcesUseResEntry( destination );
	DestinationToken( destination ) = _RwDlTokenCurrent;
	return true;
}

void* _rpSkinAtomicReinstanceCallBack( void* object, RxGCInstanceContext* context ) {
	RpAtomic* const atomic = static_cast<RpAtomic*>( object );
	RpGeometry* const geometry = atomic->geometry;
	RpSkin* const skin = geometry != nullptr ? RpSkinGeometryGetSkin( geometry ) : nullptr;
	if ( skin == nullptr || _rpSkinGlobals.palette == nullptr ) {
		return object;
	}
	RwMatrix identity;
	_rwMatrixSetIdentity( &identity );
	RwFrame* const frame = RpAtomicGetFrame( atomic );
	const RwMatrix* const ltm = frame != nullptr ? RwFrameGetLTM( frame ) : &identity;
	if ( skin->maxNumWeights < 2 || context->entry == nullptr ) {
		_rpSkinMatrixBlendUpdate( _rpSkinGlobals.palette, skin, ltm, RpSkinAtomicGetHAnimHierarchy( atomic ) );
		return object;
	}
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( context->entry );
	const bool native = ( geometry->flags & rpGEOMETRYNATIVE ) != 0;
	if ( skin->sourcePositions == nullptr ) {
		if ( !native && _RwDlDefaultReinstanceCallBack != nullptr &&
			 _RwDlDefaultReinstanceCallBack( object, context ) != object ) {
			return nullptr;
		}
		// The instance's arrays become the blending input.
		skin->sourcePositions = header->posArray;
		skin->sourceNormals = header->normArray;
		header->posArray = nullptr;
		header->normArray = nullptr;
	} else if ( !native && _RwDlDefaultReinstanceCallBack != nullptr ) {
		// A changed geometry refreshes its source arrays.
		u8* const positions = header->posArray;
		u8* const normals = header->normArray;
		header->posArray = skin->sourcePositions;
		header->normArray = skin->sourceNormals;
		const void* const result = _RwDlDefaultReinstanceCallBack( object, context );
		header->posArray = positions;
		header->normArray = normals;
		if ( result != object ) {
			return nullptr;
		}
	}
	if ( !_rpSkinVertexBuffersUpdate( atomic, skin, context->entry ) ) {
		return nullptr;
	}
	_rpSkinMatrixBlendUpdate( _rpSkinGlobals.palette, skin, ltm, RpSkinAtomicGetHAnimHierarchy( atomic ) );
	const RpGameCubeVtxFmt* const format = RpGameCubeGeometryGetVtxFmt( geometry );
	const u8 posType = format != nullptr ? format->posType : FLOAT_TYPE;
	_rpSkinBlendBody( skin, _rpSkinGlobals.palette, static_cast<u32>( geometry->numVertices ), skin->sourcePositions,
					  header->normArray != nullptr ? skin->sourceNormals : nullptr, header->posArray, header->normArray,
					  posType, format != nullptr ? format->posFrac : 0, format != nullptr ? format->normType : FLOAT_TYPE,
					  format != nullptr && format->threeNormals != 0 );
	DCFlushRange( header->posArray, static_cast<u32>( geometry->numVertices ) * 3 * COMPONENT_BYTES[posType] );
	return object;
}

void* _rpSkinRenderCallback( void* object, RxGCInstanceContext* context ) {
	const RpAtomic* const atomic = static_cast<const RpAtomic*>( object );
	const RpSkin* const skin = atomic->geometry != nullptr ? RpSkinGeometryGetSkin( atomic->geometry ) : nullptr;
	// Blended skins are in the atomic's space: drawn as any atomic.
	if ( skin == nullptr || skin->maxNumWeights >= 2 || _rpSkinGlobals.palette == nullptr ) {
		return _rxGCDefaultRenderCallback( object, context );
	}
	_rxGCRenderBegin( object, context, true );
	const bool normals = ( context->flags & rpGEOMETRYNORMALS ) != 0;
	const RwMatrix* const palette = _rpSkinGlobals.palette;
	// Without split data every used bone's matrix, in used-bone order.
	if ( skin->numMeshes == 0 ) {
		for ( u32 i = 0; i < skin->numUsedBones; i++ ) {
			_rpSkinLoadMatrix( &palette[skin->usedBones[i]], GX_PNMTX0 + SLOTS_PER_MATRIX * i, normals );
		}
	}
	const bool materials = _rxGCRenderNeedsMaterials( context );
	for ( u32 mesh = 0; mesh < context->mesh->numMeshes; mesh++ ) {
		// With split data each mesh loads its runs' bones from slot 0 on.
		u8 table[RPSKIN_MAX_MESH_BONES];
		const u32 count = MeshBoneTable( skin, mesh, table );
		for ( u32 slot = 0; slot < count; slot++ ) {
			_rpSkinLoadMatrix( &palette[table[slot]], GX_PNMTX0 + SLOTS_PER_MATRIX * slot, normals );
		}
		_rxGCRenderMesh( context, mesh, materials );
	}
	return object;
}
