/*
	The sample disc booted in-process on the console driver with the
	disc's own movie: the ten-second reload plays MOVIES\IP, every picture
	decoded and drawn as one movie quad, its first track heard in the WAV
	capture (left and right tones within the coding error), then the level
	loads again and draws with the Z mode and blending of its first load:
	the movie leaves GX as the driver's render-state cache says it is.
*/
#include "SampleDriverTestBench.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "platform/ax/AXHost.h"
#include "platform/gx/GXHost.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The movie's pictures (the corpus stream ip.m4v) and its first track's
// tones, left and right (tests/data/movie/ip.track0.s16).
constexpr u32 MOVIE_PICTURES	= 12;
constexpr f64 LEFT_TONE			= 440.0;
constexpr f64 RIGHT_TONE		= 550.0;
constexpr u32 SAMPLE_RATE		= 32000;
constexpr u32 WAV_HEADER		= 44;
// Tone fits are made over blocks of 50 ms.
constexpr u32 BLOCK				= SAMPLE_RATE / 20;
// Signal to error of a block that holds its tone (the coding error of
// a pure tone lies far below).
constexpr f64 MIN_FIT_DB		= 30.0;

// The Z mode, blending and culling of a draw, or of the GX state.
struct ZBlend {
	u32		zCompare;
	u32		zFunction;
	u32		zUpdate;
	u32		blendType;
	u32		blendSource;
	u32		blendDestination;
	u32		cull;
	bool operator==( const ZBlend& ) const = default;
};

ZBlend ZBlendOf( const GXHostRenderState& state ) {
	return { state.zCompare, state.zFunction, state.zUpdate, state.blendType, state.blendSource, state.blendDestination,
			 state.cullMode };
}

// What the driver's render-state cache says it has set: the Z test is
// always on with the cached comparison, blending always blends.
ZBlend ZBlendOfCache() {
	const RwDlStateCache& c = _RwDlStateCache;
	return { GX_TRUE, c.zCompare, c.zWrite, GX_BM_BLEND, c.srcBlendGX, c.dstBlendGX, c.cullMode - 1 };
}

// Texture stages the driver's cache says hold a texture whose object GX
// does not hold there.
u32 StagesTheCacheMisreports() {
	u32 count = 0;
	for ( u32 stage = 0; stage < RWDL_TEXTURE_STAGES; stage++ ) {
		const RwTexture* const texture = _RwDlTextureCache[stage];
		if ( texture != nullptr && GXHostState().textures[stage].image != _rwDlTextureExt( texture )->textureObject.image ) {
			count++;
		}
	}
	return count;
}

std::string Describe( const ZBlend& z ) {
	return "Z " + std::to_string( z.zCompare ) + "/" + std::to_string( z.zFunction ) + "/" + std::to_string( z.zUpdate ) +
		   " blend " + std::to_string( z.blendType ) + "/" + std::to_string( z.blendSource ) + "/" +
		   std::to_string( z.blendDestination ) + " cull " + std::to_string( z.cull );
}

bool IsMovieQuad( const GXHostDraw& draw ) {
	return draw.primitive == GX_QUADS && draw.format == GX_VTXFMT0 + 7 && draw.vertices.size() == 4;
}

// The Z mode and blending of each draw of the last whole frame in the log
// (the newest is under way).
std::vector<ZBlend> LastFrameDraws() {
	std::vector<ZBlend> draws;
	const auto& frames = GXHostFrames();
	if ( frames.size() >= 2 ) {
		for ( const GXHostDraw& draw : frames[frames.size() - 2].draws ) {
			draws.push_back( ZBlendOf( draw.state ) );
		}
	}
	return draws;
}

