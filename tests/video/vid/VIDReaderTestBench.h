/*
===============================================================================

	Fixture for the movie reader's tests: a fresh disc folder, the disc
	library, video interface and controllers reset and started, the ROM
	font built, the virtual clock at 0, reports recorded and panics turned
	into exceptions. The reader's picture and sound sinks record every
	payload they are given.

	Movies are written with the tools library's muxer. Each picture starts
	with its frame number (big-endian u32) so that a payload tells which
	frame it came from.

===============================================================================
*/
#ifndef VID_READER_TEST_BENCH_H
#define VID_READER_TEST_BENCH_H

#include "datatypes/base/DTByteOrder.h"
#include "platform/dvd/DVDHost.h"
#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/file/DTDiscMessage.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"
#include "platform/os/OSFont.h"
#include "support/HostTestDisc.h"
#include "tools/lib/movie/ToolVidMuxer.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDSimpleDiscCheck.h"
#include "video/vid/VIDSimpleOpen.h"
#include "video/vid/VIDSimplePlayer.h"
#include "video/vid/VIDSimpleReadAhead.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// Where the muxer puts the header fields (no sub-chunk before the VIDH).
constexpr u32 TEST_HEAD_SIZE_AT		= 36;
constexpr u32 TEST_VIDEO_PAYLOAD_AT	= 56;
constexpr u32 TEST_WIDTH_AT			= TEST_VIDEO_PAYLOAD_AT + 0;
constexpr u32 TEST_HEIGHT_AT		= TEST_VIDEO_PAYLOAD_AT + 2;
constexpr u32 TEST_FRAME_COUNT_AT	= TEST_VIDEO_PAYLOAD_AT + 4;
constexpr u32 TEST_LARGEST_AT		= TEST_VIDEO_PAYLOAD_AT + 8;
constexpr u32 TEST_NUMERATOR_AT		= TEST_VIDEO_PAYLOAD_AT + 12;
constexpr u32 TEST_DENOMINATOR_AT	= TEST_VIDEO_PAYLOAD_AT + 16;
constexpr u32 TEST_AUDIO_SUB_AT		= TEST_VIDEO_PAYLOAD_AT + 20;
constexpr u32 TEST_AUDIO_PAYLOAD_AT	= TEST_AUDIO_SUB_AT + 12;

// What the sinks were given, in order.
struct VIDReaderSeen {
	std::vector<std::vector<u8>>	video;
	std::vector<std::vector<u8>>	audio;
	std::vector<std::string>		reports;
};

inline VIDReaderSeen& ReaderSeen() {
	static VIDReaderSeen seen;
	return seen;
}

inline s32 RecordVideo( M4Decoder*, const u8* data, const u32 size, VIDImage** image ) {
	EXPECT_NE( image, nullptr );
	ReaderSeen().video.emplace_back( data, data + size );
	return 1;
}

inline s32 RecordAudio( const u8* data, const u32 size ) {
	ReaderSeen().audio.emplace_back( data, data + size );
	return 0;
}

inline void RecordReport( const char* text ) {
	ReaderSeen().reports.push_back( text );
}

inline void ThrowOnPanic( const char*, s32, const char* message ) {
	throw std::runtime_error( message );
}

// The slot allocator: remembers what was asked.
inline u32& LastAllocSize() {
	static u32 size = 0;
	return size;
}

inline void* TestAlloc( const u32 size ) {
	LastAllocSize() = size;
	return std::malloc( size );
}

inline void TestFree( void* block ) {
	std::free( block );
}

// What a movie is made of.
struct MovieRecipe {
	u32		frames = 4;
	u32		tracks = 0;
	u16		width = 64;
	u16		height = 48;
	u32		rateNumerator = 30;
	u32		rateDenominator = 1;
	ToolVidWriteOptions	options;
};

// Frame k's picture: its number, then bytes that differ per frame, of a
// length that varies from frame to frame.
inline std::vector<u8> TestPicture( const u32 k ) {
	std::vector<u8> picture( 40 + ( k * 37 ) % 200 );
	for ( size_t i = 4; i < picture.size(); ++i ) {
		picture[i] = static_cast<u8>( ( k * 7 + i * 13 + 1 ) & 0xFF );
	}
	DTWriteBE32( picture.data(), k );
	return picture;
}

inline ToolVidAudioTrack TestTrack( const u32 t, const u32 bytesPerChannel ) {
	ToolVidAudioTrack track;
	for ( u32 i = 0; i < 16; ++i ) {
		track.leftCoefficients[i] = static_cast<u16>( 0x1000 + t * 0x100 + i );
		track.rightCoefficients[i] = static_cast<u16>( 0x2000 + t * 0x100 + i );
	}
	track.left.resize( bytesPerChannel );
	track.right.resize( bytesPerChannel );
	for ( u32 i = 0; i < bytesPerChannel; ++i ) {
		track.left[i] = static_cast<u8>( t * 16 + i );
		track.right[i] = static_cast<u8>( 0x80 + t * 16 + i );
	}
	return track;
}

// The frame number a recorded picture payload carries.
inline u32 FrameOf( const std::vector<u8>& payload ) {
	return payload.size() >= 4 ? DTReadBE32( payload.data() ) : 0xFFFFFFFF;
}

