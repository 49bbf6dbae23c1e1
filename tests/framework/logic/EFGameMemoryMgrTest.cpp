#include "datatypes/base/DTByteOrder.h"
#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMHeader.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFGameBuffer.h"
#include "framework/logic/EFGameMemoryMgr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<u32> ListedIds( EFGameMemoryMgr& memory ) {
	std::vector<u32> ids;
	for ( EFGameBuffer* buffer = memory.GetFirstBuffer(); buffer != nullptr; buffer = memory.GetNextBuffer() ) {
		ids.push_back( buffer->GetID() );
	}
	return ids;
}

bool InGlobalHeap( const void* block ) {
	const mmheader* const header = reinterpret_cast<const mmheader*>( static_cast<const u8*>( block ) - sizeof( mmheader ) );
	return _MemHeap[MM_GLOBAL_HEAP]->Contains( header );
}

}

TEST( EFGameMemoryMgr, SharesOneBufferPerIdAndTheFirstRequestDecidesItsShape ) {
	EFGameMemoryMgr memory;
	u8* const first = static_cast<u8*>( memory.GetGameBuffer( 7, 64, 0 ) );
	ASSERT_NE( first, nullptr );
	for ( u32 i = 0; i < 64; i++ ) {
		EXPECT_EQ( first[i], 0 ) << i;
	}
	EXPECT_EQ( memory.GetGameBuffer( 7, 64, 0 ), first );
	EXPECT_EQ( memory.GetGameBuffer( 7, 128, 1 ), first );
	const EFGameBuffer* const buffer = memory.GetGameBufferObject( 7 );
	ASSERT_NE( buffer, nullptr );
	EXPECT_EQ( buffer->GetCount(), 3u );
	EXPECT_EQ( buffer->GetSize(), 64u );
	EXPECT_FALSE( buffer->IsPersistent() );
	EXPECT_EQ( memory.GetGameBufferObject( 8 ), nullptr );
}

TEST( EFGameMemoryMgr, KeepsTheHeaderInItsStoredFormWithTheDataBehindIt ) {
	EFGameMemoryMgr memory;
	// Dirty memory first, so that nothing is zero by chance.
	for ( u32 i = 0; i < 8; i++ ) {
		void* const dirty = MMMalloc( 20 + 40 );
		ASSERT_NE( dirty, nullptr );
		std::memset( dirty, 0xA5, 60 );
		MMFree( dirty );
	}
	u8* const data = static_cast<u8*>( memory.GetGameBuffer( 0x01020304, 40, 5 ) );
	ASSERT_NE( data, nullptr );
	const EFGameBuffer* const buffer = memory.GetGameBufferObject( 0x01020304 );
	const u8 expected[20] = { 0x01, 0x02, 0x03, 0x04, 0, 0, 0, 40, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0 };
	ASSERT_EQ( buffer->GetBlockSize(), 60u );
	EXPECT_EQ( std::memcmp( buffer->GetBlock(), expected, sizeof( expected ) ), 0 );
	EXPECT_EQ( data, buffer->GetBlock() + EF_GAME_BUFFER_HEADER_BYTES );
	for ( u32 i = 0; i < 40; i++ ) {
		EXPECT_EQ( data[i], 0 ) << i;
	}
	memory.GetGameBufferObject( 0x01020304 )->SetCount( 0x0A0B0C0D );
	EXPECT_EQ( DTReadBE32( buffer->GetBlock() + 8 ), 0x0A0B0C0Du );
}

