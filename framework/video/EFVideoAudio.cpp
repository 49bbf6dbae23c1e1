#include "framework/video/EFVideoAudio.h"

volatile bool	bVideoPlaying = false;
AXVPB *			gpoVideoVoiceLeft = nullptr;
AXVPB *			gpoVideoVoiceRight = nullptr;

void VideoCallbackAudioFrame() {
}
