#include "GCAudioTestBench.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "framework/audio/EFNewAudioMgrGC.h"
#include "framework/core/world/notification/CountingNew.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/mix/MIXHost.h"


#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>

namespace {

// What every audio frame played on the watched voice, and the frames it
// stood still while slot 0's stream ran.
std::vector<s16>	gHeard;
s32					gWatched = -1;
u32					gStalledFrames = 0;

void CaptureFrame() {
	// Frames from the one the voice starts in; a stopped voice plays nothing.
	if ( gWatched >= 0 && AXHostVoice( static_cast<u32>( gWatched ) )->state == AX_VOICE_RUN &&
		 gHeard.size() + AX_SAMPLES_PER_FRAME <= gHeard.capacity() ) {
		const s16* const tap = AXHostVoiceTap( static_cast<u32>( gWatched ) );
		gHeard.insert( gHeard.end(), tap, tap + AX_SAMPLES_PER_FRAME );
	} else if ( !gHeard.empty() && goxStreamingVoices[0].mui8State == GC_STREAM_SLOT_RUNNING ) {
		gStalledFrames++;
	}
	CallbackAudioFrame();
}

constexpr u32 CHUNK = 25600;
constexpr u32 SAMPLES_PER_CHUNK = CHUNK / 8 * 14;

class GCStreamTest : public GCAudioTestBench {
protected:
	void SetUp() override {
		GCAudioTestBench::SetUp();
		AXRegisterCallback( CaptureFrame );
		gHeard.clear();
		gHeard.reserve( 32000 * 12 );
		gWatched = -1;
		gStalledFrames = 0;
	}
	void TearDown() override {
		gWatched = -1;
		GCAudioTestBench::TearDown();
	}

	// A stream bank whose records name the given stream files, each
	// written from its pcm; returns the files' bytes.
	std::vector<std::vector<u8>> WriteStreams( const std::vector<std::vector<s16>>& pcm, const std::vector<bool>& loops ) {
		ToolSoundBank bank;
		bank.kind = 2;
		std::vector<std::vector<u8>> files;
		for ( size_t i = 0; i < pcm.size(); i++ ) {
			const std::string name = "STREAM\\TEST\\S" + std::to_string( i ) + ".DSP";
			ToolSoundSample sample;
			files.push_back( ToolEncodeStream( pcm[i], name, 32000, loops[i], sample ) );
			bank.samples.push_back( sample );
			ToolSoundPlayback playback;
			playback.sampleIndex = static_cast<u32>( i );
			bank.playbacks.push_back( playback );
			EXPECT_TRUE( disc.WriteFile( "STREAM/TEST/S" + std::to_string( i ) + ".DSP", files.back() ) );
		}
		EXPECT_TRUE( disc.WriteFile( LevelPath( "MUSIC.SBH" ), ToolWriteSoundBankHeader( bank ) ) );
		EXPECT_TRUE( disc.WriteFile( LevelPath( "MUSIC.TSE" ), ToolWriteSoundEventTable( { {} } ) ) );
		LoadBanks( "", "", "MUSIC" );
		return files;
	}

	// Starts a stream the way the stream object's play will: a stream
	// record, the files, the total, the first chunk waited for, slot state 1.
	GC_StreamingVoice& Begin( const u8 record, const u8 slot = 0 ) {
		GC_StreamingVoice& stream = goxStreamingVoices[slot];
		GC_StreamInfo& info = StreamInfoBuffer[slot];
		GC_Voice* const voice = GCVoice_FindFree( GC_VOICE_TYPE_STREAM );
		EXPECT_NE( voice, nullptr );
		stream.mpoVoice = voice;
		voice->mui8Bank = 2;
		voice->mui8RecordIndex = record;
		voice->mui32Handle = 77;
		char* const name = stream.GetFileName();
		EXPECT_EQ( OpenStreamFile( name, &info.mpoFile ), 1u );
		const bool loops = DTReadBE32( voice->GetSampleRecord() + GC_SAMPLE_LOOP ) == 1;
		info.mpoSecondFile = nullptr;
		if ( loops ) {
			EXPECT_EQ( OpenStreamFile( name, &info.mpoSecondFile ), 1u );
		}
		const u32 length = DTFsize( info.mpoFile );
		stream.mui32TotalBytes = length % CHUNK == 0 || loops ? length : ( length / CHUNK + 1 ) * CHUNK;
		LoadStreamChunk( GC_CHUNK_SYNC_FIRST, slot, &info.mpoFile, CHUNK, info.mpui8Staging, nullptr );
		stream.mui8State = GC_STREAM_SLOT_REQUESTED;
		return stream;
	}

