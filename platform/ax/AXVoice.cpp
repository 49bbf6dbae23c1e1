#include "platform/ax/AX.h"

#include "platform/ar/ARHostCheck.h"
#include "platform/ax/AXHost.h"
#include "platform/ax/AXRenderer.h"
#include "platform/types/PlatformFloatToInt.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"

#include <cstdlib>
#include <cstring>

namespace {

struct AXVoiceTable {
	AXVPB	voices[AX_MAX_VOICES];
	bool	acquired[AX_MAX_VOICES];
	u64		acquiredAt[AX_MAX_VOICES];	// order of acquisition, for stealing ties
	u64		nextAcquisition;
	u32		voiceCount;
	bool	voiceCountLoaded;
};

AXVoiceTable table;

u32 VoiceCountFromEnvironment() {
	const char* text = std::getenv( "ENGINE_AUDIO_VOICES" );
	if ( text == nullptr || text[0] == 0 ) {
		return AX_MAX_VOICES;
	}
	char* end = nullptr;
	const unsigned long long count = std::strtoull( text, &end, 10 );
	if ( *end != 0 || text[0] < '0' || text[0] > '9' || count < 1 || count > AX_MAX_VOICES ) {
		OSReport( "host: ENGINE_AUDIO_VOICES \"%s\" is not a voice count from 1 to 64; using 64\n", text );
		return AX_MAX_VOICES;
	}
	return static_cast<u32>( count );
}

u32 VoiceCount() {
	if ( !table.voiceCountLoaded ) {
		table.voiceCount = VoiceCountFromEnvironment();
		table.voiceCountLoaded = true;
	}
	return table.voiceCount;
}

// The record behind a caller's pointer, or null (reported) when it is not one.
AXVPB* Checked( AXVPB* voice, const char* call ) {
	const s32 index = AXHostVoiceIndex( voice );
	if ( index < 0 ) {
		ARHostFail( AR_CHECK_BAD_VOICE, "%s: %p is not a voice", call, static_cast<void*>( voice ) );
		return nullptr;
	}
	return voice;
}

// A fresh voice: stopped, every field zero but the envelope at unity.
void Reset( const u32 index ) {
	AXVPB& voice = table.voices[index];
	std::memset( &voice, 0, sizeof( voice ) );
	voice.index = index;
	voice.envelope.currentVolume = AX_UNITY_LEVEL;
	AXRendererResetVoice( index );
}

void HandOut( const u32 index, const u32 priority, const AXVoiceCallback dropCallback, const u32 userContext ) {
	Reset( index );
	AXVPB& voice = table.voices[index];
	voice.priority = priority;
	voice.dropCallback = dropCallback;
	voice.userContext = userContext;
	table.acquired[index] = true;
	table.acquiredAt[index] = table.nextAcquisition++;
}

}

AXVPB* AXHostVoice( const u32 index ) {
	return index < AX_MAX_VOICES ? &table.voices[index] : nullptr;
}

s32 AXHostVoiceIndex( const void* voice ) {
	const uintptr_t address = reinterpret_cast<uintptr_t>( voice );
	const uintptr_t first = reinterpret_cast<uintptr_t>( &table.voices[0] );
	if ( address < first || address >= first + sizeof( table.voices ) || ( address - first ) % sizeof( AXVPB ) != 0 ) {
		return -1;
	}
	return static_cast<s32>( ( address - first ) / sizeof( AXVPB ) );
}

bool AXHostVoiceAcquired( const u32 index ) {
	return index < AX_MAX_VOICES && table.acquired[index];
}

void AXHostSetVoiceCount( const u32 count ) {
	VoiceCount();
	table.voiceCount = count < 1 ? 1 : ( count > AX_MAX_VOICES ? AX_MAX_VOICES : count );
}

u32 AXHostVoiceCount() {
	return VoiceCount();
}

// Frees every voice; the voice count is a host setting and is read again.
void AXHostResetVoices( const bool rereadSettings ) {
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		Reset( i );
		table.acquired[i] = false;
		table.acquiredAt[i] = 0;
	}
	table.nextAcquisition = 0;
	if ( rereadSettings ) {
		table.voiceCountLoaded = false;
	}
}

