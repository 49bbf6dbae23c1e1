#include "VideoTestBench.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/core/engine/EFIniFile.h"
#include "platform/gx/GXRenderMode.h"

namespace {

constexpr u32 MOVIE_FRAMES = 30;

PADStatus Buttons( const u16 buttons ) {
	PADStatus status = {};
	status.button = buttons;
	return status;
}

}	// namespace

TEST_F( VideoTest, SkipButtonsByIniValueAndName ) {
	struct Row {
		const char*	ini;
		const char*	name;
		u16			button;
		bool		skips;
	};
	const Row rows[] = {
		{ "", "MOVIES\\INTRO", PAD_BUTTON_A, true },
		{ "", "MOVIES\\INTRO", PAD_BUTTON_START, true },
		{ "", "MOVIES\\INTRO", PAD_BUTTON_B, false },
		{ "VideoSkipButton=7\n", "MOVIES\\INTRO", PAD_BUTTON_START, true },
		{ "VideoSkipButton=7\n", "MOVIES\\INTRO", PAD_BUTTON_A, false },
		{ "VideoSkipButton=14\n", "MOVIES\\INTRO", PAD_BUTTON_B, true },
		// Above 15 the value is the mask: 40000 holds L but not A.
		{ "VideoSkipButton=40000\n", "MOVIES\\INTRO", PAD_TRIGGER_L, true },
		{ "VideoSkipButton=40000\n", "MOVIES\\INTRO", PAD_BUTTON_A, false },
		{ "VideoSkipButton=40000\n", "MOVIES\\INTRO", PAD_BUTTON_START, true },
		{ "", "MOVIES\\LEGAL_US", PAD_BUTTON_START, false },
		{ "VideoSkipButton=13\n", "MOVIES\\LEGAL_US", PAD_BUTTON_A, false },
	};
	MovieRecipe recipe;
	recipe.frames = MOVIE_FRAMES;
	const std::vector<u8> movie = BuildMovie( recipe );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::string( row.ini ) + row.name + " " + std::to_string( row.button ) );
		WriteDiscText( "ENGINE.INI", row.ini );
		EFIniFile::GetInstance()->Clear();
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		bSkipButtonInHold = false;
		Flat().decoded = 0;
		PADHostReset();
		PADInit();
		ASSERT_TRUE( PADHostSetStatus( 0, VIGetRetraceCount() + 20, Buttons( row.button ) ) );
		Play( row.name, movie );
		if ( row.skips ) {
			EXPECT_LT( Flat().decoded, MOVIE_FRAMES );
			EXPECT_GE( Flat().decoded, 5u );
		} else {
			EXPECT_EQ( Flat().decoded, MOVIE_FRAMES );
		}
		EXPECT_EQ( moviePlayer->mui32Playing, 0u );
		EXPECT_FALSE( bVideoPlaying );
	}
}

TEST_F( VideoTest, AButtonHeldAtTheStartSkipsOnlyAfterReleaseAndPress ) {
	MovieRecipe recipe;
	recipe.frames = MOVIE_FRAMES;
	const std::vector<u8> movie = BuildMovie( recipe );
	// A press skips the first movie and stays held into the second.
	ASSERT_TRUE( PADHostSetStatus( 0, VIGetRetraceCount() + 10, Buttons( PAD_BUTTON_A ) ) );
	Play( "MOVIES\\ONE", movie );
	EXPECT_LT( Flat().decoded, MOVIE_FRAMES );
	EXPECT_TRUE( bSkipButtonInHold );

	Flat().decoded = 0;
	const u32 start = VIGetRetraceCount();
	ASSERT_TRUE( PADHostSetStatus( 0, start + 20, Buttons( 0 ) ) );
	ASSERT_TRUE( PADHostSetStatus( 0, start + 30, Buttons( PAD_BUTTON_A ) ) );
	Play( "MOVIES\\TWO", movie );
	// Held for ten frames, released for five, then pressed.
	EXPECT_GE( Flat().decoded, 14u );
	EXPECT_LE( Flat().decoded, 17u );
}

