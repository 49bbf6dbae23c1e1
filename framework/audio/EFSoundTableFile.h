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

#include <new>

struct DTFileHandle_;

// Header words.
constexpr u32 EF_AUDIO_FILE_MAGIC			= 0x00525A51;
constexpr u32 EF_AUDIO_FILE_PLATFORM		= 0x4347;
constexpr u32 EF_AUDIO_TOOL_MAJOR			= 21;
constexpr u32 EF_AUDIO_TOOL_MINOR			= 0x30D;
constexpr u32 EF_AUDIO_HEADER_BYTES			= 16;
// Characters of a path tried, terminator included.
constexpr u32 EF_AUDIO_PATH_SIZE			= 1024;
// Characters of a table name, terminator included.
constexpr u32 EF_SOUND_TABLE_NAME_SIZE		= 256;
// Largest fixed part of a stored record.
constexpr u32 EF_SOUND_TABLE_FIXED_MAX		= 60;

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

	// Finds, checks and reads a table of Record: fixedBytes decoded by
	// decode, then each record's name and element list. The name is
	// copied into tableName (EF_SOUND_TABLE_NAME_SIZE characters) once the
	// header is good. On any failure nothing stays allocated and count is 0.
	template< class Record >
	static bool				ReadTable( bool global, const char * name, const char * extension, char * tableName,
									   u32 fixedBytes, void ( *decode )( const u8 *, Record & ), Record *& records,
									   u32 & count );
	// Frees the names, element lists and the array; count becomes 0.
	template< class Record >
	static void				FreeRecords( Record *& records, u32 & count );

private:
	// Fills mszPath; false when the path does not fit.
	bool					Format( const char * format, const char * a, const char * b, const char * c,
									const char * d, const char * e );
	DTFileHandle_ *			TryOpen();

	DTFileHandle_ *			mpoFile;
	u32						mui32BytesLeft;
	char					mszPath[EF_AUDIO_PATH_SIZE];
};

template< class Record >
void EFSoundTableFile::FreeRecords( Record *& records, u32 & count ) {
	for ( u32 i = 0; records != nullptr && i < count; i++ ) {
		delete[] records[i].mpszName;
		delete[] records[i].mpui32Elements;
	}
	delete[] records;
	records = nullptr;
	count = 0;
}

template< class Record >
bool EFSoundTableFile::ReadTable( const bool global, const char * name, const char * extension, char * tableName,
								  const u32 fixedBytes, void ( *decode )( const u8 *, Record & ), Record *& records,
								  u32 & count ) {
	FreeRecords( records, count );
	EFSoundTableFile file;
	u32 stored = 0;
	if ( !file.Open( global, name, extension ) || !file.ReadHeader( stored ) ) {
		return false;
	}
	u32 i = 0;
	for ( ; name != nullptr && i + 1 < EF_SOUND_TABLE_NAME_SIZE && name[i] != '\0'; i++ ) {
		tableName[i] = name[i];
	}
	tableName[i] = '\0';
	// Every record holds at least its fixed bytes and a name length.
	if ( !file.CanHold( stored, fixedBytes + 4 ) ) {
		file.ReportDamaged();
		return false;
	}
	if ( stored == 0 ) {
		return false;
	}
	records = new ( std::nothrow ) Record[stored];
	if ( records == nullptr ) {
		return false;
	}
	u8 fixed[EF_SOUND_TABLE_FIXED_MAX];
	for ( u32 r = 0; r < stored; r++ ) {
		Record & record = records[r];
		record.mpszName = nullptr;
		record.mpui32Elements = nullptr;
		// Counted now so that a failure frees what this record got.
		count = r + 1;
		const bool read = fixedBytes <= sizeof( fixed ) && file.Read( fixed, fixedBytes );
		if ( read ) {
			decode( fixed, record );
		}
		if ( !read || !file.ReadName( record.mpszName ) || !file.ReadWords( record.mpui32Elements, record.mui32NbElements ) ) {
			file.ReportDamaged();
			FreeRecords( records, count );
			return false;
		}
	}
	return true;
}

#endif
