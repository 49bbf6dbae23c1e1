#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/host/HostSettings.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What the retrace callbacks saw.
struct RetraceLog {
	std::vector<u32>	preCounts;
	std::vector<u32>	postCounts;
	std::vector<s64>	preTicks;
	bool				interruptsEverEnabled = false;
	bool				countMatched = true;
};

RetraceLog log;

void LogPre( const u32 count ) {
	log.preCounts.push_back( count );
	log.preTicks.push_back( HostClockNow() );
	log.interruptsEverEnabled |= HostInterruptsEnabled();
	log.countMatched &= count == VIGetRetraceCount();
}

void LogPost( const u32 count ) {
	log.postCounts.push_back( count );
	log.interruptsEverEnabled |= HostInterruptsEnabled();
}

class VITest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		VIHostReset();
		VIHostSetTvFormat( VI_NTSC );
		log = RetraceLog{};
	}

	void TearDown() override {
		VIHostReset();
		HostResetEvents();
	}
};

constexpr s64 ONE_SECOND = HOST_TIMER_CLOCK;

}

TEST_F( VITest, RunsBothCallbacksOncePerRetraceAtTheFormatsRate ) {
	const struct {
		u32	format;
		u32	perSecond;
	} cases[] = {
		{ VI_NTSC, 60 }, { VI_PAL, 50 }, { VI_MPAL, 60 }, { VI_EURGB60, 60 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.format );
		VIHostReset();
		log = RetraceLog{};
		VIHostSetTvFormat( c.format );
		VIInit();
		VISetPreRetraceCallback( LogPre );
		VISetPostRetraceCallback( LogPost );

		const s64 start = HostClockNow();
		HostAdvanceTime( ONE_SECOND );
		EXPECT_EQ( log.preCounts.size(), c.perSecond );
		EXPECT_EQ( log.postCounts, log.preCounts );
		HostAdvanceTime( 9 * ONE_SECOND );
		ASSERT_EQ( log.preCounts.size(), 10 * c.perSecond );
		for ( u32 i = 0; i < log.preCounts.size(); ++i ) {
			EXPECT_EQ( log.preCounts[i], i + 1 );
		}
		EXPECT_EQ( VIGetRetraceCount(), 10 * c.perSecond );
		EXPECT_EQ( log.preTicks.back(), start + 10 * ONE_SECOND );
		EXPECT_FALSE( log.interruptsEverEnabled );
		EXPECT_TRUE( log.countMatched );
	}
}

TEST_F( VITest, KeepsEveryRetraceOnItsGridWhateverTheSteps ) {
	VIInit();
	VISetPreRetraceCallback( LogPre );
	// Steps that share no factor with the retrace period, an hour in all.
	const s64 steps[] = { 1, 333333, 7, 1000003, 12345 };
	s64 advanced = 0;
	u32 turn = 0;
	while ( advanced < 3600 * ONE_SECOND ) {
		const s64 step = steps[turn++ % 5] * 97;
		HostAdvanceTime( step );
		advanced += step;
	}
	ASSERT_FALSE( log.preTicks.empty() );
	for ( u32 i = 0; i < log.preTicks.size(); i += 997 ) {
		EXPECT_EQ( log.preTicks[i], static_cast<s64>( i + 1 ) * ONE_SECOND / 60 );
	}
	EXPECT_EQ( VIGetRetraceCount(), static_cast<u32>( advanced * 60 / ONE_SECOND ) );
}

TEST_F( VITest, ReturnsThePreviousCallbackWhenInstallingOne ) {
	EXPECT_EQ( VISetPreRetraceCallback( LogPre ), nullptr );
	EXPECT_EQ( VISetPreRetraceCallback( LogPost ), LogPre );
	EXPECT_EQ( VISetPreRetraceCallback( nullptr ), LogPost );
	EXPECT_EQ( VISetPostRetraceCallback( LogPost ), nullptr );
	EXPECT_EQ( VISetPostRetraceCallback( nullptr ), LogPost );
}

