#include "platform/pad/PAD.h"

#include "platform/host/HostSettings.h"
#include "platform/pad/PADQueue.h"

#include <cstdlib>

namespace {

constexpr u32 QUEUE_FIRST_CAPACITY = 16;

struct PADQueue {
	PADQueueEntry*	entries;	// malloc'd
	u32				count;		// entries written
	u32				capacity;
	u32				head;		// next entry to play back
};

struct PADPort {
	PADQueue	queue;
	PADStatus	last;			// what the port reads while its queue is empty
	u32			motorCommand;
	u32			motorCommandCount;
	u32			resetCount;
};

PADPort	ports[PAD_MAX_CONTROLLERS];
bool	initialised = false;

bool ValidChannel( const s32 chan ) {
	return chan >= 0 && chan < PAD_MAX_CONTROLLERS;
}

// A reading with an error carries nothing else.
PADStatus Normalised( const PADStatus& status ) {
	if ( status.err == PAD_ERR_NONE ) {
		return status;
	}
	PADStatus error = {};
	error.err = status.err;
	return error;
}

PADStatus DefaultReading( const s32 chan ) {
	PADStatus status = {};
	// One controller plugged in, so a run without a script can be played.
	status.err = chan == 0 ? PAD_ERR_NONE : PAD_ERR_NO_CONTROLLER;
	return status;
}

void ResetPort( const s32 chan ) {
	PADPort& port = ports[chan];
	std::free( port.queue.entries );
	port = PADPort{};
	port.last = DefaultReading( chan );
	port.motorCommand = PAD_MOTOR_STOP;
}

bool portsReady = false;

// The ports' default readings are not all zero, so they are set on first use.
void EnsurePorts() {
	if ( portsReady ) {
		return;
	}
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		ResetPort( chan );
	}
	portsReady = true;
}

bool QueueAppendStatus( const s32 chan, const PADStatus& status, const bool noChange ) {
	PADQueueEntry entry = {};
	entry.noChange = noChange;
	entry.status = Normalised( status );
	return PADQueueAppend( chan, entry );
}

}

bool PADQueueReserve( const s32 chan, const u32 extra ) {
	if ( !ValidChannel( chan ) ) {
		return false;
	}
	EnsurePorts();
	PADQueue& queue = ports[chan].queue;
	if ( queue.head == queue.count ) {
		queue.head = 0;
		queue.count = 0;
	}
	if ( extra <= queue.capacity - queue.count ) {
		return true;
	}
	if ( extra > 0x7FFFFFFFu - queue.count ) {
		return false;
	}
	u32 capacity = queue.capacity != 0 ? queue.capacity : QUEUE_FIRST_CAPACITY;
	while ( capacity < queue.count + extra ) {
		capacity = capacity > 0x3FFFFFFFu ? queue.count + extra : capacity * 2;
	}
	void* grown = std::realloc( queue.entries, static_cast<size_t>( capacity ) * sizeof( PADQueueEntry ) );
	if ( grown == nullptr ) {
		OSReport( "PAD: out of memory for %u scripted frames on port %d\n", capacity, chan );
		return false;
	}
	queue.entries = static_cast<PADQueueEntry*>( grown );
	queue.capacity = capacity;
	return true;
}

bool PADQueueAppend( const s32 chan, const PADQueueEntry& entry ) {
	if ( !PADQueueReserve( chan, 1 ) ) {
		return false;
	}
	PADQueue& queue = ports[chan].queue;
	queue.entries[queue.count++] = entry;
	return true;
}

BOOL PADInit() {
	EnsurePorts();
	if ( initialised ) {
		return 1;
	}
	initialised = true;
	const char* script = HostGetSettings().padScript;
	if ( script[0] != 0 && !PADHostLoadScript( script ) ) {
		OSReport( "PAD: controller script %s not used\n", script );
	}
	return 1;
}

u32 PADRead( PADStatus* status ) {
	if ( status == nullptr ) {
		return 0;
	}
	EnsurePorts();
	u32 connected = 0;
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		PADPort& port = ports[chan];
		PADQueue& queue = port.queue;
		if ( queue.head < queue.count ) {
			const PADQueueEntry& entry = queue.entries[queue.head++];
			if ( !entry.noChange ) {
				port.last = entry.status;
			}
		}
		status[chan] = port.last;
		if ( port.last.err == PAD_ERR_NONE ) {
			connected |= PAD_CHAN0_BIT >> chan;
		}
	}
	return connected;
}

BOOL PADReset( const u32 mask ) {
	EnsurePorts();
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		if ( ( mask & ( PAD_CHAN0_BIT >> chan ) ) != 0 ) {
			++ports[chan].resetCount;
		}
	}
	return 1;
}

void PADControlMotor( const s32 chan, const u32 command ) {
	if ( !ValidChannel( chan ) ) {
		return;
	}
	EnsurePorts();
	ports[chan].motorCommand = command;
	++ports[chan].motorCommandCount;
}

bool PADHostQueueStatus( const s32 chan, const PADStatus& status ) {
	return QueueAppendStatus( chan, status, false );
}

bool PADHostQueueDisconnected( const s32 chan ) {
	PADStatus status = {};
	status.err = PAD_ERR_NO_CONTROLLER;
	return QueueAppendStatus( chan, status, false );
}

bool PADHostQueueNoChange( const s32 chan ) {
	return QueueAppendStatus( chan, PADStatus{}, true );
}

u32 PADHostPendingFrames( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return 0;
	}
	EnsurePorts();
	const PADQueue& queue = ports[chan].queue;
	return queue.count - queue.head;
}

u32 PADHostMotorCommand( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return PAD_MOTOR_STOP;
	}
	EnsurePorts();
	return ports[chan].motorCommand;
}

u32 PADHostMotorCommandCount( const s32 chan ) {
	return ValidChannel( chan ) ? ports[chan].motorCommandCount : 0;
}

u32 PADHostResetCount( const s32 chan ) {
	return ValidChannel( chan ) ? ports[chan].resetCount : 0;
}

void PADHostReset() {
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		ResetPort( chan );
	}
	portsReady = true;
	initialised = false;
}
