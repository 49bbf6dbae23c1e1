/*
	The sound table over the audio manager, with recording sound objects:
	plays and stops of an object's sounds, the stop-everything id, the
	volume clamp, the audio switch, the listener as given and the running
	object's alias resolved. Then over the platform half with a bank written
	by the tools: real voices played, paused, resumed, stopped, given DSP
	codes and bus return levels through the table.
*/
#include "framework/audio/AudioTestBench.h"

#include "framework/audio/GCEffect.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/LogicApiTables.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "platform/mix/MIXVolumeTable.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolSoundBankWriter.h"

#include <gtest/gtest.h>

namespace {

constexpr u32 ALL_SOUNDS = 0x0FFFFFFF;

class LogicApiNewSoundTest : public AudioTestBench {
protected:
	void SetUp() override {
		AudioTestBench::SetUp();
		Init_NewSound();
		ToolSoundEventRecord a;
		a.name = "A";
		a.elements = { 0 };
		ToolSoundEventRecord b = a;
		b.name = "B";
		b.elements = { 1 };
		LoadBank( 1, { a, b } );
		object = MakeObject( OBJECT_ID );
		object->moNewSoundMgr.AddSound( EventId( 1, 0 ) );
		object->moNewSoundMgr.AddSound( EventId( 1, 1 ) );
	}

	void TearDown() override {
		gbDisableAudio = 0;
		DeleteObject( object );
		AudioTestBench::TearDown();
	}

	EFGameObject* object = nullptr;
};

TEST_F( LogicApiNewSoundTest, PlayIsPlayingAndStopReachTheObjectsSounds ) {
	const u32 a = EventId( 1, 0 );
	const u32 b = EventId( 1, 1 );
	APInewSound.Play( OBJECT_ID, a, 7 );
	ASSERT_EQ( fakes[1][0]->plays.size(), 1u );
	EXPECT_EQ( fakes[1][0]->plays[0].playArg, 7u );
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, a ), 1u );
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, b ), 0u );
	EXPECT_EQ( APInewSound.IsPlaying( 0x2A000099, a ), 0u );

	APInewSound.Stop( OBJECT_ID, a );
	EXPECT_EQ( fakes[1][0]->stops.size(), 1u );
	Complete( fakes[1][0]->plays[0].completionId );
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, a ), 0u );

	// 0x0FFFFFFF stops every sound; 0xFFFFFFFF is an id like any other.
	APInewSound.Play( OBJECT_ID, a, 0 );
	APInewSound.Play( OBJECT_ID, b, 0 );
	APInewSound.Stop( OBJECT_ID, 0xFFFFFFFF );
	EXPECT_EQ( fakes[1][0]->stops.size(), 1u );
	EXPECT_EQ( fakes[1][1]->stops.size(), 0u );
	APInewSound.Stop( OBJECT_ID, ALL_SOUNDS );
	EXPECT_EQ( fakes[1][0]->stops.size(), 2u );
	EXPECT_EQ( fakes[1][1]->stops.size(), 1u );
}

TEST_F( LogicApiNewSoundTest, VolumesAreHeldToZeroToOneAndActWithAudioDisabled ) {
	const struct {
		void ( *set )( f32 );
		f32 ( *get )();
		f32 EFNewAudioMgr::* field;
	} volumes[] = {
		{ APInewSound.SetGlobalVolume, APInewSound.GetGlobalVolume, &EFNewAudioMgr::mfGlobalVolume },
		{ APInewSound.SetFXVolume, APInewSound.GetFXVolume, &EFNewAudioMgr::mfEffectsVolume },
		{ APInewSound.SetStreamVolume, APInewSound.GetStreamVolume, &EFNewAudioMgr::mfStreamVolume },
		{ APInewSound.SetVideoVolume, APInewSound.GetVideoVolume, &EFNewAudioMgr::mfVideoVolume },
	};
	const struct {
		f32 asked;
		f32 stored;
	} values[] = { { 1.5f, 1.0f }, { -0.2f, 0.0f }, { 0.3f, 0.3f }, { 1.0f, 1.0f } };
	gbDisableAudio = 1;
	for ( const auto& volume : volumes ) {
		for ( const auto& value : values ) {
			volume.set( value.asked );
			EXPECT_EQ( audio->*volume.field, value.stored );
			EXPECT_EQ( volume.get(), value.stored );
		}
	}
	APInewSound.SetMode( 1 );
	EXPECT_EQ( audio->mui32EngineMode, 1u );

	// The switch blocks plays and answers "not playing" whatever plays.
	APInewSound.Play( OBJECT_ID, EventId( 1, 0 ), 0 );
	EXPECT_TRUE( fakes[1][0]->plays.empty() );
	gbDisableAudio = 0;
	APInewSound.Play( OBJECT_ID, EventId( 1, 0 ), 0 );
	gbDisableAudio = 1;
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, EventId( 1, 0 ) ), 0u );
	APInewSound.Stop( OBJECT_ID, ALL_SOUNDS );
	EXPECT_TRUE( fakes[1][0]->stops.empty() );
	gbDisableAudio = 0;
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, EventId( 1, 0 ) ), 1u );
}

