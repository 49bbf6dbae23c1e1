/*
===============================================================================

	Flat interface of the video decoder library.

	The movie reader creates a decoder for a picture size with its three
	memory hooks, hands it one compressed frame at a time and gets back the
	picture to show, in display order. Creation returns null for a picture
	of width or height 0 or above 4096 and when any allocation fails,
	after giving back what it got. The record's size field is not checked.

===============================================================================
*/
#ifndef VID_DECODER_H
#define VID_DECODER_H

#include "video/m4/M4Image.h"
#include "video/m4/M4Memory.h"

class M4Decoder;

// Bit 0 of VIDDecoderSetup::flags: the stream may hold B-frames, so output
// is reordered.
constexpr u32 VID_DECODER_FLAG_REORDER = 0x1;

// Largest picture the decoder is created for.
constexpr u32 VID_DECODER_MAX_WIDTH = M4_IMAGE_MAX_SIZE;
constexpr u32 VID_DECODER_MAX_HEIGHT = M4_IMAGE_MAX_SIZE;

struct VIDDecoderSetup {
	u32					size;			// sizeof( VIDDecoderSetup )
	u16					width;
	u16					height;
	u32					flags;
	M4AllocCallback		alloc;
	M4FreeCallback		free;
	M4AllocCallback		fastAlloc;		// no free
};

// A picture owned by the decoder, valid until the next decode.
struct VIDImage {
	u16					width;
	u16					height;
	u16					texWidth;		// of the luma texture; chroma takes half
	u16					texHeight;
	u8*					y;
	u8*					u;
	u8*					v;
};

enum VIDFrameType : u32 {
	VID_FRAME_I			= 0,
	VID_FRAME_P			= 1,
	VID_FRAME_B			= 2,
	VID_FRAME_SPRITE	= 3,
};

// Installs the hooks and creates a decoder; null for a picture size out of
// bounds or when an allocation fails.
M4Decoder*	VIDCreateDecoder( const VIDDecoderSetup* setup );
// Destroys a decoder and frees it through the free hook; null does nothing.
void		VIDDestroyDecoder( M4Decoder* decoder );
// Decodes one frame and stores the picture to show in *out; returns 1.
// A null decoder decodes nothing and leaves *out as it was.
s32			VIDVideoDecode( M4Decoder* decoder, const u8* data, u32 size, VIDImage** out );
// The type of a compressed frame without decoding it.
u32			VIDGetFrameType( const u8* data, u32 size );
// Bytes of fast memory the frame-buffer conversion asks for.
u32			VIDXFBGetLCSize();
// Converts image into the 4:2:2 frame buffer xfb (xfbWidth pixels wide)
// at its top left; columns past its width are left out.
void		VIDXFBDraw( const VIDImage* image, u8* xfb, u32 xfbWidth );

#endif
