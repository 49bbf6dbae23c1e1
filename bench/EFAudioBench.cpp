// Speed of the audio manager's frame and of pooled plays: 300 active 2D
// events over sound objects that accept every voice, updated once a
// frame; and one event played, stopped and completed over and over,
// which allocates nothing but its active-list and completion-queue nodes.
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSound.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <new>

namespace {

constexpr u32 BANK = 1;
constexpr u32 SAMPLES = 4;

// Accepts every voice; volumes and stops are dropped.
class SilentSound : public EFNewSound {
public:
	u32 PlaySound( u32, u32, u32, u32, u32, u32 ) override { return voice++; }

	u32 voice = 1;
};

// A private record the event owns and frees.
EFSoundEventData* NewRecord( const u32 sample ) {
	EFSoundEventData* const record = new EFSoundEventData();
	record->mui32NbElements = 1;
	record->mui32Instances = 1;
	record->mui32GroupMask = 1;
	record->mpszName = new char[6];
	std::strcpy( record->mpszName, "BENCH" );
	record->mpui32Elements = new u32[1]{ sample };
	return record;
}

EFNewAudioMgr* MakeManager() {
	EFNewAudioMgr* const audio = new EFNewAudioMgr();
	audio->InitSETTables( 3 );
	EFNewSound** const sounds = new EFNewSound*[SAMPLES];
	for ( u32 i = 0; i < SAMPLES; i++ ) {
		sounds[i] = new SilentSound;
	}
	audio->InstallSoundObjects( BANK, sounds, SAMPLES );
	return audio;
}

void BM_AudioUpdateWith300ActiveEvents( benchmark::State& state ) {
	EFNewAudioMgr* const audio = MakeManager();
	for ( u32 i = 0; i < EF_SOUND_EVENT_COUNT; i++ ) {
		EFSoundEvent* const event = audio->GetEvent( i );
		event->SetCustomSoundData( nullptr, ( BANK << 30 ) | i, nullptr, NewRecord( i % SAMPLES ) );
		event->PlaySound( 0 );
	}
	for ( auto _ : state ) {
		audio->Update( 1.0f / 60.0f );
	}
	state.counters["active"] = static_cast<double>( audio->mppoActiveSoundEvent.GetCount() );
	audio->Terminate();
	delete audio;
}
BENCHMARK( BM_AudioUpdateWith300ActiveEvents );

void BM_AudioPlayStopCycle( benchmark::State& state ) {
	EFNewAudioMgr* const audio = MakeManager();
	EFSoundEvent* const event = audio->GetEvent( 0 );
	event->SetCustomSoundData( nullptr, BANK << 30, nullptr, NewRecord( 0 ) );
	for ( auto _ : state ) {
		event->PlaySound( 0 );
		event->StopSound();
		EFNewAudioMgr_SP::SoundCompletionCallback( event->mui32CompletionId );
		audio->Update( 1.0f / 60.0f );
	}
	audio->Terminate();
	delete audio;
}
BENCHMARK( BM_AudioPlayStopCycle );

}
