#include "platform/runtime/RuntimeRand.h"

namespace {

// The sequence starts as if seeded with 1, like the C library's.
u32 state = 1;

}

s32 RuntimeRand() {
	state = state * 1103515245u + 12345u;
	return static_cast<s32>( ( state >> 16 ) & RUNTIME_RAND_MAX );
}

void RuntimeSrand( const u32 seed ) {
	state = seed;
}
