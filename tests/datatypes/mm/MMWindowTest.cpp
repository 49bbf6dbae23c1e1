#include "datatypes/mm/MMTestFixture.h"
#include "platform/vm/VMHost.h"

#include <cstring>

namespace {

using MMWindowTest = MMLayerTest;

TEST_F( MMWindowTest, WithoutAMappedWindowVirtualRequestsComeFromTheHeaps ) {
	Start();
	gbVMAlloc = true;
	for ( const u32 size : { 0u, 1u, 100u, 5000u } ) {
		void* p = MMMalloc( size );
		ASSERT_NE( p, nullptr ) << size;
		EXPECT_EQ( Kind( p ), MM_TAG_KIND_HEAP ) << size;
	}
	EXPECT_EQ( _GCVMSARAMSize, 0u );
}

TEST_F( MMWindowTest, TheVeryFirstAllocationMayBeAVirtualOne ) {
	gbVMAlloc = true;
	void* p = MMMalloc( 40 );
	ASSERT_NE( p, nullptr );
	EXPECT_EQ( ui32MemFlag & MM_FLAG_INITIALISED, MM_FLAG_INITIALISED );
	EXPECT_EQ( Kind( p ), MM_TAG_KIND_HEAP );
}

TEST_F( MMWindowTest, BumpAllocatesFromTheWindowWithoutHeaders ) {
	Start();
	MapWindow( 1024 );
	u8* base = VMHostWindowBase();
	EXPECT_EQ( _GCVMSCurrentPtr, base );
	EXPECT_EQ( _GCVMSARAMSize, 1024u );
	gbVMAlloc = true;
	struct Case {
		u32		request;
		u32		offset;
		u32		next;
	};
	const Case cases[] = {
		{ 32, 0, 64 },		// n + 32 rounded down: a 32-byte block advances by 64
		{ 1, 64, 96 },
		{ 0, 96, 128 },
		{ 100, 128, 256 },
		{ 31, 256, 288 },
		{ 736, 288, 1056 },	// exactly what is left
	};
	for ( const Case& c : cases ) {
		u8* p = static_cast<u8*>( MMMalloc( c.request ) );
		EXPECT_EQ( p, base + c.offset ) << c.request;
		EXPECT_EQ( _GCVMSCurrentPtr, base + c.next ) << c.request;
		std::memset( p, 0x77, c.request );
	}
	// The pointer stands past the limit now: nothing is left, nothing wraps.
	void* spilled = MMMalloc( 1 );
	EXPECT_EQ( Kind( spilled ), MM_TAG_KIND_HEAP );
	EXPECT_EQ( _GCVMSCurrentPtr, base + 1056 );
}

TEST_F( MMWindowTest, AFullWindowSendsRequestsToTheHeapsUntilTheLevelHeapIsReset ) {
	Start();
	MapWindow( 100 );
	u8* base = VMHostWindowBase();
	gbVMAlloc = true;
	EXPECT_EQ( MMMalloc( 100 ), base );
	void* p = MMMalloc( 1 );
	EXPECT_FALSE( VMHostWindowContains( p ) );
	EXPECT_EQ( Kind( p ), MM_TAG_KIND_HEAP );

	MMResetHeap( MM_GLOBAL_HEAP );
	EXPECT_EQ( _GCVMSCurrentPtr, base + 128 );
	MMResetHeap( MM_LEVEL_HEAP );
	EXPECT_EQ( _GCVMSCurrentPtr, base );
	EXPECT_EQ( MMMalloc( 100 ), base );
}

TEST_F( MMWindowTest, FreeingAWindowBlockDoesNothing ) {
	Start();
	MapWindow( 4096 );
	gbVMAlloc = true;
	void* p = MMMalloc( 200 );
	gbVMAlloc = false;
	void* block = MMMalloc( 200 );
	const std::vector<mmheader*> blocks = WalkHeap( *_MemHeap[0] ).blocks;
	MMFree( p );
	MMVFree( p );
	EXPECT_EQ( WalkHeap( *_MemHeap[0] ).blocks, blocks );
	EXPECT_EQ( _GCVMSCurrentPtr, VMHostWindowBase() + 224 );

	MMVFree( block );
	EXPECT_EQ( Header( block )->mui32Magic, MM_MAGIC_FREE );
}

TEST_F( MMWindowTest, ReallocOfAWindowBlockCopiesAtMostUpToTheBumpPointer ) {
	Start();
	MapWindow( 4096 );
	u8* base = VMHostWindowBase();
	gbVMAlloc = true;
	u8* first = static_cast<u8*>( MMMalloc( 100 ) );	// 0 to 128
	u8* second = static_cast<u8*>( MMMalloc( 40 ) );	// 128 to 192
	for ( u32 i = 0; i < 192; i++ ) {
		base[i] = static_cast<u8>( i );
	}
	gbVMAlloc = false;

	struct Case {
		u8*		p;
		u32		size;
		u32		copied;
	};
	const Case cases[] = {
		{ first, 500, 192 },
		{ first, 50, 50 },
		{ second, 500, 64 },
		{ base + 1000, 500, 0 },	// never handed out
	};
	for ( const Case& c : cases ) {
		u8* q = static_cast<u8*>( MMRealloc( c.p, c.size ) );
		ASSERT_NE( q, nullptr );
		EXPECT_FALSE( VMHostWindowContains( q ) );
		for ( u32 i = 0; i < c.copied; i++ ) {
			ASSERT_EQ( q[i], c.p[i] ) << c.size << " byte " << i;
		}
		if ( c.copied < c.size ) {
			// The rest comes from a fresh heap block, not from past the window's
			// bump pointer.
			EXPECT_NE( q[c.copied], static_cast<u8>( c.copied + ( c.p - base ) ) );
		}
	}
}

TEST_F( MMWindowTest, UnmappingTheWindowSendsVirtualRequestsBackToTheHeaps ) {
	Start();
	MapWindow( 4096 );
	gbVMAlloc = true;
	EXPECT_TRUE( VMHostWindowContains( MMMalloc( 10 ) ) );
	MMSetVMWindow( nullptr, 4096 );
	EXPECT_EQ( _GCVMSARAMSize, 0u );
	EXPECT_EQ( Kind( MMMalloc( 10 ) ), MM_TAG_KIND_HEAP );
}

}
