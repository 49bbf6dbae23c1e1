/*
===============================================================================

	Fixture for the memory manager's function layer: every test starts on
	a fresh arena with the manager uninitialised, no window mapped and the
	virtual clock at 0.

===============================================================================
*/
#ifndef TEST_MM_FIXTURE_H
#define TEST_MM_FIXTURE_H

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/DTMemPool.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/memory/MMHost.h"
#include "datatypes/memory/HeapWalker.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"

#include <gtest/gtest.h>

constexpr u32 MM_TEST_ARENA_BYTES = 0x1800000;

class MMLayerTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		VMHostReset();
		ASSERT_TRUE( MMHostReinitialise( MM_TEST_ARENA_BYTES ) );
	}

	void TearDown() override {
		gbVMAlloc = false;
		MMSetVMWindow( nullptr, 0 );
		VMHostReset();
	}

	// Runs the set-up through a first allocation, as the engine's first
	// allocation would.
	static void Start() { MMFree( MMMalloc( 1 ) ); }

	// Start plus what the first level load leaves: pools on.
	static void StartWithPools() {
		Start();
		MMSetAllocFlag( MM_ALLOC_POOLS_ON );
	}

	// Maps a window of the given size and hands it to the manager.
	static void MapWindow( const u32 bytes ) {
		VMInit( 0x100000, 0, 0x1000000 );
		ASSERT_TRUE( VMAlloc( VM_WINDOW_CONSOLE_ADDRESS, bytes ) );
		MMSetVMWindow( VMHostWindowBase(), VMHostWindowSize() );
	}

	static mmheader*	Header( void* p ) { return mmheader::FromPayload( p ); }
	static u32			Kind( void* p ) { return MMTagKind( Header( p )->mui32Tag ); }
	static u32			Index( void* p ) { return MMTagIndex( Header( p )->mui32Tag ); }
};

#endif