TEST_F( VITest, WaitForRetraceReturnsAfterExactlyOneRetrace ) {
	VIInit();
	const s64 period = ONE_SECOND / 60;
	// Start just after a retrace, half-way to the next, one tick before it,
	// and with interrupts disabled by the caller.
	const struct {
		s64		offset;
		bool	interruptsDisabled;
	} cases[] = {
		{ 0, false }, { period / 2, false }, { period - 1, false }, { period / 3, true },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.offset );
		HostAdvanceTime( c.offset );
		const u32 before = VIGetRetraceCount();
		const s64 nextDue = ( before + 1 ) * period;
		const BOOL level = c.interruptsDisabled ? OSDisableInterrupts() : OSEnableInterrupts();
		VIWaitForRetrace();
		EXPECT_EQ( HostInterruptsEnabled(), !c.interruptsDisabled );
		OSRestoreInterrupts( level );
		EXPECT_EQ( VIGetRetraceCount(), before + 1 );
		EXPECT_EQ( HostClockNow(), nextDue );
	}
}

TEST_F( VITest, AWaitThatStartsLateTakesTheRetraceAlreadyDue ) {
	// A host that fell behind (the real clock under load) starts the wait
	// past the due time and its grace: the retrace waiting is delivered,
	// not given up.
	static u32 reports;
	reports = 0;
	const OSHostReportHook previous = OSHostSetReportHook( []( const char* ) { ++reports; } );
	VIInit();
	const u32 before = VIGetRetraceCount();
	HostClockSet( HostClockNow() + 4 * ONE_SECOND / 60 );
	VIWaitForRetrace();
	OSHostSetReportHook( previous );
	EXPECT_EQ( VIGetRetraceCount(), before + 1 );
	EXPECT_EQ( reports, 0u );
}

TEST_F( VITest, WaitForRetraceDoesNotHangWhenNoRetraceCanArrive ) {
	// Before VIInit there are no retraces at all.
	VIWaitForRetrace();
	EXPECT_EQ( VIGetRetraceCount(), 0u );

	// From inside a retrace callback the next retrace cannot be delivered.
	static u32 waitsDone;
	waitsDone = 0;
	VIInit();
	VISetPostRetraceCallback( []( u32 ) {
		if ( waitsDone == 0 ) {
			VIWaitForRetrace();
			++waitsDone;
		}
	} );
	HostAdvanceTime( ONE_SECOND );
	EXPECT_EQ( waitsDone, 1u );
	EXPECT_GE( VIGetRetraceCount(), 50u );
}

TEST_F( VITest, ShowsTheNextFrameBufferOnlyAfterAFlushAndARetrace ) {
	static u8 first[64];
	static u8 second[64];
	VIInit();
	EXPECT_EQ( VIGetNextFrameBuffer(), nullptr );
	EXPECT_EQ( VIGetCurrentFrameBuffer(), nullptr );
	EXPECT_TRUE( VIHostIsBlack() );

	VISetNextFrameBuffer( first );
	EXPECT_EQ( VIGetNextFrameBuffer(), first );
	VIWaitForRetrace();
	EXPECT_EQ( VIGetCurrentFrameBuffer(), nullptr ) << "set without a flush";

	VIFlush();
	EXPECT_EQ( VIGetCurrentFrameBuffer(), nullptr ) << "flushed but no retrace yet";
	VIWaitForRetrace();
	EXPECT_EQ( VIGetCurrentFrameBuffer(), first );
	EXPECT_TRUE( VIHostIsBlack() ) << "the black-out holds until it is lifted";

	VISetNextFrameBuffer( second );
	VISetBlack( 0 );
	VIFlush();
	EXPECT_EQ( VIGetCurrentFrameBuffer(), first );
	EXPECT_TRUE( VIHostIsBlack() );
	VIWaitForRetrace();
	EXPECT_EQ( VIGetCurrentFrameBuffer(), second );
	EXPECT_FALSE( VIHostIsBlack() );

	// A flush applies once; a later change needs another.
	VISetNextFrameBuffer( first );
	VIWaitForRetrace();
	EXPECT_EQ( VIGetCurrentFrameBuffer(), second );
}

TEST_F( VITest, ShowsABufferFlushedByThePreRetraceCallbackAtThatRetrace ) {
	static u8 buffer[64];
	static void* shownAfterPre;
	shownAfterPre = nullptr;
	VIInit();
	VISetPreRetraceCallback( []( u32 ) {
		VISetNextFrameBuffer( buffer );
		VIFlush();
	} );
	VISetPostRetraceCallback( []( u32 ) { shownAfterPre = VIGetCurrentFrameBuffer(); } );
	VIWaitForRetrace();
	EXPECT_EQ( shownAfterPre, buffer );
	EXPECT_EQ( VIGetCurrentFrameBuffer(), buffer );
}

