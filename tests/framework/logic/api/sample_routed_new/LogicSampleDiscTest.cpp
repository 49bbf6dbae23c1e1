/*
	The sample disc's library and object logic, booted in-process with the
	engine executable's allocator routing, run a few frames of the engine:
	the library's block is registered and the object logic moves a shared
	position by its speed every frame.
*/
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicTestSupport.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/video/EFVideoPlayer.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/logic/ToolSampleLogic.h"
#include "tools/logic/sample/sampletuning.h"

#include <cstring>
#include <string>

namespace {

class LogicApiSampleDiscTest : public EFCoreTestBench {
protected:
	void TearDown() override {
		delete gpoEngineController;
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}
};

TEST_F( LogicApiSampleDiscTest, TheSampleLogicMovesByTheLibrarysTuningEveryFrame ) {
	const ToolSampleModules modules = { ReadFileBytes( ENGINE_SAMPLE_OBJECT_MODULE ),
										ReadFileBytes( ENGINE_SAMPLE_LIBRARY_MODULE ) };
	ASSERT_FALSE( modules.objectModule.empty() );
	std::string error;
	ASSERT_TRUE( ToolWriteSampleDisc( root / "disc", modules, error ) ) << error;
	EFAppContext context;
	std::memset( &context, 0, sizeof( context ) );
	std::strcpy( context.szResFilename, std::string( TOOL_SAMPLE_RESOURCE_FILE ).c_str() );
	std::strcpy( context.szLevelPath, std::string( TOOL_SAMPLE_LEVEL ).c_str() );
	std::strcpy( context.szLanguagePath, "FR" );
	EFVideoPlayer::GetInstance()->mui32Playing = 0;
	constexpr u32 FRAMES = 6;
	SetFramesToRun( FRAMES );
	new EFEngineController( context );
	ASSERT_EQ( gpoEngineController->InitializeFramework(), 1u );
	gpoEngineController->MainLoop();

	const SampleTuning* const tuning = static_cast<const SampleTuning*>( EFCustomLibBank::GetLib( SAMPLE_TUNING_NAME ) );
	ASSERT_NE( tuning, nullptr );
	EXPECT_EQ( tuning->speed, SAMPLE_TUNING_SPEED );
	EXPECT_EQ( tuning->gravity, SAMPLE_TUNING_GRAVITY );
	EXPECT_EQ( tuning->lives, static_cast<u32>( SAMPLE_TUNING_LIVES ) );

	const EFLogicCode* const code = gpoGameLogicMgr->GetLogicCode( TOOL_SAMPLE_OBJECT_CODE_ID );
	ASSERT_NE( code, nullptr );
	ASSERT_GE( code->GetGlobalDataSize(), sizeof( SampleShared ) );
	const SampleShared* const shared = static_cast<const SampleShared*>( code->GetGlobalData() );
	// Every live sample object runs its state once a frame after the frame
	// that constructs it.
	EXPECT_EQ( shared->instances, 4u );
	EXPECT_EQ( shared->frames, shared->instances * ( FRAMES - 1 ) );
	f32 x = 0.0f;
	for ( u32 step = 0; step < shared->frames; step++ ) {
		x += SAMPLE_TUNING_SPEED;
	}
	EXPECT_EQ( shared->position.x, x );
	EXPECT_EQ( shared->position.y, 0.0f );
	EXPECT_EQ( shared->distance, x );
	EXPECT_EQ( shared->laps, static_cast<s32>( shared->frames / SAMPLE_TUNING_LIVES ) );
	gpoEngineController->TerminateFramework();
}

}
