/*
===============================================================================

	String function table of the 3D library.

	The library never calls the C library's string functions directly: it
	goes through this table in the engine instance, so a host can replace
	any entry. All entries are the host C library's functions except the
	five the library defines itself: case-insensitive compare, upper- and
	lower-casing in place, and first and last character search.

===============================================================================
*/
#ifndef RW_STRINGS_H
#define RW_STRINGS_H

#include "datatypes/base/DTTypes.h"

#include <cstdarg>

// The sixteen entries, in the order of the engine instance.
struct RwStringFunctions {
	s32		( *rwsprintf )( char* buffer, const char* format, ... );
	s32		( *rwvsprintf )( char* buffer, const char* format, va_list args );
	char*	( *rwstrcpy )( char* dst, const char* src );
	char*	( *rwstrncpy )( char* dst, const char* src, u32 count );
	char*	( *rwstrcat )( char* dst, const char* src );
	char*	( *rwstrncat )( char* dst, const char* src, u32 count );
	char*	( *rwstrrchr )( const char* s, s32 c );
	char*	( *rwstrchr )( const char* s, s32 c );
	char*	( *rwstrstr )( const char* s, const char* sub );
	s32		( *rwstrcmp )( const char* a, const char* b );
	s32		( *rwstricmp )( const char* a, const char* b );
	u32		( *rwstrlen )( const char* s );
	char*	( *rwstrupr )( char* s );
	char*	( *rwstrlwr )( char* s );
	char*	( *rwstrtok )( char* s, const char* delimiters );
	s32		( *rwsscanf )( const char* s, const char* format, ... );
};

// 0 when either string is null; otherwise the difference of the first
// differing bytes after folding 'A'..'Z' to lower case, each taken as a
// signed 8-bit value.
s32		StrICmp( const char* a, const char* b );
// Change 'a'..'z' (StrUpr) or 'A'..'Z' (StrLwr) in place; null is ignored.
char*	StrUpr( char* s );
char*	StrLwr( char* s );
// First and last position of c; asked for 0 they find the terminator.
char*	StrChr( const char* s, s32 c );
char*	StrRChr( const char* s, s32 c );

// Fill the current instance's table; always true.
bool	_rwStringOpen();
void	_rwStringClose();

#endif
