/*
===============================================================================

	Host-only controls of the CARD library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

	Layout under the memory-card folder (HostSettings::cardFolder):
	  A/, B/              the cards in channels 0 and 1; a card is present
	                      while its folder exists (and it was not pulled)
	  <slot>/card.cfg     optional geometry, "sectorSize N" and "sectors N"
	                      lines (default 64 sectors of 8192 bytes)
	  <slot>/<name>       each file's bytes; letters, digits, '-', '_' and
	                      '.' are kept in the name, other bytes become %XX
	  <slot>/directory.txt  one line per file: number, stored name, length,
	                      time, comment address, icon address, icon format,
	                      icon speed, banner format
	Files and directory are rewritten through a temporary file and a rename
	when a change completes. A directory that cannot be read makes the card
	broken.

===============================================================================
*/
#ifndef CARD_HOST_H
#define CARD_HOST_H

#include "platform/card/CARD.h"

// Sectors the card keeps for itself (headers, directory, allocation table).
constexpr u32 CARD_HOST_SYSTEM_SECTORS	= 5;
constexpr u32 CARD_HOST_DEFAULT_SECTORS	= 64;
constexpr u32 CARD_HOST_DEFAULT_SECTOR_SIZE = 8192;
// Polls that answer busy before an asynchronous call completes.
constexpr u32 CARD_HOST_DEFAULT_BUSY_POLLS = 2;

// The kinds of call that can be scripted.
enum CARDHostCall {
	CARD_HOST_CALL_PROBE,
	CARD_HOST_CALL_MOUNT,
	CARD_HOST_CALL_UNMOUNT,
	CARD_HOST_CALL_CHECK,
	CARD_HOST_CALL_FORMAT,
	CARD_HOST_CALL_CREATE,
	CARD_HOST_CALL_OPEN,
	CARD_HOST_CALL_CLOSE,
	CARD_HOST_CALL_READ,
	CARD_HOST_CALL_WRITE,
	CARD_HOST_CALL_DELETE,
	CARD_HOST_CALL_GET_STATUS,
	CARD_HOST_CALL_SET_STATUS,
	CARD_HOST_CALL_FREE_BLOCKS,
	CARD_HOST_CALL_KINDS
};

// States a card can be put in.
enum CARDHostCardState {
	CARD_HOST_CARD_GOOD,
	// Mounting gives CARD_RESULT_BROKEN; the check answers as scripted
	// with CARDHostSetCheckResult (0 repairs the card).
	CARD_HOST_CARD_BROKEN,
	// Mounting gives CARD_RESULT_ENCODING until the card is formatted.
	CARD_HOST_CARD_ENCODING,
	// No free sector: creating a file gives CARD_RESULT_INSSPACE.
	CARD_HOST_CARD_FULL
};

// True once CARDInit has run.
bool	CARDHostIsInitialised();

// Back to the power-on state: nothing initialised, nothing in flight or
// scripted, every delay at its default. The card folders are left alone.
void	CARDHostReset();

// Makes the channel's folder (an empty card) if needed and puts the card
// back in the slot; false when the folder cannot be made.
bool	CARDHostInsertCard( s32 chan );
// Takes the card out of the slot; its folder is kept.
void	CARDHostPullCard( s32 chan );
// The channel's folder, for tests that edit the files.
const char*	CARDHostCardFolder( s32 chan );

void	CARDHostSetCardState( s32 chan, CARDHostCardState state );
CARDHostCardState	CARDHostGetCardState( s32 chan );
// What a check of a broken card answers (0, the default, repairs it).
void	CARDHostSetCheckResult( s32 chan, s32 result );

// Busy polls before every later asynchronous call of a kind completes.
void	CARDHostSetBusyPolls( CARDHostCall kind, u32 polls );
// Busy polls of the next asynchronous call started, whatever its kind.
void	CARDHostSetNextBusyPolls( u32 polls );
// The next call of a kind gives this result and has no effect.
void	CARDHostQueueResult( CARDHostCall kind, s32 result );

// The next write keeps only its first bytes, then the card is pulled and
// the write completes with CARD_RESULT_NOCARD.
void	CARDHostArmInterruptedWrite( s32 chan, u32 bytesKept );

// Calls started so far of a kind, and asynchronous calls completed.
u32		CARDHostCallCount( CARDHostCall kind );
// Asynchronous calls started (the synchronous ones not counted).
u32		CARDHostAsyncStartCount();
// True while an asynchronous call of the channel is in flight.
bool	CARDHostIsBusy( s32 chan );

#endif
