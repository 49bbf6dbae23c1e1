#include "datatypes/memory/DTMemHeap.h"

#include "datatypes/memory/MMMemory.h"
#include "platform/os/OS.h"

#include <cstring>

namespace {

constexpr u8 FREED_PAYLOAD_FILL = 0xDD;

void MakeSentinel( mmheader* h, const mmheader* other, const s32 gap ) {
	h->mui32Magic = MM_MAGIC_IN_USE;
	h->SetNext( other );
	h->SetPrevious( other );
	h->mui32Size = MM_HEADER_BYTES;
	h->mi32FreeBytes = gap;
	// A zero tag: the manager never takes a sentinel for a block it handed out.
	h->mui32Tag = 0;
	h->mui32Spare[0] = 0;
	h->mui32Spare[1] = 0;
}

void MakeBlock( mmheader* h, const u32 size, const s32 gap ) {
	h->mui32Magic = MM_MAGIC_IN_USE;
	h->mui32Size = size;
	h->mi32FreeBytes = gap;
	h->mui32Tag = 0;
	h->mui32Spare[0] = 0;
	h->mui32Spare[1] = 0;
}

// Links h between before and after.
void LinkBetween( mmheader* h, mmheader* before, mmheader* after ) {
	h->SetPrevious( before );
	h->SetNext( after );
	after->SetPrevious( h );
	before->SetNext( h );
}

}

u64 DTMemHeap::BlockSize( const u32 n ) {
	return ( static_cast<u64>( n ) + MM_HEADER_BYTES + 31u ) & ~static_cast<u64>( 31u );
}

bool DTMemHeap::Initialise( void* base, const u32 size ) {
	const uintptr_t address = reinterpret_cast<uintptr_t>( base );
	// The gap is a signed 32-bit field.
	if ( base == nullptr || ( address & 31u ) != 0 || ( size & 31u ) != 0 ||
		 size < 2 * MM_HEADER_BYTES || size > 0x7FFFFFFFu ) {
		return false;
	}
	mmheader* head = static_cast<mmheader*>( base );
	mmheader* tail = reinterpret_cast<mmheader*>( static_cast<u8*>( base ) + size - MM_HEADER_BYTES );
	MakeSentinel( head, tail, static_cast<s32>( size - 2 * MM_HEADER_BYTES ) );
	MakeSentinel( tail, head, 0 );

	mui32PeakBytes = 0;
	mui32BytesInUse = 0;
	mui32LiveBlocks = 0;
	mui32Size = size;
	mui32Flags = 0;
	mui32BytesWhileNotCurrent = 0;
	mui32ServedAtRover = 0;
	mui32ServedAfterSearch = 0;
	mui32BlocksPassed = 0;
	mui32Countdown = MM_HEAP_ROVER_PERIOD;
	mpoFirst = head;
	mpoRover = head;
	mui64SmallestFailed = 0;
	return true;
}

void DTMemHeap::Reset() {
	if ( mpoFirst != nullptr ) {
		Initialise( mpoFirst, mui32Size );
	}
}

void DTMemHeap::ResetHeapPointeur() {
	mpoRover = mpoFirst;
	mui32Countdown = MM_HEAP_ROVER_PERIOD;
}

bool DTMemHeap::Contains( const mmheader* h ) const {
	if ( mpoFirst == nullptr || h == nullptr ) {
		return false;
	}
	const u8* start = reinterpret_cast<const u8*>( mpoFirst );
	const u8* byte = reinterpret_cast<const u8*>( h );
	return byte >= start && byte < start + mui32Size && ( ( byte - start ) & 31 ) == 0;
}

bool DTMemHeap::SkipsRequest( const u32 n ) const {
	return IsFull() && BlockSize( n ) >= mui64SmallestFailed;
}

bool DTMemHeap::IsOtherThanCurrent() const {
	const u32 current = MMGetActualHeap();
	return ( this == _MemHeap[0] || this == _MemHeap[1] ) && current < MM_HEAP_COUNT &&
		   this != _MemHeap[current];
}

void DTMemHeap::CountBytes( const s64 delta ) {
	mui32BytesInUse = static_cast<u32>( static_cast<s64>( mui32BytesInUse ) + delta );
	if ( mui32BytesInUse > mui32PeakBytes ) {
		mui32PeakBytes = mui32BytesInUse;
	}
}

