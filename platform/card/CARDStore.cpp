#include "platform/card/CARDStore.h"

#include "platform/card/CARDHost.h"
#include "platform/host/HostSettings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const	DIRECTORY_FILE		= "directory.txt";
const char* const	GEOMETRY_FILE		= "card.cfg";
// Temporary files start with '%' followed by no hex digits, which no
// stored file name can.
const char* const	TEMPORARY_FILE		= "%new";
// Bytes of a stored name: every character as %XX, and a terminator.
constexpr u32		STORED_NAME_MAX		= CARD_FILENAME_MAX * 3 + 1;
// Largest geometry the host accepts: a 128-megabit card.
constexpr u32		SECTORS_MAX			= 4096;
constexpr u32		SECTOR_SIZE_MAX		= 128 * 1024;
// Longest directory line read.
constexpr u32		LINE_MAX			= 512;

bool KeptInName( const u8 c ) {
	return ( c >= 'a' && c <= 'z' ) || ( c >= 'A' && c <= 'Z' ) || ( c >= '0' && c <= '9' ) ||
		   c == '-' || c == '_' || c == '.';
}

// The host name of a card file. A first character that would make a
// hidden file or one of the card's own files is escaped too.
void StoredName( const char* name, char* stored ) {
	u32 length = 0;
	while ( length < CARD_FILENAME_MAX && name[length] != 0 ) {
		length++;
	}
	const bool reserved = ( length > 0 && name[0] == '.' ) ||
						  std::strncmp( name, DIRECTORY_FILE, CARD_FILENAME_MAX ) == 0 ||
						  std::strncmp( name, GEOMETRY_FILE, CARD_FILENAME_MAX ) == 0;
	char* out = stored;
	for ( u32 i = 0; i < length; i++ ) {
		const u8 c = static_cast<u8>( name[i] );
		if ( KeptInName( c ) && !( i == 0 && reserved ) ) {
			*out++ = static_cast<char>( c );
		} else {
			out += std::snprintf( out, 4, "%%%02X", c );
		}
	}
	*out = 0;
}

bool UnescapeName( const char* stored, char* name ) {
	std::memset( name, 0, CARD_FILENAME_MAX );
	u32 length = 0;
	for ( const char* in = stored; *in != 0; length++ ) {
		if ( length == CARD_FILENAME_MAX ) {
			return false;
		}
		if ( *in == '%' ) {
			char hex[3] = { in[1], in[1] != 0 ? in[2] : static_cast<char>( 0 ), 0 };
			char* end = nullptr;
			const unsigned long value = std::strtoul( hex, &end, 16 );
			if ( end != hex + 2 || value == 0 ) {
				return false;
			}
			name[length] = static_cast<char>( value );
			in += 3;
		} else {
			if ( !KeptInName( static_cast<u8>( *in ) ) ) {
				return false;
			}
			name[length] = *in++;
		}
	}
	return length > 0;
}

void PathOf( const CARDStore& store, const char* leaf, char* path ) {
	std::snprintf( path, CARD_STORE_PATH_MAX, "%s/%s", store.folder, leaf );
}

void FilePath( const CARDStore& store, const s32 fileNo, char* path ) {
	char stored[STORED_NAME_MAX];
	StoredName( store.stat[fileNo].fileName, stored );
	PathOf( store, stored, path );
}

// Writes bytes to path through a temporary file and a rename.
bool ReplaceFile( const CARDStore& store, const char* path, const u8* bytes, const u32 length ) {
	char temporary[CARD_STORE_PATH_MAX];
	PathOf( store, TEMPORARY_FILE, temporary );
	FILE* const file = std::fopen( temporary, "wb" );
	if ( file == nullptr ) {
		return false;
	}
	const bool written = length == 0 || std::fwrite( bytes, 1, length, file ) == length;
	if ( std::fclose( file ) != 0 || !written ) {
		std::remove( temporary );
		return false;
	}
	return std::rename( temporary, path ) == 0;
}

