/*
===============================================================================

	Host controls of the audio layer.

	What tests and the executable need beyond the console's calls: one
	reset of every audio and auxiliary-memory library, the host settings,
	and the outputs of the renderer. There is no sound device; the mix of
	every frame is readable here and can be written to a WAV file.

	  ENGINE_AUDIO_WAV     WAV file receiving the stereo mix   (default none)
	  ENGINE_AUDIO_VOICES  voices available, 1 to 64           (default 64)
	  ENGINE_ARQ_LATENCY   transfer latency in microseconds    (default 0)

===============================================================================
*/
#ifndef AX_HOST_H
#define AX_HOST_H

#include "platform/ax/AX.h"

// Resets auxiliary memory, the transfer queue, the zero buffer, voices,
// renderer, mixer and the recorded effect, art and audio-interface calls,
// clears the check counters and the start-up log and reads the host
// settings again. Audio
// frames stop until the next AXInit.
void			HostAudioReset();

// Voices AXAcquireVoice may hand out (1 to 64); lowered by tests to force
// stealing.
void			AXHostSetVoiceCount( u32 count );
u32				AXHostVoiceCount();

// WAV file for the mix; null or empty stops writing. Returns false when
// the file cannot be created.
bool			AXHostSetWavPath( const char* path );

// The voice record with the given index, acquired or not; null past 63.
AXVPB*			AXHostVoice( u32 index );

// Index of a voice record, or -1 when the pointer is not one of them.
s32				AXHostVoiceIndex( const void* voice );

// True while the voice is handed out.
bool			AXHostVoiceAcquired( u32 index );

// The last frame's stereo mix, AX_SAMPLES_PER_FRAME pairs, left first.
const s16*		AXHostFrameMix();

// The last frame's samples of one voice after addressing, decoding and
// rate conversion, before envelope and mix (zeros when it did not play).
const s16*		AXHostVoiceTap( u32 index );

// The mixer levels the renderer holds for a voice (its own copy), with
// the AUX sends it took at the last frame.
AXVoiceMix		AXHostRendererMix( u32 index );

// Audio frames rendered since AXInit.
u64				AXHostFrameCount();

// Recorded calls.
u32				AXHostCompressor();

// Frees and resets every voice; with rereadSettings the voice count is
// read from the environment again. Part of AXInit and HostAudioReset.
void			AXHostResetVoices( bool rereadSettings );

// Renders one frame now, outside the frame schedule (benchmarks).
void			AXHostRenderFrame();

#endif
