#include "platform/mix/MIX.h"
#include "platform/mix/MIXHost.h"

#include "platform/ar/ARHostCheck.h"
#include "platform/ax/AXHost.h"
#include "platform/mix/MIXVolumeTable.h"
#include "platform/host/HostStartupLog.h"

#include <cmath>
#include <numbers>

namespace {

struct MIXState {
	MIXHostChannel	channels[AX_MAX_VOICES];
	u32				soundMode;
};

MIXState mixer = { {}, MIX_SOUND_MODE_STEREO };

MIXHostChannel* Channel( AXVPB* voice, const char* call ) {
	const s32 index = AXHostVoiceIndex( voice );
	if ( index < 0 ) {
		ARHostFail( AR_CHECK_BAD_VOICE, "%s: %p is not a voice", call, static_cast<void*>( voice ) );
		return nullptr;
	}
	return &mixer.channels[index];
}

s32 ClampPan( const s32 pan ) {
	return pan < MIX_PAN_LEFT ? MIX_PAN_LEFT : ( pan > MIX_PAN_RIGHT ? MIX_PAN_RIGHT : pan );
}

// Constant-power gains of a clamped pan.
void PanGains( const s32 pan, f64& left, f64& right ) {
	const f64 half = 0.5;
	const f64 position = pan <= MIX_PAN_CENTRE
		? half * pan / MIX_PAN_CENTRE
		: half + half * ( pan - MIX_PAN_CENTRE ) / ( MIX_PAN_RIGHT - MIX_PAN_CENTRE );
	const f64 angle = position * std::numbers::pi / 2.0;
	left = pan == MIX_PAN_RIGHT ? 0.0 : std::cos( angle );
	right = pan == MIX_PAN_LEFT ? 0.0 : std::sin( angle );
}

u16 Scale( const u16 level, const f64 gain ) {
	return static_cast<u16>( std::lround( level * gain ) );
}

// A sum of two attenuations that cannot overflow on absurd inputs.
s32 Sum( const s32 a, const s32 b ) {
	const s64 sum = static_cast<s64>( a ) + b;
	return sum < INT32_MIN ? INT32_MIN : ( sum > INT32_MAX ? INT32_MAX : static_cast<s32>( sum ) );
}

void Apply( const MIXHostChannel& channel, AXVPB& voice ) {
	f64 left = 0.0;
	f64 right = 0.0;
	PanGains( mixer.soundMode == MIX_SOUND_MODE_MONO ? MIX_PAN_CENTRE : channel.pan, left, right );
	const u16 main = MIXAttenuationToLevel( Sum( channel.input, channel.fader ) );
	const u16 auxA = MIXAttenuationToLevel( Sum( channel.auxA, channel.fader ) );
	const u16 auxB = MIXAttenuationToLevel( Sum( channel.auxB, channel.fader ) );
	AXVoiceMix& mix = voice.mix;
	mix = AXVoiceMix{};
	mix.left = Scale( main, left );
	mix.right = Scale( main, right );
	mix.auxALeft = Scale( auxA, left );
	mix.auxARight = Scale( auxA, right );
	mix.auxBLeft = Scale( auxB, left );
	mix.auxBRight = Scale( auxB, right );
	voice.sync |= AX_SYNC_MIX;
}

}

void MIXInit() {
	HostStartupLogAppend( "MIXInit" );
	MIXHostReset();
}

void MIXSetSoundMode( const u32 mode ) {
	const u32 wanted = mode == MIX_SOUND_MODE_MONO ? MIX_SOUND_MODE_MONO : MIX_SOUND_MODE_STEREO;
	if ( wanted == mixer.soundMode ) {
		return;
	}
	mixer.soundMode = wanted;
	for ( MIXHostChannel& channel : mixer.channels ) {
		channel.changed = channel.active;
	}
}

u32 MIXGetSoundMode() {
	return mixer.soundMode;
}

void MIXInitChannel( AXVPB* voice, const u32 mode, const s32 input, const s32 auxA, const s32 auxB, const s32 pan,
					 const s32 span, const s32 fader ) {
	MIXHostChannel* channel = Channel( voice, "MIXInitChannel" );
	if ( channel == nullptr ) {
		return;
	}
	channel->active = true;
	channel->changed = true;
	channel->mode = mode;
	channel->input = input;
	channel->auxA = auxA;
	channel->auxB = auxB;
	channel->pan = ClampPan( pan );
	channel->span = span;
	channel->fader = fader;
}

void MIXReleaseChannel( AXVPB* voice ) {
	MIXHostChannel* channel = Channel( voice, "MIXReleaseChannel" );
	if ( channel != nullptr ) {
		*channel = MIXHostChannel{};
	}
}

void MIXSetInput( AXVPB* voice, const s32 attenuation ) {
	MIXHostChannel* channel = Channel( voice, "MIXSetInput" );
	if ( channel != nullptr ) {
		channel->input = attenuation;
		channel->changed = true;
	}
}

void MIXSetPan( AXVPB* voice, const s32 pan ) {
	MIXHostChannel* channel = Channel( voice, "MIXSetPan" );
	if ( channel != nullptr ) {
		channel->pan = ClampPan( pan );
		channel->changed = true;
	}
}

void MIXSetFader( AXVPB* voice, const s32 attenuation ) {
	MIXHostChannel* channel = Channel( voice, "MIXSetFader" );
	if ( channel != nullptr ) {
		channel->fader = attenuation;
		channel->changed = true;
	}
}

void MIXUpdateSettings() {
	for ( u32 i = 0; i < AX_MAX_VOICES; ++i ) {
		MIXHostChannel& channel = mixer.channels[i];
		if ( !channel.active || !channel.changed ) {
			continue;
		}
		Apply( channel, *AXHostVoice( i ) );
		channel.changed = false;
	}
}

const MIXHostChannel* MIXHostGetChannel( const u32 index ) {
	return index < AX_MAX_VOICES ? &mixer.channels[index] : nullptr;
}

void MIXHostReset() {
	for ( MIXHostChannel& channel : mixer.channels ) {
		channel = MIXHostChannel{};
	}
	mixer.soundMode = MIX_SOUND_MODE_STEREO;
}
