/*
===============================================================================

	Fixture of the movie player's tests on the console driver: a graphics
	manager opens the library, the low-level sound is started with an
	audio manager, the virtual clock runs, and every report is kept with
	the interrupt state it was made in. Movies are written with the tools'
	muxer; their pictures go to a stand-in decoder that shows one flat
	picture (and counts), unless a test keeps the real decoder.

===============================================================================
*/
#ifndef VIDEO_TEST_BENCH_H
#define VIDEO_TEST_BENCH_H

#include "../graphics/scene_driver/SceneDriverTestBench.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/video/EFVideoAudio.h"
#include "framework/video/EFVideoPlayer.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/arq/ARQHost.h"
#include "platform/ax/AXHost.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OSHost.h"
#include "platform/pad/PADHost.h"
#include "tools/lib/movie/ToolVidMuxer.h"
#include "video/m4/VIDDecoder.h"
#include "video/m4/VIDSimpleDecoder.h"
#include "video/vid/VIDSimpleOpen.h"
#include "video/vid/VIDSimpleReadAhead.h"
#include "video/vid/VIDSimpleDecodeSinks.h"
#include "video/vid/VIDSimplePlayer.h"

#include <algorithm>
#include <string>
#include <vector>

struct VideoReport {
	std::string		text;
	bool			interrupts;
};

inline std::vector<VideoReport>& VideoReports() {
	static std::vector<VideoReport> reports;
	return reports;
}

inline void RecordVideoReport( const char* text ) {
	VideoReports().push_back( { text, HostInterruptsEnabled() } );
}

// The stand-in decoder: a flat picture of luma y and chroma 128, counted.
struct FlatPicture {
	static constexpr u16 WIDTH = 64;
	static constexpr u16 HEIGHT = 48;
	alignas( 32 ) u8 y[WIDTH * HEIGHT];
	alignas( 32 ) u8 u[WIDTH * HEIGHT / 4];
	alignas( 32 ) u8 v[WIDTH * HEIGHT / 4];
	VIDImage image = { WIDTH, HEIGHT, WIDTH, HEIGHT, y, u, v };
	u32 decoded = 0;
	void ( *onDecode )( u32 frame ) = nullptr;
};

inline FlatPicture& Flat() {
	static FlatPicture picture;
	return picture;
}

inline s32 FlatDecode( M4Decoder*, const u8*, u32, VIDImage** image ) {
	FlatPicture& flat = Flat();
	*image = &flat.image;
	flat.decoded++;
	if ( flat.onDecode != nullptr ) {
		flat.onDecode( flat.decoded );
	}
	return 1;
}

struct MovieRecipe {
	u32		frames = 4;
	u16		width = 64;
	u16		height = 48;
	u32		rateNumerator = 30;
	u32		rateDenominator = 1;
	// Stereo pairs; each channel of track t is made by its maker.
	std::vector<ToolVidAudioTrack>	tracks;
};

// A track of bytesPerChannel ADPCM bytes per channel (whole 8-byte frames,
// any content), with coefficients that tell the tracks apart.
inline ToolVidAudioTrack PatternTrack( const u32 t, const u32 bytesPerChannel ) {
	ToolVidAudioTrack track;
	for ( u32 i = 0; i < 16; ++i ) {
		track.leftCoefficients[i] = static_cast<u16>( 0x0400 + t * 0x10 + i );
		track.rightCoefficients[i] = static_cast<u16>( 0x0800 + t * 0x10 + i );
	}
	track.left.resize( bytesPerChannel );
	track.right.resize( bytesPerChannel );
	for ( u32 i = 0; i < bytesPerChannel; ++i ) {
		// Frame headers keep predictor 0 and a small scale.
		track.left[i] = static_cast<u8>( i % 8 == 0 ? 0x02 : ( i * 7 + t ) & 0xFF );
		track.right[i] = static_cast<u8>( i % 8 == 0 ? 0x03 : ( i * 5 + 3 * t ) & 0xFF );
	}
	return track;
}

