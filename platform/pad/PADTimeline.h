/*
===============================================================================

	A timeline of controller records: what one port (or the reset button)
	reads from which frame on. Records are kept sorted by frame, one per
	frame at most; the record holding at frame f is the last one made for a
	frame at or before f.

	Storage comes from malloc and grows by doubling; reserving first lets a
	caller add a batch that cannot fail half-way.

===============================================================================
*/
#ifndef PAD_TIMELINE_H
#define PAD_TIMELINE_H

#include "platform/types/PlatformTypes.h"
#include "platform/pad/PAD.h"

// One record. A port's timeline uses status, the reset button's pressed.
struct PADRecord {
	u32			frame;		// first frame the record holds for
	PADStatus	status;
	bool		pressed;
};

struct PADTimeline {
	PADRecord*	records;	// malloc'd, sorted by frame, no frame twice
	u32			count;
	u32			capacity;
};

// Makes room for extra more records; false when out of memory.
bool				PADTimelineReserve( PADTimeline* timeline, u32 extra );

// Adds a record, replacing one made for the same frame; false when out of
// memory (never after a Reserve that covers it).
bool				PADTimelineSet( PADTimeline* timeline, const PADRecord& record );

// Drops the records made for frame and later ones.
void				PADTimelineDropFrom( PADTimeline* timeline, u32 frame );

// The record holding at frame, or null before the first one.
const PADRecord*	PADTimelineFind( const PADTimeline* timeline, u32 frame );

// Releases the storage; the timeline is empty afterwards.
void				PADTimelineFree( PADTimeline* timeline );

// The timelines of the four ports and of the reset button, owned by the
// controller library. Null for a bad port.
PADTimeline*		PADTimelineOfPort( s32 chan );
PADTimeline*		PADTimelineOfResetButton();

#endif
