#include "CountingNew.h"

#include "framework/core/world/EFNotificationMgr.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Caller data of the test callbacks: a tag and what the callback does.
struct Listener {
	u32					tag;
	s32					result;
};

struct Call {
	u32					tag;
	void*				event;
};

std::vector<Call>		gCalls;

// The manager under test, for callbacks that act on it.
EFNotificationMgr*		gManager = nullptr;

s32 Record( void* caller, void* event ) {
	const Listener* const listener = static_cast<const Listener*>( caller );
	gCalls.push_back( { listener->tag, event } );
	return listener->result;
}

// Caller data as the manager expects it: a raw block of its own.
void* NewListener( const u32 tag, const s32 result = 0 ) {
	Listener* const listener = static_cast<Listener*>( NewWatchedBlock( sizeof( Listener ) ) );
	listener->tag = tag;
	listener->result = result;
	return listener;
}

s32 Ignore( void*, void* ) {
	return 0;
}

std::vector<u32> CalledTags() {
	std::vector<u32> tags;
	for ( const Call& call : gCalls ) {
		tags.push_back( call.tag );
	}
	return tags;
}

class EFNotificationMgrTest : public ::testing::Test {
protected:
	void SetUp() override {
		gCalls.clear();
		WatchReset();
		manager = std::make_unique<EFNotificationMgr>();
		gManager = manager.get();
	}

	void TearDown() override {
		manager.reset();
		gManager = nullptr;
		// Nothing handed to the manager outlives it.
		EXPECT_EQ( WatchedLive(), 0u );
	}

	std::unique_ptr<EFNotificationMgr>	manager;
};

TEST_F( EFNotificationMgrTest, TheRegistrationPoolGrowsByChunksUpToItsLimitAndRefusesThe801st ) {
	struct Row {
		u32		registrations;
		u32		allocated;
	};
	// Rows run in order, each adding registrations up to its count.
	const Row rows[] = { { 1, 200 }, { 200, 200 }, { 201, 400 }, { 600, 600 }, { 800, 800 } };
	u32 made = 0;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.registrations );
		for ( ; made < row.registrations; made++ ) {
			ASSERT_NE( manager->RegisterNotify( NO_TIMER, made, 0, Record, NewListener( made ) ), nullptr );
		}
		EXPECT_EQ( manager->GetRegistrationPool().GetNbAllocated(), row.allocated );
	}
	EXPECT_EQ( manager->RegisterNotify( NO_TIMER, 9999, 0, Record, NewListener( 9999 ) ), nullptr );
	EXPECT_EQ( WatchedFreed(), 1u );
	EXPECT_EQ( manager->GetTargetCount( NO_TIMER ), 800u );
}

TEST_F( EFNotificationMgrTest, AfterClearingAllEightHundredNewRegistrationsAreDistinctWithoutGrowth ) {
	for ( u32 i = 0; i < EF_NOTIFY_MAX_REGISTRATIONS; i++ ) {
		ASSERT_NE( manager->RegisterNotify( NO_CLIPCHANGE, i, 7, Record, NewListener( i ) ), nullptr );
	}
	manager->ClearAllNotification();
	EXPECT_EQ( WatchedFreed(), EF_NOTIFY_MAX_REGISTRATIONS );
	EXPECT_EQ( manager->GetTargetCount( NO_CLIPCHANGE ), 0u );
	std::set<EFNotificationData*> seen;
	for ( u32 i = 0; i < EF_NOTIFY_MAX_REGISTRATIONS; i++ ) {
		EFNotificationData* const registration =
			manager->RegisterNotify( static_cast<EFNotifyType_e>( i % NO_MAX ), i, 1, Record, NewListener( i ) );
		ASSERT_NE( registration, nullptr ) << i;
		seen.insert( registration );
	}
	EXPECT_EQ( seen.size(), EF_NOTIFY_MAX_REGISTRATIONS );
	EXPECT_EQ( manager->GetRegistrationPool().GetNbAllocated(), EF_NOTIFY_MAX_REGISTRATIONS );
}

TEST_F( EFNotificationMgrTest, AGivenBackRegistrationIsTheNextOneHandedOut ) {
	manager->RegisterNotify( NO_TIMER, 1, 1, Record, NewListener( 1 ) );
	EFNotificationData* const second = manager->RegisterNotify( NO_TIMER, 2, 1, Record, NewListener( 2 ) );
	manager->RegisterNotify( NO_TIMER, 3, 1, Record, NewListener( 3 ) );
	manager->UnregisterNotify( NO_TIMER, 2, 1 );
	EXPECT_EQ( manager->RegisterNotify( NO_WATER, 4, 1, Record, NewListener( 4 ) ), second );
}

