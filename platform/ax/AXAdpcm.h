/*
===============================================================================

	DSP-ADPCM sample decoding.

	The voices' sample format: 8-byte frames of one header byte and 14
	signed 4-bit samples, high nibble first. The header's bits 6-4 pick a
	pair of predictor coefficients (bit 7 is ignored), bits 3-0 the scale.
	A sample is the prediction from the two previous output samples plus
	the nibble times 2^scale, clamped to 16 bits; the clamped value feeds
	the next prediction. There is no rounding term.

	Header-only so that the tools' encoder runs the very same decoder in
	its search loop.

===============================================================================
*/
#ifndef AX_ADPCM_H
#define AX_ADPCM_H

#include "platform/types/PlatformTypes.h"

constexpr u32 AX_ADPCM_FRAME_BYTES       = 8;
constexpr u32 AX_ADPCM_SAMPLES_PER_FRAME = 14;
constexpr u32 AX_ADPCM_NIBBLES_PER_FRAME = 16;	// header byte included
constexpr u32 AX_ADPCM_COEFFICIENTS      = 16;	// 8 pairs

constexpr u8 AX_ADPCM_PREDICTOR_MASK  = 0x70;
constexpr u8 AX_ADPCM_PREDICTOR_SHIFT = 4;
constexpr u8 AX_ADPCM_SCALE_MASK      = 0x0F;

// Two's-complement value of a 4-bit nibble, -8..7.
inline s32 AXAdpcmSignedNibble( const u32 nibble ) {
	const s32 n = static_cast<s32>( nibble & 0xF );
	return n >= 8 ? n - 16 : n;
}

// Decodes one nibble. history1 is the previous output, history2 the one
// before; both move on. The coefficients are stored as u16 halves holding
// s16 values in 1/2048 units.
inline s16 AXAdpcmDecodeSample( const u16* coefficients, const u8 predictorScale, const u32 nibble,
								s16& history1, s16& history2 ) {
	const u32 index = ( predictorScale & AX_ADPCM_PREDICTOR_MASK ) >> AX_ADPCM_PREDICTOR_SHIFT;
	const u32 scale = predictorScale & AX_ADPCM_SCALE_MASK;
	const s64 c1 = static_cast<s16>( coefficients[index * 2] );
	const s64 c2 = static_cast<s16>( coefficients[index * 2 + 1] );
	// Two products of -32768 x -32768 overflow 32 bits, so the sum is 64-bit.
	const s64 prediction = ( c1 * history1 + c2 * history2 ) >> 11;
	const s64 step = static_cast<s64>( AXAdpcmSignedNibble( nibble ) ) * ( static_cast<s64>( 1 ) << scale );
	s64 sample = prediction + step;
	if ( sample > 32767 ) {
		sample = 32767;
	} else if ( sample < -32768 ) {
		sample = -32768;
	}
	history2 = history1;
	history1 = static_cast<s16>( sample );
	return history1;
}

#endif
