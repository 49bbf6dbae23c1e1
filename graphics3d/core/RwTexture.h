/*
===============================================================================

	Textures of the 3D library.

	A texture is a named, reference-counted wrapper around a raster with a
	filtering and addressing word (bits 0-7 filter mode, 8-11 addressing
	in U, 12-15 addressing in V). Textures live in texture dictionaries
	(RwTexDictionary.h); RwTextureRead (RwTextureRead.h) finds them there
	or loads them from image files.

	The module keeps, in its space of the engine instance, the list of all
	dictionaries, the free lists of textures (128 a block) and
	dictionaries (5 a block), the current dictionary, the two mipmapping
	switches and three replaceable callbacks: the texture reader, the
	builder of mip levels and the namer of mip-level files. Opening the
	module makes one dictionary and makes it current; closing destroys
	that dictionary if it still exists.

	Names are 32 chars with the terminator; a longer name is cut to 31
	chars and recorded as error 0x8000001E, and the operation goes on.

===============================================================================
*/
#ifndef RW_TEXTURE_H
#define RW_TEXTURE_H

#include "graphics3d/core/RwLinkList.h"
#include "graphics3d/core/RwPlugin.h"

struct RwImage;
struct RwRaster;
struct RwTexDictionary;

// Chars of a texture's name and mask name, the terminator included.
constexpr s32 rwTEXTUREBASENAMELENGTH		= 32;

struct RwTexture {
	RwRaster*			raster;			// may be null
	RwTexDictionary*	dict;			// the owning dictionary, or null
	RwLLLink			lInDictionary;	// in the dictionary's list; next null when in none
	char				name[rwTEXTUREBASENAMELENGTH];
	char				mask[rwTEXTUREBASENAMELENGTH];
	u32					filterAddressing;
	s32					refCount;
};

// Filtering and addressing of a new texture: filter 1, addressing 1 in
// U and in V.
constexpr u32 RWTEXTURE_DEFAULT_FILTER_ADDRESSING	= 0x1101;
constexpr u32 rwTEXTUREFILTERMODEMASK				= 0x000000FF;
constexpr u32 rwTEXTUREADDRESSINGUMASK				= 0x00000F00;
constexpr u32 rwTEXTUREADDRESSINGVMASK				= 0x0000F000;

// Codes this module records.
constexpr u32 RWERR_NAME_TOO_LONG		= 0x8000001E;	// a name cut to fit its buffer
constexpr u32 RWERR_TEXTURE_NOT_FOUND	= 22;			// neither found nor read (core plug-in)

// Entries per block of the two free lists.
constexpr s32 RWTEXTURE_ENTRIES_PER_BLOCK		= 128;
constexpr s32 RWTEXDICTIONARY_ENTRIES_PER_BLOCK	= 5;

// Reads a texture that no dictionary holds; null when it cannot.
typedef RwTexture*	( *RwTextureCallBackRead )( const char* name, const char* maskName );
// Builds mip levels 1 up of a raster from an image (null: from level 0).
typedef RwRaster*	( *RwTextureCallBackMipmapGeneration )( RwRaster* raster, RwImage* image );
// Turns the base names in place into the file names of a mip level. Both
// buffers hold RWTEXTURE_FILENAME_BYTES chars.
typedef bool		( *RwTextureCallBackMipmapName )( char* name, char* maskName, u8 mipLevel, s32 format );

// Chars of the file-name buffers of the readers, the terminator included.
constexpr s32 RWTEXTURE_FILENAME_BYTES	= 256;

// The module's state in the engine instance.
struct RwTextureGlobals {
	RwLinkList							texDictList;		// every dictionary, newest first
	RwFreeList*							textureFreeList;
	RwFreeList*							texDictFreeList;
	RwTexDictionary*					currentTexDict;		// null allowed
	RwTextureCallBackRead				textureReadFunc;
	bool								haveTexMipmaps;		// read textures with mip levels
	bool								generateTexMipmaps;	// let the device build them
	RwTextureCallBackMipmapGeneration	mipmapGenerationFunc;
	RwTextureCallBackMipmapName			mipmapNameFunc;
	RwTexDictionary*					firstTexDict;		// made by the open
};

extern RwModuleInfo		textureModule;
extern RwPluginRegistry	textureTKList;

// A texture on the raster with one reference, or null.
RwTexture*	RwTextureCreate( RwRaster* raster );
// Drops one reference; the last one destroys the texture and its raster.
// True.
bool		RwTextureDestroy( RwTexture* texture );
RwTexture*	RwTextureSetName( RwTexture* texture, const char* name );
RwTexture*	RwTextureSetMaskName( RwTexture* texture, const char* maskName );
// A non-null raster goes through the device (null when refused); null
// just clears the texture's raster.
RwTexture*	RwTextureSetRaster( RwTexture* texture, RwRaster* raster );

// The two switches; the setters return true.
bool		RwTextureSetMipmapping( bool enable );
bool		RwTextureGetMipmapping();
bool		RwTextureSetAutoMipmapping( bool enable );
bool		RwTextureGetAutoMipmapping();

// The file names of a mip level through the callback; false without one.
bool		RwTextureGenerateMipmapName( char* name, char* maskName, u8 mipLevel, s32 format );
// Mip levels through the callback; true when it returned the raster.
bool		RwTextureRasterGenerateMipmaps( RwRaster* raster, RwImage* image );

s32			RwTextureRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									 RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32			RwTextureGetPluginOffset( u32 pluginID );

// Names compare with a-z folded to upper case on both sides; they must
// end together.
bool		_rwTextureNamesEqual( const char* a, const char* b );

// The module's state while it is open, else null.
RwTextureGlobals*	_rwTextureGlobals();

// Engine plug-in open and close.
void*		_rwTextureOpen( void* instance, s32 offset, s32 size );
void*		_rwTextureClose( void* instance, s32 offset, s32 size );

#endif
