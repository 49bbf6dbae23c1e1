#include "framework/audio/EFNewSoundGC.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/GC_SoundLoader.h"
#include "framework/audio/GC_Voice.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "platform/mix/MIX.h"

namespace {

f32 Clamp01( const f32 value ) {
	return value < 0.0f ? 0.0f : ( value > 1.0f ? 1.0f : value );
}

f32 EffectsVolume() {
	return gpoNewAudioMgr != nullptr ? gpoNewAudioMgr->mfEffectsVolume : 1.0f;
}

}

EFNewSound_SP::EFNewSound_SP()
	: mui8VoiceCount( 0 ), mui8CurrentVoice( 0 ), mapoVoices(), mui32SampleIndex( 0 ), mui32PlaybackIndex( 0 ) {
}

void EFNewSound_SP::LoadFromStream( char * record ) {
	EFNewSound_BC::LoadFromStream( record );
	if ( record != nullptr ) {
		mui32SampleIndex = DTReadBE32( reinterpret_cast<const u8 *>( record ) + GC_PLAYBACK_SAMPLE );
	}
}

GC_Voice * EFNewSound_SP::GetVoice( const u32 voice ) const {
	return voice < EF_SOUND_VOICE_SLOTS ? mapoVoices[voice] : nullptr;
}

void EFNewSound_SP::ResetSound( u32, const u32 voice ) {
	if ( voice >= EF_SOUND_VOICE_SLOTS ) {
		return;
	}
	mapoVoices[voice] = nullptr;
	if ( mui8VoiceCount > 0 ) {
		mui8VoiceCount--;
	}
}

void EFNewSound_SP::Terminate( const u32 completionId, const u32 voice ) {
	StopSound( completionId, voice, false );
}

bool EFNewSound_SP::MustSoftDelay( const f32 seconds ) {
	return mfDelay > 1000.0f * seconds;
}

u32 EFNewSound_SP::PlaySound( u32, const u32 completionId, const u32 groupMask, u32, u32, u32 ) {
	GC_Voice * const voice = GetVoice( mui8CurrentVoice );
	// No record in the entry: nothing would ever complete this play.
	if ( gbDisableAudio != 0 || voice == nullptr ) {
		return EF_NO_VOICE;
	}
	voice->mui32Handle = completionId;
	voice->mui32GroupMask = groupMask;
	voice->Play( EffectsVolume() );
	return mui8CurrentVoice;
}

void EFNewSound_SP::StopSound( u32, const u32 voice, bool ) {
	GC_Voice * const record = GetVoice( voice );
	if ( record != nullptr ) {
		record->Stop();
	}
}

void EFNewSound_SP::SetPitch( const u32 voice, const f32 pitch ) {
	GC_Voice * const record = GetVoice( voice );
	if ( record != nullptr ) {
		record->mfPitch = pitch;
		record->SetPitch();
	}
}

void EFNewSound_SP::SetFinalVolume( const u32 voice, const f32 pan, const f32 volume ) {
	GC_Voice * const record = GetVoice( voice );
	if ( record == nullptr || record->mui8State != GC_VOICE_STATE_PLAYING || record->mpoDSPVoice == nullptr ) {
		return;
	}
	const f32 level = Clamp01( Clamp01( volume ) * EffectsVolume() );
	MIXSetInput( record->mpoDSPVoice, DTFloatToS32( 904.0f * ( level - 1.0f ) ) );
	MIXSetPan( record->mpoDSPVoice, GCPanToMixer( pan ) );
}

void EFNewSound_SP::ComputeDelay( const u8 bank, const u8 record ) {
	mfDelay = GC_Voice::GetDelay( bank, record );
}
