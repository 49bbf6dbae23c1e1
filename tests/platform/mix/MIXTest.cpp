#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/mix/MIX.h"
#include "platform/mix/MIXHost.h"
#include "platform/mix/MIXVolumeTable.h"

#include <gtest/gtest.h>

namespace {

class MIXTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		HostAudioReset();
		MIXInit();
		voice = AXAcquireVoice( 5, nullptr, 0 );
	}
	void TearDown() override { HostAudioReset(); }

	AXVPB* voice = nullptr;
};

TEST( MIXVolumeTableTest, MapsTenthsOfADecibelToLinearLevels ) {
	const struct {
		s32		attenuation;
		u16		level;
	} cases[] = {
		{ -904, 0 },		// the first entry is silence
		{ -903, 1 },		// 32767 x 10^(-90.3 / 20) = 1.0
		{ -200, 3277 },		// -20 dB
		{ -60, 16422 },		// -6 dB
		{ -1, 32392 },
		{ 0, 32767 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.attenuation );
		EXPECT_EQ( VolumeTable[c.attenuation + 904], c.level );
		EXPECT_EQ( MIXAttenuationToLevel( c.attenuation ), c.level );
	}
	EXPECT_EQ( MIXAttenuationToLevel( -960 ), 0 );
	EXPECT_EQ( MIXAttenuationToLevel( INT32_MIN ), 0 );
	EXPECT_EQ( MIXAttenuationToLevel( 30 ), 32767 );
	for ( u32 i = 1; i < MIX_VOLUME_TABLE_SIZE; ++i ) {
		ASSERT_LE( VolumeTable[i - 1], VolumeTable[i] ) << i;
	}
}

TEST_F( MIXTest, TurnsInputFaderAndPanIntoVoiceLevels ) {
	const u16 centre = 23170;	// 32767 x cos(45 degrees)
	const struct {
		const char*	name;
		s32			input;
		s32			fader;
		s32			pan;
		u16			left;
		u16			right;
	} cases[] = {
		{ "full left", 0, 0, 0, 32767, 0 },
		{ "full right", 0, 0, 127, 0, 32767 },
		{ "centre", 0, 0, 64, centre, centre },
		{ "pan of 1.0 clamps to full right", 0, 0, 128, 0, 32767 },
		{ "negative pan clamps to full left", 0, 0, -40, 32767, 0 },
		{ "huge pan clamps", 0, 0, 100000, 0, 32767 },
		{ "-904 is silent", -904, 0, 0, 0, 0 },
		{ "-960 is silent", -960, 0, 0, 0, 0 },
		{ "-965 is silent", -965, 0, 0, 0, 0 },
		{ "input and fader add up", -30, -30, 0, 16422, 0 },
		{ "above 0 dB plays at 0 dB", 50, 0, 0, 32767, 0 },
		{ "absurd sums do not wrap", INT32_MIN, INT32_MIN, 0, 0, 0 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		MIXInitChannel( voice, 0, c.input, -960, -960, c.pan, 127, c.fader );
		voice->sync = 0;
		MIXUpdateSettings();
		EXPECT_EQ( voice->mix.left, c.left );
		EXPECT_EQ( voice->mix.right, c.right );
		EXPECT_EQ( voice->mix.auxALeft, 0 );
		EXPECT_EQ( voice->sync, AX_SYNC_MIX );
	}
}

TEST_F( MIXTest, GivesBothSidesTheCentreLevelsInMono ) {
	MIXSetSoundMode( MIX_SOUND_MODE_MONO );
	MIXInitChannel( voice, 0, 0, -960, -960, 0, 127, 0 );
	MIXUpdateSettings();
	EXPECT_EQ( voice->mix.left, voice->mix.right );
	EXPECT_EQ( voice->mix.left, 23170 );
	MIXSetSoundMode( MIX_SOUND_MODE_STEREO );	// a mode change updates every channel
	MIXUpdateSettings();
	EXPECT_EQ( voice->mix.left, 32767 );
	EXPECT_EQ( voice->mix.right, 0 );
}

TEST_F( MIXTest, KeepsDirectAuxWritesOnChannelsItDidNotTouch ) {
	AXVPB* other = AXAcquireVoice( 5, nullptr, 1 );
	MIXInitChannel( voice, 0, 0, -960, -960, 64, 127, 0 );
	MIXInitChannel( other, 0, 0, -960, -960, 64, 127, 0 );
	MIXUpdateSettings();
	voice->sync = 0;
	other->sync = 0;

	voice->mix.auxALeft = 5000;
	voice->mix.auxARight = 5000;
	other->mix.auxBLeft = 6000;
	MIXSetPan( other, 0 );
	MIXUpdateSettings();
	EXPECT_EQ( voice->mix.auxALeft, 5000 ) << "untouched channel keeps the direct write";
	EXPECT_EQ( voice->sync, 0u );
	EXPECT_EQ( other->mix.auxBLeft, 0 ) << "a channel changed through the mixer is recomputed";
	EXPECT_EQ( other->sync, AX_SYNC_MIX );

	MIXSetFader( voice, -904 );
	MIXUpdateSettings();
	EXPECT_EQ( voice->mix.auxALeft, 0 );
	EXPECT_EQ( voice->mix.left, 0 );
}

TEST_F( MIXTest, LeavesReleasedChannelsAloneAndRefusesForeignVoices ) {
	MIXInitChannel( voice, 0, 0, -960, -960, 0, 127, 0 );
	MIXReleaseChannel( voice );
	MIXUpdateSettings();
	EXPECT_EQ( voice->mix.left, 0 );
	EXPECT_FALSE( MIXHostGetChannel( voice->index )->active );
	AXVPB stranger{};
	MIXSetInput( &stranger, 0 );
	MIXInitChannel( nullptr, 0, 0, 0, 0, 0, 0, 0 );
	EXPECT_EQ( stranger.mix.left, 0 );
}

}