void LoadGeometry( CARDStore& store ) {
	store.sectorSize = CARD_HOST_DEFAULT_SECTOR_SIZE;
	store.sectors = CARD_HOST_DEFAULT_SECTORS;
	char path[CARD_STORE_PATH_MAX];
	PathOf( store, GEOMETRY_FILE, path );
	FILE* const file = std::fopen( path, "r" );
	if ( file == nullptr ) {
		return;
	}
	char key[32];
	unsigned long value = 0;
	while ( std::fscanf( file, "%31s %lu", key, &value ) == 2 ) {
		// Sizes the card format cannot have are ignored.
		if ( std::strcmp( key, "sectorSize" ) == 0 && value >= 8192 && value <= SECTOR_SIZE_MAX &&
			 ( value & ( value - 1 ) ) == 0 ) {
			store.sectorSize = static_cast<u32>( value );
		} else if ( std::strcmp( key, "sectors" ) == 0 && value > CARD_HOST_SYSTEM_SECTORS && value <= SECTORS_MAX ) {
			store.sectors = static_cast<u32>( value );
		}
	}
	std::fclose( file );
}

// One directory line into its record; false when malformed.
bool ParseLine( const char* line, CARDStore& store ) {
	char stored[LINE_MAX];
	long fileNo = 0;
	unsigned long length = 0, time = 0, comment = 0, icon = 0, iconFormat = 0, iconSpeed = 0, banner = 0;
	s32 consumed = 0;
	if ( std::sscanf( line, "%ld %511s %lu %lu %lx %lx %lx %lx %lx %n", &fileNo, stored, &length, &time, &comment, &icon,
					  &iconFormat, &iconSpeed, &banner, &consumed ) != 9 || line[consumed] != 0 ) {
		return false;
	}
	if ( fileNo < 0 || fileNo >= static_cast<long>( CARD_MAX_FILE ) || store.used[fileNo] || length == 0 ||
		 length % store.sectorSize != 0 || length > 0xFFFFFFFFul || time > 0xFFFFFFFFul || comment > 0xFFFFFFFFul ||
		 icon > 0xFFFFFFFFul || iconFormat > 0xFFFF || iconSpeed > 0xFFFF || banner > 0xFF ) {
		return false;
	}
	CARDStat& stat = store.stat[fileNo];
	if ( !UnescapeName( stored, stat.fileName ) || CARDStoreFind( store, stat.fileName ) >= 0 ) {
		return false;
	}
	stat.length = static_cast<u32>( length );
	stat.time = static_cast<u32>( time );
	stat.commentAddr = static_cast<u32>( comment );
	stat.iconAddr = static_cast<u32>( icon );
	stat.iconFormat = static_cast<u16>( iconFormat );
	stat.iconSpeed = static_cast<u16>( iconSpeed );
	stat.bannerFormat = static_cast<u8>( banner );
	store.used[fileNo] = true;
	return true;
}

u64 TakenSectors( const CARDStore& store ) {
	u64 taken = 0;
	for ( u32 i = 0; i < CARD_MAX_FILE; i++ ) {
		if ( store.used[i] ) {
			taken += store.stat[i].length / store.sectorSize;
		}
	}
	return taken;
}

bool LoadDirectory( CARDStore& store ) {
	char path[CARD_STORE_PATH_MAX];
	PathOf( store, DIRECTORY_FILE, path );
	FILE* const file = std::fopen( path, "r" );
	if ( file == nullptr ) {
		return errno == ENOENT;		// a new card has no directory yet
	}
	char line[LINE_MAX];
	bool good = true;
	while ( good && std::fgets( line, sizeof( line ), file ) != nullptr ) {
		const size_t length = std::strlen( line );
		if ( length == 0 || line[length - 1] != '\n' ) {
			good = false;
			break;
		}
		line[length - 1] = 0;
		good = ParseLine( line, store );
	}
	good = good && !std::ferror( file );
	std::fclose( file );
	return good && TakenSectors( store ) <= CARDStoreFileSectors( store );
}

} // namespace

void CARDStoreFolderOf( const s32 chan, char* folder ) {
	std::snprintf( folder, CARD_STORE_FOLDER_MAX, "%s/%c", HostGetSettings().cardFolder, chan == CARD_SLOT_B ? 'B' : 'A' );
}

bool CARDStoreFolderExists( const char* folder ) {
	struct stat info;
	return ::stat( folder, &info ) == 0 && S_ISDIR( info.st_mode );
}

bool CARDStoreMakeFolder( const char* folder ) {
	// The memory-card folder itself first, then the slot's.
	char parent[CARD_STORE_PATH_MAX];
	std::snprintf( parent, sizeof( parent ), "%s", folder );
	char* const slash = std::strrchr( parent, '/' );
	if ( slash != nullptr && slash != parent ) {
		*slash = 0;
		if ( !CARDStoreFolderExists( parent ) ) {
			::mkdir( parent, 0777 );
		}
	}
	return ( ::mkdir( folder, 0777 ) == 0 || errno == EEXIST ) && CARDStoreFolderExists( folder );
}

