#include "platform/dvd/DVDDrive.h"
#include "platform/dvd/DVDHost.h"

#include "platform/dvd/DVDEntryTable.h"
#include "platform/host/HostEventQueue.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Everything the host disc library keeps, so that one assignment resets it.
struct DriveState {
	bool				initialised = false;
	bool				autoFatalMessaging = false;
	s64					readLatency = DVD_HOST_DEFAULT_READ_LATENCY;

	// Accepted reads not yet started, in the order the drive accepted them.
	DVDFileInfo*		waiting[DVD_HOST_QUEUE_MAX] = {};
	u32					waitingCount = 0;

	// The read the drive is executing and the event that ends its current step.
	DVDFileInfo*		running = nullptr;
	HostEventId			runningEvent = 0;

	// Completion callbacks in progress. While one runs, new reads only
	// queue, so that the next read is chosen by priority once it returns.
	u32					callbackDepth = 0;

	// Fault states for the next read to start, and those of the running read.
	DVDHostDrivePhase	script[DVD_HOST_SCRIPT_MAX] = {};
	u32					scriptCount = 0;
	DVDHostDrivePhase	phases[DVD_HOST_SCRIPT_MAX] = {};
	u32					phaseCount = 0;
	u32					phaseIndex = 0;

	u32					refusals = 0;
	u32					failSerials[DVD_HOST_SCRIPT_MAX] = {};
	u32					failCount = 0;

	// A finished read whose data and completion are held back while the
	// drive already reports idle, and the idle polls still to report.
	u32					lateCompletionPolls = 0;
	DVDFileInfo*		held = nullptr;
	u32					heldPolls = 0;
	HostEventId			heldEvent = 0;

	// Reads accepted; also the serial of the latest one.
	u32					readCount = 0;
	DVDHostReadRecord	log[DVD_HOST_READ_LOG_MAX] = {};
};

DriveState drive;

void OnDriveEvent( void* context );

bool IsDriveState( const s32 state ) {
	switch ( state ) {
		case DVD_STATE_FATAL_ERROR:
		case DVD_STATE_BUSY:
		case DVD_STATE_COVER_CLOSED:
		case DVD_STATE_NO_DISK:
		case DVD_STATE_COVER_OPEN:
		case DVD_STATE_WRONG_DISK:
		case DVD_STATE_MOTOR_STOPPED:
		case DVD_STATE_RETRY:
			return true;
		default:
			return false;
	}
}

s32 FindWaiting( const DVDCommandBlock* block ) {
	for ( u32 i = 0; i < drive.waitingCount; ++i ) {
		if ( &drive.waiting[i]->cb == block ) {
			return static_cast<s32>( i );
		}
	}
	return -1;
}

void RemoveWaiting( const u32 index ) {
	for ( u32 i = index + 1; i < drive.waitingCount; ++i ) {
		drive.waiting[i - 1] = drive.waiting[i];
	}
	--drive.waitingCount;
}

// Starts the waiting read of the best priority when the drive is free.
void StartNext() {
	if ( drive.running != nullptr || drive.callbackDepth != 0 || drive.waitingCount == 0 ) {
		return;
	}
	u32 best = 0;
	for ( u32 i = 1; i < drive.waitingCount; ++i ) {
		if ( drive.waiting[i]->cb.priority < drive.waiting[best]->cb.priority ) {
			best = i;
		}
	}
	DVDFileInfo* fileInfo = drive.waiting[best];
	RemoveWaiting( best );
	drive.running = fileInfo;

	if ( drive.scriptCount > 0 ) {
		std::memcpy( drive.phases, drive.script, sizeof( drive.script ) );
		drive.phaseCount = drive.scriptCount;
		drive.phaseIndex = 0;
		drive.scriptCount = 0;
		fileInfo->cb.state = drive.phases[0].state;
		drive.runningEvent = HostPostEventAfter( drive.phases[0].ticks, OnDriveEvent, nullptr );
		return;
	}
	drive.phaseCount = 0;
	fileInfo->cb.state = DVD_STATE_BUSY;
	drive.runningEvent = HostPostEventAfter( drive.readLatency, OnDriveEvent, nullptr );
}

