/*
	Save images: built from the game memory exactly as the writer lays
	them out, checked whole before anything is restored, and restored
	into the logic block and the game buffers.
*/
#include "datatypes/memory/MMMemory.h"
#include "framework/core/save/EFLoadSaveBuff.h"
#include "framework/logic/EFGameBuffer.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "tools/lib/save/ToolSaveImageWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The small image of the hex fixture: title "SAVE", level "LEVEL1.GCR", a
// logic block starting 1 2 3 4, buffer 7 (count 1, persistent) "abcd".
ToolSaveImage SmallState() {
	ToolSaveImage state;
	state.title = "SAVE";
	state.levelName = "LEVEL1.GCR";
	state.logicBlock = { 1, 2, 3, 4 };
	state.buffers.push_back( { 7, 1, true, { 'a', 'b', 'c', 'd' } } );
	return state;
}

std::vector<u8> FromHex( const std::string& hex ) {
	std::vector<u8> bytes;
	for ( size_t i = 0; i + 1 < hex.size(); i += 2 ) {
		bytes.push_back( static_cast<u8>( std::stoul( hex.substr( i, 2 ), nullptr, 16 ) ) );
	}
	return bytes;
}

void PutU32( std::vector<u8>& bytes, const size_t offset, const u32 value ) {
	for ( size_t i = 0; i < 4; i++ ) {
		bytes[offset + i] = static_cast<u8>( value >> ( 24 - 8 * i ) );
	}
}

class EFLoadSaveBuffTest : public ::testing::Test {
protected:
	void SetUp() override {
		manager = new EFGameLogicMgr();
	}
	void TearDown() override {
		delete manager;
	}

	EFGameMemoryMgr& Memory() { return manager->GetGameMemoryMgr(); }

	// Puts the game memory in the state an image describes.
	void Apply( const ToolSaveImage& state ) {
		Memory().KillAllGameBuffers();
		std::memset( Memory().GetLogicBlock(), 0, EF_LOGIC_BLOCK_BYTES );
		if ( !state.logicBlock.empty() ) {
			std::memcpy( Memory().GetLogicBlock(), state.logicBlock.data(), state.logicBlock.size() );
		}
		for ( const ToolSaveBuffer& buffer : state.buffers ) {
			u8* const data = static_cast<u8*>( Memory().GetGameBuffer( buffer.id, static_cast<u32>( buffer.data.size() ),
																		 buffer.persistent ? 1 : 0 ) );
			ASSERT_NE( data, nullptr );
			if ( !buffer.data.empty() ) {
				std::memcpy( data, buffer.data.data(), buffer.data.size() );
			}
			Memory().GetGameBufferObject( buffer.id )->SetCount( buffer.count );
		}
	}

	std::vector<u8> Create( const char* title, const char* level ) {
		char* const image = saver.CreateBuffer( title, level );
		EXPECT_NE( image, nullptr );
		if ( image == nullptr ) {
			return {};
		}
		const u32 size = DTReadSize( image );
		std::vector<u8> bytes( image, image + size );
		MMFree( image );
		return bytes;
	}

	static u32 DTReadSize( const char* image ) {
		const u8* p = reinterpret_cast<const u8*>( image ) + TOOL_SAVE_IMAGE_SIZE_OFFSET;
		return static_cast<u32>( p[0] ) << 24 | static_cast<u32>( p[1] ) << 16 | static_cast<u32>( p[2] ) << 8 | p[3];
	}

	u32 Restore( const std::vector<u8>& image ) {
		return saver.UpdateEngineData( reinterpret_cast<const char*>( image.data() ), static_cast<u32>( image.size() ) );
	}

	u32 Verify( const std::vector<u8>& image ) const {
		return saver.VerifyImage( reinterpret_cast<const char*>( image.data() ), static_cast<u32>( image.size() ) );
	}

	std::vector<u8> LogicBlock() {
		return std::vector<u8>( Memory().GetLogicBlock(), Memory().GetLogicBlock() + EF_LOGIC_BLOCK_BYTES );
	}

	EFGameLogicMgr*	manager = nullptr;
	EFLoadSaveBuff	saver;
};

