#include "framework/video/EFVideoPlayer.h"

EFVideoPlayer_SP* EFVideoPlayer::GetInstance() {
	static EFVideoPlayer_SP player;
	return &player;
}
