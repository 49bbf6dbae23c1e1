#include "graphics3d/core/RwTexDictionary.h"

#include "graphics3d/core/RwEngine.h"

#include <cstddef>

RwPluginRegistry texDictTKList = { static_cast<s32>( sizeof( RwTexDictionary ) ), static_cast<s32>( sizeof( RwTexDictionary ) ),
								   0, 0, nullptr, nullptr };

RwTexture* _rwTextureFromDictionaryLink( RwLLLink* link ) {
	return reinterpret_cast<RwTexture*>( reinterpret_cast<u8*>( link ) - offsetof( RwTexture, lInDictionary ) );
}

RwTexDictionary* RwTexDictionaryCreate() {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwTexDictionary* const dict = static_cast<RwTexDictionary*>( RwEngineInstance->freeListAllocHook( globals->texDictFreeList ) );
	if ( dict == nullptr ) {
		return nullptr;
	}
	dict->object = { rwTEXDICTIONARY, 0, 0, 0, nullptr };
	rwLinkListInitialize( &dict->texturesInDict );
	rwLinkListAddLLLink( &globals->texDictList, &dict->lInInstance );
	if ( _rwPluginRegistryInitObject( &texDictTKList, dict ) == nullptr ) {
		rwLinkListRemoveLLLink( &dict->lInInstance );
		RwEngineInstance->freeListFreeHook( globals->texDictFreeList, dict );
		return nullptr;
	}
	return dict;
}

bool RwTexDictionaryDestroy( RwTexDictionary* dict ) {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals != nullptr && globals->currentTexDict == dict ) {
		globals->currentTexDict = nullptr;
	}
	RwLinkList* const list = &dict->texturesInDict;
	RwLLLink* link = rwLinkListGetFirst( list );
	while ( link != rwLinkListGetTerminator( list ) ) {
		RwLLLink* const next = link->next;
		RwTextureDestroy( _rwTextureFromDictionaryLink( link ) );
		link = next;
	}
	// Textures referenced elsewhere outlive the dictionary: they must not
	// keep pointers into it.
	while ( !rwLinkListEmpty( list ) ) {
		RwLLLink* const survivor = rwLinkListGetFirst( list );
		_rwTextureFromDictionaryLink( survivor )->dict = nullptr;
		rwLinkListRemoveLLLink( survivor );
	}
	_rwPluginRegistryDeInitObject( &texDictTKList, dict );
	rwLinkListRemoveLLLink( &dict->lInInstance );
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->texDictFreeList, dict );
	}
	return true;
}

RwTexture* RwTexDictionaryAddTexture( RwTexDictionary* dict, RwTexture* texture ) {
	if ( texture->dict != nullptr ) {
		rwLinkListRemoveLLLink( &texture->lInDictionary );
	}
	texture->dict = dict;
	rwLinkListAddLLLink( &dict->texturesInDict, &texture->lInDictionary );
	return texture;
}

RwTexture* RwTexDictionaryFindNamedTexture( RwTexDictionary* dict, const char* name ) {
	RwLinkList* const list = &dict->texturesInDict;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		RwTexture* const texture = _rwTextureFromDictionaryLink( link );
		if ( _rwTextureNamesEqual( texture->name, name ) ) {
			return texture;
		}
	}
	return nullptr;
}

const RwTexDictionary* RwTexDictionaryForAllTextures( const RwTexDictionary* dict, const RwTextureCallBack callback, void* data ) {
	const RwLLLink* const end = &dict->texturesInDict.link;
	RwLLLink* link = dict->texturesInDict.link.next;
	while ( link != end ) {
		RwLLLink* const next = link->next;
		if ( callback( _rwTextureFromDictionaryLink( link ), data ) == nullptr ) {
			break;
		}
		link = next;
	}
	return dict;
}

RwTexDictionary* RwTexDictionarySetCurrent( RwTexDictionary* dict ) {
	RwTextureGlobals* const globals = _rwTextureGlobals();
	if ( globals != nullptr ) {
		globals->currentTexDict = dict;
	}
	return dict;
}

RwTexDictionary* RwTexDictionaryGetCurrent() {
	const RwTextureGlobals* const globals = _rwTextureGlobals();
	return globals != nullptr ? globals->currentTexDict : nullptr;
}
