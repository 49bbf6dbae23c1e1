#include "datatypes/file/DTFile.h"

#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/file/DTDiscMessage.h"
#include "platform/host/HostEventQueue.h"
#include "platform/pad/PAD.h"
#include "platform/vi/VI.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

DTFileHandle_	gFileHandleArray[DT_FILE_HANDLE_COUNT];
char			gCurrFileName[DT_FILE_NAME_MAX];
volatile s32	geDVDState = DT_DVD_STATE_DONE;
DTFileScanHook	fnFscanf = nullptr;
DTFilePrintHook	fnFprintf = nullptr;

namespace {

const DTFileWriteHook*	gWriteHook = nullptr;

// Disc transfers are whole multiples of 32 bytes.
constexpr u32 DVD_TRANSFER_ALIGN = 32;

// Drive states that put a message on screen, and the message each shows.
struct DriveMessage {
	s32		driveState;
	s32		messageIndex;
};

constexpr DriveMessage DRIVE_MESSAGES[] = {
	{ DVD_STATE_NO_DISK,	DT_DISC_MESSAGE_INSERT_DISC },
	{ DVD_STATE_COVER_OPEN,	DT_DISC_MESSAGE_COVER_OPEN },
	{ DVD_STATE_WRONG_DISK,	DT_DISC_MESSAGE_WRONG_DISC },
	{ DVD_STATE_RETRY,		DT_DISC_MESSAGE_UNREADABLE },
};

// Copies path into out with every back-slash turned into a slash. False,
// writing nothing, when the path and its terminator do not fit.
bool ConvertPath( const char* path, char* out ) {
	if ( path == nullptr ) {
		return false;
	}
	const size_t length = strnlen( path, DT_FILE_NAME_MAX );
	if ( length >= DT_FILE_NAME_MAX ) {
		return false;
	}
	for ( size_t i = 0; i < length; i++ ) {
		out[i] = path[i] == '\\' ? '/' : path[i];
	}
	out[length] = '\0';
	return true;
}

// Runs at interrupt level: only publishes the outcome.
void OnChunkRead( const s32 result, DVDFileInfo* fileInfo ) {
	DTFileHandle_* file = reinterpret_cast<DTFileHandle_*>( fileInfo );
	if ( result < 0 ) {
		geDVDState = DT_DVD_STATE_FAILED;
		return;
	}
	file->bufferedChunk = file->fileInfo.cb.offset / DVD_READ_SIZE;
	geDVDState = DT_DVD_STATE_DONE;
}

// Starts the read of chunk k into the handle's buffer, asking again until
// the drive accepts the request.
void ReadChunk( DTFileHandle_* file, const u32 chunk ) {
	const u64 rounded = ( static_cast<u64>( file->fileInfo.length ) + DVD_TRANSFER_ALIGN - 1 ) & ~static_cast<u64>( DVD_TRANSFER_ALIGN - 1 );
	const u64 start = static_cast<u64>( chunk ) * DVD_READ_SIZE;
	const u64 rest = rounded > start ? rounded - start : 0;
	const u32 length = static_cast<u32>( rest < DVD_READ_SIZE ? rest : DVD_READ_SIZE );

	file->bufferedChunk = DT_FILE_NO_CHUNK;
	geDVDState = DT_DVD_STATE_READING;
	while ( !DVDReadAsyncPrio( &file->fileInfo, file->readBuffer, static_cast<s32>( length ),
							   static_cast<s32>( start ), OnChunkRead, DVD_PRIO_NORMAL ) ) {
		HostIdle();
	}
}

// One turn of the wait for a drive that is not idle.
void PollTurn( const s32 driveState ) {
	VIWaitForRetrace();
	PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
	for ( const DriveMessage& message : DRIVE_MESSAGES ) {
		if ( message.driveState == driveState ) {
			DisplayMessageWithRomFont( GetLocalizedMessage( message.messageIndex ) );
			break;
		}
	}
	CheckReset();
}

// Waits for the chunk in flight. The drive can report idle a moment before
// the completion arrives, and the buffer only holds the chunk after it, so
// the wait goes on until the read state itself changes.
void WaitForChunk() {
	while ( geDVDState == DT_DVD_STATE_READING ) {
		s32 driveState = DVDGetDriveStatus();
		while ( driveState != DVD_STATE_END ) {
			PollTurn( driveState );
			driveState = DVDGetDriveStatus();
		}
		if ( geDVDState == DT_DVD_STATE_READING ) {
			HostIdle();
		}
	}
}

}

DTFileHandle_::DTFileHandle_() :
	fileInfo(),
	offset( DT_FILE_OFFSET_NONE ),
	mui32InUse( 0 ),
	readBuffer(),
	bufferedChunk( DT_FILE_NO_CHUNK ) {
	fileInfo.entryNum = -1;
}

const DTFileWriteHook* DTSetFileWriteHook( const DTFileWriteHook* hook ) {
	const DTFileWriteHook* const previous = gWriteHook;
	gWriteHook = hook;
	return previous;
}

DTFileHandle_* DTFopen( const char* path, const char* mode ) {
	DTFileHandle_* file = nullptr;
	for ( DTFileHandle_& candidate : gFileHandleArray ) {
		if ( candidate.mui32InUse == 0 ) {
			file = &candidate;
			break;
		}
	}
	if ( file == nullptr ) {
		DTPrintf( "Trop de fichiers ouvert en meme temps (> 8).\n" );
		return nullptr;
	}
	file->mui32InUse = 1;
	file->bufferedChunk = DT_FILE_NO_CHUNK;
	const bool writing = gWriteHook != nullptr && mode != nullptr && mode[0] == 'w';
	bool opened = ConvertPath( path, gCurrFileName );
	if ( opened && writing ) {
		opened = gWriteHook->create( gCurrFileName, &file->fileInfo ) != 0;
	} else if ( opened ) {
		opened = DVDConvertPathToEntrynum( gCurrFileName ) >= 0 && DVDOpen( gCurrFileName, &file->fileInfo );
	}
	if ( !opened ) {
		file->mui32InUse = 0;
		file->offset = DT_FILE_OFFSET_NONE;
		return nullptr;
	}
	file->offset = 0;
	return file;
}

