/*
===============================================================================

	Memory hooks for the decoder tests.

	Counting allocation and free hooks over malloc that can be told to fail
	the n-th allocation, and a 16 KB bump arena standing for the player's
	fast memory (aligned to 32, no free), which can also be made to refuse.
	A decoder set-up that allocates through these hooks.

===============================================================================
*/
#ifndef M4_TEST_HOOKS_H
#define M4_TEST_HOOKS_H

#include "datatypes/base/DTTypes.h"
#include "video/m4/VIDDecoder.h"

#include <set>

struct M4TestHooks {
	u32				allocations = 0;
	u32				frees = 0;
	u32				failAt = 0;			// 1-based allocation to refuse; 0 none
	std::set<void*>	live;
	u32				fastUsed = 0;
	bool			fastRefuses = false;
};

constexpr u32 M4_TEST_FAST_SIZE = 16 * 1024;

// The hooks' state, reset by M4TestHooksReset.
M4TestHooks&	M4TestHooksState();
void			M4TestHooksReset();
void*			M4TestAlloc( u32 size );
void			M4TestFree( void* block );
void*			M4TestFastAlloc( u32 size );
// True when p lies in the fast arena.
bool			M4TestIsFast( const void* p );
// Installs the counting hooks (and the fast arena when fast is true).
void			M4TestInstallHooks( bool fast );
// A decoder set-up of this picture size and flags over the counting hooks
// (and the fast arena when fast is true).
VIDDecoderSetup	M4TestDecoderSetup( u16 width, u16 height, u32 flags, bool fast );

#endif
