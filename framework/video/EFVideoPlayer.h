/*
===============================================================================

	Access point of the one movie player, made on first use, not playing.

===============================================================================
*/
#ifndef EF_VIDEO_PLAYER_H
#define EF_VIDEO_PLAYER_H

#include "framework/video/EFVideoPlayerGC.h"

class EFVideoPlayer {
public:
	// Never null.
	static EFVideoPlayer_SP*	GetInstance();
};

#endif
