#include "framework/audio/EFSoundSelection.h"

#include "platform/runtime/RuntimeRand.h"

#include <cstring>
#include <new>

namespace {

constexpr u32 NONE = 0xFFFFFFFF;
// Elements a shuffle copies on the stack; longer lists are copied to the heap.
constexpr u32 SHUFFLE_STACK_ELEMENTS = 64;

u32 Random( const u32 count ) {
	return static_cast<u32>( RuntimeRand() ) % count;
}

}

u32 EFPickRandomElement( const u32 count, const u32 previous ) {
	if ( count == 1 ) {
		return 0;
	}
	if ( count == 2 ) {
		return previous == 0 ? 1 : 0;
	}
	u32 r = Random( count );
	if ( r == previous ) {
		r = ( r + 1 ) % count;
	}
	return r;
}

u32 EFStepElement( const u32 count, const u32 previous ) {
	if ( previous == NONE || previous + 1 >= count ) {
		return 0;
	}
	return previous + 1;
}

void EFShuffleElements( u32 * list, const u32 count ) {
	if ( list == nullptr || count < 2 ) {
		return;
	}
	u32 stackCopy[SHUFFLE_STACK_ELEMENTS];
	u32 * const former = count <= SHUFFLE_STACK_ELEMENTS ? stackCopy : new ( std::nothrow ) u32[count];
	if ( former == nullptr ) {
		return;
	}
	std::memcpy( former, list, count * sizeof( u32 ) );
	for ( u32 i = 0; i < count; i++ ) {
		list[i] = NONE;
	}
	for ( u32 i = 0; i < count; i++ ) {
		u32 place = Random( count );
		while ( list[place] != NONE ) {
			place = Random( count );
		}
		list[place] = former[i];
	}
	if ( former != stackCopy ) {
		delete[] former;
	}
}
