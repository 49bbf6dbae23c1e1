#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/os/OSHost.h"

#include "platform/host/HostSettings.h"
#include "platform/pad/PADTimeline.h"
#include "platform/vi/VI.h"

namespace {

struct PADPort {
	PADTimeline	timeline;
	u32			motorCommand;
	u32			motorCommandCount;
	u32			resetCount;
};

PADPort		ports[PAD_MAX_CONTROLLERS];
PADTimeline	resetButton;
u32			readCount = 0;
bool		initialised = false;

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

bool ScriptedResetButton() {
	const PADRecord* const record = PADTimelineFind( &resetButton, VIGetRetraceCount() );
	return record != nullptr && record->pressed;
}

// The reset button's records are read through the OS library's call.
void ConnectResetButton() {
	OSHostSetResetButtonSource( ScriptedResetButton );
}

PADStatus ReadingAt( const s32 chan, const u32 frame ) {
	const PADRecord* const record = PADTimelineFind( &ports[chan].timeline, frame );
	// Before any record the port holds a controller at rest.
	return record != nullptr ? record->status : PADStatus{};
}

}

PADTimeline* PADTimelineOfPort( const s32 chan ) {
	return ValidChannel( chan ) ? &ports[chan].timeline : nullptr;
}

PADTimeline* PADTimelineOfResetButton() {
	ConnectResetButton();
	return &resetButton;
}

BOOL PADInit() {
	ConnectResetButton();
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
	++readCount;
	const u32 frame = VIGetRetraceCount();
	u32 connected = 0;
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		status[chan] = ReadingAt( chan, frame );
		if ( status[chan].err == PAD_ERR_NONE ) {
			connected |= PAD_CHAN0_BIT >> chan;
		}
	}
	return connected;
}

BOOL PADReset( const u32 mask ) {
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
	ports[chan].motorCommand = command;
	++ports[chan].motorCommandCount;
}

bool PADHostSetStatus( const s32 chan, const u32 frame, const PADStatus& status ) {
	if ( !ValidChannel( chan ) ) {
		return false;
	}
	PADRecord record = {};
	record.frame = frame;
	record.status = Normalised( status );
	return PADTimelineSet( &ports[chan].timeline, record );
}

bool PADHostSetStatusFromNow( const s32 chan, const PADStatus& status ) {
	if ( !ValidChannel( chan ) ) {
		return false;
	}
	const u32 now = VIGetRetraceCount();
	PADTimelineDropFrom( &ports[chan].timeline, now );
	return PADHostSetStatus( chan, now, status );
}

bool PADHostSetResetButton( const u32 frame, const bool pressed ) {
	PADRecord record = {};
	record.frame = frame;
	record.pressed = pressed;
	return PADTimelineSet( PADTimelineOfResetButton(), record );
}

u32 PADHostReadCount() {
	return readCount;
}

u32 PADHostMotorCommand( const s32 chan ) {
	return ValidChannel( chan ) ? ports[chan].motorCommand : PAD_MOTOR_STOP;
}

u32 PADHostMotorCommandCount( const s32 chan ) {
	return ValidChannel( chan ) ? ports[chan].motorCommandCount : 0;
}

u32 PADHostResetCount( const s32 chan ) {
	return ValidChannel( chan ) ? ports[chan].resetCount : 0;
}

void PADHostReset() {
	for ( PADPort& port : ports ) {
		PADTimelineFree( &port.timeline );
		port = PADPort{};
	}
	PADTimelineFree( &resetButton );
	readCount = 0;
	initialised = false;
}
