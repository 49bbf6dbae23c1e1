#include "AudioTestBench.h"
#include "framework/core/world/notification/CountingNew.h"

#include <gtest/gtest.h>

namespace {

class EFNewAudioMgrTest : public AudioTestBench {
protected:
	void SetUp() override {
		AudioTestBench::SetUp();
		ToolSoundEventRecord plain;
		plain.name = "PLAIN";
		plain.elements = { 0 };
		ToolSoundEventRecord wide = plain;
		wide.name = "WIDE";
		wide.spatialMode = 2;
		wide.instances = 3;
		wide.elements = { 1 };
		ToolSoundEventRecord crowd = plain;
		crowd.instances = 0xFFFFFFFF;
		ToolSoundContainerRecord all;
		all.playMode = 4;
		all.elements = { EventId( 1, 0 ), EventId( 1, 1 ) };
		ToolSoundContainerRecord crowded = all;
		crowded.instances = EF_SOUND_CONTAINER_COUNT + 1;
		LoadBank( 1, { plain, wide, crowd }, { all, crowded } );
	}
};

TEST_F( EFNewAudioMgrTest, HandlesAreFoundNextFitAndAFullPoolIsSeenOnceRound ) {
	for ( u32 i = 0; i < EF_SOUND_HANDLE_COUNT; i++ ) {
		ASSERT_EQ( audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr ), i );
	}
	EXPECT_EQ( audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr ), EF_NO_SOUND_HANDLE );
	// One lap from the last slot found brings the index back to it.
	EXPECT_EQ( audio->mui32NextHandle, EF_SOUND_HANDLE_COUNT - 1 );
	EXPECT_EQ( audio->mui32HandlesInUse, EF_SOUND_HANDLE_COUNT );
	audio->ReleaseSoundHandle( 7 );
	EXPECT_EQ( audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr ), 7u );
	EXPECT_EQ( audio->mui32NextHandle, 7u );
	EXPECT_EQ( audio->mui32PeakHandlesInUse, EF_SOUND_HANDLE_COUNT );
	// A missing record, or more instances than a pool holds, takes no
	// handle and leaves nothing in use.
	audio->ReleaseSoundHandle( 9 );
	const u32 events = audio->mui32EventsInUse;
	for ( const u32 id : { EventId( 1, 5 ), EventId( 1, 2 ), ContainerId( 1, 1 ) } ) {
		EXPECT_EQ( audio->GetSoundHandle( nullptr, id, nullptr ), EF_NO_SOUND_HANDLE ) << id;
		EXPECT_EQ( audio->maoHandles[9].ui8InUse, 0u );
		EXPECT_EQ( audio->mui32EventsInUse, events );
		EXPECT_EQ( audio->mui32ContainersInUse, 0u );
	}
}

TEST_F( EFNewAudioMgrTest, HandlesThatAreNotInUseAreRefusedWithTheOperationsName ) {
	struct Row {
		const char*	operation;
		bool		( *call )( EFNewAudioMgr&, u32 );
	};
	const Row rows[] = {
		{ "PlaySound", []( EFNewAudioMgr& a, u32 h ) { return a.PlaySound( h, 0 ); } },
		{ "StopSound", []( EFNewAudioMgr& a, u32 h ) { return a.StopSound( h ); } },
		{ "SetSoundMasterVolume", []( EFNewAudioMgr& a, u32 h ) { return a.SetSoundMasterVolume( h, 0.5f ); } },
		{ "IsSoundPlaying", []( EFNewAudioMgr& a, u32 h ) { return a.IsSoundPlaying( h ); } },
		{ "SetSoundPitch", []( EFNewAudioMgr& a, u32 h ) { return a.SetSoundPitch( h, 2.0f ); } },
		{ "ParentSoundToJoint", []( EFNewAudioMgr& a, u32 h ) { return a.ParentSoundToJoint( h, 1, 0 ); } },
		{ "SoundBelongsToSet", []( EFNewAudioMgr& a, u32 h ) { return a.SoundBelongsToSet( h, 1 ); } },
		{ "SoundCanBeKilled", []( EFNewAudioMgr& a, u32 h ) { return a.SoundCanBeKilled( h ); } },
		{ "SetSoundToOrphanState", []( EFNewAudioMgr& a, u32 h ) { return a.SetSoundToOrphanState( h ); } },
		{ "SetSoundHandleToAutoRelease", []( EFNewAudioMgr& a, u32 h ) { return a.SetSoundHandleToAutoRelease( h ); } },
	};
	for ( const Row& row : rows ) {
		for ( const u32 handle : { 0xFFFFFFFFu, EF_SOUND_HANDLE_COUNT, 3u } ) {
			SCOPED_TRACE( std::string( row.operation ) + " " + std::to_string( handle ) );
			gAudioReports.clear();
			EXPECT_FALSE( row.call( *audio, handle ) );
			ASSERT_EQ( gAudioReports.size(), 1u );
			EXPECT_EQ( gAudioReports[0], std::string( "EFNewAudioMgr_BC::" ) + row.operation +
											 " -- SoundHandle not setup to play! Aborting...\n" );
		}
	}
	audio->ReleaseSoundHandle( 0xFFFFFFFF );
	EXPECT_EQ( HandlesInUse(), 0u );
}

