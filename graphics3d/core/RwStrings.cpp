#include "graphics3d/core/RwStrings.h"

#include "graphics3d/core/RwEngine.h"

#include <cstdio>
#include <cstring>

// The host C library behind the table, with the table's fixed-width types.

static s32 HostSprintf( char* buffer, const char* format, ... ) {
	va_list args;
	va_start( args, format );
	const s32 written = std::vsprintf( buffer, format, args );
	va_end( args );
	return written;
}

static s32 HostVsprintf( char* buffer, const char* format, va_list args ) {
	return std::vsprintf( buffer, format, args );
}

static char* HostStrcpy( char* dst, const char* src ) { return std::strcpy( dst, src ); }
static char* HostStrncpy( char* dst, const char* src, const u32 count ) { return std::strncpy( dst, src, count ); }
static char* HostStrcat( char* dst, const char* src ) { return std::strcat( dst, src ); }
static char* HostStrncat( char* dst, const char* src, const u32 count ) { return std::strncat( dst, src, count ); }
static char* HostStrstr( const char* s, const char* sub ) { return const_cast<char*>( std::strstr( s, sub ) ); }
static s32 HostStrcmp( const char* a, const char* b ) { return std::strcmp( a, b ); }
static u32 HostStrlen( const char* s ) { return static_cast<u32>( std::strlen( s ) ); }
static char* HostStrtok( char* s, const char* delimiters ) { return std::strtok( s, delimiters ); }

static s32 HostSscanf( const char* s, const char* format, ... ) {
	va_list args;
	va_start( args, format );
	const s32 read = std::vsscanf( s, format, args );
	va_end( args );
	return read;
}

static s32 FoldToLower( const char c ) {
	const s8 folded = ( c >= 'A' && c <= 'Z' ) ? static_cast<s8>( c + ( 'a' - 'A' ) ) : static_cast<s8>( c );
	return folded;
}

s32 StrICmp( const char* a, const char* b ) {
	if ( a == nullptr || b == nullptr ) {
		return 0;
	}
	for ( ;; ) {
		const s32 ca = FoldToLower( *a );
		const s32 cb = FoldToLower( *b );
		if ( ca != cb || *a == '\0' ) {
			return ca - cb;
		}
		a++;
		b++;
	}
}

char* StrUpr( char* s ) {
	if ( s == nullptr ) {
		return s;
	}
	for ( char* c = s; *c != '\0'; c++ ) {
		if ( *c >= 'a' && *c <= 'z' ) {
			*c = static_cast<char>( *c - ( 'a' - 'A' ) );
		}
	}
	return s;
}

char* StrLwr( char* s ) {
	if ( s == nullptr ) {
		return s;
	}
	for ( char* c = s; *c != '\0'; c++ ) {
		if ( *c >= 'A' && *c <= 'Z' ) {
			*c = static_cast<char>( *c + ( 'a' - 'A' ) );
		}
	}
	return s;
}

char* StrChr( const char* s, const s32 c ) {
	if ( s == nullptr ) {
		return nullptr;
	}
	const char wanted = static_cast<char>( c );
	for ( ;; s++ ) {
		if ( *s == wanted ) {
			return const_cast<char*>( s );
		}
		if ( *s == '\0' ) {
			return nullptr;
		}
	}
}

char* StrRChr( const char* s, const s32 c ) {
	if ( s == nullptr ) {
		return nullptr;
	}
	const char wanted = static_cast<char>( c );
	const char* found = nullptr;
	for ( ;; s++ ) {
		if ( *s == wanted ) {
			found = s;
		}
		if ( *s == '\0' ) {
			return const_cast<char*>( found );
		}
	}
}

bool _rwStringOpen() {
	RwStringFunctions* const table = &RwEngineInstance->stringFunctions;
	table->rwsprintf = HostSprintf;
	table->rwvsprintf = HostVsprintf;
	table->rwstrcpy = HostStrcpy;
	table->rwstrncpy = HostStrncpy;
	table->rwstrcat = HostStrcat;
	table->rwstrncat = HostStrncat;
	table->rwstrrchr = StrRChr;
	table->rwstrchr = StrChr;
	table->rwstrstr = HostStrstr;
	table->rwstrcmp = HostStrcmp;
	table->rwstricmp = StrICmp;
	table->rwstrlen = HostStrlen;
	table->rwstrupr = StrUpr;
	table->rwstrlwr = StrLwr;
	table->rwstrtok = HostStrtok;
	table->rwsscanf = HostSscanf;
	return true;
}

void _rwStringClose() {
}
