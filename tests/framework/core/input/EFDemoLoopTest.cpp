/*
	The demo recorder and player driven frame by frame as the engine
	controller and the input actions drive it, on a disc with a write
	folder: what a recording stores, what a replay substitutes and when,
	demo files that cannot be trusted, and memory the heaps cannot give.
*/
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicFakeModule.h"

#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFDemoLoop.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/save/EFLoadSaveBuff.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameBuffer.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "platform/runtime/RuntimeRand.h"
#include "support/TestArenaUse.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/demo/ToolDemoFile.h"
#include "tools/lib/save/ToolSaveImageWriter.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr u32 FN_END	  = 1;
constexpr u32 FN_REGISTER = 2;
constexpr u32 OBJECT_ID	  = 0x2A000005;

// What the end callback saw: the instance it ran on and its parameter.
struct EndCall {
	EFLogicInstance* instance;
	u32				 parameter;
};
std::vector<EndCall> gEnds;

s32 NoteEnd( void* data ) {
	gEnds.push_back( { RunningLogicInstance(), static_cast<u32>( reinterpret_cast<uintptr_t>( data ) ) } );
	return 0;
}

// A state function registering its own object for the end.
s32 RegisterRunning( void* ) {
	gpoEngineController->GetDemoLoop().InitializeCallback( EF_RUNNING_OBJECT_ID, FN_END );
	return 0;
}

ActionState Value( const f32 x, const f32 y, const u32 flags ) {
	ActionState state;
	state.x		= x;
	state.y		= y;
	state.flags = flags;
	return state;
}

bool Same( const ActionState& a, const ActionState& b ) {
	return std::memcmp( &a, &b, sizeof( a ) ) == 0;
}

// Live input of frame f for action a.
typedef std::function<ActionState( u32 frame, u32 action )> LiveInput;

// Requests that exhaust the heaps, halving from 1 MB: all larger than the
// pools' elements, so that only the heaps serve them.
constexpr u32 FILL_LARGEST	= 1u << 20;
constexpr u32 FILL_SMALLEST = 128;
static_assert( FILL_SMALLEST > MM_POOL_LARGEST_REQUEST );

// Holds the engine heaps until no request of FILL_SMALLEST bytes finds
// room, but for holes of the given sizes, taken first and freed last, in
// which the requests a path makes before the one meant to fail are served.
class HeapExhaustion {
public:
	explicit HeapExhaustion( const std::vector<u32>& holes ) {
		std::vector<void*> reserved;
		for ( const u32 bytes : holes ) {
			reserved.push_back( MMMalloc( bytes ) );
			EXPECT_NE( reserved.back(), nullptr );
		}
		for ( u32 size = FILL_LARGEST; size >= FILL_SMALLEST; size /= 2 ) {
			// A heap that failed a request is skipped only for requests at
			// least as large (until one of its blocks is freed): each
			// smaller size still searches every heap.
			for ( void* block = MMMalloc( size ); block != nullptr; block = MMMalloc( size ) ) {
				blocks.push_back( block );
			}
		}
		for ( void* const block : reserved ) {
			MMFree( block );
		}
	}

	~HeapExhaustion() { Release(); }

	void Release() {
		for ( void* const block : blocks ) {
			MMFree( block );
		}
		blocks.clear();
	}

private:
	std::vector<void*> blocks;
};

