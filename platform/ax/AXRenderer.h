/*
===============================================================================

	The audio renderer: the share of the work the console's DSP does.

	It keeps its own copy of every voice, takes over the groups whose sync
	bit is set at the start of a frame, renders 160 samples of each
	running voice (addressing, ADPCM decoding, rate conversion, envelope),
	writes back what the engine may read and mixes the stereo output.

	Rate conversion keeps a window of four decoded samples around the
	playing position p: p - 1, p, p + 1 and p + 2. The decoder therefore
	runs two samples ahead of what is heard, and the address written back
	is the decoder's. A one-shot that reaches its end plays out the window
	before it stops, so no decoded sample is lost.

===============================================================================
*/
#ifndef AX_RENDERER_H
#define AX_RENDERER_H

#include "platform/ax/AX.h"

// Puts the renderer's copy of a voice into the fresh, stopped state.
void	AXRendererResetVoice( u32 index );

// Stops the renderer's copy of a voice at once.
void	AXRendererStopVoice( u32 index );

// The renderer's copy of a voice's mixer levels.
AXVoiceMix	AXRendererMix( u32 index );

// Renders one frame of all voices. mix receives AX_SAMPLES_PER_FRAME stereo
// pairs; taps[i] the converted samples of voice i.
void	AXRendererRenderFrame( AXVPB* voices, s16* mix, s16 ( *taps )[AX_SAMPLES_PER_FRAME] );

#endif
