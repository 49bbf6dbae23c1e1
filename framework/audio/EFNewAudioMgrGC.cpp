#include "framework/audio/EFNewAudioMgrGC.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSound.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/graphics/EFLoadingScreen.h"

#include <cctype>

namespace {

// Sample levels of a sample SetSampleLevels was not given.
constexpr u32 DEFAULT_SAMPLE_VOLUME = 127;

// Copies at most EF_AUDIO_NAME_MAX characters of source, upper-cased,
// and terminates.
void CopyUpperName( char * target, const char * source ) {
	u32 i = 0;
	for ( ; source != nullptr && i < EF_AUDIO_NAME_MAX && source[i] != '\0'; i++ ) {
		target[i] = static_cast<char>( std::toupper( static_cast<u8>( source[i] ) ) );
	}
	target[i] = '\0';
}

}

EFNewAudioMgr_SP::EFNewAudioMgr_SP()
	: maszBankNames(), maui32Playbacks(), maoSampleLevels(), mui32NbSampleLevels( 0 ), moCalls() {
}

EFNewAudioMgr_SP::~EFNewAudioMgr_SP() {
	DeleteBanks();
}

u32 EFNewAudioMgr_SP::Initialize() {
	EFCallTraceAdd( "EFNewAudioMgr_SP::Initialize" );
	return 1;
}

void EFNewAudioMgr_SP::LoadSoundBanks( EFLoadingScreen * screen, u32 * progress, const u32 total ) {
	if ( progress == nullptr ) {
		return;
	}
	*progress = total;
	if ( screen != nullptr && total != 0 ) {
		screen->Update( static_cast<f32>( *progress ) / static_cast<f32>( total ) );
	}
}

u32 EFNewAudioMgr_SP::GetNumberOfPlaybacks( const u32 bank ) {
	return SOUND_GetNumberOfPlaybacks( bank );
}

void EFNewAudioMgr_SP::SetDSPEffectMasterVolume( u32, f32 ) {
}

void EFNewAudioMgr_SP::SetGCDSPEffect( u32, u32 ) {
}

void EFNewAudioMgr_SP::PreTerminate() {
	moCalls.ui32PreTerminate++;
}

void EFNewAudioMgr_SP::PostTerminate() {
	EFNewAudioMgr_BC::PostTerminate();
	for ( u32 & count : maui32Playbacks ) {
		count = 0;
	}
}

void EFNewAudioMgr_SP::Update( f32 ) {
	moCalls.ui32Update++;
}

void EFNewAudioMgr_SP::SpecificUpdate( f32 ) {
	moCalls.ui32SpecificUpdate++;
}

void EFNewAudioMgr_SP::SendSpecificData( char * first, char * second, char * third ) {
	const char * const names[EF_AUDIO_BANK_COUNT] = { third, second, first };
	for ( u32 bank = 0; bank < EF_AUDIO_BANK_COUNT; bank++ ) {
		CopyUpperName( maszBankNames[bank], names[bank] );
	}
}

const char * EFNewAudioMgr_SP::GetBankName( const u32 bank ) const {
	return bank < EF_AUDIO_BANK_COUNT ? maszBankNames[bank] : "";
}

u32 EFNewAudioMgr_SP::SOUND_GetNumberOfPlaybacks( const u32 bank ) {
	return bank < EF_AUDIO_BANK_COUNT && bank < mui32NbBanks ? maui32Playbacks[bank] : 0;
}

u32 EFNewAudioMgr_SP::GetGCSoundBodyId( u32, const u32 id ) {
	return id;
}

const EFNewAudioMgr_SP::SampleLevel * EFNewAudioMgr_SP::FindSampleLevel( const u32 bank, const u32 sample ) const {
	for ( u32 i = 0; i < mui32NbSampleLevels; i++ ) {
		if ( maoSampleLevels[i].ui32Bank == bank && maoSampleLevels[i].ui32Sample == sample ) {
			return &maoSampleLevels[i];
		}
	}
	return nullptr;
}

u32 EFNewAudioMgr_SP::SOUND_GetVolumeOfSample( const u32 bank, const u32 sample, EFNewSound * ) {
	const SampleLevel * const level = FindSampleLevel( bank, sample );
	return level != nullptr ? level->ui32Volume : DEFAULT_SAMPLE_VOLUME;
}

f32 EFNewAudioMgr_SP::SOUND_GetPanOfSample( const u32 bank, const u32 sample, EFNewSound * ) {
	const SampleLevel * const level = FindSampleLevel( bank, sample );
	return level != nullptr ? level->fPan : 0.0f;
}

u32 EFNewAudioMgr_SP::SetParametersGCVoice( EFNewSound *, const u32 bank, const u32 sample, const u32 spatialMode,
											const u32 dspEffect ) {
	moCalls.ui32SetParameters++;
	moCalls.ui32LastParametersBank = bank;
	moCalls.ui32LastParametersSample = sample;
	moCalls.ui32LastParametersSpatialMode = spatialMode;
	moCalls.ui32LastParametersDSPEffect = dspEffect;
	return 1;
}

void EFNewAudioMgr_SP::SOUND_Pause( const u32 groupMask ) {
	moCalls.ui32Pause++;
	moCalls.ui32LastPauseMask = groupMask;
}

void EFNewAudioMgr_SP::SOUND_Resume( const u32 groupMask ) {
	moCalls.ui32Resume++;
	moCalls.ui32LastResumeMask = groupMask;
}

bool EFNewAudioMgr_SP::InstallSoundObjects( const u32 bank, EFNewSound ** sounds, const u32 count ) {
	if ( mpppoSounds == nullptr || bank >= mui32NbBanks || bank >= EF_AUDIO_BANK_COUNT ) {
		return false;
	}
	if ( mpppoSounds[bank] != nullptr ) {
		for ( u32 i = 0; i < maui32Playbacks[bank]; i++ ) {
			delete mpppoSounds[bank][i];
		}
		delete[] mpppoSounds[bank];
	}
	mpppoSounds[bank] = sounds;
	maui32Playbacks[bank] = sounds != nullptr ? count : 0;
	return true;
}

void EFNewAudioMgr_SP::SetSampleLevels( const u32 bank, const u32 sample, const u32 volume, const f32 pan ) {
	SampleLevel * level = const_cast<SampleLevel *>( FindSampleLevel( bank, sample ) );
	if ( level == nullptr ) {
		if ( mui32NbSampleLevels >= EF_AUDIO_SAMPLE_LEVELS ) {
			return;
		}
		level = &maoSampleLevels[mui32NbSampleLevels++];
	}
	*level = { bank, sample, volume, pan };
}

void EFNewAudioMgr_SP::SoundCompletionCallback( const u32 completionId ) {
	if ( completionId == 0 || gpoNewAudioMgr == nullptr ) {
		return;
	}
	gpoNewAudioMgr->moCompletionQueue.PushBack( completionId );
}
