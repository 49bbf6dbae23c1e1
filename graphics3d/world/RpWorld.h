/*
===============================================================================

	Static worlds of the 3D library: a binary space partition whose inner
	nodes (plane sectors) split space along one axis and whose leaves
	(atomic world sectors) hold triangles and vertices.

	A plane sector's left subtree covers space below its left value, its
	right subtree space above its right value; the two ranges may overlap.
	Worlds carry their own material list; clumps, lights and cameras are
	placed in a world (RpWorldObj.h) and drawn sector by sector.

	A world is either made by RpWorldCreate (one empty atomic sector as
	root, allocated apart) or read from a world chunk as one block holding
	the world, every sector and every array (privateFlags bit 0x01). Every
	world is registered with its block size so that a sector can find its
	world. The sector tree is never deeper than RPWORLD_MAX_TREE_DEPTH
	plane sectors along one path: the reader refuses deeper trees, so the
	walks' fixed stacks cannot overflow.

	Destroying a world first removes the clumps, lights and cameras still
	in it (they stay alive), so none of them points at a freed world.

	The world chunk (0x0B) is a struct (root flag, inverse origin, counts,
	collision sector size, format and, from 0x34001, the bounding box),
	the material list, the root sector (atomic 0x09 or plane 0x0A, plane
	sectors holding their two children) and the extension chunk. Counts
	that do not add up, plane types other than 0, 4 or 8, more than eight
	texture-coordinate sets, too deep trees and triangle indices outside
	the material list or the sector's vertices fail the read with
	0x8000001A.

===============================================================================
*/
#ifndef RP_WORLD_H
#define RP_WORLD_H

#include "graphics3d/core/RwBBox.h"
#include "graphics3d/core/RwObject.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpWorldObj.h"

struct RpClump;
struct RpLight;
struct RpMeshHeader;
struct RwCamera;
struct RwFreeList;
struct RwResEntry;
struct RwStream;
struct RxPipeline;

// Object type of worlds; chunk types of a world and its sectors.
constexpr u8 rpWORLD = 7;
constexpr u32 rwID_WORLD			= 0x0B;
constexpr u32 rwID_ATOMICSECT		= 0x09;
constexpr u32 rwID_PLANESECT		= 0x0A;

// privateFlags: the world and all its sectors are one block.
constexpr u8 rpWORLDSINGLEMALLOC	= 0x01;
// World flags beyond the geometry format bits: plane sectors carry
// separate left and right values.
constexpr u32 rpWORLDSECTORSOVERLAP	= 0x40000000;
// Render order of new and read worlds: far side of each plane first.
constexpr s32 rpWORLDRENDERBACK2FRONT = 2;

// Sector types: an atomic sector, a placeholder owning nothing; plane
// sectors use the byte offset of their axis (0, 4, 8).
constexpr s32 rpWORLDSECTOR_ATOMIC		= -1;
constexpr s32 rpWORLDSECTOR_PLACEHOLDER	= -2;

// Plane sectors along one path of a tree the walks accept.
constexpr s32 RPWORLD_MAX_TREE_DEPTH = 63;
// Objects per block of the registered-world free list.
constexpr s32 RPWORLD_REGISTERED_PER_BLOCK = 8;
// Errors of worlds carry the library's plug-in id.
constexpr u32 RPWORLD_ERROR_PLUGIN = 2;

// Common head of plane and atomic sectors.
struct RpSector {
	s32				type;
};

struct RpPlaneSector {
	s32				type;			// byte offset of the axis in a vector
	f32				value;
	RpSector*		leftSubTree;
	RpSector*		rightSubTree;
	f32				leftValue;
	f32				rightValue;
};

// A sector triangle: material index relative to the sector's window of
// the world's material list, then the vertices.
struct RpSectorTriangle {
	u16				matIndex;
	u16				vertIndex[3];
};

// A packed normal: three signed bytes and a pad.
struct RpVertexNormal {
	s8				x;
	s8				y;
	s8				z;
	u8				pad;
};

struct RpWorldSector {
	s32					type;			// rpWORLDSECTOR_ATOMIC
	RpSectorTriangle*	triangles;
	RwV3d*				vertices;
	RpVertexNormal*		normals;
	RwTexCoords*		texCoords[RPGEOMETRY_MAX_TEXCOORD_SETS];
	RwRGBA*				preLitLum;
	RwResEntry*			repEntry;
	RwLinkList			collAtomicsInWorldSector;
	RwLinkList			noCollAtomicsInWorldSector;
	RwLinkList			lightsInWorldSector;
	RwBBox				boundingBox;		// given by the plane tree
	RwBBox				tightBoundingBox;	// of its own vertices
	RpMeshHeader*		mesh;
	RxPipeline*			pipeline;			// null: the world's, else the default
	u16					matListWindowBase;
	u16					numVertices;
	u16					numTriangles;
	u16					pad;
};

typedef RpWorldSector* ( *RpWorldSectorCallBackRender )( RpWorldSector* sector );
typedef RpWorldSector* ( *RpWorldSectorCallBack )( RpWorldSector* sector, void* data );

