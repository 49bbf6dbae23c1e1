#include "graphics3d/world/RpGeometry.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"

#include <cstring>

RwModuleInfo		geometryModule;
RwPluginRegistry	geometryTKList = { static_cast<s32>( sizeof( RpGeometry ) ), static_cast<s32>( sizeof( RpGeometry ) ), 0, 0,
									   nullptr, nullptr };

static const u32 SET_COUNT_TWO_BIT_SETS	= 2;
static const u32 FORMAT_LOW_BYTE		= 0xFF;
static const s16 NO_MATERIAL			= -1;

static void* Allocate( const u64 bytes ) {
	void* const block = bytes <= 0xFFFFFFFFu ? RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( bytes ) ) : nullptr;
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
	}
	return block;
}

s32 _rpGeometryTexCoordSets( const u32 format ) {
	const u32 explicitSets = ( format & rpGEOMETRYTEXCOORDSETSMASK ) >> rpGEOMETRYTEXCOORDSETSSHIFT;
	if ( explicitSets != 0 ) {
		return static_cast<s32>( explicitSets );
	}
	if ( format & rpGEOMETRYTEXTURED2 ) {
		return SET_COUNT_TWO_BIT_SETS;
	}
	return ( format & rpGEOMETRYTEXTURED ) ? 1 : 0;
}

RpGeometry* RpGeometryCreate( const s32 numVertices, const s32 numTriangles, const u32 format ) {
	if ( numVertices >= RPGEOMETRY_MAX_VERTICES ) {
		RwError error = { RPGEOMETRY_ERROR_PLUGIN, RPGEOMETRY_ERROR_VERTICES };
		RwErrorSet( &error );
		return nullptr;
	}
	if ( numVertices < 0 || numTriangles < 0 ) {
		return nullptr;
	}
	const s32 sets = _rpGeometryTexCoordSets( format );
	if ( sets > RPGEOMETRY_MAX_TEXCOORD_SETS ) {
		_rwErrorSetCore( _rwerror( RPGEOMETRY_ERROR_TEXCOORDS, sets ) );
		return nullptr;
	}
	u32 flags = format & FORMAT_LOW_BYTE & ~( rpGEOMETRYTEXTURED | rpGEOMETRYTEXTURED2 );
	flags |= sets == 1 ? rpGEOMETRYTEXTURED : ( sets > 1 ? rpGEOMETRYTEXTURED2 : 0 );
	flags |= format & rpGEOMETRYCREATIONBITSMASK;
	const bool native = ( flags & rpGEOMETRYNATIVE ) != 0;

	const u64 vertices = static_cast<u64>( numVertices );
	u64 bytes = static_cast<u64>( geometryTKList.sizeOfStruct );
	if ( !native ) {
		bytes += ( flags & rpGEOMETRYPRELIT ) ? vertices * sizeof( RwRGBA ) : 0;
		bytes += static_cast<u64>( sets ) * vertices * sizeof( RwTexCoords );
		bytes += static_cast<u64>( numTriangles ) * sizeof( RpTriangle );
	}
	u8* const block = static_cast<u8*>( Allocate( bytes ) );
	if ( block == nullptr ) {
		return nullptr;
	}
	std::memset( block, 0, static_cast<size_t>( geometryTKList.sizeOfStruct ) );
	RpGeometry* const geometry = reinterpret_cast<RpGeometry*>( block );
	geometry->object.type = rpGEOMETRY;
	geometry->flags = flags;
	geometry->refCount = 1;
	geometry->numTriangles = numTriangles;
	geometry->numVertices = numVertices;
	geometry->numTexCoordSets = sets;
	_rpMaterialListInitialize( &geometry->matList );
	if ( !native ) {
		u8* cursor = block + geometryTKList.sizeOfStruct;
		if ( ( flags & rpGEOMETRYPRELIT ) && numVertices > 0 ) {
			geometry->preLitLum = reinterpret_cast<RwRGBA*>( cursor );
			cursor += vertices * sizeof( RwRGBA );
		}
		for ( s32 set = 0; set < sets && numVertices > 0; set++ ) {
			geometry->texCoords[set] = reinterpret_cast<RwTexCoords*>( cursor );
			cursor += vertices * sizeof( RwTexCoords );
		}
		if ( numTriangles > 0 ) {
			geometry->triangles = reinterpret_cast<RpTriangle*>( cursor );
			for ( s32 i = 0; i < numTriangles; i++ ) {
				geometry->triangles[i] = { { 0, 0, 0 }, NO_MATERIAL };
			}
		}
	}
	if ( RpGeometryAddMorphTargets( geometry, 1 ) < 0 ) {
		_rpMaterialListDeinitialize( &geometry->matList );
		RwEngineInstance->memoryFunctions.rwfree( geometry );
		return nullptr;
	}
	if ( _rwPluginRegistryInitObject( &geometryTKList, geometry ) == nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( geometry->morphTarget );
		_rpMaterialListDeinitialize( &geometry->matList );
		RwEngineInstance->memoryFunctions.rwfree( geometry );
		return nullptr;
	}
	return geometry;
}

