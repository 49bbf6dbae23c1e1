#include "platform/runtime/RuntimeRand.h"

namespace {

// The sequence starts as if seeded with 1, like the C library's.
u32 state = 1;

u32 Next( const u32 from ) {
	return from * 1103515245u + 12345u;
}

s32 ValueOf( const u32 from ) {
	return static_cast<s32>( ( from >> 16 ) & RUNTIME_RAND_MAX );
}

}

s32 RuntimeRand() {
	state = Next( state );
	return ValueOf( state );
}

s32 RuntimeRandPeek() {
	return ValueOf( Next( state ) );
}

void RuntimeSrand( const u32 seed ) {
	state = seed;
}
