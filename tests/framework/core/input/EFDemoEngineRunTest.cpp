/*
	A demo recorded and replayed through the engine's own frame loop, on a
	level written by the tools, with input actions bound to a scripted
	controller: the file the recording leaves, and a replay under other
	input that gives logic the recorded steps, values (an action's from
	the first frame, whether it changed or not), game buffers and random
	numbers, then reports its end and loads the abort level.
*/
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicFakeModule.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFDemoLoop.h"
#include "framework/core/input/EFDeviceID_e.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameBuffer.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/video/EFVideoPlayer.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/vi/VI.h"
#include "platform/runtime/RuntimeRand.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/demo/ToolDemoFile.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr u32 OBJECT_ID	   = 0x2A000005;
constexpr u32 FN_END	   = 1;
constexpr s32 KIND_X	   = 0;
constexpr s32 KIND_DIGITAL = 2;
constexpr s32 BUTTON_A	   = 0;
constexpr s32 BUTTON_B	   = 2;
constexpr s32 STICK_X	   = EF_INPUT_ANALOG_INPUT | 0;
constexpr u32 RECORDED	   = 60;

std::vector<u32> gEnds;

s32 NoteEnd( void* data ) {
	gEnds.push_back( static_cast<u32>( reinterpret_cast<uintptr_t>( data ) ) );
	return 0;
}

// Logic's part: starts the demo command waiting, once, from inside a frame;
// after asking for a recording it goes on changing its state.
enum class Command { NONE, RECORD, PLAY };
Command gCommand = Command::NONE;

s32 RunCommand( void*, void* ) {
	char path[]	 = "RUN.DEM";
	char abort[] = "ABORT.GCR";
	EFDemoLoop& demo = gpoEngineController->GetDemoLoop();
	if ( gCommand == Command::RECORD ) {
		demo.Record( path );
		std::memcpy( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( 7, 4, 1 ), "lost", 4 );
	} else if ( gCommand == Command::PLAY ) {
		demo.InitializeCallback( OBJECT_ID, FN_END );
		demo.SetAbortLevel( abort );
		demo.Play( path, nullptr );
	}
	gCommand = Command::NONE;
	return 0;
}

// What a frame showed logic.
struct Seen {
	f32			step;
	f32			measured;
	ActionState button;
	ActionState stick;
	ActionState never;	// bound to B, which the recordings never press
	u32			state;
};
std::vector<Seen> gSeen;

ActionState StateOf( const s32 action ) {
	const EFInputAction* const found = gpoInputMgr->InputActionGet( 1, action );
	return found != nullptr ? found->GetState() : ActionState();
}

s32 Observe( void*, void* ) {
	gSeen.push_back( { gpoGameLogicMgr->GetDeltaTime(), gpoEngineController->GetFrameDeltaTime(), StateOf( 1 ), StateOf( 2 ),
					   StateOf( 3 ), gpoEngineController->GetDemoLoop().GetState() } );
	return 0;
}

PADStatus Pad( const u16 buttons, const s8 stickX ) {
	PADStatus pad = {};
	pad.button	  = buttons;
	pad.stickX	  = stickX;
	pad.err		  = PAD_ERR_NONE;
	return pad;
}

class EFDemoEngineRunTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		ASSERT_TRUE( UseWriteFolder() );
		PADHostReset();
		EFVideoPlayer::GetInstance()->mui32Playing = 0;
		// The level: one plain game object, the one told of the replay's end.
		ToolGloRecord object;
		object.uid = OBJECT_ID;
		ToolBigEndianWriter glo;
		ToolLevelWriter::WriteGlo( glo, object );
		ToolResourceFile level;
		ToolResourceRecord record;
		record.classId = TOOL_CLASS_GAME_OBJECT;
		record.object  = glo.Take();
		level.records.push_back( record );
		const std::filesystem::path gen = ToolDiscLayout( "SAMPLE" ).LevelNeutralFolder();
		ASSERT_TRUE( disc.WriteFile( ( gen / "START.GCR" ).string(), ToolResourceFileWriter::Encode( level ) ) );
		ASSERT_TRUE( disc.WriteFile( ( gen / "ABORT.GCR" ).string(), ToolResourceFileWriter::Encode( ToolResourceFile() ) ) );
		std::strcpy( context.szResFilename, "START.GCR" );
		std::strcpy( context.szLevelPath, "SAMPLE" );
		controller = new EFEngineController( context );
		ASSERT_EQ( controller->InitializeFramework(), 1u );
		module.SetFunctions( { { FN_END, NoteEnd } } );
		gEnds.clear();
		controller->LoadLevel( 0 );
	}

	// The level's input: a level restart takes it, as a level's logic
	// would make it again.
	static void Bind() {
		if ( gpoInputMgr->InputConfigGet( 1 ) != nullptr ) {
			return;
		}
		EFInputConfig* const config = gpoInputMgr->InputConfigAdd( 1 );
		EXPECT_NE( config->InputActionAdd( 1 )->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_A ), nullptr );
		EXPECT_NE( config->InputActionAdd( 2 )->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_X, 100, STICK_X ), nullptr );
		EXPECT_NE( config->InputActionAdd( 3 )->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_B ), nullptr );
	}

	void TearDown() override {
		// A test may end inside a level.
		controller->GetDemoLoop().Stop();
		gpoWorldMgr->Terminate();
		delete controller;
		PADHostReset();
		EFCoreTestBench::TearDown();
	}

	// Runs one frame of the main loop, with command started by logic.
	Seen Frame( const PADStatus& pad, const Command command = Command::NONE ) {
		Bind();
		EXPECT_TRUE( PADHostSetStatusFromNow( 0, pad ) );
		if ( command != Command::NONE ) {
			gCommand = command;
			gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 1, 1, &RunCommand, nullptr );
		}
		SetFramesToRun( controller->GetFrameCounter() + 1 );
		controller->ClearFlags( EF_CONTROLLER_QUIT );
		controller->MainLoop();
		return { gpoGameLogicMgr->GetDeltaTime(), controller->GetFrameDeltaTime(), StateOf( 1 ), StateOf( 2 ), StateOf( 3 ),
				 controller->GetDemoLoop().GetState() };
	}

	// Runs frames without a break, so that each measures its own time,
	// and gives what logic saw in each.
	std::vector<Seen> Run( const u32 frames ) {
		Bind();
		gSeen.clear();
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 2, 2, &Observe, nullptr );
		SetFramesToRun( controller->GetFrameCounter() + frames );
		controller->ClearFlags( EF_CONTROLLER_QUIT );
		controller->MainLoop();
		gpoGameLogicMgr->GetNotificationMgr().UnregisterNotify( NO_PRELOGIC, 2, 2 );
		return gSeen;
	}

	static std::vector<s32> Draws() {
		std::vector<s32> values;
		for ( u32 i = 0; i < 5; i++ ) {
			values.push_back( RuntimeRand() );
		}
		return values;
	}

	EFAppContext		context{};
	EFEngineController* controller = nullptr;
	LogicFakeModule		module{ 0x66 };
};

// The recording's controller, by retrace: A held in two stretches, the
// stick swept.
std::string RecordedScript( const u32 now ) {
	std::string script;
	for ( u32 f = 0; f < 70; f++ ) {
		const bool held = ( f >= 14 && f < 20 ) || ( f >= 30 && f < 33 );
		const s32  x	= f < 25 ? 0 : static_cast<s32>( f % 10 ) * 10;
		script += std::to_string( now + f ) + " 0 " + ( held ? "A " : "0 " ) + std::to_string( x ) + " 0 0 0 0 0\n";
	}
	return script;
}

bool Same( const ActionState& a, const ActionState& b ) {
	return std::memcmp( &a, &b, sizeof( a ) ) == 0;
}

