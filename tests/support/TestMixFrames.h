/*
===============================================================================

	Which audio frames of a written mix carry sound: tests start the mix
	into a temporary WAV file, play, stop it and ask frame by frame.

===============================================================================
*/
#ifndef TEST_MIX_FRAMES_H
#define TEST_MIX_FRAMES_H

#include "platform/ax/AXHost.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class TestMixFrames {
public:
	// Starts writing the mix into a new temporary file; false on failure.
	bool Start() {
		char path[] = "/tmp/test_mix_XXXXXX";
		const int fd = mkstemp( path );
		if ( fd < 0 ) {
			return false;
		}
		close( fd );
		mPath = path;
		mStart = AXHostFrameCount();
		return AXHostSetWavPath( path );
	}

	// Audio frames rendered since Start.
	u64 Now() const { return AXHostFrameCount() - mStart; }

	// Stops writing and reads which frames carry a non-zero sample; false
	// when the file holds fewer frames than were rendered.
	bool Stop() {
		const u64 frames = Now();
		AXHostSetWavPath( nullptr );
		std::ifstream in( mPath, std::ios::binary );
		const std::vector<u8> wav( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
		std::remove( mPath.c_str() );
		constexpr u32 HEADER = 44;
		constexpr u32 FRAME_BYTES = AX_SAMPLES_PER_FRAME * 4;
		if ( wav.size() < HEADER + frames * FRAME_BYTES ) {
			return false;
		}
		mLoud.clear();
		for ( u64 f = 0; f < frames; f++ ) {
			const u8* const bytes = wav.data() + HEADER + f * FRAME_BYTES;
			mLoud.push_back( std::any_of( bytes, bytes + FRAME_BYTES, []( const u8 b ) { return b != 0; } ) );
		}
		return true;
	}

	u64 End() const { return mLoud.size(); }
	// Frames with sound in [from, to).
	u64 LoudIn( const u64 from, const u64 to ) const {
		return static_cast<u64>( std::count( At( from ), At( to ), true ) );
	}
	// The first frame with sound from `from` on (End() when none).
	u64 FirstLoud( const u64 from ) const { return static_cast<u64>( std::find( At( from ), mLoud.end(), true ) - mLoud.begin() ); }

private:
	std::vector<bool>::const_iterator At( const u64 f ) const {
		return mLoud.begin() + static_cast<std::ptrdiff_t>( std::min<u64>( f, mLoud.size() ) );
	}

	std::string			mPath;
	u64					mStart = 0;
	std::vector<bool>	mLoud;
};

#endif
