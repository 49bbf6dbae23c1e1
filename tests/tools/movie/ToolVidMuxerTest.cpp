#include "VidWalker.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/movie/ToolVidAudioSchedule.h"
#include "tools/lib/movie/ToolVidMuxer.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

ToolVidVideoHeader Video( const u32 numerator = 30, const u32 denominator = 1 ) {
	ToolVidVideoHeader video = {};
	video.width = 48;
	video.height = 32;
	video.rateNumerator = numerator;
	video.rateDenominator = denominator;
	return video;
}

// A track whose channel c holds bytes (c * 37 + i) so that every byte
// tells where it came from.
ToolVidAudioTrack Track( const u32 track, const u64 bytes ) {
	ToolVidAudioTrack t;
	for ( u32 i = 0; i < 16; i++ ) {
		t.leftCoefficients[i] = static_cast<u16>( 0x1000 * track + i );
		t.rightCoefficients[i] = static_cast<u16>( 0x1000 * track + 0x100 + i );
	}
	for ( u64 i = 0; i < bytes; i++ ) {
		t.left.push_back( static_cast<u8>( ( 2 * track ) * 37 + i ) );
		t.right.push_back( static_cast<u8>( ( 2 * track + 1 ) * 37 + i ) );
	}
	return t;
}

std::vector<std::vector<u8>> Pictures( const std::vector<u32>& sizes ) {
	std::vector<std::vector<u8>> pictures;
	for ( const u32 size : sizes ) {
		std::vector<u8> picture( size );
		for ( u32 i = 0; i < size; i++ ) {
			picture[i] = static_cast<u8>( 0xA0 + i );
		}
		pictures.push_back( picture );
	}
	return pictures;
}

std::vector<u8> Mux( const std::vector<std::vector<u8>>& pictures, const std::vector<ToolVidAudioTrack>& tracks,
					 const ToolVidVideoHeader& video, const ToolVidWriteOptions& options = {} ) {
	std::vector<ToolVidFrame> frames;
	std::string error;
	EXPECT_TRUE( ToolVidMuxer::BuildFrames( pictures, tracks, video.rateNumerator, video.rateDenominator, &frames, &error ) ) << error;
	std::vector<u8> file;
	EXPECT_TRUE( ToolVidMuxer::Write( video, tracks, frames, options, &file, &error ) ) << error;
	return file;
}

}

TEST( ToolVidMuxer, WritesTheSmallestMovieByteForByte ) {
	const std::vector<u8> file = Mux( { { 0xDE, 0xAD, 0xBE, 0xEF } }, {}, Video() );
	const u8 expected[] = {
		// VID1, 32 bytes, version 1.0
		'V', 'I', 'D', '1', 0, 0, 0, 32, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
		// HEAD of 64 bytes; VIDH version 1: 48 x 32, 1 frame, largest 64, 30 / 1, flag 0
		'H', 'E', 'A', 'D', 0, 0, 0, 64, 0, 0, 0, 0,
		'V', 'I', 'D', 'H', 0, 0, 0, 32, 0, 0, 0, 1,
		0, 48, 0, 32, 0, 0, 0, 1, 0, 0, 0, 64, 0, 0, 0, 30, 0, 1, 0, 0,
		0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
		// FRAM of 64 bytes with a VIDD lengthened to 32
		'F', 'R', 'A', 'M', 0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
		'V', 'I', 'D', 'D', 0, 0, 0, 32, 0, 0, 0, 0, 0xDE, 0xAD, 0xBE, 0xEF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
		// trailer
		0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
	};
	EXPECT_EQ( file, std::vector<u8>( expected, expected + sizeof( expected ) ) );
}

