#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> delivered;

struct Tagged {
	const char*		name;
	bool			sawInterruptsEnabled;
};

void Record( void* context ) {
	Tagged* tagged = static_cast<Tagged*>( context );
	tagged->sawInterruptsEnabled = HostInterruptsEnabled();
	delivered.push_back( tagged->name );
}

class HostEventQueueTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		delivered.clear();
	}
	void TearDown() override {
		HostResetEvents();
	}
};

}

TEST_F( HostEventQueueTest, DeliversEventsInDueOrderAndPostingOrderAmongEqualTimes ) {
	Tagged late{ "late", true }, early{ "early", true }, tieFirst{ "tie1", true }, tieSecond{ "tie2", true };
	HostPostEventAt( 300, Record, &late );
	HostPostEventAt( 100, Record, &early );
	HostPostEventAt( 200, Record, &tieFirst );
	HostPostEventAt( 200, Record, &tieSecond );

	HostAdvanceTime( 250 );
	EXPECT_EQ( delivered, ( std::vector<std::string>{ "early", "tie1", "tie2" } ) );
	EXPECT_EQ( HostClockNow(), 250 );
	EXPECT_EQ( HostPendingEventCount(), 1u );

	HostAdvanceTime( 50 );
	EXPECT_EQ( delivered.back(), "late" );
	EXPECT_FALSE( late.sawInterruptsEnabled ) << "handlers run as interrupt handlers";
}

TEST_F( HostEventQueueTest, HoldsEventsWhileInterruptsAreDisabledEvenWhenNested ) {
	Tagged due{ "due", true };
	HostPostEventAt( 10, Record, &due );

	const BOOL outer = OSDisableInterrupts();
	const BOOL inner = OSDisableInterrupts();
	EXPECT_EQ( outer, 1 );
	EXPECT_EQ( inner, 0 );

	HostAdvanceTime( 100 );
	HostIdle();
	HostDeliverEvents();
	EXPECT_TRUE( delivered.empty() );
	EXPECT_EQ( HostClockNow(), 100 + HOST_IDLE_STEP_TICKS ) << "time still moves while nothing is delivered";

	OSRestoreInterrupts( inner );
	EXPECT_TRUE( delivered.empty() ) << "the inner restore leaves interrupts disabled";
	EXPECT_FALSE( HostInterruptsEnabled() );

	OSRestoreInterrupts( outer );
	EXPECT_EQ( delivered, std::vector<std::string>{ "due" } );
	EXPECT_TRUE( HostInterruptsEnabled() );
}

TEST_F( HostEventQueueTest, OnlyDeliversAtDefinedPoints ) {
	Tagged first{ "first", true };
	HostPostEventAt( 0, Record, &first );
	EXPECT_TRUE( delivered.empty() ) << "posting never delivers";
	EXPECT_EQ( OSGetTime(), 0 );
	EXPECT_TRUE( delivered.empty() ) << "reading the clock never delivers";

	HostDeliverEvents();
	EXPECT_EQ( delivered.size(), 1u );

	Tagged second{ "second", true };
	HostPostEventAt( 0, Record, &second );
	OSEnableInterrupts();
	EXPECT_EQ( delivered.size(), 1u ) << "enabling already-enabled interrupts is no transition";
	OSDisableInterrupts();
	OSEnableInterrupts();
	EXPECT_EQ( delivered.size(), 2u );
}

namespace {

struct Chain {
	s32		remaining;
	s32		depth;
	s32		maxDepth;
	s32		runs;
};

void ChainStep( void* context ) {
	Chain* chain = static_cast<Chain*>( context );
	++chain->depth;
	if ( chain->depth > chain->maxDepth ) {
		chain->maxDepth = chain->depth;
	}
	++chain->runs;
	if ( --chain->remaining > 0 ) {
		HostPostEventAfter( 0, ChainStep, chain );
		// An enable inside a handler must not run the new event nested.
		OSEnableInterrupts();
		OSDisableInterrupts();
	}
	--chain->depth;
}

}

TEST_F( HostEventQueueTest, RunsEventsPostedByAHandlerInTheSamePassWithoutNesting ) {
	Chain chain{ 5, 0, 0, 0 };
	HostPostEventAfter( 0, ChainStep, &chain );
	HostDeliverEvents();
	EXPECT_EQ( chain.runs, 5 );
	EXPECT_EQ( chain.maxDepth, 1 );
	EXPECT_EQ( HostPendingEventCount(), 0u );
}