class EFDemoLoopTest : public EFCoreTestBench {
public:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		ASSERT_TRUE( UseWriteFolder() );
		std::strcpy( context.szResFilename, "START.GCR" );
		std::strcpy( context.szLevelPath, "SAMPLE" );
		controller = new EFEngineController( context );
		module.SetFunctions( { { FN_END, NoteEnd }, { FN_REGISTER, RegisterRunning } } );
		gEnds.clear();
	}

	void TearDown() override {
		demo().Stop();
		gpoWorldMgr->Terminate();
		MMFree( controller->GetPendingSaveImage() );
		controller->SetPendingSaveImage( nullptr, 0 );
		delete controller;
		EFCoreTestBench::TearDown();
	}

	EFDemoLoop& demo() { return controller->GetDemoLoop(); }

	EFGameObject* Object( const u32 id ) {
		EFGameObject* const object = new EFGameObject;
		object->SetUID( id );
		object->moLogicInstance.mpLogicCode = &module;
		gpoWorldMgr->AddGameObject( object );
		return object;
	}

	static void Kill( EFGameObject* object ) {
		gpoWorldMgr->RemoveGameObject( object->GetUID() );
		delete object;
	}

	// One frame as the controller and the input actions run it: the
	// recorded step comes back in steps, the values in actions.
	void Frame( const f32 measured, const LiveInput& live ) {
		demo().StartFrame();
		f32 step = measured;
		demo().UpdateDeltaTime( &step );
		steps.push_back( step );
		for ( u32 a = 0; a < actions.size(); a++ ) {
			s32 id = static_cast<s32>( a + 1 );
			previous[a] = actions[a];
			if ( demo().GetState() & 0x1 ) {
				demo().UpdateAction( &id, &previous[a], &actions[a] );
			} else {
				actions[a] = live( frame, a );
				demo().UpdateAction( &id, &previous[a], &actions[a] );
			}
		}
		history.push_back( actions );
		demo().EndFrame();
		frame++;
	}

	void Frames( const u32 count, const LiveInput& live, const f32 measured = 0.02f ) {
		for ( u32 i = 0; i < count; i++ ) {
			Frame( measured, live );
		}
	}

	void UseActions( const u32 count ) {
		actions.assign( count, ActionState() );
		previous.assign( count, ActionState() );
	}

	void ClearSeen() {
		steps.clear();
		history.clear();
		frame = 0;
	}

	// Records frames of live input (after the asking frame) and stops.
	void RecordFrames( const char* name, const u32 count, const LiveInput& live ) {
		char path[64];
		std::snprintf( path, sizeof( path ), "%s", name );
		demo().Record( path );
		demo().EndFrame();
		controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
		ClearSeen();
		Frames( count, live );
		demo().Stop();
	}

	std::vector<u8> Written( const char* name ) {
		std::vector<u8> bytes;
		std::string		error;
		EXPECT_TRUE( ToolReadFile( disc.WriteFolder() / name, bytes, error ) ) << error;
		return bytes;
	}

	ToolDemoFile ReadBack( const char* name ) {
		ToolDemoFile   file;
		std::string	   error;
		EXPECT_TRUE( ToolReadDemoFile( Written( name ), file, error ) ) << error;
		return file;
	}

	void Play( const char* name, const char* level = nullptr ) {
		char path[64];
		char levelName[64];
		std::snprintf( path, sizeof( path ), "%s", name );
		std::snprintf( levelName, sizeof( levelName ), "%s", level != nullptr ? level : "" );
		demo().Play( path, level != nullptr ? levelName : nullptr );
		ClearSeen();
	}

	void WriteDemo( const char* name, const std::vector<u8>& bytes ) {
		std::string error;
		ASSERT_TRUE( ToolWriteFile( disc.WriteFolder() / name, bytes, error ) ) << error;
	}

	EFAppContext					 context{};
	EFEngineController*				 controller = nullptr;
	LogicFakeModule					 module{ 0x55 };
	std::vector<ActionState>		 actions;
	std::vector<ActionState>		 previous;
	std::vector<f32>				 steps;
	std::vector<std::vector<ActionState>> history;
	u32								 frame = 0;
};

// Action 1 is up (idle) but on frames 12 to 14, when it is pressed;
// action 2 moves every third frame from 9 on and crosses -0.0 and 0.0;
// nothing changes otherwise.
ActionState Scripted( const u32 frame, const u32 action ) {
	if ( action == 0 ) {
		return Value( 0.0f, 0.0f, frame >= 12 && frame <= 14 ? 0x10029 : 0x10041 );
	}
	if ( frame < 9 ) {
		return ActionState();
	}
	if ( frame == 15 ) {
		return Value( -0.0f, 0.0f, 0 );
	}
	return Value( static_cast<f32>( frame / 3 ) * 0.25f, 0.5f, 0x20002 );
}