TEST_F( EFNotificationMgrTest, RegisteringTheSameSenderAgainReplacesCallbackAndFreesTheOldData ) {
	EFNotificationData* const first = manager->RegisterNotify( NO_TIMER, 5, 9, Record, NewListener( 1 ) );
	EFNotificationData* const again = manager->RegisterNotify( NO_TIMER, 5, 9, Record, NewListener( 2 ) );
	EXPECT_EQ( again, first );
	EXPECT_EQ( WatchedFreed(), 1u );
	// Handing the data it already holds keeps it.
	EXPECT_EQ( manager->RegisterNotify( NO_TIMER, 5, 9, Record, first->pCallerData ), first );
	EXPECT_EQ( WatchedFreed(), 1u );
	manager->Notify( NO_TIMER, 5, 9, nullptr, false );
	EXPECT_EQ( CalledTags(), std::vector<u32>{ 2 } );
}

TEST_F( EFNotificationMgrTest, ImmediateNotifyReachesOnlyTheRegistrationOfItsSender ) {
	manager->RegisterNotify( NO_SLIDE, 5, 100, Record, NewListener( 100 ) );
	manager->RegisterNotify( NO_SLIDE, 5, 200, Record, NewListener( 200 ) );
	manager->RegisterNotify( NO_SLIDE, 6, 100, Record, NewListener( 600 ) );
	struct Row {
		EFNotifyType_e		type;
		u32					target;
		u32					sender;
		std::vector<u32>	called;
	};
	const Row rows[] = {
		{ NO_SLIDE, 5, 100, { 100 } },
		{ NO_SLIDE, 5, 200, { 200 } },
		{ NO_SLIDE, 6, 100, { 600 } },
		{ NO_SLIDE, 5, 300, {} },
		{ NO_SLIDE, 7, 100, {} },
		{ NO_WATER, 5, 100, {} },
	};
	int event = 0;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::to_string( row.target ) + "/" + std::to_string( row.sender ) );
		gCalls.clear();
		manager->Notify( row.type, row.target, row.sender, &event, false );
		EXPECT_EQ( CalledTags(), row.called );
		for ( const Call& call : gCalls ) {
			EXPECT_EQ( call.event, &event );
		}
	}
}

TEST_F( EFNotificationMgrTest, UnregisteringRemovesOneRegistrationAndTheTargetWithItsLast ) {
	struct Row {
		const char*		name;
		u32				target;
		u32				sender;
		u32				freed;
		u32				targets;
	};
	// Rows run in order on targets 1 (senders 10, 11) and 2 (sender 10).
	const Row rows[] = {
		{ "unknown sender", 1, 12, 0, 2 },
		{ "unknown target", 3, 10, 0, 2 },
		{ "one of two senders", 1, 10, 1, 2 },
		{ "the last sender", 1, 11, 2, 1 },
		{ "again", 1, 11, 2, 1 },
	};
	manager->RegisterNotify( NO_INPUT_ERROR, 1, 10, Record, NewListener( 1 ) );
	manager->RegisterNotify( NO_INPUT_ERROR, 1, 11, Record, NewListener( 2 ) );
	manager->RegisterNotify( NO_INPUT_ERROR, 2, 10, Record, NewListener( 3 ) );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		manager->UnregisterNotify( NO_INPUT_ERROR, row.target, row.sender );
		EXPECT_EQ( WatchedFreed(), row.freed );
		EXPECT_EQ( manager->GetTargetCount( NO_INPUT_ERROR ), row.targets );
	}
	manager->Notify( NO_INPUT_ERROR, 2, 10, nullptr, false );
	EXPECT_EQ( CalledTags(), std::vector<u32>{ 3 } );
}

TEST_F( EFNotificationMgrTest, UnregisteringAnOwnerRemovesItFromEveryTypeAndNothingElse ) {
	for ( u32 type = 0; type < NO_MAX; type++ ) {
		manager->RegisterNotify( static_cast<EFNotifyType_e>( type ), 42, 1, Record, NewListener( type ) );
		manager->RegisterNotify( static_cast<EFNotifyType_e>( type ), 42, 2, Record, NewListener( type ) );
		manager->RegisterNotify( static_cast<EFNotifyType_e>( type ), 43, 1, Record, NewListener( type ) );
	}
	manager->UnregisterAllOwnerNotify( 42 );
	EXPECT_EQ( WatchedFreed(), 2 * NO_MAX );
	for ( u32 type = 0; type < NO_MAX; type++ ) {
		EXPECT_EQ( manager->GetTargetCount( static_cast<EFNotifyType_e>( type ) ), 1u );
	}
	manager->NotifyAll( NO_CUTSCENE, nullptr );
	EXPECT_EQ( CalledTags(), std::vector<u32>{ NO_CUTSCENE } );
}