struct RpWorld {
	RwObject					object;
	u32							flags;
	s32							renderOrder;
	RpMaterialList				matList;
	RpSector*					rootSector;
	s32							numTexCoordSets;
	s32							numClumpsInWorld;
	RwLLLink*					currentClumpLink;
	RwLinkList					clumpList;				// through the clumps' inWorldLink
	RwLinkList					lightList;				// local lights
	RwLinkList					directionalLightList;	// global lights
	RwV3d						worldOrigin;
	RwBBox						boundingBox;
	RpWorldSectorCallBackRender	renderCallBack;
	RxPipeline*					pipeline;
};

// A world known to the world module, with the size of its block (0 for
// a created world).
struct RpWorldRegEntry {
	RpWorld*		world;
	u32				size;
	RwLLLink		link;
};

// The world module's engine data.
struct RpWorldGlobals {
	RwFreeList*		worldRegFreeList;
	RwLinkList		worldRegList;
};

typedef RpClump* ( *RpClumpCallBack )( RpClump* clump, void* data );
typedef RpLight* ( *RpLightCallBack )( RpLight* light, void* data );

extern RwPluginRegistry	worldTKList;
extern RwPluginRegistry	sectorTKList;

// An empty world with one empty atomic sector as root, both boxes and
// the world's equal to the box; null without memory (0x80000013).
RpWorld*		RpWorldCreate( const RwBBox* boundingBox );
// Removes the clumps, lights and cameras still in it, then frees the
// world with its sectors. True.
bool			RpWorldDestroy( RpWorld* world );
// Builds the meshes of every atomic sector without; null when one fails.
RpWorld*		RpWorldUnlock( RpWorld* world );
// Renders the sectors in the current camera's frustum and their atomics;
// outside a camera update nothing is visited. Returns the world.
RpWorld*		RpWorldRender( RpWorld* world );
// Renders one sector through the current world's callback.
RpWorldSector*	RpWorldSectorRender( RpWorldSector* sector );
// Null selects the default callback.
RpWorld*		RpWorldSetSectorRenderCallBack( RpWorld* world, RpWorldSectorCallBackRender callBack );
RpWorldSectorCallBackRender	RpWorldGetSectorRenderCallBack( const RpWorld* world );
// The walks fetch the next member before each call and stop at the first
// null result; lights are the global ones, then the local ones; sectors
// left subtree before right.
RpWorld*		RpWorldForAllClumps( RpWorld* world, RpClumpCallBack callBack, void* data );
RpWorld*		RpWorldForAllMaterials( RpWorld* world, RpMaterialCallBack callBack, void* data );
RpWorld*		RpWorldForAllLights( RpWorld* world, RpLightCallBack callBack, void* data );
RpWorld*		RpWorldForAllWorldSectors( RpWorld* world, RpWorldSectorCallBack callBack, void* data );
// The registered world holding the sector, or null.
RpWorld*		RpWorldSectorGetWorld( const RpWorldSector* sector );
s32				RpWorldSectorGetNumVertices( const RpWorldSector* sector );
u32				RpWorldGetNumClumps( const RpWorld* world );
// The stream positioned inside a world chunk; the world or null.
RpWorld*		RpWorldStreamRead( RwStream* stream );

s32				RpWorldRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									   RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32				RpWorldRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
											 RwPluginDataChunkWriteCallBack writeCB,
											 RwPluginDataChunkGetSizeCallBack getSizeCB );
s32				RpWorldSectorRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
											 RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32				RpWorldSectorRegisterPluginStream( u32 pluginID, RwPluginDataChunkReadCallBack readCB,
												   RwPluginDataChunkWriteCallBack writeCB,
												   RwPluginDataChunkGetSizeCallBack getSizeCB );
s32				RpWorldSetStreamRightsCallBack( u32 pluginID, RwPluginDataChunkRightsCallBack rightsCB );
s32				RpWorldSectorSetStreamRightsCallBack( u32 pluginID, RwPluginDataChunkRightsCallBack rightsCB );

// The default sector render callback: a sector without triangles
// succeeds; otherwise the sector's pipeline, the world's or the default
// sector pipeline runs.
RpWorldSector*	_rpWorldSectorDefaultRenderCallBack( RpWorldSector* sector );
// Sector boxes from the world's box down the plane tree.
void			_rpWorldSetupSectorBoundingBoxes( RpWorld* world );
// The box of every atomic sector's tight box.
RwBBox*			_rpWorldFindBBox( RpWorld* world, RwBBox* box );
// Registered-world bookkeeping; false without memory.
bool			_rpWorldRegisterWorld( RpWorld* world, u32 size );
void			_rpWorldUnregisterWorld( const RpWorld* world );
// Unties every atomic and light from the sectors of every world (before
// the tie free lists go).
void			_rpWorldUntieAll();
// Builds the meshes of one atomic sector of the world.
RpWorldSector*	_rpWorldSectorBuildMeshes( const RpWorld* world, RpWorldSector* sector );
// Releases what a sector holds apart from its arrays: meshes, instanced
// data, ties and plug-in data.
void			_rpWorldSectorRelease( RpWorldSector* sector );
// Reads the sector's numTriangles triangles as stored in a sector chunk
// of the version: four u16 each, or four u8 before 0x30400.
bool			_rpWorldSectorReadTriangles( RwStream* stream, RpWorldSector* sector, u32 version );

// Engine plug-in open and close of the world module.
void*			_rpWorldOpen( void* instance, s32 offset, s32 size );
void*			_rpWorldClose( void* instance, s32 offset, s32 size );

#endif