// How well a block of one channel is the tone: signal to residual, in dB,
// of the least-squares fit of a sine and cosine at the frequency.
f64 ToneFit( const std::vector<s16>& samples, const size_t first, const u32 count, const f64 frequency ) {
	f64 ss = 0.0;
	f64 cc = 0.0;
	f64 sc = 0.0;
	f64 ys = 0.0;
	f64 yc = 0.0;
	f64 yy = 0.0;
	for ( u32 i = 0; i < count; i++ ) {
		const f64 phase = 2.0 * M_PI * frequency * static_cast<f64>( first + i ) / SAMPLE_RATE;
		const f64 s = std::sin( phase );
		const f64 c = std::cos( phase );
		const f64 y = samples[first + i];
		ss += s * s;
		cc += c * c;
		sc += s * c;
		ys += y * s;
		yc += y * c;
		yy += y * y;
	}
	const f64 det = ss * cc - sc * sc;
	const f64 a = ( ys * cc - yc * sc ) / det;
	const f64 b = ( yc * ss - ys * sc ) / det;
	const f64 fitted = a * ys + b * yc;
	return 10.0 * std::log10( std::max( fitted, 1.0 ) / std::max( yy - fitted, 1.0 ) );
}

// What the test sees at the start of each frame's logic (the controller
// changes level, playing the movie first, before it): the last level
// frame's draws before the reload, the capture's size and the movie's
// quads up to the level's first frame after it, and the GX state and the
// render-state cache when each load's first frame starts.
struct Watch {
	std::filesystem::path	wav;
	u32						loads = 0;
	u32						framesOfLoad = 0;
	u64						wavStart = 0;
	u64						wavEnd = 0;
	u32						movieQuads = 0;
	ZBlend					gxAtStart[2] = {};
	ZBlend					cacheAtStart[2] = {};
	u32						stagesMisreported[2] = {};
	std::vector<ZBlend>		firstFrame[2];
};
Watch gWatch;

s32 WatchFrame( void*, void* ) {
	Watch& w = gWatch;
	const u32 loads = gpoRessourcesMgr->GetLoadCount();
	if ( loads != w.loads ) {
		// A load's first frame starts.
		w.loads = loads;
		w.framesOfLoad = 0;
		if ( loads == 2 ) {
			for ( const GXHostFrame& frame : GXHostFrames() ) {
				w.movieQuads += static_cast<u32>( std::count_if( frame.draws.begin(), frame.draws.end(), IsMovieQuad ) );
			}
			w.wavEnd = std::filesystem::file_size( w.wav );
		}
		if ( loads >= 1 && loads <= 2 ) {
			w.gxAtStart[loads - 1] = ZBlendOf( GXHostState() );
			w.cacheAtStart[loads - 1] = ZBlendOfCache();
			w.stagesMisreported[loads - 1] = StagesTheCacheMisreports();
		}
	} else if ( w.framesOfLoad == 1 && loads >= 1 && loads <= 2 ) {
		w.firstFrame[loads - 1] = LastFrameDraws();
		if ( loads == 2 ) {
			gpoEngineController->SetFlags( EF_CONTROLLER_QUIT );
		}
	}
	w.framesOfLoad++;
	if ( loads < 2 ) {
		w.wavStart = std::filesystem::file_size( w.wav );
		GXHostClearLog();
	}
	return 0;
}

class EFSampleMovieTest : public SampleDriverTestBench {
protected:
	void SetUp() override {
		SampleDriverTestBench::SetUp();
		// The sound back end, as start-up starts it.
		HostAudioReset();
		GCResetLowLevelSound();
		InitLowLevelSound( EFNewAudioMgr_SP::SoundCompletionCallback );
		gWatch = Watch();
		gWatch.wav = root / "capture.wav";
	}

	void TearDown() override {
		AXHostSetWavPath( nullptr );
		GXHostSetFramesKept( 4 );
		SampleDriverTestBench::TearDown();
		GCVoice_GlobalInit( nullptr );
		GCResetLowLevelSound();
		HostAudioReset();
	}
};

