#include "framework/audio/GCLowLevelSound.h"

#include "datatypes/base/DTFloatToInt.h"
#include "framework/audio/GC_SoundLoader.h"
#include "framework/video/EFVideoAudio.h"
#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/file/DTDiscMessage.h"
#include "platform/dvd/DVD.h"
#include "platform/host/HostEventQueue.h"
#include "platform/vi/VI.h"
#include "platform/ai/AI.h"
#include "platform/am/AM.h"
#include "platform/ar/AR.h"
#include "platform/arq/ARQ.h"
#include "platform/axart/AXART.h"
#include "platform/axfx/AXFX.h"
#include "platform/mix/MIX.h"
#include "platform/os/OS.h"
#include "platform/runtime/RuntimeRand.h"

#include <cstdlib>
#include <cstring>

GC_Voice				goxVoices[GC_VOICE_COUNT];
GC_StreamingVoice		goxStreamingVoices[GC_STREAM_SLOT_COUNT];
GC_StreamInfo			StreamInfoBuffer[GC_STREAM_SLOT_COUNT];
alignas( 32 ) u8		StreamMramBuffer[GC_STREAM_BUFFER_BYTES];
alignas( 32 ) u8		FlushAramStreamBuffer[GC_STREAM_RING_BYTES];
alignas( 32 ) u8		DSPEffectStaticHeap[GC_DSP_HEAP_BYTES];
GCEffect				g_GCSoundEffect;
u32						StreamNumber = GC_STREAM_SLOT_COUNT;
u32						StreamBufferStart = 0;
u32						g_CurrAramOffset = 0;
u32						g_Video_aramBase = 0;
u32						g_Video_aramSize = 0;
volatile u32			g_TransSbbState = 0;

namespace {

// Room the memory manager keeps before the stream rings, and the rounding.
constexpr u32 STREAM_BUFFER_OFFSET	= 256;
constexpr u32 ARAM_ALIGN_MASK		= 31;
// Longest random-value text split into pieces.
constexpr u32 RANDOM_TEXT_MAX		= 80;

GCSoundCompletionCallback	completionCallback = nullptr;
u32							aramRecords[GC_ARAM_RECORDS];
u32							dspHeapUsed = 0;
u32							bankAreaEnd = 0;

void SilenceAuxA( AXVPB * voice ) {
	voice->mix.auxALeft = 0;
	voice->mix.auxALeftDelta = 0;
	voice->mix.auxARight = 0;
	voice->mix.auxARightDelta = 0;
}

void SilenceAuxB( AXVPB * voice ) {
	voice->mix.auxBLeft = 0;
	voice->mix.auxBLeftDelta = 0;
	voice->mix.auxBRight = 0;
	voice->mix.auxBRightDelta = 0;
}

bool IsDigit( const char c ) {
	return c >= '0' && c <= '9';
}

f64 ParseRandom( const char * text ) {
	char copy[RANDOM_TEXT_MAX + 1];
	const size_t length = strnlen( text, RANDOM_TEXT_MAX );
	std::memcpy( copy, text, length );
	copy[length] = '\0';

	const char * pieces[3] = {};
	u32 count = 0;
	char * save = nullptr;
	for ( char * piece = strtok_r( copy, "/\\", &save ); piece != nullptr; piece = strtok_r( nullptr, "/\\", &save ) ) {
		if ( count == 3 ) {
			return 0.0;
		}
		pieces[count++] = piece;
	}
	if ( count != 3 || std::strlen( pieces[0] ) != 1 ) {
		return 0.0;
	}
	const f64 lo = std::strtod( pieces[1], nullptr );
	const f64 hi = std::strtod( pieces[2], nullptr );
	if ( lo > hi ) {
		return 0.0;
	}
	const s32 lo100 = DTFloatToS32( 100.0 * lo );
	const s32 hi100 = DTFloatToS32( 100.0 * hi );
	const f64 unit = static_cast<f64>( RuntimeRand() ) / 32767.0;
	const s32 step = DTFloatToS32( unit * static_cast<f64>( static_cast<s64>( hi100 ) - lo100 ) );
	return static_cast<f64>( static_cast<s64>( step ) + lo100 ) / 100.0;
}

}

void InitLowLevelSound( const GCSoundCompletionCallback callback ) {
	completionCallback = callback;

	ARInit( aramRecords, GC_ARAM_RECORDS );
	ARQInit();
	AIInit( nullptr );
	AXInit();
	MIXInit();
	AXARTInit();

	AXSetMode( 0 );
	MIXSetSoundMode( MIX_SOUND_MODE_STEREO );
	AXSetCompressor( 1 );

	AXRegisterCallback( CallbackAudioFrame );

	const u32 size = ARGetSize() - ARGetBaseAddress();
	const u32 base = ARAlloc( size );
	AMInit( base, size );

	StreamBufferStart = ( base + STREAM_BUFFER_OFFSET + ARAM_ALIGN_MASK ) & ~ARAM_ALIGN_MASK;
	g_Video_aramBase = base;
	g_Video_aramSize = size;
	g_CurrAramOffset = StreamBufferStart + GC_STREAM_BUFFER_BYTES;
	if ( bankAreaEnd == 0 ) {
		bankAreaEnd = base + size;
	}

	AXFXSetHooks( DspMalloc, DspFree );
	GCVoice_GlobalInit( callback );
	std::memset( FlushAramStreamBuffer, 0, sizeof( FlushAramStreamBuffer ) );
}

void SOUND_Shutdown() {
}

GCSoundCompletionCallback GCGetSoundCompletionCallback() {
	return completionCallback;
}

void GCResetLowLevelSound() {
	completionCallback = nullptr;
	bankAreaEnd = 0;
}

void GCSetBankAreaEnd( const u32 address ) {
	bankAreaEnd = address;
}

