/*
===============================================================================

	A movie's sound.

	Sound travels in the movie's frames as 4-bit DSP-ADPCM ("APCM"), one
	stereo pair of channels per language track. The reader hands each
	frame's "AUDD" payload to VIDSimpleAudioDecode, which appends the
	chosen track's left and right bytes to two staging buffers in main
	memory. Two looping DSP voices play two 8192-byte rings in auxiliary
	memory; the audio frame (VideoCallbackAudioFrame, at interrupt level,
	every 5 ms while bVideoPlaying) refills the half of each ring the
	voice is not playing through the transfer queue:

	  - priming: the first 8192 staged bytes fill the whole ring; the
	    voice starts when that transfer completes;
	  - voice in the second half: staged bytes 0-4095 go to the first half
	    ("keep": the staging stays where it is);
	  - voice in the first half: staged bytes 4096-8191 go to the second
	    half ("shift": on completion the staging moves on by 8192 bytes).

	Each half is refilled at most once per pass of the voice through the
	other half, and never while the channel's last transfer is pending, so
	a large backlog never skips sound. A voice that reaches a half before
	it was refilled plays it again. Sound and picture share no clock: the
	staging buffers absorb the difference; what does not fit is dropped
	(reported once per movie).

	The voices and the audio mode outlive a movie; transfers still pending
	when a movie's sound stops change nothing when they complete.

	The movie volume (g_i32VolumeL/R, 0.1 dB, 0 full, -904 silent) is
	applied every audio frame. 16-bit PCM movies ("PC16") play silent:
	the PCM operations exist and change nothing.

===============================================================================
*/
#ifndef EF_VIDEO_AUDIO_H
#define EF_VIDEO_AUDIO_H

#include "datatypes/base/DTTypes.h"
#include "platform/arq/ARQ.h"

struct AXVPB;

typedef void*	( *EFVideoAllocCallback )( u32 size );
typedef void	( *EFVideoFreeCallback )( void* block );

// Audio modes.
constexpr u8  VIDEO_AUDIO_MODE_NONE		= 0;
constexpr u8  VIDEO_AUDIO_MODE_ADPCM	= 2;

constexpr u32 VIDEO_AUDIO_STAGING_BYTES	= 32000;
constexpr u32 VIDEO_AUDIO_RING_BYTES	= 8192;
constexpr u32 VIDEO_AUDIO_HALF_BYTES	= 4096;
// Auxiliary memory each channel owns; the ring takes its start.
constexpr u32 VIDEO_AUDIO_CHANNEL_AREA	= 52000;

extern volatile bool	bVideoPlaying;
extern AXVPB *			gpoVideoVoiceLeft;
extern AXVPB *			gpoVideoVoiceRight;

// The track the movie plays, and the volumes of its two voices.
extern u32				_VideoLanguageIndex;
extern s32				g_i32VolumeL;
extern s32				g_i32VolumeR;

extern u8				g_ui8VideoAudioMode;
// Staged bytes, and the count that follows them.
extern u32				BuffPos;
extern u32				BuffPosR;
extern u32				BuffSize;
extern u32				BuffSizeR;
// The ring has received its first 8192 bytes.
extern bool				bfirst;
extern bool				bfirstR;
// Start of the right ring (the left one is g_CurrAramOffset).
extern u32				g_CurrAramOffset2;

// Sets the sound of the open movie up; 0 (the sound of a movie that has
// none, or of a format other than ADPCM, stays silent).
s32		VIDSimpleInitAudioDecoder( EFVideoAllocCallback alloc );
// Takes one frame's "AUDD" payload: a u32 byte count, then each channel's
// bytes in turn. 0.
s32		VIDSimpleAudioDecode( const u8* data, u32 size );
// Refills and sets the volume of both voices; at interrupt level.
void	VideoCallbackAudioFrame();
// Silences both voices at once.
void	VIDMuteAllChannel();
// Stops the voices and releases their mixer channels; the voices stay
// acquired for the next movie.
void	VIDSimpleExitAudioDecoder( EFVideoFreeCallback free );

// The PCM path: nothing selects it, nothing is heard.
void	VIDSimpleAudioStartPlayback();
void	VIDSimpleAudioChangePlayback( const u32* channelMasks, u32 count );
void	VIDSimpleAudioReset();

#endif
