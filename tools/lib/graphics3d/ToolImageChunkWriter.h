/*
===============================================================================

	Image chunks of the 3D library: a struct of width, height, depth and
	stride, the rows of pixels, and for 4- and 8-bit images a palette of
	2^depth RGBA entries.

===============================================================================
*/
#ifndef TOOL_IMAGE_CHUNK_WRITER_H
#define TOOL_IMAGE_CHUNK_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <vector>

constexpr u32 TOOL_CHUNK_IMAGE = 0x18;

struct ToolImage {
	s32						width = 0;
	s32						height = 0;
	// 4, 8 or 32.
	s32						depth = 32;
	// Bytes per row; 0 takes the tightest stride of the depth.
	s32						stride = 0;
	std::vector<u8>			pixels;
	// 2^depth entries for 4- and 8-bit images.
	std::vector<std::array<u8, 4>>	palette;

	s32						Stride() const;
};

// The image chunk; false (nothing written) when the pixels or the palette
// are shorter than the image needs.
bool	ToolWriteImageChunk( const ToolImage& image, std::vector<u8>& out );

// A 32-bit image of one colour.
ToolImage	ToolSolidImage( s32 width, s32 height, std::array<u8, 4> colour );
// An 8- or 4-bit image whose every pixel is index 0, with that palette
// (padded with opaque white to 2^depth entries).
ToolImage	ToolPalettisedImage( s32 width, s32 height, s32 depth, const std::vector<std::array<u8, 4>>& palette );

#endif
