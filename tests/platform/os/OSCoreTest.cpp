#include "platform/host/HostArena.h"
#include "platform/host/HostSettings.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"
#include "platform/runtime/RuntimeRand.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

TEST( OSTime, ConvertsTicksToCalendarTimeAcrossLeapDaysAndTheEpoch ) {
	const struct {
		s64		seconds;	// since 2000-01-01 00:00:00
		s32		year, mon, mday, hour, min, sec, wday, yday;
	} cases[] = {
		{ 0, 2000, 0, 1, 0, 0, 0, 6, 0 },
		{ 762566398, 2024, 1, 29, 23, 59, 58, 4, 59 },
		{ 849940215, 2026, 11, 7, 6, 30, 15, 1, 340 },
		{ -3600, 1999, 11, 31, 23, 0, 0, 5, 364 },
	};
	for ( const auto& c : cases ) {
		OSCalendarTime td;
		OSTicksToCalendarTime( OSSecondsToTicks( c.seconds ) + OSMillisecondsToTicks( 123 ) + OSMicrosecondsToTicks( 456 ), &td );
		EXPECT_EQ( td.year, c.year ) << c.seconds;
		EXPECT_EQ( td.mon, c.mon ) << c.seconds;
		EXPECT_EQ( td.mday, c.mday ) << c.seconds;
		EXPECT_EQ( td.hour, c.hour ) << c.seconds;
		EXPECT_EQ( td.min, c.min ) << c.seconds;
		EXPECT_EQ( td.sec, c.sec ) << c.seconds;
		EXPECT_EQ( td.wday, c.wday ) << c.seconds;
		EXPECT_EQ( td.yday, c.yday ) << c.seconds;
		EXPECT_EQ( td.msec, 123 ) << c.seconds;
		EXPECT_EQ( td.usec, 456 ) << c.seconds;
	}
}

TEST( OSArena, CoversTheHostArenaWithBoundsOnMultiplesOf32 ) {
	OSInit();
	const uintptr_t lo = reinterpret_cast<uintptr_t>( OSGetArenaLo() );
	const uintptr_t hi = reinterpret_cast<uintptr_t>( OSGetArenaHi() );
	EXPECT_EQ( lo % 32, 0u );
	EXPECT_EQ( hi % 32, 0u );
	EXPECT_EQ( hi - lo, HostArenaSize() );
	EXPECT_EQ( OSGetArenaLo(), HostArenaBase() );
	EXPECT_TRUE( HostArenaContains( OSGetArenaLo() ) );
	EXPECT_FALSE( HostArenaContains( OSGetArenaHi() ) );

	ASSERT_TRUE( HostArenaConfigure( 16u * 1024u * 1024u + 17u ) );
	EXPECT_EQ( HostArenaSize(), 16u * 1024u * 1024u );
	EXPECT_EQ( reinterpret_cast<uintptr_t>( OSGetArenaHi() ) - reinterpret_cast<uintptr_t>( OSGetArenaLo() ),
			   16u * 1024u * 1024u );

	EXPECT_FALSE( HostArenaConfigure( HOST_ARENA_MINIMUM ) ) << "heap 1 would get no room";
	EXPECT_EQ( HostArenaSize(), 16u * 1024u * 1024u ) << "a refused size keeps the arena";
	ASSERT_TRUE( HostArenaConfigure( HOST_DEFAULT_ARENA_SIZE ) );
}

namespace {

std::string reports;
std::string panicText;
s32 resetKind = -1;

struct PanicUnwind {};

void CaptureReport( const char* text ) { reports += text; }
void CapturePanic( const char*, s32, const char* message ) {
	panicText = message;
	throw PanicUnwind{};
}
void CaptureReset( s32 reset, u32, BOOL ) { resetKind = reset; }

}

TEST( OSReport, RoutesReportsPanicsAndResetsThroughTheHostHooks ) {
	OSHostSetReportHook( CaptureReport );
	OSHostSetPanicHook( CapturePanic );
	OSHostSetResetHook( CaptureReset );

	OSReport( "disc %s %d\n", "error", 4 );
	EXPECT_EQ( reports, "disc error 4\n" );

	EXPECT_THROW( OSPanic( "EIMain", 325, "DEMOInit: invalid TV format\n" ), PanicUnwind );
	EXPECT_EQ( panicText, "DEMOInit: invalid TV format\n" );

	OSResetSystem( OS_RESET_HOTRESET, 0, 0 );
	EXPECT_EQ( resetKind, OS_RESET_HOTRESET );

	EXPECT_EQ( OSGetResetButtonState(), 0 );
	OSHostSetResetButton( true );
	EXPECT_EQ( OSGetResetButtonState(), 1 );
	OSHostSetResetButton( false );

	OSHostSetReportHook( nullptr );
	OSHostSetPanicHook( nullptr );
	OSHostSetResetHook( nullptr );
}

TEST( HostSettings, ParsesSizesAndTvFormatsAndRejectsTheRest ) {
	const struct {
		const char*	text;
		bool		ok;
		u32			bytes;
	} sizes[] = {
		{ "24M", true, 24u << 20 }, { "16384K", true, 16u << 20 }, { "1048576", true, 1u << 20 },
		{ "4096M", false, 0 }, { "12X", false, 0 }, { "", false, 0 }, { "-1", false, 0 }, { "M", false, 0 },
	};
	for ( const auto& c : sizes ) {
		u32 bytes = 0;
		EXPECT_EQ( HostParseSize( c.text, &bytes ), c.ok ) << c.text;
		if ( c.ok ) {
			EXPECT_EQ( bytes, c.bytes ) << c.text;
		}
	}

	HostTvFormat format = HOST_TV_NTSC;
	EXPECT_TRUE( HostParseTvFormat( "pal", &format ) );
	EXPECT_EQ( format, HOST_TV_PAL );
	EXPECT_TRUE( HostParseTvFormat( "EURGB60", &format ) );
	EXPECT_EQ( format, HOST_TV_EURGB60 );
	EXPECT_FALSE( HostParseTvFormat( "SECAM", &format ) );
}

TEST( RuntimeRand, GivesTheSameSequenceForASeedWithinTheConsoleRange ) {
	RuntimeSrand( 1 );
	const s32 expected[] = { 16838, 5758, 10113, 17515 };
	for ( const s32 value : expected ) {
		// A peek shows the next value and leaves it to be drawn.
		EXPECT_EQ( RuntimeRandPeek(), value );
		EXPECT_EQ( RuntimeRandPeek(), value );
		EXPECT_EQ( RuntimeRand(), value );
	}
	RuntimeSrand( 0xDEADBEEF );
	for ( s32 i = 0; i < 1000; ++i ) {
		const s32 value = RuntimeRand();
		ASSERT_GE( value, 0 );
		ASSERT_LE( value, RUNTIME_RAND_MAX );
	}
}
