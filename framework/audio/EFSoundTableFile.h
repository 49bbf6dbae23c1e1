/*
===============================================================================

	The file behind one sound table (.TSE or .TSC): finding it in the
	level, GLOBAL or GEN audio folders, checking the 16-byte header that
	every audio file starts with, and reading the records that follow
	without ever reading past the file's end.

	Every read is bounded by the bytes the file still holds, so a record
	count, name length or element count that cannot fit in them is refused
	before anything is allocated for it. The file is closed by the
	destructor.

===============================================================================
*/
#ifndef EF_SOUND_TABLE_FILE_H
#define EF_SOUND_TABLE_FILE_H

#include "datatypes/base/DTTypes.h"

struct DTFileHandle_;

// Header words.
constexpr u32 EF_AUDIO_FILE_MAGIC			= 0x00525A51;
constexpr u32 EF_AUDIO_FILE_PLATFORM		= 0x4347;
constexpr u32 EF_AUDIO_TOOL_MAJOR			= 21;
constexpr u32 EF_AUDIO_TOOL_MINOR			= 0x30D;
constexpr u32 EF_AUDIO_HEADER_BYTES			= 16;
// Characters of a path tried, terminator included.
constexpr u32 EF_AUDIO_PATH_SIZE			= 1024;

class EFSoundTableFile {
public:
							EFSoundTableFile();
							~EFSoundTableFile();

							EFSoundTableFile( const EFSoundTableFile & ) = delete;
	EFSoundTableFile &		operator=( const EFSoundTableFile & ) = delete;

	// Finds and opens name.extension for a global (bank 0) or level table;
	// false, with "File not found" printed, when no folder has it.
	bool					Open( bool global, const char * name, const char * extension );
	// Reads and checks the header; false, with the message printed, when
	// the table must stay empty. A minor version other than the expected
	// one only warns.
	bool					ReadHeader( u32 & recordCount );

	// Reads bytes into dest; false when the file holds fewer.
	bool					Read( void * dest, u32 bytes );
	bool					ReadWord( u32 & value );
	// A u32 length, then that many characters: a new terminated string.
	// False, with nothing allocated, when the length does not fit.
	bool					ReadName( char *& name );
	// count big-endian words into a new array (null for 0). False, with
	// nothing allocated, when they do not fit.
	bool					ReadWords( u32 *& words, u32 count );

	// Whether count items of at least itemBytes each can still follow.
	bool					CanHold( u32 count, u32 itemBytes ) const;
	// Prints that the file is damaged (a count or length too large).
	void					ReportDamaged() const;

	// The last path tried.
	const char *			GetPath() const { return mszPath; }

private:
	// Fills mszPath; false when the path does not fit.
	bool					Format( const char * format, const char * a, const char * b, const char * c,
									const char * d, const char * e );
	DTFileHandle_ *			TryOpen();

	DTFileHandle_ *			mpoFile;
	u32						mui32BytesLeft;
	char					mszPath[EF_AUDIO_PATH_SIZE];
};

#endif
