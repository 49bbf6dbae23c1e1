/*
===============================================================================

	Texture chunks of the 3D library's streams.

	A texture chunk (0x06) names a texture: a struct chunk with the
	filtering and addressing word (bits 0-7 filter mode, 8-11 addressing
	in U, 12-15 in V, bit 16 set: mip levels are not built by the
	device), a string chunk with the name, one with the mask name (empty
	for none) and the texture's extension chunk. The texture is found or
	read through RwTextureRead, with the mipmapping switches set for the
	filter mode while it reads and restored afterwards on every path. A
	texture made by this read takes the stored word; one already in use
	keeps its own.

	The struct payload is read up to its first four bytes (a shorter one
	leaves the upper bytes zero) and the rest is skipped, so the stream
	stays in step whatever length is stored.

===============================================================================
*/
#ifndef RW_TEXTURE_CHUNK_H
#define RW_TEXTURE_CHUNK_H

#include "graphics3d/core/RwTexture.h"

struct RwStream;

// Flag bit of the stored word: mip levels are read, not built.
constexpr u32 RWTEXTURE_CHUNK_NO_AUTOMIPMAP	= 0x10000;

// The stream positioned inside a texture chunk; the texture with the
// reference this read gave it, or null.
RwTexture*	RwTextureStreamRead( RwStream* stream );

#endif
