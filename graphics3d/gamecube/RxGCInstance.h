/*
===============================================================================

	Records of the console's instanced geometry: the header that starts
	every instance of an atomic or world sector (after the resource
	entry's own header) and the per-mesh display-list record that follows
	it.

	The header's format bytes are the strides of the vertex arrays (bytes
	from one vertex to the next); its array words point into the same
	instance. Arrays are big-endian memory images, as the graphics
	processor reads them.

===============================================================================
*/
#ifndef RX_GC_INSTANCE_H
#define RX_GC_INSTANCE_H

#include "datatypes/base/DTTypes.h"

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

#endif
