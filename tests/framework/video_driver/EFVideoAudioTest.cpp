#include "VideoTestBench.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "video/vid/VIDSimpleOpen.h"
#include "video/vid/VIDSimpleReadAhead.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

constexpr u32 SAMPLES_PER_BYTE_FRAME = 14;	// samples of one 8-byte ADPCM frame

// One frame's "AUDD" payload: the count, then each channel's n bytes.
std::vector<u8> Audd( const std::vector<ToolVidAudioTrack>& tracks, const u32 from, const u32 n ) {
	std::vector<u8> payload( 4 );
	DTWriteBE32( payload.data(), static_cast<u32>( n * tracks.size() * 2 ) );
	for ( const ToolVidAudioTrack& track : tracks ) {
		payload.insert( payload.end(), track.left.begin() + from, track.left.begin() + from + n );
		payload.insert( payload.end(), track.right.begin() + from, track.right.begin() + from + n );
	}
	return payload;
}

std::vector<s16> Decoded( const std::array<u16, 16>& coefficients, const std::vector<u8>& bytes ) {
	ToolAdpcmCoefficients set;
	std::copy( coefficients.begin(), coefficients.end(), set.begin() );
	const ToolDspAdpcmEncoder decoder( set );
	return decoder.Decode( bytes, static_cast<u32>( bytes.size() / 8 * SAMPLES_PER_BYTE_FRAME ) );
}

// The samples of a tap from the first sound on, compared with the
// reference from its first sample.
u32 MatchingSamples( const std::vector<s16>& tap, const std::vector<s16>& reference ) {
	const auto first = std::find_if( tap.begin(), tap.end(), []( const s16 s ) { return s != 0; } );
	const auto firstReference = std::find_if( reference.begin(), reference.end(), []( const s16 s ) { return s != 0; } );
	u32 matched = 0;
	for ( auto a = first, b = firstReference; a != tap.end() && b != reference.end() && *a == *b; ++a, ++b ) {
		matched++;
	}
	return matched;
}

}	// namespace

class VideoAudioTest : public VideoTest {
protected:
	void TearDown() override {
		if ( player.open != 0 ) {
			VIDSimpleExitAudioDecoder( MMFree );
		}
		ARQHostSetLatency( 0, 0 );
		AXHostSetVoiceCount( 64 );
		VideoTest::TearDown();
	}

	// Opens a movie of these tracks and starts its sound with track t.
	void StartSound( const std::vector<ToolVidAudioTrack>& tracks, const u32 t ) {
		MovieRecipe recipe;
		recipe.tracks = tracks;
		ASSERT_TRUE( disc.WriteFile( "MOVIES/SOUND.vid", BuildMovie( recipe ) ) );
		ASSERT_EQ( VIDSimpleOpen( "MOVIES/SOUND.vid", 0 ), 1 );
		_VideoLanguageIndex = t;
		g_i32VolumeL = 0;
		g_i32VolumeR = 0;
		ASSERT_EQ( VIDSimpleInitAudioDecoder( MMMalloc ), 0 );
		bVideoPlaying = true;
	}

	void StopSound() {
		bVideoPlaying = false;
		VIDSimpleExitAudioDecoder( MMFree );
		VIDSimpleClose();
	}

	// Runs one audio frame and appends each voice's samples.
	void Frame() {
		const u64 target = AXHostFrameCount() + 1;
		while ( AXHostFrameCount() < target ) {
			HostIdle();
		}
		for ( u32 i = 0; i < 2; i++ ) {
			AXVPB* const voice = i == 0 ? gpoVideoVoiceLeft : gpoVideoVoiceRight;
			if ( voice != nullptr ) {
				const s16* const samples = AXHostVoiceTap( voice->index );
				tap[i].insert( tap[i].end(), samples, samples + AX_SAMPLES_PER_FRAME );
			} else {
				tap[i].insert( tap[i].end(), AX_SAMPLES_PER_FRAME, 0 );
			}
		}
	}

	// Feeds perFrame bytes per channel every frame (a picture at 30 a
	// second is 6.67 audio frames; here every sixth), the first chunk
	// first bytes, for frames audio frames.
	void Stream( const std::vector<ToolVidAudioTrack>& tracks, const u32 first, const u32 perFrame, const u32 frames ) {
		u32 fed = 0;
		const u32 total = static_cast<u32>( tracks[0].left.size() );
		for ( u32 f = 0; f < frames; f++ ) {
			if ( f % 6 == 0 && fed < total ) {
				u32 n = fed == 0 ? first : perFrame;
				n = std::min( n, total - fed );
				const std::vector<u8> payload = Audd( tracks, fed, n );
				VIDSimpleAudioDecode( payload.data(), static_cast<u32>( payload.size() ) );
				fed += n;
			}
			Frame();
		}
	}

