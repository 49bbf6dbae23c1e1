/*
===============================================================================

	Mixer (MIX), host version.

	Keeps one channel per voice in the console's units: input, fader and
	AUX sends as attenuations in 0.1 dB (at or below -904 silent, above 0
	played at 0 dB), pan 0 (full left) to 127 (full right) with 64 the
	centre; other pans clamp into that range. MIXUpdateSettings, called
	once per audio frame, turns the settings of the channels changed
	through the mixer since the last update into the voices' levels and
	raises their mix sync bit; channels the mixer did not touch keep what
	engine code wrote into the voice directly.

	Pan law (our own, constant power): the pan maps to an angle from 0 to
	90 degrees, 0 at pan 0, 45 at pan 64, 90 at pan 127; the left level is
	scaled by its cosine and the right one by its sine, so the centre is
	3 dB down on each side and the full pans are exact. In mono mode both
	sides get the centre levels. The AUX sends use the same gains after
	the fader.

===============================================================================
*/
#ifndef MIX_H
#define MIX_H

#include "platform/types/PlatformTypes.h"
#include "platform/ax/AX.h"

constexpr u32 MIX_SOUND_MODE_MONO   = 0;
constexpr u32 MIX_SOUND_MODE_STEREO = 1;

constexpr s32 MIX_PAN_LEFT   = 0;
constexpr s32 MIX_PAN_CENTRE = 64;
constexpr s32 MIX_PAN_RIGHT  = 127;

void	MIXInit();

// 0 mono, 1 stereo.
void	MIXSetSoundMode( u32 mode );
u32		MIXGetSoundMode();

void	MIXInitChannel( AXVPB* voice, u32 mode, s32 input, s32 auxA, s32 auxB, s32 pan, s32 span, s32 fader );
void	MIXReleaseChannel( AXVPB* voice );
void	MIXSetInput( AXVPB* voice, s32 attenuation );
void	MIXSetPan( AXVPB* voice, s32 pan );
void	MIXSetFader( AXVPB* voice, s32 attenuation );

// Writes the levels of the changed channels into their voices.
void	MIXUpdateSettings();

#endif
