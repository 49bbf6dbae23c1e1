#include "video/vid/VIDSimpleDecodeSinks.h"

namespace {

s32 StandInVideoDecode( M4Decoder*, const u8*, u32, VIDImage** ) {
	return 1;
}

s32 StandInAudioDecode( const u8*, u32 ) {
	return 0;
}

VIDVideoDecodeSink	videoSink = StandInVideoDecode;
VIDAudioDecodeSink	audioSink = StandInAudioDecode;

}

VIDVideoDecodeSink VIDSimpleSetVideoDecodeSink( const VIDVideoDecodeSink sink ) {
	const VIDVideoDecodeSink previous = videoSink;
	videoSink = sink != nullptr ? sink : StandInVideoDecode;
	return previous;
}

VIDAudioDecodeSink VIDSimpleSetAudioDecodeSink( const VIDAudioDecodeSink sink ) {
	const VIDAudioDecodeSink previous = audioSink;
	audioSink = sink != nullptr ? sink : StandInAudioDecode;
	return previous;
}

VIDVideoDecodeSink VIDSimpleVideoDecodeSink() {
	return videoSink;
}

VIDAudioDecodeSink VIDSimpleAudioDecodeSink() {
	return audioSink;
}
