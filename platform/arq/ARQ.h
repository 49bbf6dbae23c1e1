/*
===============================================================================

	Auxiliary-memory transfer queue (ARQ), host version.

	Copies between main memory and auxiliary memory in the background. A
	posted request waits in the queue; at the next dispatch point of the
	host event queue the highest-priority request (the oldest among equals)
	starts, and after the transfer latency it completes: its bytes are
	copied then, just before its callback runs, so a caller that changes
	the source too early hears the change. Requests complete one at a time
	and never inside one another's callback; a request posted from a
	callback completes later.

	The latency is zero by default (completion at the next dispatch
	point); ENGINE_ARQ_LATENCY sets a fixed delay in microseconds, and
	tests may add a per-byte rate.

	Every post is checked: addresses and length must be multiples of 32,
	the auxiliary side must lie in user memory, the main-memory side must
	not be null, the zero buffer is never written and a record still
	pending cannot be posted again. A refused post is counted and reported
	(ARHostCheck.h), and its callback never runs.

===============================================================================
*/
#ifndef ARQ_H
#define ARQ_H

#include "platform/types/PlatformTypes.h"

#include <cstdint>

struct ARQRequest;

// Completion callback: receives the request that completed.
typedef void ( *ARQCallback )( ARQRequest* request );

// A main-memory address (pointer-sized on the host) or an auxiliary address.
typedef uintptr_t ARQAddress;

constexpr u32 ARQ_TYPE_MRAM_TO_ARAM = 0;
constexpr u32 ARQ_TYPE_ARAM_TO_MRAM = 1;

constexpr u32 ARQ_PRIORITY_LOW  = 0;
constexpr u32 ARQ_PRIORITY_HIGH = 1;

// The caller's record of one transfer; it must stay alive until the
// callback has run. The queue links pending records through next.
struct ARQRequest {
	ARQRequest*		next;
	u32				owner;
	u32				type;
	u32				priority;
	ARQAddress		source;
	ARQAddress		destination;
	u32				length;
	ARQCallback		callback;
};

// Starts the queue with nothing pending; the latency setting is kept.
void	ARQInit();

// Queues a transfer of length bytes. For ARQ_TYPE_MRAM_TO_ARAM the source
// is a main-memory pointer and the destination an auxiliary address; the
// reverse for ARQ_TYPE_ARAM_TO_MRAM. callback may be null.
void	ARQPostRequest( ARQRequest* request, u32 owner, u32 type, u32 priority, ARQAddress source,
						ARQAddress destination, u32 length, ARQCallback callback );

#endif