// True, once, when the read with this serial was scripted to fail.
bool TakeScriptedFailure( const u32 serial ) {
	for ( u32 i = 0; i < drive.failCount; ++i ) {
		if ( drive.failSerials[i] == serial ) {
			drive.failSerials[i] = drive.failSerials[--drive.failCount];
			return true;
		}
	}
	return false;
}

// Reads the bytes of the file that exist and zero-fills the rest.
bool ReadHostFile( const char* hostPath, const u32 offset, u8* destination, const u32 bytes ) {
	const s32 descriptor = open( hostPath, O_RDONLY );
	if ( descriptor < 0 ) {
		return false;
	}
	u32 done = 0;
	while ( done < bytes ) {
		const ssize_t got = pread( descriptor, destination + done, bytes - done, static_cast<off_t>( offset ) + done );
		if ( got < 0 && errno == EINTR ) {
			continue;
		}
		if ( got < 0 ) {
			close( descriptor );
			return false;
		}
		if ( got == 0 ) {
			break;
		}
		done += static_cast<u32>( got );
	}
	close( descriptor );
	std::memset( destination + done, 0, bytes - done );
	return true;
}

// Carries out the read: its byte count, or DVD_RESULT_FATAL_ERROR.
s32 Transfer( DVDFileInfo* fileInfo ) {
	const DVDCommandBlock& cb = fileInfo->cb;
	if ( TakeScriptedFailure( cb.serial ) ) {
		return DVD_RESULT_FATAL_ERROR;
	}
	const u64 end = static_cast<u64>( cb.offset ) + cb.length;
	if ( cb.offset > fileInfo->length || end > static_cast<u64>( fileInfo->length ) + DVD_READ_OVERRUN_MAX ) {
		return DVD_RESULT_FATAL_ERROR;
	}
	const char* hostPath = DVDEntryTableHostPath( fileInfo->entryNum );
	if ( hostPath == nullptr ) {
		return DVD_RESULT_FATAL_ERROR;
	}
	if ( cb.length == 0 ) {
		return 0;
	}
	if ( !ReadHostFile( hostPath, cb.offset, static_cast<u8*>( cb.addr ), cb.length ) ) {
		return DVD_RESULT_FATAL_ERROR;
	}
	return static_cast<s32>( cb.length );
}

// Runs the read's callback as an interrupt handler would, then lets the
// drive move on.
void Finish( DVDFileInfo* fileInfo, const s32 result ) {
	const bool wasEnabled = HostSetInterruptsEnabled( false );
	++drive.callbackDepth;
	if ( fileInfo->callback != nullptr ) {
		fileInfo->callback( result, fileInfo );
	}
	--drive.callbackDepth;
	StartNext();
	HostSetInterruptsEnabled( wasEnabled );
}

// Ends a read that is no longer the running one.
void Complete( DVDFileInfo* fileInfo ) {
	const s32 result = Transfer( fileInfo );
	if ( result >= 0 ) {
		fileInfo->cb.state = DVD_STATE_END;
		fileInfo->cb.transferredSize = static_cast<u32>( result );
	} else {
		fileInfo->cb.state = DVD_STATE_FATAL_ERROR;
		fileInfo->cb.transferredSize = 0;
		if ( drive.autoFatalMessaging ) {
			OSReport( "DVD: fatal error reading %u bytes at %u of entry %d\n",
					  fileInfo->cb.length, fileInfo->cb.offset, fileInfo->entryNum );
		}
	}
	Finish( fileInfo, result );
}

// End of a fault phase or of the read itself.
void OnDriveEvent( void* ) {
	drive.runningEvent = 0;
	if ( drive.running == nullptr ) {
		return;
	}
	if ( drive.phaseCount > 0 ) {
		++drive.phaseIndex;
		if ( drive.phaseIndex < drive.phaseCount ) {
			drive.running->cb.state = drive.phases[drive.phaseIndex].state;
			drive.runningEvent = HostPostEventAfter( drive.phases[drive.phaseIndex].ticks, OnDriveEvent, nullptr );
			return;
		}
		drive.phaseCount = 0;
		drive.running->cb.state = DVD_STATE_BUSY;
		drive.runningEvent = HostPostEventAfter( drive.readLatency, OnDriveEvent, nullptr );
		return;
	}
	if ( drive.lateCompletionPolls > 0 ) {
		drive.held = drive.running;
		drive.heldPolls = drive.lateCompletionPolls;
		drive.lateCompletionPolls = 0;
		drive.running = nullptr;
		StartNext();
		return;
	}
	DVDFileInfo* fileInfo = drive.running;
	drive.running = nullptr;
	Complete( fileInfo );
}