TEST_F( VideoTest, DemoMoviesStopAfter1863Frames ) {
	MovieRecipe recipe;
	recipe.frames = 1870;
	recipe.rateNumerator = 60;
	const std::vector<u8> movie = BuildMovie( recipe );
	Play( "MOVIES\\DEMOS\\D1", movie );
	EXPECT_EQ( Flat().decoded, 1863u );
	recipe.frames = 12;
	Flat().decoded = 0;
	Play( "MOVIES\\DEMOS\\D2", BuildMovie( recipe ) );
	EXPECT_EQ( Flat().decoded, 12u );
}

// Every frame shown and drawn full width at the layout's height; the
// volumes the last frame set.
TEST_F( VideoTest, LayoutsVolumesAndFramesShown ) {
	struct Row {
		u16		fbWidth;
		u16		xfbHeight;
		u16		width;
		u16		height;
		f32		volume;
		f32		top;
		f32		drawnHeight;
		s32		volumeSet;
	};
	const Row rows[] = {
		{ 640, 448, 320, 240, 1.5f, 0, 480, 0 },
		{ 640, 496, 640, 448, -0.5f, 24, 448, -904 },
		{ 640, 448, 64, 48, 0.5f, 0, 480, -452 },
		{ 640, 480, 640, 360, 0.25f, 60, 360, -678 },
	};
	const GXRenderModeObj saved = g_rmode;
	GXHostSetFramesKept( 16 );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( std::to_string( row.width ) + "x" + std::to_string( row.height ) );
		g_rmode.fbWidth = row.fbWidth;
		g_rmode.xfbHeight = row.xfbHeight;
		audio->mfVideoVolume = row.volume;
		GXHostClearLog();
		Flat().decoded = 0;
		MovieRecipe recipe;
		recipe.width = row.width;
		recipe.height = row.height;
		Play( "MOVIES\\LAYOUT", BuildMovie( recipe ) );
		EXPECT_EQ( Flat().decoded, 4u );
		const std::vector<const GXHostDraw*> quads = Quads();
		ASSERT_EQ( quads.size(), 4u );
		const GXHostDraw& quad = *quads.back();
		EXPECT_EQ( quad.vertices[0].position[0], 0.0f );
		EXPECT_EQ( quad.vertices[0].position[1], row.top );
		EXPECT_EQ( quad.vertices[2].position[0], static_cast<f32>( row.fbWidth ) );
		EXPECT_EQ( quad.vertices[2].position[1], row.top + row.drawnHeight );
		EXPECT_EQ( g_i32VolumeL, row.volumeSet );
		EXPECT_EQ( g_i32VolumeR, row.volumeSet );
	}
	g_rmode = saved;
}

TEST_F( VideoTest, AMovieThatCannotBeOpenedReturnsAtOnce ) {
	const std::string tooLong = "MOVIES\\" + std::string( 245, 'A' );
	ASSERT_EQ( tooLong.size(), 252u );
	ASSERT_TRUE( disc.WriteFile( "MOVIES/" + std::string( 245, 'A' ), BuildMovie( MovieRecipe() ) ) );
	for ( const std::string& name : { std::string( "MOVIES\\MISSING" ), tooLong } ) {
		SCOPED_TRACE( name.substr( 0, 20 ) );
		VideoReports().clear();
		const u32 retraces = VIGetRetraceCount();
		PlayName( name );
		EXPECT_EQ( moviePlayer->mui32Playing, 0u );
		EXPECT_FALSE( bVideoPlaying );
		EXPECT_EQ( gpoVideoCamera, nullptr );
		EXPECT_EQ( Flat().decoded, 0u );
		EXPECT_FALSE( Reported( "VIDSimpleClose" ) );
		EXPECT_LT( VIGetRetraceCount() - retraces, 30u );
	}
	// The graphics manager draws again.
	const u32 copies = GXHostCopiesExecuted();
	gpoGraphicsMgr->Render( 0.0f );
	HostIdle();
	EXPECT_GT( GXHostCopiesExecuted(), copies );
}

