/*
===============================================================================

	Owned string.

	Holds a NUL-terminated copy of its text in a buffer made with array new,
	or no buffer at all when the text is empty. Assigning a text that is not
	longer than the current one reuses the buffer; a longer text gets a new
	buffer of exactly its length + 1. A buffer that cannot be allocated
	leaves the string empty.

	DTstricmp compares without regard to case.

===============================================================================
*/
#ifndef DT_STRING_H
#define DT_STRING_H

#include "datatypes/base/DTTypes.h"

class DTString {
public:
							DTString();
	// Copies at most n characters of s; a null s gives an empty string.
							DTString( const char * s, const u32 n );
							DTString( const DTString & other );
	virtual					~DTString();

	// An empty or null source clears the string.
	DTString &				operator=( const DTString & other );
	DTString &				operator=( const char * s );

	// Frees the buffer; the string is empty.
	void					Clear();

	// The text; "" for an empty string, never null.
	const char *			GetStr() const;
	u32						GetLength() const { return muiLength; }

private:
	char *					mpStr;
	u32						muiLength;

	// Makes the text the first length bytes of s.
	void					Assign( const char * s, const u32 length );
};

// -1, 0 or 1 as a sorts before, equal to or after b once both are lowered
// with the A-Z map of the "C" locale. Bytes compare as signed 8-bit values,
// so bytes from 128 up sort before plain ASCII. A null pointer reads as "".
s32							DTstricmp( const char * a, const char * b );

#endif