TEST_F( VITest, ASecondInitKeepsOneSchedule ) {
	VIInit();
	HostAdvanceTime( ONE_SECOND / 7 );
	VIInit();
	VISetPreRetraceCallback( LogPre );
	HostAdvanceTime( ONE_SECOND );
	EXPECT_EQ( log.preCounts.size(), 60u );
	EXPECT_EQ( HostPendingEventCount(), 1u );
}

TEST_F( VITest, ConfiguringAModeOfAnotherRateSwitchesFromTheNextRetrace ) {
	VIInit();
	EXPECT_EQ( VIHostRetracesPerSecond(), 60u );
	HostAdvanceTime( ONE_SECOND / 120 );	// half-way to the first retrace
	EXPECT_EQ( VIHostGetConfiguredMode(), nullptr );

	VIConfigure( &GXPal528IntDf );
	ASSERT_NE( VIHostGetConfiguredMode(), nullptr );
	EXPECT_EQ( VIHostGetConfiguredMode()->viTVmode, VI_TVMODE_PAL_INT );
	EXPECT_EQ( VIHostRetracesPerSecond(), 50u );

	VISetPreRetraceCallback( LogPre );
	HostAdvanceTime( ONE_SECOND / 120 + ONE_SECOND );
	ASSERT_EQ( log.preTicks.size(), 51u );
	EXPECT_EQ( log.preTicks[0], ONE_SECOND / 60 ) << "the pending retrace keeps its time";
	EXPECT_EQ( log.preTicks[50], ONE_SECOND / 60 + ONE_SECOND );

	VIConfigure( &GXNtsc480IntDf );
	EXPECT_EQ( VIHostRetracesPerSecond(), 60u );
	VIConfigure( nullptr );
	EXPECT_EQ( VIHostGetConfiguredMode()->viTVmode, VI_TVMODE_NTSC_INT );
}

TEST_F( VITest, ReportsTheTvFormatOfTheHostSettingUnlessForced ) {
	VIHostReset();
	const HostSettings saved = HostGetSettings();
	const HostTvFormat formats[] = { HOST_TV_NTSC, HOST_TV_PAL, HOST_TV_MPAL, HOST_TV_EURGB60 };
	for ( const HostTvFormat format : formats ) {
		HostSettings settings = saved;
		settings.tvFormat = format;
		HostSettingsOverride( settings );
		EXPECT_EQ( VIGetTvFormat(), static_cast<u32>( format ) );
	}
	VIHostSetTvFormat( 3 );
	EXPECT_EQ( VIGetTvFormat(), 3u );
	HostSettingsOverride( saved );
}

TEST_F( VITest, AlternatesFieldsOnlyInInterlacedModes ) {
	VIInit();
	VIConfigure( &GXNtsc480IntDf );
	u32 fields[4];
	for ( u32& field : fields ) {
		field = VIGetNextField();
		VIWaitForRetrace();
	}
	EXPECT_EQ( fields[0], VI_FIELD_ABOVE );
	EXPECT_EQ( fields[1], VI_FIELD_BELOW );
	EXPECT_EQ( fields[2], VI_FIELD_ABOVE );
	EXPECT_EQ( fields[3], VI_FIELD_BELOW );

	GXRenderModeObj progressive = GXNtsc480IntDf;
	progressive.viTVmode = VI_TVMODE_NTSC_PROG;
	VIConfigure( &progressive );
	for ( u32 i = 0; i < 3; ++i ) {
		EXPECT_EQ( VIGetNextField(), VI_FIELD_ABOVE );
		VIWaitForRetrace();
	}
}

TEST_F( VITest, DropsRetracesMissedWhileInterruptsWereDisabled ) {
	VIInit();
	VISetPreRetraceCallback( LogPre );
	const BOOL level = OSDisableInterrupts();
	HostAdvanceTime( ONE_SECOND / 2 );
	EXPECT_EQ( VIGetRetraceCount(), 0u );
	OSRestoreInterrupts( level );
	EXPECT_EQ( VIGetRetraceCount(), 1u ) << "one pending interrupt, not thirty";

	// The schedule goes on from the grid.
	HostAdvanceTime( ONE_SECOND / 2 );
	ASSERT_EQ( log.preTicks.size(), 31u );
	EXPECT_EQ( log.preTicks[1], 31 * ONE_SECOND / 60 );
	EXPECT_EQ( log.preTicks[30], 60 * ONE_SECOND / 60 );
}
