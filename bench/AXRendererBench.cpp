// One audio frame with every voice running must stay far below the frame's
// 5 ms so the real-time executable keeps up.

#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ax/AX.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr u32 DATA = 0x10000;
constexpr u32 SAMPLES = 14 * 2000;

void StartLoopingVoices( const u32 srcType ) {
	HostResetEvents();
	HostClockUseVirtual( 0 );
	HostAudioReset();
	const ToolDspAdpcmEncoder encoder;
	const ToolAdpcmEncoded encoded = encoder.Encode( ToolAdpcmTestSignals::Tone( 440.0, 32000, SAMPLES, 12000.0 ) );
	std::memcpy( ARHostMemory() + DATA, encoded.bytes.data(), encoded.bytes.size() );
	const std::array<u16, 16> coefficients = encoder.CoefficientHalves();
	const u32 start = DATA * 2 + 2;
	const u32 end = DATA * 2 + ( SAMPLES / 14 - 1 ) * 16 + 15;
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		AXVPB* voice = AXAcquireVoice( 10, nullptr, i );
		AXVoiceAddr addr = { 1, AX_FORMAT_ADPCM, static_cast<u16>( start >> 16 ), static_cast<u16>( start ),
							 static_cast<u16>( end >> 16 ), static_cast<u16>( end ),
							 static_cast<u16>( start >> 16 ), static_cast<u16>( start ) };
		AXVoiceAdpcm adpcm{};
		std::memcpy( adpcm.coefficients, coefficients.data(), sizeof( adpcm.coefficients ) );
		adpcm.predictorScale = encoded.firstHeader;
		const AXVoiceAdpcmLoop loop = { encoded.firstHeader, 0, 0 };
		const AXVoiceSrc src{};
		AXSetVoiceAddr( voice, &addr );
		AXSetVoiceAdpcm( voice, &adpcm );
		AXSetVoiceAdpcmLoop( voice, &loop );
		AXSetVoiceSrcType( voice, srcType );
		AXSetVoiceSrc( voice, &src );
		AXSetVoiceSrcRatio( voice, 1.0f );
		voice->mix.left = AX_UNITY_LEVEL / 64;
		voice->mix.right = AX_UNITY_LEVEL / 64;
		voice->sync |= AX_SYNC_MIX;
		AXSetVoiceState( voice, AX_VOICE_RUN );
	}
}

void BM_FrameOf64VoicesAtRatioOne( benchmark::State& state ) {
	StartLoopingVoices( static_cast<u32>( state.range( 0 ) ) );
	for ( auto _ : state ) {
		AXHostRenderFrame();
		benchmark::DoNotOptimize( AXHostFrameMix()[0] );
	}
	HostAudioReset();
}

BENCHMARK( BM_FrameOf64VoicesAtRatioOne )->Arg( AX_SRC_TYPE_NONE )->Arg( AX_SRC_TYPE_4TAP )->Unit( benchmark::kMicrosecond );

}
