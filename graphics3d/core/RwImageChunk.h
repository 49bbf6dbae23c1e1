/*
===============================================================================

	Image chunks of the 3D library's streams.

	An image chunk (0x18) holds a struct chunk whose payload is width,
	height, depth and stride (four little-endian words), height rows of
	stride bytes as the pixels lie in memory, then for depths 4 and 8 the
	palette (2^depth colours of four bytes).

	The header is not trusted: only depths 4, 8 and 32 are read (else
	0x80000009), width and height must be positive and the stored stride
	not negative, rows and palette must fit in the payload, and so must the
	picture's own width x height x depth bits (all checked in 64 bits; else
	0x8000001A), and the payload must fit in what the stream still holds
	when the stream can tell, all before anything is allocated. Rows stored with another stride than the
	image's own are read up to the shorter of the two and the rest of each
	stored row is skipped. Any failure, short reads included, destroys the
	image and returns null.

===============================================================================
*/
#ifndef RW_IMAGE_CHUNK_H
#define RW_IMAGE_CHUNK_H

#include "graphics3d/core/RwImage.h"

struct RwStream;

// Bytes of the header words in the struct payload.
constexpr u32 RWIMAGE_CHUNK_HEADER_BYTES = 16;

// The stream positioned inside an image chunk.
RwImage*	RwImageStreamRead( RwStream* stream );

#endif