TEST( ToolVidMuxer, KeepsEveryChunkReadableByTheReadAhead ) {
	struct Case {
		std::vector<u32> pictures;
		u32 tracks;
		u64 channelBytes;
		u32 numerator, denominator;
	};
	const Case cases[] = {
		{ { 0 }, 0, 0, 30, 1 },
		{ { 4, 8, 16, 20, 24 }, 0, 0, 30, 1 },
		{ { 100, 4, 1000, 52, 56 }, 1, 8 * 200, 30000, 1001 },
		{ { 16, 16, 16 }, 2, 8 * 3, 25, 1 },
		{ { 4, 4, 4, 4, 4, 4, 4, 4 }, 3, 8 * 1000, 60, 1 },
		{ { 300, 12 }, 1, 0, 24, 1 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.pictures.size() * 10 + c.tracks );
		std::vector<ToolVidAudioTrack> tracks;
		for ( u32 t = 0; t < c.tracks; t++ ) {
			tracks.push_back( Track( t, c.channelBytes ) );
		}
		const std::vector<u8> file = Mux( Pictures( c.pictures ), tracks, Video( c.numerator, c.denominator ) );
		VidMovie movie;
		std::string problem;
		ASSERT_TRUE( WalkVid( file, &movie, &problem ) ) << problem;
		EXPECT_EQ( movie.frameCount, c.pictures.size() );
		EXPECT_EQ( movie.rateNumerator, c.numerator );
		EXPECT_EQ( movie.rateDenominator, c.denominator );
		EXPECT_EQ( movie.hasAudio, c.tracks > 0 );
		ASSERT_EQ( movie.frames.size(), c.pictures.size() );
		for ( size_t k = 0; k < c.pictures.size(); k++ ) {
			const VidSubChunk* video = FindSubChunk( movie.frames[k], ToolVidTag( "VIDD" ) );
			ASSERT_NE( video, nullptr );
			ASSERT_GE( video->payload.size(), c.pictures[k] );
			EXPECT_EQ( std::vector<u8>( video->payload.begin(), video->payload.begin() + c.pictures[k] ), Pictures( { c.pictures[k] } )[0] );
			EXPECT_EQ( FindSubChunk( movie.frames[k], ToolVidTag( "AUDD" ) ) != nullptr, c.tracks > 0 );
		}
	}
}

