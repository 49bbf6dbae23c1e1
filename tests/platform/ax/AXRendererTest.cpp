#include "AXTestSample.h"
#include "platform/ar/ARHost.h"

#include "platform/am/AM.h"
#include "platform/ax/AXAdpcm.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr u32 DATA = 0x10000;
constexpr u32 ZERO_BUFFER = 0x8000;

class AXRendererTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		HostAudioReset();
		AMInit( ZERO_BUFFER, 0x100000 );
	}
	void TearDown() override { HostAudioReset(); }
};

// Decodes stored frames from sample first on, with the given starting
// decoder state; frame headers after the first are read from the data.
std::vector<s16> DecodeFrom( const AXTestSample& sample, const u32 first, const u32 count, u8 predictorScale, s16 h1, s16 h2 ) {
	std::vector<s16> out;
	for ( u32 k = first; k < first + count; ++k ) {
		if ( k % 14 == 0 && k != first ) {
			predictorScale = sample.Header( k / 14 );
		}
		const u8 byte = sample.bytes[( k / 14 ) * 8 + 1 + ( k % 14 ) / 2];
		const u32 nibble = ( k % 2 ) == 0 ? byte >> 4 : byte & 0xF;
		out.push_back( AXAdpcmDecodeSample( sample.coefficients.data(), predictorScale, nibble, h1, h2 ) );
	}
	return out;
}

TEST_F( AXRendererTest, PlaysTheDecodedSamplesUnchangedAtRatioOneWithEveryConverter ) {
	const AXTestSample sample = AXTestPlaceSine( DATA, 14 * 30, 37.0 );
	for ( const u32 srcType : { AX_SRC_TYPE_NONE, AX_SRC_TYPE_4TAP, AX_SRC_TYPE_LINEAR } ) {
		SCOPED_TRACE( srcType );
		AXTestPlay play;
		play.startNibble = sample.Nibble( 0 );
		play.endNibble = sample.Nibble( 14 * 30 - 1 );
		play.predictorScale = sample.Header( 0 );
		play.srcType = srcType;
		AXVPB* voice = AXTestStart( sample, play );
		const std::vector<s16> tap = AXTestRenderTap( voice, 2 );
		EXPECT_EQ( tap, std::vector<s16>( sample.decoded.begin(), sample.decoded.begin() + 320 ) );
		AXFreeVoice( voice );
	}
}

TEST_F( AXRendererTest, TakesTheFirstHeaderFromTheVoiceOrFromMemoryByStartAddress ) {
	AXTestSample sample = AXTestPlaceSine( DATA, 14 * 20, 23.0 );
	const u8 wrong = static_cast<u8>( sample.Header( 0 ) ^ 0x23 );
	const struct {
		const char*	name;
		bool		startAtHeader;
		u8			blockHeader;
		u8			storedHeader;	// written over the first frame's header
		u8			expectedFirst;	// header that decodes the first 14 samples
	} cases[] = {
		{ "header + 2 uses the voice's header", false, sample.Header( 0 ), sample.Header( 0 ), sample.Header( 0 ) },
		{ "header + 2 ignores the stored one", false, wrong, sample.Header( 0 ), wrong },
		{ "a start at the header reads it", true, wrong, sample.Header( 0 ), sample.Header( 0 ) },
		{ "bit 7 of a stored header is ignored", true, wrong, static_cast<u8>( sample.Header( 0 ) | 0x80 ), sample.Header( 0 ) },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		ARHostMemory()[DATA] = c.storedHeader;
		AXTestPlay play;
		play.startNibble = c.startAtHeader ? sample.Nibble( 0 ) - 2 : sample.Nibble( 0 );
		play.endNibble = sample.Nibble( 14 * 20 - 1 );
		play.predictorScale = c.blockHeader;
		AXVPB* voice = AXTestStart( sample, play );
		const std::vector<s16> tap = AXTestRenderTap( voice, 1 );
		EXPECT_EQ( std::vector<s16>( tap.begin(), tap.end() ), DecodeFrom( sample, 0, 160, c.expectedFirst, 0, 0 ) );
		AXFreeVoice( voice );
	}
}

