#include "AudioTestBench.h"
#include "framework/physics/EFPhysic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

class EFSoundContainerTest : public AudioTestBench {
protected:
	void SetUp() override {
		AudioTestBench::SetUp();
		// Events 0-3 play samples 0-3 of bank 1; event 4 plays samples 1
		// and 2 in turn.
		std::vector<ToolSoundEventRecord> events( 5 );
		for ( u32 i = 0; i < 4; i++ ) {
			events[i].name = "E" + std::to_string( i );
			events[i].elements = { i };
		}
		events[4].name = "E4";
		events[4].selectionMode = 1;
		events[4].elements = { 1, 2 };
		std::vector<ToolSoundContainerRecord> containers;
		for ( u32 mode = 0; mode <= 5; mode++ ) {
			ToolSoundContainerRecord c;
			c.playMode = mode;
			c.elements = { EventId( 1, 0 ), EventId( 1, 1 ), EventId( 1, 2 ) };
			containers.push_back( c );
		}
		ToolSoundContainerRecord two;
		two.elements = { EventId( 1, 0 ), EventId( 1, 1 ) };
		containers.push_back( two );							// 6: mode 0, two elements
		ToolSoundContainerRecord looping;
		looping.loop = 1;
		looping.elements = { EventId( 1, 3 ) };
		containers.push_back( looping );						// 7: looping, one element
		ToolSoundContainerRecord copies;
		copies.instances = 2;
		copies.elements = { EventId( 1, 0 ) };
		containers.push_back( copies );							// 8: two instances
		ToolSoundContainerRecord hole;
		hole.playMode = EF_CONTAINER_SEQUENCE;
		hole.elements = { EventId( 1, 0 ), 0xFFFFFFFF, EventId( 1, 2 ) };
		containers.push_back( hole );							// 9: a hole in a sequence
		ToolSoundContainerRecord unknown;
		unknown.playMode = 6;
		unknown.elements = { EventId( 1, 1 ), EventId( 1, 2 ) };
		containers.push_back( unknown );						// 10: a mode past the known ones
		ToolSoundContainerRecord list;
		list.elements = { EventId( 1, 4 ) };
		containers.push_back( list );							// 11: one element that plays two
		LoadBank( 1, events, containers );
		object = MakeObject( OBJECT_ID );
		for ( u32 i = 0; i < containers.size(); i++ ) {
			object->moNewSoundMgr.AddSound( ContainerId( 1, i ) );
			ListenForCompletions( OBJECT_ID, ContainerId( 1, i ) );
		}
	}

	void TearDown() override {
		DeleteObject( object );
		AudioTestBench::TearDown();
	}

	u32 Plays( const u32 sample ) const { return static_cast<u32>( fakes[1][sample]->plays.size() ); }

	EFSoundContainer* ContainerOf( const u32 index ) {
		const u32 handle = object->moNewSoundMgr.GetSound( ContainerId( 1, index ) )->mui32Handle;
		return handle == EF_NO_SOUND_HANDLE ? nullptr : static_cast<EFSoundContainer*>( audio->maoHandles[handle].poSound );
	}

	// Plays container index and completes whatever it plays until it
	// ends; the samples in the order they started. The reference is hung
	// on the object's frame, so one container keeps playing it.
	std::vector<u32> PlayThrough( const u32 index ) {
		object->moNewSoundMgr.ParentSoundToJoint( ContainerId( 1, index ), EF_OWN_FRAME_JOINT, 0 );
		std::vector<u32> counts( 4 );
		for ( u32 s = 0; s < 4; s++ ) {
			counts[s] = Plays( s );
		}
		std::vector<u32> order;
		object->moNewSoundMgr.PlaySound( ContainerId( 1, index ), 0 );
		for ( u32 guard = 0; guard < 8; guard++ ) {
			bool any = false;
			for ( u32 s = 0; s < 4; s++ ) {
				while ( Plays( s ) > counts[s] ) {
					order.push_back( s );
					Complete( fakes[1][s]->plays[counts[s]].completionId );
					counts[s]++;
					any = true;
				}
			}
			if ( !any ) {
				break;
			}
		}
		return order;
	}

	EFGameObject*	object = nullptr;
};