TEST_F( EFNewAudioMgrTest, GroupVolumesAreSetByMaskAndReadFromTheLowestGroup ) {
	audio->SetVolumeByGroup( 0x5, 0.5f );
	EXPECT_EQ( audio->mafGroupVolumes[0], 0.5f );
	EXPECT_EQ( audio->mafGroupVolumes[1], 1.0f );
	EXPECT_EQ( audio->mafGroupVolumes[2], 0.5f );
	EXPECT_EQ( audio->GetGroupVolume( 0x6 ), 1.0f );
	audio->SetVolumeByGroup( 0x80000002, 0.25f );
	EXPECT_EQ( audio->GetGroupVolume( 0x6 ), 0.25f );
	EXPECT_EQ( audio->GetGroupVolume( 0x80000000 ), 0.25f );
	EXPECT_EQ( audio->GetGroupVolume( 0 ), 1.0f );
	audio->InitGroupVolumes();
	EXPECT_EQ( audio->GetGroupVolume( 0x1 ), 1.0f );
}

TEST_F( EFNewAudioMgrTest, AnOrphanPlaysIn2DOnceAndFreesItsHandleWhenItEnds ) {
	const u32 handle = audio->PlayOrphanSoundEvent( EventId( 1, 1 ), 4 );
	ASSERT_NE( handle, EF_NO_SOUND_HANDLE );
	const structSoundHandle& slot = audio->maoHandles[handle];
	EXPECT_EQ( slot.ui8AutoRelease, 1u );
	EFSoundEvent* const event = static_cast<EFSoundEvent*>( slot.poSound );
	EXPECT_EQ( event->mpoRecord->mui32SpatialMode, EF_SPATIAL_2D );
	EXPECT_EQ( event->mpoRecord->mui32Instances, 1u );
	EXPECT_EQ( event->mui32NbChildren, 0u );
	// The table's record is untouched.
	EXPECT_EQ( audio->GetSoundEventData( EventId( 1, 1 ) )->mui32Instances, 3u );
	ASSERT_EQ( fakes[1][1]->plays.size(), 1u );
	EXPECT_EQ( fakes[1][1]->plays[0].playArg, 4u );
	Complete( fakes[1][1]->plays[0].completionId );
	EXPECT_EQ( slot.ui8InUse, 0u );
	EXPECT_EQ( event->mpoRecord, nullptr );
	EXPECT_EQ( audio->mppoActiveSoundEvent.GetCount(), 0u );
}

TEST_F( EFNewAudioMgrTest, OrphansWhoseStartFailsGiveTheirHandlesBack ) {
	fakes[1][0]->failStarts = true;
	for ( u32 i = 0; i < 150; i++ ) {
		ASSERT_EQ( audio->PlayOrphanSoundEvent( EventId( 1, 0 ), 0 ), EF_NO_SOUND_HANDLE ) << i;
	}
	EXPECT_EQ( HandlesInUse(), 0u );
	EXPECT_EQ( audio->mui32EventsInUse, 0u );
	EXPECT_EQ( audio->mppoActiveSoundEvent.GetCount(), 0u );
	EXPECT_TRUE( Reported( " ** SoundEvent PLAIN wasn't able to start playing!!! ** \n" ) );
	fakes[1][0]->failStarts = false;
	EXPECT_NE( audio->PlayOrphanSoundEvent( EventId( 1, 0 ), 0 ), EF_NO_SOUND_HANDLE );
}

