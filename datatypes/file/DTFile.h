/*
===============================================================================

	Disc file access.

	Every disc read of the engine goes through these calls. A handle reads
	its file through a 32 KB buffer, one asynchronous chunk read at a time;
	while a chunk is in flight the drive status is polled once per video
	retrace, and a missing disc, an open cover, a wrong disc or a read error
	puts a full-screen message up until the drive recovers. The reset button
	is honoured on every poll. A failed chunk is requested again forever.

	At most eight files are open at once, read or written. The console's
	disc cannot be written: without a write hook, writing, seeking and
	deleting only print that they are unimplemented, and a mode starting
	with 'w' opens the disc file like any other. A host installs the hook
	(DTSetFileWriteHook) to give them a place to write; then a 'w' open
	creates or empties the file there, and the three calls work. Line
	reading is never available.

	Other code reads and sets a handle's `offset` directly and passes the
	handle itself as the disc library's file record, so `fileInfo` stays the
	first member. An offset of 0xFFFFFFFF means "not open".

===============================================================================
*/
#ifndef DT_FILE_H
#define DT_FILE_H

#include "datatypes/base/DTTypes.h"
#include "platform/dvd/DVD.h"

// Bytes of one chunk read, and of a handle's buffer.
constexpr u32 DVD_READ_SIZE			= 0x8000;

// Handles that can be open at once.
constexpr u32 DT_FILE_HANDLE_COUNT	= 8;

// Bytes of gCurrFileName, terminator included.
constexpr u32 DT_FILE_NAME_MAX		= 512;

// Offset of a handle that is not open.
constexpr u32 DT_FILE_OFFSET_NONE	= 0xFFFFFFFF;

// bufferedChunk while the buffer holds no completed chunk.
constexpr u32 DT_FILE_NO_CHUNK		= 0xFFFFFFFF;

// Values of geDVDState.
constexpr s32 DT_DVD_STATE_DONE		= 0;
constexpr s32 DT_DVD_STATE_READING	= 1;
constexpr s32 DT_DVD_STATE_FAILED	= -1;

struct DTFileHandle_ {
	// The open file; first, so the handle is also the disc file record.
	DVDFileInfo			fileInfo;
	// Read position in the file; DT_FILE_OFFSET_NONE while not open.
	u32					offset;
	// 1 while the handle is open.
	u32					mui32InUse;
	// The chunk last read; the disc transfer needs 32-byte alignment.
	alignas( 32 ) u8	readBuffer[DVD_READ_SIZE];
	// Chunk whose read into readBuffer completed, or DT_FILE_NO_CHUNK.
	u32					bufferedChunk;

						DTFileHandle_();
};

// Hooks of the text persist stream: fscanf / fprintf over a handle. The
// engine installs none; they stay null.
typedef s32 ( *DTFileScanHook )( DTFileHandle_* file, const char* format, ... );
typedef s32 ( *DTFilePrintHook )( DTFileHandle_* file, const char* format, ... );

// Origins of DTFseek.
constexpr s32 DT_SEEK_SET			= 0;
constexpr s32 DT_SEEK_CUR			= 1;
constexpr s32 DT_SEEK_END			= 2;

// Where a host lets the game write disc files. Every function is given.
struct DTFileWriteHook {
	// Creates or empties the file at path (converted, '/' separators) and
	// opens it into fileInfo; FALSE when it cannot.
	BOOL				( *create )( const char* path, DVDFileInfo* fileInfo );
	// Writes length bytes at offset of an open file: the bytes written,
	// or -1.
	s32					( *write )( DVDFileInfo* fileInfo, const void* src, u32 length, u32 offset );
	// Deletes a written file: 0, or -1.
	s32					( *remove )( const char* path );
};

// Installs the write hook (null: none, the console's behaviour). The table
// must outlive its use. Returns the previous one.
const DTFileWriteHook*	DTSetFileWriteHook( const DTFileWriteHook* hook );

extern DTFileHandle_	gFileHandleArray[DT_FILE_HANDLE_COUNT];
// The converted path of the last open.
extern char				gCurrFileName[DT_FILE_NAME_MAX];
// DT_DVD_STATE_*: written by the chunk read's completion at interrupt level.
extern volatile s32		geDVDState;
extern DTFileScanHook	fnFscanf;
extern DTFilePrintHook	fnFprintf;

// Opens the disc file at path ('\' or '/' separators). With a write hook, a
// mode starting with 'w' creates or empties the file; any other mode reads.
// Null when all handles are in use, the path is too long, not on the disc
// or cannot be created.
DTFileHandle_*	DTFopen( const char* path, const char* mode );

// Reads size x count bytes at the handle's offset into dest and advances
// the offset. Returns the bytes read: fewer at the end of the file, and the
// unread part of dest is left as it was.
u32				DTFread( void* dest, u32 size, u32 count, DTFileHandle_* file );

// Closes the file: DVDClose's result, or -1 when the handle is not open.
s32				DTFclose( DTFileHandle_* file );

// Length of an open file in bytes.
u32				DTFsize( DTFileHandle_* file );
// Length of the file at path, 0 when it cannot be opened.
u32				DTFsize( const char* path );

// Handles in use before the first free one.
u32				DTNbrFileInUse();

// Without a write hook these three print that they are unimplemented and
// return 0. With one: DTFwrite writes size x count bytes at the handle's
// offset and returns the whole elements written; DTFseek moves the offset
// (DT_SEEK_*) and returns 0, or -1 for a handle not open or a position
// outside the file's 32-bit range; DTUnlink deletes a written file, 0 or -1.
u32				DTFwrite( const void* src, u32 size, u32 count, DTFileHandle_* file );
s32				DTFseek( DTFileHandle_* file, s32 offset, s32 origin );
s32				DTUnlink( const char* path );
// Unavailable on this platform: prints that it is unimplemented.
s32				DTFputs( const char* text, DTFileHandle_* file );
// Reads nothing and returns null: no line is ever delivered.
char*			DTFgets( char* buffer, s32 size, DTFileHandle_* file );

// Debug print through the C library; returns 0.
s32				DTPrintf( const char* format, ... ) __attribute__( ( format( printf, 1, 2 ) ) );

#endif