AXVPB* AXAcquireVoice( const u32 priority, const AXVoiceCallback dropCallback, const u32 userContext ) {
	const u32 count = VoiceCount();
	for ( u32 i = 0; i < count; ++i ) {
		if ( !table.acquired[i] ) {
			HandOut( i, priority, dropCallback, userContext );
			return &table.voices[i];
		}
	}
	s32 victim = -1;
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		if ( !table.acquired[i] || table.voices[i].priority >= priority ) {
			continue;
		}
		if ( victim < 0 || table.voices[i].priority < table.voices[victim].priority ||
			 ( table.voices[i].priority == table.voices[victim].priority && table.acquiredAt[i] < table.acquiredAt[victim] ) ) {
			victim = static_cast<s32>( i );
		}
	}
	if ( victim < 0 ) {
		return nullptr;
	}
	AXVPB* voice = &table.voices[victim];
	// The owner learns of the loss inline, as from an interrupt handler.
	const bool enabled = HostSetInterruptsEnabled( false );
	AXRendererStopVoice( static_cast<u32>( victim ) );
	if ( voice->dropCallback != nullptr ) {
		voice->dropCallback( voice );
	}
	HandOut( static_cast<u32>( victim ), priority, dropCallback, userContext );
	HostSetInterruptsEnabled( enabled );
	return voice;
}

void AXFreeVoice( AXVPB* voice ) {
	if ( Checked( voice, "AXFreeVoice" ) == nullptr ) {
		return;
	}
	const u32 index = voice->index;
	Reset( index );
	table.acquired[index] = false;
}

void AXSetVoicePriority( AXVPB* voice, const u32 priority ) {
	if ( Checked( voice, "AXSetVoicePriority" ) != nullptr ) {
		voice->priority = priority;
	}
}

void AXSetVoiceType( AXVPB* voice, const u32 type ) {
	if ( Checked( voice, "AXSetVoiceType" ) != nullptr ) {
		voice->type = static_cast<u16>( type );
		voice->sync |= AX_SYNC_TYPE;
	}
}

void AXSetVoiceAddr( AXVPB* voice, const AXVoiceAddr* addr ) {
	if ( Checked( voice, "AXSetVoiceAddr" ) == nullptr || addr == nullptr ) {
		return;
	}
	if ( addr->format != AX_FORMAT_ADPCM ) {
		ARHostFail( AR_CHECK_BAD_FORMAT, "AXSetVoiceAddr: voice %u: sample format %u is not ADPCM", voice->index,
					addr->format );
		return;
	}
	voice->addr = *addr;
	voice->sync |= AX_SYNC_ADDR;
}

void AXSetVoiceAdpcm( AXVPB* voice, const AXVoiceAdpcm* adpcm ) {
	if ( Checked( voice, "AXSetVoiceAdpcm" ) != nullptr && adpcm != nullptr ) {
		voice->adpcm = *adpcm;
		voice->sync |= AX_SYNC_ADPCM;
	}
}

void AXSetVoiceAdpcmLoop( AXVPB* voice, const AXVoiceAdpcmLoop* loop ) {
	if ( Checked( voice, "AXSetVoiceAdpcmLoop" ) != nullptr && loop != nullptr ) {
		voice->adpcmLoop = *loop;
		voice->sync |= AX_SYNC_ADPCMLOOP;
	}
}

void AXSetVoiceSrcType( AXVPB* voice, const u32 type ) {
	if ( Checked( voice, "AXSetVoiceSrcType" ) != nullptr ) {
		voice->srcType = static_cast<u16>( type );
		voice->sync |= AX_SYNC_SRCTYPE;
	}
}

void AXSetVoiceSrc( AXVPB* voice, const AXVoiceSrc* src ) {
	if ( Checked( voice, "AXSetVoiceSrc" ) != nullptr && src != nullptr ) {
		voice->src = *src;
		voice->sync |= AX_SYNC_SRC;
	}
}

void AXSetVoiceSrcRatio( AXVPB* voice, const f32 ratio ) {
	if ( Checked( voice, "AXSetVoiceSrcRatio" ) == nullptr ) {
		return;
	}
	const u32 fixed = PlatformFloatToU32( static_cast<f64>( ratio ) * 65536.0 );
	voice->src.ratioHi = static_cast<u16>( fixed >> 16 );
	voice->src.ratioLo = static_cast<u16>( fixed );
	voice->sync |= AX_SYNC_SRCRATIO;
}

void AXSetVoiceState( AXVPB* voice, const u32 state ) {
	if ( Checked( voice, "AXSetVoiceState" ) != nullptr ) {
		voice->state = static_cast<u16>( state );
		voice->sync |= AX_SYNC_STATE;
	}
}