mmheader* DTMemHeap::Alloc( const u32 n ) {
	if ( mpoFirst == nullptr ) {
		return nullptr;
	}
	if ( IsOtherThanCurrent() ) {
		mui32BytesWhileNotCurrent += n;
	}
	if ( mui32Countdown == 0 ) {
		mpoRover = mpoFirst;
		mui32Countdown = MM_HEAP_ROVER_PERIOD;
	}
	mui32Countdown--;

	const u64 needed = BlockSize( n );
	mmheader* found = mpoRover;
	while ( static_cast<s64>( found->mi32FreeBytes ) < static_cast<s64>( needed ) ) {
		mui32BlocksPassed++;
		found = found->Next();
		if ( found == mpoRover ) {
			if ( !IsFull() || needed < mui64SmallestFailed ) {
				mui64SmallestFailed = needed;
			}
			mui32Flags |= MM_HEAP_FULL;
			return nullptr;
		}
	}

	const BOOL level = OSDisableInterrupts();
	mmheader* block = reinterpret_cast<mmheader*>( reinterpret_cast<u8*>( found ) + found->mui32Size );
	MakeBlock( block, static_cast<u32>( needed ), found->mi32FreeBytes - static_cast<s32>( needed ) );
	LinkBetween( block, found, found->Next() );
	found->mi32FreeBytes = 0;
	CountBytes( static_cast<s64>( needed ) );
	mui32LiveBlocks++;
	if ( found == mpoRover ) {
		mui32ServedAtRover++;
	} else {
		mui32ServedAfterSearch++;
	}
	mpoRover = block;
	OSRestoreInterrupts( level );
	return block;
}

mmheader* DTMemHeap::LoadAlloc( const u32 n ) {
	if ( mpoFirst == nullptr ) {
		return nullptr;
	}
	const u64 needed = BlockSize( n );
	mmheader* tail = Tail();
	mmheader* below = tail->Previous();
	if ( static_cast<s64>( below->mi32FreeBytes ) < static_cast<s64>( needed ) ) {
		return nullptr;
	}

	const BOOL level = OSDisableInterrupts();
	mmheader* block = reinterpret_cast<mmheader*>( reinterpret_cast<u8*>( tail ) - needed );
	MakeBlock( block, static_cast<u32>( needed ), 0 );
	LinkBetween( block, below, tail );
	below->mi32FreeBytes -= static_cast<s32>( needed );
	CountBytes( static_cast<s64>( needed ) );
	mui32LiveBlocks++;
	OSRestoreInterrupts( level );
	return block;
}

s32 DTMemHeap::Free( mmheader* h ) {
	if ( !Contains( h ) || h == mpoFirst || h == Tail() ) {
		return 0;
	}
	const BOOL level = OSDisableInterrupts();
	// Counted before the magic is checked: a bad free lowers the counts too.
	mui32BytesInUse -= h->mui32Size;
	mui32LiveBlocks--;
	if ( h->mui32Magic != MM_MAGIC_IN_USE ) {
		OSRestoreInterrupts( level );
		return 0;
	}
	mmheader* previous = h->Previous();
	mmheader* next = h->Next();
	previous->SetNext( next );
	next->SetPrevious( previous );
	previous->mi32FreeBytes += static_cast<s32>( h->mui32Size ) + h->mi32FreeBytes;
	mpoRover = previous;
	h->mui32Magic = MM_MAGIC_FREE;
	mui32Flags &= ~MM_HEAP_FULL;
	std::memset( h->Payload(), FREED_PAYLOAD_FILL, h->mui32Size - MM_HEADER_BYTES );
	OSRestoreInterrupts( level );
	return 1;
}

mmheader* DTMemHeap::ReAlloc( mmheader* h, const u32 n ) {
	const u64 needed = BlockSize( n );
	const s64 delta = static_cast<s64>( needed ) - static_cast<s64>( h->mui32Size );
	if ( static_cast<s64>( h->mi32FreeBytes ) >= delta ) {
		h->mui32Size = static_cast<u32>( needed );
		h->mi32FreeBytes = static_cast<s32>( h->mi32FreeBytes - delta );
		CountBytes( delta );
		return h;
	}
	mmheader* moved = Alloc( n );
	if ( moved == nullptr ) {
		return nullptr;
	}
	// Only a growing block moves, so the old payload is the smaller one.
	std::memcpy( moved->Payload(), h->Payload(), h->mui32Size - MM_HEADER_BYTES );
	Free( h );
	return moved;
}
