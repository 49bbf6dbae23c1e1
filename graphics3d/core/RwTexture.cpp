#include "graphics3d/core/RwTexture.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTextureLevels.h"
#include "graphics3d/core/RwTextureRead.h"

#include <cstring>

RwModuleInfo		textureModule;
RwPluginRegistry	textureTKList = { static_cast<s32>( sizeof( RwTexture ) ), static_cast<s32>( sizeof( RwTexture ) ), 0, 0,
									  nullptr, nullptr };

// Records of the two free lists while the module is open.
static RwFreeList textureFreeListRecord;
static RwFreeList texDictFreeListRecord;

static const s32 FREE_LIST_ALIGNMENT = 4;

RwTextureGlobals* _rwTextureGlobals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( textureModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwTextureGlobals>( instance, textureModule.globalsOffset );
}

static char UpperCase( const char c ) {
	return c >= 'a' && c <= 'z' ? static_cast<char>( c - 'a' + 'A' ) : c;
}

bool _rwTextureNamesEqual( const char* a, const char* b ) {
	while ( *a != '\0' && UpperCase( *a ) == UpperCase( *b ) ) {
		a++;
		b++;
	}
	return *a == '\0' && *b == '\0';
}

RwTexture* RwTextureCreate( RwRaster* raster ) {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwTexture* const texture = static_cast<RwTexture*>( RwEngineInstance->freeListAllocHook( globals->textureFreeList ) );
	if ( texture == nullptr ) {
		return nullptr;
	}
	texture->raster = raster;
	texture->dict = nullptr;
	texture->lInDictionary.next = nullptr;
	texture->lInDictionary.prev = nullptr;
	texture->name[0] = '\0';
	texture->mask[0] = '\0';
	texture->filterAddressing = RWTEXTURE_DEFAULT_FILTER_ADDRESSING;
	texture->refCount = 1;
	if ( _rwPluginRegistryInitObject( &textureTKList, texture ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->textureFreeList, texture );
		return nullptr;
	}
	return texture;
}

bool RwTextureDestroy( RwTexture* texture ) {
	if ( texture->refCount > 1 ) {
		texture->refCount--;
		return true;
	}
	// The plug-ins see a texture that is still referenced.
	_rwPluginRegistryDeInitObject( &textureTKList, texture );
	if ( texture->dict != nullptr ) {
		rwLinkListRemoveLLLink( &texture->lInDictionary );
		texture->dict = nullptr;
	}
	if ( texture->raster != nullptr ) {
		RwRasterDestroy( texture->raster );
		texture->raster = nullptr;
	}
	texture->refCount = 0;
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->textureFreeList, texture );
	}
	return true;
}

static void CopyName( char* destination, const char* name ) {
	const size_t length = std::strlen( name );
	if ( length >= static_cast<size_t>( rwTEXTUREBASENAMELENGTH ) ) {
		const s32 kept = rwTEXTUREBASENAMELENGTH - 1;
		_rwErrorSetCore( _rwerror( RWERR_NAME_TOO_LONG, name, rwTEXTUREBASENAMELENGTH, kept, name[kept] ) );
		std::memcpy( destination, name, static_cast<size_t>( kept ) );
		destination[kept] = '\0';
		return;
	}
	std::memcpy( destination, name, length + 1 );
}

RwTexture* RwTextureSetName( RwTexture* texture, const char* name ) {
	CopyName( texture->name, name );
	return texture;
}

RwTexture* RwTextureSetMaskName( RwTexture* texture, const char* maskName ) {
	CopyName( texture->mask, maskName );
	return texture;
}

RwTexture* RwTextureSetRaster( RwTexture* texture, RwRaster* raster ) {
	if ( raster == nullptr ) {
		texture->raster = nullptr;
		return texture;
	}
	const RwStandardFunc setRaster = RwEngineInstance->standards[RWSTANDARD_TEXTURE_SET_RASTER];
	if ( setRaster == nullptr || !setRaster( texture, raster, 0 ) ) {
		return nullptr;
	}
	return texture;
}

bool RwTextureSetMipmapping( const bool enable ) {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals != nullptr ) {
		globals->haveTexMipmaps = enable;
	}
	return true;
}