	// One manager frame of the stream service (the manager's own stream
	// step), noting the DSP voice a starting stream takes.
	static void Service() {
		bool starting[GC_STREAM_SLOT_COUNT];
		for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
			starting[slot] = goxStreamingVoices[slot].mui8State == GC_STREAM_SLOT_REQUESTED;
		}
		EFNewAudioMgr_SP::UpdateStreams();
		for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
			const GC_StreamingVoice& stream = goxStreamingVoices[slot];
			if ( starting[slot] && stream.mpoVoice != nullptr && stream.mpoVoice->mpoDSPVoice != nullptr ) {
				gWatched = static_cast<s32>( stream.mpoVoice->mpoDSPVoice->index );
			}
		}
	}

	// Runs manager frames of 1/60 s for the given seconds.
	static void Run( const f64 seconds ) {
		const u32 frames = static_cast<u32>( seconds * 60.0 );
		for ( u32 i = 0; i < frames; i++ ) {
			HostAdvanceTime( HostSecondsToTicks( 1.0 / 60.0 ) );
			Service();
		}
	}

	static std::vector<s16> Decoded( const std::vector<u8>& file ) {
		const ToolDspAdpcmEncoder encoder;
		return encoder.Decode( file, static_cast<u32>( file.size() / 8 * 14 ) );
	}

	static std::vector<s16> Heard( const size_t from, const size_t count ) {
		return std::vector<s16>( gHeard.begin() + static_cast<std::ptrdiff_t>( from ),
								 gHeard.begin() + static_cast<std::ptrdiff_t>( std::min( from + count, gHeard.size() ) ) );
	}
};

TEST_F( GCStreamTest, AStreamPlaysItsFileThenSilenceAndStopsAtTheWrap ) {
	const u32 lengths[] = { 8000, 2 * CHUNK, 40000 };
	for ( const u32 length : lengths ) {
		SCOPED_TRACE( length );
		gHeard.clear();
		const std::vector<u8> file = WriteStreams( { Tone( 350.0, length / 8 * 14 ) }, { false } )[0];
		GC_StreamingVoice& stream = Begin( 0 );
		GC_Voice* const voice = stream.mpoVoice;
		const u64 allocations = CountingNewCalls();
		Run( 6.0 );
		EXPECT_EQ( CountingNewCalls(), allocations ) << "streaming allocates nothing";

		const std::vector<s16> decoded = Decoded( file );
		ASSERT_GE( gHeard.size(), decoded.size() );
		EXPECT_EQ( Heard( 0, decoded.size() ), decoded );
		// Silence after the last byte up to the window's wrap, then nothing.
		const u32 total = ( length + CHUNK - 1 ) / CHUNK * CHUNK;
		const size_t end = std::min<size_t>( gHeard.size(), total / 8 * 14 + SAMPLES_PER_CHUNK );
		const std::vector<s16> after = Heard( decoded.size(), end - decoded.size() );
		EXPECT_TRUE( std::all_of( after.begin(), after.end(), []( s16 s ) { return s == 0; } ) );
		EXPECT_EQ( voice->mui8State, GC_VOICE_STATE_FINISHED );
		EXPECT_EQ( voice->mpoDSPVoice->state, AX_VOICE_STOP );
		EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_IDLE );
		EXPECT_EQ( StreamInfoBuffer[0].mui8DiscState, GC_DISC_FIRST_COPY );
		EXPECT_EQ( StreamInfoBuffer[0].mpoFile, nullptr ) << "the end closes the file and forgets it";
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		AXFreeVoice( voice->mpoDSPVoice );
		voice->Reset();
	}
}

