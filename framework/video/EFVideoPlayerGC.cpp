#include "framework/video/EFVideoPlayerGC.h"

#include "framework/core/engine/EFCallTrace.h"

#include <cstring>

EFVideoPlayer_SP::EFVideoPlayer_SP() {
	std::memset( mszVideoPath, 0, sizeof( mszVideoPath ) );
	mui32Playing = 0;
	mi32AudioTrack = 0;
}

void EFVideoPlayer_SP::Play() {
	EFCallTraceAdd( "EFVideoPlayer_SP::Play" );
}

void EFVideoPlayer_SP::Update() {
	EFCallTraceAdd( "EFVideoPlayer_SP::Update" );
}