TEST_F( EFLoadSaveBuffTest, ChecksumsMatchTheStandardVectorAndTheCommittedImage ) {
	const char digits[] = "123456789";
	EXPECT_EQ( EFLoadSaveBuff::ComputeCrc( digits, 9 ), 0xCBF43926u );
	EXPECT_EQ( ToolSaveCrc( reinterpret_cast<const u8*>( digits ), 9 ), 0xCBF43926u );

	// The header and both chunk headers of the small image, CRCs included.
	const std::vector<u8> header = FromHex(
		"414741530100000000000000534156450000000000000000000000000000000000000000000000000000000000000000"
		"00000000000000000000000000000002000004c8fb187f964746432a4c4556454c312e47435200000000000000000000"
		"00000000000000000000000000000000000000000000000000000000000000000000000000000000000000004b434843"
		"0000000000000400" );
	const std::vector<u8> tail = FromHex(
		"4b4348430000000100000018000000070000000400000001010000000000000061626364000000000000000000000000" );
	Apply( SmallState() );
	const std::vector<u8> image = Create( "SAVE", "LEVEL1.GCR" );
	ASSERT_EQ( image.size(), 1224u );
	EXPECT_EQ( std::vector<u8>( image.begin(), image.begin() + header.size() ), header );
	EXPECT_EQ( std::vector<u8>( image.begin() + TOOL_SAVE_BUFFER_CHUNK_OFFSET, image.end() ), tail );
	EXPECT_EQ( image, ToolWriteSaveImage( SmallState() ) );
}

TEST_F( EFLoadSaveBuffTest, ImagesCopyEveryBufferAndCutOnlyTheirOwnNameCopies ) {
	ToolSaveImage state;
	state.logicBlock.assign( EF_LOGIC_BLOCK_BYTES, 0x5A );
	state.buffers.push_back( { 3, 2, false, std::vector<u8>( 33, 0xC3 ) } );
	state.buffers.push_back( { 0x10000003, 0, true, {} } );
	Apply( state );
	static const char* const LONG_TITLE = "A TITLE OF FORTY CHARACTERS, LONG ENOUGH";
	const std::vector<u8> first = Create( LONG_TITLE, "LEVEL_WITH_A_NAME_LONGER_THAN_31.GCR" );
	EXPECT_EQ( std::strlen( LONG_TITLE ), 40u );
	// Two images of one state are identical, spare bytes included.
	EXPECT_EQ( Create( LONG_TITLE, "LEVEL_WITH_A_NAME_LONGER_THAN_31.GCR" ), first );
	EXPECT_EQ( first[12 + 31], 0 );
	EXPECT_EQ( std::string( reinterpret_cast<const char*>( &first[12] ) ), std::string( LONG_TITLE, 31 ) );
	EXPECT_EQ( std::string( reinterpret_cast<const char*>( &first[EF_SAVE_LEVEL_NAME_OFFSET] ) ).size(), 31u );
	// The buffers in the manager's order, each as its block stores it.
	std::vector<u8> records;
	for ( EFGameBuffer* buffer = Memory().GetFirstBuffer(); buffer != nullptr; buffer = Memory().GetNextBuffer() ) {
		records.insert( records.end(), buffer->GetBlock(), buffer->GetBlock() + buffer->GetBlockSize() );
	}
	ASSERT_EQ( first.size(), EF_SAVE_IMAGE_OVERHEAD + records.size() );
	EXPECT_EQ( std::vector<u8>( first.begin() + TOOL_SAVE_FIRST_RECORD_OFFSET, first.end() - 12 ), records );

	// No buffers: 1200 bytes and an empty second chunk.
	Memory().KillAllGameBuffers();
	const std::vector<u8> empty = Create( "", "" );
	ASSERT_EQ( empty.size(), EF_SAVE_IMAGE_OVERHEAD );
	EXPECT_EQ( std::vector<u8>( empty.begin() + TOOL_SAVE_BUFFER_CHUNK_OFFSET + 8, empty.begin() + TOOL_SAVE_BUFFER_CHUNK_OFFSET + 12 ),
			   std::vector<u8>( 4, 0 ) );
	EXPECT_EQ( Verify( empty ), EF_SAVE_RESTORED );
}

TEST_F( EFLoadSaveBuffTest, RestoringBringsBackTheLogicBlockAndBuffersWithCountZero ) {
	const ToolSaveImage state = SmallState();
	const std::vector<u8> image = ToolWriteSaveImage( state );
	Memory().KillAllGameBuffers();
	std::memset( Memory().GetLogicBlock(), 0xEE, EF_LOGIC_BLOCK_BYTES );
	ASSERT_EQ( Restore( image ), EF_SAVE_RESTORED );
	std::vector<u8> logic( EF_LOGIC_BLOCK_BYTES, 0 );
	std::memcpy( logic.data(), state.logicBlock.data(), state.logicBlock.size() );
	EXPECT_EQ( LogicBlock(), logic );
	const EFGameBuffer* const buffer = Memory().GetGameBufferObject( 7 );
	ASSERT_NE( buffer, nullptr );
	EXPECT_EQ( buffer->GetCount(), 0u );
	EXPECT_TRUE( buffer->IsPersistent() );
	EXPECT_EQ( std::vector<u8>( buffer->GetData(), buffer->GetData() + buffer->GetSize() ), state.buffers[0].data );

	// A chunk count of 1 restores the logic block only.
	std::vector<u8> logicOnly = image;
	PutU32( logicOnly, TOOL_SAVE_CHUNK_COUNT_OFFSET, 1 );
	ToolStampSaveImage( logicOnly );
	Memory().KillAllGameBuffers();
	std::memset( Memory().GetLogicBlock(), 0, EF_LOGIC_BLOCK_BYTES );
	ASSERT_EQ( Restore( logicOnly ), EF_SAVE_RESTORED );
	EXPECT_EQ( LogicBlock(), logic );
	EXPECT_EQ( Memory().GetBufferCount(), 0u );
}

