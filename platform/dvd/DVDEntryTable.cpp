#include "platform/dvd/DVDEntryTable.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

// Longest single name the host file systems allow.
constexpr u32 NAME_LENGTH_MAX = 255;

char**	entries = nullptr;		// host path of each entry, malloc'd
u32		entryCount = 0;
u32		entryCapacity = 0;

bool IsSeparator( const char c ) {
	return c == '/' || c == '\\';
}

// True when only separators remain.
bool IsLastComponent( const char* rest ) {
	for ( ; *rest != 0; ++rest ) {
		if ( !IsSeparator( *rest ) ) {
			return false;
		}
	}
	return true;
}

bool HasKind( const char* hostPath, const bool wantDirectory ) {
	struct stat info;
	if ( stat( hostPath, &info ) != 0 ) {
		return false;
	}
	return wantDirectory ? S_ISDIR( info.st_mode ) : S_ISREG( info.st_mode );
}

// Appends "/name" to path (holding used bytes) if it fits.
bool AppendName( char* path, const u32 used, const char* name, u32* newUsed ) {
	const size_t nameLength = std::strlen( name );
	if ( used + 1 + nameLength + 1 > DVD_HOST_PATH_MAX ) {
		return false;
	}
	path[used] = '/';
	std::memcpy( path + used + 1, name, nameLength + 1 );
	*newUsed = used + 1 + static_cast<u32>( nameLength );
	return true;
}

// Finds in the folder path[0..used) the name that matches component and
// has the wanted kind, and appends it to path.
bool MatchComponent( char* path, const u32 used, const char* component, const bool wantDirectory, u32* newUsed ) {
	path[used] = 0;
	DIR* folder = opendir( path );
	if ( folder == nullptr ) {
		return false;
	}
	char best[NAME_LENGTH_MAX + 1];
	best[0] = 0;
	bool exact = false;
	for ( const dirent* item = readdir( folder ); item != nullptr && !exact; item = readdir( folder ) ) {
		const char* name = item->d_name;
		if ( std::strcmp( name, "." ) == 0 || std::strcmp( name, ".." ) == 0 ||
			 std::strlen( name ) > NAME_LENGTH_MAX || strcasecmp( name, component ) != 0 ) {
			continue;
		}
		u32 candidateUsed = 0;
		if ( !AppendName( path, used, name, &candidateUsed ) || !HasKind( path, wantDirectory ) ) {
			continue;
		}
		exact = std::strcmp( name, component ) == 0;
		if ( exact || best[0] == 0 || std::strcmp( name, best ) < 0 ) {
			std::strcpy( best, name );
		}
	}
	closedir( folder );
	path[used] = 0;
	return best[0] != 0 && AppendName( path, used, best, newUsed );
}

// Appends component to path as a new name: a folder is made on the way,
// a file is only named (its creator makes it).
bool AddMissing( char* path, const u32 used, const char* component, const bool wantDirectory, u32* newUsed ) {
	path[used] = 0;
	if ( !AppendName( path, used, component, newUsed ) ) {
		return false;
	}
	if ( !wantDirectory ) {
		return true;
	}
	return mkdir( path, 0755 ) == 0 || HasKind( path, true );
}

// Builds the host path of discPath under discFolder into path. With
// forWrite, missing folders are made and a missing file is named as given.
bool Resolve( const char* discFolder, const char* discPath, char* path, const bool forWrite ) {
	size_t rootLength = std::strlen( discFolder );
	while ( rootLength > 1 && discFolder[rootLength - 1] == '/' ) {
		--rootLength;
	}
	if ( rootLength == 0 || rootLength + 1 > DVD_HOST_PATH_MAX ) {
		return false;
	}
	std::memcpy( path, discFolder, rootLength );
	path[rootLength] = 0;

	// Where each component begins, so that ".." can step back.
	u32 starts[DVD_HOST_PATH_MAX / 2];
	u32 depth = 0;
	u32 used = static_cast<u32>( rootLength );
	bool foundFile = false;

	const char* cursor = discPath;
	while ( *cursor != 0 ) {
		while ( IsSeparator( *cursor ) ) {
			++cursor;
		}
		const char* begin = cursor;
		while ( *cursor != 0 && !IsSeparator( *cursor ) ) {
			++cursor;
		}
		const size_t length = static_cast<size_t>( cursor - begin );
		if ( length == 0 || ( length == 1 && begin[0] == '.' ) ) {
			continue;
		}
		if ( length > NAME_LENGTH_MAX || foundFile ) {
			return false;
		}
		char component[NAME_LENGTH_MAX + 1];
		std::memcpy( component, begin, length );
		component[length] = 0;
		if ( std::strcmp( component, ".." ) == 0 ) {
			if ( depth == 0 ) {
				return false;
			}
			used = starts[--depth];
			path[used] = 0;
			continue;
		}
		const bool last = IsLastComponent( cursor );
		starts[depth] = used;
		if ( depth + 1 >= sizeof( starts ) / sizeof( starts[0] ) ) {
			return false;
		}
		if ( !MatchComponent( path, used, component, !last, &used ) &&
			 ( !forWrite || !AddMissing( path, starts[depth], component, !last, &used ) ) ) {
			return false;
		}
		++depth;
		foundFile = last;
	}
	return foundFile;
}

}

s32 DVDEntryTableLookup( const char* discFolder, const char* discPath ) {
	if ( discFolder == nullptr || discPath == nullptr ) {
		return -1;
	}
	char path[DVD_HOST_PATH_MAX];
	if ( !Resolve( discFolder, discPath, path, false ) ) {
		return -1;
	}
	for ( u32 i = 0; i < entryCount; ++i ) {
		if ( std::strcmp( entries[i], path ) == 0 ) {
			return static_cast<s32>( i );
		}
	}
	if ( entryCount >= DVD_ENTRY_MAX ) {
		return -1;
	}
	if ( entryCount == entryCapacity ) {
		const u32 capacity = entryCapacity == 0 ? 64 : entryCapacity * 2;
		char** grown = static_cast<char**>( std::realloc( entries, capacity * sizeof( char* ) ) );
		if ( grown == nullptr ) {
			return -1;
		}
		entries = grown;
		entryCapacity = capacity;
	}
	char* copy = strdup( path );
	if ( copy == nullptr ) {
		return -1;
	}
	entries[entryCount] = copy;
	return static_cast<s32>( entryCount++ );
}

bool DVDEntryTableResolveForWrite( const char* folder, const char* discPath, char* hostPath ) {
	return folder != nullptr && discPath != nullptr && Resolve( folder, discPath, hostPath, true );
}

const char* DVDEntryTableHostPath( const s32 entryNum ) {
	if ( entryNum < 0 || static_cast<u32>( entryNum ) >= entryCount ) {
		return nullptr;
	}
	return entries[entryNum];
}

void DVDEntryTableReset() {
	for ( u32 i = 0; i < entryCount; ++i ) {
		std::free( entries[i] );
	}
	std::free( entries );
	entries = nullptr;
	entryCount = 0;
	entryCapacity = 0;
}
