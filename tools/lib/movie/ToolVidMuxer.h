/*
===============================================================================

	Movie file (.vid) writer.

	Lays out a movie for the console's read-ahead reader. All numbers are
	big-endian; every chunk is {tag, size counting its own header}.

	  0     "VID1", 32 bytes, version 1.0 at bytes 12 and 13
	  32    "HEAD": a 12-byte header, then sub-chunks {tag, size, version}:
	          "VIDH" (version 1: u16 frame-rate denominator; version 0: u32)
	          "AUDH" when the movie has sound
	  ...   one "FRAM" per picture in bitstream order: a 32-byte header,
	        then "VIDD" (the compact frame) and "AUDD" (the frame's sound)
	  end   a 32-byte trailer: each frame read also fetches the 32 bytes
	        after its chunk, which hold the next frame's header

	The reader walks sub-chunks only while 32 or more bytes of the chunk
	remain. So HEAD and every FRAM take a multiple of 32 bytes, each
	sub-chunk is at least 32 bytes long (a short last one is lengthened
	inside itself with zeros its own counts leave unread) and the padding
	after the last sub-chunk stays below 32 bytes. The defect options break
	exactly these rules, to make files for the reader's fault tests.

===============================================================================
*/
#ifndef TOOL_VID_MUXER_H
#define TOOL_VID_MUXER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <string>
#include <vector>

constexpr u32 TOOL_VID_BLOCK			= 32;	// chunk alignment and the reader's minimum walk step
constexpr u32 TOOL_VID_SUB_HEADER		= 12;
constexpr u32 TOOL_VID_FRAME_HEADER		= 32;
constexpr u32 TOOL_VID_HEAD_OFFSET		= 32;
constexpr u32 TOOL_VID_HEAD_HEADER		= 12;
constexpr u32 TOOL_VID_VIDEO_PAYLOAD	= 20;
constexpr u32 TOOL_VID_TRACK_BYTES		= 66;	// per track in the AUDH payload
constexpr u32 TOOL_VID_AUDIO_FIXED		= 10;	// AUDH payload bytes before the first track

// Four-character tags as big-endian words.
constexpr u32 ToolVidTag( const char ( &text )[5] ) {
	return ( static_cast<u32>( static_cast<u8>( text[0] ) ) << 24 ) | ( static_cast<u32>( static_cast<u8>( text[1] ) ) << 16 ) |
		   ( static_cast<u32>( static_cast<u8>( text[2] ) ) << 8 ) | static_cast<u32>( static_cast<u8>( text[3] ) );
}

struct ToolVidSubChunk {
	u32					tag;
	u32					version;
	std::vector<u8>		payload;
	// Written in place of the true size when non-zero (broken files only).
	u32					sizeOverride = 0;
};

struct ToolVidFrame {
	std::vector<ToolVidSubChunk>	subChunks;
	// Written in place of the true size when non-zero (broken files only).
	u32								sizeOverride = 0;
};

// One language track: a stereo pair of DSP-ADPCM streams of equal length.
struct ToolVidAudioTrack {
	std::array<u16, 16>		leftCoefficients;
	std::array<u16, 16>		rightCoefficients;
	std::vector<u8>			left;
	std::vector<u8>			right;
};

struct ToolVidVideoHeader {
	u16		width;
	u16		height;
	u32		rateNumerator;
	u32		rateDenominator;	// must fit 16 bits unless a version-0 header is written
	u8		flag;
};

struct ToolVidWriteOptions {
	bool	versionZeroVideoHeader = false;	// u32 denominator layout
	// Defects, for the reader's fault tests only.
	bool	headPaddingOfOneBlock = false;	// 32 zero bytes after the last HEAD sub-chunk
	bool	unalignedFrames = false;		// FRAM sizes not rounded up to 32
	bool	keepShortSubChunks = false;		// a last sub-chunk under 32 bytes stays short
	bool	omitTrailer = false;
};

class ToolVidMuxer {
public:
	// The frame chunks' contents for compact pictures (bitstream order) and
	// the tracks' sound split by ToolVidAudioSchedule: a VIDD and, when
	// there are tracks, an AUDD per picture. False when the tracks'
	// channels differ in length or are not whole ADPCM frames.
	static bool				BuildFrames( const std::vector<std::vector<u8>>& pictures, const std::vector<ToolVidAudioTrack>& tracks,
										 u32 rateNumerator, u32 rateDenominator, std::vector<ToolVidFrame>* frames, std::string* error );

	// The whole file. tracks give the AUDH (none: no AUDH); their sound
	// data is not used here.
	static bool				Write( const ToolVidVideoHeader& video, const std::vector<ToolVidAudioTrack>& tracks,
								   const std::vector<ToolVidFrame>& frames, const ToolVidWriteOptions& options,
								   std::vector<u8>* file, std::string* error );

private:
	static std::vector<u8>	HeadChunk( const ToolVidVideoHeader& video, const std::vector<ToolVidAudioTrack>& tracks,
									   u32 largestFrame, const ToolVidWriteOptions& options );
	static u32				FrameSize( const ToolVidFrame& frame, const ToolVidWriteOptions& options );
	static void				AppendFrame( std::vector<u8>& file, const ToolVidFrame& frame, const ToolVidWriteOptions& options );
};

#endif
