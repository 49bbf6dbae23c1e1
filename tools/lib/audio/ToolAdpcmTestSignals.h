/*
===============================================================================

	Test signals for the ADPCM decoder and encoder checks.

	Random frames: a seeded sequence of 8-byte ADPCM frames whose headers
	walk through every predictor index and every scale (bit 7 set on some,
	which decoders ignore), with random nibbles and stretches of extreme
	nibbles at large scales that drive the output into clamping. Tones:
	16-bit sines. The same seed gives the same bytes on every machine.

===============================================================================
*/
#ifndef TOOL_ADPCM_TEST_SIGNALS_H
#define TOOL_ADPCM_TEST_SIGNALS_H

#include "datatypes/base/DTTypes.h"

#include <vector>

class ToolAdpcmTestSignals {
public:
	// frameCount frames of random ADPCM data.
	static std::vector<u8>	RandomFrames( u32 seed, u32 frameCount );

	// A sine of frequency hz sampled at rate, amplitude as given.
	static std::vector<s16>	Tone( f64 hz, u32 rate, u32 sampleCount, f64 amplitude );
};

#endif