// The held read finally completes.
void OnHeldRelease( void* ) {
	drive.heldEvent = 0;
	if ( drive.held == nullptr ) {
		return;
	}
	// Another read may be running by now; it is left alone.
	DVDFileInfo* fileInfo = drive.held;
	drive.held = nullptr;
	Complete( fileInfo );
}

void LogRead( const DVDFileInfo* fileInfo ) {
	for ( u32 i = DVD_HOST_READ_LOG_MAX - 1; i > 0; --i ) {
		drive.log[i] = drive.log[i - 1];
	}
	drive.log[0].entryNum = fileInfo->entryNum;
	drive.log[0].offset = fileInfo->cb.offset;
	drive.log[0].length = fileInfo->cb.length;
	drive.log[0].priority = fileInfo->cb.priority;
}

}

bool DVDDriveIsPending( const DVDFileInfo* fileInfo ) {
	return fileInfo != nullptr &&
		   ( drive.running == fileInfo || drive.held == fileInfo || FindWaiting( &fileInfo->cb ) >= 0 );
}

void DVDInit() {
	drive.initialised = true;
}

BOOL DVDReadAsyncPrio( DVDFileInfo* fileInfo, void* addr, const s32 length, const s32 offset,
					   const DVDCallback callback, const s32 priority ) {
	if ( !drive.initialised || fileInfo == nullptr || length < 0 || offset < 0 ||
		 ( addr == nullptr && length > 0 ) || priority < DVD_PRIO_HIGHEST || priority > DVD_PRIO_LOWEST ||
		 DVDEntryTableHostPath( fileInfo->entryNum ) == nullptr || DVDDriveIsPending( fileInfo ) ||
		 drive.waitingCount >= DVD_HOST_QUEUE_MAX ) {
		return 0;
	}
	if ( drive.refusals > 0 ) {
		--drive.refusals;
		return 0;
	}
	DVDCommandBlock& cb = fileInfo->cb;
	cb.state = DVD_STATE_WAITING;
	cb.offset = static_cast<u32>( offset );
	cb.length = static_cast<u32>( length );
	cb.addr = addr;
	cb.transferredSize = 0;
	cb.priority = priority;
	cb.serial = ++drive.readCount;
	fileInfo->callback = callback;
	LogRead( fileInfo );
	drive.waiting[drive.waitingCount++] = fileInfo;
	StartNext();
	return 1;
}

s32 DVDReadPrio( DVDFileInfo* fileInfo, void* addr, const s32 length, const s32 offset, const s32 priority ) {
	// Waiting inside a completion would wait for itself.
	if ( drive.callbackDepth != 0 || !DVDReadAsyncPrio( fileInfo, addr, length, offset, nullptr, priority ) ) {
		return DVD_RESULT_FATAL_ERROR;
	}
	// The waiting thread sleeps with interrupts enabled, so completions run.
	// Polling the drive also releases a completion held back by a script.
	const bool wasEnabled = HostSetInterruptsEnabled( true );
	while ( DVDDriveIsPending( fileInfo ) ) {
		DVDGetDriveStatus();
		HostIdle();
	}
	HostSetInterruptsEnabled( wasEnabled );
	switch ( fileInfo->cb.state ) {
		case DVD_STATE_END:			return static_cast<s32>( fileInfo->cb.transferredSize );
		case DVD_STATE_CANCELED:	return DVD_RESULT_CANCELED;
		default:					return DVD_RESULT_FATAL_ERROR;
	}
}

