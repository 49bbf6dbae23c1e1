/*
===============================================================================

	Shared set-up of the 3D library tests.

	Brings the library up against the host test device with either the
	engine's memory functions or the host default (null record), and takes
	it down again whatever state a test left it in, so that every test
	starts from state 0 with no error recorded.

===============================================================================
*/
#ifndef RW_TEST_ENGINE_H
#define RW_TEST_ENGINE_H

#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/testdevice/TestDevice.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// The engine's own allocator, as the graphics manager hands it in.
inline const RwMemoryFunctions rwTestEngineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };

// The two memory set-ups every life-cycle test runs with.
struct RwTestMemory {
	const char*					name;
	const RwMemoryFunctions*	functions;
};

inline const RwTestMemory rwTestMemories[] = {
	{ "EngineAllocator", &rwTestEngineMemory },
	{ "HostDefault", nullptr },
};

inline std::string RwTestMemoryName( const ::testing::TestParamInfo<RwTestMemory>& info ) {
	return info.param.name;
}

// The configuration handed to RwEngineOpen; the core never reads it.
struct RwTestDeviceConfig {
	u32		words[3];
};
inline RwTestDeviceConfig rwTestDeviceConfig = { { 1, 2, 3 } };

// Host allocations that count calls and can be told to refuse one size.
struct RwTestCountingMemory {
	static inline u32				mallocCalls = 0;
	static inline u32				freeCalls = 0;
	static inline std::vector<u32>	sizes;
	static inline u32				refusedSize = 0;	// 0: refuse nothing

	static void Reset() {
		mallocCalls = 0;
		freeCalls = 0;
		sizes.clear();
		refusedSize = 0;
	}
	static void* Malloc( const u32 size ) {
		mallocCalls++;
		sizes.push_back( size );
		if ( refusedSize != 0 && size == refusedSize ) {
			return nullptr;
		}
		return std::malloc( size != 0 ? size : 1 );
	}
	static void Free( void* block ) {
		if ( block != nullptr ) {
			freeCalls++;
		}
		std::free( block );
	}
	static void* Realloc( void* block, const u32 size ) { return std::realloc( block, size ); }
	static void* Calloc( const u32 count, const u32 size ) { return std::calloc( count, size ); }
};

inline const RwMemoryFunctions rwTestCountingMemory = { RwTestCountingMemory::Malloc, RwTestCountingMemory::Free,
														 RwTestCountingMemory::Realloc, RwTestCountingMemory::Calloc };

inline RwError RwTestReadError() {
	RwError error = { 0, 0 };
	RwErrorGet( &error );
	return error;
}

inline s32 RwTestEngineState() {
	return RwEngineInstance != nullptr ? RwEngineInstance->engineState : staticGlobals.engineState;
}

// Takes the library down from any state.
inline void RwTestShutDown() {
	if ( RwEngineInstance != nullptr && RwEngineInstance != &staticGlobals ) {
		TestDeviceAcceptAllRequests();
		if ( RwEngineInstance->engineState == RWENGINE_STATE_STARTED ) {
			RwEngineStop();
		}
		RwEngineClose();
	}
	if ( RwTestEngineState() != RWENGINE_STATE_IDLE ) {
		RwEngineTerm();
	}
	RwTestReadError();
}

// Init, open and start; false at the first step that fails.
inline bool RwTestBringUp( const RwMemoryFunctions* memory, const u32 flags, const u32 arenaSize ) {
	return RwEngineInit( memory, flags, arenaSize ) && RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart();
}

// Init, the world modules' attach, open and start; false at the first
// step that fails.
inline bool RwTestBringUpWorld( const RwMemoryFunctions* memory, const u32 flags, const u32 arenaSize ) {
	return RwEngineInit( memory, flags, arenaSize ) && RpWorldPluginAttach() && RwEngineOpen( &rwTestDeviceConfig ) &&
		   RwEngineStart();
}

// Every 3D library test starts and ends with the library down.
class RwTestCase : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		RwTestShutDown();
		TestDeviceReset();
		RwTestCountingMemory::Reset();
	}
	void TearDown() override {
		RwTestShutDown();
		TestDeviceReset();
	}
};

#endif
