/*
===============================================================================

	Meshes of the 3D library: triangles grouped by material.

	A mesh header is followed in the same block by its meshes and then by
	their 16-bit vertex indices. Each mesh is one material's triangles,
	either as a triangle list (header flags 0) or as one triangle strip
	(flags rpMESHHEADERTRISTRIP). Every header made takes the next serial
	number of the mesh module (1 at open, 16 bits, wrapping).

	Meshes are built from a build mesh (the triangles with their
	materials) by _rpMeshOptimise. Both forms sort the triangles so that
	equal materials form one run, opaque materials before transparent ones
	(colour alpha below 255 or a raster with an alpha pixel format); lists
	then reorder every run into groups of triangles that share no vertex,
	strips join each run's strips into one sequence. A build mesh without
	triangles gives the shared empty header, which is never freed.

	The build-mesh free list (50 per block) exists from the first open of
	the mesh module to the last close.

===============================================================================
*/
#ifndef RP_MESH_H
#define RP_MESH_H

#include "graphics3d/core/RwPlugin.h"

struct RpMaterial;
struct RwFreeList;

// Header flag: the meshes are triangle strips.
constexpr u32 rpMESHHEADERTRISTRIP = 0x01;

// _rpMeshOptimise flag: build strips rather than lists.
constexpr u32 rpMESHOPTIMISETRISTRIP = 0x01;

// Engine plug-in id of the mesh module; plug-in id of the bin-mesh entry.
constexpr u32 rwID_MESHMODULE	= 0x502;
constexpr u32 rwID_BINMESHPLUGIN	= 0x50E;

// Build meshes per block of their free list.
constexpr s32 RPBUILDMESH_ENTRIES_PER_BLOCK = 50;
// Strip records per block of the stripper's free list.
constexpr s32 RPTRISTRIP_ENTRIES_PER_BLOCK = 64;

struct RpMeshHeader {
	u32		flags;
	u16		numMeshes;
	u16		serialNum;
	u32		totalIndicesInMesh;
	u32		firstMeshOffset;		// from the end of the header to the first mesh
};

struct RpMesh {
	u16*			indices;
	u32				numIndices;
	RpMaterial*		material;		// may be null
};

struct RpBuildMeshTriangle {
	u16				vertIndex[3];
	RpMaterial*		material;		// may be null
};

struct RpBuildMesh {
	u32						triangleStorage;	// capacity of meshTriangles
	u32						numTriangles;
	RpBuildMeshTriangle*	meshTriangles;
};

// The mesh module's engine data.
struct RpMeshGlobals {
	RwFreeList*		stripFreeList;		// the tri-stripper's strip records
	u16				nextSerialNum;
};

extern RwModuleInfo	meshModule;

typedef RpMesh*			( *RpMeshCallBack )( RpMesh* mesh, RpMeshHeader* header, void* data );
typedef RpMeshHeader*	( *RpTriStripMeshCallBack )( RpBuildMesh* buildMesh, void* data );

// The meshes of a header.
inline RpMesh* RpMeshHeaderGetMeshes( RpMeshHeader* header ) {
	return reinterpret_cast<RpMesh*>( reinterpret_cast<u8*>( header + 1 ) + header->firstMeshOffset );
}

// Bytes of a header block with room for the meshes and indices.
u32				_rpMeshHeaderBlockSize( u32 numMeshes, u32 numIndices );

// Room for triangleCount triangles (none for 0); null with 0x80000013.
RpBuildMesh*	_rpBuildMeshCreate( u32 triangleCount );
// Appends a triangle, growing by exactly one when full; null when memory
// fails.
RpBuildMesh*	_rpBuildMeshAddTriangle( RpBuildMesh* buildMesh, RpMaterial* material, s32 vert1, s32 vert2, s32 vert3 );
bool			_rpBuildMeshDestroy( RpBuildMesh* buildMesh );

// Null for a null build mesh. Strips with rpMESHOPTIMISETRISTRIP, else
// lists; the shared empty header without triangles. The build mesh is
// destroyed when a result was made.
RpMeshHeader*	_rpMeshOptimise( RpBuildMesh* buildMesh, u32 flags );
// A header block of that many bytes, or null with 0x80000013.
RpMeshHeader*	_rpMeshHeaderCreate( u32 size );
// Frees the header; the shared empty header is never freed.
bool			_rpMeshDestroy( RpMeshHeader* header );
// Calls back with each mesh until a callback returns null.
RpMeshHeader*	_rpMeshHeaderForAllMeshes( RpMeshHeader* header, RpMeshCallBack callBack, void* data );
// The next serial number (16 bits, wrapping).
u16				_rpMeshGetNextSerialNumber();

// Triangle lists of a build mesh, one mesh per run of equal material.
RpMeshHeader*	_rpTriListMeshGenerate( RpBuildMesh* buildMesh, void* data );
// The mesh order of two build triangles: negative, 0 or positive.
s32				SortPolygons( const RpBuildMeshTriangle* a, const RpBuildMeshTriangle* b );
// Sorts the pointers stably by the mesh order, with scratch space of the
// same count; false when that cannot be allocated.
bool			_rpMeshSortTriangles( RpBuildMeshTriangle** triangles, u32 count );
// Pointers to the build mesh's triangles in mesh order, or null (recorded);
// freed with the memory functions.
RpBuildMeshTriangle**	_rpMeshSortedTriangles( const RpBuildMesh* buildMesh );
// Runs of equal material among sorted triangles.
u32				_rpMeshCountRuns( RpBuildMeshTriangle* const* sorted, u32 count );

// Engine plug-in open and close: the serial counter and the strip records;
// the build-mesh free list at the first open and the last close.
void*			_rpMeshOpen( void* instance, s32 offset, s32 size );
void*			_rpMeshClose( void* instance, s32 offset, s32 size );
RpMeshGlobals*	_rpMeshGlobals();

#endif
