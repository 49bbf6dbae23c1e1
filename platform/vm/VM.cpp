#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"

#include <cstdlib>
#include <cstring>

namespace {

u8*		windowBase = nullptr;
u32		windowSize = 0;
u32		pageCacheBytes = 0;
u32		auxStart = 0;
u32		auxBytes = 0;
bool	initialised = false;

}

void VMInit( const u32 cacheBytes, const u32 start, const u32 bytes ) {
	pageCacheBytes = cacheBytes;
	auxStart = start;
	auxBytes = bytes;
	initialised = true;
}

BOOL VMAlloc( const u32 consoleAddress, const u32 bytes ) {
	if ( !initialised || consoleAddress != VM_WINDOW_CONSOLE_ADDRESS || windowBase != nullptr ||
		 bytes == 0 || bytes > auxBytes ) {
		return 0;
	}
	// Rounded up so that the block can be 32-aligned like the console's pages.
	const u32 rounded = ( bytes + 31u ) & ~31u;
	windowBase = static_cast<u8*>( std::aligned_alloc( 32, rounded ) );
	if ( windowBase == nullptr ) {
		return 0;
	}
	std::memset( windowBase, 0, rounded );
	windowSize = bytes;
	return 1;
}

u8* VMHostWindowBase() {
	return windowBase;
}

u32 VMHostWindowSize() {
	return windowSize;
}

bool VMHostWindowContains( const void* p ) {
	const u8* byte = static_cast<const u8*>( p );
	return windowBase != nullptr && byte >= windowBase && byte < windowBase + windowSize;
}

u32 VMHostPageCacheBytes() {
	return pageCacheBytes;
}

u32 VMHostAuxStart() {
	return auxStart;
}

u32 VMHostAuxBytes() {
	return auxBytes;
}

void VMHostReset() {
	std::free( windowBase );
	windowBase = nullptr;
	windowSize = 0;
	pageCacheBytes = 0;
	auxStart = 0;
	auxBytes = 0;
	initialised = false;
}
