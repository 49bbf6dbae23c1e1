/*
===============================================================================

	Finding and reading textures by name.

	RwTextureRead looks for the name in the current dictionary alone, or,
	with none current, in every dictionary from the newest; a texture
	found gains a reference. Otherwise the module's read callback loads it
	and it joins the current dictionary (when there is one) with the one
	reference it was made with. The mask name takes no part in the search.

	The default reader loads the base image (with its mask) from image
	files through the registered formats, asks the device which raster it
	makes for it, resamples the image to that size when it differs,
	palettises it when the raster format has a palette, gamma-corrects it
	and hands it to a new raster. With the mipmapping switch on it asks
	for a mipmapped raster: with automatic mipmaps the device builds the
	levels from level 0, else each level is read from its own file, named
	by the mipmap-name callback ("wall" level 3 is "wallm3", level 12
	"wallmc"; the mask likewise when it has a name). A device that grants
	no mipmaps gets the base image alone.

	File names are built in buffers of RWTEXTURE_FILENAME_BYTES chars: a
	name that does not fit is cut (error 0x8000001E); a level file name
	that does not fit with its suffix and extension fails the read with
	that error rather than naming another file.

===============================================================================
*/
#ifndef RW_TEXTURE_READ_H
#define RW_TEXTURE_READ_H

#include "graphics3d/core/RwTexture.h"

// The texture with one more reference, or null (core error 22 with both
// names, "(null)" for a null mask).
RwTexture*	RwTextureRead( const char* name, const char* maskName );

// The default read callback: the mipmap reader with the mipmapping
// switch on, else the normal reader.
RwTexture*	TextureDefaultRead( const char* name, const char* maskName );
// Appends "m" and the level's hexadecimal digit to the name, and to a
// non-empty mask name, for levels 1 to 15; other levels change nothing.
// True, or false with 0x8000001E when a suffix does not fit.
bool		TextureDefaultMipmapName( char* name, char* maskName, u8 mipLevel, s32 format );

#endif
