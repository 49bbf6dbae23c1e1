/*
===============================================================================

	Low-level sound back end: start-up of the console's audio libraries,
	the layout of auxiliary memory, the global voice and stream tables,
	and the audio-frame callback AX calls every 5 ms at interrupt level.

	Auxiliary memory, fixed at start-up: the whole user part is one block
	handed to the memory manager (whose zero buffer parks finished
	voices); 256 bytes in, raised to 32, six 51200-byte stream rings
	begin; behind them lies the bank area, filled by the bank loader from
	g_CurrAramOffset up to the bound start-up hands over.

===============================================================================
*/
#ifndef GC_LOW_LEVEL_SOUND_H
#define GC_LOW_LEVEL_SOUND_H

#include "datatypes/base/DTTypes.h"
#include "framework/audio/GCEffect.h"
#include "framework/audio/GC_StreamingVoice.h"
#include "framework/audio/GC_Voice.h"

constexpr u32 GC_VOICE_COUNT			= 64;
// Records 0-15 serve streams, 16-63 sound effects.
constexpr u32 GC_STREAM_VOICE_COUNT		= 16;
constexpr u32 GC_STREAM_SLOT_COUNT		= 6;
constexpr u32 GC_STREAM_RING_BYTES		= 51200;
constexpr u32 GC_STREAM_BUFFER_BYTES	= GC_STREAM_SLOT_COUNT * GC_STREAM_RING_BYTES;
constexpr u32 GC_DSP_HEAP_BYTES			= 262144;
// ARAM allocation records given to ARInit.
constexpr u32 GC_ARAM_RECORDS			= 2;

typedef void ( *GCSoundCompletionCallback )( u32 sound );

extern GC_Voice				goxVoices[GC_VOICE_COUNT];
extern GC_StreamingVoice	goxStreamingVoices[GC_STREAM_SLOT_COUNT];
extern GC_StreamInfo		StreamInfoBuffer[GC_STREAM_SLOT_COUNT];
extern u8					StreamMramBuffer[GC_STREAM_BUFFER_BYTES];
extern u8					FlushAramStreamBuffer[GC_STREAM_RING_BYTES];
extern u8					DSPEffectStaticHeap[GC_DSP_HEAP_BYTES];
extern GCEffect				g_GCSoundEffect;
extern u32					StreamNumber;
extern u32					StreamBufferStart;
extern u32					g_CurrAramOffset;
extern u32					g_Video_aramBase;
extern u32					g_Video_aramSize;
// 1 once the ARAM transfer of a bank chunk has completed.
extern volatile u32			g_TransSbbState;

// Brings the audio libraries up and lays out auxiliary memory. The
// callback is kept and not used by this back end.
void	InitLowLevelSound( GCSoundCompletionCallback callback );
// Nothing: the audio libraries are never shut down.
void	SOUND_Shutdown();
// The callback given to InitLowLevelSound, null before it ran.
GCSoundCompletionCallback	GCGetSoundCompletionCallback();
// Forgets the callback and the bank area's bound (tests).
void	GCResetLowLevelSound();

// The first ARAM address the banks must not reach (start-up hands it over
// before the first level: where virtual memory starts, else ARAM's end).
void	GCSetBankAreaEnd( u32 address );
u32		GCGetBankAreaEnd();

void	CallbackAudioFrame();
void	UpdateAudioFrameCallback();
void	DropVoiceCallback( void * voice );

// The effect library's memory: bump allocation in DSPEffectStaticHeap;
// null, the heap unchanged, when size does not fit. Nothing is freed.
void *	DspMalloc( u32 size );
void	DspFree( void * block );
// Rewinds the effect heap to its start.
void	GCResetDspHeap();

// A number of a bank text field: a decimal number, "R/lo/hi" for a random
// value from lo to hi in steps of 0.01, else 0.0.
f64		ParseString( char * text );
// The same for a fixed 20-byte field that may lack its terminator.
f64		GCParseField( const u8 * field );

// Completion of a bank chunk's ARAM transfer: g_TransSbbState = 1.
void	WaitingTransSBBByChunckCallback( ARQRequest * request );

// One turn of a wait on the disc: a vertical retrace, the localised
// message of a drive state that shows one (no disc, cover open, wrong
// disc, retry), the reset button; then the idle hook.
void	GCDiscWaitTurn( s32 driveState );

// size raised to a multiple of 32, the unit of disc and ARAM transfers.
u32		GCRoundUp32( u32 size );
// A nibble address from, and into, its high and low halves.
u32		GCNibble( u16 hi, u16 lo );
void	GCSetNibble( u16 & hi, u16 & lo, u32 nibble );

// Every voice record to its free state, every stream slot idle and every
// stream-info entry reset with its staging buffer.
void	GCVoice_GlobalInit( GCSoundCompletionCallback callback );

#endif
