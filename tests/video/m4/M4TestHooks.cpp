#include "M4TestHooks.h"

#include "video/m4/M4Memory.h"

#include <cstdlib>

namespace {

alignas( 32 ) u8	gFastArena[M4_TEST_FAST_SIZE];
M4TestHooks			gHooks;

}

M4TestHooks& M4TestHooksState() {
	return gHooks;
}

void M4TestHooksReset() {
	for ( void* block : gHooks.live ) {
		std::free( block );
	}
	gHooks = M4TestHooks();
}

void* M4TestAlloc( const u32 size ) {
	gHooks.allocations++;
	if ( gHooks.failAt != 0 && gHooks.allocations == gHooks.failAt ) {
		return nullptr;
	}
	void* const block = std::malloc( size == 0 ? 1 : size );
	gHooks.live.insert( block );
	return block;
}

void M4TestFree( void* block ) {
	gHooks.frees++;
	gHooks.live.erase( block );
	std::free( block );
}

void* M4TestFastAlloc( const u32 size ) {
	const u32 aligned = ( size + 31u ) & ~31u;
	if ( gHooks.fastRefuses || gHooks.fastUsed + aligned > M4_TEST_FAST_SIZE ) {
		return nullptr;
	}
	void* const block = gFastArena + gHooks.fastUsed;
	gHooks.fastUsed += aligned;
	return block;
}

bool M4TestIsFast( const void* p ) {
	const u8* const byte = static_cast<const u8*>( p );
	return byte >= gFastArena && byte < gFastArena + M4_TEST_FAST_SIZE;
}

void M4TestInstallHooks( const bool fast ) {
	M4TestHooksReset();
	M4initMemory( M4TestAlloc, M4TestFree, fast ? M4TestFastAlloc : nullptr );
}

VIDDecoderSetup M4TestDecoderSetup( const u16 width, const u16 height, const u32 flags, const bool fast ) {
	return { sizeof( VIDDecoderSetup ), width, height, flags, M4TestAlloc, M4TestFree, fast ? M4TestFastAlloc : nullptr };
}