TEST_F( LogicApiNewSoundTest, TheListenerIsStoredAsGivenExceptTheRunningObjectsAlias ) {
	APInewSound.SetListener( 0x2A000077 );
	EXPECT_EQ( audio->mui32ListenerId, 0x2A000077u );

	EFLogicStack::Create();
	EFLogicStack::SetCurrentGameObject( object );
	ASSERT_TRUE( EFLogicStack::Push() );
	APInewSound.SetListener( 0x2A000000 );
	EFLogicStack::Pop();
	EFLogicStack::Destroy();
	EXPECT_EQ( audio->mui32ListenerId, OBJECT_ID );
	// The audio update finds it outside the logic call.
	audio->Update( 1.0f / 60.0f );
	EXPECT_EQ( audio->mui32ListenerId, OBJECT_ID );
}

// One looping sample; event A in group 1 (the default), B in group 2.
class LogicApiNewSoundVoiceTest : public AudioTestBench {
protected:
	void SetUp() override {
		AudioTestBench::SetUp();
		HostAudioReset();
		GCResetLowLevelSound();
		InitLowLevelSound( nullptr );
		Init_NewSound();
		ToolSoundBank bank;
		std::vector<u8> sbb;
		bank.samples.push_back(
			ToolAddBankSample( sbb, ToolAdpcmTestSignals::Tone( 800.0, 32000, 560, 9000.0 ), 32000, true ) );
		bank.playbacks.resize( 1 );
		ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.SBH" ), ToolWriteSoundBankHeader( bank ) ) );
		ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.SBB" ), sbb ) );
		std::vector<ToolSoundEventRecord> events( 2 );
		events[0].elements = { 0 };
		events[1].elements = { 0 };
		events[1].groupMask = 2;
		ASSERT_TRUE( disc.WriteFile( LevelPath( "FX.TSE" ), ToolWriteSoundEventTable( events ) ) );
		char none[] = "";
		char fx[] = "FX";
		audio->SendSpecificData( none, none, fx );
		u32 progress = 0;
		audio->LoadSoundBanks( nullptr, &progress, EF_AUDIO_ELEMENT_COUNT );
		ASSERT_TRUE( gpoSoundInfoLoader[0]->IsLoaded() );
		object = MakeObject( OBJECT_ID );
		object->moNewSoundMgr.AddSound( A );
		object->moNewSoundMgr.AddSound( B );
	}

	void TearDown() override {
		gbDisableAudio = 0;
		DeleteObject( object );
		g_GCSoundEffect = GCEffect();
		audio->PreTerminate();
		GCVoice_GlobalInit( nullptr );
		GCResetLowLevelSound();
		HostAudioReset();
		AudioTestBench::TearDown();
	}

	void Frame() {
		HostAdvanceTime( HostSecondsToTicks( 1.0 / 60.0 ) );
		audio->Update( 1.0f / 60.0f );
	}

	static constexpr u32 A = 0;
	static constexpr u32 B = 1;
	EFGameObject* object = nullptr;
};

TEST_F( LogicApiNewSoundVoiceTest, PlayIsPlayingAndStopGoThroughARealVoiceAndTheSwitchBlocksThem ) {
	GC_Voice& voice = goxVoices[GC_STREAM_VOICE_COUNT];
	gbDisableAudio = 1;
	APInewSound.Play( OBJECT_ID, A, 0 );
	EXPECT_EQ( voice.mui8Free, 1u ) << "no voice claimed while audio is off";
	gbDisableAudio = 0;

	APInewSound.Play( OBJECT_ID, A, 0 );
	ASSERT_EQ( voice.mui8State, GC_VOICE_STATE_PLAYING );
	ASSERT_NE( voice.mpoDSPVoice, nullptr );
	const u32 dsp = voice.mpoDSPVoice->index;
	Frame();
	EXPECT_TRUE( AXHostVoiceAcquired( dsp ) );
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, A ), 1u );
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, B ), 0u );
	gbDisableAudio = 1;
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, A ), 0u ) << "the voice plays on, the switch answers 0";
	APInewSound.Stop( OBJECT_ID, A );
	gbDisableAudio = 0;
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, A ), 1u ) << "the blocked stop reached nothing";

	APInewSound.Stop( OBJECT_ID, A );
	for ( u32 i = 0; i < 3; i++ ) {
		Frame();
	}
	EXPECT_EQ( voice.mui8Free, 1u );
	EXPECT_FALSE( AXHostVoiceAcquired( dsp ) );
	EXPECT_EQ( APInewSound.IsPlaying( OBJECT_ID, A ), 0u );
}

