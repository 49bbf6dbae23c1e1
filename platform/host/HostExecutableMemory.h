/*
===============================================================================

	Executable memory for code linked at run time.

	The engine's heaps are plain read/write memory; native code that a
	module brings has to run from pages the host allows to execute. A block
	is a private anonymous mapping, readable, writable and executable,
	rounded up to whole pages, so its address is page-aligned (and thus
	16-aligned). Blocks live outside the engine arena, like the virtual
	memory window.

	A refused mapping (a host that forbids writable and executable pages,
	or no address space left) gives null; the caller fails its load.

===============================================================================
*/
#ifndef HOST_EXECUTABLE_MEMORY_H
#define HOST_EXECUTABLE_MEMORY_H

#include "platform/types/PlatformTypes.h"

// A block of at least bytes (one page for 0), or null when the host refuses.
void*	HostAllocExecutable( u64 bytes );

// Unmaps a block of HostAllocExecutable; bytes is the size it was asked
// for. Null does nothing.
void	HostFreeExecutable( void* block, u64 bytes );

// Makes freshly written code visible to instruction fetch.
void	HostSyncExecutable( void* block, u64 bytes );

// Blocks mapped and not yet unmapped, for tests.
u32		HostExecutableBlockCount();

#endif