TEST_F( AXRendererTest, ConsumesSamplesInProportionToTheRatio ) {
	const AXTestSample sample = AXTestPlaceSine( DATA, 14 * 100, 50.0 );
	const struct {
		f32		ratio;
		u32		srcType;
		s64		perFrame;
	} cases[] = {
		{ 0.5f, AX_SRC_TYPE_NONE, 80 },
		{ 1.0f, AX_SRC_TYPE_4TAP, 160 },
		{ 2.0f, AX_SRC_TYPE_LINEAR, 320 },
		{ 2.0f, AX_SRC_TYPE_NONE, 320 },
		{ 0.0f, AX_SRC_TYPE_4TAP, 0 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.ratio );
		AXTestPlay play;
		play.startNibble = sample.Nibble( 0 );
		play.endNibble = sample.Nibble( 14 * 100 - 1 );
		play.predictorScale = sample.Header( 0 );
		play.srcType = c.srcType;
		play.ratio = c.ratio;
		AXVPB* voice = AXTestStart( sample, play );
		AXHostRenderFrame();
		const s64 before = sample.SampleAt( AXTestCurrentNibble( voice ) );
		AXHostRenderFrame();
		const s64 after = sample.SampleAt( AXTestCurrentNibble( voice ) );
		EXPECT_EQ( after - before, c.perFrame );
		AXFreeVoice( voice );
	}
}

TEST_F( AXRendererTest, StopsAOneShotAfterItsInclusiveEndNibbleInTheZeroBuffer ) {
	const struct {
		u32		srcType;
		u32		count;
	} cases[] = {
		{ AX_SRC_TYPE_NONE, 100 },
		{ AX_SRC_TYPE_4TAP, 100 },
		{ AX_SRC_TYPE_LINEAR, 170 },	// ends in the second frame
		{ AX_SRC_TYPE_NONE, 160 },		// last sample is the frame's last
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.count );
		const AXTestSample sample = AXTestPlaceSine( DATA, c.count, 31.0 );
		AXTestPlay play;
		play.startNibble = sample.Nibble( 0 );
		play.endNibble = sample.Nibble( c.count - 1 );
		play.loopNibble = AMGetZeroBuffer() * 2 + 2;
		play.predictorScale = sample.Header( 0 );
		play.srcType = c.srcType;
		AXVPB* voice = AXTestStart( sample, play );
		std::vector<s16> tap;
		std::vector<s16> left;
		for ( u32 f = 0; f < 3; ++f ) {
			AXHostRenderFrame();
			tap.insert( tap.end(), AXHostVoiceTap( voice->index ), AXHostVoiceTap( voice->index ) + 160 );
			for ( u32 i = 0; i < 160; ++i ) {
				left.push_back( AXHostFrameMix()[i * 2] );
			}
		}
		EXPECT_EQ( std::vector<s16>( tap.begin(), tap.begin() + c.count ), sample.decoded );
		EXPECT_EQ( std::vector<s16>( tap.begin() + c.count, tap.end() ), std::vector<s16>( 480 - c.count, 0 ) );
		EXPECT_EQ( left, tap ) << "unity envelope and level reproduce the input";
		EXPECT_EQ( voice->state, AX_VOICE_STOP );
		EXPECT_EQ( AXTestCurrentNibble( voice ), play.loopNibble );
		EXPECT_LT( AXTestCurrentNibble( voice ), play.startNibble );
		AXFreeVoice( voice );
	}
}

TEST_F( AXRendererTest, WrapsALoopWithTheLoopContextOfItsVoiceType ) {
	const u32 count = 14 * 4;
	const u32 loopSample = 14;
	const AXTestSample sample = AXTestPlaceSine( DATA, count, 19.0 );
	const s16 loopHistory1 = 1000;
	const s16 loopHistory2 = -1000;
	for ( const u32 type : { AX_VOICE_NORMAL, AX_VOICE_STREAM } ) {
		for ( const bool atHeader : { true, false } ) {
			SCOPED_TRACE( ::testing::Message() << "type " << type << ( atHeader ? " loop at header" : " loop at header + 2" ) );
			const u8 loopHeader = static_cast<u8>( sample.Header( 1 ) ^ 0x01 );
			AXTestPlay play;
			play.type = type;
			play.loopFlag = 1;
			play.startNibble = sample.Nibble( 0 );
			play.endNibble = sample.Nibble( count - 1 );
			play.loopNibble = atHeader ? sample.Nibble( loopSample ) - 2 : sample.Nibble( loopSample );
			play.predictorScale = sample.Header( 0 );
			play.loop = { loopHeader, static_cast<u16>( loopHistory1 ), static_cast<u16>( loopHistory2 ) };
			AXVPB* voice = AXTestStart( sample, play );
			const std::vector<s16> tap = AXTestRenderTap( voice, 1 );

			EXPECT_EQ( std::vector<s16>( tap.begin(), tap.begin() + count ), sample.decoded );
			const bool normal = type == AX_VOICE_NORMAL;
			const std::vector<s16> expected =
				DecodeFrom( sample, loopSample, count - loopSample, atHeader ? sample.Header( 1 ) : loopHeader,
							normal ? loopHistory1 : sample.decoded[count - 1], normal ? loopHistory2 : sample.decoded[count - 2] );
			EXPECT_EQ( std::vector<s16>( tap.begin() + count, tap.begin() + 2 * count - loopSample ), expected );
			EXPECT_EQ( voice->state, AX_VOICE_RUN );
			AXFreeVoice( voice );
		}
	}
}

