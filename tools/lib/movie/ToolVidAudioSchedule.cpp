#include "tools/lib/movie/ToolVidAudioSchedule.h"

u64 ToolVidAudioSchedule::BytesBefore( const u64 frameCount, const u32 rateNumerator, const u32 rateDenominator,
									   const u64 channelBytes ) {
	if ( rateNumerator == 0 ) {
		return channelBytes;
	}
	// frames x 32000 x denominator can pass 2^64, so it is taken in 128 bits.
	const unsigned __int128 samples = static_cast<unsigned __int128>( frameCount ) * TOOL_VID_AUDIO_RATE * rateDenominator / rateNumerator;
	const unsigned __int128 frames = ( samples + TOOL_ADPCM_FRAME_SAMPLES - 1u ) / TOOL_ADPCM_FRAME_SAMPLES;
	const unsigned __int128 bytes = frames * TOOL_ADPCM_FRAME_BYTES;
	return bytes < channelBytes ? static_cast<u64>( bytes ) : channelBytes;
}
