/*
===============================================================================

	A disc folder for the disc library's tests: a fresh temporary folder
	that the host settings point at, with the library, the event queue and
	the virtual clock reset and the library initialised. Completions of
	reads are recorded in order.

===============================================================================
*/
#ifndef DVD_TEST_DISC_H
#define DVD_TEST_DISC_H

#include "platform/dvd/DVD.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/host/HostSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

struct DVDTestCompletion {
	s32				result;
	DVDFileInfo*	fileInfo;
	s32				stateSeen;	// the block's state when the callback ran
	bool			interruptsEnabled;
};

inline std::vector<DVDTestCompletion>& DVDTestCompletions() {
	static std::vector<DVDTestCompletion> completions;
	return completions;
}

inline void DVDTestRecordCompletion( const s32 result, DVDFileInfo* fileInfo ) {
	DVDTestCompletions().push_back( { result, fileInfo, fileInfo->cb.state, HostInterruptsEnabled() } );
}

class DVDTestDisc : public ::testing::Test {
protected:
	void SetUp() override {
		char pattern[] = "/tmp/dvd_test_XXXXXX";
		ASSERT_NE( mkdtemp( pattern ), nullptr );
		root = pattern;
		std::filesystem::create_directories( root / "disc" );
		HostSettings settings = HostGetSettings();
		std::snprintf( settings.discFolder, sizeof( settings.discFolder ), "%s", ( root / "disc" ).c_str() );
		HostSettingsOverride( settings );
		HostResetEvents();
		HostClockUseVirtual( 0 );
		DVDHostReset();
		DVDInit();
		DVDTestCompletions().clear();
	}

	void TearDown() override {
		DVDHostReset();
		HostResetEvents();
		HostSettingsReload();
		std::filesystem::remove_all( root );
	}

	// Writes a file below the disc folder (or, with outside, beside it).
	void WriteFile( const std::string& path, const std::vector<u8>& bytes, const bool outside = false ) {
		const std::filesystem::path full = ( outside ? root : root / "disc" ) / path;
		std::filesystem::create_directories( full.parent_path() );
		std::ofstream out( full, std::ios::binary );
		out.write( reinterpret_cast<const char*>( bytes.data() ), static_cast<std::streamsize>( bytes.size() ) );
	}

	// Bytes 1, 2, 3 ... so that every offset is recognisable and none is 0.
	static std::vector<u8> Counting( const u32 count ) {
		std::vector<u8> bytes( count );
		for ( u32 i = 0; i < count; ++i ) {
			bytes[i] = static_cast<u8>( i % 255 + 1 );
		}
		return bytes;
	}

	std::filesystem::path root;
};

#endif
