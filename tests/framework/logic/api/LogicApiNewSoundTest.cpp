/*
	The sound table over the audio manager, with recording sound objects:
	plays and stops of an object's sounds, the stop-everything id, the
	volume clamp, the audio switch, the listener as given and the running
	object's alias resolved.
*/
#include "framework/audio/AudioTestBench.h"

#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/LogicApiTables.h"

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

}
