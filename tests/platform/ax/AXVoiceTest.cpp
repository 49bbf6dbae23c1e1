#include "AXTestSample.h"

#include "platform/ar/ARHostCheck.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<void*>	dropped;
bool				droppedWithInterruptsEnabled = false;

void RecordDrop( void* voice ) {
	dropped.push_back( voice );
	droppedWithInterruptsEnabled = droppedWithInterruptsEnabled || HostInterruptsEnabled();
}

class AXVoiceTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		HostAudioReset();
		dropped.clear();
		droppedWithInterruptsEnabled = false;
	}
	void TearDown() override { HostAudioReset(); }
};

TEST_F( AXVoiceTest, StealsTheLowestPriorityStrictlyBelowTheRequestEarliestFirst ) {
	AXHostSetVoiceCount( 4 );
	AXVPB* held[4];
	const u32 priorities[4] = { 31, 29, 29, 30 };
	for ( u32 i = 0; i < 4; ++i ) {
		held[i] = AXAcquireVoice( priorities[i], RecordDrop, 100 + i );
		ASSERT_NE( held[i], nullptr );
		EXPECT_EQ( held[i]->index, i ) << "free voices go lowest index first";
	}
	const struct {
		u32		request;
		s32		stolen;		// index, -1 for none
	} steps[] = {
		{ 29, -1 },		// nothing strictly below 29
		{ 30, 1 },		// the earlier of the two 29s
		{ 30, 2 },
		{ 30, -1 },		// now 31, 30, 30, 30
		{ 31, 3 },		// the earliest 30 left: index 3 (acquired before the steals)
		{ 0, -1 },
	};
	for ( const auto& s : steps ) {
		SCOPED_TRACE( ::testing::Message() << "request " << s.request );
		dropped.clear();
		AXVPB* got = AXAcquireVoice( s.request, RecordDrop, 7 );
		if ( s.stolen < 0 ) {
			EXPECT_EQ( got, nullptr );
			EXPECT_TRUE( dropped.empty() );
			continue;
		}
		ASSERT_EQ( got, held[s.stolen] );
		EXPECT_EQ( dropped, std::vector<void*>{ got } ) << "the drop callback runs exactly once";
		EXPECT_EQ( got->priority, s.request );
		EXPECT_EQ( got->userContext, 7u );
	}
	EXPECT_EQ( held[0]->priority, 31u );
	EXPECT_EQ( held[0]->userContext, 100u ) << "a higher priority is never touched";
	EXPECT_FALSE( droppedWithInterruptsEnabled );
}

TEST_F( AXVoiceTest, HandsOutAFreshStoppedVoiceThatPlaysWhenStarted ) {
	AXHostSetVoiceCount( 1 );
	AXVPB* first = AXAcquireVoice( 5, RecordDrop, 1 );
	first->envelope.currentVolume = 3;
	first->mix.auxALeft = 99;
	AXSetVoiceState( first, AX_VOICE_RUN );
	AXVPB* voice = AXAcquireVoice( 6, nullptr, 2 );
	ASSERT_EQ( voice, first );
	EXPECT_EQ( voice->state, AX_VOICE_STOP );
	EXPECT_EQ( voice->sync, 0u );
	EXPECT_EQ( voice->envelope.currentVolume, AX_UNITY_LEVEL );
	EXPECT_EQ( voice->envelope.currentDelta, 0 );
	EXPECT_EQ( voice->mix.auxALeft, 0 );
	EXPECT_EQ( voice->addr.loopAddressLo, 0 );

	const AXTestSample sample = AXTestPlaceSine( 0x10000, 14 * 20, 30.0 );
	AXTestPlay play;
	play.startNibble = sample.Nibble( 0 );
	play.endNibble = sample.Nibble( 14 * 20 - 1 );
	play.predictorScale = sample.Header( 0 );
	AXFreeVoice( voice );
	ASSERT_NE( AXTestStart( sample, play ), nullptr );
	AXHostRenderFrame();
	EXPECT_EQ( AXHostFrameMix()[20], sample.decoded[10] ) << "the envelope of a fresh voice is at unity";
}

