/*
===============================================================================

	Movie file (.vid) layout.

	A movie is one disc file, big-endian throughout. Every chunk starts with
	a u32 tag and a u32 size that counts the whole chunk, header included.

	  0       "VID1", 32 bytes, version bytes 1 and 0 at 12 and 13
	  32      "HEAD": 12-byte header, then sub-chunks {tag, size, version}
	          from 44 up to 32 + HEAD size: "VIDH" (picture) and "AUDH"
	          (sound, absent in a silent movie)
	  32 + HEAD size
	          one "FRAM" per frame: a 32-byte header, then "VIDD" (picture)
	          and "AUDD" (sound) sub-chunks with 12-byte headers
	  end     at least 32 bytes, read with the last frame

	This module decodes the fixed records and says which headers a player
	can use; the reading itself is done by the movie reader.

===============================================================================
*/
#ifndef VID_FILE_FORMAT_H
#define VID_FILE_FORMAT_H

#include "datatypes/base/DTTypes.h"

// Chunk tags as big-endian words.
constexpr u32 VIDMakeTag( const char ( &text )[5] ) {
	return ( static_cast<u32>( static_cast<u8>( text[0] ) ) << 24 ) | ( static_cast<u32>( static_cast<u8>( text[1] ) ) << 16 ) |
		   ( static_cast<u32>( static_cast<u8>( text[2] ) ) << 8 ) | static_cast<u32>( static_cast<u8>( text[3] ) );
}

constexpr u32 VID_TAG_FILE			= VIDMakeTag( "VID1" );
constexpr u32 VID_TAG_HEAD			= VIDMakeTag( "HEAD" );
constexpr u32 VID_TAG_VIDEO_HEADER	= VIDMakeTag( "VIDH" );
constexpr u32 VID_TAG_AUDIO_HEADER	= VIDMakeTag( "AUDH" );
constexpr u32 VID_TAG_FRAME			= VIDMakeTag( "FRAM" );
constexpr u32 VID_TAG_VIDEO_DATA	= VIDMakeTag( "VIDD" );
constexpr u32 VID_TAG_AUDIO_DATA	= VIDMakeTag( "AUDD" );

// Sound formats in the first word of the audio header area.
constexpr u32 VID_AUDIO_FORMAT_NONE	= VIDMakeTag( "NONE" );
constexpr u32 VID_AUDIO_FORMAT_ADPCM	= VIDMakeTag( "APCM" );
constexpr u32 VID_AUDIO_FORMAT_PCM16	= VIDMakeTag( "PC16" );

// The only version accepted.
constexpr u8  VID_VERSION_MAJOR		= 1;
constexpr u8  VID_VERSION_MINOR		= 0;

constexpr u32 VID_FILE_HEADER_SIZE	= 32;
constexpr u32 VID_VERSION_OFFSET	= 12;
constexpr u32 VID_HEAD_OFFSET		= 32;
constexpr u32 VID_HEAD_HEADER_SIZE	= 12;
constexpr u32 VID_SUB_HEADER_SIZE	= 12;
constexpr u32 VID_FRAME_HEADER_SIZE	= 32;

// Smallest step of a header or frame walk: sub-chunks are taken only while
// this many bytes remain, and the disc reads whole steps.
constexpr u32 VID_BLOCK				= 32;

// A frame read ends with the next frame's 32-byte header; its size word
// lies this many bytes before the end of the read.
constexpr u32 VID_NEXT_SIZE_BACK	= 28;

// Bytes of the video header payload, and of the audio header area kept.
constexpr u32 VID_VIDEO_HEADER_SIZE	= 20;
constexpr u32 VID_AUDIO_AREA_SIZE	= 540;

// Audio header payload fields.
constexpr u32 VID_AUDIO_FORMAT_OFFSET	= 0;
constexpr u32 VID_AUDIO_RATE_OFFSET		= 4;
constexpr u32 VID_AUDIO_CHANNELS_OFFSET	= 8;

// Frames held ahead of the decoder.
constexpr u32 VID_SLOT_COUNT		= 10;

// The video header payload, decoded. Version-0 sub-chunks carry a u32
// denominator; it is kept as its low 16 bits with the flag 0.
struct VIDVideoHeader {
	u16		width;				// pixels
	u16		height;
	u32		frameCount;
	u32		largestFrame;		// bytes of the largest FRAM chunk
	u32		rateNumerator;
	u16		rateDenominator;
	u8		flag;				// not used by the player
	u8		unused;
};

// Decodes a VIDH payload of VID_VIDEO_HEADER_SIZE bytes.
void	VIDDecodeVideoHeader( const u8* payload, u32 version, VIDVideoHeader* header );

// Frames per second, numerator / denominator in single precision.
f32		VIDFramesPerSecond( const VIDVideoHeader& header );

// Bytes of one read-ahead slot: a frame of the largest size plus the next
// frame's header and some slack, rounded down to the disc's 32 bytes.
u64		VIDSlotCapacity( u32 largestFrame );

// Bytes to allocate for all slots, with room to align the first to 32.
u64		VIDSlotBlockSize( u32 largestFrame );

// False for a header a player cannot pace, lay out or buffer: no frames, a
// frame rate of 0, infinite or undefined, an empty picture or one larger
// than the decoder can hold, or slots that are empty or whose block does
// not fit 32 bits.
bool	VIDVideoHeaderIsUsable( const VIDVideoHeader& header );

// The sound format of an audio header area.
u32		VIDAudioFormat( const u8* area );

#endif