TEST_F( GCStreamTest, ALongLoopReadsItsTailThroughTheSecondHandleAShortOneDoesNot ) {
	const struct {
		u32		length;
		bool	secondHandle;
	} rows[] = { { 10000, false }, { 40000, true } };
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.length );
		gHeard.clear();
		const std::vector<u8> file = WriteStreams( { Tone( 450.0, row.length / 8 * 14 ) }, { true } )[0];
		const u32 readsBefore = DVDHostReadCount();
		GC_StreamingVoice& stream = Begin( 0 );
		Run( 4.0 );
		bool tailRead = false;
		for ( u32 back = 0; back < DVDHostReadCount() - readsBefore && back < DVD_HOST_READ_LOG_MAX; back++ ) {
			DVDHostReadRecord read;
			ASSERT_TRUE( DVDHostRecentRead( back, &read ) );
			tailRead = tailRead || ( read.offset == 0 && read.length == CHUNK - ( row.length - CHUNK ) );
		}
		EXPECT_EQ( tailRead, row.secondHandle );
		EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_RUNNING ) << "a loop goes on";
		if ( row.secondHandle ) {
			const std::vector<s16> decoded = Decoded( file );
			EXPECT_EQ( Heard( 0, decoded.size() ), decoded );
		}
		stream.StopStream();
		Run( 0.1 );
		EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_IDLE );
		EXPECT_EQ( DTNbrFileInUse(), 0u ) << "both handles closed";
		AXFreeVoice( stream.mpoVoice->mpoDSPVoice );
		stream.mpoVoice->Reset();
	}
}

TEST_F( GCStreamTest, AStoppedPausedStreamEndsAtTheNextStep ) {
	WriteStreams( { Tone( 350.0, 60000 ) }, { false } );
	GC_StreamingVoice& stream = Begin( 0 );
	Run( 0.5 );
	stream.PauseStream();
	EXPECT_EQ( MIXHostGetChannel( stream.mpoVoice->mpoDSPVoice->index )->input, -960 );
	EXPECT_EQ( stream.mpoVoice->mui8State, GC_VOICE_STATE_PAUSED );
	stream.StopStream();
	Run( 1.0 / 60.0 );
	EXPECT_EQ( stream.mpoVoice->mui8State, GC_VOICE_STATE_FINISHED );
	EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_IDLE );
	EXPECT_EQ( StreamInfoBuffer[0].mui8Active, GC_STREAM_INACTIVE );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
}

TEST_F( GCStreamTest, ADiscErrorInTheFirstReadPausesAllSoundUntilTheDriveRecovers ) {
	WriteStreams( { Tone( 350.0, 30000 ) }, { false } );
	const DVDHostDrivePhase phases[] = { { DVD_STATE_COVER_OPEN, HostMillisecondsToTicks( 200 ) } };
	ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
	DVDHostSetReadLatency( HostMillisecondsToTicks( 40 ) );
	Begin( 0 );
	DVDHostSetReadLatency( 0 );
	EXPECT_FALSE( audio->IsPausePushed() ) << "the global pause is lifted once the drive recovers";
	Run( 0.5 );
	EXPECT_EQ( goxStreamingVoices[0].mui8State, GC_STREAM_SLOT_RUNNING ) << "the stream starts once the read is in";
}

