/*
	A demo of the sample level, recorded through its logic's demo commands
	while a scripted controller presses and holds buttons and moves both
	sticks and the triggers (some of the sample's actions left alone), over
	the level's reload by its ten-second timer, then replayed from the file
	it wrote under other input: the state digest of every frame of the
	replay equals the recording's, and a second replay gives the same
	digests again. A demo file stored by the recorder as it was before
	demos kept every action's value replays to its end.
*/
#include "framework/core/engine/EFSampleDiscTestBench.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFDemoLoop.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "platform/host/HostClock.h"
#include "platform/pad/PADHost.h"
#include "platform/vi/VI.h"
#include "support/StateDigest.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/demo/ToolDemoFile.h"
#include "tools/logic/sample/sampletuning.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The spawner's steering actions, and their values in one frame (zero
// while an action does not exist).
constexpr s32 STEERING[] = { SAMPLE_ACTION_MOVE, SAMPLE_ACTION_TURN, SAMPLE_ACTION_LIFT, SAMPLE_ACTION_RUN,
							 SAMPLE_ACTION_HOLD };
constexpr u32 STEERING_COUNT = sizeof( STEERING ) / sizeof( STEERING[0] );
constexpr u32 HOLD = STEERING_COUNT - 1;
struct Steering {
	ActionState	values[STEERING_COUNT];
};
typedef StateDigestVector<Steering> SteeringRun;

StateDigestRun gDigests;
SteeringRun gSteering;
// Time each frame of a run takes beyond its own: a replay on a slower
// console measures other frame times, which the recorded steps replace.
s64 gSlowerBy = 0;

s32 TakeDigest( void*, void* ) {
	HostAdvanceTime( gSlowerBy );
	gDigests.push_back( StateDigest::Take() );
	Steering steering = {};
	for ( u32 i = 0; i < STEERING_COUNT; i++ ) {
		if ( const EFInputAction* const action = gpoInputMgr->InputActionGet( SAMPLE_INPUT_CONFIG, STEERING[i] ) ) {
			steering.values[i] = action->GetState();
		}
	}
	gSteering.push_back( steering );
	return 0;
}

// The first frame and action whose values differ; empty when none do.
std::string FirstDifference( const SteeringRun& a, const SteeringRun& b ) {
	for ( size_t f = 0; f < std::min( a.size(), b.size() ); f++ ) {
		for ( u32 i = 0; i < STEERING_COUNT; i++ ) {
			if ( std::memcmp( &a[f].values[i], &b[f].values[i], sizeof( ActionState ) ) != 0 ) {
				return "frame " + std::to_string( f ) + ": action " + std::to_string( STEERING[i] );
			}
		}
	}
	return "";
}

// The controller of the recording, frame by frame from now: A pressed,
// held and released, B held, X tapped, the main stick swept on both
// axes, the C stick pushed, each trigger pulled; Y, Z, START and the pad
// never touched.
std::string RecordedScript( const u32 now, const u32 frames ) {
	std::string script;
	for ( u32 f = 0; f < frames; f++ ) {
		std::string buttons;
		const auto add = [&buttons]( const char* name ) { buttons += ( buttons.empty() ? "" : "+" ) + std::string( name ); };
		if ( ( f >= 20 && f < 30 ) || ( f >= 70 && f < 75 ) || ( f >= 300 && f < 420 ) ) {
			add( "A" );
		}
		if ( f >= 100 && f < 250 ) {
			add( "B" );
		}
		if ( f == 150 || f == 152 || f == 154 ) {
			add( "X" );
		}
		const s32 stickX = f >= 40 ? static_cast<s32>( ( f * 7 ) % 200 ) - 100 : 0;
		const s32 stickY = f >= 200 && f < 500 ? ( f / 50 % 2 == 0 ? 60 : -45 ) : 0;
		const s32 cX = f >= 260 && f < 400 ? 80 : 0;
		const s32 cY = f >= 350 && f < 500 ? -70 : 0;
		const s32 left = f >= 120 && f < 180 ? 255 : 0;
		const s32 right = f >= 380 && f < 450 ? 128 : 0;
		script += std::to_string( now + f ) + " 0 " + ( buttons.empty() ? "0" : buttons ) + " " + std::to_string( stickX ) +
				  " " + std::to_string( stickY ) + " " + std::to_string( cX ) + " " + std::to_string( cY ) + " " +
				  std::to_string( left ) + " " + std::to_string( right ) + "\n";
	}
	return script;
}

class SampleDemoReplayTest : public EFSampleDiscTestBench {
protected:
	void Boot() {
		ASSERT_TRUE( UseWriteFolder() );
		ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
		// The reload plays the corpus movie first.
		std::ifstream movie( std::string( ENGINE_TEST_DATA_DIR ) + "/movie/ip.vid", std::ios::binary );
		ASSERT_TRUE( disc.WriteFile( "MOVIES/IP.vid", std::vector<u8>( std::istreambuf_iterator<char>( movie ),
																	   std::istreambuf_iterator<char>() ) ) );
		ASSERT_NO_FATAL_FAILURE( StartSampleDisc( 1 ) );
		PADHostReset();
	}