TEST_F( EFDemoLoopTest, RecordsStepsAndChangesAndReplaysThemFromTheirStates ) {
	UseActions( 2 );
	char path[] = "REC.DEM";
	demo().Record( path );
	EXPECT_EQ( demo().GetState(), EF_DEMO_RECORD_REQUESTED );
	demo().EndFrame();
	EXPECT_EQ( demo().GetState(), EF_DEMO_RECORD_COUNTDOWN );
	EXPECT_NE( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
	controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
	for ( u32 i = 0; i < 20; i++ ) {
		Frame( 0.01f + static_cast<f32>( i ) * 0.001f, Scripted );
		EXPECT_EQ( demo().GetState(), i < 9 ? EF_DEMO_RECORD_COUNTDOWN : EF_DEMO_RECORDING ) << i;
	}
	demo().Stop();
	EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "Save000.sav" ) );

	const ToolDemoFile file = ReadBack( "REC.DEM" );
	ASSERT_EQ( file.blocks.size(), 20u );
	EXPECT_TRUE( file.finalBlock );
	EXPECT_EQ( file.magic, TOOL_DEMO_MAGIC );
	for ( u32 i = 0; i < 20; i++ ) {
		EXPECT_EQ( file.blocks[i].step, 0.01f + static_cast<f32>( i ) * 0.001f );
		EXPECT_EQ( file.blocks[i].marker, TOOL_DEMO_BLOCK_MARKER );
	}
	// Changes are stored from the countdown on, the idle value of action 1
	// in the first frame included; -0.0 against 0.0 is one.
	std::vector<std::vector<ToolDemoRecord>> expected( 20 );
	expected[0]	 = { { 1, 0.0f, 0.0f, 0x10041 } };
	expected[9]	 = { { 2, 0.75f, 0.5f, 0x20002 } };
	expected[12] = { { 1, 0.0f, 0.0f, 0x10029 }, { 2, 1.0f, 0.5f, 0x20002 } };
	expected[15] = { { 1, 0.0f, 0.0f, 0x10041 }, { 2, -0.0f, 0.0f, 0 } };
	expected[16] = { { 2, 1.25f, 0.5f, 0x20002 } };
	expected[18] = { { 2, 1.5f, 0.5f, 0x20002 } };
	for ( u32 i = 0; i < 20; i++ ) {
		EXPECT_EQ( file.blocks[i].records, expected[i] ) << "frame " << i;
	}
	EXPECT_TRUE( std::signbit( file.blocks[15].records[1].x ) );
	const std::vector<std::vector<ActionState>> recorded = history;

	// The replay: steps and values from its first frame; live input is
	// ignored throughout.
	UseActions( 2 );
	Play( "REC.DEM" );
	EXPECT_EQ( demo().GetState(), EF_DEMO_PLAY_COUNTDOWN );
	EXPECT_NE( controller->GetPendingSaveImage(), nullptr );
	EXPECT_NE( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
	const LiveInput other = []( u32, u32 ) { return Value( 9.0f, 9.0f, 0x1 ); };
	Frames( 20, other, 0.04f );
	for ( u32 i = 0; i < 20; i++ ) {
		EXPECT_EQ( steps[i], 0.01f + static_cast<f32>( i ) * 0.001f ) << i;
		for ( u32 a = 0; a < 2; a++ ) {
			EXPECT_TRUE( Same( history[i][a], recorded[i][a] ) ) << i << " " << a;
		}
	}
	EXPECT_EQ( demo().GetState(), EF_DEMO_PLAYING );
	Frame( 0.04f, other );
	EXPECT_EQ( demo().GetState(), EF_DEMO_IDLE );
}

