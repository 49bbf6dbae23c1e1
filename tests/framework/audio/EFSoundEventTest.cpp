#include "AudioTestBench.h"
#include "framework/core/world/notification/CountingNew.h"
#include "framework/physics/CollisionMapTestScenes.h"
#include "framework/physics/EFPhysic.h"
#include "framework/audio/GC_SoundLoader.h"
#include "tools/lib/audio/ToolSoundBankWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

namespace {

ToolSoundEventRecord Record( const std::string& name, const std::vector<u32>& elements, const u32 selection = 0 ) {
	ToolSoundEventRecord r;
	r.name = name;
	r.elements = elements;
	r.selectionMode = selection;
	return r;
}

class EFSoundEventTest : public AudioTestBench {
protected:
	// A handle of id for no object, and its event.
	EFSoundEvent* Take( const u32 id, u32* handle = nullptr ) {
		const u32 h = audio->GetSoundHandle( nullptr, id, nullptr );
		EXPECT_NE( h, EF_NO_SOUND_HANDLE );
		if ( handle != nullptr ) {
			*handle = h;
		}
		return h == EF_NO_SOUND_HANDLE ? nullptr : static_cast<EFSoundEvent*>( audio->maoHandles[h].poSound );
	}

	// The last play's completion id of bank 1's sample.
	u32 LastCompletion( const u32 sample ) const { return fakes[1][sample]->plays.back().completionId; }

	// Plays handle count times, completing each play; the element indexes.
	std::vector<u32> PlaySequence( const u32 handle, EFSoundEvent* event, const u32 count ) {
		std::vector<u32> picked;
		for ( u32 i = 0; i < count; i++ ) {
			audio->PlaySound( handle, 0 );
			picked.push_back( event->mui32ElementIndex );
			Complete( event->mui32CompletionId );
		}
		return picked;
	}
};

TEST_F( EFSoundEventTest, SelectionModesPickTheirElements ) {
	LoadBank( 1, { Record( "THREE", { 0, 1, 2 } ), Record( "TWO", { 0, 1 } ), Record( "STEP", { 0, 1, 2, 3 }, 3 ),
				   Record( "SHUFFLE", { 0, 1, 2, 3 }, 2 ) } );
	u32 handle = 0;
	EFSoundEvent* event = Take( EventId( 1, 0 ), &handle );
	const std::vector<u32> random = PlaySequence( handle, event, 40 );
	for ( size_t i = 1; i < random.size(); i++ ) {
		EXPECT_NE( random[i], random[i - 1] ) << i;
	}
	EXPECT_EQ( std::set<u32>( random.begin(), random.end() ).size(), 3u );
	event = Take( EventId( 1, 1 ), &handle );
	EXPECT_EQ( PlaySequence( handle, event, 4 ), ( std::vector<u32>{ 0, 1, 0, 1 } ) );
	event = Take( EventId( 1, 2 ), &handle );
	EXPECT_EQ( PlaySequence( handle, event, 5 ), ( std::vector<u32>{ 0, 1, 2, 3, 0 } ) );
	// A shuffle reorders the record in place, then plays it through.
	event = Take( EventId( 1, 3 ), &handle );
	audio->PlaySound( handle, 0 );
	const u32* const list = event->mpoRecord->mpui32Elements;
	std::vector<u32> shuffled( list, list + 4 );
	std::vector<u32> sorted = shuffled;
	std::sort( sorted.begin(), sorted.end() );
	EXPECT_EQ( sorted, ( std::vector<u32>{ 0, 1, 2, 3 } ) );
	std::vector<u32> played;
	for ( u32 i = 0; i < 4; i++ ) {
		played.push_back( event->mpoRecord->mpui32Elements[event->mui32ElementIndex] );
		EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 1u );
		Complete( event->mui32CompletionId );
	}
	EXPECT_EQ( played, shuffled );
	EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u );
}