TEST_F( EFNotificationMgrTest, ACallbackResultOfOneOrMoreUnregistersItAfterTheCall ) {
	struct Row {
		s32		result;
		u32		callsOfTwoNotifies;
		bool	stays;
	};
	const Row rows[] = { { 0, 2, true }, { -1, 2, true }, { 1, 1, false }, { 5, 1, false } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.result );
		gCalls.clear();
		manager->RegisterNotify( NO_TIMER, 1, 1, Record, NewListener( 1, row.result ) );
		manager->Notify( NO_TIMER, 1, 1, nullptr, false );
		manager->Notify( NO_TIMER, 1, 1, nullptr, false );
		EXPECT_EQ( gCalls.size(), row.callsOfTwoNotifies );
		EXPECT_EQ( manager->GetTargetCount( NO_TIMER ), row.stays ? 1u : 0u );
		// The same rule holds for NotifyAll.
		manager->RegisterNotify( NO_PRELOGIC, 1, 1, Record, NewListener( 1, row.result ) );
		manager->NotifyAll( NO_PRELOGIC, nullptr );
		EXPECT_EQ( manager->GetTargetCount( NO_PRELOGIC ), row.stays ? 1u : 0u );
		manager->ClearAllNotification();
	}
}

s32 NotifyDeferredAgain( void* caller, void* event ) {
	Record( caller, event );
	gManager->Notify( NO_TIMER, 1, 1, nullptr, true );
	return 0;
}

TEST_F( EFNotificationMgrTest, ADeferredNotificationRaisedDuringAFlushWaitsForTheNextFlush ) {
	manager->RegisterNotify( NO_TIMER, 1, 1, NotifyDeferredAgain, NewListener( 1 ) );
	manager->Notify( NO_TIMER, 1, 1, nullptr, true );
	EXPECT_TRUE( gCalls.empty() );
	manager->FlushNotification();
	EXPECT_EQ( gCalls.size(), 1u );
	manager->FlushNotification();
	EXPECT_EQ( gCalls.size(), 2u );
}

TEST_F( EFNotificationMgrTest, TheFlushDeliversInQueueOrder ) {
	manager->RegisterNotify( NO_TIMER, 1, 1, Record, NewListener( 11 ) );
	manager->RegisterNotify( NO_TIMER, 2, 1, Record, NewListener( 21 ) );
	manager->RegisterNotify( NO_WATER, 1, 3, Record, NewListener( 13 ) );
	manager->Notify( NO_TIMER, 2, 1, nullptr, true );
	manager->Notify( NO_WATER, 1, 3, nullptr, true );
	manager->Notify( NO_TIMER, 1, 1, nullptr, true );
	manager->FlushNotification();
	EXPECT_EQ( CalledTags(), ( std::vector<u32>{ 21, 13, 11 } ) );
}

TEST_F( EFNotificationMgrTest, TheFlushFreesEventDataUnlessTheSenderKeepsIt ) {
	struct Row {
		EFNotifyType_e	type;
		bool			registered;
		bool			freed;
	};
	const Row rows[] = {
		{ NO_ANIMATION_STOP, true, false },
		{ NO_ANIMATION_LAST_FRAME, true, false },
		{ NO_CLIPCHANGE, true, true },
		{ NO_CLIPCHANGE, false, true },
		{ NO_EMITTER_CLIPPED, false, true },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::to_string( row.type ) + ( row.registered ? " registered" : " unheard" ) );
		WatchReset();
		if ( row.registered ) {
			manager->RegisterNotify( row.type, 8, 9, Ignore, nullptr );
		}
		void* const data = NewWatchedBlock( 16 );
		manager->Notify( row.type, 8, 9, data, true );
		manager->FlushNotification();
		EXPECT_EQ( WatchedFreed(), row.freed ? 1u : 0u );
		if ( !row.freed ) {
			::operator delete( data );
		}
		manager->UnregisterAllOwnerNotify( 8 );
	}
}

