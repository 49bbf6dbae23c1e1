#include "graphics3d/world/RpMaterial.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwTextureChunk.h"
#include "graphics3d/world/RpStructChunk.h"

#include "datatypes/base/DTByteOrder.h"

RwModuleInfo		materialModule;
RwPluginRegistry	materialTKList = { static_cast<s32>( sizeof( RpMaterial ) ), static_cast<s32>( sizeof( RpMaterial ) ), 0,
									   0, nullptr, nullptr };

// Record of the material free list while the module is open.
static RwFreeList materialFreeListRecord;

static const RwSurfaceProperties UNIT_SURFACE_PROPERTIES = { 1.0f, 1.0f, 1.0f };
static RwSurfaceProperties defaultSurfaceProperties = UNIT_SURFACE_PROPERTIES;

// Byte offsets in the material struct.
static const u32 STRUCT_COLOR		= 4;
static const u32 STRUCT_TEXTURED	= 12;
static const u32 STRUCT_AMBIENT		= 16;
static const u32 STRUCT_SPECULAR	= 20;
static const u32 STRUCT_DIFFUSE		= 24;

static RpMaterialGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( materialModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RpMaterialGlobals>( instance, materialModule.globalsOffset );
}

RpMaterial* RpMaterialCreate() {
	RpMaterialGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RpMaterial* const material = static_cast<RpMaterial*>( RwEngineInstance->freeListAllocHook( globals->materialFreeList ) );
	if ( material == nullptr ) {
		return nullptr;
	}
	material->texture = nullptr;
	material->color = { 255, 255, 255, 255 };
	material->pipeline = nullptr;
	material->surfaceProps = defaultSurfaceProperties;
	material->refCount = 1;
	if ( _rwPluginRegistryInitObject( &materialTKList, material ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->materialFreeList, material );
		return nullptr;
	}
	return material;
}

bool RpMaterialDestroy( RpMaterial* material ) {
	if ( material->refCount > 1 ) {
		material->refCount--;
		return true;
	}
	_rwPluginRegistryDeInitObject( &materialTKList, material );
	RpMaterialSetTexture( material, nullptr );
	material->refCount = 0;
	RpMaterialGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->materialFreeList, material );
	}
	return true;
}

RpMaterial* RpMaterialSetTexture( RpMaterial* material, RwTexture* texture ) {
	// The new reference first: the old texture may be the new one.
	if ( texture != nullptr ) {
		texture->refCount++;
	}
	if ( material->texture != nullptr ) {
		RwTextureDestroy( material->texture );
	}
	material->texture = texture;
	return material;
}

s32 RpMaterialRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
							  const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &materialTKList, size, pluginID, constructCB, destructCB, copyCB );
}

void _rpMaterialSetDefaultSurfaceProperties( const RwSurfaceProperties* surfaceProperties ) {
	defaultSurfaceProperties = surfaceProperties != nullptr ? *surfaceProperties : UNIT_SURFACE_PROPERTIES;
}

const RwSurfaceProperties* _rpMaterialGetDefaultSurfaceProperties() {
	return &defaultSurfaceProperties;
}

// Reads the texture chunk that follows a textured struct. The texture read
// may find nothing (null texture, success); a missing chunk or one of a bad
// version fails.
static bool ReadMaterialTexture( RwStream* stream, RpMaterial* material ) {
	if ( !RwStreamFindChunk( stream, rwID_TEXTURE, nullptr, nullptr ) ) {
		return false;
	}
	// The read's reference becomes the material's.
	material->texture = RwTextureStreamRead( stream );
	return true;
}

RpMaterial* RpMaterialStreamRead( RwStream* stream ) {
	u8 record[RPMATERIAL_CHUNK_STRUCT_BYTES];
	if ( !_rpStructChunkRead( stream, record, sizeof( record ), nullptr ) ) {
		return nullptr;
	}
	RpMaterial* const material = RpMaterialCreate();
	if ( material == nullptr ) {
		return nullptr;
	}
	// Colour bytes in stream order, as the writer laid them down.
	material->color = { record[STRUCT_COLOR], record[STRUCT_COLOR + 1], record[STRUCT_COLOR + 2], record[STRUCT_COLOR + 3] };
	material->surfaceProps.ambient = DTReadLEF32( record + STRUCT_AMBIENT );
	material->surfaceProps.specular = DTReadLEF32( record + STRUCT_SPECULAR );
	material->surfaceProps.diffuse = DTReadLEF32( record + STRUCT_DIFFUSE );
	if ( DTReadLE32( record + STRUCT_TEXTURED ) != 0 && !ReadMaterialTexture( stream, material ) ) {
		RpMaterialDestroy( material );
		return nullptr;
	}
	if ( _rwPluginRegistryReadDataChunks( &materialTKList, stream, material ) == nullptr ) {
		RpMaterialDestroy( material );
		return nullptr;
	}
	return material;
}

void* _rpMaterialOpen( void* instance, const s32 offset, s32 ) {
	RpMaterialGlobals* const globals = RwPluginData<RpMaterialGlobals>( instance, offset );
	globals->materialFreeList = RwFreeListCreateAndPreallocateSpace( materialTKList.sizeOfStruct, RPMATERIAL_ENTRIES_PER_BLOCK,
																	 0, 1, &materialFreeListRecord );
	if ( globals->materialFreeList == nullptr ) {
		return nullptr;
	}
	materialModule.globalsOffset = offset;
	materialModule.numInstances++;
	return instance;
}

void* _rpMaterialClose( void* instance, const s32 offset, s32 ) {
	RpMaterialGlobals* const globals = RwPluginData<RpMaterialGlobals>( instance, offset );
	if ( globals->materialFreeList != nullptr ) {
		RwFreeListDestroy( globals->materialFreeList );
		globals->materialFreeList = nullptr;
	}
	if ( materialModule.numInstances > 0 ) {
		materialModule.numInstances--;
	}
	return instance;
}
