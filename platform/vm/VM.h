/*
===============================================================================

	Virtual memory over auxiliary memory, host version.

	On the console a window of main-memory addresses (at 0x7E000000) is
	paged in from auxiliary memory through a page cache. The host maps the
	window onto a plain block of memory of the requested size: the memory
	manager reads its base and mapped size, and "is this a window address"
	becomes a range test against the block.

===============================================================================
*/
#ifndef VM_H
#define VM_H

#include "platform/types/PlatformTypes.h"
#include "platform/os/OS.h"

// The console address at which the window starts; kept for callers that
// name it. On the host the window lives wherever VMHostWindowBase says.
constexpr u32 VM_WINDOW_CONSOLE_ADDRESS = 0x7E000000;

// Sets up paging: a main-memory page cache of pageCacheBytes and the
// auxiliary-memory range [auxStart, auxStart + auxBytes) behind the window.
void	VMInit( u32 pageCacheBytes, u32 auxStart, u32 auxBytes );

// Maps bytes of window at the given console address. Only one window is
// supported, at VM_WINDOW_CONSOLE_ADDRESS; returns 0 on failure.
BOOL	VMAlloc( u32 consoleAddress, u32 bytes );

#endif