inline std::vector<u8> BuildMovie( const MovieRecipe& recipe ) {
	std::vector<std::vector<u8>> pictures;
	for ( u32 k = 0; k < recipe.frames; ++k ) {
		pictures.push_back( std::vector<u8>( 36, static_cast<u8>( k ) ) );
	}
	std::vector<ToolVidFrame> frames;
	std::string error;
	EXPECT_TRUE( ToolVidMuxer::BuildFrames( pictures, recipe.tracks, recipe.rateNumerator, recipe.rateDenominator, &frames, &error ) ) << error;
	const ToolVidVideoHeader video = { recipe.width, recipe.height, recipe.rateNumerator, recipe.rateDenominator, 0 };
	std::vector<u8> file;
	EXPECT_TRUE( ToolVidMuxer::Write( video, recipe.tracks, frames, ToolVidWriteOptions(), &file, &error ) ) << error;
	return file;
}

class VideoTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		// Frames are written as pictures to the write folder.
		ASSERT_TRUE( UseWriteFolder() );
		HostAudioReset();
		ARHostSetChecksFatal( true );
		GCResetLowLevelSound();
		InitLowLevelSound( nullptr );
		audio = new EFNewAudioMgr();
		Make( "" );
		VideoReports().clear();
		OSHostSetReportHook( RecordVideoReport );
		VIDSimpleHostReset();
		previousVideoSink = VIDSimpleSetVideoDecodeSink( FlatDecode );
		Flat().decoded = 0;
		Flat().onDecode = nullptr;
		FillFlat( 128 );
		bSkipButtonInHold = false;
		GXHostSetFramesKept( 4 );
		moviePlayer = EFVideoPlayer::GetInstance();
		moviePlayer->mi32AudioTrack = 0;
	}

	void TearDown() override {
		if ( gpoVideoCamera != nullptr ) {
			delete gpoVideoCamera;
			gpoVideoCamera = nullptr;
		}
		VIDSimpleLoadStop();
		VIDSimpleFreeDVDBuffers( MMFree );
		VIDSimpleDestroyDecoder();
		VIDSimpleClose();
		VIDSimpleHostReset();
		VIDSimpleSetVideoDecodeSink( previousVideoSink );
		moviePlayer->mui32Playing = 0;
		bVideoPlaying = false;
		delete audio;
		audio = nullptr;
		GCVoice_GlobalInit( nullptr );
		GCResetLowLevelSound();
		ARHostSetChecksFatal( false );
		HostAudioReset();
		gpoVideoVoiceLeft = nullptr;
		gpoVideoVoiceRight = nullptr;
		SceneDriverTest::TearDown();
	}

	static void FillFlat( const u8 luma ) {
		std::fill( std::begin( Flat().y ), std::end( Flat().y ), luma );
		std::fill( std::begin( Flat().u ), std::end( Flat().u ), 128 );
		std::fill( std::begin( Flat().v ), std::end( Flat().v ), 128 );
	}

	// Writes the movie as name (backslashes as on the disc, no ".vid") and
	// plays it.
	void Play( const std::string& name, const std::vector<u8>& file ) {
		std::string path = name + ".vid";
		std::replace( path.begin(), path.end(), '\\', '/' );
		EXPECT_TRUE( disc.WriteFile( path, file ) ) << path;
		PlayName( name );
	}

	void PlayName( const std::string& name ) {
		std::snprintf( moviePlayer->mszVideoPath, sizeof( moviePlayer->mszVideoPath ), "%s", name.c_str() );
		moviePlayer->Play();
	}

	static bool Reported( const std::string& text ) {
		return std::any_of( VideoReports().begin(), VideoReports().end(),
							[&]( const VideoReport& r ) { return r.text.find( text ) != std::string::npos; } );
	}

	// The movie quads drawn in the frames the log keeps.
	static std::vector<const GXHostDraw*> Quads() {
		std::vector<const GXHostDraw*> quads;
		for ( const GXHostDraw* draw : Draws() ) {
			if ( draw->primitive == GX_QUADS && draw->state.numTevStages == 6 ) {
				quads.push_back( draw );
			}
		}
		return quads;
	}

	EFNewAudioMgr*			audio = nullptr;
	EFVideoPlayer_SP*		moviePlayer = nullptr;
	VIDVideoDecodeSink		previousVideoSink = nullptr;
};

#endif
