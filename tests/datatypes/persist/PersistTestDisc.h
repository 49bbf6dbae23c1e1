/*
===============================================================================

	Fixture for the persist-stream and property tests: a fresh disc folder
	with the disc library, video interface and controllers started and
	every file handle closed, helpers that put bytes on the disc and open
	them, and text hooks.

	The text hooks are those of support/PersistTextHooks.h.

===============================================================================
*/
#ifndef PERSIST_TEST_DISC_H
#define PERSIST_TEST_DISC_H

#include "datatypes/file/DTFile.h"
#include "support/HostTestDisc.h"
#include "support/PersistTextHooks.h"
#include "support/TestHexBytes.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

class PersistTestDisc : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "dt_persist_test_" } ) );
		geDVDState = DT_DVD_STATE_DONE;
		PersistHooks() = PersistHookLog();
		fnFscanf = nullptr;
		fnFprintf = nullptr;
	}

	void TearDown() override {
		fnFscanf = nullptr;
		fnFprintf = nullptr;
		disc.Close();
	}

	static void InstallTextHooks() {
		fnFscanf = PersistScanHook;
		fnFprintf = PersistPrintHook;
	}

	// Puts bytes on the disc under name and opens them; null on failure.
	DTFileHandle_* OpenBytes( const std::vector<u8>& bytes, const std::string& name = "DATA.BIN" ) {
		EXPECT_TRUE( disc.WriteFile( name, bytes ) ) << name;
		return DTFopen( name.c_str(), "r" );
	}

	DTFileHandle_* OpenText( const std::string& text, const std::string& name = "DATA.TXT" ) {
		return OpenBytes( std::vector<u8>( text.begin(), text.end() ), name );
	}

	static std::vector<u8> Hex( const std::string& text ) {
		return HexBytes( text );
	}

	HostTestDisc					disc;
	const std::filesystem::path&	root = disc.Root();	// the folder that holds the disc folder
};

#endif