// Vertex bytes of one morph target.
static u64 TargetVertexBytes( const RpGeometry* geometry ) {
	if ( geometry->flags & rpGEOMETRYNATIVE ) {
		return 0;
	}
	const u64 perArray = static_cast<u64>( geometry->numVertices ) * sizeof( RwV3d );
	return ( geometry->flags & rpGEOMETRYNORMALS ) ? 2 * perArray : perArray;
}

s32 RpGeometryAddMorphTargets( RpGeometry* geometry, const s32 count ) {
	if ( count < 0 ) {
		return -1;
	}
	const u64 oldCount = static_cast<u64>( geometry->numMorphTargets );
	const u64 newCount = oldCount + static_cast<u64>( count );
	const u64 vertexBytes = TargetVertexBytes( geometry );
	const u64 bytes = newCount * ( sizeof( RpMorphTarget ) + vertexBytes );
	if ( newCount > 0x7FFFFFFF || bytes > 0xFFFFFFFFu ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
		return -1;
	}
	const RwMemoryFunctions& memory = RwEngineInstance->memoryFunctions;
	u8* const block = static_cast<u8*>( geometry->morphTarget != nullptr
											? memory.rwrealloc( geometry->morphTarget, static_cast<u32>( bytes ) )
											: memory.rwmalloc( static_cast<u32>( bytes ) ) );
	if ( block == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( bytes ) ) );
		return -1;
	}
	// Records first: the old targets' vertex data move up by the new records.
	u8* const oldData = block + oldCount * sizeof( RpMorphTarget );
	u8* const newData = block + newCount * sizeof( RpMorphTarget );
	std::memmove( newData, oldData, static_cast<size_t>( oldCount * vertexBytes ) );
	std::memset( newData + oldCount * vertexBytes, 0, static_cast<size_t>( ( newCount - oldCount ) * vertexBytes ) );
	RpMorphTarget* const targets = reinterpret_cast<RpMorphTarget*>( block );
	const u64 perArray = static_cast<u64>( geometry->numVertices ) * sizeof( RwV3d );
	for ( u64 t = 0; t < newCount; t++ ) {
		RpMorphTarget& target = targets[t];
		u8* const data = newData + t * vertexBytes;
		target.verts = vertexBytes != 0 ? reinterpret_cast<RwV3d*>( data ) : nullptr;
		target.normals = vertexBytes != 0 && ( geometry->flags & rpGEOMETRYNORMALS )
							 ? reinterpret_cast<RwV3d*>( data + perArray )
							 : nullptr;
		if ( t >= oldCount ) {
			target.parentGeom = geometry;
			target.boundingSphere = { { 0.0f, 0.0f, 0.0f }, 0.0f };
		}
	}
	geometry->morphTarget = targets;
	geometry->numMorphTargets = static_cast<s32>( newCount );
	return static_cast<s32>( oldCount );
}

