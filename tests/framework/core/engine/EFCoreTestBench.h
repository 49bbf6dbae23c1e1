/*
===============================================================================

	Fixture for the engine-core tests: a fresh disc folder, every host
	stand-in reset, the virtual clock at 0, and host hooks that record
	reports and resets and turn panics into exceptions, so that a test can
	run start-up and the whole engine in-process.

===============================================================================
*/
#ifndef EF_CORE_TEST_BENCH_H
#define EF_CORE_TEST_BENCH_H

#include "Engine/implementation/GC/EIOsInterfaceMgr.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "platform/host/HostSettings.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"
#include "platform/si/SI.h"
#include "platform/si/SIHost.h"
#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"
#include "support/HostTestDisc.h"
#include "tools/lib/ToolIniWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// What the host hooks saw.
struct EFCoreTestRecord {
	std::vector<std::string>	reports;
	std::vector<std::string>	panics;		// "file:line:message"
	u32							resets = 0;
};

inline EFCoreTestRecord& EFCoreTestSeen() {
	static EFCoreTestRecord seen;
	return seen;
}

inline void EFCoreTestReport( const char* text ) {
	EFCoreTestSeen().reports.push_back( text );
}

inline void EFCoreTestReset( s32, u32, BOOL ) {
	EFCoreTestSeen().resets++;
}

inline void EFCoreTestPanic( const char* file, const s32 line, const char* message ) {
	const std::string text = std::string( file ) + ":" + std::to_string( line ) + ":" + message;
	EFCoreTestSeen().panics.push_back( text );
	throw std::runtime_error( text );
}

// An NTSC console that runs until the game ends, with no controller
// script, whatever the environment says.
inline void EFCoreTestSettings( HostSettings& settings ) {
	settings.tvFormat = HOST_TV_NTSC;
	settings.framesToRun = 0;
	settings.padScript[0] = '\0';
}

class EFCoreTestBench : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "ef_core_test_", .edit = EFCoreTestSettings } ) );
		SIHostReset();
		VMHostReset();
		CARDHostReset();
		OSHostSetResetButton( false );
		EFCoreTestSeen() = EFCoreTestRecord();
		previousReport = OSHostSetReportHook( EFCoreTestReport );
		previousReset = OSHostSetResetHook( EFCoreTestReset );
		previousPanic = OSHostSetPanicHook( EFCoreTestPanic );
		// Start-up installs the platform's OS interface manager; the
		// controller made here without start-up gets the same.
		previousCreator = EFSetOsInterfaceMgrCreator( EICreateOsInterfaceMgr );
	}

	void TearDown() override {
		HostTestDisc::CloseAllFiles();
		OSHostSetReportHook( previousReport );
		OSHostSetResetHook( previousReset );
		OSHostSetPanicHook( previousPanic );
		EFSetOsInterfaceMgrCreator( previousCreator );
		MMSetVMWindow( nullptr, 0 );
		VMHostReset();
		SIHostReset();
		CARDHostReset();
		disc.Close();
	}

	// Opens a fresh disc with a write folder beside it and the write hook
	// installed, for tests that write disc files. Call before anything
	// else of the test.
	bool UseWriteFolder() {
		return disc.Open( { .prefix = "ef_core_test_", .writeFolder = true, .edit = EFCoreTestSettings } );
	}

	void SetFramesToRun( const u32 frames ) {
		HostSettings settings = HostGetSettings();
		settings.framesToRun = frames;
		HostSettingsOverride( settings );
	}

	// Writes a text file at the disc's root.
	void WriteDiscText( const std::string& name, const std::string& text ) {
		EXPECT_TRUE( disc.WriteText( name, text ) ) << name;
	}

	void WriteIni( const ToolIniWriter& ini ) {
		WriteDiscText( "ENGINE.INI", ini.Text() );
	}

	HostTestDisc					disc;
	const std::filesystem::path&	root = disc.Root();	// the folder that holds the disc folder
	OSHostReportHook				previousReport = nullptr;
	OSHostResetHook					previousReset = nullptr;
	OSHostPanicHook					previousPanic = nullptr;
	EFOsInterfaceMgrCreator previousCreator = nullptr;
};

#endif
