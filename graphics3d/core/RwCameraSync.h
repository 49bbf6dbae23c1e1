/*
===============================================================================

	Camera synchronisation: the view matrix and frustum of a camera from
	its frame's LTM.

	With R, U, A, P the right, up, at and position of the LTM, the view
	matrix maps a world point to screen x and y in 0..1 (divided by z for
	a perspective camera; x grows to the left of R, y downwards of U) and
	z to the distance along A. The frustum's corners are the near four,
	then the far four, each in the order (+x, +y), (-x, +y), (-x, -y),
	(+x, -y) of the view window; its planes are far, near and the four
	sides, normals out of the volume (side normals of unit length through
	the table inverse square root).

===============================================================================
*/
#ifndef RW_CAMERA_SYNC_H
#define RW_CAMERA_SYNC_H

#include "graphics3d/core/RwCamera.h"

// The camera's sync function, run when its frame hierarchy is
// synchronised. A camera without a frame is left as it is.
RwObjectHasFrame*	_rwCameraSync( RwObjectHasFrame* object );

#endif