TEST_F( GCStreamTest, LateDiscDataFallsBehindIntoSilenceAndTheStreamGoesOnWhenTheDiscCatchesUp ) {
	// Eight half windows, each at its own level, so that what is heard
	// tells which half it came from: a replayed or lost half shows in the
	// order.
	constexpr u32 HALVES = 8;
	constexpr u32 HALF_SAMPLES = SAMPLES_PER_CHUNK / 2;
	constexpr f64 LEVEL_STEP = 2000.0;
	std::vector<s16> pcm;
	for ( u32 half = 0; half < HALVES; half++ ) {
		const std::vector<s16> part = Tone( 500.0, HALF_SAMPLES, LEVEL_STEP * ( half + 1 ) );
		pcm.insert( pcm.end(), part.begin(), part.end() );
	}
	// A window plays 1.4 s; the latency (or the drive's refusals, one a
	// frame once the stream runs) holds for the first 3 s. A drive that
	// refuses every read from the first one on, until the disc catches up,
	// lets the stream start in silence rather than hold the game.
	constexpr u32 FOR_GOOD = 0xFFFFFFFF;
	const struct {
		f64		latency;
		u32		refusals;
		bool	fromTheFirstRead;
		bool	fallsBehind;
	} rows[] = { { 0.3, 0, false, false },
				 { 1.0, 0, false, true },
				 { 2.0, 0, false, true },
				 { 0.0, 100, false, true },
				 { 0.0, FOR_GOOD, true, true } };
	for ( const auto& row : rows ) {
		SCOPED_TRACE( "latency " + std::to_string( row.latency ) + ", refusals " + std::to_string( row.refusals ) +
					  ( row.fromTheFirstRead ? " from the first read" : "" ) );
		gHeard.clear();
		gLowLevelReports.clear();
		WriteStreams( { pcm }, { false } );
		DVDHostSetReadLatency( HostSecondsToTicks( row.latency ) );
		if ( row.fromTheFirstRead ) {
			DVDHostScriptRefusedReads( row.refusals );
		}
		GC_StreamingVoice& stream = Begin( 0 );
		if ( !row.fromTheFirstRead ) {
			DVDHostScriptRefusedReads( row.refusals );
		}
		gStalledFrames = 0;
		Run( 3.0 );
		EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_RUNNING ) << "the frame loop and the stream go on";
		EXPECT_EQ( gStalledFrames > 0, row.fallsBehind ) << gStalledFrames << " silent frames";
		DVDHostSetReadLatency( 0 );
		DVDHostScriptRefusedReads( 0 );
		Run( 10.0 );
		EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_IDLE ) << "the stream ends after its last half";

		// The halves heard, in order.
		std::vector<u32> order;
		for ( size_t at = 0; at + AX_SAMPLES_PER_FRAME <= gHeard.size(); at += AX_SAMPLES_PER_FRAME ) {
			s32 peak = 0;
			for ( size_t i = at; i < at + AX_SAMPLES_PER_FRAME; i++ ) {
				peak = std::max( peak, std::abs( static_cast<s32>( gHeard[i] ) ) );
			}
			const u32 half = static_cast<u32>( std::lround( peak / LEVEL_STEP ) );
			if ( half != 0 && ( order.empty() || order.back() != half - 1 ) ) {
				order.push_back( half - 1 );
			}
		}
		std::vector<u32> expected( HALVES );
		std::iota( expected.begin(), expected.end(), 0u );
		EXPECT_EQ( order, expected ) << "every half once, in order";
		EXPECT_EQ( std::count_if( gLowLevelReports.begin(), gLowLevelReports.end(),
								  []( const std::string& line ) { return line.find( "fell behind" ) != std::string::npos; } ),
				   row.fallsBehind ? 1 : 0 );
		AXFreeVoice( stream.mpoVoice->mpoDSPVoice );
		stream.mpoVoice->Reset();
	}
}

TEST_F( GCStreamTest, AStreamWithoutAVoiceEndsAtOnceAndAClosedHandleIsForgotten ) {
	WriteStreams( { Tone( 350.0, 30000 ) }, { false } );
	AXHostSetVoiceCount( 1 );
	AXVPB* const taken = AXAcquireVoice( 31, nullptr, 0 );
	ASSERT_NE( taken, nullptr );
	GC_StreamingVoice& stream = Begin( 0 );
	Service();
	EXPECT_EQ( stream.mui8State, GC_STREAM_SLOT_IDLE );
	EXPECT_EQ( stream.mpoVoice->mpoDSPVoice, nullptr );
	EXPECT_EQ( StreamInfoBuffer[0].mpoFile, nullptr );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
	EXPECT_EQ( MIXHostGetChannel( taken->index )->active, false ) << "no mixer call without a voice";

	// The freed handle goes to another file, which a second close spares.
	DTFileHandle_* const other = DTFopen( "STREAM/TEST/S0.DSP", "r" );
	ASSERT_NE( other, nullptr );
	GCStream_CloseFile( &StreamInfoBuffer[0].mpoFile );
	StreamInfoBuffer[0].mui8DiscState = GC_DISC_FINISHED;
	GCStream_EndOfStream( 0 );
	EXPECT_EQ( other->mui32InUse, 1u );
	DTFclose( other );
}

}
