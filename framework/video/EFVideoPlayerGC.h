/*
===============================================================================

	The movie player of the console.

	The level loader sets the movie path and audio track; Play then shows
	the movie in a blocking loop of its own, with the playing flag at 1
	from its start to its end. Update does nothing. Placeholder body: Play
	returns at once.

===============================================================================
*/
#ifndef EF_VIDEO_PLAYER_GC_H
#define EF_VIDEO_PLAYER_GC_H

#include "datatypes/base/DTTypes.h"
#include "framework/video/EFVideoPlayer_BC.h"

constexpr u32 EF_VIDEO_PATH_SIZE = 256;

class EFVideoPlayer_SP : public EFVideoPlayer_BC {
public:
							EFVideoPlayer_SP();

	void					Play() override;
	void					Update() override;

	// Movie file without its ".vid", e.g. "MOVIES\LEGAL".
	char					mszVideoPath[EF_VIDEO_PATH_SIZE];
	// 1 while a movie plays.
	u32						mui32Playing;
	// Language track to hear, 0 for the first.
	s32						mi32AudioTrack;
};

#endif
