/*
===============================================================================

	One tiled plane of a picture, as the prediction kernels read it.

	Coordinates count pixels from the visible origin; the plane extends
	mBorder pixels beyond it on the left and top and reaches mStride
	columns and mRows rows in all. Reads clamp every coordinate into the
	plane, which extends the padded picture's edges without limit, so no
	vector, however far it points, reads outside the plane.

===============================================================================
*/
#ifndef M4_PLANE_H
#define M4_PLANE_H

#include "video/m4/M4Image.h"

enum M4PlaneComponent : u32 {
	M4_PLANE_Y	= 0,
	M4_PLANE_U	= 1,
	M4_PLANE_V	= 2,
};

struct M4Plane {
	u8*		mBase;		// top-left byte of the padded plane
	u32		mStride;	// row stride = padded width of the plane
	u32		mRows;		// padded height of the plane
	u32		mBorder;	// pixels left of and above the visible origin
};

// The luma or a chroma plane of image.
inline M4Plane M4ImagePlane( const M4Image* image, const u32 component ) {
	M4Plane plane;
	if ( component == M4_PLANE_Y ) {
		plane.mBase = image->mPlaneY;
		plane.mStride = image->mPaddedWidth;
		plane.mRows = image->mPaddedHeight;
		plane.mBorder = M4_IMAGE_BORDER;
		return plane;
	}
	plane.mBase = component == M4_PLANE_U ? image->mPlaneU : image->mPlaneV;
	plane.mStride = image->mPaddedWidth / 2u;
	plane.mRows = image->mPaddedHeight / 2u;
	plane.mBorder = M4_IMAGE_BORDER / 2u;
	return plane;
}

// Column (visible coordinates) clamped into the plane, as a padded column.
inline u32 M4PlaneColumn( const M4Plane& plane, const s64 x ) {
	const s64 padded = x + plane.mBorder;
	const s64 last = static_cast<s64>( plane.mStride ) - 1;
	return static_cast<u32>( padded < 0 ? 0 : ( padded > last ? last : padded ) );
}

// Row (visible coordinates) clamped into the plane, as a padded row.
inline u32 M4PlaneRow( const M4Plane& plane, const s64 y ) {
	const s64 padded = y + plane.mBorder;
	const s64 last = static_cast<s64>( plane.mRows ) - 1;
	return static_cast<u32>( padded < 0 ? 0 : ( padded > last ? last : padded ) );
}

// The pixel at (x, y) of the edge-extended plane.
inline u8 M4PlaneSample( const M4Plane& plane, const s64 x, const s64 y ) {
	return plane.mBase[M4TiledOffset( M4PlaneColumn( plane, x ), M4PlaneRow( plane, y ), plane.mStride )];
}

// True when columns x .. x + width - 1 and rows y .. y + height - 1 lie in
// the plane, so reads there need no clamping.
inline bool M4PlaneContains( const M4Plane& plane, const s64 x, const s64 y, const u32 width, const u32 height ) {
	const s64 left = x + plane.mBorder;
	const s64 top = y + plane.mBorder;
	return left >= 0 && top >= 0 && left + width <= plane.mStride && top + height <= plane.mRows;
}

#endif
