/*
	Disc writes through the write folder: creation, read-back precedence
	over the disc, seeking, deletion and the handle limit, one scenario a
	row; and the console's behaviour when no write hook is installed.
*/
#include "DTFileTestBench.h"

#include "Engine/implementation/GC/EIDiscWrite.h"
#include "tools/lib/ToolFile.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

class DTFileWriteTest : public DTFileTestBench {
protected:
	void SetUp() override {
		DTFileTestBench::SetUp();
		ASSERT_TRUE( disc.Open( { .prefix = "dt_file_write_", .writeFolder = true, .edit = HostTestDiscUseNtsc } ) );
	}

	std::vector<u8> HostBytes( const std::filesystem::path& path ) const {
		std::vector<u8> bytes;
		std::string error;
		EXPECT_TRUE( ToolReadFile( path, bytes, error ) ) << error;
		return bytes;
	}

	// Writes bytes through the engine to a new file.
	static bool EngineWrite( const char* path, const std::vector<u8>& bytes ) {
		DTFileHandle_* const file = DTFopen( path, "wb" );
		if ( file == nullptr ) {
			return false;
		}
		const u32 written = DTFwrite( bytes.data(), 1, static_cast<u32>( bytes.size() ), file );
		DTFclose( file );
		return written == bytes.size();
	}

	static std::vector<u8> EngineRead( const char* path, const u32 count ) {
		std::vector<u8> bytes( count );
		DTFileHandle_* const file = DTFopen( path, "rb" );
		if ( file == nullptr ) {
			return {};
		}
		bytes.resize( DTFread( bytes.data(), 1, count, file ) );
		DTFclose( file );
		return bytes;
	}
};

