/*
===============================================================================

	Movie sound schedule.

	Decides how many ADPCM bytes of each channel travel in each frame chunk.
	The k-th frame carries the k-th 1/fps stretch of sound: the running
	total after k frames is the number of whole 8-byte ADPCM frames that
	covers 32000 x k / fps samples, computed from k each time, so rounding
	never accumulates over a long movie.

===============================================================================
*/
#ifndef TOOL_VID_AUDIO_SCHEDULE_H
#define TOOL_VID_AUDIO_SCHEDULE_H

#include "datatypes/base/DTTypes.h"

constexpr u32 TOOL_VID_AUDIO_RATE			= 32000;	// the mixer's rate; movie voices play at ratio 1.0
constexpr u32 TOOL_ADPCM_FRAME_BYTES		= 8;
constexpr u32 TOOL_ADPCM_FRAME_SAMPLES		= 14;

class ToolVidAudioSchedule {
public:
	// Bytes per channel carried by the first frameCount frames together, at
	// numerator / denominator frames per second, capped at channelBytes.
	static u64		BytesBefore( u64 frameCount, u32 rateNumerator, u32 rateDenominator, u64 channelBytes );
};

#endif
