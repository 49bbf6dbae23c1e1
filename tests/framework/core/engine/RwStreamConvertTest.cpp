#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "framework/core/engine/RwStreamConvert.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/core/RwTestEngine.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolChunkWriter.h"

#include <cstdio>
#include <vector>

namespace {

constexpr u32 FIRST_CHUNK	= 0x18;
constexpr u32 SECOND_CHUNK	= 0x06;
constexpr u32 MARKER		= 0x4D41524B;

// Two library chunks with payloads of 12 and 4 bytes.
std::vector<u8> TwoChunks() {
	ToolChunkWriter chunks;
	chunks.BeginChunk( FIRST_CHUNK );
	chunks.WriteU32( 1 );
	chunks.WriteU32( 2 );
	chunks.WriteU32( 3 );
	chunks.EndChunk();
	chunks.BeginChunk( SECOND_CHUNK );
	chunks.WriteU32( 4 );
	chunks.EndChunk();
	std::vector<u8> bytes;
	chunks.Finish( bytes );
	return bytes;
}

// Reads both chunks as the library's readers do: find, then the payload.
void ReadTwoChunks( RwStream* stream ) {
	u32 length = 0;
	ASSERT_TRUE( RwStreamFindChunk( stream, FIRST_CHUNK, &length, nullptr ) );
	ASSERT_EQ( length, 12u );
	u32 words[3] = {};
	ASSERT_NE( RwStreamReadInt32( stream, words, sizeof( words ) ), nullptr );
	EXPECT_EQ( words[2], 3u );
	ASSERT_TRUE( RwStreamFindChunk( stream, SECOND_CHUNK, &length, nullptr ) );
	ASSERT_NE( RwStreamReadInt32( stream, words, sizeof( u32 ) ), nullptr );
	EXPECT_EQ( words[0], 4u );
}

class RwStreamConvertTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, 0, 0 ) );
	}
};

TEST_F( RwStreamConvertTest, ChunksReadFromAMemoryStreamLeaveItJustPastThem ) {
	const std::vector<u8> chunks = TwoChunks();
	ToolBigEndianWriter image;
	image.WriteZeros( 100 );
	image.WriteBytes( chunks );
	image.WriteU32( MARKER );
	image.WriteZeros( 1000 - image.Bytes().size() );
	std::vector<u8> bytes = image.Bytes();
	DTMemoryPersistStream persist( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	ASSERT_EQ( persist.Forward( 100 ), DT_PERSIST_OK );

	RwStream* const stream = RwStreamConvert( &persist, nullptr );
	ASSERT_NE( stream, nullptr );
	EXPECT_EQ( stream->type, rwSTREAMMEMORY );
	EXPECT_EQ( stream->Type.memory.nSize, 900u );
	ReadTwoChunks( stream );
	EXPECT_EQ( RwStreamCloseConvert( stream, &persist ), stream );

	EXPECT_EQ( persist.GetPosition(), static_cast<s32>( 100 + chunks.size() ) );
	u32 next = 0;
	EXPECT_EQ( persist.LoadData( next ), DT_PERSIST_OK );
	EXPECT_EQ( next, MARKER );
}

TEST_F( RwStreamConvertTest, AStreamAtItsEndConvertsToAnEmptyLibraryStream ) {
	std::vector<u8> bytes( 16, 0 );
	DTMemoryPersistStream persist( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	persist.Forward( 16 );
	RwStream* const stream = RwStreamConvert( &persist, nullptr );
	ASSERT_NE( stream, nullptr );
	EXPECT_FALSE( RwStreamFindChunk( stream, FIRST_CHUNK, nullptr, nullptr ) );
	RwStreamCloseConvert( stream, &persist );
	EXPECT_EQ( persist.GetPosition(), 16 );
}

TEST_F( RwStreamConvertTest, ATextFileStreamIsReadThroughTheOpenFileItIsGiven ) {
	const std::vector<u8> chunks = TwoChunks();
	std::FILE* const file = std::tmpfile();
	ASSERT_NE( file, nullptr );
	std::fwrite( chunks.data(), 1, chunks.size(), file );
	std::rewind( file );
	DTTextPersistStream persist( nullptr );
	RwStream* const stream = RwStreamConvert( &persist, file );
	ASSERT_NE( stream, nullptr );
	EXPECT_EQ( stream->type, rwSTREAMFILE );
	ReadTwoChunks( stream );
	RwStreamCloseConvert( stream, &persist );
	// Closing the library stream leaves the file open for its owner.
	EXPECT_EQ( std::ftell( file ), static_cast<long>( chunks.size() ) );
	std::fclose( file );
}

TEST_F( RwStreamConvertTest, OtherStreamsGiveNoLibraryStream ) {
	DTBinaryPersistStream binaryFile( nullptr );
	EXPECT_EQ( RwStreamConvert( &binaryFile, nullptr ), nullptr );
	EXPECT_EQ( RwStreamConvert( nullptr, nullptr ), nullptr );
	EXPECT_EQ( RwStreamCloseConvert( nullptr, &binaryFile ), nullptr );
}

}
