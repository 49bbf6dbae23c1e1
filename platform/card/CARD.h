/*
===============================================================================

	Memory card library, host version.

	Two card slots (channels 0 and 1), each standing for a card kept in a
	host folder so that saves survive runs (see CARDHost.h for the layout).
	A card is mounted with a work area before anything but the probe may
	touch it; files are created in whole sectors, written in whole sectors
	and read in 512-byte units.

	Asynchronous calls never block: a start returns 0 (or an error at
	once, CARD_RESULT_BUSY while another call of the channel is in flight)
	and CARDGetResultCode answers CARD_RESULT_BUSY until the call completes;
	the poll that completes it applies its effect and returns its result.
	The host takes no completion callbacks: results are polled. Synchronous
	calls complete at once. Every result becomes the channel's result code.

===============================================================================
*/
#ifndef CARD_H
#define CARD_H

#include "platform/types/PlatformTypes.h"

// Results.
constexpr s32 CARD_RESULT_READY			= 0;
constexpr s32 CARD_RESULT_BUSY			= -1;
constexpr s32 CARD_RESULT_NOCARD		= -3;
constexpr s32 CARD_RESULT_NOFILE		= -4;
constexpr s32 CARD_RESULT_IOERROR		= -5;
constexpr s32 CARD_RESULT_BROKEN		= -6;
constexpr s32 CARD_RESULT_EXIST			= -7;
constexpr s32 CARD_RESULT_NOENT			= -8;
constexpr s32 CARD_RESULT_INSSPACE		= -9;
constexpr s32 CARD_RESULT_LIMIT			= -11;
constexpr s32 CARD_RESULT_NAMETOOLONG	= -12;
constexpr s32 CARD_RESULT_ENCODING		= -13;
constexpr s32 CARD_RESULT_FATAL_ERROR	= -128;

constexpr s32 CARD_SLOT_A				= 0;
constexpr s32 CARD_SLOT_B				= 1;
constexpr s32 CARD_CHANNEL_COUNT		= 2;

// Bytes of the work area CARDMount needs.
constexpr u32 CARD_WORKAREA_SIZE		= 40960;
// Longest file name; a name of exactly this length has no terminator.
constexpr u32 CARD_FILENAME_MAX			= 32;
// Files one card can hold.
constexpr u32 CARD_MAX_FILE				= 127;
// Reads move whole units of this many bytes.
constexpr u32 CARD_READ_SIZE			= 512;

// Status: an address of all ones means "none".
constexpr u32 CARD_STAT_ADDRESS_NONE	= 0xFFFFFFFF;
// Status: icon formats (two bits per icon, icon 0 in the lowest).
constexpr u16 CARD_STAT_ICON_NONE		= 0;
constexpr u16 CARD_STAT_ICON_C8			= 1;
constexpr u16 CARD_STAT_ICON_RGB5A3		= 2;
// Status: icon speeds (two bits per icon).
constexpr u16 CARD_STAT_SPEED_END		= 0;
constexpr u16 CARD_STAT_SPEED_FAST		= 1;
constexpr u16 CARD_STAT_SPEED_MIDDLE	= 2;
constexpr u16 CARD_STAT_SPEED_SLOW		= 3;
// Status: banner formats.
constexpr u8  CARD_STAT_BANNER_NONE		= 0;

// An open file.
struct CARDFileInfo {
	s32		chan;			// -1 once closed
	s32		fileNo;
	s32		offset;
	s32		length;
};

// A file's status.
struct CARDStat {
	char	fileName[CARD_FILENAME_MAX];	// unterminated at 32 characters
	u32		length;			// bytes, whole sectors
	u32		time;			// seconds of the console clock at the last change
	u32		commentAddr;	// offset of the 64-byte comment, or none
	u32		iconAddr;		// offset of the icons, or none
	u16		iconFormat;
	u16		iconSpeed;
	u8		bannerFormat;
};

// Prepares the library and loads the cards found in the memory-card
// folder; makes slot A's card when neither slot has one.
void	CARDInit();

// Card size in megabits and sector size in bytes; works unmounted.
s32		CARDProbeEx( s32 chan, s32* memSize, s32* sectorSize );

s32		CARDMountAsync( s32 chan, void* workArea );
s32		CARDMount( s32 chan, void* workArea );
s32		CARDUnmount( s32 chan );
// Checks (and, as far as it can, repairs) the card's file system.
s32		CARDCheckAsync( s32 chan );
s32		CARDCheck( s32 chan );
// Erases every file.
s32		CARDFormat( s32 chan );

// size: whole sectors. fileInfo is open on the new file once it completes.
s32		CARDCreateAsync( s32 chan, const char* fileName, u32 size, CARDFileInfo* fileInfo );
s32		CARDOpen( s32 chan, const char* fileName, CARDFileInfo* fileInfo );
s32		CARDClose( CARDFileInfo* fileInfo );
// length and offset in 512-byte units.
s32		CARDReadAsync( CARDFileInfo* fileInfo, void* buffer, s32 length, s32 offset );
// length and offset in whole sectors.
s32		CARDWriteAsync( CARDFileInfo* fileInfo, const void* buffer, s32 length, s32 offset );
s32		CARDDeleteAsync( s32 chan, const char* fileName );

s32		CARDGetStatus( s32 chan, s32 fileNo, CARDStat* stat );
// Changes the comment and icon fields of the status; name and length stay.
s32		CARDSetStatus( s32 chan, s32 fileNo, const CARDStat* stat );
// Free bytes (whole free sectors) and free directory entries.
s32		CARDFreeBlocks( s32 chan, s32* bytesNotUsed, s32* filesNotUsed );

// The channel's result: CARD_RESULT_BUSY while a call is in flight.
s32		CARDGetResultCode( s32 chan );

#endif
