#include "tools/lib/audio/ToolAdpcmTestSignals.h"

#include <cmath>
#include <numbers>
#include <random>

std::vector<u8> ToolAdpcmTestSignals::RandomFrames( const u32 seed, const u32 frameCount ) {
	const u32 HEADERS = 128;	// 8 predictors x 16 scales
	std::mt19937 random( seed );
	std::vector<u8> bytes;
	bytes.reserve( static_cast<size_t>( frameCount ) * 8 );
	for ( u32 frame = 0; frame < frameCount; ++frame ) {
		u8 header = static_cast<u8>( ( frame * 37 + seed ) % HEADERS );
		if ( ( random() & 7 ) == 0 ) {
			header |= 0x80;
		}
		bytes.push_back( header );
		const u32 style = random() % 4;
		for ( u32 i = 0; i < 7; ++i ) {
			u8 value = static_cast<u8>( random() );
			if ( style == 0 ) {
				value = 0x77;	// +7 everywhere: pushes into the upper clamp
			} else if ( style == 1 ) {
				value = 0x88;	// -8 everywhere: the lower clamp
			}
			bytes.push_back( value );
		}
	}
	return bytes;
}

std::vector<s16> ToolAdpcmTestSignals::Tone( const f64 hz, const u32 rate, const u32 sampleCount, const f64 amplitude ) {
	std::vector<s16> samples( sampleCount );
	for ( u32 i = 0; i < sampleCount; ++i ) {
		samples[i] = static_cast<s16>( std::lround( amplitude * std::sin( 2.0 * std::numbers::pi * hz * i / rate ) ) );
	}
	return samples;
}
