#include "framework/audio/EFNewAudioMgrGC.h"

#include "framework/core/engine/EFCallTrace.h"

#include <cctype>

namespace {

// Copies at most EF_AUDIO_NAME_MAX characters of source, upper-cased
// when asked, and terminates.
void CopyName( char* target, const char* source, const bool upper ) {
	u32 i = 0;
	for ( ; source != nullptr && i < EF_AUDIO_NAME_MAX && source[i] != '\0'; i++ ) {
		const char c = source[i];
		target[i] = upper ? static_cast<char>( std::toupper( static_cast<u8>( c ) ) ) : c;
	}
	target[i] = '\0';
}

}

EFNewAudioMgr_SP::EFNewAudioMgr_SP() : maszBankNames(), mszEnvironmentName() {
}
#include "framework/graphics/EFLoadingScreen.h"

u32 EFNewAudioMgr_SP::Initialize() {
	EFCallTraceAdd( "EFNewAudioMgr_SP::Initialize" );
	return 1;
}

void EFNewAudioMgr_SP::LoadSoundBanks( EFLoadingScreen* screen, u32* progress, const u32 total ) {
	if ( progress == nullptr ) {
		return;
	}
	*progress = total;
	if ( screen != nullptr && total != 0 ) {
		screen->Update( static_cast<f32>( *progress ) / static_cast<f32>( total ) );
	}
}

void EFNewAudioMgr_SP::SendSpecificData( char* first, char* second, char* third ) {
	const char* const names[EF_AUDIO_BANK_COUNT] = { third, second, first };
	for ( u32 bank = 0; bank < EF_AUDIO_BANK_COUNT; bank++ ) {
		CopyName( maszBankNames[bank], names[bank], true );
	}
}

const char* EFNewAudioMgr_SP::GetBankName( const u32 bank ) const {
	return bank < EF_AUDIO_BANK_COUNT ? maszBankNames[bank] : "";
}

void EFNewAudioMgr_SP::SetEnvironmentName( const char* name ) {
	CopyName( mszEnvironmentName, name, false );
}

void EFNewAudioMgr_SP::SetDSPEffectForGroup( u32, u32 ) {
}

void EFNewAudioMgr_SP::SetDSPEffectMasterVolume( u32, f32 ) {
}

void EFNewAudioMgr_SP::SetGCDSPEffect( u32, u32 ) {
}

void EFNewAudioMgr_SP::SoundCompletionCallback( u32 ) {
}
