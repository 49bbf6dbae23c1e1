/*
===============================================================================

	ENGINE.INI reader.

	The configuration file is a flat list of KEY = VALUE pairs. Read loads
	it whole, upper-cases every byte and makes one node per pair, newest
	first, so a key given twice answers with its last value and look-ups
	ignore case. Tokens are runs of A-Z a-z 0-9 - . \ / _ ; every other
	byte separates them. The search for '=' crosses line ends, so a key
	without '=' takes the value of the next line's pair. The first step that
	fails ends the parse; the pairs made before it stay.

	Every getter returns 1 and writes its out argument when the key exists,
	and returns 0 leaving the out argument untouched otherwise, so a caller
	presets its default. Scans never pass the end of the file buffer.

===============================================================================
*/
#ifndef EF_INI_FILE_H
#define EF_INI_FILE_H

#include "datatypes/containers/DTSimpleLinkList.h"
#include "datatypes/base/DTTypes.h"
#include "framework/core/engine/IniListNode.h"

class EFIniFile {
public:
							EFIniFile();
							~EFIniFile();
							EFIniFile( const EFIniFile& ) = delete;
	EFIniFile&				operator=( const EFIniFile& ) = delete;

	static EFIniFile*		GetInstance() { return &mIniFile; }

	// Reads and parses the file, replacing whatever an earlier Read left. A
	// file that cannot be opened leaves the list empty.
	void					Read( const char* path );

	// Forgets every pair and frees the file buffer.
	void					Clear();

	// The node of a key (compared upper-cased), or null.
	IniListNode*			GetIniNode( const char* key ) const;

	// Copies the value, at most INI_TOKEN_BUFFER bytes with its terminator.
	s32						GetIniString( const char* key, char* value ) const;
	s32						GetIniInteger( const char* key, s32* value ) const;
	s32						GetIniFloat( const char* key, f32* value ) const;
	// A value that is no boolean hands out 0xFFFFFFFF.
	s32						GetIniBool( const char* key, u32* value ) const;

	// Pairs held.
	u32						GetNodeCount() const;

private:
	void					Parse();

	static EFIniFile		mIniFile;

	char*					mpBuffer;
	DTSimpleLinkList<IniListNode> mList;
	u32						mui32Size;
};

// Upper-cases a..z in place; null does nothing.
void	UpperCaseString( char* s );

// Copies the token starting at from into to (INI_TOKEN_BUFFER bytes),
// stopping at the first separator, at end, or after INI_TOKEN_MAX bytes.
void	StrCpy( char* to, const char* from, const char* end );

// Pre-parsing of a terminated value.
s32		GetBoolValue( const char* value );
s32		GetIntegerValue( const char* value );
f32		GetFloatValue( const char* value );

// True for the bytes that make up tokens.
bool	IsIniTokenCharacter( char c );

// Scanners over [*position, end): each advances *position and returns 1
// when it stopped on what it looks for, 0 when it reached end.
s32		FindLetterOrDigit( const char** position, const char* end );
s32		FindNonLetterOrDigit( const char** position, const char* end );
s32		FindCharacter( const char** position, const char* end, char wanted );

#endif