u32 DTFread( void* dest, const u32 size, const u32 count, DTFileHandle_* file ) {
	if ( file == nullptr || file->mui32InUse == 0 ) {
		return 0;
	}
	// The product is taken in 64 bits: it is cut to the bytes left anyway.
	const u64 wanted = static_cast<u64>( size ) * count;
	const u32 length = file->fileInfo.length;
	if ( wanted == 0 || file->offset >= length ) {
		return 0;
	}
	const u32 left = length - file->offset;
	const u32 total = wanted < left ? static_cast<u32>( wanted ) : left;

	u8* out = static_cast<u8*>( dest );
	u32 remaining = total;
	while ( remaining > 0 ) {
		const u32 chunk = file->offset / DVD_READ_SIZE;
		const u32 inChunk = file->offset % DVD_READ_SIZE;
		if ( inChunk == 0 || file->bufferedChunk != chunk ) {
			ReadChunk( file, chunk );
		}
		WaitForChunk();
		if ( geDVDState == DT_DVD_STATE_FAILED ) {
			continue;
		}
		const u32 room = DVD_READ_SIZE - inChunk;
		const u32 copy = room < remaining ? room : remaining;
		std::memcpy( out, file->readBuffer + inChunk, copy );
		out += copy;
		file->offset += copy;
		remaining -= copy;
	}
	return total;
}

s32 DTFclose( DTFileHandle_* file ) {
	if ( file == nullptr || file->mui32InUse == 0 ) {
		return -1;
	}
	const s32 result = DVDClose( &file->fileInfo );
	file->mui32InUse = 0;
	file->offset = DT_FILE_OFFSET_NONE;
	file->bufferedChunk = DT_FILE_NO_CHUNK;
	return result;
}

u32 DTFsize( DTFileHandle_* file ) {
	return file != nullptr ? file->fileInfo.length : 0;
}

u32 DTFsize( const char* path ) {
	char converted[DT_FILE_NAME_MAX];
	DVDFileInfo info = {};
	if ( !ConvertPath( path, converted ) || !DVDOpen( converted, &info ) ) {
		return 0;
	}
	const u32 length = info.length;
	DVDClose( &info );
	return length;
}

u32 DTNbrFileInUse() {
	u32 count = 0;
	while ( count < DT_FILE_HANDLE_COUNT && gFileHandleArray[count].mui32InUse != 0 ) {
		count++;
	}
	return count;
}

u32 DTFwrite( const void* src, const u32 size, const u32 count, DTFileHandle_* file ) {
	if ( gWriteHook == nullptr ) {
		DTPrintf( "DTFwrite Unimplemented function\n" );
		return 0;
	}
	if ( file == nullptr || file->mui32InUse == 0 || size == 0 || count == 0 ) {
		return 0;
	}
	const u64 wanted = static_cast<u64>( size ) * count;
	if ( wanted > 0x7FFFFFFFu ) {
		return 0;
	}
	const s32 written = gWriteHook->write( &file->fileInfo, src, static_cast<u32>( wanted ), file->offset );
	if ( written <= 0 ) {
		return 0;
	}
	// The buffered chunk may hold the bytes before this write.
	file->bufferedChunk = DT_FILE_NO_CHUNK;
	file->offset += static_cast<u32>( written );
	return static_cast<u32>( written ) / size;
}

s32 DTFseek( DTFileHandle_* file, const s32 offset, const s32 origin ) {
	if ( gWriteHook == nullptr ) {
		DTPrintf( "DTFseek Unimplemented function\n" );
		return 0;
	}
	if ( file == nullptr || file->mui32InUse == 0 ) {
		return -1;
	}
	s64 base = 0;
	if ( origin == DT_SEEK_CUR ) {
		base = file->offset;
	} else if ( origin == DT_SEEK_END ) {
		base = file->fileInfo.length;
	} else if ( origin != DT_SEEK_SET ) {
		return -1;
	}
	// The read path loads whichever chunk the new offset falls in.
	const s64 position = base + offset;
	if ( position < 0 || position >= static_cast<s64>( DT_FILE_OFFSET_NONE ) ) {
		return -1;
	}
	file->offset = static_cast<u32>( position );
	return 0;
}

s32 DTUnlink( const char* path ) {
	if ( gWriteHook == nullptr ) {
		DTPrintf( "DTUnlink Unimplemented function\n" );
		return 0;
	}
	char converted[DT_FILE_NAME_MAX];
	if ( !ConvertPath( path, converted ) ) {
		return -1;
	}
	return gWriteHook->remove( converted ) == 0 ? 0 : -1;
}

s32 DTFputs( const char* /*text*/, DTFileHandle_* /*file*/ ) {
	DTPrintf( "DTFputs Unimplemented function\n" );
	return 0;
}

char* DTFgets( char* /*buffer*/, s32 /*size*/, DTFileHandle_* /*file*/ ) {
	DTPrintf( "DTFgets Unimplemented function\n" );
	return nullptr;
}

s32 DTPrintf( const char* format, ... ) {
	va_list args;
	va_start( args, format );
	vprintf( format, args );
	va_end( args );
	return 0;
}