TEST_F( EFDemoLoopTest, StoresNothingBeforeRecordingStartsOrWithoutAWriteFolder ) {
	UseActions( 1 );
	const LiveInput moving = []( u32 frame, u32 ) { return Value( static_cast<f32>( frame ), 0.0f, 0 ); };
	// Stopped in the countdown: the file is made and left empty.
	RecordFrames( "EARLY.DEM", 5, moving );
	EXPECT_TRUE( Written( "EARLY.DEM" ).empty() );
	std::filesystem::remove( disc.WriteFolder() / "Save000.sav" );

	// No write folder: the recording runs in memory and only says so.
	DTSetFileWriteHook( nullptr );
	HostSettings settings = HostGetSettings();
	settings.discWriteFolder[0] = '\0';
	HostSettingsOverride( settings );
	testing::internal::CaptureStdout();
	RecordFrames( "UNSET.DEM", 14, moving );
	EXPECT_EQ( testing::internal::GetCapturedStdout(),
			   "DEMO FILE UNSET.DEM NOT OPENED, THE RECORDING WILL NOT BE STORED!!!\n" );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
	EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "UNSET.DEM" ) );
	EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "Save000.sav" ) );

	// A demo file on the disc opens, but what would be written is only
	// announced, as is the removal of the save file that could not be
	// opened, at the start and again at the stop.
	ASSERT_TRUE( disc.WriteFile( "ONDISC.DEM", std::vector<u8>( 4, 0 ) ) );
	testing::internal::CaptureStdout();
	RecordFrames( "ONDISC.DEM", 12, moving );
	const std::string said = testing::internal::GetCapturedStdout();
	EXPECT_EQ( said, "DTUnlink Unimplemented function\nDTFwrite Unimplemented function\nDTFwrite Unimplemented function\n"
					 "DTUnlink Unimplemented function\n" );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
}

TEST_F( EFDemoLoopTest, RefusesDemoFilesItCannotTrustAndNeverWalksPastTheirData ) {
	ToolDemoFile good;
	good.blocks.resize( 3 );
	good.blocks[1].records = { { 1, 1.0f, 2.0f, 3 } };
	struct Row {
		const char*						name;
		std::function<void( ToolDemoFile& )> edit;
		const char*						said;		// start of the output; null: none
		u32								frames;		// replayed before the end; ~0: refused
	};
	const Row rows[] = {
		{ "a sound file", []( ToolDemoFile& ) {}, nullptr, 3 },
		{ "no final block", []( ToolDemoFile& f ) { f.finalBlock = false; }, nullptr, 3 },
		{ "a length below the header", []( ToolDemoFile& f ) { f.dataLength = 7; }, "DEMO DATA LENGTH 7 OUT OF RANGE", ~0u },
		{ "a length past the file", []( ToolDemoFile& f ) { f.dataLength = 1000; }, "DEMO DATA LENGTH 1000", ~0u },
		{ "a length of all ones", []( ToolDemoFile& f ) { f.dataLength = 0xFFFFFFFF; }, "DEMO DATA LENGTH 4294967295", ~0u },
		{ "a count past the data", []( ToolDemoFile& f ) { f.blocks[2].count = 0xFFFF; f.finalBlock = false; }, nullptr, 2 },
		{ "a record cut short", []( ToolDemoFile& f ) { f.blocks[2].count = 1; f.dataLength = 8 + 8 + 24 + 8 + 8; }, nullptr, 2 },
		{ "a block header cut short", []( ToolDemoFile& f ) { f.dataLength = 8 + 8 + 24 + 4; }, nullptr, 2 },
		{ "only a header", []( ToolDemoFile& f ) { f.blocks.clear(); f.finalBlock = false; }, nullptr, 0 },
	};
	Object( OBJECT_ID );
	demo().InitializeCallback( OBJECT_ID, FN_END );
	UseActions( 1 );
	const LiveInput idle = []( u32, u32 ) { return ActionState(); };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ToolDemoFile file = good;
		row.edit( file );
		WriteDemo( "BAD.DEM", ToolWriteDemoFile( file ) );
		gEnds.clear();
		controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
		testing::internal::CaptureStdout();
		Play( "BAD.DEM" );
		const std::string said = testing::internal::GetCapturedStdout();
		EXPECT_EQ( said.rfind( row.said != nullptr ? row.said : "", 0 ), 0u ) << said;
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		if ( row.frames == ~0u ) {
			EXPECT_EQ( demo().GetState(), EF_DEMO_IDLE );
			EXPECT_EQ( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
			continue;
		}
		// The countdown replays steps too, so every block counts.
		u32 replayed = 0;
		while ( demo().GetState() != EF_DEMO_IDLE && replayed < 20 ) {
			Frame( 0.02f, idle );
			replayed++;
		}
		EXPECT_EQ( replayed, row.frames + 1 );
		ASSERT_EQ( gEnds.size(), 1u );
		EXPECT_EQ( gEnds[0].parameter, 0u );
	}
	testing::internal::CaptureStdout();
	Play( "MISSING.DEM" );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "DEMO FILE MISSING.DEM NOT FOUND!!!\n" );
	WriteDemo( "SHORT.DEM", std::vector<u8>( 11, 0 ) );
	testing::internal::CaptureStdout();
	Play( "SHORT.DEM" );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "DEMO FILE TOO SHORT (11 BYTES)!!!\n" );
	EXPECT_EQ( demo().GetState(), EF_DEMO_IDLE );
	EXPECT_EQ( controller->GetPendingSaveImage(), nullptr );
}

