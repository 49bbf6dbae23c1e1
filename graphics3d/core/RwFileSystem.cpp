#include "graphics3d/core/RwFileSystem.h"

#include "graphics3d/core/RwEngine.h"

#include <cstdio>

// The host C library behind the table, with the table's fixed-width types.

static FILE* AsFile( void* file ) {
	return static_cast<FILE*>( file );
}

static void* HostFopen( const char* name, const char* mode ) { return std::fopen( name, mode ); }
static s32 HostFclose( void* file ) { return std::fclose( AsFile( file ) ); }

static u32 HostFread( void* buffer, const u32 size, const u32 count, void* file ) {
	return static_cast<u32>( std::fread( buffer, size, count, AsFile( file ) ) );
}

static u32 HostFwrite( const void* buffer, const u32 size, const u32 count, void* file ) {
	return static_cast<u32>( std::fwrite( buffer, size, count, AsFile( file ) ) );
}

static char* HostFgets( char* buffer, const s32 maxLength, void* file ) {
	return std::fgets( buffer, maxLength, AsFile( file ) );
}

static s32 HostFputs( const char* buffer, void* file ) { return std::fputs( buffer, AsFile( file ) ); }
static s32 HostFeof( void* file ) { return std::feof( AsFile( file ) ); }
static s32 HostFseek( void* file, const s32 offset, const s32 origin ) { return std::fseek( AsFile( file ), offset, origin ); }
static s32 HostFflush( void* file ) { return std::fflush( AsFile( file ) ); }

// Positions beyond 31 bits never occur on the disc; they report -1 like a
// failed tell rather than wrapping to a wrong position.
static s32 HostFtell( void* file ) {
	const auto position = std::ftell( AsFile( file ) );
	return ( position < 0 || position > 0x7FFFFFFF ) ? -1 : static_cast<s32>( position );
}

bool rwfexist( const char* name ) {
	RwFileFunctions* const table = &RwEngineInstance->fileFunctions;
	void* const file = table->rwfopen( name, "rb" );
	if ( file == nullptr ) {
		return false;
	}
	table->rwfclose( file );
	return true;
}

static bool IsLetter( const char c ) {
	return ( c >= 'A' && c <= 'Z' ) || ( c >= 'a' && c <= 'z' );
}

bool _rwpathisabsolute( const char* path ) {
	if ( path == nullptr ) {
		return false;
	}
	// A letter is never the terminator, so the second byte exists.
	if ( IsLetter( path[0] ) && path[1] == ':' ) {
		return true;
	}
	return path[0] == '\\';
}

bool _rwFileSystemOpen() {
	RwFileFunctions* const table = &RwEngineInstance->fileFunctions;
	table->rwfexist = rwfexist;
	table->rwfopen = HostFopen;
	table->rwfclose = HostFclose;
	table->rwfread = HostFread;
	table->rwfwrite = HostFwrite;
	table->rwfgets = HostFgets;
	table->rwfputs = HostFputs;
	table->rwfeof = HostFeof;
	table->rwfseek = HostFseek;
	table->rwfflush = HostFflush;
	table->rwftell = HostFtell;
	return true;
}

void _rwFileSystemClose() {
}
