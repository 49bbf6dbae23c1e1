// A level written by the tools plays its sounds through the banks the real
// loader loaded: the written mix sounds exactly where they play.
#include "LoaderTestBench.h"

#include "framework/audio/GCLowLevelSound.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/audio/ToolSampleAudio.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <unistd.h>

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
		AXHostSetWavPath( nullptr );
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

	static u64 AudioFrame() { return AXHostFrameCount(); }
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

	char path[] = "/tmp/level_sound_mix_XXXXXX";
	const int fd = mkstemp( path );
	ASSERT_GE( fd, 0 );
	close( fd );
	ASSERT_TRUE( AXHostSetWavPath( path ) );
	const u64 start = AudioFrame();
	Frames( 10 );
	// The first event of the effects bank (0) plays its quarter-second
	// one-shot; the music bank's (2) loops its stream until stopped.
	const u64 shotAt = AudioFrame() - start;
	const u32 shot = gpoNewAudioMgr->GetSoundHandle( nullptr, 0, nullptr );
	ASSERT_TRUE( gpoNewAudioMgr->PlaySound( shot, 0 ) );
	Frames( 30 );
	const u64 streamAt = AudioFrame() - start;
	const u32 music = gpoNewAudioMgr->GetSoundHandle( nullptr, 2u << 30, nullptr );
	ASSERT_TRUE( gpoNewAudioMgr->PlaySound( music, 0 ) );
	Frames( 30 );
	const u64 stopAt = AudioFrame() - start;
	gpoNewAudioMgr->StopSound( music );
	Frames( 20 );
	const u64 end = AudioFrame() - start;
	ASSERT_TRUE( AXHostSetWavPath( nullptr ) );
	std::ifstream in( path, std::ios::binary );
	const std::vector<u8> wav( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
	std::remove( path );

	const u32 frameBytes = AX_SAMPLES_PER_FRAME * 4;
	ASSERT_GE( wav.size(), 44 + end * frameBytes );
	std::vector<bool> loud;
	for ( u64 f = 0; f < end; f++ ) {
		const u8* const bytes = wav.data() + 44 + f * frameBytes;
		loud.push_back( std::any_of( bytes, bytes + frameBytes, []( const u8 b ) { return b != 0; } ) );
	}
	const auto at = [&]( const u64 f ) { return loud.begin() + static_cast<std::ptrdiff_t>( f ); };
	const auto loudIn = [&]( const u64 from, const u64 to ) { return static_cast<u64>( std::count( at( from ), at( to ), true ) ); };
	const auto firstLoud = [&]( const u64 from ) { return static_cast<u64>( std::find( at( from ), loud.end(), true ) - loud.begin() ); };

	EXPECT_EQ( loudIn( 0, shotAt ), 0u );
	// 8000 samples: fifty audio frames from the next one.
	const u64 shotFirst = firstLoud( shotAt );
	EXPECT_LE( shotFirst, shotAt + 1 );
	EXPECT_EQ( loudIn( shotFirst, shotFirst + 49 ), 49u );
	EXPECT_EQ( loudIn( shotFirst + 51, streamAt ), 0u );
	// The stream sounds from a few frames after its play until its stop.
	const u64 streamFirst = firstLoud( streamAt );
	EXPECT_LT( streamFirst, streamAt + 20 );
	EXPECT_EQ( loudIn( streamFirst, stopAt ), stopAt - streamFirst );
	EXPECT_EQ( loudIn( stopAt + 8, end ), 0u );
}

}