TEST_F( EFDemoLoopTest, MemoryItCannotGetEndsADemoCleanlyOrRecordsWithoutItsImage ) {
	// A replay's file whose data and image are both larger than the pools'
	// elements.
	ToolDemoFile good;
	good.blocks.resize( 10 );
	for ( ToolDemoBlock& block : good.blocks ) {
		block.records = { { 1, 1.0f, 0.0f, 0x20002 } };
	}
	ToolSaveImage image;
	image.title		= "Demo Save";
	image.levelName = "START.GCR";
	good.image		= ToolWriteSaveImage( image );
	const std::vector<u8> bytes = ToolWriteDemoFile( good );
	const u32 dataBytes = static_cast<u32>( bytes.size() - good.image.size() - 4 );
	WriteDemo( "GOOD.DEM", bytes );
	// The save file of an earlier recording stopped in its countdown.
	ToolSaveImage stale = image;
	stale.title = "Stale";
	struct Row {
		const char*		 name;
		std::vector<u32> holes;		// room for the requests before the one that fails
		bool			 record;	// else a replay
		const char*		 said;
		u32				 state;		// right after the call
		u32				 filesOpen;	// right after: a recording's demo file
	};
	const Row rows[] = {
		{ "the recording buffer", {}, true, "NO MEMORY TO RECORD A DEMO!!!\n", EF_DEMO_IDLE, 0 },
		{ "the recording's save image", { EF_DEMO_BUFFER_BYTES }, true, "DEMO SAVE IMAGE NOT MADE!!!\n",
		  EF_DEMO_RECORD_REQUESTED, 1 },
		{ "the replay's data", {}, false, "NO MEMORY TO REPLAY A DEMO!!!\n", EF_DEMO_IDLE, 0 },
		{ "the replay's save image", { dataBytes }, false, "NO MEMORY TO REPLAY A DEMO!!!\n", EF_DEMO_IDLE, 0 },
	};
	UseActions( 1 );
	const LiveInput moving = []( u32 frame, u32 ) { return Value( static_cast<f32>( frame ), 0.0f, 0 ); };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		WriteDemo( "Save000.sav", ToolWriteSaveImage( stale ) );
		// Emptied as a recording's restart empties it, so that the arena
		// afterwards holds only what the demo left.
		controller->Reset();
		const s64 start = TestArenaUse();
		HeapExhaustion exhausted( row.holes );
		testing::internal::CaptureStdout();
		if ( row.record ) {
			char path[] = "REC.DEM";
			demo().Record( path );
		} else {
			Play( "GOOD.DEM" );
		}
		EXPECT_EQ( testing::internal::GetCapturedStdout(), row.said );
		EXPECT_EQ( demo().GetState(), row.state );
		EXPECT_EQ( DTNbrFileInUse(), row.filesOpen );
		EXPECT_EQ( controller->GetPendingSaveImage(), nullptr );
		EXPECT_EQ( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );

		// With memory again: a recording without its image restarts the
		// level as it stands and records on; anything else stays idle.
		exhausted.Release();
		Frames( 14, moving );
		EXPECT_EQ( demo().GetState(), row.state == EF_DEMO_RECORD_REQUESTED ? EF_DEMO_RECORDING : EF_DEMO_IDLE );
		demo().Stop();
		EXPECT_EQ( controller->GetPendingSaveImage(), nullptr );
		EXPECT_EQ( DTNbrFileInUse(), 0u );
		EXPECT_EQ( TestArenaUse(), start );
		if ( row.state == EF_DEMO_RECORD_REQUESTED ) {
			// The stale save file is not taken for this recording's image.
			const ToolDemoFile file = ReadBack( "REC.DEM" );
			EXPECT_EQ( file.blocks.size(), 13u );
			EXPECT_TRUE( file.image.empty() ) << file.image.size();
		}
		controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
	}
}

