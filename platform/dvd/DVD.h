/*
===============================================================================

	Disc library, host version.

	The disc is a host folder (the ENGINE_DISC setting). Paths are matched
	component by component without regard to case, with '/' or '\' as
	separators and an optional leading separator; each file found gets an
	entry number that stays the same for the rest of the run.

	The drive executes one command at a time. Reads are queued by priority
	(0 first, 3 last; first come first served within a priority), and each
	completes a fixed latency after it starts (settable, zero allowed): the
	data is copied and the completion callback runs when the host event
	queue delivers the completion, never while interrupts are disabled.
	Callbacks run at interrupt level, that is with interrupts disabled.

	A read may run up to 31 bytes past the end of its file, as the engine
	rounds transfer lengths up to 32; those bytes come back as zeros. A read
	that goes further, or starts past the end, is accepted but fails with
	DVD_RESULT_FATAL_ERROR.

	Tests script the faults a real drive shows: a sequence of drive states
	(no disc, cover open, wrong disc, retry, busy ...) that the next read
	goes through before it proceeds, reads the drive refuses to accept, and
	reads that fail with a fatal error (DVDHost.h). DVDHostReset returns
	everything to the power-on state; DVDInit must then be called again.

===============================================================================
*/
#ifndef DVD_H
#define DVD_H

#include "platform/types/PlatformTypes.h"
#include "platform/os/OS.h"

// States of the drive and of a command block.
constexpr s32 DVD_STATE_FATAL_ERROR		= -1;
constexpr s32 DVD_STATE_END				= 0;	// idle, or the command finished
constexpr s32 DVD_STATE_BUSY			= 1;
constexpr s32 DVD_STATE_WAITING			= 2;	// queued behind another command
constexpr s32 DVD_STATE_COVER_CLOSED	= 3;
constexpr s32 DVD_STATE_NO_DISK			= 4;
constexpr s32 DVD_STATE_COVER_OPEN		= 5;
constexpr s32 DVD_STATE_WRONG_DISK		= 6;
constexpr s32 DVD_STATE_MOTOR_STOPPED	= 7;
constexpr s32 DVD_STATE_PAUSING			= 8;
constexpr s32 DVD_STATE_IGNORED			= 9;
constexpr s32 DVD_STATE_CANCELED		= 10;
constexpr s32 DVD_STATE_RETRY			= 11;

// Results passed to completion callbacks (a successful read passes the
// number of bytes transferred instead).
constexpr s32 DVD_RESULT_GOOD			= 0;
constexpr s32 DVD_RESULT_FATAL_ERROR	= -1;
constexpr s32 DVD_RESULT_IGNORED		= -2;
constexpr s32 DVD_RESULT_CANCELED		= -3;

// Read priorities: 0 is served first; the engine reads at 2.
constexpr s32 DVD_PRIO_HIGHEST			= 0;
constexpr s32 DVD_PRIO_NORMAL			= 2;
constexpr s32 DVD_PRIO_LOWEST			= 3;

// Bytes a read may run past the end of its file; they read as zeros.
constexpr u32 DVD_READ_OVERRUN_MAX		= 31;

// One command to the drive. The caller owns it; the library fills it in.
struct DVDCommandBlock {
	s32			state;				// DVD_STATE_*
	u32			offset;				// byte offset of the read in its file
	u32			length;				// bytes asked for
	void*		addr;				// destination
	u32			transferredSize;	// bytes delivered once the read has ended
	s32			priority;
	u32			serial;				// order in which the drive accepted it
};

struct DVDFileInfo;

// Completion of a read: the byte count, or a negative DVD_RESULT_*.
typedef void ( *DVDCallback )( s32 result, DVDFileInfo* fileInfo );

// An open disc file. The command block comes first, so a pointer to it is
// also a pointer to the file record.
struct DVDFileInfo {
	DVDCommandBlock	cb;
	s32				entryNum;		// -1 while closed
	u32				length;			// file length in bytes
	DVDCallback		callback;		// completion of the read in progress
};

// Starts the library. Nothing else works before it.
void	DVDInit();

// Entry number of the file at path, or -1 when the disc holds no such file.
s32		DVDConvertPathToEntrynum( const char* path );

// Opens the file at path or with the given entry number into fileInfo.
// FALSE when there is no such file.
BOOL	DVDOpen( const char* path, DVDFileInfo* fileInfo );
BOOL	DVDFastOpen( s32 entryNum, DVDFileInfo* fileInfo );

// Closes the file, cancelling a read still in progress. TRUE, or FALSE
// for a null record.
BOOL	DVDClose( DVDFileInfo* fileInfo );

// Queues a read of length bytes at offset in the file into addr; the
// callback (may be null) runs on completion. FALSE when the drive does not
// accept the request: bad arguments, a file not open, a read already in
// progress on this file, or a refusal scripted by a test.
BOOL	DVDReadAsyncPrio( DVDFileInfo* fileInfo, void* addr, s32 length, s32 offset,
						  DVDCallback callback, s32 priority );

// Reads and waits for the result: the byte count, or a negative
// DVD_RESULT_*. Interrupt-level work goes on while it waits.
s32		DVDReadPrio( DVDFileInfo* fileInfo, void* addr, s32 length, s32 offset, s32 priority );
inline s32 DVDRead( DVDFileInfo* fileInfo, void* addr, const s32 length, const s32 offset ) {
	return DVDReadPrio( fileInfo, addr, length, offset, DVD_PRIO_NORMAL );
}

// Cancels the block's command if it has not ended: its state becomes
// DVD_STATE_CANCELED and the read's callback gets DVD_RESULT_CANCELED
// before this returns. 0, or -1 for a null block.
s32		DVDCancel( DVDCommandBlock* block );

// Drive state: a scripted fault state while the running command shows one,
// DVD_STATE_BUSY while any command is queued or running, else
// DVD_STATE_END. Delivers due interrupt-level work first. With automatic
// fatal messaging on, a fatal drive state ends the run through OSPanic, as
// the console's fatal error screen does.
s32		DVDGetDriveStatus();

// State of one command block. Delivers due interrupt-level work first.
s32		DVDGetCommandBlockStatus( const DVDCommandBlock* block );

// Whether the library reports fatal errors by itself: with it on, a read
// that fails is reported through OSReport (the caller may retry it), and a
// fatal drive state ends the run (see DVDGetDriveStatus).
void	DVDSetAutoFatalMessaging( BOOL enable );

#endif
