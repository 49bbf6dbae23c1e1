/*
	Test support: ADPCM data placed in auxiliary memory and voices set up
	to play it, with the nibble addresses of its samples.
*/
#ifndef AX_TEST_SAMPLE_H
#define AX_TEST_SAMPLE_H

#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ax/AX.h"
#include "platform/ax/AXHost.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"

#include <cmath>
#include <cstring>
#include <vector>

struct AXTestSample {
	u32						byteAddress = 0;
	std::vector<u8>			bytes;
	std::vector<s16>		decoded;	// from history 0, frame headers as stored
	std::array<u16, 16>		coefficients{};

	// Nibble address of sample k.
	u32 Nibble( const u32 k ) const {
		return byteAddress * 2 + ( k / 14 ) * 16 + 2 + k % 14;
	}
	// Sample index of a nibble address inside the data; a header's address
	// counts as the first sample of its frame.
	s64 SampleAt( const u32 nibble ) const {
		const s64 offset = static_cast<s64>( nibble ) - byteAddress * 2;
		const s64 within = offset % 16;
		return ( offset / 16 ) * 14 + ( within < 2 ? 0 : within - 2 );
	}
	u8 Header( const u32 frame ) const { return bytes[frame * 8]; }
};

// A sine of the given period (in samples) encoded and copied to address.
inline AXTestSample AXTestPlaceSine( const u32 address, const u32 count, const f64 period, const f64 amplitude = 12000.0 ) {
	std::vector<s16> pcm( count );
	for ( u32 i = 0; i < count; ++i ) {
		pcm[i] = static_cast<s16>( amplitude * std::sin( 2.0 * 3.14159265358979 * i / period ) );
	}
	const ToolDspAdpcmEncoder encoder;
	const ToolAdpcmEncoded encoded = encoder.Encode( pcm );
	AXTestSample sample;
	sample.byteAddress = address;
	sample.bytes = encoded.bytes;
	sample.decoded = encoder.Decode( encoded.bytes, count );
	sample.coefficients = encoder.CoefficientHalves();
	std::memcpy( ARHostMemory() + address, sample.bytes.data(), sample.bytes.size() );
	return sample;
}

struct AXTestPlay {
	u32		loopFlag = 0;
	u32		loopNibble = 0;
	u32		endNibble = 0;
	u32		startNibble = 0;
	u32		type = AX_VOICE_NORMAL;
	u32		srcType = AX_SRC_TYPE_NONE;
	f32		ratio = 1.0f;
	u16		predictorScale = 0;
	AXVoiceAdpcmLoop loop{};
};

// Acquires a voice and starts it through the AXSetVoice* calls, mix at
// unity on the left only.
inline AXVPB* AXTestStart( const AXTestSample& sample, const AXTestPlay& play, const u32 priority = 10 ) {
	AXVPB* voice = AXAcquireVoice( priority, nullptr, 0 );
	if ( voice == nullptr ) {
		return nullptr;
	}
	AXVoiceAddr addr{};
	addr.loopFlag = static_cast<u16>( play.loopFlag );
	addr.format = AX_FORMAT_ADPCM;
	addr.loopAddressHi = static_cast<u16>( play.loopNibble >> 16 );
	addr.loopAddressLo = static_cast<u16>( play.loopNibble );
	addr.endAddressHi = static_cast<u16>( play.endNibble >> 16 );
	addr.endAddressLo = static_cast<u16>( play.endNibble );
	addr.currentAddressHi = static_cast<u16>( play.startNibble >> 16 );
	addr.currentAddressLo = static_cast<u16>( play.startNibble );
	AXVoiceAdpcm adpcm{};
	std::memcpy( adpcm.coefficients, sample.coefficients.data(), sizeof( adpcm.coefficients ) );
	adpcm.predictorScale = play.predictorScale;
	AXVoiceSrc src{};
	AXSetVoiceType( voice, play.type );
	AXSetVoiceAddr( voice, &addr );
	AXSetVoiceAdpcm( voice, &adpcm );
	AXSetVoiceAdpcmLoop( voice, &play.loop );
	AXSetVoiceSrcType( voice, play.srcType );
	AXSetVoiceSrc( voice, &src );
	AXSetVoiceSrcRatio( voice, play.ratio );
	voice->mix.left = AX_UNITY_LEVEL;
	voice->sync |= AX_SYNC_MIX;
	AXSetVoiceState( voice, AX_VOICE_RUN );
	return voice;
}

inline u32 AXTestCurrentNibble( const AXVPB* voice ) {
	return ( static_cast<u32>( voice->addr.currentAddressHi ) << 16 ) | voice->addr.currentAddressLo;
}

// The tap of a voice over the given number of frames rendered now.
inline std::vector<s16> AXTestRenderTap( const AXVPB* voice, const u32 frames ) {
	std::vector<s16> out;
	for ( u32 f = 0; f < frames; ++f ) {
		AXHostRenderFrame();
		const s16* tap = AXHostVoiceTap( voice->index );
		out.insert( out.end(), tap, tap + AX_SAMPLES_PER_FRAME );
	}
	return out;
}

#endif
