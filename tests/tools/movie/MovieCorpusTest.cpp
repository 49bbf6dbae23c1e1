#include "CompactHeaderReader.h"
#include "MovieCorpusPath.h"
#include "VidWalker.h"

#include "datatypes/base/DTByteOrder.h"
#include "support/TestScratchFolder.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "tools/lib/audio/ToolGenhWriter.h"
#include "tools/lib/movie/ToolM4vRewriter.h"
#include "tools/lib/movie/ToolVidMuxer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

struct CorpusStream {
	const char* name;
	u32 tracks;
};
const CorpusStream STREAMS[] = {
	{ "ionly", 0 }, { "ip", 2 }, { "bframes", 1 }, { "mv4", 0 }, { "mpegquant", 0 }, { "mpegmatrix", 0 },
	{ "interlacedtop", 0 }, { "interlacedbottom", 0 }, { "interlacedfield", 0 }, { "interlacedmotion", 0 }, { "motion", 0 }, { "oddsize", 0 }, { "gmc", 0 }, { "bench", 0 },
};

std::vector<u8> ReadBytes( const std::filesystem::path& path ) {
	std::ifstream input( path, std::ios::binary );
	EXPECT_TRUE( input.good() ) << path;
	return std::vector<u8>( ( std::istreambuf_iterator<char>( input ) ), std::istreambuf_iterator<char>() );
}

std::filesystem::path Corpus( const std::string& name, const char* extension ) {
	return MovieCorpusPath() / ( name + extension );
}

struct ListedFrame {
	char type;
	u32 forward, backward;
	u64 time;
};

// NAME.frames.txt: the resolution line, then type, f-codes, time.
std::vector<ListedFrame> ReadFrameList( const std::string& text, u32* resolution ) {
	std::istringstream lines( text );
	std::string word;
	lines >> word >> *resolution;
	std::vector<ListedFrame> frames;
	ListedFrame frame;
	while ( lines >> frame.type >> frame.forward >> frame.backward >> frame.time ) {
		frames.push_back( frame );
	}
	return frames;
}

struct ProbedFrame {
	char type;
	f64 seconds;
};

// ffprobe's csv: time, type, interlaced, top field first.
std::vector<ProbedFrame> ReadProbe( const std::string& text ) {
	std::istringstream lines( text );
	std::string line;
	std::vector<ProbedFrame> frames;
	while ( std::getline( lines, line ) ) {
		const size_t comma = line.find( ',' );
		if ( comma == std::string::npos || comma + 1 >= line.size() ) {
			continue;
		}
		frames.push_back( { line[comma + 1], std::strtod( line.c_str(), nullptr ) } );
	}
	return frames;
}

std::string ReadText( const std::filesystem::path& path ) {
	const std::vector<u8> bytes = ReadBytes( path );
	return std::string( bytes.begin(), bytes.end() );
}

// Display order: each reference waits until the B frames after it in the
// file have been shown.
std::vector<ListedFrame> DisplayOrder( const std::vector<ListedFrame>& fileOrder ) {
	std::vector<ListedFrame> shown;
	bool holding = false;
	ListedFrame held = {};
	for ( const ListedFrame& frame : fileOrder ) {
		if ( frame.type == 'B' ) {
			shown.push_back( frame );
			continue;
		}
		if ( holding ) {
			shown.push_back( held );
		}
		held = frame;
		holding = true;
	}
	if ( holding ) {
		shown.push_back( held );
	}
	return shown;
}

void ExpectMatchesProbe( const std::vector<ListedFrame>& fileOrder, const u32 resolution, const std::vector<ProbedFrame>& probe ) {
	const std::vector<ListedFrame> shown = DisplayOrder( fileOrder );
	ASSERT_EQ( shown.size(), probe.size() );
	for ( size_t i = 0; i < shown.size(); i++ ) {
		EXPECT_EQ( shown[i].type, probe[i].type ) << "display frame " << i;
		EXPECT_NEAR( static_cast<f64>( shown[i].time ) / resolution, probe[i].seconds, 0.5e-6 ) << "display frame " << i;
	}
}

bool HaveFfmpeg() {
	return std::system( "ffmpeg -version >/dev/null 2>&1" ) == 0 && std::system( "ffprobe -version >/dev/null 2>&1" ) == 0;
}

std::string RunCommand( const std::string& command ) {
	std::string output;
	FILE* pipe = popen( command.c_str(), "r" );
	if ( pipe == nullptr ) {
		return output;
	}
	char buffer[4096];
	size_t count;
	while ( ( count = std::fread( buffer, 1, sizeof( buffer ), pipe ) ) > 0 ) {
		output.append( buffer, count );
	}
	pclose( pipe );
	return output;
}

}

#define REQUIRE_FFMPEG()                                                       \
	if ( !HaveFfmpeg() ) {                                                     \
		if ( std::getenv( "CI" ) != nullptr ) {                                \
			FAIL() << "ffmpeg and ffprobe are required under CI";             \
		}                                                                      \
		GTEST_SKIP() << "ffmpeg is not installed";                             \
	}

