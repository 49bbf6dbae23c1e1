// A level written by the tools plays its sounds through the banks the real
// loader loaded: the written mix sounds exactly where they play.
#include "LoaderTestBench.h"

#include "framework/audio/GCLowLevelSound.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "support/TestMixFrames.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/audio/ToolSampleAudio.h"

namespace {

class EFLevelSoundTest : public LoaderTestBench {
protected:
	void SetUp() override {
		LoaderTestBench::SetUp();
		HostAudioReset();
		GCResetLowLevelSound();
		InitLowLevelSound( nullptr );
	}

	void TearDown() override {
		LoaderTestBench::TearDown();
		GCVoice_GlobalInit( nullptr );
		GCResetLowLevelSound();
		HostAudioReset();
	}

	static void Frames( const u32 count ) {
		for ( u32 i = 0; i < count; i++ ) {
			HostAdvanceTime( HostSecondsToTicks( 1.0 / 60.0 ) );
			gpoNewAudioMgr->Update( 1.0f / 60.0f );
		}
	}

};

TEST_F( EFLevelSoundTest, AOneShotAndAStreamOfTheLevelSoundExactlyWhereTheyPlay ) {
	MakeController();
	ToolResourceFile file;
	file.records = { WaypointRecord( 1 ) };
	std::vector<ToolDiscFile> audioFiles;
	file.records.emplace_back();
	std::string error;
	ASSERT_TRUE( ToolMakeSampleAudio( Language() / "AUDIO", audioFiles, file.records.back(), error ) ) << error;
	for ( const ToolDiscFile& audioFile : audioFiles ) {
		WriteBytes( audioFile.path, audioFile.bytes );
	}
	WriteResourceFile( "LEVEL.GCR", file );
	ASSERT_EQ( Load(), 0 );

	TestMixFrames mix;
	ASSERT_TRUE( mix.Start() );
	Frames( 10 );
	// The first event of the effects bank (0) plays its quarter-second
	// one-shot; the music bank's (2) loops its stream until stopped.
	const u64 shotAt = mix.Now();
	const u32 shot = gpoNewAudioMgr->GetSoundHandle( nullptr, 0, nullptr );
	ASSERT_TRUE( gpoNewAudioMgr->PlaySound( shot, 0 ) );
	Frames( 30 );
	const u64 streamAt = mix.Now();
	const u32 music = gpoNewAudioMgr->GetSoundHandle( nullptr, 2u << 30, nullptr );
	ASSERT_TRUE( gpoNewAudioMgr->PlaySound( music, 0 ) );
	Frames( 30 );
	const u64 stopAt = mix.Now();
	gpoNewAudioMgr->StopSound( music );
	Frames( 20 );
	ASSERT_TRUE( mix.Stop() );

	EXPECT_EQ( mix.LoudIn( 0, shotAt ), 0u );
	// 8000 samples: fifty audio frames from the next one.
	const u64 shotFirst = mix.FirstLoud( shotAt );
	EXPECT_LE( shotFirst, shotAt + 1 );
	EXPECT_EQ( mix.LoudIn( shotFirst, shotFirst + 49 ), 49u );
	EXPECT_EQ( mix.LoudIn( shotFirst + 51, streamAt ), 0u );
	// The stream sounds from a few frames after its play until its stop.
	const u64 streamFirst = mix.FirstLoud( streamAt );
	EXPECT_LT( streamFirst, streamAt + 20 );
	EXPECT_EQ( mix.LoudIn( streamFirst, stopAt ), stopAt - streamFirst );
	EXPECT_EQ( mix.LoudIn( stopAt + 8, mix.End() ), 0u );
}

}
