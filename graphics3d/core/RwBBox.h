/*
===============================================================================

	Axis-aligned bounding boxes of the 3D library.

	A box is its maximum corner followed by its minimum corner. A box is
	started from one point and widened by further points.

===============================================================================
*/
#ifndef RW_BBOX_H
#define RW_BBOX_H

#include "graphics3d/core/RwV3d.h"

struct RwBBox {
	RwV3d	sup;	// maximum corner
	RwV3d	inf;	// minimum corner
};

// Both corners at the first point, widened by the others; null without a
// point (count below 1), the box untouched.
RwBBox*	RwBBoxCalculate( RwBBox* boundBox, const RwV3d* verts, s32 numVerts );
RwBBox*	RwBBoxInitialize( RwBBox* boundBox, const RwV3d* vertex );
RwBBox*	RwBBoxAddPoint( RwBBox* boundBox, const RwV3d* vertex );

#endif