TEST( MovieCorpus, FrameTypesOfTheCompactFramesFollowTheListInBothOrders ) {
	for ( const CorpusStream& stream : STREAMS ) {
		SCOPED_TRACE( stream.name );
		u32 resolution = 0;
		const std::vector<ListedFrame> listed = ReadFrameList( ReadText( Corpus( stream.name, ".frames.txt" ) ), &resolution );
		VidMovie movie;
		std::string problem;
		ASSERT_TRUE( WalkVid( ReadBytes( Corpus( stream.name, ".vid" ) ), &movie, &problem ) ) << problem;
		ASSERT_EQ( movie.frames.size(), listed.size() );
		for ( size_t k = 0; k < movie.frames.size(); k++ ) {
			const VidSubChunk* video = FindSubChunk( movie.frames[k], ToolVidTag( "VIDD" ) );
			ASSERT_NE( video, nullptr );
			ASSERT_GE( video->payload.size(), 4u );
			// The decoder's frame-type query: skip 16 bits, take 2.
			const u32 type = ( DTReadBE32( video->payload.data() ) >> 14 ) & 3u;
			EXPECT_EQ( "IPBS"[type], listed[k].type ) << "file frame " << k;
		}
		ASSERT_GT( resolution, 0u );
		ExpectMatchesProbe( listed, resolution, ReadProbe( ReadText( Corpus( stream.name, ".probe.csv" ) ) ) );
	}
}

TEST( MovieCorpus, MacroblockBitsFollowEachCompactHeaderUnchanged ) {
	for ( const CorpusStream& stream : STREAMS ) {
		SCOPED_TRACE( stream.name );
		const std::vector<u8> m4v = ReadBytes( Corpus( stream.name, ".m4v" ) );
		ToolM4vRewriteResult rewritten;
		std::string error;
		ASSERT_TRUE( ToolM4vRewriter::Rewrite( m4v.data(), m4v.size(), {}, &rewritten, &error ) ) << error;
		u32 resolution = 0;
		const std::vector<ListedFrame> listed = ReadFrameList( ReadText( Corpus( stream.name, ".frames.txt" ) ), &resolution );
		VidMovie movie;
		ASSERT_TRUE( WalkVid( ReadBytes( Corpus( stream.name, ".vid" ) ), &movie, &error ) ) << error;
		ASSERT_EQ( rewritten.frames.size(), movie.frames.size() );
		ASSERT_EQ( listed.size(), movie.frames.size() );
		EXPECT_EQ( movie.width, rewritten.vol.width );
		EXPECT_EQ( movie.height, rewritten.vol.height );
		EXPECT_EQ( resolution, rewritten.vol.timeResolution );

		CompactHeaderReader reader;
		for ( size_t k = 0; k < movie.frames.size(); k++ ) {
			SCOPED_TRACE( k );
			const std::vector<u8>& frame = FindSubChunk( movie.frames[k], ToolVidTag( "VIDD" ) )->payload;
			CompactHeader header;
			ASSERT_TRUE( reader.Read( frame, &header ) );
			EXPECT_EQ( header.time, listed[k].time );
			EXPECT_EQ( header.forwardFCode, listed[k].forward );
			EXPECT_EQ( header.backwardFCode, listed[k].backward );
			EXPECT_EQ( header.sequence, k == 0 || header.type == 0 );

			const ToolRewrittenFrame& source = rewritten.frames[k];
			const u64 first = source.sourceOffset * 8 + source.sourceHeaderBits;
			const u64 count = source.sourceSize * 8 - source.sourceHeaderBits;
			u64 mismatches = 0;
			for ( u64 i = 0; i < count; i++ ) {
				mismatches += BitAt( frame, header.payloadBit + i ) != BitAt( m4v, first + i );
			}
			EXPECT_EQ( mismatches, 0u );
			for ( u64 bit = header.payloadBit + count; bit < frame.size() * 8; bit++ ) {
				mismatches += BitAt( frame, bit );
			}
			EXPECT_EQ( mismatches, 0u ) << "only zeros after the copied bits";
		}
	}
}

