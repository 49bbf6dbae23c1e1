#include "platform/os/OS.h"

// The host has no caches between the processor and its "DMA" engines: every
// transfer is a memcpy on the game thread, so there is nothing to flush.

void DCFlushRange( void*, u32 ) {}
void DCFlushRangeNoSync( void*, u32 ) {}
void DCStoreRange( void*, u32 ) {}
void DCStoreRangeNoSync( void*, u32 ) {}
void DCInvalidateRange( void*, u32 ) {}
void ICInvalidateRange( void*, u32 ) {}

void* LCEnable() {
	alignas( 32 ) static u8 lockedCache[LC_BYTES];
	return lockedCache;
}
