/*
===============================================================================

	Frame buffer dump, host only.

	Writes the luma plane of a frame buffer in the console's format (two
	bytes a pixel, luma first, 1280 bytes a row) as a binary PGM image, so
	that a screen drawn without a graphics library can be looked at.

===============================================================================
*/
#ifndef VI_HOST_FRAME_DUMP_H
#define VI_HOST_FRAME_DUMP_H

#include "platform/types/PlatformTypes.h"

// Writes width x height luma samples of frameBuffer (stride in bytes) to
// path. False when an argument is unusable or the file cannot be written.
bool VIHostDumpLumaPgm( const void* frameBuffer, u32 width, u32 height, u32 stride, const char* path );

#endif