TEST_F( AXRendererTest, ActsOnAFieldOnlyWhenItsSyncBitIsRaised ) {
	const AXTestSample sample = AXTestPlaceSine( DATA, 14 * 200, 40.0 );
	AXTestPlay play;
	play.startNibble = sample.Nibble( 0 );
	play.endNibble = sample.Nibble( 14 * 200 - 1 );
	play.predictorScale = sample.Header( 0 );
	const struct {
		const char*							name;
		std::function<void( AXVPB* )>		write;
		u32									bit;
	} cases[] = {
		{ "envelope to zero", []( AXVPB* v ) { v->envelope.currentVolume = 0; }, AX_SYNC_ENVELOPE },
		{ "left level to zero", []( AXVPB* v ) { v->mix.left = 0; }, AX_SYNC_MIX },
		{ "state to stop", []( AXVPB* v ) { v->state = AX_VOICE_STOP; }, AX_SYNC_STATE },
		{ "ratio to zero", []( AXVPB* v ) { v->src.ratioHi = 0; }, AX_SYNC_SRCRATIO },
	};
	for ( const auto& c : cases ) {
		for ( const bool raise : { false, true } ) {
			SCOPED_TRACE( ::testing::Message() << c.name << ( raise ? " with its bit" : " without its bit" ) );
			AXVPB* voice = AXTestStart( sample, play );
			AXHostRenderFrame();
			const s64 before = sample.SampleAt( AXTestCurrentNibble( voice ) );
			c.write( voice );
			if ( raise ) {
				voice->sync |= c.bit;
			}
			AXHostRenderFrame();
			bool audible = false;
			for ( u32 i = 0; i < 160; ++i ) {
				audible = audible || AXHostFrameMix()[i * 2] != 0;
			}
			const bool moved = sample.SampleAt( AXTestCurrentNibble( voice ) ) != before;
			EXPECT_EQ( audible && moved, !raise );
			AXFreeVoice( voice );
		}
	}
}

TEST_F( AXRendererTest, TakesDirectAuxSendWritesEveryFrameWithoutABit ) {
	const AXTestSample sample = AXTestPlaceSine( DATA, 14 * 40, 40.0 );
	AXTestPlay play;
	play.startNibble = sample.Nibble( 0 );
	play.endNibble = sample.Nibble( 14 * 40 - 1 );
	AXVPB* voice = AXTestStart( sample, play );
	AXHostRenderFrame();
	voice->mix.auxALeft = 1234;
	voice->mix.auxBRight = 4321;
	voice->mix.left = 0;	// no bit: ignored
	EXPECT_EQ( AXHostRendererMix( voice->index ).auxALeft, 0 );
	AXHostRenderFrame();
	EXPECT_EQ( AXHostRendererMix( voice->index ).auxALeft, 1234 );
	EXPECT_EQ( AXHostRendererMix( voice->index ).auxBRight, 4321 );
	EXPECT_EQ( AXHostRendererMix( voice->index ).left, AX_UNITY_LEVEL );
}

TEST_F( AXRendererTest, RampsTheEnvelopeWithinItsRangeAndWritesItBack ) {
	const AXTestSample sample = AXTestPlaceSine( DATA, 14 * 40, 40.0 );
	const struct {
		u16		start;
		s16		delta;
		u16		written;	// after 160 samples
	} cases[] = {
		{ AX_UNITY_LEVEL, -1000, 0 },
		{ 0, 1000, AX_UNITY_LEVEL },
		{ 0x4000, 0, 0x4000 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.delta );
		AXTestPlay play;
		play.startNibble = sample.Nibble( 0 );
		play.endNibble = sample.Nibble( 14 * 40 - 1 );
		play.predictorScale = sample.Header( 0 );
		AXVPB* voice = AXTestStart( sample, play );
		voice->envelope = { c.start, c.delta };
		voice->sync |= AX_SYNC_ENVELOPE;
		AXHostRenderFrame();
		EXPECT_EQ( voice->envelope.currentVolume, c.written );
		if ( c.delta < 0 ) {
			EXPECT_EQ( AXHostFrameMix()[159 * 2], 0 ) << "a falling envelope stops at silence";
		}
		AXFreeVoice( voice );
	}
}

}
