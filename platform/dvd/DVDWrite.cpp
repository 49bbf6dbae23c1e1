#include "platform/dvd/DVD.h"
#include "platform/dvd/DVDHost.h"

#include "platform/dvd/DVDDrive.h"
#include "platform/dvd/DVDEntryTable.h"
#include "platform/host/HostSettings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* WriteFolder() {
	const char* folder = HostGetSettings().discWriteFolder;
	return folder[0] != 0 ? folder : nullptr;
}

// True when hostPath lies below the write folder, as the entry table
// builds such paths (the folder without its trailing separators).
bool InWriteFolder( const char* hostPath ) {
	const char* folder = WriteFolder();
	if ( folder == nullptr || hostPath == nullptr ) {
		return false;
	}
	size_t length = std::strlen( folder );
	while ( length > 1 && folder[length - 1] == '/' ) {
		--length;
	}
	return std::strncmp( hostPath, folder, length ) == 0 && hostPath[length] == '/';
}

}

BOOL DVDHostCreate( const char* path, DVDFileInfo* fileInfo ) {
	const char* folder = WriteFolder();
	if ( !DVDHostIsInitialised() || folder == nullptr || path == nullptr || fileInfo == nullptr ||
		 DVDDriveIsPending( fileInfo ) ) {
		return 0;
	}
	char hostPath[DVD_HOST_PATH_MAX];
	if ( !DVDEntryTableResolveForWrite( folder, path, hostPath ) ) {
		return 0;
	}
	const s32 descriptor = open( hostPath, O_WRONLY | O_CREAT | O_TRUNC, 0644 );
	if ( descriptor < 0 ) {
		return 0;
	}
	close( descriptor );
	const s32 entryNum = DVDEntryTableLookup( folder, path );
	return entryNum >= 0 && DVDFastOpen( entryNum, fileInfo );
}

s32 DVDHostWrite( DVDFileInfo* fileInfo, const void* src, const u32 length, const u32 offset ) {
	if ( !DVDHostIsInitialised() || fileInfo == nullptr || fileInfo->entryNum < 0 || ( src == nullptr && length > 0 ) ) {
		return -1;
	}
	const char* hostPath = DVDEntryTableHostPath( fileInfo->entryNum );
	if ( !InWriteFolder( hostPath ) || static_cast<u64>( offset ) + length > 0xFFFFFFFFull ||
		 length > 0x7FFFFFFFu ) {
		return -1;
	}
	const s32 descriptor = open( hostPath, O_WRONLY );
	if ( descriptor < 0 ) {
		return -1;
	}
	const u8* bytes = static_cast<const u8*>( src );
	u32 done = 0;
	while ( done < length ) {
		const ssize_t put = pwrite( descriptor, bytes + done, length - done, static_cast<off_t>( offset ) + done );
		if ( put < 0 && errno == EINTR ) {
			continue;
		}
		if ( put <= 0 ) {
			break;
		}
		done += static_cast<u32>( put );
	}
	close( descriptor );
	if ( offset + done > fileInfo->length ) {
		fileInfo->length = offset + done;
	}
	return static_cast<s32>( done );
}

s32 DVDHostDelete( const char* path ) {
	const char* folder = WriteFolder();
	if ( !DVDHostIsInitialised() || folder == nullptr || path == nullptr ) {
		return -1;
	}
	const char* hostPath = DVDEntryTableHostPath( DVDEntryTableLookup( folder, path ) );
	if ( hostPath == nullptr ) {
		return -1;
	}
	return unlink( hostPath ) == 0 ? 0 : -1;
}
