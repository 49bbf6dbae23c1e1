/*
	The 3D library up over the console driver for the length of one
	benchmark, with the C library's allocator; plugIns, when given, are
	attached before the library opens, and arenaBytes of resource arena
	hold the instances of native geometry.
*/
#ifndef BENCH_DRIVER_UP_H
#define BENCH_DRIVER_UP_H

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "platform/gx/GXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include <cstdlib>

struct BenchDriverUp {
	static void* Malloc( const u32 size ) { return std::malloc( size ); }
	static void Free( void* block ) { std::free( block ); }
	static void* Realloc( void* block, const u32 size ) { return std::realloc( block, size ); }
	static void* Calloc( const u32 count, const u32 size ) { return std::calloc( count, size ); }

	RwMemoryFunctions		memory = { Malloc, Free, Realloc, Calloc };
	RwGameCubeDeviceConfig	config = { nullptr, 0, 0 };
	RwGameCubeDeviceConfig*	displayId = &config;

	explicit BenchDriverUp( bool ( *plugIns )() = nullptr, const u32 arenaBytes = 0 ) {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		GXHostReset();
		VIInit();
		RwEngineInit( &memory, 0, arenaBytes );
		if ( plugIns != nullptr ) {
			plugIns();
		}
		RwEngineOpen( &displayId );
		RwEngineStart();
	}
	~BenchDriverUp() {
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
		VIHostReset();
		HostResetEvents();
	}
};

#endif