TEST( ToolVidMuxer, SplitsEachChannelIntoWholeAdpcmFramesInChannelOrder ) {
	struct Case {
		u32 tracks;
		u32 frames;
		u32 numerator, denominator;
		u64 channelBytes;
	};
	const Case cases[] = {
		{ 1, 12, 30, 1, 7320 },			// exactly 0.4 s
		{ 2, 12, 30, 1, 8 * 2000 },		// more sound than pictures: the rest is dropped
		{ 1, 30, 30000, 1001, 8 * 100 },	// less sound: later frames carry none
		{ 3, 7, 24, 1, 8 * 700 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.frames );
		std::vector<ToolVidAudioTrack> tracks;
		for ( u32 t = 0; t < c.tracks; t++ ) {
			tracks.push_back( Track( t, c.channelBytes ) );
		}
		const std::vector<u8> file = Mux( Pictures( std::vector<u32>( c.frames, 8 ) ), tracks, Video( c.numerator, c.denominator ) );
		VidMovie movie;
		std::string problem;
		ASSERT_TRUE( WalkVid( file, &movie, &problem ) ) << problem;

		const u32 channels = c.tracks * 2;
		ASSERT_EQ( movie.audioHeader.size(), 10u + 66u * c.tracks );
		EXPECT_EQ( DTReadBE32( &movie.audioHeader[0] ), ToolVidTag( "APCM" ) );
		EXPECT_EQ( DTReadBE32( &movie.audioHeader[4] ), 32000u );
		EXPECT_EQ( movie.audioHeader[8], channels );
		for ( u32 t = 0; t < c.tracks; t++ ) {
			for ( u32 i = 0; i < 16; i++ ) {
				EXPECT_EQ( DTReadBE16( &movie.audioHeader[10 + 66 * t + 2 * i] ), tracks[t].leftCoefficients[i] );
				EXPECT_EQ( DTReadBE16( &movie.audioHeader[42 + 66 * t + 2 * i] ), tracks[t].rightCoefficients[i] );
			}
			EXPECT_EQ( movie.audioHeader[74 + 66 * t], 0 );
			EXPECT_EQ( movie.audioHeader[75 + 66 * t], 0 );
		}

		std::vector<std::vector<u8>> carried( channels );
		for ( u32 k = 0; k < c.frames; k++ ) {
			const VidSubChunk* audio = FindSubChunk( movie.frames[k], ToolVidTag( "AUDD" ) );
			ASSERT_NE( audio, nullptr );
			const u32 total = DTReadBE32( audio->payload.data() );
			ASSERT_EQ( total % ( channels * 8 ), 0u ) << "whole ADPCM frames, the same for every channel";
			const u32 each = total / channels;
			ASSERT_LE( 4u + total, audio->payload.size() );
			for ( u32 ch = 0; ch < channels; ch++ ) {
				carried[ch].insert( carried[ch].end(), audio->payload.begin() + 4 + ch * each, audio->payload.begin() + 4 + ( ch + 1 ) * each );
			}
			// Running total after k + 1 frames: the ADPCM frames covering
			// 32000 (k + 1) / fps samples.
			const u64 samples = 32000ull * ( k + 1 ) * c.denominator / c.numerator;
			const u64 expected = std::min<u64>( ( samples + 13 ) / 14 * 8, c.channelBytes );
			EXPECT_EQ( carried[0].size(), expected ) << "frame " << k;
		}
		for ( u32 ch = 0; ch < channels; ch++ ) {
			const std::vector<u8>& source = ch % 2 == 0 ? tracks[ch / 2].left : tracks[ch / 2].right;
			EXPECT_EQ( carried[ch], std::vector<u8>( source.begin(), source.begin() + carried[ch].size() ) ) << "channel " << ch;
		}
	}
}

TEST( ToolVidAudioSchedule, KeepsTheRunningTotalOnTheClockOverLongMovies ) {
	struct Case {
		u64 frames;
		u32 numerator, denominator;
		u64 expected;
	};
	const Case cases[] = {
		{ 0, 30, 1, 0 },
		{ 1, 30, 1, 8 * 77 },					// 1066.67 samples
		{ 3, 30, 1, 8 * 229 },					// 3200 samples
		{ 108000, 30, 1, 8 * 8228572 },			// an hour: 115200000 samples
		{ 107892, 30000, 1001, 8 * 8228564 },	// 115199884 samples, not 107892 x 1067
		{ 4000000000ull, 60, 1, 8 * 152380952381ull },	// past 2^64 before the division
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( ToolVidAudioSchedule::BytesBefore( c.frames, c.numerator, c.denominator, ~0ull ), c.expected ) << c.frames;
	}
	EXPECT_EQ( ToolVidAudioSchedule::BytesBefore( 1000, 30, 1, 4096 ), 4096u );
}

TEST( ToolVidMuxer, WritesTheVersionZeroVideoHeaderWithAWideDenominator ) {
	ToolVidWriteOptions options;
	options.versionZeroVideoHeader = true;
	const std::vector<u8> file = Mux( Pictures( { 8, 8 } ), {}, Video( 3000000, 100000 ), options );
	VidMovie movie;
	std::string problem;
	ASSERT_TRUE( WalkVid( file, &movie, &problem ) ) << problem;
	EXPECT_EQ( movie.videoVersion, 0u );
	EXPECT_EQ( movie.rateNumerator, 3000000u );
	EXPECT_EQ( movie.rateDenominator, 100000u );
}