TEST_F( LogicApiNewSoundVoiceTest, PauseResumeAndDSPEffectsReachTheGroupsVoices ) {
	APInewSound.Play( OBJECT_ID, A, 0 );
	APInewSound.Play( OBJECT_ID, B, 0 );
	Frame();
	GC_Voice& a = goxVoices[GC_STREAM_VOICE_COUNT];
	GC_Voice& b = goxVoices[GC_STREAM_VOICE_COUNT + 1];
	ASSERT_EQ( a.mui8State, GC_VOICE_STATE_PLAYING );
	ASSERT_EQ( b.mui8State, GC_VOICE_STATE_PLAYING );

	// Pause and resume by group mask; 4 names no playing group.
	const u8 P = GC_VOICE_STATE_PAUSED;
	const u8 R = GC_VOICE_STATE_PLAYING;
	const struct {
		bool	pause;
		u32		mask;
		u8		a, b;
	} pauses[] = { { true, 4, R, R }, { true, 1, P, R }, { true, 2, P, P }, { false, 1, R, P }, { false, 3, R, R } };
	for ( const auto& row : pauses ) {
		( row.pause ? APInewSound.Pause : APInewSound.Resume )( row.mask );
		EXPECT_EQ( a.mui8State, row.a ) << row.pause << " " << row.mask;
		EXPECT_EQ( b.mui8State, row.b ) << row.pause << " " << row.mask;
	}

	// Codes on the groups' voices: bus A runs effect 5, bus B effect 6;
	// 7 is no bus's and changes nothing.
	g_GCSoundEffect.mui32BusACode = 5;
	g_GCSoundEffect.mui32BusBCode = 6;
	const struct {
		u32	mask, effect;
		u32	a, b;
	} codes[] = { { 1, 5, 5, 0 }, { 2, 6, 5, 6 }, { 3, 7, 5, 6 }, { 2, GC_DSP_EFFECT_ALL, 5, GC_DSP_EFFECT_ALL } };
	for ( const auto& row : codes ) {
		APInewSound.SetDSPEffectForGroup( row.mask, row.effect );
		EXPECT_EQ( a.mui32DSPEffect, row.a ) << row.mask << " " << row.effect;
		EXPECT_EQ( b.mui32DSPEffect, row.b ) << row.mask << " " << row.effect;
	}

	// A bus's return level follows its effect's volume, held to full, and
	// so do the sends of the voices on that effect (or on all).
	const struct {
		u32	effect;
		f32	volume;
		u16	returnA, returnB, sendA, sendB;
	} levels[] = {
		{ 5, 0.0f, VolumeTable[0], 32767, VolumeTable[0], 0 },
		{ 5, 0.5f, VolumeTable[452], 32767, VolumeTable[452], 0 },
		{ 6, 3.0f, VolumeTable[452], 32767, VolumeTable[452], 32767 },
		{ 7, 0.0f, VolumeTable[452], 32767, VolumeTable[452], 32767 },
	};
	for ( const auto& row : levels ) {
		APInewSound.SetDSPEffectMasterVolume( row.effect, row.volume );
		EXPECT_EQ( g_GCSoundEffect.mui16BusAReturn, row.returnA ) << row.effect << " " << row.volume;
		EXPECT_EQ( g_GCSoundEffect.mui16BusBReturn, row.returnB ) << row.effect << " " << row.volume;
		EXPECT_EQ( a.mpoDSPVoice->mix.auxALeft, row.sendA ) << row.effect << " " << row.volume;
		EXPECT_EQ( b.mpoDSPVoice->mix.auxARight, row.sendA ) << row.effect << " " << row.volume;
		EXPECT_EQ( a.mpoDSPVoice->mix.auxBLeft, 0u ) << "a is on bus A only";
		EXPECT_EQ( b.mpoDSPVoice->mix.auxBRight, row.sendB ) << row.effect << " " << row.volume;
	}

	// Audio off: the effect slots do nothing.
	gbDisableAudio = 1;
	APInewSound.SetDSPEffectMasterVolume( 6, 0.0f );
	APInewSound.SetDSPEffectForGroup( 3, 6 );
	APInewSound.Pause( 3 );
	EXPECT_EQ( g_GCSoundEffect.mui16BusBReturn, 32767u );
	EXPECT_EQ( a.mui32DSPEffect, 5u );
	EXPECT_EQ( a.mui8State, R );
}

}