TEST_F( AXVoiceTest, StopsAFreedVoiceAtOnce ) {
	const AXTestSample sample = AXTestPlaceSine( 0x10000, 14 * 40, 30.0 );
	AXTestPlay play;
	play.startNibble = sample.Nibble( 0 );
	play.endNibble = sample.Nibble( 14 * 40 - 1 );
	play.predictorScale = sample.Header( 0 );
	AXVPB* voice = AXTestStart( sample, play );
	AXHostRenderFrame();
	AXFreeVoice( voice );
	EXPECT_FALSE( AXHostVoiceAcquired( voice->index ) );
	AXHostRenderFrame();
	for ( u32 i = 0; i < 320; ++i ) {
		ASSERT_EQ( AXHostFrameMix()[i], 0 );
	}
}

TEST_F( AXVoiceTest, RefusesOtherFormatsAndForeignVoicePointers ) {
	AXVPB* voice = AXAcquireVoice( 5, nullptr, 0 );
	AXVoiceAddr addr{};
	addr.format = 1;
	addr.currentAddressLo = 0x1234;
	AXSetVoiceAddr( voice, &addr );
	EXPECT_EQ( ARHostFailureCount( AR_CHECK_BAD_FORMAT ), 1u );
	EXPECT_EQ( voice->addr.currentAddressLo, 0 );
	EXPECT_EQ( voice->sync & AX_SYNC_ADDR, 0u );

	voice->addr.format = 2;	// written directly: refused by the renderer
	voice->sync |= AX_SYNC_ADDR;
	AXSetVoiceState( voice, AX_VOICE_RUN );
	AXHostRenderFrame();
	EXPECT_EQ( ARHostFailureCount( AR_CHECK_BAD_FORMAT ), 2u );
	EXPECT_EQ( voice->state, AX_VOICE_STOP );

	AXVPB stranger{};
	AXSetVoiceState( &stranger, AX_VOICE_RUN );
	AXFreeVoice( reinterpret_cast<AXVPB*>( reinterpret_cast<u8*>( voice ) + 4 ) );
	EXPECT_EQ( ARHostFailureCount( AR_CHECK_BAD_VOICE ), 2u );
	EXPECT_EQ( stranger.sync, 0u );
	EXPECT_TRUE( AXHostVoiceAcquired( voice->index ) );
}

TEST_F( AXVoiceTest, ConvertsTheRatioTo16Dot16WithSaturation ) {
	AXVPB* voice = AXAcquireVoice( 5, nullptr, 0 );
	const struct {
		f32		ratio;
		u32		fixed;
	} cases[] = {
		{ 1.0f, 0x10000 },
		{ 0.5f, 0x8000 },
		{ 2.0f, 0x20000 },
		{ 1.0f + 24.0f / 24.0f, 0x20000 },
		{ 0.0f, 0 },
		{ -1.0f, 0 },
		{ 1e12f, 0xFFFFFFFFu },
		{ std::numeric_limits<f32>::quiet_NaN(), 0 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.ratio );
		voice->sync = 0;
		AXSetVoiceSrcRatio( voice, c.ratio );
		EXPECT_EQ( ( static_cast<u32>( voice->src.ratioHi ) << 16 ) | voice->src.ratioLo, c.fixed );
		EXPECT_EQ( voice->sync, AX_SYNC_SRCRATIO );
	}
}

void FirstCallback() {}
void SecondCallback() {}

TEST_F( AXVoiceTest, RecordsModeCompressorAndReturnsThePreviousCallback ) {
	AXInit();
	AXSetMode( 0 );
	AXSetCompressor( 1 );
	EXPECT_EQ( AXGetMode(), 0u );
	EXPECT_EQ( AXHostCompressor(), 1u );
	EXPECT_EQ( AXRegisterCallback( FirstCallback ), nullptr );
	EXPECT_EQ( AXRegisterCallback( SecondCallback ), FirstCallback );
}

}
