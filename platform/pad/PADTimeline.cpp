#include "platform/pad/PADTimeline.h"

#include "platform/os/OS.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr u32 TIMELINE_FIRST_CAPACITY	= 16;
// Capacity stays below 2^31 records so doubling cannot wrap.
constexpr u32 TIMELINE_MAX_RECORDS		= 0x7FFFFFFF;

// Index of the first record made for a frame after the given one.
u32 UpperBound( const PADTimeline* timeline, const u32 frame ) {
	u32 low = 0;
	u32 high = timeline->count;
	while ( low < high ) {
		const u32 middle = low + ( high - low ) / 2;
		if ( timeline->records[middle].frame <= frame ) {
			low = middle + 1;
		} else {
			high = middle;
		}
	}
	return low;
}

}

bool PADTimelineReserve( PADTimeline* timeline, const u32 extra ) {
	if ( extra <= timeline->capacity - timeline->count ) {
		return true;
	}
	if ( extra > TIMELINE_MAX_RECORDS - timeline->count ) {
		return false;
	}
	const u32 needed = timeline->count + extra;
	u32 capacity = timeline->capacity != 0 ? timeline->capacity : TIMELINE_FIRST_CAPACITY;
	while ( capacity < needed ) {
		capacity = capacity > TIMELINE_MAX_RECORDS / 2 ? needed : capacity * 2;
	}
	void* grown = std::realloc( timeline->records, static_cast<size_t>( capacity ) * sizeof( PADRecord ) );
	if ( grown == nullptr ) {
		OSReport( "PAD: out of memory for %u controller records\n", capacity );
		return false;
	}
	timeline->records = static_cast<PADRecord*>( grown );
	timeline->capacity = capacity;
	return true;
}

bool PADTimelineSet( PADTimeline* timeline, const PADRecord& record ) {
	const u32 after = UpperBound( timeline, record.frame );
	if ( after > 0 && timeline->records[after - 1].frame == record.frame ) {
		timeline->records[after - 1] = record;
		return true;
	}
	if ( !PADTimelineReserve( timeline, 1 ) ) {
		return false;
	}
	PADRecord* const slot = timeline->records + after;
	std::memmove( slot + 1, slot, static_cast<size_t>( timeline->count - after ) * sizeof( PADRecord ) );
	*slot = record;
	++timeline->count;
	return true;
}

void PADTimelineDropFrom( PADTimeline* timeline, const u32 frame ) {
	if ( frame == 0 ) {
		timeline->count = 0;
		return;
	}
	timeline->count = UpperBound( timeline, frame - 1 );
}

const PADRecord* PADTimelineFind( const PADTimeline* timeline, const u32 frame ) {
	const u32 after = UpperBound( timeline, frame );
	return after > 0 ? timeline->records + after - 1 : nullptr;
}

void PADTimelineFree( PADTimeline* timeline ) {
	std::free( timeline->records );
	*timeline = PADTimeline{};
}
