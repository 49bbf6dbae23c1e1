/*
===============================================================================

	Records of the console's instanced geometry and of its all-in-one
	rendering nodes: the header that starts every instance of an atomic or
	world sector (after the resource entry's own header), the per-mesh
	display-list records that follow it, the lighting state filled per
	object, the node's private data (its four callbacks and the excluded
	vertex components) and the instance context handed to the callbacks.

	The header's format bytes are the strides of the vertex arrays (bytes
	from one vertex to the next); its array words point into the same
	instance. Arrays are big-endian memory images, as the graphics
	processor reads them.

===============================================================================
*/
#ifndef RX_GC_INSTANCE_H
#define RX_GC_INSTANCE_H

#include "datatypes/base/DTTypes.h"

struct RpMeshHeader;
struct RwResEntry;

// Texture-coordinate sets of an instance.
constexpr u32 RXGC_MAX_TEXCOORD_SETS = 8;
// Index types of the display lists: 8-bit and 16-bit vertex indices.
constexpr u16 RXGC_INDEX8	= 2;
constexpr u16 RXGC_INDEX16	= 3;

struct RxGCInstanceHeader {
	u16		serialNum;			// mesh serial number at instancing
	u16		indexType;			// RXGC_INDEX8 or RXGC_INDEX16
	u16		drawToken;			// draw-sync token last seen when written
	u8		posStride;
	u8		normStride;
	u8		colorStride;
	u8		texStride[RXGC_MAX_TEXCOORD_SETS];
	u32		excludedMask;		// geometry-flag bits left out of instancing
	u8*		posArray;
	u8*		normArray;
	u8*		colorArray;
	u8*		texArray[RXGC_MAX_TEXCOORD_SETS];
};

struct RxGCDisplayListRecord {
	u32		size;				// bytes
	u8*		list;
};

// Per object: the ambient light's colour and whether one lights it, the
// GX light masks of directional and of local (point and spot) lights and
// the number of GX light objects in use (at most 8).
struct RxGCLightingState {
	f32		ambientRed;
	f32		ambientGreen;
	f32		ambientBlue;
	f32		ambientAlpha;
	u32		ambientPresent;
	u32		lightMask0;			// directional lights
	u32		lightMask1;			// local lights
	u32		numLights;
};

struct RxGCInstanceContext;

// Instance, reinstance and render callbacks take the object and the
// context, the lighting callback the object and the lighting state;
// each returns its object, anything else fails the node.
typedef void* ( *RxGCInstanceCallBack )( void* object, RxGCInstanceContext* context );
typedef void* ( *RxGCLightingCallBack )( void* object, RxGCLightingState* lighting );

struct RxGCAtomicNodeData {
	RxGCInstanceCallBack	instanceCallBack;
	RxGCInstanceCallBack	reinstanceCallBack;
	RxGCLightingCallBack	lightingCallBack;
	RxGCInstanceCallBack	renderCallBack;
	u32						excludedMask;
};

struct RxGCInstanceContext {
	RwResEntry*				entry;			// the object's instance, or null
	RpMeshHeader*			mesh;
	u32						flags;			// geometry flags, or the world's for a sector
	RxGCLightingState		lighting;
	RxGCAtomicNodeData*		privateData;
};

// The instance header of an entry and the display-list records after it.
RxGCInstanceHeader*		_rxGCInstanceHeader( RwResEntry* entry );
RxGCDisplayListRecord*	_rxGCDisplayListRecords( RwResEntry* entry );

#endif
