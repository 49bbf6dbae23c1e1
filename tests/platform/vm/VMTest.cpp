#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST( VM, MapsOneWindowOfTheRequestedSizeAfterInit ) {
	VMHostReset();
	EXPECT_EQ( VMAlloc( VM_WINDOW_CONSOLE_ADDRESS, 4096 ), 0 ) << "nothing maps before VMInit";
	EXPECT_EQ( VMHostWindowSize(), 0u );

	const u32 size = 12288u * 1024u;
	VMInit( 0x280000, 0x1000000 - size, size );
	EXPECT_EQ( VMHostAuxStart(), 0x1000000 - size );
	EXPECT_EQ( VMHostPageCacheBytes(), 0x280000u );

	EXPECT_EQ( VMAlloc( 0x7F000000, size ), 0 ) << "only the one window address is supported";
	EXPECT_EQ( VMAlloc( VM_WINDOW_CONSOLE_ADDRESS, size + 1 ), 0 ) << "larger than the auxiliary range";
	ASSERT_EQ( VMAlloc( VM_WINDOW_CONSOLE_ADDRESS, size ), 1 );
	EXPECT_EQ( VMAlloc( VM_WINDOW_CONSOLE_ADDRESS, size ), 0 ) << "already mapped";

	u8* base = VMHostWindowBase();
	ASSERT_NE( base, nullptr );
	EXPECT_EQ( reinterpret_cast<uintptr_t>( base ) % 32, 0u );
	EXPECT_EQ( VMHostWindowSize(), size );
	EXPECT_TRUE( VMHostWindowContains( base ) );
	EXPECT_TRUE( VMHostWindowContains( base + size - 1 ) );
	EXPECT_FALSE( VMHostWindowContains( base + size ) );
	base[size - 1] = 0x5A;

	VMHostReset();
	EXPECT_EQ( VMHostWindowBase(), nullptr );
	EXPECT_FALSE( VMHostWindowContains( base ) );
}
