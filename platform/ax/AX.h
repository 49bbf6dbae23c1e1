/*
===============================================================================

	Audio voices (AX), host version.

	64 prioritised voices play 4-bit DSP-ADPCM from auxiliary memory; once
	per audio frame (5 ms, 160 stereo samples at 32 kHz) the renderer in
	AXRenderer.cpp mixes them and then calls the registered frame
	callback.

	A voice is a plain record, AXVPB, that engine code may write directly.
	As on the console there are two copies: the record (the engine's
	copy) and the renderer's own. At the start of each frame the renderer
	takes over only the field groups whose sync bit is set in the record
	and clears those bits, so a field written without its bit has no
	effect. After the frame it writes back the current address, the state,
	the envelope's current volume and the decoder history. The AXSetVoice*
	calls write their group and raise its bit. The AUX send levels are the
	exception: the renderer reads them from the record every frame.

	Addresses are in nibbles (byte address x 2) of auxiliary memory, split
	into high and low halves. Only format 0, ADPCM, plays.

===============================================================================
*/
#ifndef AX_H
#define AX_H

#include "platform/types/PlatformTypes.h"

constexpr u32 AX_MAX_VOICES         = 64;
constexpr u32 AX_SAMPLE_RATE        = 32000;
constexpr u32 AX_FRAMES_PER_SECOND  = 200;
constexpr u32 AX_SAMPLES_PER_FRAME  = AX_SAMPLE_RATE / AX_FRAMES_PER_SECOND;

// Voice state.
constexpr u32 AX_VOICE_STOP = 0;
constexpr u32 AX_VOICE_RUN  = 1;

// Voice type: a stream voice keeps its running decoder history when it
// loops; a normal voice takes the loop history.
constexpr u32 AX_VOICE_NORMAL = 0;
constexpr u32 AX_VOICE_STREAM = 1;

// Sample-rate converter types. 0 takes the sample at the integer position,
// 1 interpolates over four samples, linear over two.
constexpr u32 AX_SRC_TYPE_NONE   = 0;
constexpr u32 AX_SRC_TYPE_4TAP   = 1;
constexpr u32 AX_SRC_TYPE_LINEAR = 2;

// Sample format of the address block.
constexpr u16 AX_FORMAT_ADPCM = 0;

// Envelope and mixer levels: 0x7FFF is unity.
constexpr u16 AX_UNITY_LEVEL = 0x7FFF;

// Sync bits, one per field group of AXVPB.
constexpr u32 AX_SYNC_STATE     = 0x0001;
constexpr u32 AX_SYNC_TYPE      = 0x0002;
constexpr u32 AX_SYNC_SRCTYPE   = 0x0004;
constexpr u32 AX_SYNC_ADDR      = 0x0008;
constexpr u32 AX_SYNC_ADPCM     = 0x0010;
constexpr u32 AX_SYNC_ADPCMLOOP = 0x0020;
constexpr u32 AX_SYNC_SRC       = 0x0040;	// the whole converter block
constexpr u32 AX_SYNC_SRCRATIO  = 0x0080;	// only its ratio
constexpr u32 AX_SYNC_ENVELOPE  = 0x0100;
constexpr u32 AX_SYNC_MIX       = 0x0200;	// main left and right levels and deltas

// Address block: 8 halves.
struct AXVoiceAddr {
	u16		loopFlag;
	u16		format;
	u16		loopAddressHi;
	u16		loopAddressLo;
	u16		endAddressHi;		// inclusive
	u16		endAddressLo;
	u16		currentAddressHi;
	u16		currentAddressLo;
};

// Decoder state: 20 halves. Coefficients are s16 values in 1/2048 units.
struct AXVoiceAdpcm {
	u16		coefficients[16];
	u16		gain;
	u16		predictorScale;
	u16		history1;
	u16		history2;
};

// Decoder state taken when the voice loops: 3 halves.
struct AXVoiceAdpcmLoop {
	u16		predictorScale;
	u16		history1;
	u16		history2;
};