bool RpGeometryDestroy( RpGeometry* geometry ) {
	if ( geometry->refCount > 1 ) {
		geometry->refCount--;
		return true;
	}
	if ( geometry->repEntry != nullptr ) {
		RwResourcesFreeResEntry( geometry->repEntry );
		geometry->repEntry = nullptr;
	}
	geometry->lockedSinceLastInst = RPGEOMETRY_LOCK_ALL;
	if ( geometry->mesh != nullptr ) {
		_rpMeshDestroy( geometry->mesh );
		geometry->mesh = nullptr;
	}
	// Destructors see the geometry still referenced.
	geometry->refCount = 1;
	_rwPluginRegistryDeInitObject( &geometryTKList, geometry );
	if ( geometry->morphTarget != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( geometry->morphTarget );
	}
	_rpMaterialListDeinitialize( &geometry->matList );
	RwEngineInstance->memoryFunctions.rwfree( geometry );
	return true;
}

RpGeometry* _rpGeometryAddRef( RpGeometry* geometry ) {
	geometry->refCount++;
	return geometry;
}

RpGeometry* RpGeometryLock( RpGeometry* geometry, const u32 lockMode ) {
	geometry->lockedSinceLastInst |= static_cast<u16>( lockMode );
	if ( ( lockMode & rpGEOMETRYLOCKPOLYGONS ) && geometry->mesh != nullptr ) {
		_rpMeshDestroy( geometry->mesh );
		geometry->mesh = nullptr;
	}
	return geometry;
}

RpGeometry* RpGeometryUnlock( RpGeometry* geometry ) {
	if ( geometry->mesh != nullptr ) {
		return geometry;
	}
	// A native geometry's meshes come only with its stream.
	if ( geometry->flags & rpGEOMETRYNATIVE ) {
		return nullptr;
	}
	RpBuildMesh* const buildMesh = _rpBuildMeshCreate( static_cast<u32>( geometry->numTriangles ) );
	if ( buildMesh == nullptr ) {
		return nullptr;
	}
	for ( s32 i = 0; i < geometry->numTriangles; i++ ) {
		const RpTriangle& triangle = geometry->triangles[i];
		RpMaterial* const material =
			triangle.matIndex >= 0 ? _rpMaterialListGetMaterial( &geometry->matList, triangle.matIndex ) : nullptr;
		if ( _rpBuildMeshAddTriangle( buildMesh, material, triangle.vertIndex[0], triangle.vertIndex[1],
									  triangle.vertIndex[2] ) == nullptr ) {
			_rpBuildMeshDestroy( buildMesh );
			return nullptr;
		}
	}
	const u32 flags = ( geometry->flags & rpGEOMETRYTRISTRIP ) ? rpMESHOPTIMISETRISTRIP : 0;
	geometry->mesh = _rpMeshOptimise( buildMesh, flags );
	if ( geometry->mesh == nullptr ) {
		_rpBuildMeshDestroy( buildMesh );
		return nullptr;
	}
	return geometry;
}

RpGeometry* RpGeometryForAllMaterials( RpGeometry* geometry, const RpMaterialCallBack callBack, void* data ) {
	for ( s32 i = 0; i < geometry->matList.numMaterials; i++ ) {
		if ( callBack( geometry->matList.materials[i], data ) == nullptr ) {
			break;
		}
	}
	return geometry;
}

s32 RpGeometryRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
							  const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &geometryTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RpGeometryRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
									const RwPluginDataChunkWriteCallBack writeCB,
									const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &geometryTKList, pluginID, readCB, writeCB, getSizeCB );
}

void* _rpGeometryOpen( void* instance, const s32 offset, s32 ) {
	geometryModule.globalsOffset = offset;
	geometryModule.numInstances++;
	return instance;
}

void* _rpGeometryClose( void* instance, s32, s32 ) {
	if ( geometryModule.numInstances > 0 ) {
		geometryModule.numInstances--;
	}
	return instance;
}