TEST_F( EFDemoLoopTest, ARecordingWhoseSaveFileCannotBeWrittenTakesNoEarlierOne ) {
	ToolSaveImage stale;
	stale.title = "Stale";
	WriteDemo( "Save000.sav", ToolWriteSaveImage( stale ) );
	WriteDemo( "HELD.DAT", { 1 } );
	// Every handle but the demo file's is taken: the image is made, its
	// save file cannot be opened.
	std::vector<DTFileHandle_*> held;
	while ( DTNbrFileInUse() + 1 < DT_FILE_HANDLE_COUNT ) {
		held.push_back( DTFopen( "HELD.DAT", "rb" ) );
		ASSERT_NE( held.back(), nullptr );
	}
	UseActions( 1 );
	char path[] = "REC.DEM";
	demo().Record( path );
	for ( DTFileHandle_* const file : held ) {
		DTFclose( file );
	}
	Frames( 14, []( u32 frame, u32 ) { return Value( static_cast<f32>( frame ), 0.0f, 0 ); } );
	demo().Stop();
	EXPECT_TRUE( ReadBack( "REC.DEM" ).image.empty() );
}

TEST_F( EFDemoLoopTest, AReplayWithALevelRestoresTheRecordedStateInThatLevel ) {
	EFGameMemoryMgr& memory = gpoGameLogicMgr->GetGameMemoryMgr();
	ToolSaveImage	 image;
	image.title		= "Demo Save";
	image.levelName = "START.GCR";
	image.buffers.push_back( { 7, 0, true, { 's', 'a', 'v', 'e' } } );
	struct Row {
		const char* name;
		s32			cut;		// image bytes taken off its end
		const char* level;
		bool		restored;
		const char* loaded;
	};
	const Row rows[] = {
		{ "a level given", 0, "OTHER.GCR", true, "OTHER.GCR" },
		{ "no level", 0, nullptr, true, "START.GCR" },
		{ "a level of 70 characters is cut to 63", 0, "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ", true,
		  "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABC.GCR" },
		{ "an image shorter than its size", 12, "OTHER.GCR", false, "LEFT.GCR" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ToolDemoFile file;
		file.blocks.resize( 1 );
		file.image = ToolWriteSaveImage( image );
		file.image.resize( file.image.size() - row.cut );
		WriteDemo( "LEVEL.DEM", ToolWriteDemoFile( file ) );
		std::memcpy( memory.GetGameBuffer( 7, 4, 1 ), "live", 4 );
		gpoRessourcesMgr->SetResFilename( "LEFT.GCR" );
		Play( "LEVEL.DEM", row.level );
		ASSERT_NE( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
		controller->LoadLevel( 0 );
		EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), row.loaded );
		ASSERT_NE( memory.GetGameBufferObject( 7 ), nullptr );
		EXPECT_EQ( std::memcmp( memory.GetGameBufferObject( 7 )->GetData(), row.restored ? "save" : "live", 4 ), 0 );
		demo().Stop();
	}
}

