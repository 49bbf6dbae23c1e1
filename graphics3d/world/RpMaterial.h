/*
===============================================================================

	Materials of the 3D library.

	A material gives triangles their colour, texture, surface properties
	and optionally a pipeline of their own. Materials are shared by
	reference count between the material lists of geometries and worlds:
	RpMaterialDestroy drops one reference and only the last one frees the
	material (destructors run, the texture reference is dropped, the
	record goes back to the free list).

	The material registry is a static record, so plug-ins can register
	before the library opens; the free list (256 per block, one block
	preallocated) lives in the material module's engine data.

	A material chunk (0x07) is a struct of at most 28 bytes (flags,
	colour bytes in stream order, a reserved word, the textured word and
	the ambient, specular and diffuse floats; missing bytes read as zero,
	extra ones are skipped), a texture chunk when the textured word is not
	zero, and the extension chunk. A texture that cannot be found leaves
	the material untextured; a missing or bad-version texture chunk or a
	failing extension destroys the material.

===============================================================================
*/
#ifndef RP_MATERIAL_H
#define RP_MATERIAL_H

#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"

struct RwStream;
struct RwTexture;
struct RxPipeline;
struct RwFreeList;

// How a surface answers ambient, specular and diffuse light.
struct RwSurfaceProperties {
	f32		ambient;
	f32		specular;
	f32		diffuse;
};

struct RpMaterial {
	RwTexture*				texture;		// counted reference, or null
	RwRGBA					color;
	RxPipeline*				pipeline;		// the material's own, or null
	RwSurfaceProperties		surfaceProps;
	s16						refCount;
};

// The material module's engine data.
struct RpMaterialGlobals {
	RwFreeList*		materialFreeList;
};

// Engine plug-in id of the material module; chunk type of a material.
constexpr u32 rwID_MATERIALMODULE	= 0x501;
constexpr u32 rwID_MATERIAL			= 0x07;

// Materials per block of the free list.
constexpr s32 RPMATERIAL_ENTRIES_PER_BLOCK = 256;

// Largest material struct payload read; longer ones are skipped past.
constexpr u32 RPMATERIAL_CHUNK_STRUCT_BYTES = 28;

extern RwPluginRegistry	materialTKList;
extern RwModuleInfo		materialModule;

// White, untextured, no pipeline, the default surface properties, one
// reference; null when the module is closed or the free list is empty.
RpMaterial*	RpMaterialCreate();
// Drops one reference; the last one frees the material. True.
bool		RpMaterialDestroy( RpMaterial* material );
// Takes a reference to the new texture before dropping the old one.
RpMaterial*	RpMaterialSetTexture( RpMaterial* material, RwTexture* texture );
s32			RpMaterialRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									  RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );

// The surface properties new materials get; null resets them to 1.0 each.
void		_rpMaterialSetDefaultSurfaceProperties( const RwSurfaceProperties* surfaceProperties );
const RwSurfaceProperties*	_rpMaterialGetDefaultSurfaceProperties();

// The stream positioned inside a material chunk; the material with one
// reference, or null.
RpMaterial*	RpMaterialStreamRead( RwStream* stream );

// Engine plug-in open and close: the material free list.
void*		_rpMaterialOpen( void* instance, s32 offset, s32 size );
void*		_rpMaterialClose( void* instance, s32 offset, s32 size );

#endif