TEST_F( EFNewAudioMgrTest, AnOrphanContainerPlaysAndKeepsNoCopyOfARecord ) {
	const u64 liveBefore = CountingNewCalls() - CountingDeleteCalls();
	const u32 handle = audio->PlayOrphanSoundEvent( ContainerId( 1, 0 ), 0 );
	ASSERT_NE( handle, EF_NO_SOUND_HANDLE );
	EXPECT_TRUE( audio->IsSoundPlaying( handle ) );
	ASSERT_EQ( fakes[1][0]->plays.size(), 1u );
	ASSERT_EQ( fakes[1][1]->plays.size(), 1u );
	Complete( fakes[1][0]->plays[0].completionId );
	EXPECT_EQ( audio->maoHandles[handle].ui8InUse, 1u );
	Complete( fakes[1][1]->plays[0].completionId );
	EXPECT_EQ( audio->maoHandles[handle].ui8InUse, 0u );
	EXPECT_EQ( CountingNewCalls() - CountingDeleteCalls(), liveBefore );
}

TEST_F( EFNewAudioMgrTest, AnExtraStopLeavesTheCountAtZeroAndTheHandleKept ) {
	const u32 handle = audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr );
	ASSERT_TRUE( audio->PlaySound( handle, 0 ) );
	EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 1u );
	Complete( fakes[1][0]->plays[0].completionId );
	EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u );
	audio->DecPlayingCounter( &audio->maoHandles[handle] );
	audio->StopSound( handle );
	EXPECT_EQ( audio->maoHandles[handle].ui32PlayingCount, 0u );
	// A later play still ends and frees an auto-release handle.
	audio->SetSoundHandleToAutoRelease( handle );
	audio->PlaySound( handle, 0 );
	Complete( fakes[1][0]->plays[1].completionId );
	EXPECT_EQ( audio->maoHandles[handle].ui8InUse, 0u );
}

TEST_F( EFNewAudioMgrTest, TheOcclusionBudgetRaisesTheMinimumAgeUntilTestsCrowdTheFrame ) {
	const s16 expected[] = { 1, 2, 3, 4, 5, 5 };
	for ( const s16 age : expected ) {
		audio->Update( 0.016f );
		EXPECT_EQ( audio->msiOcclusionMinAge, age );
	}
	struct Row {
		s16	tests;
		s16	age;
	};
	// Above 15 lowers, 12 (0.8 x 15) keeps, below raises.
	const Row rows[] = { { 16, 4 }, { 12, 4 }, { 11, 5 }, { 15, 5 }, { 40, 4 } };
	for ( const Row& row : rows ) {
		audio->msiOcclusionTestCount = row.tests;
		audio->Update( 0.016f );
		EXPECT_EQ( audio->msiOcclusionMinAge, row.age ) << row.tests;
		EXPECT_EQ( audio->msiOcclusionTestCount, 0 );
	}
}

TEST_F( EFNewAudioMgrTest, PauseAndResumeReachTheActiveEventsOfTheGroups ) {
	const u32 handle = audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr );
	audio->PlaySound( handle, 0 );
	EFSoundEvent* const event = static_cast<EFSoundEvent*>( audio->maoHandles[handle].poSound );
	audio->PauseSoundEvents( 0x2 );
	EXPECT_EQ( event->mui8Paused, 0u );
	audio->PauseSoundEvents( 0x3 );
	EXPECT_EQ( event->mui8Paused, 1u );
	EXPECT_FALSE( event->HasSoundReallyStarted() );
	audio->ResumeSoundEvents( 0x1 );
	EXPECT_EQ( event->mui8Paused, 0u );
	EXPECT_TRUE( event->HasSoundReallyStarted() );
}

TEST_F( EFNewAudioMgrTest, TerminateKillsEverySoundAndFreesEveryHandleAndBank ) {
	const u32 a = audio->GetSoundHandle( nullptr, EventId( 1, 0 ), nullptr );
	const u32 b = audio->GetSoundHandle( nullptr, ContainerId( 1, 0 ), nullptr );
	audio->PlaySound( a, 0 );
	audio->PlaySound( b, 0 );
	audio->Terminate();
	EXPECT_EQ( HandlesInUse(), 0u );
	EXPECT_EQ( audio->mui32EventsInUse, 0u );
	EXPECT_EQ( audio->mui32ContainersInUse, 0u );
	EXPECT_EQ( audio->mppoActiveSoundEvent.GetCount(), 0u );
	EXPECT_EQ( audio->GetBankCount(), 0u );
	EXPECT_EQ( audio->GetSoundEventData( EventId( 1, 0 ) ), nullptr );
}

}
