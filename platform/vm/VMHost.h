/*
===============================================================================

	Host-only controls of the VM library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef VM_HOST_H
#define VM_HOST_H

#include "platform/vm/VM.h"

// Host view of the window: base, mapped size (0 while unmapped), range test.
u8*		VMHostWindowBase();
u32		VMHostWindowSize();
bool	VMHostWindowContains( const void* p );

// What VMInit was given; 0 until it runs. Auxiliary memory below
// VMHostAuxStart stays free for other users.
u32		VMHostPageCacheBytes();
u32		VMHostAuxStart();
u32		VMHostAuxBytes();

// Unmaps the window and forgets VMInit (tests).
void	VMHostReset();

#endif