// Sample-rate converter: 7 halves. The ratio is 16.16 (0x00010000 = 1.0).
struct AXVoiceSrc {
	u16		ratioHi;
	u16		ratioLo;
	u16		currentFraction;
	u16		lastSamples[4];		// oldest first
};

// Volume envelope: the current volume moves by delta every sample.
struct AXVoiceEnvelope {
	u16		currentVolume;
	s16		currentDelta;
};

// Mixer levels with per-sample deltas.
struct AXVoiceMix {
	u16		left;
	s16		leftDelta;
	u16		right;
	s16		rightDelta;
	u16		auxALeft;
	s16		auxALeftDelta;
	u16		auxARight;
	s16		auxARightDelta;
	u16		auxBLeft;
	s16		auxBLeftDelta;
	u16		auxBRight;
	s16		auxBRightDelta;
};

static_assert( sizeof( AXVoiceAddr ) == 8 * sizeof( u16 ), "address block is 8 halves" );
static_assert( sizeof( AXVoiceAdpcm ) == 20 * sizeof( u16 ), "ADPCM block is 20 halves" );
static_assert( sizeof( AXVoiceAdpcmLoop ) == 3 * sizeof( u16 ), "ADPCM loop block is 3 halves" );
static_assert( sizeof( AXVoiceSrc ) == 7 * sizeof( u16 ), "converter block is 7 halves" );

// Called when a voice is taken away for a request of higher priority;
// receives the voice. Runs with interrupts disabled.
typedef void ( *AXVoiceCallback )( void* voice );

// Called once per audio frame after the voices have been rendered.
typedef void ( *AXUserCallback )();

// One voice. index is set by the library and must not be written.
struct AXVPB {
	u32					index;
	u32					priority;		// 0 while free
	AXVoiceCallback		dropCallback;
	u32					userContext;
	u32					sync;
	u16					state;
	u16					type;
	u16					srcType;
	AXVoiceAddr			addr;
	AXVoiceAdpcm		adpcm;
	AXVoiceAdpcmLoop	adpcmLoop;
	AXVoiceSrc			src;
	AXVoiceEnvelope		envelope;
	AXVoiceMix			mix;
};

// Resets every voice and starts the audio frames.
void	AXInit();

// Output mode (0 stereo) and compressor switch; recorded only.
void	AXSetMode( u32 mode );
u32		AXGetMode();
void	AXSetCompressor( u32 compressor );

// Installs the frame callback; returns the one it replaces.
AXUserCallback	AXRegisterCallback( AXUserCallback callback );

// Hands out the free voice of lowest index; with none free takes the voice
// of lowest priority strictly below priority (the earliest acquired among
// equals) after calling its drop callback; null when none qualifies. The
// voice comes stopped with every field zero, envelope at unity.
AXVPB*	AXAcquireVoice( u32 priority, AXVoiceCallback dropCallback, u32 userContext );

// Gives a voice back; it stops at once.
void	AXFreeVoice( AXVPB* voice );

void	AXSetVoicePriority( AXVPB* voice, u32 priority );

// Field-group writers: each writes its group and raises its sync bit.
void	AXSetVoiceType( AXVPB* voice, u32 type );
void	AXSetVoiceAddr( AXVPB* voice, const AXVoiceAddr* addr );	// refuses formats other than ADPCM
void	AXSetVoiceAdpcm( AXVPB* voice, const AXVoiceAdpcm* adpcm );
void	AXSetVoiceAdpcmLoop( AXVPB* voice, const AXVoiceAdpcmLoop* loop );
void	AXSetVoiceSrcType( AXVPB* voice, u32 type );
void	AXSetVoiceSrc( AXVPB* voice, const AXVoiceSrc* src );
// Ratio 1.0 plays at 32 kHz; converted to 16.16 with saturation.
void	AXSetVoiceSrcRatio( AXVPB* voice, f32 ratio );
void	AXSetVoiceState( AXVPB* voice, u32 state );

#endif
