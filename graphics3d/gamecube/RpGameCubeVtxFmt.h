/*
===============================================================================

	Vertex formats of the console (plug-in 0x511): how instanced vertex
	data is stored for the graphics processor.

	A descriptor gives the component type and fraction bits of positions,
	normals and each texture-coordinate set, the colour type, whether
	normals carry binormal and tangent (nine components) and whether a
	vertex's attributes are interleaved. Geometries and worlds each have a
	slot for one; no code stores a descriptor, so the default one applies
	everywhere (a null descriptor means the default).

	Arrays are written as big-endian memory images. Separate arrays start
	32-byte aligned one after the other; interleaved ones share one stride,
	the size of a whole vertex. Integer components hold the value times
	2^fraction, truncated toward zero, saturated to 32 bits and cut to the
	type's width (1.53 with 4 fraction bits gives 24). Normals are stored
	with 14 (s16) or 6 (s8) fraction bits; unsigned normals and RGBX8
	colours are not written, their space is reserved. Binormal and tangent
	components are never filled.

===============================================================================
*/
#ifndef RP_GAMECUBE_VTX_FMT_H
#define RP_GAMECUBE_VTX_FMT_H

#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/gamecube/RxGCInstance.h"

struct RpGeometry;
struct RpVertexNormal;
struct RpWorld;
struct RpWorldSector;
struct RwTexCoords;

constexpr u32 rwID_VTXFMTPLUGIN = 0x511;

// Component types: u8, s8, u16, s16, f32.
enum RpGameCubeCompType : u8 {
	rpGCCOMP_U8		= 0,
	rpGCCOMP_S8		= 1,
	rpGCCOMP_U16	= 2,
	rpGCCOMP_S16	= 3,
	rpGCCOMP_F32	= 4,
};

// Colour types: RGB565, RGB8, RGBX8, RGBA4, RGBA6, RGBA8.
enum RpGameCubeColorType : u8 {
	rpGCCOLOR_RGB565	= 0,
	rpGCCOLOR_RGB8		= 1,
	rpGCCOLOR_RGBX8		= 2,
	rpGCCOLOR_RGBA4		= 3,
	rpGCCOLOR_RGBA6		= 4,
	rpGCCOLOR_RGBA8		= 5,
};

// Descriptor flags: set in the default (no reader); interleaved.
constexpr u8 rpGCVTXFMT_DEFAULT_BIT	= 0x01;
constexpr u8 rpGCVTXFMT_INTERLEAVED	= 0x02;

struct RpGameCubeVtxFmt {
	u8		posType;
	u8		normType;
	u8		texType[RXGC_MAX_TEXCOORD_SETS];
	u8		colorType;
	u8		flags;
	u8		posFrac;
	u8		threeNormals;		// normal, binormal and tangent
	u8		texFrac[RXGC_MAX_TEXCOORD_SETS];
	u16		refCount;
};
static_assert( sizeof( RpGameCubeVtxFmt ) == 24, "the descriptor is 24 bytes" );

// Bytes of a component type and of a colour type.
extern const u8			_RpDlCompSize[5];
extern const u8			_RpDlCompColSize[6];
extern RpGameCubeVtxFmt	_RpDlVtxFmtDefault;
extern RwModuleInfo		_RpVtxFmtModule;
extern RwPluginOffset	_rpDlGeomVtxFmtOffset;
extern RwPluginOffset	_rpDlWorldVtxFmtOffset;

// Registers the engine plug-in, then the geometry and world slots,
// stopping at the first failure.
bool				_rpDlVtxFmtPluginAttach();
void*				_rpDlVtxFmtOpen( void* instance, s32 offset, s32 size );
void*				_rpDlVtxFmtClose( void* instance, s32 offset, s32 size );
RpGameCubeVtxFmt*	RpGameCubeVtxFmtInit( RpGameCubeVtxFmt* descriptor );
// Frees a descriptor whose count is 1, else counts it down.
void				RpGameCubeVtxFmtDestroy( RpGameCubeVtxFmt* descriptor );
RpGameCubeVtxFmt*	RpGameCubeGeometryGetVtxFmt( const RpGeometry* geometry );
RpGameCubeVtxFmt*	RpGameCubeWorldGetVtxFmt( const RpWorld* world );
RpGameCubeVtxFmt*	_RpGameCubeVtxFmtGetDefault();

// Fills the header's strides for the attributes in flags (geometry flag
// bits: 0x02 positions, 0x10 normals, 0x08 colours, 0x04/0x80 texture
// sets below numTexCoordSets).
void				_rpDlVtxFmtGetStride( const RpGameCubeVtxFmt* descriptor, RxGCInstanceHeader* header,
										  s32 numTexCoordSets, u32 flags );
// Bytes of vertex data.
u32					_rpDlVtxFmtGetSize( const RpGameCubeVtxFmt* descriptor, u32 flags, s32 numVertices,
										s32 numTexCoordSets );
// Write every array from destination on and fill the header.
void				_rpDlGeometryVtxFmtInst( const RpGeometry* geometry, RxGCInstanceHeader* header,
											 const RpGameCubeVtxFmt* descriptor, u32 flags, s32 numTexCoordSets,
											 u8* destination );
void				_rpDlWorldSectorVtxFmtInst( const RpWorldSector* sector, RxGCInstanceHeader* header,
												const RpGameCubeVtxFmt* descriptor, u32 flags, s32 numTexCoordSets,
												u8* destination );
// One attribute's array at the stride; each returns the advance to the
// next attribute's start.
u32					_rpDlVtxFmtInstPos( const RpGameCubeVtxFmt* descriptor, u8* destination, const RwV3d* source,
										s32 numVertices, u32 stride );
u32					_rpDlVtxFmtInstNorm( const RpGameCubeVtxFmt* descriptor, u8* destination, const RwV3d* source,
										 s32 numVertices, u32 stride );
u32					_rpDlVtxFmtInstNormComp( const RpGameCubeVtxFmt* descriptor, u8* destination,
											 const RpVertexNormal* source, s32 numVertices, u32 stride );
u32					_rpDlVtxFmtInstColor( const RpGameCubeVtxFmt* descriptor, u8* destination, const RwRGBA* source,
										  s32 numVertices, u32 stride );
u32					_rpDlVtxFmtInstTexCoord( const RpGameCubeVtxFmt* descriptor, s32 set, u8* destination,
											 const RwTexCoords* source, s32 numVertices, u32 stride );
// The graphics processor's vertex descriptors, formats and arrays for an
// instance drawn with the flags.
void				_rwDlVtxFmtSetup( const RpGameCubeVtxFmt* descriptor, u32 flags, const RxGCInstanceHeader* header );

// Stores value as a component of the type with the fraction bits at
// destination, big-endian; loads it back as a float.
void				_rwDlQuantisedStore( u8* destination, f32 value, u8 type, u8 fractionBits );
f32					_rwDlQuantisedLoad( const u8* source, u8 type, u8 fractionBits );
// The same store rounded to nearest and saturated to the type's range.
void				_rwDlQuantisedStoreRounded( u8* destination, f32 value, u8 type, u8 fractionBits );

#endif