TEST_F( EFDemoLoopTest, TellsOnlyALiveObjectOfTheRegisteredIdWhenAReplayEnds ) {
	ToolDemoFile file;
	WriteDemo( "END.DEM", ToolWriteDemoFile( file ) );
	UseActions( 0 );
	const LiveInput idle = []( u32, u32 ) { return ActionState(); };
	struct Row {
		const char*									 name;
		std::function<EFGameObject*( EFDemoLoopTest& )> setUp;	  // the object expected to hear
		u32											 state;	  // set before the end; 0: none
		u32											 parameter;
	};
	const Row rows[] = {
		{ "the object of the id after the level restarted",
		  []( EFDemoLoopTest& t ) {
			  t.demo().InitializeCallback( OBJECT_ID, FN_END );
			  Kill( gpoWorldMgr->FindGameObject( OBJECT_ID ) );
			  return t.Object( OBJECT_ID );
		  },
		  0, 0 },
		{ "registered from a state function as the running object",
		  []( EFDemoLoopTest& ) {
			  EFLogicCallbackRecord record = EFLogicCallbackRecordOf( gpoWorldMgr->FindGameObject( OBJECT_ID ), FN_REGISTER );
			  EFGameLogicMgr::ExecLogicCallback( &record, nullptr );
			  return gpoWorldMgr->FindGameObject( OBJECT_ID );
		  },
		  0, 0 },
		{ "stopped by the player",
		  []( EFDemoLoopTest& t ) {
			  t.demo().InitializeCallback( OBJECT_ID, FN_END );
			  return gpoWorldMgr->FindGameObject( OBJECT_ID );
		  },
		  EF_DEMO_STOPPED, 1 },
		{ "an object gone for good",
		  []( EFDemoLoopTest& t ) -> EFGameObject* {
			  t.demo().InitializeCallback( OBJECT_ID, FN_END );
			  Kill( gpoWorldMgr->FindGameObject( OBJECT_ID ) );
			  return nullptr;
		  },
		  0, 0 },
		{ "an id nothing answers to",
		  []( EFDemoLoopTest& t ) -> EFGameObject* {
			  t.demo().InitializeCallback( 0x2A000777, FN_END );
			  return nullptr;
		  },
		  0, 0 },
		{ "a zero index", []( EFDemoLoopTest& t ) -> EFGameObject* {
			  t.demo().InitializeCallback( OBJECT_ID, 0 );
			  return nullptr;
		  },
		  0, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		if ( gpoWorldMgr->FindGameObject( OBJECT_ID ) == nullptr ) {
			Object( OBJECT_ID );
		}
		gEnds.clear();
		EFGameObject* const hearing = row.setUp( *this );
		Play( "END.DEM" );
		if ( row.state != 0 ) {
			demo().SetStateForTesting( row.state );
			demo().End();
		}
		Frames( 2, idle );
		EXPECT_EQ( demo().GetState(), EF_DEMO_IDLE );
		if ( hearing == nullptr ) {
			EXPECT_TRUE( gEnds.empty() );
			continue;
		}
		ASSERT_EQ( gEnds.size(), 1u );
		EXPECT_EQ( gEnds[0].instance, &hearing->moLogicInstance );
		EXPECT_EQ( gEnds[0].parameter, row.parameter );
	}
}

TEST_F( EFDemoLoopTest, AnAbortLevelLoadsWhenTheReplayEnds ) {
	WriteDemo( "END.DEM", ToolWriteDemoFile( ToolDemoFile() ) );
	UseActions( 0 );
	char level[] = "ABORT.GCR";
	demo().SetAbortLevel( level );
	Play( "END.DEM" );
	controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
	Frame( 0.02f, []( u32, u32 ) { return ActionState(); } );
	EXPECT_EQ( demo().GetState(), EF_DEMO_IDLE );
	EXPECT_NE( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), "ABORT.GCR" );
	// Empty: the level running when it was set.
	char none[] = "";
	gpoRessourcesMgr->SetResFilename( "HERE.GCR" );
	demo().SetAbortLevel( none );
	gpoRessourcesMgr->SetResFilename( "ELSEWHERE.GCR" );
	Play( "END.DEM" );
	Frame( 0.02f, []( u32, u32 ) { return ActionState(); } );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), "HERE.GCR" );
}

