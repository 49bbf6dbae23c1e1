// vidmux [options] INPUT.m4v OUTPUT.vid
//
// Rewrites an MPEG-4 Part 2 elementary stream into compact frames and
// writes them as a movie, with one sound track per --track option.
//
//   --rate N/D          frames per second as a fraction (default 30/1)
//   --track FILE        a language track: raw 16-bit little-endian stereo
//                       samples at 32000 Hz, left first; tracks shorter
//                       than the longest are extended with silence
//   --loop-tracks       repeat every track to the movie's length (its
//                       pictures at the frame rate) instead
//   --not-coded-as-p    turn planes with vop_coded 0 into empty P frames
//   --version-0-header  write the video header with a u32 denominator
#include "tools/lib/ToolFile.h"
#include "tools/lib/audio/ToolDspAdpcmEncoder.h"
#include "tools/lib/movie/ToolM4vRewriter.h"
#include "tools/lib/movie/ToolVidAudioSchedule.h"
#include "tools/lib/movie/ToolVidMuxer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadFile( const char* path, std::vector<u8>* bytes ) {
	std::ifstream input( path, std::ios::binary );
	if ( !input ) {
		return false;
	}
	bytes->assign( std::istreambuf_iterator<char>( input ), std::istreambuf_iterator<char>() );
	return true;
}

bool ParseRate( const char* text, u32* numerator, u32* denominator ) {
	char* end = nullptr;
	const unsigned long long n = std::strtoull( text, &end, 10 );
	if ( end == text || *end != '/' ) {
		return false;
	}
	const char* rest = end + 1;
	const unsigned long long d = std::strtoull( rest, &end, 10 );
	if ( end == rest || *end != 0 || n == 0 || d == 0 || n > 0xFFFFFFFFull || d > 0xFFFFFFFFull ) {
		return false;
	}
	*numerator = static_cast<u32>( n );
	*denominator = static_cast<u32>( d );
	return true;
}

// Splits interleaved stereo samples into two channels of frames samples.
void SplitStereo( const std::vector<u8>& pcm, const u64 frames, std::vector<s16>* left, std::vector<s16>* right ) {
	left->assign( frames, 0 );
	right->assign( frames, 0 );
	const u64 available = pcm.size() / 4u;
	for ( u64 i = 0; i < available && i < frames; i++ ) {
		const u8* p = pcm.data() + i * 4u;
		( *left )[i] = static_cast<s16>( p[0] | ( p[1] << 8 ) );
		( *right )[i] = static_cast<s16>( p[2] | ( p[3] << 8 ) );
	}
}

int Usage() {
	std::fprintf( stderr, "usage: vidmux [--rate N/D] [--track PCM.s16]... [--loop-tracks] [--not-coded-as-p] [--version-0-header] INPUT.m4v OUTPUT.vid\n" );
	return 2;
}

}

