/*
===============================================================================

	Camera chunks of the 3D library's streams.

	A camera chunk (0x05) holds a struct chunk of 32 little-endian bytes
	(view window x and y, view offset x and y, near, far and fog distances
	as floats, then the projection as a word) followed by the camera's
	extension chunk. A struct payload of another length is read as far as
	the record reaches and the rest is skipped, so a longer one cannot
	overflow the record and a shorter one leaves the missing fields zero
	without reading into the next chunk.

	A projection other than 1 or 2 leaves the camera perspective (the
	setter records 0x80000003) and the camera is still returned.

===============================================================================
*/
#ifndef RW_CAMERA_CHUNK_H
#define RW_CAMERA_CHUNK_H

#include "graphics3d/core/RwCamera.h"

struct RwStream;

// Bytes of the camera record in the struct chunk.
constexpr u32 RWCAMERA_CHUNK_RECORD_BYTES = 32;

// The stream positioned inside a camera chunk. Null on failure; a camera
// created on the way is destroyed.
RwCamera*	RwCameraStreamRead( RwStream* stream );

#endif