void CARDStoreLoad( CARDStore& store ) {
	LoadGeometry( store );
	std::memset( store.used, 0, sizeof( store.used ) );
	std::memset( store.stat, 0, sizeof( store.stat ) );
	store.broken = !LoadDirectory( store );
	if ( store.broken ) {
		std::memset( store.used, 0, sizeof( store.used ) );
	}
}

bool CARDStoreSaveDirectory( const CARDStore& store ) {
	// Each line is at most about 160 bytes; 127 of them fit.
	static char text[CARD_MAX_FILE * 200];
	u32 length = 0;
	for ( u32 i = 0; i < CARD_MAX_FILE; i++ ) {
		if ( !store.used[i] ) {
			continue;
		}
		const CARDStat& stat = store.stat[i];
		char stored[STORED_NAME_MAX];
		StoredName( stat.fileName, stored );
		length += static_cast<u32>( std::snprintf( text + length, sizeof( text ) - length, "%u %s %u %u %08x %08x %04x %04x %02x\n",
											  i, stored, stat.length, stat.time, stat.commentAddr, stat.iconAddr,
											  stat.iconFormat, stat.iconSpeed, stat.bannerFormat ) );
	}
	char path[CARD_STORE_PATH_MAX];
	PathOf( store, DIRECTORY_FILE, path );
	return ReplaceFile( store, path, reinterpret_cast<const u8*>( text ), length );
}

u32 CARDStoreFileSectors( const CARDStore& store ) {
	return store.sectors - CARD_HOST_SYSTEM_SECTORS;
}

u32 CARDStoreFreeSectors( const CARDStore& store ) {
	const u64 taken = TakenSectors( store );
	const u64 total = CARDStoreFileSectors( store );
	return taken >= total ? 0 : static_cast<u32>( total - taken );
}

s32 CARDStoreFind( const CARDStore& store, const char* name ) {
	for ( u32 i = 0; i < CARD_MAX_FILE; i++ ) {
		if ( store.used[i] && std::strncmp( store.stat[i].fileName, name, CARD_FILENAME_MAX ) == 0 ) {
			return static_cast<s32>( i );
		}
	}
	return -1;
}

bool CARDStoreReadFile( const CARDStore& store, const s32 fileNo, u8* buffer, const u32 length, const u32 offset ) {
	char path[CARD_STORE_PATH_MAX];
	FilePath( store, fileNo, path );
	FILE* const file = std::fopen( path, "rb" );
	if ( file == nullptr ) {
		return false;
	}
	const bool read = std::fseek( file, static_cast<long>( offset ), SEEK_SET ) == 0 &&
					  std::fread( buffer, 1, length, file ) == length;
	std::fclose( file );
	return read;
}

bool CARDStoreWriteFile( const CARDStore& store, const s32 fileNo, const u8* buffer, const u32 length, const u32 offset ) {
	const u32 fileLength = store.stat[fileNo].length;
	u8* const bytes = static_cast<u8*>( std::calloc( fileLength, 1 ) );
	if ( bytes == nullptr ) {
		return false;
	}
	// A host file shorter than its record reads as zeros past its end.
	char path[CARD_STORE_PATH_MAX];
	FilePath( store, fileNo, path );
	if ( FILE* const file = std::fopen( path, "rb" ) ) {
		const size_t ignored = std::fread( bytes, 1, fileLength, file );
		( void )ignored;
		std::fclose( file );
	}
	std::memcpy( bytes + offset, buffer, length );
	const bool written = ReplaceFile( store, path, bytes, fileLength );
	std::free( bytes );
	return written;
}

bool CARDStoreCreateFile( const CARDStore& store, const s32 fileNo ) {
	u8* const bytes = static_cast<u8*>( std::calloc( store.stat[fileNo].length, 1 ) );
	if ( bytes == nullptr ) {
		return false;
	}
	char path[CARD_STORE_PATH_MAX];
	FilePath( store, fileNo, path );
	const bool written = ReplaceFile( store, path, bytes, store.stat[fileNo].length );
	std::free( bytes );
	return written;
}

void CARDStoreRemoveFile( const CARDStore& store, const s32 fileNo ) {
	char path[CARD_STORE_PATH_MAX];
	FilePath( store, fileNo, path );
	std::remove( path );
}