TEST_F( VideoTest, BuffersOrADecoderThatCannotBeAllocatedHaltTheSystem ) {
	struct Row {
		u32			left;		// the heaps are filled down to blocks of this size
		bool		loadBlock;	// the load allocator's block taken too
		const char*	panic;
	};
	const Row rows[] = {
		{ 32, true, "EFVideoPlayerGC:284:*** VIDSimpleAllocDVDBuffers failed!\n" },
		{ 4096, false, "EFVideoPlayerGC:287:*** VIDSimpleCreateDecoder failed!\n" },
	};
	ASSERT_TRUE( disc.WriteFile( "MOVIES/FULL.vid", BuildMovie( MovieRecipe() ) ) );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.left );
		EFCoreTestSeen().panics.clear();
		std::vector<void*> blocks;
		for ( u32 size = 1u << 20; size >= row.left; size /= 2 ) {
			while ( void* const block = row.loadBlock ? MMLoadMalloc( size ) : nullptr ) {
				blocks.push_back( block );
			}
			while ( void* const block = MMMalloc( size ) ) {
				blocks.push_back( block );
			}
		}
		EXPECT_THROW( PlayName( "MOVIES\\FULL" ), std::runtime_error );
		for ( void* const block : blocks ) {
			MMFree( block );
		}
		ASSERT_EQ( EFCoreTestSeen().panics.size(), 1u );
		EXPECT_EQ( EFCoreTestSeen().panics[0], row.panic );
		// What a halted system leaves is taken down by hand.
		delete gpoVideoCamera;
		gpoVideoCamera = nullptr;
		VIDSimpleFreeDVDBuffers( MMFree );
		VIDSimpleClose();
	}
}

TEST_F( VideoTest, TeardownRunsInOrderWithInterruptsOffAroundTheFrees ) {
	MovieRecipe recipe;
	recipe.tracks = { PatternTrack( 0, 8 * 400 ) };
	const u32 framesBefore = static_cast<u32>( AXHostFrameCount() );
	Play( "MOVIES\\ORDER", BuildMovie( recipe ) );
	const std::vector<std::pair<std::string, bool>> expected = {
		{ "VIDSimpleExitAudioDecoder()\n", false }, { "cbFree ", false },
		{ "MIXReleaseChannel\n", false },			{ "cbFree(audioPlayBuffer[0])\n", false },
		{ "cbFree(audioReadBuffer)\n", false },		{ "All done!\n", false },
		{ "VIDSimpleLoadStop()\n", false },			{ "VIDSimpleClose()\n", false },
		{ "VIDSimpleFreeDVDBuffers()\n", false },	{ "VIDSimpleDestroyDecoder()\n", false },
		{ "Before reenabling of int\n", false },	{ "30 VIWaitForRetrace()\n", true },
		{ "delete poCam\n", true },					{ "gpoGraphicsMgr->Pause(false)\n", true },
	};
	std::vector<std::pair<std::string, bool>> seen;
	bool started = false;
	for ( const VideoReport& report : VideoReports() ) {
		started = started || report.text == expected[0].first;
		if ( started ) {
			// The free callback's address varies.
			const bool address = report.text.rfind( "cbFree ", 0 ) == 0 && report.text.find( '(' ) == std::string::npos;
			seen.emplace_back( address ? "cbFree " : report.text, report.interrupts );
		}
	}
	EXPECT_EQ( seen, expected );
	EXPECT_GT( AXHostFrameCount(), framesBefore );
	EXPECT_EQ( gpoVideoCamera, nullptr );
}

namespace {

void OpenTheCoverAtFrame3( const u32 frame ) {
	if ( frame == 3 ) {
		const DVDHostDrivePhase phases[] = { { DVD_STATE_COVER_OPEN, HostSecondsToTicks( 5.0 ) } };
		DVDHostScriptDriveStates( phases, 1 );
	}
}

}	// namespace

