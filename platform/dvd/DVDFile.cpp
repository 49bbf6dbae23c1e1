#include "platform/dvd/DVD.h"
#include "platform/dvd/DVDHost.h"

#include "platform/dvd/DVDDrive.h"
#include "platform/dvd/DVDEntryTable.h"
#include "platform/host/HostSettings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

BOOL DVDHostDiscPresent() {
	const char* folder = HostGetSettings().discFolder;
	struct stat info;
	const bool found = stat( folder, &info ) == 0;
	if ( found && S_ISDIR( info.st_mode ) ) {
		return 1;
	}
	const char* why = found ? "is not a folder"
				: errno == ENOENT || errno == ENOTDIR ? "does not exist" : std::strerror( errno );
	std::fprintf( stderr,
				  "host: no disc: the disc folder \"%s\" (ENGINE_DISC) %s; set ENGINE_DISC to a disc folder, "
				  "such as the sample disc the build writes to build/default/disc\n",
				  folder, why );
	return 0;
}

s32 DVDConvertPathToEntrynum( const char* path ) {
	if ( !DVDHostIsInitialised() || path == nullptr ) {
		return -1;
	}
	// Files the game wrote hide the disc's own.
	const HostSettings& settings = HostGetSettings();
	if ( settings.discWriteFolder[0] != 0 ) {
		const s32 written = DVDEntryTableLookup( settings.discWriteFolder, path );
		if ( written >= 0 ) {
			return written;
		}
	}
	return DVDEntryTableLookup( settings.discFolder, path );
}

BOOL DVDOpen( const char* path, DVDFileInfo* fileInfo ) {
	const s32 entryNum = DVDConvertPathToEntrynum( path );
	if ( entryNum < 0 ) {
		return 0;
	}
	return DVDFastOpen( entryNum, fileInfo );
}

BOOL DVDFastOpen( const s32 entryNum, DVDFileInfo* fileInfo ) {
	if ( !DVDHostIsInitialised() || fileInfo == nullptr || DVDDriveIsPending( fileInfo ) ) {
		return 0;
	}
	const char* hostPath = DVDEntryTableHostPath( entryNum );
	if ( hostPath == nullptr ) {
		return 0;
	}
	// The file may have changed on the host since its entry was made; a disc
	// file cannot be longer than a 32-bit length says.
	struct stat info;
	if ( stat( hostPath, &info ) != 0 || !S_ISREG( info.st_mode ) ||
		 static_cast<u64>( info.st_size ) > 0xFFFFFFFFull ) {
		return 0;
	}
	std::memset( &fileInfo->cb, 0, sizeof( fileInfo->cb ) );
	fileInfo->cb.state = DVD_STATE_END;
	fileInfo->entryNum = entryNum;
	fileInfo->length = static_cast<u32>( info.st_size );
	fileInfo->callback = nullptr;
	return 1;
}

BOOL DVDClose( DVDFileInfo* fileInfo ) {
	if ( fileInfo == nullptr ) {
		return 0;
	}
	if ( DVDDriveIsPending( fileInfo ) ) {
		DVDCancel( &fileInfo->cb );
	}
	fileInfo->entryNum = -1;
	return 1;
}