TEST_F( EFDemoEngineRunTest, ARecordedDemoReplaysItsStepsValuesStateAndRandomNumbers ) {
	// Settle the controller before anything is recorded.
	for ( u32 i = 0; i < 8; i++ ) {
		Frame( Pad( 0, 0 ) );
	}
	std::memcpy( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( 7, 4, 1 ), "rec!", 4 );
	Frame( Pad( 0, 0 ), Command::RECORD );
	ASSERT_EQ( controller->GetDemoLoop().GetState(), EF_DEMO_RECORD_COUNTDOWN );
	// The recording restarted from the state it stored, as its replay will.
	ASSERT_NE( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBufferObject( 7 ), nullptr );
	EXPECT_EQ( std::memcmp( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBufferObject( 7 )->GetData(), "rec!", 4 ), 0 );
	const std::vector<s32> recordedDraws = Draws();
	ASSERT_TRUE( PADHostParseScript( RecordedScript( VIGetRetraceCount() ).c_str() ) );
	const std::vector<Seen> recording = Run( RECORDED );
	ASSERT_EQ( recording.size(), RECORDED );
	controller->GetDemoLoop().Stop();
	std::memcpy( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( 7, 4, 1 ), "late", 4 );

	// The file: a block a frame, the image, the length.
	std::vector<u8> bytes;
	std::string		error;
	ASSERT_TRUE( ToolReadFile( disc.WriteFolder() / "RUN.DEM", bytes, error ) ) << error;
	ToolDemoFile file;
	ASSERT_TRUE( ToolReadDemoFile( bytes, file, error ) ) << error;
	ASSERT_EQ( file.blocks.size(), RECORDED );
	EXPECT_TRUE( file.finalBlock );
	EXPECT_NE( ToolDumpDemoFile( file ).find( "level \"START.GCR\"" ), std::string::npos );
	// Every action is stored from the first frame on (its idle value, in
	// the countdown), and then when it changes.
	std::map<u16, u32> firstRecord;
	for ( u32 f = 0; f < RECORDED; f++ ) {
		EXPECT_EQ( file.blocks[f].step, recording[f].step ) << f;
		for ( const ToolDemoRecord& record : file.blocks[f].records ) {
			firstRecord.emplace( record.id, f );
		}
	}
	EXPECT_EQ( firstRecord, ( std::map<u16, u32>{ { 1, 0 }, { 2, 0 }, { 3, 0 } } ) );

	// The replay, under other input.
	Frame( Pad( PAD_BUTTON_A, 100 ), Command::PLAY );
	ASSERT_EQ( controller->GetDemoLoop().GetState(), EF_DEMO_PLAY_COUNTDOWN );
	EXPECT_EQ( Draws(), recordedDraws );
	EFGameBuffer* const buffer = gpoGameLogicMgr->GetGameMemoryMgr().GetGameBufferObject( 7 );
	ASSERT_NE( buffer, nullptr );
	EXPECT_EQ( std::memcmp( buffer->GetData(), "rec!", 4 ), 0 );
	EFGameObject* const object = gpoWorldMgr->FindGameObject( OBJECT_ID );
	ASSERT_NE( object, nullptr );
	object->moLogicInstance.mpLogicCode = &module;
	const u32 loads = gpoRessourcesMgr->GetLoadCount();
	PADHostReset();
	ASSERT_TRUE( PADHostSetStatusFromNow( 0, Pad( PAD_BUTTON_A, -90 ) ) );
	const std::vector<Seen> replay = Run( RECORDED + 1 );
	ASSERT_EQ( replay.size(), RECORDED + 1 );
	for ( u32 f = 0; f < RECORDED; f++ ) {
		SCOPED_TRACE( "frame " + std::to_string( f ) );
		const Seen& seen = replay[f];
		EXPECT_EQ( seen.step, file.blocks[f].step );
		// The frame time logic reads is the recorded step too, not the
		// replay's own measure.
		EXPECT_EQ( seen.measured, seen.step );
		EXPECT_TRUE( Same( seen.button, recording[f].button ) ) << std::hex << seen.button.flags;
		EXPECT_TRUE( Same( seen.stick, recording[f].stick ) ) << seen.stick.x;
		EXPECT_TRUE( Same( seen.never, recording[f].never ) ) << std::hex << seen.never.flags;
	}
	EXPECT_EQ( replay[RECORDED].state, EF_DEMO_IDLE );
	EXPECT_EQ( gEnds, std::vector<u32>{ 0 } );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), "ABORT.GCR" );
	EXPECT_EQ( gpoRessourcesMgr->GetLoadCount(), loads + 1 );
}

// B, never pressed in the recording, idles "up" from the first frame the
// action reads the controller, before the recording's own frames: the
// replay gives that value in its first frame, whatever its controller
// holds.
TEST_F( EFDemoEngineRunTest, AnActionNeverPressedReadsItsUpValueInTheFirstReplayedFrame ) {
	for ( u32 i = 0; i < 8; i++ ) {
		Frame( Pad( 0, 0 ) );
	}
	Frame( Pad( 0, 0 ), Command::RECORD );
	const std::vector<Seen> recording = Run( 12 );
	controller->GetDemoLoop().Stop();
	ASSERT_EQ( recording.size(), 12u );
	EXPECT_EQ( recording[0].state, EF_DEMO_RECORD_COUNTDOWN );
	EXPECT_EQ( recording[0].never.flags, EF_ACTION_DIGITAL | EF_ACTION_UP | EF_ACTION_ANALOG_REST );

	Frame( Pad( PAD_BUTTON_B, 0 ), Command::PLAY );
	const std::vector<Seen> replay = Run( 1 );
	ASSERT_EQ( replay.size(), 1u );
	EXPECT_EQ( replay[0].state, EF_DEMO_PLAY_COUNTDOWN );
	EXPECT_TRUE( Same( replay[0].never, recording[0].never ) ) << std::hex << replay[0].never.flags;
}

}
