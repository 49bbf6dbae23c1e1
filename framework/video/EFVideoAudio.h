/*
===============================================================================

	What the audio frame needs of the movie player: whether a movie plays,
	its audio step, and its two voices (left and right), which the voice
	drop handler must recognise. No movie plays sound yet: the flag stays
	false, the step does nothing and both voices are null.

===============================================================================
*/
#ifndef EF_VIDEO_AUDIO_H
#define EF_VIDEO_AUDIO_H

#include "datatypes/base/DTTypes.h"

struct AXVPB;

extern volatile bool	bVideoPlaying;
extern AXVPB *			gpoVideoVoiceLeft;
extern AXVPB *			gpoVideoVoiceRight;

void	VideoCallbackAudioFrame();

#endif