TEST( ToolVidMuxer, MakesOnlyTheDefectsAskedFor ) {
	struct Case {
		const char* expected;	// empty: the file stays readable
		std::function<void( std::vector<ToolVidFrame>&, ToolVidWriteOptions& )> change;
	};
	const Case cases[] = {
		{ "", []( std::vector<ToolVidFrame>& f, ToolVidWriteOptions& ) {
			  f[1].subChunks.push_back( { ToolVidTag( "XTRA" ), 7, std::vector<u8>( 40, 0x55 ) } );
			  f[0].subChunks[0].payload = { 1, 2, 3 };
		  } },
		{ "skips bytes that are not padding", []( std::vector<ToolVidFrame>& f, ToolVidWriteOptions& o ) {
			  // 32 + 40 + 20 bytes: the short VIDD would start 24 bytes before the end.
			  f[0].subChunks.insert( f[0].subChunks.begin(), { ToolVidTag( "XTRA" ), 0, std::vector<u8>( 28, 0x55 ) } );
			  o.keepShortSubChunks = true;
		  } },
		{ "HEAD: a sub-chunk under 32", []( std::vector<ToolVidFrame>&, ToolVidWriteOptions& o ) { o.headPaddingOfOneBlock = true; } },
		{ "not a multiple of 32", []( std::vector<ToolVidFrame>&, ToolVidWriteOptions& o ) { o.unalignedFrames = true; } },
		{ "no trailer", []( std::vector<ToolVidFrame>&, ToolVidWriteOptions& o ) { o.omitTrailer = true; } },
		{ "runs past its chunk", []( std::vector<ToolVidFrame>& f, ToolVidWriteOptions& ) { f[1].subChunks[0].sizeOverride = 4096; } },
		{ "no FRAM where the previous one ends", []( std::vector<ToolVidFrame>& f, ToolVidWriteOptions& ) { f[1].sizeOverride = 128; } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.expected );
		std::vector<ToolVidFrame> frames;
		std::string error;
		ASSERT_TRUE( ToolVidMuxer::BuildFrames( Pictures( { 8, 40, 8 } ), {}, 30, 1, &frames, &error ) );
		ToolVidWriteOptions options;
		c.change( frames, options );
		std::vector<u8> file;
		ASSERT_TRUE( ToolVidMuxer::Write( Video(), {}, frames, options, &file, &error ) ) << error;
		VidMovie movie;
		std::string problem;
		const bool readable = WalkVid( file, &movie, &problem );
		if ( c.expected[0] == 0 ) {
			EXPECT_TRUE( readable ) << problem;
		} else {
			EXPECT_FALSE( readable );
			EXPECT_NE( problem.find( c.expected ), std::string::npos ) << problem;
		}
	}
}

TEST( ToolVidMuxer, RefusesMoviesItCannotDescribe ) {
	std::vector<ToolVidFrame> frames;
	std::vector<u8> file;
	std::string error;
	ToolVidAudioTrack uneven = Track( 0, 16 );
	uneven.right.resize( 8 );
	EXPECT_FALSE( ToolVidMuxer::BuildFrames( Pictures( { 4 } ), { uneven }, 30, 1, &frames, &error ) );
	EXPECT_FALSE( ToolVidMuxer::BuildFrames( Pictures( { 4 } ), { Track( 0, 12 ) }, 30, 1, &frames, &error ) );
	EXPECT_FALSE( ToolVidMuxer::BuildFrames( Pictures( { 4 } ), {}, 0, 1, &frames, &error ) );
	EXPECT_FALSE( ToolVidMuxer::Write( Video(), {}, {}, {}, &file, &error ) );
	ASSERT_TRUE( ToolVidMuxer::BuildFrames( Pictures( { 4 } ), {}, 30, 1, &frames, &error ) );
	EXPECT_FALSE( ToolVidMuxer::Write( Video( 30, 0x10000 ), {}, frames, {}, &file, &error ) );
	EXPECT_FALSE( ToolVidMuxer::Write( Video( 0, 1 ), {}, frames, {}, &file, &error ) );
	EXPECT_TRUE( file.empty() );
}
