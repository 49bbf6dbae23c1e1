#include "tools/lib/audio/ToolDspAdpcmEncoder.h"

#include "platform/ax/AXAdpcm.h"

#include <algorithm>
#include <limits>

namespace {

// Scales 0..11 cover the 16-bit range (7 x 2^11 = 14336 per step); larger
// ones only add noise, but the decoder accepts them, so the search tries
// them too and lets the error decide.
constexpr u32 SCALE_COUNT     = 16;
constexpr u32 PREDICTOR_COUNT = 8;

}

const ToolAdpcmCoefficients& ToolDspAdpcmEncoder::DefaultCoefficients() {
	// {0, 0} passes the residual through; {2048, 0} repeats the last sample;
	// {4096, -2048} continues its slope; the rest are damped resonators
	// (c1 = 2r cos w, c2 = -r^2 with r = 0.96) at w = 0.05, 0.12, 0.25 and
	// 0.4 pi; {1024, 0} halves the last sample.
	static const ToolAdpcmCoefficients set = {
		0,		0,
		2048,	0,
		4096,	-2048,
		3884,	-1887,
		3656,	-1887,
		2780,	-1887,
		1215,	-1887,
		1024,	0,
	};
	return set;
}

ToolDspAdpcmEncoder::ToolDspAdpcmEncoder( const ToolAdpcmCoefficients& coefficients ) : coefficients( coefficients ) {
}

std::array<u16, 16> ToolDspAdpcmEncoder::CoefficientHalves() const {
	std::array<u16, 16> halves{};
	for ( u32 i = 0; i < halves.size(); ++i ) {
		halves[i] = static_cast<u16>( coefficients[i] );
	}
	return halves;
}

u8 ToolDspAdpcmEncoder::EncodeFrame( const s16* samples, const u32 count, u8* nibbles, s16& history1,
									 s16& history2 ) const {
	const std::array<u16, 16> halves = CoefficientHalves();
	u64 bestError = std::numeric_limits<u64>::max();
	u8 bestHeader = 0;
	u8 candidate[AX_ADPCM_SAMPLES_PER_FRAME];
	for ( u32 predictor = 0; predictor < PREDICTOR_COUNT; ++predictor ) {
		const s64 c1 = coefficients[predictor * 2];
		const s64 c2 = coefficients[predictor * 2 + 1];
		for ( u32 scale = 0; scale < SCALE_COUNT; ++scale ) {
			const u8 header = static_cast<u8>( ( predictor << AX_ADPCM_PREDICTOR_SHIFT ) | scale );
			const s64 step = static_cast<s64>( 1 ) << scale;
			s16 h1 = history1;
			s16 h2 = history2;
			u64 error = 0;
			for ( u32 i = 0; i < count && error < bestError; ++i ) {
				const s64 prediction = ( c1 * h1 + c2 * h2 ) >> 11;
				const s64 residual = samples[i] - prediction;
				// Nearest multiple of the step, rounded half away from zero.
				s64 n = residual >= 0 ? ( residual + step / 2 ) / step : -( ( -residual + step / 2 ) / step );
				n = std::clamp<s64>( n, -8, 7 );
				candidate[i] = static_cast<u8>( n & 0xF );
				const s16 decoded = AXAdpcmDecodeSample( halves.data(), header, candidate[i], h1, h2 );
				const s64 difference = static_cast<s64>( samples[i] ) - decoded;
				error += static_cast<u64>( difference * difference );
			}
			if ( error < bestError ) {
				bestError = error;
				bestHeader = header;
				std::copy( candidate, candidate + count, nibbles );
			}
		}
	}
	// Move the history on exactly as the decoder will.
	for ( u32 i = 0; i < count; ++i ) {
		AXAdpcmDecodeSample( halves.data(), bestHeader, nibbles[i], history1, history2 );
	}
	return bestHeader;
}

ToolAdpcmEncoded ToolDspAdpcmEncoder::Encode( const std::span<const s16> samples ) const {
	ToolAdpcmEncoded result;
	result.sampleCount = static_cast<u32>( samples.size() );
	const size_t frames = ( samples.size() + AX_ADPCM_SAMPLES_PER_FRAME - 1 ) / AX_ADPCM_SAMPLES_PER_FRAME;
	result.bytes.assign( frames * AX_ADPCM_FRAME_BYTES, 0 );
	s16 history1 = 0;
	s16 history2 = 0;
	for ( size_t frame = 0; frame < frames; ++frame ) {
		const size_t first = frame * AX_ADPCM_SAMPLES_PER_FRAME;
		const u32 count = static_cast<u32>( std::min<size_t>( AX_ADPCM_SAMPLES_PER_FRAME, samples.size() - first ) );
		u8 nibbles[AX_ADPCM_SAMPLES_PER_FRAME] = {};
		const u8 header = EncodeFrame( samples.data() + first, count, nibbles, history1, history2 );
		u8* out = result.bytes.data() + frame * AX_ADPCM_FRAME_BYTES;
		out[0] = header;
		for ( u32 i = 0; i < AX_ADPCM_SAMPLES_PER_FRAME; i += 2 ) {
			out[1 + i / 2] = static_cast<u8>( ( nibbles[i] << 4 ) | nibbles[i + 1] );
		}
		if ( frame == 0 ) {
			result.firstHeader = header;
		}
	}
	result.finalHistory1 = history1;
	result.finalHistory2 = history2;
	return result;
}

std::vector<s16> ToolDspAdpcmEncoder::Decode( const std::span<const u8> bytes, const u32 sampleCount ) const {
	const std::array<u16, 16> halves = CoefficientHalves();
	std::vector<s16> out;
	out.reserve( sampleCount );
	s16 history1 = 0;
	s16 history2 = 0;
	for ( size_t frame = 0; frame + AX_ADPCM_FRAME_BYTES <= bytes.size() && out.size() < sampleCount;
		  frame += AX_ADPCM_FRAME_BYTES ) {
		const u8 header = bytes[frame];
		for ( u32 i = 0; i < AX_ADPCM_SAMPLES_PER_FRAME && out.size() < sampleCount; ++i ) {
			const u8 byte = bytes[frame + 1 + i / 2];
			const u32 nibble = ( i & 1 ) == 0 ? byte >> 4 : byte & 0xF;
			out.push_back( AXAdpcmDecodeSample( halves.data(), header, nibble, history1, history2 ) );
		}
	}
	return out;
}
