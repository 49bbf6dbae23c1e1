/*
===============================================================================

	Fixture for the disc file, disc message and reset tests: a fresh disc
	folder, the disc library, video interface and controllers reset and
	started, the ROM font built, every handle closed, resets enabled, and
	host hooks that record reports and resets and turn panics into
	exceptions.

===============================================================================
*/
#ifndef DT_FILE_TEST_BENCH_H
#define DT_FILE_TEST_BENCH_H

#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/file/DTDiscMessage.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"
#include "platform/os/OSFont.h"
#include "support/HostTestDisc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

// What the host hooks saw.
struct DTFileTestRecord {
	std::vector<std::string>	reports;
	std::vector<s32>			resetArgs;	// three per reset: reset, code, menu
};

inline DTFileTestRecord& DTFileTestSeen() {
	static DTFileTestRecord seen;
	return seen;
}

inline void DTFileTestReport( const char* text ) {
	DTFileTestSeen().reports.push_back( text );
}

// A reset leaves the program on the console; here it is recorded and the
// press forgotten, as a restarted console would have forgotten it.
inline void DTFileTestReset( const s32 reset, const u32 code, const BOOL menu ) {
	DTFileTestRecord& seen = DTFileTestSeen();
	seen.resetArgs.push_back( reset );
	seen.resetArgs.push_back( static_cast<s32>( code ) );
	seen.resetArgs.push_back( menu );
	gbConsoleResetPushed = 0;
}

inline void DTFileTestPanic( const char*, s32, const char* message ) {
	throw std::runtime_error( message );
}

// Frame buffer sized for the tallest format, so that ASan sees any write
// past the last row.
constexpr u32 DT_TEST_FRAME_BYTES = DT_FRAME_HEIGHT_PAL * DT_FRAME_STRIDE;

class DTFileTestBench : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "dt_file_test_", .edit = HostTestDiscUseNtsc } ) );
		OSHostSetResetButton( false );
		ASSERT_TRUE( OSInitFont( reinterpret_cast<OSFontHeader*>( FontBuffer() ) ) );

		geDVDState = DT_DVD_STATE_DONE;
		gbConsoleResetPushed = 0;
		gui32EnableReset = 1;
		DTFileTestSeen() = DTFileTestRecord();
		previousReport = OSHostSetReportHook( DTFileTestReport );
		previousReset = OSHostSetResetHook( DTFileTestReset );
		previousPanic = OSHostSetPanicHook( DTFileTestPanic );
	}

	void TearDown() override {
		HostTestDisc::CloseAllFiles();
		// The graphics manager's part: free the temporary frame and forget it.
		MMFree( gTempFB );
		gTempFB = nullptr;
		OSHostSetReportHook( previousReport );
		OSHostSetResetHook( previousReset );
		OSHostSetPanicHook( previousPanic );
		OSHostSetResetButton( false );
		disc.Close();
	}

	static u8* FontBuffer() {
		alignas( 32 ) static u8 font[OS_FONT_SIZE_ANSI];
		return font;
	}

	// Writes a file below the disc folder.
	void WriteFile( const std::string& path, const std::vector<u8>& bytes ) {
		EXPECT_TRUE( disc.WriteFile( path, bytes ) ) << path;
	}

	// Bytes that differ from their neighbours and from the chunk before:
	// a low and a high byte of the offset, mixed.
	static std::vector<u8> Pattern( const u32 count ) {
		std::vector<u8> bytes( count );
		for ( u32 i = 0; i < count; ++i ) {
			bytes[i] = static_cast<u8>( ( i * 7 + ( i >> 8 ) * 13 + 1 ) & 0xFF );
		}
		return bytes;
	}

	// Luma of the pixel at (x, y) of a frame in the console's format.
	static u8 Luma( const std::vector<u8>& frame, const u32 x, const u32 y ) {
		return frame[y * DT_FRAME_STRIDE + x * 2];
	}

	HostTestDisc					disc;
	const std::filesystem::path&	root = disc.Root();	// the folder that holds the disc folder
	OSHostReportHook				previousReport = nullptr;
	OSHostResetHook					previousReset = nullptr;
	OSHostPanicHook					previousPanic = nullptr;
};

#endif