TEST( MovieCorpus, MoviesCarryTheEncodedTracksChannelByChannel ) {
	const ToolDspAdpcmEncoder encoder;
	for ( const CorpusStream& stream : STREAMS ) {
		SCOPED_TRACE( stream.name );
		VidMovie movie;
		std::string problem;
		ASSERT_TRUE( WalkVid( ReadBytes( Corpus( stream.name, ".vid" ) ), &movie, &problem ) ) << problem;
		EXPECT_EQ( movie.rateNumerator, 30u );
		EXPECT_EQ( movie.rateDenominator, 1u );
		EXPECT_EQ( movie.hasAudio, stream.tracks > 0 );
		if ( stream.tracks == 0 ) {
			continue;
		}
		const u32 channels = stream.tracks * 2;
		ASSERT_EQ( movie.audioHeader.size(), 10u + 66u * stream.tracks );
		EXPECT_EQ( movie.audioHeader[8], channels );
		std::vector<std::vector<u8>> carried( channels );
		for ( const VidFrameChunk& frame : movie.frames ) {
			const VidSubChunk* audio = FindSubChunk( frame, ToolVidTag( "AUDD" ) );
			ASSERT_NE( audio, nullptr );
			const u32 each = DTReadBE32( audio->payload.data() ) / channels;
			for ( u32 ch = 0; ch < channels; ch++ ) {
				carried[ch].insert( carried[ch].end(), audio->payload.begin() + 4 + ch * each, audio->payload.begin() + 4 + ( ch + 1 ) * each );
			}
		}
		for ( u32 t = 0; t < stream.tracks; t++ ) {
			const std::vector<u8> pcm = ReadBytes( Corpus( stream.name, ( ".track" + std::to_string( t ) + ".s16" ).c_str() ) );
			std::vector<s16> left;
			std::vector<s16> right;
			for ( size_t i = 0; i + 3 < pcm.size(); i += 4 ) {
				left.push_back( DTReadLES16( &pcm[i] ) );
				right.push_back( DTReadLES16( &pcm[i + 2] ) );
			}
			// The movie lasts as long as its sound, so every byte is carried.
			EXPECT_EQ( carried[2 * t], encoder.Encode( left ).bytes );
			EXPECT_EQ( carried[2 * t + 1], encoder.Encode( right ).bytes );
			const std::array<u16, 16> halves = encoder.CoefficientHalves();
			for ( u32 i = 0; i < 16; i++ ) {
				EXPECT_EQ( DTReadBE16( &movie.audioHeader[10 + 66 * t + 2 * i] ), halves[i] );
				EXPECT_EQ( DTReadBE16( &movie.audioHeader[42 + 66 * t + 2 * i] ), halves[i] );
			}
		}
	}
}

TEST( MovieCorpus, TheTrackToneSurvivesAnIndependentDecoderAtThirtyDecibels ) {
	REQUIRE_FFMPEG();
	const std::vector<u8> pcm = ReadBytes( Corpus( "ip", ".track0.s16" ) );
	std::vector<s16> left;
	for ( size_t i = 0; i + 3 < pcm.size(); i += 4 ) {
		left.push_back( DTReadLES16( &pcm[i] ) );
	}
	const ToolDspAdpcmEncoder encoder;
	const ToolAdpcmEncoded encoded = encoder.Encode( left );
	const std::vector<u8> genh = ToolGenhWriter::WrapMono( encoded.bytes, encoded.sampleCount, 32000, ToolDspAdpcmEncoder::DefaultCoefficients() );
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "movie-corpus-" ) );
	{
		std::ofstream out( scratch / "tone.genh", std::ios::binary );
		out.write( reinterpret_cast<const char*>( genh.data() ), static_cast<std::streamsize>( genh.size() ) );
	}
	const std::string decoded = RunCommand( "ffmpeg -nostdin -hide_banner -loglevel error -i '" + ( scratch / "tone.genh" ).string() +
									 "' -f s16le -acodec pcm_s16le - 2>/dev/null" );
	scratch.Remove();
	// The decoder plays the zero nibbles that fill the last ADPCM frame too.
	ASSERT_GE( decoded.size(), left.size() * 2 );
	f64 signal = 0;
	f64 noise = 0;
	for ( size_t i = 0; i < left.size(); i++ ) {
		const f64 played = DTReadLES16( reinterpret_cast<const u8*>( decoded.data() ) + 2 * i );
		signal += static_cast<f64>( left[i] ) * left[i];
		noise += ( played - left[i] ) * ( played - left[i] );
	}
	ASSERT_GT( signal, 0.0 );
	EXPECT_GE( 10.0 * std::log10( signal / std::max( noise, 1.0 ) ), 30.0 );
}

TEST( MovieCorpus, AFreshStreamWithBFramesMatchesFfprobeInDisplayOrder ) {
	REQUIRE_FFMPEG();
	TestScratchFolder scratch;
	ASSERT_TRUE( scratch.Make( "movie-corpus-" ) );
	const std::string m4v = ( scratch / "fresh.m4v" ).string();
	RunCommand( "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 19 "
		 "-c:v mpeg4 -threads 1 -g 8 -bf 2 -b_strategy 0 -f m4v '" + m4v + "'" );
	const std::string probe = RunCommand( "ffprobe -hide_banner -loglevel error -show_frames -select_streams v "
								   "-show_entries frame=pts_time,pict_type -of csv=p=0 '" + m4v + "'" );
	const std::vector<u8> stream = ReadBytes( m4v );
	scratch.Remove();
	ToolM4vRewriteResult rewritten;
	std::string error;
	ASSERT_TRUE( ToolM4vRewriter::Rewrite( stream.data(), stream.size(), {}, &rewritten, &error ) ) << error;
	std::vector<ListedFrame> fileOrder;
	bool sawB = false;
	for ( const ToolRewrittenFrame& frame : rewritten.frames ) {
		const u32 type = ( DTReadBE32( frame.bytes.data() ) >> 14 ) & 3u;
		fileOrder.push_back( { "IPBS"[type], 0, 0, frame.time } );
		sawB = sawB || type == 2;
	}
	EXPECT_TRUE( sawB );
	ExpectMatchesProbe( fileOrder, rewritten.vol.timeResolution, ReadProbe( probe ) );
}
