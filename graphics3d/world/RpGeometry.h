/*
===============================================================================

	Geometries of the 3D library: the triangles, vertex attributes, morph
	targets and material list of a model, shared by reference count.

	One allocation holds the geometry with its plug-in space, the pre-lit
	colours, the texture-coordinate sets and the triangles, in that order;
	a second holds the morph-target records first and then, per target,
	its positions and (with normals) its normals. A native geometry
	(flags rpGEOMETRYNATIVE) has no vertex arrays and no triangles: its
	data comes with the platform's native-data entry and its meshes with
	the bin-mesh entry.

	Unlocking a geometry without meshes builds them from the triangles,
	as strips when flags has rpGEOMETRYTRISTRIP. A native geometry has no
	triangles to build from, so unlocking one without meshes fails.

	At most RPGEOMETRY_MAX_TEXCOORD_SETS texture-coordinate sets exist; a
	format that asks for more is refused.

===============================================================================
*/
#ifndef RP_GEOMETRY_H
#define RP_GEOMETRY_H

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/world/RpMaterialList.h"

struct RpMeshHeader;
struct RwResEntry;
struct RwStream;

// Object type of geometries; chunk type of a geometry.
constexpr u8 rpGEOMETRY = 8;
constexpr u32 rwID_GEOMETRY = 0x0F;

// Format bits of flags.
constexpr u32 rpGEOMETRYTRISTRIP				= 0x01;
constexpr u32 rpGEOMETRYPOSITIONS				= 0x02;
constexpr u32 rpGEOMETRYTEXTURED				= 0x04;
constexpr u32 rpGEOMETRYPRELIT					= 0x08;
constexpr u32 rpGEOMETRYNORMALS					= 0x10;
constexpr u32 rpGEOMETRYLIGHT					= 0x20;
constexpr u32 rpGEOMETRYMODULATEMATERIALCOLOR	= 0x40;
constexpr u32 rpGEOMETRYTEXTURED2				= 0x80;
constexpr u32 rpGEOMETRYTEXCOORDSETSMASK		= 0x00FF0000;
constexpr u32 rpGEOMETRYTEXCOORDSETSSHIFT		= 16;
constexpr u32 rpGEOMETRYNATIVE					= 0x01000000;
constexpr u32 rpGEOMETRYCREATIONBITSMASK		= 0x0F000000;

// Lock bits; lockedSinceLastInst holds RPGEOMETRY_LOCK_ALL after a
// destroy.
constexpr u32 rpGEOMETRYLOCKPOLYGONS	= 0x01;
constexpr u16 RPGEOMETRY_LOCK_ALL		= 0x0FFF;

constexpr s32 RPGEOMETRY_MAX_TEXCOORD_SETS	= 8;
// Vertices addressable by 16-bit indices.
constexpr s32 RPGEOMETRY_MAX_VERTICES		= 65536;

// Error codes of geometries: the library's plug-in id with code 6 for too
// many vertices; a common code for too many texture-coordinate sets.
constexpr u32 RPGEOMETRY_ERROR_PLUGIN		= 2;
constexpr u32 RPGEOMETRY_ERROR_VERTICES		= 6;
constexpr u32 RPGEOMETRY_ERROR_TEXCOORDS	= 0x80000018;

struct RwTexCoords {
	f32		u;
	f32		v;
};

struct RpTriangle {
	u16		vertIndex[3];
	s16		matIndex;		// -1: no material
};

struct RpGeometry;

struct RpMorphTarget {
	RpGeometry*		parentGeom;
	RwSphere		boundingSphere;
	RwV3d*			verts;
	RwV3d*			normals;		// null without normals
};

struct RpGeometry {
	RwObject			object;
	u32					flags;
	u16					lockedSinceLastInst;
	s16					refCount;
	s32					numTriangles;
	s32					numVertices;
	s32					numMorphTargets;
	s32					numTexCoordSets;
	RpMaterialList		matList;
	RpTriangle*			triangles;
	RwRGBA*				preLitLum;
	RwTexCoords*		texCoords[RPGEOMETRY_MAX_TEXCOORD_SETS];
	RpMeshHeader*		mesh;
	RwResEntry*			repEntry;
	RpMorphTarget*		morphTarget;
};

typedef RpMaterial* ( *RpMaterialCallBack )( RpMaterial* material, void* data );

extern RwPluginRegistry	geometryTKList;
extern RwModuleInfo		geometryModule;

// Null on failure: 65536 vertices or more record {2, 6}, more than eight
// texture-coordinate sets {0, 0x80000018}; negative counts record nothing.
RpGeometry*	RpGeometryCreate( s32 numVertices, s32 numTriangles, u32 format );
// The index of the first new target, or -1 (0x80000013).
s32			RpGeometryAddMorphTargets( RpGeometry* geometry, s32 count );
// Drops one reference; the last one frees the geometry. True.
bool		RpGeometryDestroy( RpGeometry* geometry );
RpGeometry*	_rpGeometryAddRef( RpGeometry* geometry );
RpGeometry*	RpGeometryLock( RpGeometry* geometry, u32 lockMode );
// Null when meshes are needed and cannot be built.
RpGeometry*	RpGeometryUnlock( RpGeometry* geometry );
RpGeometry*	RpGeometryForAllMaterials( RpGeometry* geometry, RpMaterialCallBack callBack, void* data );
s32			RpGeometryRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									  RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32			RpGeometryRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
											RwPluginDataChunkWriteCallBack writeCB,
											RwPluginDataChunkGetSizeCallBack getSizeCB );

// The stream positioned inside a geometry chunk; the geometry or null.
RpGeometry*	RpGeometryStreamRead( RwStream* stream );
// The same inside a chunk of chunkLength payload bytes: the counts must
// fit that payload before anything is allocated.
RpGeometry*	_rpGeometryStreamReadIn( RwStream* stream, u32 chunkLength );

// The bin-mesh entry of a geometry (its native flag, vertex count and
// material list), registered as plug-in 0x50E; and the native-data entry
// 0x510, which the platform fills (until then: nothing is written and a
// stored entry is refused).
bool		_rpGeometryRegisterStreams();
// Texture-coordinate sets of a format: bits 16-23 when set, else 2 for
// 0x80, 1 for 0x04, 0.
s32			_rpGeometryTexCoordSets( u32 format );

// Engine plug-in open and close: the offset and the open count.
void*		_rpGeometryOpen( void* instance, s32 offset, s32 size );
void*		_rpGeometryClose( void* instance, s32 offset, s32 size );

#endif