TEST_F( EFSampleMovieTest, TheReloadPlaysTheDiscsMovieWithItsSoundThenTheLevelDrawsAsAtItsFirstLoad ) {
	ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
	std::ifstream in( ENGINE_SAMPLE_MOVIE, std::ios::binary );
	const std::vector<u8> movie( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
	ASSERT_FALSE( movie.empty() );
	ASSERT_TRUE( disc.WriteFile( "MOVIES/IP.vid", movie ) );
	ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1000 ) );
	ASSERT_TRUE( AXHostSetWavPath( gWatch.wav.native().c_str() ) );
	// A camera over the whole screen draws the level from its first frame.
	ASSERT_NE( gpoGraphicsMgr->GetCamera( gpoGraphicsMgr->CreateCamera( nullptr ) ), nullptr );
	GXHostSetFramesKept( 64 );
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 2, 2, &WatchFrame, nullptr );
	gpoEngineController->MainLoop();
	const Watch& w = gWatch;
	ASSERT_EQ( gpoRessourcesMgr->GetLoadCount(), 2u );
	ASSERT_LT( gpoEngineController->GetFrameCounter(), 1000u );

	// Every picture decoded and drawn, once.
	const std::vector<std::string>& reports = EFCoreTestSeen().reports;
	EXPECT_NE( std::find( reports.begin(), reports.end(), "VIDSimpleClose()\n" ), reports.end() );
	EXPECT_EQ( std::count( reports.begin(), reports.end(), "*** VIDSimpleDecode failed to decode video data\n" ), 0 );
	EXPECT_EQ( w.movieQuads, MOVIE_PICTURES );

	// When each load's first frame starts, GX holds what the driver's
	// render-state cache says: the movie drew behind the cache's back (its
	// own Z mode, no blending, no culling, its planes on three stages) and
	// put the cache's state back, so a draw before the frame's camera clear
	// draws as the cache says; every draw of the level uses the modes of
	// its first load.
	for ( u32 load = 0; load < 2; load++ ) {
		SCOPED_TRACE( load + 1 );
		EXPECT_EQ( w.gxAtStart[load], w.cacheAtStart[load] ) << Describe( w.gxAtStart[load] ) << " against the cache's "
															 << Describe( w.cacheAtStart[load] );
		EXPECT_EQ( w.stagesMisreported[load], 0u );
	}
	ASSERT_GE( w.firstFrame[0].size(), 2u );
	ASSERT_GE( w.firstFrame[1].size(), 2u );
	for ( const ZBlend& draw : w.firstFrame[1] ) {
		EXPECT_NE( draw.blendType, GX_BM_NONE ) << Describe( draw );
		EXPECT_NE( std::find( w.firstFrame[0].begin(), w.firstFrame[0].end(), draw ), w.firstFrame[0].end() ) << Describe( draw );
	}
	EXPECT_EQ( w.firstFrame[1][0], w.firstFrame[0][0] );
	EXPECT_EQ( w.firstFrame[1][1], w.firstFrame[0][1] );

	// The capture of the reload frame holds the track: left and right are
	// their tones within the coding error from the voices' start on, for
	// the rest of the movie after the sound's priming.
	std::ifstream capture( w.wav, std::ios::binary );
	const std::vector<u8> bytes( ( std::istreambuf_iterator<char>( capture ) ), std::istreambuf_iterator<char>() );
	ASSERT_LE( w.wavEnd, bytes.size() );
	ASSERT_GT( w.wavEnd, w.wavStart );
	std::vector<s16> left;
	std::vector<s16> right;
	for ( u64 at = std::max<u64>( w.wavStart, WAV_HEADER ); at + 4 <= w.wavEnd; at += 4 ) {
		left.push_back( static_cast<s16>( bytes[at] | ( bytes[at + 1] << 8 ) ) );
		right.push_back( static_cast<s16>( bytes[at + 2] | ( bytes[at + 3] << 8 ) ) );
	}
	const auto sound = std::find_if( left.begin(), left.end(), []( const s16 s ) { return s != 0; } );
	ASSERT_NE( sound, left.end() );
	const size_t first = static_cast<size_t>( sound - left.begin() );
	u32 blocks = 0;
	for ( size_t at = first; at + BLOCK <= left.size(); at += BLOCK ) {
		if ( ToneFit( left, at, BLOCK, LEFT_TONE ) < MIN_FIT_DB ) {
			break;
		}
		EXPECT_GT( ToneFit( right, at, BLOCK, RIGHT_TONE ), MIN_FIT_DB ) << "block " << blocks;
		blocks++;
	}
	// The movie lasts 1.2 s and primes its voices within its first 0.5 s;
	// the sound stops with it.
	EXPECT_GE( blocks, 10u );
	EXPECT_LE( blocks, 16u );
	FinishSampleDisc();
}

}