TEST_F( EFSoundEventTest, AnEventWithoutElementsPlaysNothingInEveryMode ) {
	std::vector<ToolSoundEventRecord> records;
	for ( u32 mode = 0; mode < 5; mode++ ) {
		records.push_back( Record( "EMPTY", {}, mode ) );
	}
	LoadBank( 1, records );
	for ( u32 mode = 0; mode < 5; mode++ ) {
		u32 handle = 0;
		EFSoundEvent* const event = Take( EventId( 1, mode ), &handle );
		audio->PlaySound( handle, 0 );
		EXPECT_FALSE( event->IsPlaying() ) << mode;
		EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u ) << mode;
	}
}

TEST_F( EFSoundEventTest, DistanceAndDirectionGiveVolumeAndPan ) {
	struct Row {
		const char*	what;
		u32			spatial;
		f32			nearDistance, nearVolume, farDistance, farVolume;
		f32			x, z;
		u32			mono;
		f32			volume;
		f32			pan;
	};
	const Row rows[] = {
		{ "at the near distance", 2, 2.0f, 1.0f, 10.0f, 0.2f, 0.0f, 2.0f, 0, 1.0f, 0.0f },
		{ "half way", 2, 2.0f, 1.0f, 10.0f, 0.2f, 0.0f, 6.0f, 0, 0.6f, 0.0f },
		{ "a far volume above the near one is flat", 2, 2.0f, 0.3f, 10.0f, 0.9f, 0.0f, 6.0f, 0, 0.3f, 0.0f },
		{ "inverted at the far distance", 3, 2.0f, 1.0f, 10.0f, 0.2f, 0.0f, 10.0f, 0, 0.8f, 0.0f },
		{ "near equal to far", 2, 5.0f, 0.7f, 5.0f, 0.1f, 0.0f, 5.0f, 0, 0.7f, 0.0f },
		{ "90 degrees right", 2, 2.0f, 1.0f, 10.0f, 0.2f, 10.0f, 0.0f, 0, 0.2f, -1.0f },
		{ "90 degrees right, mirrored", 3, 2.0f, 1.0f, 10.0f, 0.2f, 10.0f, 0.0f, 0, 0.8f, 1.0f },
		{ "90 degrees right in mono", 2, 2.0f, 1.0f, 10.0f, 0.2f, 10.0f, 0.0f, 1, 0.2f, 0.0f },
		{ "sample pan in 3D", 1, 2.0f, 1.0f, 10.0f, 0.2f, 10.0f, 0.0f, 0, 0.2f, 0.5f },
	};
	std::vector<ToolSoundEventRecord> records;
	for ( const Row& row : rows ) {
		ToolSoundEventRecord r = Record( row.what, { 0 } );
		r.spatialMode = row.spatial;
		r.nearDistance = row.nearDistance;
		r.nearVolume = row.nearVolume;
		r.farDistance = row.farDistance;
		r.farVolume = row.farVolume;
		records.push_back( r );
	}
	LoadBank( 1, records );
	// Bank 1's playback record 0 (every fake's): full volume, pan 0.5.
	ToolSoundBank bank;
	bank.playbacks.resize( 1 );
	bank.playbacks[0].pan = "0.5";
	ASSERT_TRUE( disc.WriteFile( LevelPath( "BANK1.SBH" ), ToolWriteSoundBankHeader( bank ) ) );
	char name[] = "BANK1";
	gpoSoundInfoLoader[1]->ReadSbhInfoFromFile( name );
	gpoSoundInfoLoader[1]->Copy();
	gpoSoundInfoLoader[1]->FreeFileBlock();
	ASSERT_TRUE( gpoSoundInfoLoader[1]->IsLoaded() );
	for ( u32 i = 0; i < std::size( rows ); i++ ) {
		const Row& row = rows[i];
		SCOPED_TRACE( row.what );
		// The event's frame sits 0.05 above its owner's.
		EFGameObject* const object = MakeObject( OBJECT_ID + i, row.x, -0.05f, row.z );
		object->moNewSoundMgr.AddSound( EventId( 1, i ) );
		audio->mui32EngineMode = row.mono;
		ASSERT_EQ( object->moNewSoundMgr.PlaySound( EventId( 1, i ), 0 ), EF_SOUND_DONE );
		const EFSoundEvent* const event =
			static_cast<EFSoundEvent*>( audio->maoHandles[object->moNewSoundMgr.GetSound( EventId( 1, i ) )->mui32Handle].poSound );
		EXPECT_NEAR( event->mfTargetVolume, row.volume, 1e-5f );
		EXPECT_FALSE( std::isnan( event->mfCurrentVolume ) );
		EXPECT_NEAR( event->mfCurrentPan, row.pan, 1e-5f );
		// Levels: the record's mixer level (0 dB) x volume, split by the pan.
		const FakePlay& play = fakes[1][0]->plays.back();
		// Each side is cut to an integer.
		EXPECT_NEAR( static_cast<f32>( play.left + play.right ), 32767.0f * row.volume, 2.0f );
		DeleteObject( object );
	}
}