bool RwTextureGetMipmapping() {
	const RwTextureGlobals* const globals = _rwTextureGlobals();
	return globals != nullptr && globals->haveTexMipmaps;
}

bool RwTextureSetAutoMipmapping( const bool enable ) {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals != nullptr ) {
		globals->generateTexMipmaps = enable;
	}
	return true;
}

bool RwTextureGetAutoMipmapping() {
	const RwTextureGlobals* const globals = _rwTextureGlobals();
	return globals != nullptr && globals->generateTexMipmaps;
}

bool RwTextureGenerateMipmapName( char* name, char* maskName, const u8 mipLevel, const s32 format ) {
	const RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals == nullptr || globals->mipmapNameFunc == nullptr ) {
		return false;
	}
	return globals->mipmapNameFunc( name, maskName, mipLevel, format );
}

bool RwTextureRasterGenerateMipmaps( RwRaster* raster, RwImage* image ) {
	const RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals == nullptr || globals->mipmapGenerationFunc == nullptr ) {
		return false;
	}
	return globals->mipmapGenerationFunc( raster, image ) != nullptr;
}

s32 RwTextureRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
							 const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &textureTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RwTextureGetPluginOffset( const u32 pluginID ) {
	return _rwPluginRegistryGetPluginOffset( &textureTKList, pluginID );
}

static void DestroyFreeLists( RwTextureGlobals* globals ) {
	if ( globals->textureFreeList != nullptr ) {
		RwFreeListDestroy( globals->textureFreeList );
		globals->textureFreeList = nullptr;
	}
	if ( globals->texDictFreeList != nullptr ) {
		RwFreeListDestroy( globals->texDictFreeList );
		globals->texDictFreeList = nullptr;
	}
}

void* _rwTextureOpen( void* instance, const s32 offset, s32 ) {
	RwTextureGlobals* const globals = RwPluginData<RwTextureGlobals>( instance, offset );
	std::memset( globals, 0, sizeof( *globals ) );
	rwLinkListInitialize( &globals->texDictList );
	globals->textureFreeList = RwFreeListCreateAndPreallocateSpace(
		textureTKList.sizeOfStruct, RWTEXTURE_ENTRIES_PER_BLOCK, FREE_LIST_ALIGNMENT, 1, &textureFreeListRecord );
	if ( globals->textureFreeList == nullptr ) {
		return nullptr;
	}
	globals->texDictFreeList = RwFreeListCreateAndPreallocateSpace(
		texDictTKList.sizeOfStruct, RWTEXDICTIONARY_ENTRIES_PER_BLOCK, FREE_LIST_ALIGNMENT, 1, &texDictFreeListRecord );
	if ( globals->texDictFreeList == nullptr ) {
		DestroyFreeLists( globals );
		return nullptr;
	}
	// Counted open from here so that the dictionary can be made through
	// the module's own creator.
	textureModule.globalsOffset = offset;
	textureModule.numInstances++;
	globals->firstTexDict = RwTexDictionaryCreate();
	if ( globals->firstTexDict == nullptr ) {
		textureModule.numInstances--;
		DestroyFreeLists( globals );
		return nullptr;
	}
	globals->currentTexDict = globals->firstTexDict;
	globals->haveTexMipmaps = false;
	globals->generateTexMipmaps = false;
	globals->textureReadFunc = TextureDefaultRead;
	globals->mipmapGenerationFunc = TextureRasterDefaultBuildMipmaps;
	globals->mipmapNameFunc = TextureDefaultMipmapName;
	return instance;
}

void* _rwTextureClose( void* instance, const s32 offset, s32 ) {
	if ( textureModule.numInstances <= 0 ) {
		return instance;
	}
	RwTextureGlobals* const globals = RwPluginData<RwTextureGlobals>( instance, offset );
	// The first dictionary may have been destroyed and its memory reused:
	// it is only touched when it is still listed.
	RwLinkList* const list = &globals->texDictList;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		if ( link == &globals->firstTexDict->lInInstance ) {
			RwTexDictionaryDestroy( globals->firstTexDict );
			break;
		}
	}
	globals->firstTexDict = nullptr;
	globals->currentTexDict = nullptr;
	DestroyFreeLists( globals );
	textureModule.numInstances--;
	return instance;
}