inline void PatchBE32( std::vector<u8>& file, const u32 at, const u32 value ) {
	DTWriteBE32( file.data() + at, value );
}

inline void PatchBE16( std::vector<u8>& file, const u32 at, const u16 value ) {
	DTWriteBE16( file.data() + at, value );
}

class VIDReaderTestBench : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "vid_reader_test_", .closeFiles = false, .edit = HostTestDiscUseNtsc } ) );
		DVDHostSetReadLatency( 0 );
		OSHostSetResetButton( false );
		ASSERT_TRUE( OSInitFont( reinterpret_cast<OSFontHeader*>( FontBuffer() ) ) );
		gbConsoleResetPushed = 0;

		VIDSimpleHostReset();
		ReaderSeen() = VIDReaderSeen();
		previousVideoSink = VIDSimpleSetVideoDecodeSink( RecordVideo );
		previousAudioSink = VIDSimpleSetAudioDecodeSink( RecordAudio );
		previousReport = OSHostSetReportHook( RecordReport );
		previousPanic = OSHostSetPanicHook( ThrowOnPanic );
	}

	void TearDown() override {
		VIDSimpleLoadStop();
		VIDSimpleFreeDVDBuffers( TestFree );
		VIDSimpleClose();
		VIDSimpleHostReset();
		VIDSimpleSetVideoDecodeSink( previousVideoSink );
		VIDSimpleSetAudioDecodeSink( previousAudioSink );
		OSHostSetReportHook( previousReport );
		OSHostSetPanicHook( previousPanic );
		disc.Close();
	}

	static u8* FontBuffer() {
		alignas( 32 ) static u8 font[OS_FONT_SIZE_ANSI];
		return font;
	}

	void WriteFile( const std::string& path, const std::vector<u8>& bytes ) {
		EXPECT_TRUE( disc.WriteFile( path, bytes ) ) << path;
	}

	// The muxer's file for recipe; edit may change the frames before writing.
	static std::vector<u8> BuildMovie( const MovieRecipe& recipe, void ( *edit )( std::vector<ToolVidFrame>& ) = nullptr ) {
		std::vector<std::vector<u8>> pictures;
		for ( u32 k = 0; k < recipe.frames; ++k ) {
			pictures.push_back( TestPicture( k ) );
		}
		std::vector<ToolVidAudioTrack> tracks;
		for ( u32 t = 0; t < recipe.tracks; ++t ) {
			tracks.push_back( TestTrack( t, 8 * 40 * recipe.frames ) );
		}
		std::vector<ToolVidFrame> frames;
		std::string error;
		EXPECT_TRUE( ToolVidMuxer::BuildFrames( pictures, tracks, recipe.rateNumerator, recipe.rateDenominator, &frames, &error ) ) << error;
		if ( edit != nullptr ) {
			edit( frames );
		}
		ToolVidVideoHeader video = { recipe.width, recipe.height, recipe.rateNumerator, recipe.rateDenominator, 0 };
		std::vector<u8> file;
		EXPECT_TRUE( ToolVidMuxer::Write( video, tracks, frames, recipe.options, &file, &error ) ) << error;
		return file;
	}

	// Opens, allocates the slots and starts reading a movie written to disc.
	void StartMovie( const std::vector<u8>& file, const s32 loop = 0 ) {
		WriteFile( "MOVIES/TEST.VID", file );
		ASSERT_EQ( VIDSimpleOpen( "MOVIES/TEST.VID", 0 ), 1 );
		ASSERT_EQ( VIDSimpleAllocDVDBuffers( TestAlloc ), 1 );
		framesRead = DVDHostReadCount();
		ASSERT_EQ( VIDSimpleLoadStart( loop ), 1 );
	}

	// Disc reads since the header was read.
	u32 FrameReads() const {
		return DVDHostReadCount() - framesRead;
	}

	// The player loop's end test.
	static bool MovieHasEnded() {
		const u32 write = VIDSimpleGetWriteSlot();
		return VIDSimpleGetNextFrameNumber() > VIDSimpleGetFrameCount() - 1 && write == VIDSimpleGetDecodeSlot() &&
			   !VIDSimpleIsSlotFilled( write );
	}

	// Decodes as the player loop does until the movie ends; false when it
	// has not ended after turns frames. Frames decoded go to shown.
	static bool PlayToTheEnd( std::vector<u32>* shown, const u32 turns = 1000 ) {
		for ( u32 turn = 0; turn < turns; ++turn ) {
			const size_t before = ReaderSeen().video.size();
			if ( VIDSimpleDecode() == 1 && shown != nullptr ) {
				shown->push_back( ReaderSeen().video.size() > before ? FrameOf( ReaderSeen().video.back() ) : 0xFFFFFFFF );
			}
			if ( MovieHasEnded() ) {
				return true;
			}
			HostIdle();
		}
		return false;
	}

	static std::vector<u32> Count( const u32 n ) {
		std::vector<u32> numbers( n );
		for ( u32 i = 0; i < n; ++i ) {
			numbers[i] = i;
		}
		return numbers;
	}

	HostTestDisc					disc;
	u32								framesRead = 0;
	VIDVideoDecodeSink				previousVideoSink = nullptr;
	VIDAudioDecodeSink				previousAudioSink = nullptr;
	OSHostReportHook				previousReport = nullptr;
	OSHostPanicHook					previousPanic = nullptr;
};

#endif