TEST_F( EFSoundContainerTest, PlayModesChooseTheirElements ) {
	// Mode 0 with two elements alternates from the first.
	EXPECT_EQ( PlayThrough( 6 ), ( std::vector<u32>{ 0 } ) );
	EXPECT_EQ( PlayThrough( 6 ), ( std::vector<u32>{ 1 } ) );
	EXPECT_EQ( PlayThrough( 6 ), ( std::vector<u32>{ 0 } ) );
	// Mode 0 with three never repeats.
	u32 previous = 99;
	for ( u32 i = 0; i < 12; i++ ) {
		const std::vector<u32> one = PlayThrough( 0 );
		ASSERT_EQ( one.size(), 1u );
		EXPECT_NE( one[0], previous );
		previous = one[0];
	}
	// Mode 1 plays them all in one play, mode 3 one per play in turn.
	EXPECT_EQ( PlayThrough( 1 ), ( std::vector<u32>{ 0, 1, 2 } ) );
	EXPECT_EQ( PlayThrough( 3 ), ( std::vector<u32>{ 0 } ) );
	EXPECT_EQ( PlayThrough( 3 ), ( std::vector<u32>{ 1 } ) );
	EXPECT_EQ( PlayThrough( 3 ), ( std::vector<u32>{ 2 } ) );
	EXPECT_EQ( PlayThrough( 3 ), ( std::vector<u32>{ 0 } ) );
	// Mode 2 shuffles the ids in place; the events built before keep
	// their order.
	EXPECT_EQ( PlayThrough( 2 ), ( std::vector<u32>{ 0, 1, 2 } ) );
	const EFSoundContainerData* const shuffled = audio->GetSoundContainerData( ContainerId( 1, 2 ) );
	std::vector<u32> ids( shuffled->mpui32Elements, shuffled->mpui32Elements + 3 );
	std::sort( ids.begin(), ids.end() );
	EXPECT_EQ( ids, ( std::vector<u32>{ EventId( 1, 0 ), EventId( 1, 1 ), EventId( 1, 2 ) } ) );
	// Every completed play notified the owner once.
	EXPECT_EQ( gSoundCompletions, 3u + 12u + 1u + 4u + 1u );
	for ( const structSoundHandle& slot : audio->maoHandles ) {
		EXPECT_EQ( slot.ui32PlayingCount, 0u );
	}
}

TEST_F( EFSoundContainerTest, ModeFourCompletesOnceAfterItsLastElement ) {
	object->moNewSoundMgr.PlaySound( ContainerId( 1, 4 ), 0 );
	ASSERT_EQ( Plays( 0 ) + Plays( 1 ) + Plays( 2 ), 3u );
	EFSoundContainer* const container = ContainerOf( 4 );
	Complete( fakes[1][1]->plays[0].completionId );
	Complete( fakes[1][0]->plays[0].completionId );
	EXPECT_EQ( gSoundCompletions, 0u );
	EXPECT_TRUE( container->IsPlaying() );
	Complete( fakes[1][2]->plays[0].completionId );
	EXPECT_EQ( gSoundCompletions, 1u );
	EXPECT_EQ( HandlesInUse(), 0u );
}

TEST_F( EFSoundContainerTest, ModeFivePlaysTheElementOfTheBodysState ) {
	struct Row {
		bool	body;
		u32		state;
		s32		sample;		// -1: nothing plays
	};
	const Row rows[] = { { true, 1, 1 }, { true, 2, 2 }, { true, 7, 0 }, { false, 1, -1 } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.state );
		if ( row.body ) {
			ASSERT_NE( object->CreatePhysic( 0 ), nullptr );
			object->mpoPhysic->mui32PhysicState = row.state;
		} else {
			object->RequestPhysicDeletion();
			EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
			object->mpoPhysic = nullptr;
		}
		const u32 completions = gSoundCompletions;
		const std::vector<u32> played = PlayThrough( 5 );
		if ( row.sample < 0 ) {
			EXPECT_TRUE( played.empty() );
			EXPECT_EQ( gSoundCompletions, completions );
		} else {
			EXPECT_EQ( played, ( std::vector<u32>{ static_cast<u32>( row.sample ) } ) );
			EXPECT_EQ( gSoundCompletions, completions + 1 );
		}
		EXPECT_EQ( ContainerOf( 5 )->IsPlaying(), false );
		EXPECT_EQ( audio->maoHandles[object->moNewSoundMgr.GetSound( ContainerId( 1, 5 ) )->mui32Handle].ui32PlayingCount, 0u );
	}
}

TEST_F( EFSoundContainerTest, AContainerWithoutElementsPlaysNothingInEveryMode ) {
	std::vector<ToolSoundContainerRecord> empty( 6 );
	for ( u32 mode = 0; mode < 6; mode++ ) {
		empty[mode].playMode = mode;
	}
	LoadBank( 2, { ToolSoundEventRecord() }, empty );
	for ( u32 mode = 0; mode < 6; mode++ ) {
		const u32 handle = audio->GetSoundHandle( object, ContainerId( 2, mode ), nullptr );
		ASSERT_NE( handle, EF_NO_SOUND_HANDLE );
		audio->PlaySound( handle, 0 );
		EXPECT_FALSE( audio->IsSoundPlaying( handle ) ) << mode;
		EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u ) << mode;
	}
}