	// The persistent buffer the sample reads its demo commands from.
	static SampleReload* Kept() {
		return static_cast<SampleReload*>(
			gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( SAMPLE_RELOAD_BUFFER, sizeof( SampleReload ), 1 ) );
	}

	// Leaves a demo command for the sample and runs frames until the demo
	// loop is in state (at most a few frames); whether it got there.
	bool Command( const u32 command, const u32 state ) {
		Kept()->demoCommand = command;
		for ( u32 i = 0; i < 8 && gpoEngineController->GetDemoLoop().GetState() != state; i++ ) {
			RunMoreFrames( 1 );
		}
		return gpoEngineController->GetDemoLoop().GetState() == state;
	}

	// Runs frames without a break, so that each measures its own time,
	// and gives the digest of each, taken as its logic starts. The
	// observer is registered on the global heap: it outlives level loads.
	StateDigestRun Digests( const u32 frames ) {
		gDigests.clear();
		gSteering.clear();
		MMSwapToGlobalHeap();
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 2, 2, &TakeDigest, nullptr );
		MMReplaceHeap();
		SetFramesToRun( gpoEngineController->GetFrameCounter() + frames );
		gpoEngineController->ClearFlags( EF_CONTROLLER_QUIT );
		gpoEngineController->MainLoop();
		gpoGameLogicMgr->GetNotificationMgr().UnregisterNotify( NO_PRELOGIC, 2, 2 );
		return gDigests;
	}

	// The replay's own controller: everything the recording left alone
	// held, the sticks the other way.
	static void OtherInput() {
		PADHostReset();
		ASSERT_TRUE( PADHostParseScript( ( std::to_string( VIGetRetraceCount() ) + " 0 Y+Z+UP+LEFT -90 70 -50 40 30 200\n" ).c_str() ) );
	}
};

TEST_F( SampleDemoReplayTest, AReplayShowsEveryFrameOfTheGameItRecordedAndASecondReplayTheSame ) {
	// Recorded frames compared, past the reload by the level's timer.
	constexpr u32 FRAMES = 640;
	ASSERT_NO_FATAL_FAILURE( Boot() );
	Kept()->reloaded = 0;
	ASSERT_TRUE( Command( SAMPLE_DEMO_RECORD, EF_DEMO_RECORD_COUNTDOWN ) );
	const u32 recordLoads = gpoRessourcesMgr->GetLoadCount();
	ASSERT_TRUE( PADHostParseScript( RecordedScript( VIGetRetraceCount(), FRAMES + 20 ).c_str() ) );
	const StateDigestRun recording = Digests( FRAMES );
	const SteeringRun steering = gSteering;
	ASSERT_EQ( recording.size(), FRAMES );
	// The timer loaded the level again within the recording.
	EXPECT_EQ( gpoRessourcesMgr->GetLoadCount(), recordLoads + 1 );
	EXPECT_EQ( Kept()->reloaded, 1u );
	// The script reached the spawner: it moved in many frames, and Y, left
	// alone, was up whenever its action existed.
	u32 moving = 0;
	for ( const Steering& frame : steering ) {
		moving += frame.values[0].x != 0.0f ? 1 : 0;
		if ( frame.values[HOLD].flags != 0 ) {
			EXPECT_NE( frame.values[HOLD].flags & EF_ACTION_UP, 0u );
		}
	}
	EXPECT_GT( moving, FRAMES / 2 );
	ASSERT_TRUE( Command( SAMPLE_DEMO_STOP, EF_DEMO_IDLE ) );
	{
		std::vector<u8> bytes;
		std::string error;
		ASSERT_TRUE( ToolReadFile( disc.WriteFolder() / SAMPLE_DEMO_FILE, bytes, error ) ) << error;
		ToolDemoFile file;
		ASSERT_TRUE( ToolReadDemoFile( bytes, file, error ) ) << error;
		ASSERT_GE( file.blocks.size(), FRAMES );
	}

	StateDigestVector<StateDigestRun> replays;
	for ( u32 run = 0; run < 2; run++ ) {
		SCOPED_TRACE( "replay " + std::to_string( run + 1 ) );
		ASSERT_NO_FATAL_FAILURE( OtherInput() );
		ASSERT_TRUE( Command( SAMPLE_DEMO_PLAY, EF_DEMO_PLAY_COUNTDOWN ) );
		const u32 loads = gpoRessourcesMgr->GetLoadCount();
		gSlowerBy = HostMillisecondsToTicks( 20 + 7 * static_cast<s64>( run ) );
		replays.push_back( Digests( FRAMES ) );
		gSlowerBy = 0;
		ASSERT_EQ( replays.back().size(), FRAMES );
		EXPECT_EQ( FirstDifference( steering, gSteering ), "" );
		EXPECT_EQ( StateDigestFirstDifference( recording, replays.back() ), "" );
		// Then it ends: the spawner is told once (the recorded state, which
		// every replay restores, counts no end), and the level it started
		// from loads again.
		for ( u32 i = 0; i < 40 && gpoEngineController->GetDemoLoop().GetState() != EF_DEMO_IDLE; i++ ) {
			RunMoreFrames( 1 );
		}
		ASSERT_EQ( gpoEngineController->GetDemoLoop().GetState(), EF_DEMO_IDLE );
		RunMoreFrames( 2 );
		EXPECT_EQ( Kept()->demoEnds, 1u );
		EXPECT_EQ( gpoRessourcesMgr->GetLoadCount(), loads + 2 );
	}
	EXPECT_EQ( StateDigestFirstDifference( replays[0], replays[1] ), "" );
	FinishSampleDisc();
}

