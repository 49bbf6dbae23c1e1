/*
===============================================================================

	DSP-ADPCM encoder.

	Turns 16-bit mono samples into the voices' 4-bit ADPCM frames (8 bytes:
	a header byte, then 14 samples, high nibble first). For every frame it
	tries each of the eight coefficient pairs and each scale, runs the
	decoder itself on the candidate nibbles and keeps the header whose
	decoded frame has the least squared error, so what plays back is what
	was measured. History starts at 0 and carries from frame to frame.

	The coefficient set is fixed: eight second-order predictors of our own,
	from "none" through first order to resonators at a few frequencies.
	Encoded data and the set travel together (sound banks, movie audio
	headers, GENH files), so a decoder always gets the pairs that were used.

	Shared by the sound-bank and movie tools and by the audio tests.

===============================================================================
*/
#ifndef TOOL_DSP_ADPCM_ENCODER_H
#define TOOL_DSP_ADPCM_ENCODER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <span>
#include <vector>

// Eight predictor pairs, each {c1, c2} in 1/2048 units.
typedef std::array<s16, 16> ToolAdpcmCoefficients;

// What the decoder needs besides the data: the first frame's header and
// the history to start from (always 0 here), plus the state after the last
// sample, which a loop back to the start would use.
struct ToolAdpcmEncoded {
	std::vector<u8>			bytes;				// whole frames, the last one padded with zero nibbles
	u32						sampleCount = 0;	// samples encoded (the padding excluded)
	u8						firstHeader = 0;
	s16						finalHistory1 = 0;
	s16						finalHistory2 = 0;
};

class ToolDspAdpcmEncoder {
public:
	// The project's default coefficient set.
	static const ToolAdpcmCoefficients&	DefaultCoefficients();

	explicit				ToolDspAdpcmEncoder( const ToolAdpcmCoefficients& coefficients = DefaultCoefficients() );

	// Encodes samples from history 0.
	ToolAdpcmEncoded		Encode( std::span<const s16> samples ) const;

	// The coefficients as the voices' u16 halves.
	std::array<u16, 16>		CoefficientHalves() const;

	// Decodes whole frames with the same decoder the encoder measures with
	// (history from 0). For tests and tools that need the exact playback.
	std::vector<s16>		Decode( std::span<const u8> bytes, u32 sampleCount ) const;

private:
	// Best header for 14 (or fewer) samples; writes the nibbles and moves
	// the history on as the decoder will.
	u8						EncodeFrame( const s16* samples, u32 count, u8* nibbles, s16& history1, s16& history2 ) const;

	ToolAdpcmCoefficients	coefficients;
};

#endif
