/*
===============================================================================

	Bin-mesh entries: a mesh header in the extension of the geometry or
	sector whose meshes it holds.

	Every word is little-endian: header flags, mesh count, total index
	count, then per mesh its index count and the index of its material in
	the owner's material list (0 for a material not in the list), followed,
	unless the owner is native, by its indices one word each. Writing emits
	indices in groups of at most 256.

	Reading trusts nothing it is handed: the entry length must be exactly
	what the counts make; when indices are stored the meshes' counts must
	add up to the total and every index must name one of the owner's
	vertices; a material index must lie inside the list, except 0 on an
	empty list, which gives a mesh without material (what the writer
	stores for one). Anything else fails with 0x8000001A and leaves nothing
	allocated.

	The owner's geometry or sector supplies the native flag, its vertex
	count and the material list.

===============================================================================
*/
#ifndef RP_BIN_MESH_H
#define RP_BIN_MESH_H

#include "datatypes/base/DTTypes.h"

struct RpMaterialList;
struct RpMeshHeader;
struct RwStream;

// Indices written per group.
constexpr u32 RPBINMESH_INDEX_GROUP = 256;

// The entry's bytes: 12 + 8 per mesh, plus 4 per index unless native.
s32				_rpBinMeshSize( const RpMeshHeader* header, bool native );
RwStream*		_rpBinMeshWrite( const RpMeshHeader* header, RwStream* stream, bool native,
								 const RpMaterialList* materialList );
// A new header with a new serial number, or null.
RpMeshHeader*	_rpBinMeshRead( RwStream* stream, s32 entryLength, bool native, u32 numVertices,
								const RpMaterialList* materialList );

#endif
