#include "video/m4/VIDDecoder.h"

#include "video/m4/M4Bitstream.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/M4Xfb.h"

#include <new>

M4Decoder* VIDCreateDecoder( const VIDDecoderSetup* setup ) {
	if ( setup == nullptr ) {
		return nullptr;
	}
	M4initMemory( setup->alloc, setup->free, setup->fastAlloc );
	void* const memory = M4Malloc( sizeof( M4Decoder ) );
	if ( memory == nullptr ) {
		return nullptr;
	}
	M4Decoder* const decoder = new ( memory ) M4Decoder();
	if ( !decoder->init( setup ) ) {
		decoder->~M4Decoder();
		M4Free( memory );
		return nullptr;
	}
	return decoder;
}

void VIDDestroyDecoder( M4Decoder* decoder ) {
	if ( decoder == nullptr ) {
		return;
	}
	decoder->~M4Decoder();
	M4Free( decoder );
}

s32 VIDVideoDecode( M4Decoder* decoder, const u8* data, const u32 size, VIDImage** out ) {
	// Without a decoder there is nothing to decode into; the caller keeps
	// the picture it had.
	if ( decoder != nullptr ) {
		decoder->decode( data, size, out );
	}
	return 1;
}

u32 VIDGetFrameType( const u8* data, const u32 size ) {
	M4Bitstream bs;
	M4BitstreamInit( &bs, data, size );
	M4BitstreamSkip( &bs, 16 );
	return M4BitstreamGet( &bs, 2 );
}

u32 VIDXFBGetLCSize() {
	return M4XfbGetLCSize();
}

void VIDXFBDraw( const VIDImage* image, u8* xfb, const u32 xfbWidth ) {
	M4XfbDraw( image, xfb, xfbWidth );
}