TEST_F( EFNotificationMgrTest, TheQueueHoldsFourHundredAndFreesTheDataOfTheOnesItDrops ) {
	for ( u32 i = 0; i < EF_NOTIFY_MAX_QUEUED; i++ ) {
		manager->Notify( NO_PROXIMITYCLIPCHANGE, i, 0, nullptr, true );
	}
	EXPECT_EQ( manager->GetQueuePool().GetNbAllocated(), EF_NOTIFY_MAX_QUEUED );
	manager->Notify( NO_CLIPCHANGE, 1, 0, NewWatchedBlock( 8 ), true );
	EXPECT_EQ( WatchedFreed(), 1u );
	// Dropped data of a type whose sender keeps it stays the sender's.
	void* const kept = NewWatchedBlock( 8 );
	manager->Notify( NO_ANIMATION_STOP, 1, 0, kept, true );
	EXPECT_EQ( WatchedFreed(), 1u );
	::operator delete( kept );
	manager->RegisterNotify( NO_PROXIMITYCLIPCHANGE, 399, 0, Record, NewListener( 399 ) );
	manager->FlushNotification();
	EXPECT_EQ( CalledTags(), std::vector<u32>{ 399 } );
	// Once flushed the queue takes events again from its own chunks.
	manager->Notify( NO_CLIPCHANGE, 1, 0, nullptr, true );
	EXPECT_EQ( manager->GetQueuePool().GetNbAllocated(), EF_NOTIFY_MAX_QUEUED );
}

TEST_F( EFNotificationMgrTest, NotifyAllCallsOnlyTheNewestRegistrationOfEachTargetInBucketOrder ) {
	// Targets 38 and 1 share bucket 1, newest first; 2 is in bucket 2.
	manager->RegisterNotify( NO_PRELOGIC, 2, 1, Record, NewListener( 21 ) );
	manager->RegisterNotify( NO_PRELOGIC, 1, 1, Record, NewListener( 11 ) );
	manager->RegisterNotify( NO_PRELOGIC, 1, 2, Record, NewListener( 12 ) );
	manager->RegisterNotify( NO_PRELOGIC, 38, 1, Record, NewListener( 381 ) );
	int event = 0;
	manager->NotifyAll( NO_PRELOGIC, &event );
	EXPECT_EQ( CalledTags(), ( std::vector<u32>{ 381, 12, 21 } ) );
	EXPECT_EQ( gCalls[0].event, &event );
}

s32 DropTargetTwo( void* caller, void* event ) {
	Record( caller, event );
	gManager->UnregisterAllOwnerNotify( 2 );
	gManager->RegisterNotify( NO_POSTLOGIC, 3, 1, Record, NewListener( 31 ) );
	return 0;
}

TEST_F( EFNotificationMgrTest, NotifyAllSkipsTargetsACallbackRemovedAndThoseItAdded ) {
	manager->RegisterNotify( NO_POSTLOGIC, 1, 1, DropTargetTwo, NewListener( 11 ) );
	manager->RegisterNotify( NO_POSTLOGIC, 2, 1, Record, NewListener( 21 ) );
	manager->NotifyAll( NO_POSTLOGIC, nullptr );
	EXPECT_EQ( CalledTags(), std::vector<u32>{ 11 } );
	gCalls.clear();
	manager->UnregisterNotify( NO_POSTLOGIC, 1, 1 );
	manager->NotifyAll( NO_POSTLOGIC, nullptr );
	EXPECT_EQ( CalledTags(), std::vector<u32>{ 31 } );
}

s32 AnnounceCutScene( void* caller, void* event ) {
	Record( caller, event );
	gManager->NotifyAll( NO_CUTSCENE, nullptr );
	return 0;
}

TEST_F( EFNotificationMgrTest, ACallbackMayNotifyAllOfAnotherTypeInsideAWalk ) {
	// Enough targets to make the walk storage grow under the outer walk.
	for ( u32 target = 0; target < 100; target++ ) {
		manager->RegisterNotify( NO_PRELOGIC, target, 1, target == 0 ? AnnounceCutScene : Record, NewListener( target ) );
		manager->RegisterNotify( NO_CUTSCENE, target, 1, Record, NewListener( 1000 + target ) );
	}
	manager->NotifyAll( NO_PRELOGIC, nullptr );
	const std::vector<u32> tags = CalledTags();
	ASSERT_EQ( tags.size(), 200u );
	// The inner walk runs whole right after the announcer, then the outer
	// walk goes on.
	size_t announcer = 0;
	while ( announcer < tags.size() && tags[announcer] != 0 ) {
		announcer++;
	}
	ASSERT_LT( announcer, 100u );
	const std::set<u32> inner( tags.begin() + static_cast<long>( announcer ) + 1,
							   tags.begin() + static_cast<long>( announcer ) + 101 );
	EXPECT_EQ( inner.size(), 100u );
	EXPECT_EQ( *inner.begin(), 1000u );
	EXPECT_EQ( *inner.rbegin(), 1099u );
	std::set<u32> outer( tags.begin(), tags.begin() + static_cast<long>( announcer ) + 1 );
	outer.insert( tags.begin() + static_cast<long>( announcer ) + 101, tags.end() );
	EXPECT_EQ( outer.size(), 100u );
	EXPECT_EQ( *outer.rbegin(), 99u );
}