TEST_F( EFDemoLoopTest, AFullBufferEndsTheRecordingOnceWithItsFinalBlock ) {
	struct Row {
		const char* name;
		u32			actions;
		u32			frames;		// recorded at most
		LiveInput	live;
		u32			dataLength;	// 0: not full
	};
	const LiveInput allChange = []( u32 frame, u32 action ) {
		return Value( static_cast<f32>( frame ), static_cast<f32>( action ), 0x2 );
	};
	// 1050 actions a frame bring the block of frame 26 to 285816, just
	// below the limit; its 2000 changes pass the buffer's end.
	const LiveInput thenAll = []( u32 frame, u32 action ) {
		return action < ( frame >= 26 ? 2000u : 1050u ) ? Value( static_cast<f32>( frame ), 1.0f, 0x2 ) : ActionState();
	};
	const Row rows[] = {
		{ "2000 actions changing in one frame", 2000, 11, allChange, 0 },
		{ "a long recording reaches the block limit", 100, 400, allChange, 0x46000 + 2000 },
		{ "a frame of many actions reaches the buffer's end", 2000, 40, thenAll, 307192 },
	};
	// Idle input through the countdown: the buffer fills in the
	// recording's own frames.
	const auto afterCountdown = []( const LiveInput& live ) -> LiveInput {
		return [live]( u32 frame, u32 action ) { return frame < 9 ? ActionState() : live( frame, action ); };
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const LiveInput live = afterCountdown( row.live );
		// A game buffer of 64 KB: the save image is far larger than the
		// room the buffer keeps behind the demo data.
		ASSERT_NE( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( 9, 0x10000, 1 ), nullptr );
		UseActions( row.actions );
		char path[] = "FULL.DEM";
		demo().Record( path );
		demo().EndFrame();
		controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
		ClearSeen();
		u32 recorded = 0;
		while ( demo().GetState() != EF_DEMO_IDLE && recorded < row.frames ) {
			Frame( 0.02f, live );
			recorded++;
		}
		const bool filled = demo().GetState() == EF_DEMO_IDLE;
		demo().Stop();
		const std::vector<u8> bytes = Written( "FULL.DEM" );
		ToolDemoFile		  file;
		std::string			  error;
		ASSERT_TRUE( ToolReadDemoFile( bytes, file, error ) ) << error;
		EXPECT_TRUE( file.finalBlock );
		ASSERT_EQ( file.blocks.size(), recorded );
		EXPECT_EQ( file.image.size(), EF_SAVE_IMAGE_OVERHEAD + EF_GAME_BUFFER_HEADER_BYTES + 0x10000 );
		const u32 dataLength = static_cast<u32>( bytes.size() - file.image.size() - 4 );
		EXPECT_EQ( filled, row.dataLength != 0 );
		if ( row.dataLength == 307192 ) {
			EXPECT_EQ( dataLength, row.dataLength );
			EXPECT_EQ( file.blocks.back().records.size(), 1335u );
		} else if ( row.dataLength != 0 ) {
			EXPECT_GT( dataLength, EF_DEMO_BLOCK_LIMIT );
			EXPECT_LT( dataLength, row.dataLength );
		} else {
			EXPECT_EQ( file.blocks[10].records.size(), 2000u );
		}
		// And it replays to its end, the last frame's values included.
		Play( "FULL.DEM" );
		UseActions( row.actions );
		u32 replayed = 0;
		while ( demo().GetState() != EF_DEMO_IDLE && replayed <= recorded ) {
			Frame( 0.02f, []( u32, u32 ) { return ActionState(); } );
			replayed++;
		}
		EXPECT_EQ( replayed, recorded + 1 );
		ASSERT_GE( history.size(), recorded );
		EXPECT_TRUE( Same( history[recorded - 1][0], live( recorded - 1, 0 ) ) );
	}
}

TEST_F( EFDemoLoopTest, TwoRecordingsOfTheSameInputAreByteIdentical ) {
	std::vector<std::vector<u8>> files;
	for ( const char* name : { "ONE.DEM", "TWO.DEM" } ) {
		// The restart makes the level's actions anew.
		controller->Reset();
		UseActions( 3 );
		RuntimeSrand( 77 );
		RecordFrames( name, 16, Scripted );
		files.push_back( Written( name ) );
	}
	EXPECT_GT( files[0].size(), 1200u );
	EXPECT_EQ( files[0], files[1] );
}

}