// A demo of the sample level stored before countdown values were kept
// (test data): it replays to its end, telling the spawner once, without
// a message.
TEST_F( SampleDemoReplayTest, ADemoStoredByTheEarlierRecorderReplaysToItsEnd ) {
	ASSERT_NO_FATAL_FAILURE( Boot() );
	std::vector<u8> bytes;
	std::string error;
	ASSERT_TRUE( ToolReadFile( std::string( ENGINE_TEST_DATA_DIR ) + "/demo/sample-a-presses.dem", bytes, error ) ) << error;
	ToolDemoFile file;
	ASSERT_TRUE( ToolReadDemoFile( bytes, file, error ) ) << error;
	ASSERT_TRUE( ToolWriteFile( disc.WriteFolder() / SAMPLE_DEMO_FILE, bytes, error ) ) << error;
	const u32 blocks = static_cast<u32>( file.blocks.size() );
	bytes.clear();
	bytes.shrink_to_fit();
	file = ToolDemoFile();
	ASSERT_NO_FATAL_FAILURE( OtherInput() );
	testing::internal::CaptureStdout();
	ASSERT_TRUE( Command( SAMPLE_DEMO_PLAY, EF_DEMO_PLAY_COUNTDOWN ) );
	u32 frames = 0;
	while ( gpoEngineController->GetDemoLoop().GetState() != EF_DEMO_IDLE && frames <= blocks ) {
		RunMoreFrames( 1 );
		frames++;
	}
	RunMoreFrames( 2 );
	const std::string said = testing::internal::GetCapturedStdout();
	EXPECT_EQ( frames, blocks + 1 );
	EXPECT_EQ( Kept()->demoEnds, 1u );
	// Neither the demo nor its save image was refused.
	EXPECT_EQ( said.find( "!!!" ), std::string::npos ) << said;
	FinishSampleDisc();
}

// The digest tells each kind of change apart, so that runs it finds equal
// are equal in every field.
TEST_F( SampleDemoReplayTest, TheDigestNamesTheFieldAChangeReaches ) {
	ASSERT_NO_FATAL_FAILURE( Boot() );
	RunMoreFrames( 2 );
	EFGameObject* const spawner = gpoWorldMgr->FindGameObject( SAMPLE_SPAWNER_ID );
	ASSERT_NE( spawner, nullptr );
	ASSERT_NE( spawner->GetFrame(), nullptr );
	RwMatrix& placed = spawner->GetFrame()->moFrame.modelling;
	u32 camera = EF_NO_CAMERA;
	const struct {
		const char*				field;
		std::function<void()>	change;
	} rows[] = {
		{ "object 0x2A000001 position", [&] { placed.pos.y = -0.0f; } },
		{ "object 0x2A000001 orientation", [&] { placed.up.x += 1e-7f; } },
		{ "object 0x2A000001 logic flags", [&] { spawner->muiLogicFlags ^= 0x100; } },
		{ "object 0x2A000001 logic state", [&] { spawner->moLogicInstance.muiFlags ^= 0x10; } },
		{ "camera 0x00000000 position", [&] { camera = gpoGraphicsMgr->CreateCamera( nullptr ); } },
		{ "random next", [] { RuntimeRand(); } },
		{ "object ids", [] { gpoWorldMgr->RemoveGameObject( SAMPLE_HOT_SPOT_ID ); } },
	};
	EFGameObject* const spot = gpoWorldMgr->FindGameObject( SAMPLE_HOT_SPOT_ID );
	for ( const auto& row : rows ) {
		const StateDigest before = StateDigest::Take();
		EXPECT_EQ( before.FirstDifference( StateDigest::Take() ), "" );
		row.change();
		EXPECT_EQ( before.FirstDifference( StateDigest::Take() ), row.field );
	}
	gpoWorldMgr->AddGameObject( spot );
	gpoGraphicsMgr->DestroyCamera( camera );
	FinishSampleDisc();
}

}
