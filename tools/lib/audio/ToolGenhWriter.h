/*
===============================================================================

	GENH wrapper for mono DSP-ADPCM data.

	GENH is a generic header that common audio players and FFmpeg read in
	front of raw console audio. We wrap ADPCM data in it so that an
	independent decoder can play exactly the bytes our voices play. All
	header fields are little-endian; the 16 predictor coefficients are
	big-endian, as the console stores them.

	  offset  field
	       0  "GENH"
	       4  channels (1)
	       8  interleave (8, one ADPCM frame)
	      12  sample rate
	      16  loop start (0)
	      20  sample count
	      24  codec (12, DSP-ADPCM)
	      28  start offset of the data
	      32  header size (equal to the start offset)
	      36  coefficient offset of channel 0
	      40  coefficient offset of channel 1 (the same: mono)
	      44  zeros up to the coefficients
	    0x40  16 coefficients, big-endian s16
	    0x60  zeros up to the header size, then the data

===============================================================================
*/
#ifndef TOOL_GENH_WRITER_H
#define TOOL_GENH_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <span>
#include <vector>

constexpr u32 TOOL_GENH_CODEC_DSP_ADPCM   = 12;
constexpr u32 TOOL_GENH_COEFFICIENT_OFFSET = 0x40;
constexpr u32 TOOL_GENH_HEADER_SIZE        = 0x80;

class ToolGenhWriter {
public:
	// The whole file: header, coefficients, then the ADPCM bytes as given.
	static std::vector<u8>	WrapMono( std::span<const u8> adpcm, u32 sampleCount, u32 sampleRate,
									  const std::array<s16, 16>& coefficients );
};

#endif
