/*
===============================================================================

	The movie player of the console.

	The level loader sets the movie path and audio track; Play then shows
	the movie in a blocking loop of its own, with the playing flag at 1
	from its start to its end. Nothing else of the engine runs meanwhile.

	Each frame: the disc is checked, the next frame decoded (its sound
	staged for the movie's voices), the picture drawn full width through
	the GPU's YUV-to-RGB stages, the disc checked again, the skip button
	read, the reset button handled and the frame shown; then the loop
	waits for the frame's time at the movie's rate. A movie ends after its
	last frame, when skipped, on a disc error, and a demo movie
	("MOVIES\DEMOS...") after 1863 frames. The legal screen
	("MOVIES\LEGAL...") cannot be skipped. A skip button held when a movie
	starts must be released before a press skips, and stays held across
	movies. Update does nothing.

===============================================================================
*/
#ifndef EF_VIDEO_PLAYER_GC_H
#define EF_VIDEO_PLAYER_GC_H

#include "datatypes/base/DTTypes.h"
#include "framework/video/EFVideoPlayer_BC.h"
#include "platform/pad/PAD.h"

constexpr u32 EF_VIDEO_PATH_SIZE = 256;

class EFVideoPlayer_SP : public EFVideoPlayer_BC {
public:
							EFVideoPlayer_SP();

	void					Play() override;
	void					Update() override;

	// Movie file without its ".vid", e.g. "MOVIES\LEGAL"; Play turns it
	// into the file name it opens, e.g. "MOVIES/LEGAL.vid".
	char					mszVideoPath[EF_VIDEO_PATH_SIZE];
	// 1 while a movie plays.
	u32						mui32Playing;
	// Language track to hear, 0 for the first.
	s32						mi32AudioTrack;
};

// A skip button held when a movie starts must be released first; true
// before the first movie, kept from movie to movie.
extern bool			bSkipButtonInHold;
// Frames a demo movie shows at most.
extern u32			ui32FrameLimit;
// The camera Play draws with, while it plays.
class EFCamera;
extern EFCamera*	gpoVideoCamera;
// Next free byte of the locked cache.
extern u8*			lcMemBase;
// The controllers as the last frame read them.
extern PADStatus	oPadStatus[PAD_MAX_CONTROLLERS];

// The decoder's fast memory: lcMemBase, which then moves on by size
// rounded up to 32 bytes. Null when the locked cache has no room left;
// Play gives it back whole before each movie.
void*	myAllocFromLC( u32 size );

#endif
