/*
===============================================================================

	Per-port queues of scripted controller readings, shared by PADRead, the
	host queueing calls and the script reader.

	Storage comes from malloc and grows by doubling; reserving first lets a
	caller append a batch that cannot fail half-way.

===============================================================================
*/
#ifndef PAD_QUEUE_H
#define PAD_QUEUE_H

#include "datatypes/DTTypes.h"
#include "platform/pad/PAD.h"

// One frame of a port's script.
struct PADQueueEntry {
	bool		noChange;	// repeat the previous reading; status is unused
	PADStatus	status;
};

// Makes room for extra more entries on a port; false when out of memory or
// for a bad port.
bool	PADQueueReserve( s32 chan, u32 extra );

// Appends an entry; false when out of memory or for a bad port.
bool	PADQueueAppend( s32 chan, const PADQueueEntry& entry );

#endif