	std::vector<s16> tap[2];
};

// Each voice plays its channel's bytes decoded without a break from the
// priming on, whatever the backlog; silent before 8192 bytes are staged.
TEST_F( VideoAudioTest, EachVoicePlaysItsChannelWithoutABreak ) {
	struct Row {
		const char*	what;
		u32			tracks;
		u32			track;
		u32			first;		// bytes per channel of the first chunk
		u32			perFrame;	// then every sixth audio frame
	};
	const Row rows[] = {
		{ "one track, fed at the playing rate", 1, 0, 608, 608 },
		{ "track 1 of four channels", 2, 1, 608, 608 },
		{ "a backlog from the start", 1, 0, 16384 + 800, 1200 },
		{ "a growing backlog", 1, 0, 8192, 2400 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.what );
		std::vector<ToolVidAudioTrack> tracks;
		for ( u32 t = 0; t < row.tracks; t++ ) {
			tracks.push_back( PatternTrack( t, 8 * 3000 ) );
		}
		tap[0].clear();
		tap[1].clear();
		StartSound( tracks, row.track );
		const ToolVidAudioTrack& heard = tracks[row.track];
		EXPECT_EQ( gpoVideoVoiceLeft->adpcm.coefficients[0], heard.leftCoefficients[0] );
		EXPECT_EQ( gpoVideoVoiceRight->adpcm.coefficients[15], heard.rightCoefficients[15] );
		Stream( tracks, row.first, row.perFrame, 300 );
		// Frames before 8192 bytes were staged.
		const u32 before = row.first >= 8192 ? 0 : ( 8192 - row.first + row.perFrame - 1 ) / row.perFrame * 6;
		for ( u32 i = 0; i < 2; i++ ) {
			SCOPED_TRACE( i );
			const auto sound = std::find_if( tap[i].begin(), tap[i].end(), []( const s16 s ) { return s != 0; } );
			EXPECT_GE( static_cast<u32>( sound - tap[i].begin() ), before * AX_SAMPLES_PER_FRAME ) << "heard before priming";
			const std::vector<s16> reference = Decoded( i == 0 ? heard.leftCoefficients : heard.rightCoefficients,
														i == 0 ? heard.left : heard.right );
			// Every sample from the first on until the sound runs out (a
			// half then replays), and at least 150 frames of them.
			const u32 heardSamples = static_cast<u32>( tap[i].end() - sound );
			const u32 sent = static_cast<u32>( reference.end() - std::find_if( reference.begin(), reference.end(),
																			  []( const s16 s ) { return s != 0; } ) );
			EXPECT_GE( heardSamples, 150u * AX_SAMPLES_PER_FRAME );
			EXPECT_EQ( MatchingSamples( tap[i], reference ), std::min( heardSamples, sent ) );
		}
		StopSound();
	}
}

namespace {

std::vector<std::vector<u8>>& CorpusChunks() {
	static std::vector<std::vector<u8>> chunks;
	return chunks;
}

s32 KeepAndDecode( const u8* data, const u32 size ) {
	CorpusChunks().emplace_back( data, data + size );
	return VIDSimpleAudioDecode( data, size );
}

}	// namespace