TEST( EFGameMemoryMgr, FreesAfterOneReleaseMoreThanItWasObtainedUnlessPersistent ) {
	struct Row {
		const char*	name;
		u32			obtained;
		u32			persistent;
		u32			freesKept;
	};
	const Row rows[] = {
		{ "obtained once", 1, 0, 1 },
		{ "obtained three times", 3, 0, 3 },
		{ "persistent", 2, 1, 10 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFGameMemoryMgr memory;
		for ( u32 i = 0; i < row.obtained; i++ ) {
			memory.GetGameBuffer( 9, 16, row.persistent );
		}
		for ( u32 i = 0; i < row.freesKept; i++ ) {
			memory.FreeGameBuffer( 9 );
			ASSERT_NE( memory.GetGameBufferObject( 9 ), nullptr ) << "free " << i + 1;
		}
		memory.FreeGameBuffer( 9 );
		EXPECT_EQ( memory.GetGameBufferObject( 9 ) != nullptr, row.persistent != 0 );
		memory.FreeGameBuffer( 12345 );
	}
}

TEST( EFGameMemoryMgr, TerminateKeepsOnlyPersistentBuffersWithTheirCountsAndData ) {
	EFGameMemoryMgr memory;
	const u32 ids[] = { 1, 38, 2, 75, 39 };
	for ( const u32 id : ids ) {
		u8* const data = static_cast<u8*>( memory.GetGameBuffer( id, 8, id % 2 ) );
		ASSERT_NE( data, nullptr );
		data[0] = static_cast<u8>( id );
	}
	memory.GetGameBuffer( 2, 8, 0 );
	// Map order: bucket by bucket (id mod 37), each chain newest first.
	EXPECT_EQ( ListedIds( memory ), ( std::vector<u32>{ 75, 38, 1, 39, 2 } ) );
	memory.Terminate();
	EXPECT_EQ( ListedIds( memory ), ( std::vector<u32>{ 75, 1, 39 } ) );
	EXPECT_EQ( memory.GetGameBufferObject( 75 )->GetData()[0], 75 );
	EXPECT_EQ( memory.GetGameBufferObject( 1 )->GetCount(), 1u );
	memory.KillAllGameBuffers();
	EXPECT_EQ( memory.GetFirstBuffer(), nullptr );
	EXPECT_EQ( memory.GetNextBuffer(), nullptr );
}

TEST( EFGameMemoryMgr, ABufferThatCannotBeMadeLeavesNothingAndTheHeapAsItWas ) {
	const u32 sizes[] = { 0xFFFFFFF0u, 0xFFFFFFECu, 0x7FFFFFF0u };
	EFGameMemoryMgr memory;
	MMChangeHeap( MM_LEVEL_HEAP );
	ASSERT_NE( memory.GetGameBuffer( 3, 200, 0 ), nullptr );
	EXPECT_TRUE( InGlobalHeap( memory.GetGameBufferObject( 3 )->GetBlock() ) );
	EXPECT_EQ( MMGetActualHeap(), MM_LEVEL_HEAP );
	// A refused request marks the heaps full until their next free: one
	// block in each is freed afterwards.
	void* const levelBlock = MMMalloc( 256 );
	for ( const u32 size : sizes ) {
		SCOPED_TRACE( size );
		EXPECT_EQ( memory.GetGameBuffer( 4, size, 0 ), nullptr );
		EXPECT_EQ( memory.GetGameBufferObject( 4 ), nullptr );
		EXPECT_EQ( memory.GetBufferCount(), 1u );
		EXPECT_EQ( MMGetActualHeap(), MM_LEVEL_HEAP );
	}
	MMFree( levelBlock );
	MMChangeHeap( MM_GLOBAL_HEAP );
	memory.KillAllGameBuffers();
}

TEST( EFGameMemoryMgr, HoldsAZeroedLogicBlockUntilEverythingIsCleared ) {
	EFGameMemoryMgr memory;
	const u8* const block = memory.GetLogicBlock();
	ASSERT_NE( block, nullptr );
	for ( u32 i = 0; i < EF_LOGIC_BLOCK_BYTES; i++ ) {
		ASSERT_EQ( block[i], 0 ) << i;
	}
	memory.GetGameBuffer( 4, 4, 1 );
	memory.ClearAllBuffers();
	EXPECT_EQ( memory.GetLogicBlock(), nullptr );
	EXPECT_EQ( memory.GetBufferCount(), 0u );
}

TEST( EFGameMemoryMgr, AWalkEndsWhenItsBufferIsFreed ) {
	EFGameMemoryMgr memory;
	memory.GetGameBuffer( 1, 4, 0 );
	memory.GetGameBuffer( 2, 4, 0 );
	EFGameBuffer* const first = memory.GetFirstBuffer();
	ASSERT_NE( first, nullptr );
	const u32 id = first->GetID();
	memory.FreeGameBuffer( id );
	memory.FreeGameBuffer( id );
	EXPECT_EQ( memory.GetNextBuffer(), nullptr );
}