int main( int argc, char** argv ) {
	ToolM4vRewriteOptions rewriteOptions = {};
	ToolVidWriteOptions writeOptions;
	u32 numerator = 30;
	u32 denominator = 1;
	std::vector<const char*> trackPaths;
	std::vector<const char*> paths;
	bool loopTracks = false;
	for ( int i = 1; i < argc; i++ ) {
		if ( std::strcmp( argv[i], "--rate" ) == 0 && i + 1 < argc ) {
			if ( !ParseRate( argv[++i], &numerator, &denominator ) ) {
				std::fprintf( stderr, "vidmux: %s is not a frame rate N/D\n", argv[i] );
				return 2;
			}
		} else if ( std::strcmp( argv[i], "--track" ) == 0 && i + 1 < argc ) {
			trackPaths.push_back( argv[++i] );
		} else if ( std::strcmp( argv[i], "--loop-tracks" ) == 0 ) {
			loopTracks = true;
		} else if ( std::strcmp( argv[i], "--not-coded-as-p" ) == 0 ) {
			rewriteOptions.notCodedAsP = true;
		} else if ( std::strcmp( argv[i], "--version-0-header" ) == 0 ) {
			writeOptions.versionZeroVideoHeader = true;
		} else if ( argv[i][0] == '-' && argv[i][1] == '-' ) {
			return Usage();
		} else {
			paths.push_back( argv[i] );
		}
	}
	if ( paths.size() != 2 ) {
		return Usage();
	}

	std::vector<u8> stream;
	if ( !ReadFile( paths[0], &stream ) ) {
		std::fprintf( stderr, "vidmux: cannot read %s\n", paths[0] );
		return 1;
	}
	ToolM4vRewriteResult rewritten;
	std::string error;
	if ( !ToolM4vRewriter::Rewrite( stream.data(), stream.size(), rewriteOptions, &rewritten, &error ) ) {
		std::fprintf( stderr, "vidmux: %s: %s\n", paths[0], error.c_str() );
		return 1;
	}
	if ( rewritten.vol.width > 0xFFFF || rewritten.vol.height > 0xFFFF ) {
		std::fprintf( stderr, "vidmux: the picture size does not fit the movie header\n" );
		return 1;
	}

	std::vector<std::vector<u8>> pcm( trackPaths.size() );
	u64 longest = 0;
	for ( size_t t = 0; t < trackPaths.size(); t++ ) {
		if ( !ReadFile( trackPaths[t], &pcm[t] ) ) {
			std::fprintf( stderr, "vidmux: cannot read %s\n", trackPaths[t] );
			return 1;
		}
		longest = pcm[t].size() / 4u > longest ? pcm[t].size() / 4u : longest;
	}
	if ( loopTracks ) {
		// Samples covering every picture's time, each track repeated over it.
		longest = ( static_cast<u64>( rewritten.frames.size() ) * TOOL_VID_AUDIO_RATE * denominator + numerator - 1 ) / numerator;
		for ( std::vector<u8>& track : pcm ) {
			const size_t once = track.size() / 4u * 4u;
			if ( once == 0 ) {
				continue;
			}
			const std::vector<u8> loop( track.begin(), track.begin() + static_cast<std::ptrdiff_t>( once ) );
			track.clear();
			while ( track.size() / 4u < longest ) {
				track.insert( track.end(), loop.begin(), loop.end() );
			}
		}
	}
	const ToolDspAdpcmEncoder encoder;
	std::vector<ToolVidAudioTrack> tracks( trackPaths.size() );
	for ( size_t t = 0; t < trackPaths.size(); t++ ) {
		std::vector<s16> left;
		std::vector<s16> right;
		SplitStereo( pcm[t], longest, &left, &right );
		tracks[t].leftCoefficients = encoder.CoefficientHalves();
		tracks[t].rightCoefficients = encoder.CoefficientHalves();
		tracks[t].left = encoder.Encode( left ).bytes;
		tracks[t].right = encoder.Encode( right ).bytes;
	}

	std::vector<std::vector<u8>> pictures;
	for ( const ToolRewrittenFrame& frame : rewritten.frames ) {
		pictures.push_back( frame.bytes );
	}
	std::vector<ToolVidFrame> frames;
	if ( !ToolVidMuxer::BuildFrames( pictures, tracks, numerator, denominator, &frames, &error ) ) {
		std::fprintf( stderr, "vidmux: %s\n", error.c_str() );
		return 1;
	}
	ToolVidVideoHeader video = {};
	video.width = static_cast<u16>( rewritten.vol.width );
	video.height = static_cast<u16>( rewritten.vol.height );
	video.rateNumerator = numerator;
	video.rateDenominator = denominator;
	std::vector<u8> file;
	if ( !ToolVidMuxer::Write( video, tracks, frames, writeOptions, &file, &error ) ) {
		std::fprintf( stderr, "vidmux: %s\n", error.c_str() );
		return 1;
	}
	if ( !ToolWriteFile( paths[1], file, error ) ) {
		std::fprintf( stderr, "vidmux: %s\n", error.c_str() );
		return 1;
	}
	return 0;
}