TEST_F( EFNotificationMgrTest, NotifyAllAndTheQueueAllocateNothingOnceWarm ) {
	for ( u32 target = 0; target < EF_NOTIFY_MAX_REGISTRATIONS; target++ ) {
		manager->RegisterNotify( target % 2 == 0 ? NO_PRELOGIC : NO_CLIPCHANGE, target, 1, Record, NewListener( target ) );
	}
	gCalls.reserve( 2 * EF_NOTIFY_MAX_REGISTRATIONS );
	manager->NotifyAll( NO_PRELOGIC, nullptr );
	for ( u32 i = 0; i < EF_NOTIFY_MAX_QUEUED; i++ ) {
		manager->Notify( NO_ANIMATION_STOP, 2 * i + 1, 1, nullptr, true );
	}
	manager->FlushNotification();
	const u32 registrationsAllocated = manager->GetRegistrationPool().GetNbAllocated();
	const u32 queueAllocated = manager->GetQueuePool().GetNbAllocated();
	gCalls.clear();
	const u64 before = CountingNewCalls();
	for ( u32 round = 0; round < 3; round++ ) {
		manager->NotifyAll( NO_PRELOGIC, nullptr );
		for ( u32 i = 0; i < EF_NOTIFY_MAX_QUEUED; i++ ) {
			manager->Notify( NO_ANIMATION_STOP, 2 * i + 1, 1, nullptr, true );
		}
		manager->FlushNotification();
	}
	EXPECT_EQ( CountingNewCalls(), before );
	EXPECT_EQ( gCalls.size(), 3 * EF_NOTIFY_MAX_REGISTRATIONS / 2 );
	EXPECT_EQ( manager->GetRegistrationPool().GetNbAllocated(), registrationsAllocated );
	EXPECT_EQ( manager->GetQueuePool().GetNbAllocated(), queueAllocated );
}

TEST_F( EFNotificationMgrTest, ClearingAllRegistrationsLeavesTheQueueForTheNextFlush ) {
	manager->RegisterNotify( NO_TIMER, 1, 1, Record, NewListener( 1 ) );
	manager->Notify( NO_TIMER, 1, 1, NewWatchedBlock( 4 ), true );
	manager->ClearAllNotification();
	EXPECT_EQ( WatchedFreed(), 1u );
	manager->RegisterNotify( NO_TIMER, 1, 1, Record, NewListener( 2 ) );
	manager->FlushNotification();
	EXPECT_EQ( CalledTags(), std::vector<u32>{ 2 } );
	EXPECT_EQ( WatchedFreed(), 2u );
}

TEST_F( EFNotificationMgrTest, TypesOutOfRangeAreRefusedAndTheirBlocksFreed ) {
	const EFNotifyType_e bad = static_cast<EFNotifyType_e>( NO_MAX );
	EXPECT_EQ( manager->RegisterNotify( bad, 1, 1, Record, NewListener( 1 ) ), nullptr );
	manager->Notify( bad, 1, 1, NewWatchedBlock( 4 ), true );
	manager->Notify( bad, 1, 1, nullptr, false );
	manager->NotifyAll( static_cast<EFNotifyType_e>( 0xFFFFFFFF ), nullptr );
	manager->UnregisterNotify( bad, 1, 1 );
	EXPECT_EQ( WatchedFreed(), 2u );
	EXPECT_EQ( manager->GetTargetCount( bad ), 0u );
	EXPECT_EQ( manager->GetQueuePool().GetNbAllocated(), 0u );
	EXPECT_TRUE( gCalls.empty() );
}

TEST_F( EFNotificationMgrTest, DestroyingTheManagerFreesCallerDataAndQueuedEventData ) {
	manager->RegisterNotify( NO_TIMER, 1, 1, Record, NewListener( 1 ) );
	manager->RegisterNotify( NO_WATER, 2, 1, Record, NewListener( 2 ) );
	manager->Notify( NO_CLIPCHANGE, 1, 1, NewWatchedBlock( 4 ), true );
	manager.reset();
	EXPECT_EQ( WatchedFreed(), 3u );
	EXPECT_TRUE( gCalls.empty() );
}

}