TEST_F( DTFileWriteTest, WritesOnlyToTheWriteFolderAndReadsItBeforeTheDisc ) {
	struct Row {
		const char*				name;
		std::function<void()>	run;
	};
	const std::vector<u8> disc8 = Pattern( 8 );
	const std::vector<u8> big = Pattern( 3 * DVD_READ_SIZE + 100 );
	const Row rows[] = {
		{ "a write makes its folders and keeps whole elements",
		  [&] {
			  DTFileHandle_* const file = DTFopen( "\\Demo\\Sub\\Take.dem", "wb" );
			  ASSERT_NE( file, nullptr );
			  EXPECT_EQ( DTFwrite( big.data(), 4, 5, file ), 5u );
			  EXPECT_EQ( DTFwrite( big.data() + 20, 1, 7, file ), 7u );
			  EXPECT_EQ( file->offset, 27u );
			  EXPECT_EQ( DTFsize( file ), 27u );
			  DTFclose( file );
			  EXPECT_EQ( HostBytes( disc.WriteFolder() / "Demo" / "Sub" / "Take.dem" ),
						 std::vector<u8>( big.begin(), big.begin() + 27 ) );
			  EXPECT_FALSE( std::filesystem::exists( disc.DiscFolder() / "Demo" ) );
		  } },
		{ "a write matches existing names whatever their case and empties the file",
		  [&] {
			  ASSERT_TRUE( EngineWrite( "DIR/FILE.BIN", big ) );
			  ASSERT_TRUE( EngineWrite( "dir\\file.bin", disc8 ) );
			  EXPECT_EQ( HostBytes( disc.WriteFolder() / "DIR" / "FILE.BIN" ), disc8 );
			  EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "dir" ) );
		  } },
		{ "the written file hides the disc's own, which stays as it was",
		  [&] {
			  WriteFile( "SAME.BIN", disc8 );
			  ASSERT_TRUE( EngineWrite( "same.bin", big ) );
			  EXPECT_EQ( DTFsize( "SAME.BIN" ), big.size() );
			  EXPECT_EQ( EngineRead( "SAME.BIN", static_cast<u32>( big.size() ) ), big );
			  EXPECT_EQ( HostBytes( disc.DiscFolder() / "SAME.BIN" ), disc8 );
		  } },
		{ "a seek from each origin loads the chunk of the new offset",
		  [&] {
			  ASSERT_TRUE( EngineWrite( "SEEK.BIN", big ) );
			  DTFileHandle_* const file = DTFopen( "SEEK.BIN", "r" );
			  ASSERT_NE( file, nullptr );
			  u8 byte = 0;
			  ASSERT_EQ( DTFread( &byte, 1, 1, file ), 1u );
			  const struct {
				  s32	offset;
				  s32	origin;
				  s32	result;
				  u32	at;
			  } seeks[] = {
				  { 2 * DVD_READ_SIZE + 5, DT_SEEK_SET, 0, 2 * DVD_READ_SIZE + 5 },
				  { -static_cast<s32>( DVD_READ_SIZE ), DT_SEEK_CUR, 0, DVD_READ_SIZE + 6 },
				  { -4, DT_SEEK_END, 0, static_cast<u32>( big.size() ) - 4 },
				  { -1, DT_SEEK_SET, -1, static_cast<u32>( big.size() ) - 3 },
				  { 0, 7, -1, static_cast<u32>( big.size() ) - 2 },
			  };
			  // Each read takes the byte at the offset the seek left.
			  for ( const auto& seek : seeks ) {
				  EXPECT_EQ( DTFseek( file, seek.offset, seek.origin ), seek.result );
				  ASSERT_EQ( DTFread( &byte, 1, 1, file ), 1u );
				  EXPECT_EQ( byte, big[seek.at] ) << seek.at;
				  EXPECT_EQ( file->offset, seek.at + 1 );
			  }
			  DTFclose( file );
			  EXPECT_EQ( DTFseek( file, 0, DT_SEEK_SET ), -1 );
			  EXPECT_EQ( DTFseek( nullptr, 0, DT_SEEK_SET ), -1 );
		  } },
		{ "a delete takes the written file only; the disc's shows again",
		  [&] {
			  WriteFile( "GONE.BIN", disc8 );
			  ASSERT_TRUE( EngineWrite( "GONE.BIN", big ) );
			  EXPECT_EQ( DTUnlink( "\\gone.bin" ), 0 );
			  EXPECT_EQ( EngineRead( "GONE.BIN", 64 ), disc8 );
			  EXPECT_EQ( DTUnlink( "GONE.BIN" ), -1 );
			  EXPECT_TRUE( std::filesystem::exists( disc.DiscFolder() / "GONE.BIN" ) );
		  } },
		{ "a disc file opened for reading is never written",
		  [&] {
			  WriteFile( "READ.BIN", disc8 );
			  DTFileHandle_* const file = DTFopen( "READ.BIN", "rb" );
			  ASSERT_NE( file, nullptr );
			  EXPECT_EQ( DTFwrite( big.data(), 1, 4, file ), 0u );
			  EXPECT_EQ( file->offset, 0u );
			  DTFclose( file );
			  EXPECT_EQ( HostBytes( disc.DiscFolder() / "READ.BIN" ), disc8 );
		  } },
		{ "writes and reads share the eight handles",
		  [&] {
			  WriteFile( "R.BIN", disc8 );
			  std::vector<DTFileHandle_*> open;
			  for ( u32 i = 0; i < DT_FILE_HANDLE_COUNT; i++ ) {
				  const std::string name = "W" + std::to_string( i ) + ".BIN";
				  open.push_back( i % 2 == 0 ? DTFopen( name.c_str(), "wb" ) : DTFopen( "R.BIN", "r" ) );
				  ASSERT_NE( open.back(), nullptr ) << i;
			  }
			  EXPECT_EQ( DTFopen( "NINTH.BIN", "wb" ), nullptr );
			  EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "NINTH.BIN" ) );
			  for ( DTFileHandle_* const file : open ) {
				  DTFclose( file );
			  }
		  } },
		{ "without the hook a write open only opens what the disc has",
		  [&] {
			  DTSetFileWriteHook( nullptr );
			  EXPECT_EQ( DTFopen( "NEW.BIN", "wb" ), nullptr );
			  WriteFile( "OLD.BIN", disc8 );
			  DTFileHandle_* const file = DTFopen( "OLD.BIN", "wb" );
			  ASSERT_NE( file, nullptr );
			  testing::internal::CaptureStdout();
			  EXPECT_EQ( DTFwrite( big.data(), 1, 4, file ), 0u );
			  EXPECT_EQ( DTUnlink( "OLD.BIN" ), 0 );
			  EXPECT_EQ( testing::internal::GetCapturedStdout(),
						 "DTFwrite Unimplemented function\nDTUnlink Unimplemented function\n" );
			  DTFclose( file );
			  EXPECT_EQ( HostBytes( disc.DiscFolder() / "OLD.BIN" ), disc8 );
			  EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "NEW.BIN" ) );
			  EXPECT_FALSE( std::filesystem::exists( disc.WriteFolder() / "OLD.BIN" ) );
			  EIInstallDiscWriteHook();
		  } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		row.run();
		HostTestDisc::CloseAllFiles();
		EXPECT_EQ( DTNbrFileInUse(), 0u );
	}
}

TEST_F( DTFileWriteTest, StartUpInstallsTheHookOnlyWhenTheWriteFolderIsSet ) {
	HostSettings settings = HostGetSettings();
	settings.discWriteFolder[0] = '\0';
	HostSettingsOverride( settings );
	EXPECT_FALSE( EIInstallDiscWriteHook() );
	EXPECT_EQ( DTSetFileWriteHook( nullptr ), nullptr );
	EXPECT_EQ( DTFopen( "X.BIN", "wb" ), nullptr );
	EXPECT_TRUE( std::filesystem::is_empty( disc.WriteFolder() ) );
}

}