s32 DVDCancel( DVDCommandBlock* block ) {
	if ( block == nullptr ) {
		return -1;
	}
	DVDFileInfo* fileInfo = nullptr;
	if ( drive.held != nullptr && &drive.held->cb == block ) {
		fileInfo = drive.held;
		HostCancelEvent( drive.heldEvent );
		drive.heldEvent = 0;
		drive.held = nullptr;
	} else if ( drive.running != nullptr && &drive.running->cb == block ) {
		fileInfo = drive.running;
		HostCancelEvent( drive.runningEvent );
		drive.runningEvent = 0;
		drive.running = nullptr;
		drive.phaseCount = 0;
	} else {
		const s32 index = FindWaiting( block );
		if ( index < 0 ) {
			return 0;
		}
		fileInfo = drive.waiting[index];
		RemoveWaiting( static_cast<u32>( index ) );
	}
	block->state = DVD_STATE_CANCELED;
	block->transferredSize = 0;
	Finish( fileInfo, DVD_RESULT_CANCELED );
	return 0;
}

s32 DVDGetDriveStatus() {
	// A held completion stays undelivered for its idle polls, with the rest
	// of the due work, so that the count of polls is exact.
	bool holding = false;
	if ( drive.held != nullptr && drive.heldEvent == 0 ) {
		if ( drive.heldPolls > 0 ) {
			--drive.heldPolls;
			holding = true;
		} else {
			drive.heldEvent = HostPostEventAfter( 0, OnHeldRelease, nullptr );
		}
	}
	if ( !holding ) {
		HostDeliverEvents();
	}
	if ( drive.running != nullptr ) {
		const s32 state = drive.running->cb.state;
		if ( state == DVD_STATE_FATAL_ERROR && drive.autoFatalMessaging ) {
			OSPanic( "DVDDrive", __LINE__, "DVD: the drive reports a fatal error\n" );
		}
		return state;
	}
	return drive.waitingCount > 0 ? DVD_STATE_BUSY : DVD_STATE_END;
}

s32 DVDGetCommandBlockStatus( const DVDCommandBlock* block ) {
	HostDeliverEvents();
	return block != nullptr ? block->state : DVD_STATE_FATAL_ERROR;
}

void DVDSetAutoFatalMessaging( const BOOL enable ) {
	drive.autoFatalMessaging = enable != 0;
}

void DVDHostReset() {
	HostCancelEvent( drive.runningEvent );
	HostCancelEvent( drive.heldEvent );
	drive = DriveState();
	DVDEntryTableReset();
}

void DVDHostScriptLateCompletion( const u32 idlePolls ) {
	drive.lateCompletionPolls = idlePolls;
}

bool DVDHostIsInitialised() {
	return drive.initialised;
}

void DVDHostSetReadLatency( const s64 ticks ) {
	drive.readLatency = ticks > 0 ? ticks : 0;
}

s64 DVDHostReadLatency() {
	return drive.readLatency;
}

bool DVDHostScriptDriveStates( const DVDHostDrivePhase* phases, const u32 count ) {
	if ( count > DVD_HOST_SCRIPT_MAX || ( count > 0 && phases == nullptr ) ) {
		return false;
	}
	for ( u32 i = 0; i < count; ++i ) {
		if ( phases[i].ticks < 1 || !IsDriveState( phases[i].state ) ) {
			return false;
		}
	}
	for ( u32 i = 0; i < count; ++i ) {
		drive.script[i] = phases[i];
	}
	drive.scriptCount = count;
	return true;
}

void DVDHostScriptRefusedReads( const u32 count ) {
	drive.refusals = count;
}

bool DVDHostScriptFailedRead( const u32 readsFromNow ) {
	if ( readsFromNow == 0 || drive.failCount >= DVD_HOST_SCRIPT_MAX ) {
		return false;
	}
	drive.failSerials[drive.failCount++] = drive.readCount + readsFromNow;
	return true;
}

u32 DVDHostReadCount() {
	return drive.readCount;
}

bool DVDHostRecentRead( const u32 back, DVDHostReadRecord* record ) {
	if ( record == nullptr || back >= DVD_HOST_READ_LOG_MAX || back >= drive.readCount ) {
		return false;
	}
	*record = drive.log[back];
	return true;
}

bool DVDHostAutoFatalMessaging() {
	return drive.autoFatalMessaging;
}
