#include "framework/audio/EFNewAudioMgr.h"

EFNewAudioMgr* gpoNewAudioMgr = nullptr;

EFNewAudioMgr::EFNewAudioMgr() {
	gpoNewAudioMgr = this;
}

EFNewAudioMgr::~EFNewAudioMgr() {
	if ( gpoNewAudioMgr == this ) {
		gpoNewAudioMgr = nullptr;
	}
}
