/*
===============================================================================

	Texture dictionaries of the 3D library.

	A dictionary is a named collection of textures: a circular list into
	which textures are inserted at the head, so the most recently added
	of two same-named textures is found first. Adding and finding change
	no reference count; a dictionary holds the one reference each texture
	was created with, and destroying the dictionary drops exactly that
	one. A texture still referenced elsewhere survives its dictionary and
	is left in none, so it may join another or be destroyed later.

	One dictionary may be current: RwTextureRead searches it alone and
	puts the textures it reads into it.

===============================================================================
*/
#ifndef RW_TEX_DICTIONARY_H
#define RW_TEX_DICTIONARY_H

#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwTexture.h"

struct RwTexDictionary {
	RwObject	object;				// type 6
	RwLinkList	texturesInDict;		// head inserts
	RwLLLink	lInInstance;		// in the module's list of dictionaries
};

// Object type of a dictionary.
constexpr u8 rwTEXDICTIONARY = 6;

typedef RwTexture* ( *RwTextureCallBack )( RwTexture* texture, void* data );

extern RwPluginRegistry	texDictTKList;

// An empty dictionary at the head of the module's list, or null.
RwTexDictionary*	RwTexDictionaryCreate();
// Drops one reference of every texture in it, detaches the survivors and
// frees the dictionary; clears the current dictionary when it is this
// one. True.
bool				RwTexDictionaryDestroy( RwTexDictionary* dict );
// Moves the texture (out of any other dictionary) to the head of dict.
RwTexture*			RwTexDictionaryAddTexture( RwTexDictionary* dict, RwTexture* texture );
// The first texture from the head of that name, or null.
RwTexture*			RwTexDictionaryFindNamedTexture( RwTexDictionary* dict, const char* name );
// Calls back for each texture from the head until one returns null; the
// callback may destroy the texture it is given.
const RwTexDictionary*	RwTexDictionaryForAllTextures( const RwTexDictionary* dict, RwTextureCallBack callback, void* data );
RwTexDictionary*	RwTexDictionarySetCurrent( RwTexDictionary* dict );
RwTexDictionary*	RwTexDictionaryGetCurrent();

// The texture whose dictionary link this is.
RwTexture*			_rwTextureFromDictionaryLink( RwLLLink* link );

#endif
