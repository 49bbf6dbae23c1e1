/*
===============================================================================

	BMP writer of the 3D library's toolkit.

	Writes an image as an uncompressed 24-bit BMP file: the 14-byte file
	header ("BM", file size, two reserved halfwords, data offset), a
	40-byte info header, then the rows last image row first, each as blue,
	green, red bytes padded with zeros to a multiple of 4. Alpha is
	dropped; image size and resolutions are written as 0. 4- and 8-bit
	images are written through their palettes.

	Only depths 4, 8 and 32 are written: any other depth, or an image
	without pixels (or palette), returns null before a file is opened. A
	write that fails closes the stream and returns null, so the caller
	never reports a file that was not written whole.

	The encoder also knows the 12-byte info header (type 2: 16-bit width
	and height, data offset 26) though the writer uses the 40-byte one.

===============================================================================
*/
#ifndef RW_BMP_WRITER_H
#define RW_BMP_WRITER_H

#include "graphics3d/core/RwImage.h"

struct RwStream;

// Info header types and their sizes.
constexpr s32 RTBMP_INFO_HEADER			= 1;
constexpr s32 RTBMP_CORE_HEADER			= 2;
constexpr u32 RTBMP_INFO_HEADER_BYTES	= 40;
constexpr u32 RTBMP_CORE_HEADER_BYTES	= 12;
constexpr u32 RTBMP_FILE_HEADER_BYTES	= 14;

// The image, or null when it cannot be written whole.
RwImage*	RtBMPImageWrite( RwImage* image, const char* fileName );

// File header, info header of the type and the rows; false when a write
// fails.
bool		BMPEncode( RwStream* stream, s32 headerType, s32 width, s32 height, const RwImage* image );
// The header's size, or 0 for an unknown type or a failed write.
u32			BMPWriteInfoHeader( RwStream* stream, s32 headerType, s32 bitsPerPixel, s32 width, s32 height );
// Bytes written for the row, padding included; 0 when a write fails.
u32			BMPWriteRow( RwStream* stream, const RwImage* image, s32 row, s32 width, s32 bitsPerPixel, u8* rowBuffer );

#endif
