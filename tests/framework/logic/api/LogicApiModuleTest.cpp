/*
	Modules built from C reach the tables through the root table they are
	given: a test module calls standard-library, maths and registration
	slots, and the sample disc's library and object logic run a few frames
	of the engine.
*/
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicTestSupport.h"
#include "framework/logic/LogicWorldFixture.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/video/EFVideoPlayer.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include "framework/logic/modules/tablesreport.h"
#include "tools/logic/sample/sampletuning.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr u32 TABLES_CODE	= 0x78;
constexpr u32 OBJECT_A		= 0x2a000001;

class LogicApiModuleTest : public LogicWorldFixture {};

TEST_F( LogicApiModuleTest, AModuleCallsTheStandardLibraryMathsAndRegistrationSlots ) {
	ToolBigEndianWriter out;
	ASSERT_TRUE( ToolLogicRecordWriter::Write( out, { TABLES_CODE, "TABLES", ReadFileBytes( HostModulePath( "TABLES" ) ),
													 false } ) );
	std::vector<u8> record = out.Take();
	EFLogicCode* const code = new EFLogicCode;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
	ASSERT_EQ( code->Load( stream ), 0 );
	ASSERT_EQ( manager->GetLogicCode( TABLES_CODE ), code );
	AddObject( OBJECT_A, nullptr )->moLogicInstance.mpLogicCode = code;
	manager->Update( 0.02f );

	TablesReport report = {};
	ASSERT_EQ( manager->SendLogicMessageTo( OBJECT_A, 1, 0, &report, nullptr ), 1 );
	EXPECT_EQ( report.clamped, static_cast<s32>( 0x80000000u ) );
	EXPECT_EQ( report.clampedDigits, 11 );
	EXPECT_EQ( report.minusOne, 0xFFFFFFFFu );
	EXPECT_EQ( report.absMinimum, static_cast<s32>( 0x80000000u ) );
	EXPECT_EQ( report.quotient, -3 );
	EXPECT_EQ( report.remainder, 1 );
	EXPECT_EQ( report.length, 5.0f );
	EXPECT_EQ( report.cross.x, 8.0f );
	EXPECT_EQ( report.cross.y, -6.0f );
	EXPECT_EQ( report.cross.z, 0.0f );
	EXPECT_EQ( report.squareRoot, std::sqrt( 2.0f ) );
	ASSERT_NE( report.block, nullptr );
	EXPECT_EQ( EFCustomLibBank::GetLib( TABLES_BLOCK_NAME ), report.block );
	EXPECT_EQ( *static_cast<u32*>( report.block ), TABLES_BLOCK_MARK );
	EFCustomLibBank::Destroy();
}

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
	EXPECT_EQ( shared->instances, 3u );
	EXPECT_EQ( shared->frames, shared->instances * ( FRAMES - 1 ) );
	f32 x = 0.0f;
	for ( u32 step = 0; step < shared->frames; step++ ) {
		x += SAMPLE_TUNING_SPEED;
	}
	EXPECT_EQ( shared->position.x, x );
	EXPECT_EQ( shared->position.y, 0.0f );
	EXPECT_EQ( shared->distance, x );
	EXPECT_EQ( shared->laps, static_cast<s32>( shared->frames / SAMPLE_TUNING_LIVES ) );
}

}