TEST_F( HostEventQueueTest, IdleJumpsToTheNextEventOrByOneStep ) {
	Tagged target{ "target", true };
	HostPostEventAt( 5000000, Record, &target );
	HostIdle();
	EXPECT_EQ( HostClockNow(), 5000000 );
	EXPECT_EQ( delivered.size(), 1u );

	HostIdle();
	EXPECT_EQ( HostClockNow(), 5000000 + HOST_IDLE_STEP_TICKS );
	EXPECT_EQ( HostIdleCount(), 2u );
}

TEST_F( HostEventQueueTest, CancelledEventsNeverRun ) {
	Tagged gone{ "gone", true }, kept{ "kept", true };
	const HostEventId goneId = HostPostEventAt( 10, Record, &gone );
	HostPostEventAt( 10, Record, &kept );
	EXPECT_TRUE( HostCancelEvent( goneId ) );
	EXPECT_FALSE( HostCancelEvent( goneId ) );
	EXPECT_FALSE( HostCancelEvent( 0 ) );
	HostAdvanceTime( 10 );
	EXPECT_EQ( delivered, std::vector<std::string>{ "kept" } );
}

TEST_F( HostEventQueueTest, VirtualClockOnlyMovesForwardWhenTold ) {
	EXPECT_TRUE( HostClockIsVirtual() );
	EXPECT_EQ( OSGetTime(), 0 );
	HostAdvanceTime( HostSecondsToTicks( 2.0 ) );
	EXPECT_EQ( OSGetTime(), 2 * OS_TIMER_CLOCK );
	EXPECT_EQ( OSTicksToMilliseconds( OSGetTime() ), 2000 );
	HostAdvanceTime( -5 );
	EXPECT_EQ( OSGetTime(), 2 * OS_TIMER_CLOCK );
	EXPECT_EQ( OSGetTick(), static_cast<OSTick>( 2 * OS_TIMER_CLOCK ) );
}

TEST_F( HostEventQueueTest, RealClockAdvancesOnItsOwnFromTheCalendarTimeNow ) {
	HostClockUseReal();
	const OSTime first = OSGetTime();
	OSCalendarTime now;
	OSTicksToCalendarTime( first, &now );
	EXPECT_GE( now.year, 2024 );
	HostClockSleepUntil( first + OSMillisecondsToTicks( 2 ) );
	EXPECT_GE( OSGetTime(), first + OSMillisecondsToTicks( 2 ) );
	HostClockUseVirtual( 0 );
}

// The executable idles on the real clock with no cap of its own: the turn
// must sleep to the next event (or one step), never past a cap, and the
// cap must not overflow the deadline.
TEST_F( HostEventQueueTest, RealClockIdleSleepsToTheNextEventOrOneStepWithinItsCap ) {
	struct Row {
		const char*	name;
		s64			eventInMs;		// < 0: nothing pending
		s64			capMs;			// < 0: HostIdle, uncapped
		bool		delivered;
		s64			sleptAtLeastMs;
	};
	const Row rows[] = {
		{ "uncapped, event ahead", 5, -1, true, 5 },
		{ "uncapped, nothing pending", -1, -1, false, 1 },
		{ "capped below the event", 50, 2, false, 2 },
		{ "capped above the event", 3, 40, true, 3 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		HostResetEvents();
		delivered.clear();
		HostClockUseReal();
		const s64 start = HostClockNow();
		Tagged event{ "event", true };
		if ( row.eventInMs >= 0 ) {
			HostPostEventAt( start + HostMillisecondsToTicks( row.eventInMs ), Record, &event );
		}
		if ( row.capMs < 0 ) {
			HostIdle();
		} else {
			HostIdleAtMost( HostMillisecondsToTicks( row.capMs ) );
		}
		EXPECT_EQ( delivered.size(), row.delivered ? 1u : 0u );
		EXPECT_GE( HostClockNow() - start, HostMillisecondsToTicks( row.sleptAtLeastMs ) );
		HostClockUseVirtual( 0 );
	}
}