TEST_F( EFSoundEventTest, VolumeMovesToItsTargetInSteps ) {
	LoadBank( 1, { Record( "FLAT", { 0 } ) } );
	EFSoundEvent* const event = Take( EventId( 1, 0 ) );
	event->mfCurrentVolume = 0.0f;
	u32 calls = 0;
	while ( event->mfCurrentVolume != 1.0f && calls < 20 ) {
		event->ComputeVolumeAndPan();
		calls++;
	}
	EXPECT_EQ( calls, 10u );
	// A volume set on the event scales the level, not the smoothed value.
	event->mui32BaseVolume = 200;
	event->SetSEMasterVolume( 0.5f );
	event->ComputeVolumeAndPan();
	EXPECT_EQ( event->mfLeftLevel + event->mfRightLevel, 100.0f );
}

TEST_F( EFSoundEventTest, APlayCompletesNotifiesTheOwnerOnceAndGivesTheHandleBack ) {
	ToolSoundEventRecord loop = Record( "LOOP", { 1 } );
	loop.loop = 1;
	LoadBank( 1, { Record( "ONCE", { 0 } ), loop } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	EFNewSoundMgr& sounds = object->moNewSoundMgr;
	sounds.AddSound( EventId( 1, 0 ) );
	sounds.AddSound( EventId( 1, 1 ) );
	ListenForCompletions( OBJECT_ID, EventId( 1, 0 ) );
	ListenForCompletions( OBJECT_ID, EventId( 1, 1 ) );

	// Once: the completion queued before the frame is delivered in it.
	ASSERT_EQ( sounds.PlaySound( EventId( 1, 0 ), 0 ), EF_SOUND_DONE );
	EXPECT_EQ( HandlesInUse(), 1u );
	Complete( LastCompletion( 0 ) );
	EXPECT_EQ( gSoundCompletions, 1u );
	EXPECT_EQ( gLastCompletionData[0], OBJECT_ID );
	EXPECT_EQ( gLastCompletionData[1], EventId( 1, 0 ) );
	EXPECT_EQ( sounds.GetSound( EventId( 1, 0 ) )->mui32Handle, EF_NO_SOUND_HANDLE );
	EXPECT_EQ( HandlesInUse(), 0u );

	// Parented: the handle stays for the next play.
	ASSERT_EQ( sounds.ParentSoundToJoint( EventId( 1, 0 ), EF_OWN_FRAME_JOINT, 0 ), EF_SOUND_DONE );
	const u32 kept = sounds.GetSound( EventId( 1, 0 ) )->mui32Handle;
	sounds.PlaySound( EventId( 1, 0 ), 0 );
	Complete( LastCompletion( 0 ) );
	EXPECT_EQ( gSoundCompletions, 2u );
	EXPECT_EQ( sounds.GetSound( EventId( 1, 0 ) )->mui32Handle, kept );
	sounds.PlaySound( EventId( 1, 0 ), 0 );
	EXPECT_EQ( HandlesInUse(), 1u );
	Complete( LastCompletion( 0 ) );

	// Looping: each end plays again, silently, until stopped.
	sounds.PlaySound( EventId( 1, 1 ), 7 );
	Complete( LastCompletion( 1 ) );
	Complete( LastCompletion( 1 ) );
	EXPECT_EQ( fakes[1][1]->plays.size(), 3u );
	EXPECT_EQ( fakes[1][1]->plays.back().playArg, 7u );
	EXPECT_EQ( gSoundCompletions, 3u );
	sounds.StopSound( EventId( 1, 1 ) );
	EXPECT_EQ( fakes[1][1]->stops.size(), 1u );
	Complete( LastCompletion( 1 ) );
	EXPECT_EQ( fakes[1][1]->plays.size(), 3u );
	EXPECT_EQ( gSoundCompletions, 3u );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, ThreeInstancesSoundAtOnceAndAFourthIsDropped ) {
	ToolSoundEventRecord three = Record( "THREE", { 0 } );
	three.instances = 3;
	LoadBank( 1, { three } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	object->moNewSoundMgr.AddSound( EventId( 1, 0 ) );
	ListenForCompletions( OBJECT_ID, EventId( 1, 0 ) );
	for ( u32 i = 0; i < 4; i++ ) {
		object->moNewSoundMgr.PlaySound( EventId( 1, 0 ), 0 );
	}
	ASSERT_EQ( fakes[1][0]->plays.size(), 3u );
	EXPECT_EQ( audio->mui32EventsInUse, 3u );
	const u32 handle = object->moNewSoundMgr.GetSound( EventId( 1, 0 ) )->mui32Handle;
	EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 3u );
	for ( const FakePlay& play : std::vector<FakePlay>( fakes[1][0]->plays ) ) {
		Complete( play.completionId );
	}
	EXPECT_EQ( gSoundCompletions, 3u );
	EXPECT_EQ( HandlesInUse(), 0u );
	EXPECT_EQ( audio->mui32EventsInUse, 0u );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, APlayStopsTheOwnersOtherSoundsOfItsSet ) {
	ToolSoundEventRecord a = Record( "A", { 0 } );
	a.setMask = 0x3;
	ToolSoundEventRecord b = Record( "B", { 1 } );
	b.setMask = 0x2;
	ToolSoundEventRecord c = Record( "C", { 2 } );
	c.setMask = 0x4;
	LoadBank( 1, { a, b, c } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	for ( u32 i = 0; i < 3; i++ ) {
		object->moNewSoundMgr.AddSound( EventId( 1, i ) );
	}
	object->moNewSoundMgr.PlaySound( EventId( 1, 0 ), 0 );
	object->moNewSoundMgr.PlaySound( EventId( 1, 2 ), 0 );
	EXPECT_TRUE( fakes[1][0]->stops.empty() );
	// A sound that takes no part in set exclusion stops nothing.
	fakes[1][1]->checksSet = false;
	object->moNewSoundMgr.PlaySound( EventId( 1, 1 ), 0 );
	EXPECT_TRUE( fakes[1][0]->stops.empty() );
	Complete( LastCompletion( 1 ) );
	fakes[1][1]->checksSet = true;
	object->moNewSoundMgr.PlaySound( EventId( 1, 1 ), 0 );
	ASSERT_EQ( fakes[1][0]->stops.size(), 1u );
	EXPECT_EQ( fakes[1][0]->stops[0], fakes[1][0]->plays[0].completionId );
	EXPECT_TRUE( fakes[1][2]->stops.empty() );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, AVolumeSetBeforeTheHandleExistsIsAppliedWhenItIsTaken ) {
	LoadBank( 1, { Record( "A", { 0 } ) } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	EFNewSoundMgr& sounds = object->moNewSoundMgr;
	EXPECT_EQ( sounds.SetSoundMasterVolume( EventId( 1, 0 ), 0.5f ), EF_SOUND_NOT_REFERENCED );
	sounds.AddSound( EventId( 1, 0 ) );
	EXPECT_EQ( sounds.SetSoundMasterVolume( EventId( 1, 0 ), 0.5f ), EF_SOUND_DONE );
	EXPECT_EQ( HandlesInUse(), 0u );
	sounds.PlaySound( EventId( 1, 0 ), 0 );
	const u32 handle = sounds.GetSound( EventId( 1, 0 ) )->mui32Handle;
	EXPECT_EQ( audio->maoHandles[handle].poSound->GetSEMasterVolume(), 0.5f );
	f32 volume = 0.0f;
	EXPECT_EQ( sounds.GetSoundMasterVolume( EventId( 1, 0 ), &volume ), EF_SOUND_DONE );
	EXPECT_EQ( volume, 0.5f );
	bool playing = false;
	EXPECT_EQ( sounds.IsSoundPlaying( EventId( 1, 0 ), &playing ), EF_SOUND_DONE );
	EXPECT_TRUE( playing );
	EXPECT_EQ( sounds.SetSoundPitch( EventId( 1, 0 ), 1.5f ), EF_SOUND_DONE );
	EXPECT_EQ( fakes[1][0]->lastPitch, 1.5f );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, TheSoftDelayHoldsTheStartExceptForTheHeroesEntrance ) {
	LoadBank( 1, { Record( "WAITS", { 0 } ), Record( "VO_HEROES_ENTER", { 0 } ) } );
	fakes[1][0]->softDelay = 0.05f;
	u32 waits = 0;
	EFSoundEvent* const event = Take( EventId( 1, 0 ), &waits );
	audio->PlaySound( waits, 0 );
	EXPECT_TRUE( fakes[1][0]->plays.empty() );
	EXPECT_TRUE( event->IsPlaying() );
	audio->Update( 0.02f );
	audio->Update( 0.02f );
	EXPECT_TRUE( fakes[1][0]->plays.empty() );
	audio->Update( 0.02f );
	EXPECT_EQ( fakes[1][0]->plays.size(), 1u );
	u32 hero = 0;
	Take( EventId( 1, 1 ), &hero );
	audio->PlaySound( hero, 0 );
	EXPECT_EQ( fakes[1][0]->plays.size(), 2u );
}

TEST_F( EFSoundEventTest, DeletingAnObjectOrphansItsPlayingSoundsAndNothingReachesItsIdAgain ) {
	ToolSoundEventRecord loud = Record( "LOOP3D", { 0 } );
	loud.spatialMode = 2;
	loud.loop = 1;
	loud.setMask = 0x1;
	ToolSoundEventRecord silent = Record( "SILENT", { 1 } );
	ToolSoundContainerRecord byState;
	byState.playMode = EF_CONTAINER_BODY_STATE;
	byState.loop = 1;
	byState.elements = { EventId( 1, 1 ), EventId( 1, 2 ) };
	LoadBank( 1, { loud, silent, Record( "STATE", { 2 } ) }, { byState } );
	EFGameObject* const object = MakeObject( OBJECT_ID, 0.0f, 0.0f, 4.0f );
	ASSERT_NE( object->CreatePhysic( 0 ), nullptr );
	object->mpoPhysic->mui32PhysicState = 1;
	EFNewSoundMgr& sounds = object->moNewSoundMgr;
	sounds.AddSound( EventId( 1, 0 ) );
	sounds.AddSound( ContainerId( 1, 0 ) );
	sounds.AddSound( EventId( 1, 1 ) );
	for ( const u32 id : { EventId( 1, 0 ), ContainerId( 1, 0 ), EventId( 1, 1 ) } ) {
		ListenForCompletions( OBJECT_ID, id );
	}
	sounds.PlaySound( EventId( 1, 0 ), 0 );
	sounds.PlaySound( ContainerId( 1, 0 ), 0 );
	ASSERT_EQ( sounds.PlaySound( EventId( 1, 1 ), 0 ), EF_SOUND_DONE );
	Complete( LastCompletion( 1 ) );
	EXPECT_EQ( gSoundCompletions, 1u );
	ASSERT_EQ( fakes[1][2]->plays.size(), 1u );
	const u32 loudHandle = sounds.GetSound( EventId( 1, 0 ) )->mui32Handle;
	EFSoundEvent* const loudEvent = static_cast<EFSoundEvent*>( audio->maoHandles[loudHandle].poSound );
	const DTVector3d before = *loudEvent->GetFrame()->GetWMatrix()->GetPos();
	DeleteObject( object );
	// The orphaned 3D sound keeps its place.
	ASSERT_NE( loudEvent->GetFrame(), nullptr );
	const DTVector3d after = *loudEvent->GetFrame()->GetWMatrix()->GetPos();
	EXPECT_EQ( after.z, before.z );
	EXPECT_EQ( after.y, before.y );
	EXPECT_EQ( audio->maoHandles[loudHandle].ui8AutoRelease, 1u );
	for ( u32 round = 0; round < 4; round++ ) {
		Complete( LastCompletion( 0 ) );
		Complete( LastCompletion( 2 ) );
	}
	EXPECT_EQ( fakes[1][0]->plays.size(), 5u );
	EXPECT_EQ( gSoundCompletions, 1u );
	audio->Terminate();
}

TEST_F( EFSoundEventTest, AFailedStartGivesThePlayBackAndNeverLoops ) {
	ToolSoundEventRecord loop = Record( "LOOP", { 0 } );
	loop.loop = 1;
	LoadBank( 1, { loop } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	object->moNewSoundMgr.AddSound( EventId( 1, 0 ) );
	object->moNewSoundMgr.PlaySound( EventId( 1, 0 ), 0 );
	fakes[1][0]->failStarts = true;
	Complete( LastCompletion( 0 ) );
	EXPECT_EQ( fakes[1][0]->plays.size(), 2u );
	EXPECT_EQ( audio->mppoActiveSoundEvent.GetCount(), 0u );
	// The restart counted once more; its failure gives that back, so the
	// handle keeps the first play's count only.
	// The failed restart ends the play: its count is given back and the
	// handle with it.
	EXPECT_EQ( object->moNewSoundMgr.GetSound( EventId( 1, 0 ) )->mui32Handle, EF_NO_SOUND_HANDLE );
	EXPECT_EQ( HandlesInUse(), 0u );
	audio->Update( 0.016f );
	EXPECT_EQ( fakes[1][0]->plays.size(), 2u );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, ALoopHoldsOnePlayCountAndAStopFreesItsHandle ) {
	ToolSoundEventRecord loop = Record( "LOOP", { 0 } );
	loop.loop = 1;
	ToolSoundContainerRecord looping;
	looping.loop = 1;
	looping.elements = { EventId( 1, 1 ) };
	LoadBank( 1, { loop, Record( "ONCE", { 1 } ) }, { looping } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	struct Row {
		u32		id;
		u32		sample;
		bool	orphan;
	};
	const Row rows[] = { { EventId( 1, 0 ), 0, false }, { EventId( 1, 0 ), 0, true },
						 { ContainerId( 1, 0 ), 1, false }, { ContainerId( 1, 0 ), 1, true } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( testing::Message() << std::hex << row.id << ( row.orphan ? " orphan" : " object" ) );
		u32 handle = EF_NO_SOUND_HANDLE;
		if ( row.orphan ) {
			handle = audio->PlayOrphanSoundEvent( row.id, 0 );
		} else {
			object->moNewSoundMgr.AddSound( row.id );
			object->moNewSoundMgr.PlaySound( row.id, 0 );
			handle = object->moNewSoundMgr.GetSound( row.id )->mui32Handle;
		}
		ASSERT_NE( handle, EF_NO_SOUND_HANDLE );
		const size_t plays = fakes[1][row.sample]->plays.size();
		for ( u32 i = 0; i < 4; i++ ) {
			Complete( LastCompletion( row.sample ) );
			EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 1u );
		}
		EXPECT_EQ( fakes[1][row.sample]->plays.size(), plays + 4 );
		audio->StopSound( handle );
		Complete( LastCompletion( row.sample ) );
		EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u );
		EXPECT_EQ( HandlesInUse(), 0u );
		EXPECT_EQ( fakes[1][row.sample]->plays.size(), plays + 4 );
	}
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, ASoundStoppedWhileWaitingEndsItsPlayAndLaterPlaysNotify ) {
	ToolSoundContainerRecord once;
	once.elements = { EventId( 1, 0 ) };
	LoadBank( 1, { Record( "WAITS", { 1 } ) }, { once } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	EFNewSoundMgr& sounds = object->moNewSoundMgr;
	for ( const u32 id : { EventId( 1, 0 ), ContainerId( 1, 0 ) } ) {
		SCOPED_TRACE( testing::Message() << std::hex << id );
		// Hung on the object's frame, the handle outlives each play.
		sounds.AddSound( id );
		ASSERT_EQ( sounds.ParentSoundToJoint( id, EF_OWN_FRAME_JOINT, 0 ), EF_SOUND_DONE );
		ListenForCompletions( OBJECT_ID, id );
		const u32 handle = sounds.GetSound( id )->mui32Handle;
		const u32 completions = gSoundCompletions;
		const size_t plays = fakes[1][1]->plays.size();
		fakes[1][1]->softDelay = 0.05f;
		sounds.PlaySound( id, 0 );
		ASSERT_TRUE( audio->IsSoundPlaying( handle ) );
		sounds.StopSound( id );
		EXPECT_FALSE( audio->IsSoundPlaying( handle ) );
		EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u );
		audio->Update( 0.1f );
		EXPECT_EQ( fakes[1][1]->plays.size(), plays );
		EXPECT_EQ( gSoundCompletions, completions );
		fakes[1][1]->softDelay = 0.0f;
		sounds.PlaySound( id, 0 );
		Complete( LastCompletion( 1 ) );
		EXPECT_EQ( gSoundCompletions, completions + 1 );
		EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u );
	}
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, AListThatCannotGoOnStillCompletes ) {
	// Selection mode 4, and a list whose second element has no sound
	// object (sample 9 is past the bank).
	LoadBank( 1, { Record( "MODE4", { 0 }, 4 ), Record( "HOLE", { 0, 9, 1 }, 1 ) } );
	EFGameObject* const object = MakeObject( OBJECT_ID );
	for ( const u32 id : { EventId( 1, 0 ), EventId( 1, 1 ) } ) {
		SCOPED_TRACE( id );
		object->moNewSoundMgr.AddSound( id );
		ListenForCompletions( OBJECT_ID, id );
		const u32 completions = gSoundCompletions;
		object->moNewSoundMgr.PlaySound( id, 0 );
		Complete( LastCompletion( 0 ) );
		EXPECT_EQ( gSoundCompletions, completions + 1 );
		EXPECT_EQ( HandlesInUse(), 0u );
		EXPECT_EQ( audio->mppoActiveSoundEvent.GetCount(), 0u );
	}
	EXPECT_TRUE( fakes[1][1]->plays.empty() );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, AParentKilledOutOfRangeWithActiveChildrenLeavesTheFrameWalkSound ) {
	ToolSoundEventRecord far = Record( "FAR", { 0 } );
	far.spatialMode = 2;
	far.instances = 3;
	far.stopOutOfRange = 1;
	far.cutOffDistance = 20.0f;
	LoadBank( 1, { far } );
	EFGameObject* const object = MakeObject( OBJECT_ID, 0.0f, 0.0f, 5.0f );
	object->moNewSoundMgr.AddSound( EventId( 1, 0 ) );
	for ( u32 i = 0; i < 3; i++ ) {
		object->moNewSoundMgr.PlaySound( EventId( 1, 0 ), 0 );
	}
	ASSERT_EQ( audio->mppoActiveSoundEvent.GetCount(), 3u );
	MoveTo( *object, 0.0f, 0.0f, 50.0f );
	audio->Update( 0.016f );
	EXPECT_EQ( fakes[1][0]->resets.size(), 3u );
	const u32 handle = object->moNewSoundMgr.GetSound( EventId( 1, 0 ) )->mui32Handle;
	// Back in range: the parent plays again.
	MoveTo( *object, 0.0f, 0.0f, 5.0f );
	audio->Update( 0.016f );
	EXPECT_GE( fakes[1][0]->plays.size(), 4u );
	EXPECT_EQ( audio->maoHandles[handle].ui8InUse, 1u );
	DeleteObject( object );
	audio->Terminate();
}

TEST_F( EFSoundEventTest, OcclusionLowersTheVolumeByTheWallsBetweenListenerAndSourceWithinTheBudget ) {
	ToolColMap scene;
	ToolColAttribs thin;
	thin.flags = 0x1;
	thin.acousticOpacity = 0.5f;
	ToolColAttribs thick = thin;
	thick.acousticOpacity = 0.25f;
	scene.attribs = { thin, thick };
	scene.polygons = { Quad( { -5, -5, 2 }, { 5, -5, 2 }, { 5, 5, 2 }, { -5, 5, 2 }, 0 ),
					   Quad( { -5, -5, 4 }, { 5, -5, 4 }, { 5, 5, 4 }, { -5, 5, 4 }, 1 ) };
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene ) );
	ASSERT_NE( map, nullptr );
	EFPhysicMgr::moPhysicMgr.AddMap( map.release() );
	ToolSoundEventRecord behind = Record( "BEHIND", { 0 } );
	behind.spatialMode = 2;
	behind.farVolume = 1.0f;
	LoadBank( 1, { behind } );
	EFGameObject* const object = MakeObject( OBJECT_ID, 0.0f, -0.05f, 6.0f );
	object->moNewSoundMgr.AddSound( EventId( 1, 0 ) );
	object->moNewSoundMgr.PlaySound( EventId( 1, 0 ), 0 );
	EFSoundEvent* const event =
		static_cast<EFSoundEvent*>( audio->maoHandles[object->moNewSoundMgr.GetSound( EventId( 1, 0 ) )->mui32Handle].poSound );
	struct Row {
		s16		minAge;
		s16		testsBefore;
		f32		volume;
		s16		testsAfter;
		u16		age;
	};
	const Row rows[] = {
		{ 0, 0, 0.375f, 1, 0 },					// (1 - 0.5) x (1 - 0.25)
		{ 0, 15, 0.375f, 15, 1 },				// budget spent: the last factor again
		{ 3, 0, 0.375f, 0, 2 },					// too young for the minimum age
		{ 1, 0, 0.375f, 1, 0 },
	};
	for ( const Row& row : rows ) {
		audio->msiOcclusionMinAge = row.minAge;
		audio->msiOcclusionTestCount = row.testsBefore;
		event->AdjustSoundToDistance();
		ASSERT_EQ( event->mfDistanceVolume, 1.0f );
		event->AdjustSoundToOcculsion();
		EXPECT_NEAR( event->mfDistanceVolume, row.volume, 1e-6f );
		EXPECT_EQ( audio->msiOcclusionTestCount, row.testsAfter );
		EXPECT_EQ( event->mui16OcclusionAge, row.age );
	}
	// At the maximum age a ray is cast whatever the budget says.
	event->mui16OcclusionAge = 5;
	audio->msiOcclusionMinAge = 5;
	audio->msiOcclusionTestCount = 15;
	event->AdjustSoundToDistance();
	event->AdjustSoundToOcculsion();
	EXPECT_EQ( audio->msiOcclusionTestCount, 16 );
	EXPECT_EQ( event->mui16OcclusionAge, 0u );
	DeleteObject( object );
}

TEST_F( EFSoundEventTest, APlayAllocatesOnlyItsActiveListNodeAndChildArrays ) {
	ToolSoundEventRecord two = Record( "TWO", { 0 } );
	two.instances = 2;
	LoadBank( 1, { two } );
	u64 before = CountingNewCalls();
	const u32 handle = audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr );
	EXPECT_EQ( CountingNewCalls() - before, 1u );		// the child array
	before = CountingNewCalls();
	audio->PlaySound( handle, 0 );
	audio->PlaySound( handle, 0 );
	EXPECT_EQ( CountingNewCalls() - before, 2u );		// two list nodes
	before = CountingNewCalls();
	audio->Update( 0.016f );
	audio->StopSound( handle );
	EXPECT_EQ( CountingNewCalls() - before, 0u );
}

}
