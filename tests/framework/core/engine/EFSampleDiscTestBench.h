/*
===============================================================================

	Fixture for the tests that boot the sample disc in-process: the disc
	written with the sample's own logic modules, the engine controller
	made on its level and the framework started, frames run on demand, and
	the controller gone at the end. While the engine runs, the working
	folder is the test's own folder, so that the files the engine writes
	by relative names (the sample's snapshots) land there. The test
	program defines where the built modules are
	(ENGINE_SAMPLE_OBJECT_MODULE, ENGINE_SAMPLE_LIBRARY_MODULE).

===============================================================================
*/
#ifndef EF_SAMPLE_DISC_TEST_BENCH_H
#define EF_SAMPLE_DISC_TEST_BENCH_H

#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicTestSupport.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/graphics/EFCamera.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/video/EFVideoPlayer.h"
#include "tools/lib/ToolSampleDisc.h"

#include <cstring>
#include <filesystem>
#include <string>

class EFSampleDiscTestBench : public EFCoreTestBench {
protected:
	void TearDown() override {
		delete gpoEngineController;
		EFIniFile::GetInstance()->Clear();
		if ( !previous.empty() ) {
			std::filesystem::current_path( previous );
		}
		EFCoreTestBench::TearDown();
	}

	// Writes the sample disc with the sample's own modules.
	void WriteSampleDisc() {
		const ToolSampleModules modules = { ReadFileBytes( ENGINE_SAMPLE_OBJECT_MODULE ),
											ReadFileBytes( ENGINE_SAMPLE_LIBRARY_MODULE ) };
		ASSERT_FALSE( modules.objectModule.empty() );
		std::string error;
		ASSERT_TRUE( ToolWriteSampleDisc( root / "disc", modules, error ) ) << error;
	}

	// Makes the controller on the sample level, as start-up does with no
	// intro movie, and starts the framework, to run frames at first, in
	// the test's folder with the snapshots numbered from 0.
	void StartSampleDisc( const u32 frames ) {
		if ( previous.empty() ) {
			previous = std::filesystem::current_path();
		}
		std::filesystem::current_path( root );
		EFCamera_SP::smui32ShotCounter = 0;
		EFAppContext context;
		std::memset( &context, 0, sizeof( context ) );
		std::strcpy( context.szResFilename, std::string( TOOL_SAMPLE_RESOURCE_FILE ).c_str() );
		std::strcpy( context.szLevelPath, std::string( TOOL_SAMPLE_LEVEL ).c_str() );
		std::strcpy( context.szLanguagePath, "FR" );
		EFVideoPlayer::GetInstance()->mui32Playing = 0;
		SetFramesToRun( frames );
		new EFEngineController( context );
		ASSERT_EQ( gpoEngineController->InitializeFramework(), 1u );
	}

	// Runs frames more of the engine.
	void RunMoreFrames( const u32 frames ) {
		SetFramesToRun( gpoEngineController->GetFrameCounter() + frames );
		gpoEngineController->ClearFlags( EF_CONTROLLER_QUIT );
		gpoEngineController->MainLoop();
	}

	// What a level change does to the library bank, which outlives the
	// framework, then the framework's end.
	static void FinishSampleDisc() {
		EFCustomLibBank::Destroy();
		gpoEngineController->TerminateFramework();
	}

	std::filesystem::path	previous;	// the working folder before the engine ran
};

#endif
