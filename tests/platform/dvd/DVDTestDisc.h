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
#include "platform/host/HostEventQueue.h"
#include "support/HostTestDisc.h"

#include <gtest/gtest.h>

#include <filesystem>
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
		ASSERT_TRUE( disc.Open( { .prefix = "dvd_test_", .console = false, .closeFiles = false } ) );
		DVDTestCompletions().clear();
	}

	void TearDown() override {
		disc.Close();
	}

	// Writes a file below the disc folder (or, with outside, beside it).
	void WriteFile( const std::string& path, const std::vector<u8>& bytes, const bool outside = false ) {
		std::string error;
		EXPECT_TRUE( outside ? ToolWriteFile( root / path, bytes, error ) : disc.WriteFile( path, bytes ) ) << path;
	}

	// Bytes 1, 2, 3 ... so that every offset is recognisable and none is 0.
	static std::vector<u8> Counting( const u32 count ) {
		std::vector<u8> bytes( count );
		for ( u32 i = 0; i < count; ++i ) {
			bytes[i] = static_cast<u8>( i % 255 + 1 );
		}
		return bytes;
	}

	HostTestDisc					disc;
	const std::filesystem::path&	root = disc.Root();	// the folder that holds the disc folder
};

#endif
