#include "AXTestSample.h"

#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/mix/MIX.h"
#include "datatypes/base/DTByteOrder.h"
#include "support/TestScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<s64>	frameTicks;
u32					depth = 0;
u32					deepest = 0;
bool				enabledInside = false;
AXVPB*				watched = nullptr;
std::vector<s16>	leftSeenByCallback;

void CountFrame() {
	++depth;
	deepest = std::max( deepest, depth );
	enabledInside = enabledInside || HostInterruptsEnabled();
	frameTicks.push_back( HostClockNow() );
	if ( watched != nullptr ) {
		leftSeenByCallback.push_back( AXHostFrameMix()[0] );
		// Silences the voice through the mixer: acts from the next frame.
		MIXSetInput( watched, -904 );
		MIXUpdateSettings();
	}
	--depth;
}

class AXFrameTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		HostAudioReset();
		frameTicks.clear();
		depth = 0;
		deepest = 0;
		enabledInside = false;
		watched = nullptr;
		leftSeenByCallback.clear();
	}
	void TearDown() override { HostAudioReset(); }
};

TEST_F( AXFrameTest, RunsExactlyTwoHundredFramesPerVirtualSecondWithoutDrift ) {
	AXInit();
	AXRegisterCallback( CountFrame );
	HostAdvanceTime( HOST_TIMER_CLOCK );
	EXPECT_EQ( frameTicks.size(), 200u );
	EXPECT_EQ( AXHostFrameCount(), 200u );
	HostAdvanceTime( 99 * HOST_TIMER_CLOCK );
	ASSERT_EQ( frameTicks.size(), 20000u );
	for ( const u64 n : { 1ull, 2ull, 3ull, 7919ull, 20000ull } ) {
		EXPECT_EQ( frameTicks[n - 1], static_cast<s64>( n * HOST_TIMER_CLOCK / 200 ) ) << "frame " << n;
	}
	EXPECT_EQ( deepest, 1u );
	EXPECT_FALSE( enabledInside );
}

TEST_F( AXFrameTest, RendersBeforeTheCallbackWhoseMixerChangesActFromTheNextFrame ) {
	AXInit();
	MIXInit();
	const AXTestSample sample = AXTestPlaceSine( 0x10000, 14 * 100, 40.0 );
	AXTestPlay play;
	play.startNibble = sample.Nibble( 0 );
	play.endNibble = sample.Nibble( 14 * 100 - 1 );
	play.predictorScale = sample.Header( 0 );
	play.srcType = AX_SRC_TYPE_NONE;
	watched = AXTestStart( sample, play );
	MIXInitChannel( watched, 0, 0, -960, -960, 0, 127, 0 );
	MIXUpdateSettings();
	AXRegisterCallback( CountFrame );
	HostAdvanceTime( 2 * HOST_TIMER_CLOCK / 200 );
	ASSERT_EQ( leftSeenByCallback.size(), 2u );
	EXPECT_EQ( leftSeenByCallback[0], sample.decoded[0] ) << "the frame was rendered before its callback";
	EXPECT_EQ( leftSeenByCallback[1], 0 ) << "the callback's mixer change silenced the next frame";
}

TEST_F( AXFrameTest, WritesTheMixToACompleteWavFile ) {
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "ax-frame-" ) );
	const std::filesystem::path path = scratch / "mix.wav";
	ASSERT_TRUE( AXHostSetWavPath( path.c_str() ) );
	AXInit();
	HostAdvanceTime( 10 * HOST_TIMER_CLOCK / 200 );
	std::ifstream in( path, std::ios::binary );
	const std::vector<u8> bytes( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
	ASSERT_EQ( bytes.size(), 44u + 10 * 640 );
	EXPECT_EQ( std::string( bytes.begin(), bytes.begin() + 4 ), "RIFF" );
	EXPECT_EQ( DTReadLE32( bytes.data() + 4 ), 36u + 6400 );
	EXPECT_EQ( DTReadLE16( bytes.data() + 22 ), 2 );
	EXPECT_EQ( DTReadLE32( bytes.data() + 24 ), 32000u );
	EXPECT_EQ( DTReadLE32( bytes.data() + 40 ), 6400u );
	AXHostSetWavPath( nullptr );
	EXPECT_FALSE( AXHostSetWavPath( "/nonexistent-folder/x.wav" ) );
}

}