u32 GCGetBankAreaEnd() {
	return bankAreaEnd;
}

void CallbackAudioFrame() {
	UpdateAudioFrameCallback();
	if ( bVideoPlaying ) {
		VideoCallbackAudioFrame();
	}
	MIXUpdateSettings();
}

void UpdateAudioFrameCallback() {
	const u32 busA = g_GCSoundEffect.GetBusACode();
	const u32 busB = g_GCSoundEffect.GetBusBCode();
	for ( GC_Voice & record : goxVoices ) {
		AXVPB * const voice = record.mpoDSPVoice;
		if ( voice == nullptr || record.mui8Type != GC_VOICE_TYPE_STREAM || record.mui8State != GC_VOICE_STATE_PAUSED ) {
			continue;
		}
		const u32 code = record.mui32DSPEffect;
		if ( code == 0 || code == GC_DSP_EFFECT_ALL ) {
			SilenceAuxA( voice );
			SilenceAuxB( voice );
		} else if ( code == busA ) {
			SilenceAuxA( voice );
		} else if ( code == busB ) {
			SilenceAuxB( voice );
		}
		if ( voice->envelope.currentVolume == 0 ) {
			AXSetVoiceState( voice, AX_VOICE_STOP );
		}
	}
}

void DropVoiceCallback( void * dropped ) {
	AXVPB * const voice = static_cast<AXVPB *>( dropped );
	if ( voice == gpoVideoVoiceLeft ) {
		gpoVideoVoiceLeft = nullptr;
		return;
	}
	if ( voice == gpoVideoVoiceRight ) {
		gpoVideoVoiceRight = nullptr;
		return;
	}
	const u32 index = voice->userContext;
	if ( index >= GC_VOICE_COUNT ) {
		return;
	}
	GC_Voice & record = goxVoices[index];
	// A record that moved on to another voice is not this drop's concern.
	if ( record.mpoDSPVoice != voice ) {
		return;
	}
	GCSilenceAndStop( voice );
	MIXReleaseChannel( voice );
	OSReport( "############# VOICE %d IS DROPPED From CallBack #############\n", static_cast<s32>( index ) );
	// The record stays claimed with its handle, bank and type, so that the
	// manager's next validity check finds it broken and completes its owner.
	record.mpoDSPVoice = nullptr;
	record.mui8State = GC_VOICE_STATE_SETUP;
}

void * DspMalloc( const u32 size ) {
	if ( size > GC_DSP_HEAP_BYTES - dspHeapUsed ) {
		return nullptr;
	}
	void * const block = DSPEffectStaticHeap + dspHeapUsed;
	dspHeapUsed += size;
	return block;
}

void DspFree( void * ) {
}

void GCResetDspHeap() {
	dspHeapUsed = 0;
}

f64 ParseString( char * text ) {
	if ( text == nullptr || text[0] == '\0' ) {
		return 0.0;
	}
	if ( text[0] == 'R' || text[0] == 'r' ) {
		return ParseRandom( text );
	}
	if ( IsDigit( text[0] ) || text[0] == '-' ) {
		return std::strtod( text, nullptr );
	}
	return 0.0;
}

f64 GCParseField( const u8 * field ) {
	char text[GC_PLAYBACK_TEXT_BYTES + 1];
	std::memcpy( text, field, GC_PLAYBACK_TEXT_BYTES );
	text[GC_PLAYBACK_TEXT_BYTES] = '\0';
	return ParseString( text );
}

void WaitingTransSBBByChunckCallback( ARQRequest * ) {
	g_TransSbbState = 1;
}

void GCDiscWaitTurn( const s32 driveState ) {
	VIWaitForRetrace();
	s32 message = -1;
	switch ( driveState ) {
		case DVD_STATE_NO_DISK:		message = DT_DISC_MESSAGE_INSERT_DISC; break;
		case DVD_STATE_COVER_OPEN:	message = DT_DISC_MESSAGE_COVER_OPEN; break;
		case DVD_STATE_WRONG_DISK:	message = DT_DISC_MESSAGE_WRONG_DISC; break;
		case DVD_STATE_RETRY:		message = DT_DISC_MESSAGE_UNREADABLE; break;
		default:					break;
	}
	if ( message >= 0 ) {
		DisplayMessageWithRomFont( GetLocalizedMessage( message ) );
	}
	CheckReset();
	HostIdle();
}

u32 GCRoundUp32( const u32 size ) {
	return static_cast<u32>( ( static_cast<u64>( size ) + ARAM_ALIGN_MASK ) & ~static_cast<u64>( ARAM_ALIGN_MASK ) );
}

u32 GCNibble( const u16 hi, const u16 lo ) {
	return ( static_cast<u32>( hi ) << 16 ) | lo;
}

void GCSetNibble( u16 & hi, u16 & lo, const u32 nibble ) {
	hi = static_cast<u16>( nibble >> 16 );
	lo = static_cast<u16>( nibble & 0xFFFF );
}

void GCVoice_GlobalInit( GCSoundCompletionCallback ) {
	for ( GC_Voice & voice : goxVoices ) {
		voice.Reset();
	}
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		GC_StreamInfo & info = StreamInfoBuffer[slot];
		info.mui8DiscState = GC_DISC_FIRST_COPY;
		info.mui8Active = GC_STREAM_INACTIVE;
		info.mpui8Staging = StreamMramBuffer + slot * GC_STREAM_RING_BYTES;
		GC_StreamingVoice & stream = goxStreamingVoices[slot];
		stream.mui8State = GC_STREAM_SLOT_IDLE;
		stream.mui8Slot = static_cast<u8>( slot );
		stream.mpui8Staging = info.mpui8Staging;
		stream.mpoVoice = nullptr;
	}
}