// The corpus movie holds less than 8192 bytes a channel (it stays silent
// when played once): its sound is staged twice over, and each track's
// left voice then plays its source tone within the coding error.
TEST_F( VideoAudioTest, TheCorpusTracksMatchTheirSourceTones ) {
	std::ifstream in( std::string( ENGINE_TEST_DATA_DIR ) + "/movie/ip.vid", std::ios::binary );
	const std::vector<u8> movie( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
	ASSERT_FALSE( movie.empty() );
	ASSERT_TRUE( disc.WriteFile( "MOVIES/IP.vid", movie ) );
	const VIDAudioDecodeSink previous = VIDSimpleSetAudioDecodeSink( KeepAndDecode );
	for ( const u32 t : { 0u, 1u } ) {
		SCOPED_TRACE( t );
		std::ifstream source( std::string( ENGINE_TEST_DATA_DIR ) + "/movie/ip.track" + std::to_string( t ) + ".s16", std::ios::binary );
		const std::vector<char> raw( ( std::istreambuf_iterator<char>( source ) ), std::istreambuf_iterator<char>() );
		// Stereo, left first, little-endian.
		std::vector<s16> tone( raw.size() / 4 );
		for ( size_t i = 0; i < tone.size(); i++ ) {
			tone[i] = static_cast<s16>( static_cast<u8>( raw[4 * i] ) | ( static_cast<u8>( raw[4 * i + 1] ) << 8 ) );
		}
		tap[0].clear();
		tap[1].clear();
		CorpusChunks().clear();
		ASSERT_EQ( VIDSimpleOpen( "MOVIES/IP.vid", 0 ), 1 );
		_VideoLanguageIndex = t;
		ASSERT_EQ( VIDSimpleInitAudioDecoder( MMMalloc ), 0 );
		bVideoPlaying = true;
		ASSERT_EQ( VIDSimpleAllocDVDBuffers( MMMalloc ), 1 );
		ASSERT_EQ( VIDSimpleLoadStart( 0 ), 1 );
		for ( u32 turn = 0; turn < 100 && VIDSimpleGetNextFrameNumber() < VIDSimpleGetFrameCount(); turn++ ) {
			VIDSimpleDecode();
			HostIdle();
		}
		while ( VIDSimpleDecode() == 1 ) {
		}
		EXPECT_LT( BuffPos, 8192u );
		for ( const std::vector<u8>& chunk : std::vector<std::vector<u8>>( CorpusChunks() ) ) {
			VIDSimpleAudioDecode( chunk.data(), static_cast<u32>( chunk.size() ) );
		}
		for ( u32 f = 0; f < 120; f++ ) {
			Frame();
		}
		VIDSimpleLoadStop();
		VIDSimpleFreeDVDBuffers( MMFree );
		const auto start = std::find_if( tap[0].begin(), tap[0].end(), []( const s16 s ) { return s != 0; } );
		const u32 compared = static_cast<u32>( tone.size() ) - 1000;
		ASSERT_GE( static_cast<size_t>( tap[0].end() - start ), compared );
		f64 error = 0.0;
		f64 power = 0.0;
		for ( u32 i = 0; i < compared; i++ ) {
			const f64 d = static_cast<f64>( start[i] ) - tone[i];
			error += d * d;
			power += static_cast<f64>( tone[i] ) * tone[i];
		}
		EXPECT_GT( 10.0 * std::log10( power / std::max( error, 1.0 ) ), 15.0 ) << "signal to error in dB";
		StopSound();
	}
	VIDSimpleSetAudioDecodeSink( previous );
}

TEST_F( VideoAudioTest, MuteSilencesAtOnceAndLateTransfersChangeNothing ) {
	const std::vector<ToolVidAudioTrack> tracks = { PatternTrack( 0, 8 * 3000 ) };
	StartSound( tracks, 0 );
	Stream( tracks, 12000, 1200, 80 );
	ASSERT_NE( tap[0].back(), 0 );
	// Transfers now take a second: one will be pending at the mute.
	ARQHostSetLatency( HostSecondsToTicks( 1.0 ), 0 );
	Stream( tracks, 0, 1200, 60 );
	ASSERT_GT( ARQHostPendingCount(), 0u );
	VIDMuteAllChannel();
	Frame();
	const s16* const mix = AXHostFrameMix();
	EXPECT_TRUE( std::all_of( mix, mix + 2 * AX_SAMPLES_PER_FRAME, []( const s16 s ) { return s == 0; } ) );
	StopSound();
	ASSERT_GT( ARQHostPendingCount(), 0u );
	AXVPB* const left = gpoVideoVoiceLeft;
	for ( u32 f = 0; f < 400 && ARQHostPendingCount() > 0; f++ ) {
		Frame();
	}
	EXPECT_EQ( ARQHostPendingCount(), 0u );
	// The shift of the last movie moved nothing and started no voice.
	EXPECT_EQ( BuffPos, 0u );
	EXPECT_EQ( BuffSize, 0u );
	EXPECT_EQ( left->state, AX_VOICE_STOP );
}

TEST_F( VideoAudioTest, VoicesAreKeptForTheNextMovieAndADroppedOneSilencesItsChannel ) {
	const std::vector<ToolVidAudioTrack> tracks = { PatternTrack( 0, 8 * 3000 ) };
	StartSound( tracks, 0 );
	AXVPB* const left = gpoVideoVoiceLeft;
	AXVPB* const right = gpoVideoVoiceRight;
	StopSound();
	StartSound( tracks, 0 );
	EXPECT_EQ( gpoVideoVoiceLeft, left );
	EXPECT_EQ( gpoVideoVoiceRight, right );
	Stream( tracks, 9000, 1200, 40 );
	ASSERT_NE( tap[1].back(), 0 );
	// The right voice is taken away as the voice layer drops a voice.
	AXVPB* const dropped = gpoVideoVoiceRight;
	DropVoiceCallback( dropped );
	AXFreeVoice( dropped );
	EXPECT_EQ( gpoVideoVoiceRight, nullptr );
	EXPECT_NE( gpoVideoVoiceLeft, nullptr );
	tap[0].clear();
	tap[1].clear();
	Stream( tracks, 1200, 1200, 30 );
	EXPECT_TRUE( std::any_of( tap[0].begin(), tap[0].end(), []( const s16 s ) { return s != 0; } ) );
	EXPECT_TRUE( std::all_of( tap[1].begin(), tap[1].end(), []( const s16 s ) { return s == 0; } ) );
	StopSound();
}

// Chunks that do not fit are cut or dropped and reported; a track that is
// not there plays track 0; a PCM movie after an ADPCM one plays silent.
TEST_F( VideoAudioTest, BadChunksTracksAndFormatsAreSafe ) {
	const std::vector<ToolVidAudioTrack> four = { PatternTrack( 0, 8 * 6000 ), PatternTrack( 1, 8 * 6000 ) };
	StartSound( four, 3 );
	EXPECT_EQ( gpoVideoVoiceLeft->adpcm.coefficients[0], four[0].leftCoefficients[0] );
	// A count whose slices pass the payload's end.
	std::vector<u8> payload = Audd( four, 0, 400 );
	DTWriteBE32( payload.data(), 4 * 1000 );
	VIDSimpleAudioDecode( payload.data(), static_cast<u32>( payload.size() ) );
	EXPECT_EQ( BuffPos, 0u );
	EXPECT_TRUE( Reported( "dropped" ) );
	VIDSimpleAudioDecode( payload.data(), 3 );
	EXPECT_EQ( BuffPos, 0u );
	// Much more sound than the voices take (48 kHz worth a frame, no
	// audio frames between): the staging fills up and stops there.
	VideoReports().clear();
	for ( u32 chunk = 0; chunk < 40; chunk++ ) {
		const std::vector<u8> big = Audd( four, 0, 1600 );
		VIDSimpleAudioDecode( big.data(), static_cast<u32>( big.size() ) );
	}
	EXPECT_EQ( BuffPos, VIDEO_AUDIO_STAGING_BYTES );
	EXPECT_EQ( BuffPosR, VIDEO_AUDIO_STAGING_BYTES );
	EXPECT_EQ( std::count_if( VideoReports().begin(), VideoReports().end(),
							  []( const VideoReport& r ) { return r.text.find( "staging full" ) != std::string::npos; } ),
			   2 );
	StopSound();

	// "PC16" after "APCM": silent, nothing staged.
	MovieRecipe recipe;
	recipe.tracks = { PatternTrack( 0, 8 * 400 ) };
	std::vector<u8> pcm = BuildMovie( recipe );
	const auto audh = std::search( pcm.begin(), pcm.end(), std::begin( "AUDH" ), std::begin( "AUDH" ) + 4 );
	ASSERT_NE( audh, pcm.end() );
	std::copy_n( "PC16", 4, audh + 12 );
	ASSERT_TRUE( disc.WriteFile( "MOVIES/PCM.vid", pcm ) );
	ASSERT_EQ( VIDSimpleOpen( "MOVIES/PCM.vid", 0 ), 1 );
	ASSERT_EQ( VIDSimpleInitAudioDecoder( MMMalloc ), 0 );
	EXPECT_EQ( g_ui8VideoAudioMode, VIDEO_AUDIO_MODE_NONE );
	const std::vector<u8> chunk = Audd( recipe.tracks, 0, 400 );
	VIDSimpleAudioDecode( chunk.data(), static_cast<u32>( chunk.size() ) );
	EXPECT_EQ( BuffPos, 0u );
	StopSound();
}
