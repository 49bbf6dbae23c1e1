/*
===============================================================================

	Host-only controls of the DVD library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef DVD_HOST_H
#define DVD_HOST_H

#include "platform/dvd/DVD.h"

// ---------------------------------------------------------------------------
// Host side: state, timing and scripted faults for tests.
// ---------------------------------------------------------------------------

// Ticks from the start of a read to its completion by default (1 ms).
constexpr s64 DVD_HOST_DEFAULT_READ_LATENCY = OS_TIMER_CLOCK / 1000;

// Room for scripted drive states and scripted failed reads.
constexpr u32 DVD_HOST_SCRIPT_MAX = 16;

// Commands that can wait for the drive at once.
constexpr u32 DVD_HOST_QUEUE_MAX = 64;

// Accepted reads remembered for inspection, newest first.
constexpr u32 DVD_HOST_READ_LOG_MAX = 32;

// One step of a drive fault sequence: the state shown and for how long.
struct DVDHostDrivePhase {
	s32			state;
	s64			ticks;				// at least 1
};

// What an accepted read asked for.
struct DVDHostReadRecord {
	s32			entryNum;
	u32			offset;
	u32			length;
	s32			priority;
};

// Back to the power-on state: no commands, no scripts, no entries, default
// latency, auto fatal messaging off, not initialised.
void	DVDHostReset();

bool	DVDHostIsInitialised();

// Latency of every read from its start (ticks, 0 or more).
void	DVDHostSetReadLatency( s64 ticks );
s64		DVDHostReadLatency();

// The next read to start shows these states one after the other, each for
// its ticks, before it proceeds normally. Replaces a script not yet used.
// False, changing nothing, for more than DVD_HOST_SCRIPT_MAX phases, a
// phase shorter than one tick or a state that is not a drive state.
bool	DVDHostScriptDriveStates( const DVDHostDrivePhase* phases, u32 count );

// The next count read requests are refused (DVDReadAsyncPrio gives FALSE).
void	DVDHostScriptRefusedReads( u32 count );

// The readsFromNow-th read accepted from now on (1 = the next) fails with
// DVD_RESULT_FATAL_ERROR. False when readsFromNow is 0 or the script is full.
bool	DVDHostScriptFailedRead( u32 readsFromNow );

// The next read to finish leaves the drive idle but holds its data and its
// completion back: DVDGetDriveStatus reports the idle drive idlePolls times
// first, and the poll after those delivers the completion. 0 clears it.
void	DVDHostScriptLateCompletion( u32 idlePolls );

// True when the disc folder (HostSettings::discFolder) exists and is a
// folder: the drive holds a disc. Otherwise prints one host: line that
// names the folder and ENGINE_DISC and gives false: the game is on the
// disc, so nothing can start without one.
BOOL	DVDHostDiscPresent();

// Reads accepted since DVDHostReset.
u32		DVDHostReadCount();

// The accepted read `back` reads ago (0 = the latest). False when there
// is no such read in the log.
bool	DVDHostRecentRead( u32 back, DVDHostReadRecord* record );

// What DVDSetAutoFatalMessaging last set.
bool	DVDHostAutoFatalMessaging();

// ---------------------------------------------------------------------------
// Host side: disc writes. The console's disc is read-only; on the host the
// files the game writes go to a second root, the write folder
// (HostSettings::discWriteFolder), which the file calls above search before
// the disc folder. Paths follow the rules of reads. Nothing here ever
// writes to the disc folder.
// ---------------------------------------------------------------------------

// Creates the file at path under the write folder, or empties it, making
// its folders on the way, and opens it into fileInfo. FALSE without a write
// folder, for a path that leaves it, or when the host refuses.
BOOL	DVDHostCreate( const char* path, DVDFileInfo* fileInfo );

// Writes length bytes of src at offset into an open file of the write
// folder; its length grows to cover them. The bytes written, or -1 for a
// file of the disc folder, one not open, or a host failure.
s32		DVDHostWrite( DVDFileInfo* fileInfo, const void* src, u32 length, u32 offset );

// Deletes the file at path in the write folder only: 0, or -1 when there is
// no such file there.
s32		DVDHostDelete( const char* path );

#endif
