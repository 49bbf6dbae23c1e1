/*
===============================================================================

	Display lists of instanced geometry: one GX draw command per mesh,
	recorded once into an instance and replayed every frame. Every vertex
	attribute is indexed into the instance's arrays; a vertex optionally
	starts with its matrix index (skinned geometry), then repeats its
	vertex index once per attribute (position, normal, colour, texture
	coordinates in that order).

===============================================================================
*/
#ifndef RW_DL_DISPLAY_LIST_H
#define RW_DL_DISPLAY_LIST_H

#include "graphics3d/gamecube/RxGCInstance.h"

struct RpMesh;

// Per-vertex matrix indices for skinned geometry: the bone table holds
// each vertex's bone in its low byte; each mesh has a palette of bones
// (paletteLength bytes, or paletteLengths[mesh] when given), consecutive
// palettes paletteStride bytes apart. A vertex's matrix index is 3 times
// its bone's position in the palette.
struct RwDlMatrixIndices {
	const u32*	boneTable;
	const u8*	palette;
	u32			paletteLength;
	u32			paletteStride;
	const u8*	paletteLengths;		// per mesh, or null
};

// Bytes reserved for one mesh's list with the given texture-coordinate
// sets, index size (1 or 2) and geometry flags. Texture coordinates
// count only when the flags carry them.
u32		_rwDlMeshGetDisplayListSize( const RpMesh* mesh, s32 numTexCoordSets, u32 indexSize, u32 flags,
									 bool matrixIndices );
// The sum over a mesh header's meshes.
u32		_rwDlMeshHeaderGetDisplayListSize( RpMeshHeader* mesh, s32 numTexCoordSets, u32 indexSize, u32 flags,
										   bool matrixIndices );
// Records one list per mesh, consecutively from base, and fills the
// records with {size, address}. matrices may be null.
void	_rwDlDisplayListsCreate( RxGCDisplayListRecord* records, u8* base, RpMeshHeader* mesh, s32 numTexCoordSets,
								 u32 indexSize, u32 flags, const RwDlMatrixIndices* matrices );

#endif