TEST_F( VideoTest, DiscTroubleEndsTheMovieThroughTheTeardown ) {
	struct Row {
		const char*	what;
		u32			failedRead;		// 0: none
		bool		coverOpen;
		u32			decoded;
	};
	// Twenty frames: ten preloaded, the rest read while playing.
	const Row rows[] = {
		{ "cover opened", 0, true, 3 },
		{ "a fatal read after the preload", 11, false, 10 },
		{ "the first preload read failing", 1, false, 0 },
	};
	MovieRecipe recipe;
	recipe.frames = 20;
	const std::vector<u8> movie = BuildMovie( recipe );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.what );
		Flat().decoded = 0;
		Flat().onDecode = row.coverOpen ? OpenTheCoverAtFrame3 : nullptr;
		VideoReports().clear();
		GXHostClearLog();
		ASSERT_TRUE( disc.WriteFile( "MOVIES/DISC.vid", movie ) );
		// The header reads come first: four of them.
		if ( row.failedRead != 0 ) {
			ASSERT_TRUE( DVDHostScriptFailedRead( row.failedRead + 4 ) );
		}
		PlayName( "MOVIES\\DISC" );
		EXPECT_EQ( Flat().decoded, row.decoded );
		EXPECT_TRUE( Reported( "gpoGraphicsMgr->Pause(false)" ) );
		EXPECT_EQ( moviePlayer->mui32Playing, 0u );
		if ( row.coverOpen ) {
			EXPECT_TRUE( Reported( "DVD_STATE_COVER_OPEN" ) );
		}
		if ( row.decoded == 0 ) {
			// One frame without a picture: cleared, nothing drawn.
			EXPECT_TRUE( Reported( "*** VIDSimpleDecode failed to decode video data" ) );
			EXPECT_TRUE( Quads().empty() );
		}
		DVDHostReset();
		DVDInit();
		DVDHostSetReadLatency( 0 );
	}
}

TEST_F( VideoTest, NoControllerOnPort0ResetsIt ) {
	PADStatus none = {};
	none.err = PAD_ERR_NO_CONTROLLER;
	ASSERT_TRUE( PADHostSetStatus( 0, VIGetRetraceCount() + 4, none ) );
	const u32 resets = PADHostResetCount( 0 );
	Play( "MOVIES\\UNPLUGGED", BuildMovie( MovieRecipe() ) );
	EXPECT_EQ( Flat().decoded, 4u );
	EXPECT_GE( PADHostResetCount( 0 ), resets + 1 );
	EXPECT_EQ( PADHostMotorCommand( 0 ), PAD_MOTOR_STOP_HARD );
}

namespace {

std::vector<s64>& DecodeTimes() {
	static std::vector<s64> times;
	return times;
}

void RecordDecodeTime( u32 ) {
	DecodeTimes().push_back( OSGetTime() );
}

}	// namespace

TEST_F( VideoTest, FramesArePacedAtTheMovieRate ) {
	for ( const u32 fps : { 30u, 25u } ) {
		SCOPED_TRACE( fps );
		DecodeTimes().clear();
		Flat().onDecode = RecordDecodeTime;
		MovieRecipe recipe;
		recipe.frames = 90;
		recipe.rateNumerator = fps;
		Play( "MOVIES\\PACE", BuildMovie( recipe ) );
		ASSERT_EQ( DecodeTimes().size(), 90u );
		// The first frame is not paced: times count from frame 2.
		const s64 second = DecodeTimes()[1];
		for ( u32 k = 2; k <= 90; k++ ) {
			const f64 ms = static_cast<f64>( DecodeTimes()[k - 1] - second ) / ( OS_TIMER_CLOCK / 1000 );
			EXPECT_NEAR( ms, ( k - 2 ) * 1000.0 / fps, 5.0 ) << "frame " << k;
		}
	}
}

TEST( VideoLockedCache, HandsOutAlignedBlocksUpToItsSize ) {
	lcMemBase = nullptr;
	EXPECT_EQ( myAllocFromLC( 32 ), nullptr ) << "before a movie turned the cache on";
	u8* const start = static_cast<u8*>( LCEnable() );
	lcMemBase = start;
	// Play turns it on; here the test does.
	struct Step {
		u32		size;
		s64		offset;		// -1: refused
	};
	const Step steps[] = { { 1, 0 }, { 33, 32 }, { 0, 96 }, { LC_BYTES - 96, 96 }, { 1, -1 } };
	for ( const Step& step : steps ) {
		void* const block = myAllocFromLC( step.size );
		if ( step.offset < 0 ) {
			EXPECT_EQ( block, nullptr );
		} else {
			EXPECT_EQ( block, start + step.offset ) << step.size;
		}
	}
	lcMemBase = start;
	EXPECT_EQ( myAllocFromLC( LC_BYTES + 1 ), nullptr );
	EXPECT_EQ( myAllocFromLC( LC_BYTES ), start );
}
