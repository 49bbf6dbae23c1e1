#include "video/m4/VIDSimpleDecoder.h"

#include "video/m4/VIDDecoder.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDSimplePlayer.h"

namespace {

// The reader's picture sink starts as a stand-in; the decoder library
// replaces it before main runs. The sink variable is constant-initialised,
// so this runs after it whatever the order of the files.
const bool sWired = ( VIDSimpleSetVideoDecodeSink( VIDVideoDecode ), true );

}

s32 VIDSimpleCreateDecoder( const M4AllocCallback alloc, const M4FreeCallback free, const M4AllocCallback fastAlloc, const s32 reorder ) {
	VIDSimpleDestroyDecoder();
	const VIDDecoderSetup setup = {
		sizeof( VIDDecoderSetup ),
		player.videoHeader.width,
		player.videoHeader.height,
		reorder != 0 ? VID_DECODER_FLAG_REORDER : 0u,
		alloc,
		free,
		fastAlloc,
	};
	player.decoder = VIDCreateDecoder( &setup );
	return player.decoder != nullptr ? 1 : 0;
}

void VIDSimpleDestroyDecoder() {
	VIDDestroyDecoder( player.decoder );
	player.decoder = nullptr;
	player.image = nullptr;
}