TEST_F( EFSoundContainerTest, ALoopingContainerWhoseElementCannotStartEndsOnce ) {
	fakes[1][3]->failStarts = true;
	object->moNewSoundMgr.PlaySound( ContainerId( 1, 7 ), 0 );
	EXPECT_EQ( Plays( 3 ), 1u );
	EXPECT_EQ( HandlesInUse(), 0u );
	EXPECT_EQ( gSoundCompletions, 0u );
	audio->Update( 0.016f );
	EXPECT_EQ( Plays( 3 ), 1u );
	// Once it can start, it loops.
	fakes[1][3]->failStarts = false;
	object->moNewSoundMgr.PlaySound( ContainerId( 1, 7 ), 0 );
	Complete( fakes[1][3]->plays.back().completionId );
	EXPECT_EQ( Plays( 3 ), 3u );
	EXPECT_EQ( gSoundCompletions, 0u );
}

TEST_F( EFSoundContainerTest, TwoInstancesPlayASecondCopyAndDropAThird ) {
	for ( u32 i = 0; i < 3; i++ ) {
		object->moNewSoundMgr.PlaySound( ContainerId( 1, 8 ), 0 );
	}
	EXPECT_EQ( Plays( 0 ), 2u );
	EXPECT_EQ( audio->mui32ContainersInUse, 2u );
	Complete( fakes[1][0]->plays[0].completionId );
	Complete( fakes[1][0]->plays[1].completionId );
	EXPECT_EQ( gSoundCompletions, 2u );
}

TEST_F( EFSoundContainerTest, APlayThatCannotGoOnStillCompletes ) {
	struct Row {
		u32					index;
		std::vector<u32>	played;
	};
	// A hole ends the sequence; an unknown mode plays its first element.
	const Row rows[] = { { 9, { 0 } }, { 10, { 1 } } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.index );
		const u32 completions = gSoundCompletions;
		EXPECT_EQ( PlayThrough( row.index ), row.played );
		EXPECT_EQ( gSoundCompletions, completions + 1 );
		EXPECT_FALSE( ContainerOf( row.index )->IsPlaying() );
		EXPECT_EQ( audio->maoHandles[object->moNewSoundMgr.GetSound( ContainerId( 1, row.index ) )->mui32Handle].ui32PlayingCount, 0u );
	}
	EXPECT_EQ( Plays( 2 ), 0u );
}

TEST_F( EFSoundContainerTest, AnElementWhoseOwnStartFailsEndsItsContainersPlay ) {
	// The element's start fails after the container started it: once its
	// soft delay has passed, or at its own list's next sample.
	struct Row {
		const char*	name;
		u32			container;
		u32			failingSample;
		f32			softDelay;
	};
	const Row rows[] = { { "a deferred start", 6, 0, 0.05f }, { "the list's next sample", 11, 2, 0.0f } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		FakeSound& failing = *fakes[1][row.failingSample];
		failing.softDelay = row.softDelay;
		failing.failStarts = true;
		const u32 completions = gSoundCompletions;
		object->moNewSoundMgr.PlaySound( ContainerId( 1, row.container ), 0 );
		EFSoundContainer* const container = ContainerOf( row.container );
		ASSERT_NE( container, nullptr );
		ASSERT_TRUE( container->IsPlaying() );
		if ( row.softDelay > 0.0f ) {
			audio->Update( 0.1f );
		} else {
			Complete( fakes[1][1]->plays.back().completionId );
		}
		EXPECT_EQ( failing.plays.size(), 1u ) << "the start was tried";
		EXPECT_FALSE( container->IsPlaying() );
		audio->Update( 0.0f );
		EXPECT_EQ( gSoundCompletions, completions + 1 );
		EXPECT_EQ( HandlesInUse(), 0u );
		failing.softDelay = 0.0f;
		failing.failStarts = false;
	}
}

TEST_F( EFSoundContainerTest, AStoppedPlayEndsWithoutNotifyingAndVolumesReachEveryElement ) {
	object->moNewSoundMgr.SetSoundMasterVolume( ContainerId( 1, 1 ), 0.25f );
	object->moNewSoundMgr.PlaySound( ContainerId( 1, 1 ), 0 );
	EFSoundContainer* const container = ContainerOf( 1 );
	EXPECT_EQ( container->GetSEMasterVolume(), 0.25f );
	EXPECT_EQ( container->mppoElements[2]->GetSEMasterVolume(), 0.25f );
	object->moNewSoundMgr.StopSound( ContainerId( 1, 1 ) );
	EXPECT_EQ( fakes[1][0]->stops.size(), 1u );
	Complete( fakes[1][0]->plays[0].completionId );
	EXPECT_EQ( gSoundCompletions, 0u );
	EXPECT_EQ( Plays( 1 ), 0u );
	EXPECT_EQ( HandlesInUse(), 0u );
}

}