TEST_F( EFLoadSaveBuffTest, EverySingleByteChangeIsRefused ) {
	ToolSaveImage state = SmallState();
	state.title.clear();
	const std::vector<u8> image = ToolWriteSaveImage( state );
	for ( size_t i = 0; i < image.size(); i++ ) {
		std::vector<u8> changed = image;
		changed[i] ^= 0x01;
		ASSERT_EQ( Verify( changed ), EF_SAVE_CORRUPT ) << i;
	}
}

TEST_F( EFLoadSaveBuffTest, DamagedImagesWithValidChecksumsChangeNothing ) {
	const std::vector<u8> good = ToolWriteSaveImage( SmallState() );
	const size_t buffers = TOOL_SAVE_BUFFER_CHUNK_OFFSET;
	struct Row {
		const char*	name;
		size_t		offset;
		u32			value;
		u32			result;
		bool		restamp;
	};
	const Row rows[] = {
		{ "second chunk's magic", buffers, 0x4B434844, EF_SAVE_BAD_MAGIC, true },
		{ "second chunk's type", buffers + 4, 7, EF_SAVE_BAD_TYPE, true },
		{ "second chunk past the image", buffers + 8, 0x1000, EF_SAVE_CORRUPT, true },
		{ "second chunk size wrapping", buffers + 8, 0xFFFFFFF8, EF_SAVE_CORRUPT, true },
		{ "record past its chunk", TOOL_SAVE_FIRST_RECORD_OFFSET + 4, 5, EF_SAVE_CORRUPT, true },
		{ "record size wrapping", TOOL_SAVE_FIRST_RECORD_OFFSET + 4, 0xFFFFFFF0, EF_SAVE_CORRUPT, true },
		{ "logic chunk of another size", TOOL_SAVE_LOGIC_CHUNK_OFFSET + 8, 1023, EF_SAVE_CORRUPT, true },
		{ "a third chunk in the spare bytes", TOOL_SAVE_CHUNK_COUNT_OFFSET, 3, EF_SAVE_BAD_MAGIC, true },
		{ "a fourth chunk past the end", TOOL_SAVE_CHUNK_COUNT_OFFSET, 4, EF_SAVE_BAD_MAGIC, true },
		{ "stored size past the bytes", TOOL_SAVE_IMAGE_SIZE_OFFSET, 1225, EF_SAVE_CORRUPT, true },
		{ "stored size below the minimum", TOOL_SAVE_IMAGE_SIZE_OFFSET, 1187, EF_SAVE_CORRUPT, true },
		{ "header checksum", 68, 0, EF_SAVE_CORRUPT, false },
	};
	Apply( SmallState() );
	Memory().GetGameBufferObject( 7 )->GetData()[0] = 'z';
	const std::vector<u8> logicBefore = LogicBlock();
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<u8> image = good;
		PutU32( image, row.offset, row.value );
		if ( row.restamp ) {
			ToolStampSaveImage( image );
		}
		EXPECT_EQ( Verify( image ), row.result );
		EXPECT_EQ( Restore( image ), row.result );
		EXPECT_EQ( LogicBlock(), logicBefore );
		EXPECT_EQ( Memory().GetBufferCount(), 1u );
		EXPECT_EQ( Memory().GetGameBufferObject( 7 )->GetData()[0], 'z' );
	}
	// Too short to hold an image at all.
	const std::vector<u8> truncated( good.begin(), good.begin() + 1000 );
	EXPECT_EQ( Verify( truncated ), EF_SAVE_CORRUPT );
	EXPECT_EQ( saver.VerifyImage( nullptr, 5000 ), EF_SAVE_CORRUPT );
}

TEST_F( EFLoadSaveBuffTest, ARepeatedIdFillsOnlyTheBufferItsFirstRecordMade ) {
	ToolSaveImage state;
	state.buffers.push_back( { 9, 0, true, { 1, 2, 3, 4 } } );
	state.buffers.push_back( { 9, 0, true, std::vector<u8>( 100, 0x77 ) } );
	Memory().KillAllGameBuffers();
	ASSERT_EQ( Restore( ToolWriteSaveImage( state ) ), EF_SAVE_RESTORED );
	const EFGameBuffer* const buffer = Memory().GetGameBufferObject( 9 );
	ASSERT_NE( buffer, nullptr );
	EXPECT_EQ( buffer->GetSize(), 4u );
	EXPECT_EQ( std::vector<u8>( buffer->GetData(), buffer->GetData() + 4 ), std::vector<u8>( 4, 0x77 ) );
}

}
