/*
===============================================================================

	Where the movie reader sends a frame's contents.

	Each frame's "VIDD" payload goes to the video decoder and each "AUDD"
	payload to the movie audio. The reader calls them only through the two
	sinks installed here, so the decoder and the audio stay separate
	modules and tests can watch the payloads.

	Until the decoder and the movie audio are wired in, the installed sinks
	are stand-ins that accept every payload: the picture stand-in returns 1
	and leaves the current picture as it was, the sound stand-in returns 0.

===============================================================================
*/
#ifndef VID_SIMPLE_DECODE_SINKS_H
#define VID_SIMPLE_DECODE_SINKS_H

#include "datatypes/base/DTTypes.h"

class M4Decoder;
struct VIDImage;

// Decodes one compressed picture of size bytes and stores the picture to
// show in *image. Returns 1.
typedef s32 ( *VIDVideoDecodeSink )( M4Decoder* decoder, const u8* data, u32 size, VIDImage** image );

// Takes one frame's sound: a u32 byte count, then the channels' bytes.
typedef s32 ( *VIDAudioDecodeSink )( const u8* data, u32 size );

// Install a sink and return the one replaced; null installs the stand-in.
VIDVideoDecodeSink	VIDSimpleSetVideoDecodeSink( VIDVideoDecodeSink sink );
VIDAudioDecodeSink	VIDSimpleSetAudioDecodeSink( VIDAudioDecodeSink sink );

// The sinks in use.
VIDVideoDecodeSink	VIDSimpleVideoDecodeSink();
VIDAudioDecodeSink	VIDSimpleAudioDecodeSink();

#endif
