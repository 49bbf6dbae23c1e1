/*
===============================================================================

	Text persist stream over an open disc file.

	Values are read with the file-scan hook fnFscanf and written with the
	file-print hook fnFprintf, one call per value, in the C library's
	formats. The engine installs neither hook, so on the console loads
	fail with DT_PERSIST_READ_PAST_END and saves do nothing; a program that
	installs them gets a working text form. Raw bytes and SkipWhiteSpace
	read the file itself, at the same position the hooks read from.

	Strings are scanned one word at a time with a width taken from the
	caller's buffer; "//" starts a comment that runs to the end of the line.
	Whole lines come from DTFgets, which this platform does not provide, so
	LoadTextData reports DT_PERSIST_READ_PAST_END with an empty buffer.

===============================================================================
*/
#ifndef DT_TEXT_PERSIST_STREAM_H
#define DT_TEXT_PERSIST_STREAM_H

#include "datatypes/persist/DTBasePersistStream.h"

// Result of a save whose print hook failed.
constexpr s32 DT_PERSIST_PRINT_FAILED	= -1;

class DTTextPersistStream : public DTBasePersistStream {
public:
	// Type text file, this handle.
							DTTextPersistStream( DTFileHandle_ * file );
	virtual					~DTTextPersistStream();

	// Type text file, this handle, no stream loader.
	void					Initialise( DTFileHandle_ * file );

	s32						LoadData( char & value ) override;
	s32						LoadData( s8 & value ) override;
	s32						LoadData( s16 & value ) override;
	s32						LoadData( s32 & value ) override;
	s32						LoadData( s64 & value ) override;
	s32						LoadData( u8 & value ) override;
	s32						LoadData( u16 & value ) override;
	s32						LoadData( u32 & value ) override;
	s32						LoadData( f32 & value ) override;

	s32						SaveData( const char & value ) override;
	s32						SaveData( const s8 & value ) override;
	s32						SaveData( const s16 & value ) override;
	s32						SaveData( const s32 & value ) override;
	s32						SaveData( const s64 & value ) override;
	s32						SaveData( const u8 & value ) override;
	s32						SaveData( const u16 & value ) override;
	s32						SaveData( const u32 & value ) override;
	s32						SaveData( const f32 & value ) override;

	// Writes nothing; 0.
	s32						SaveTextData( const char * text ) override;
	// The next line that does not start with a line break, cut at its first
	// line feed and carriage return, leading spaces removed.
	s32						LoadTextData( char * buffer, const s32 max ) override;

	// Writes nothing; 0.
	virtual s32				SaveTextIndentation( const s8 depth );
	// The next word that is not all comment, at most max - 1 characters.
	virtual s32				LoadString( char * buffer, const s32 max );
	// Reads past spaces, tabs and line breaks; the first other character
	// is consumed and left in c. DT_PERSIST_READ_PAST_END at the end of
	// the file.
	virtual s32				SkipWhiteSpace( char & c );

private:
	// One call of the scan hook; DT_PERSIST_READ_PAST_END without a hook
	// or when the hook reports the end of its input.
	s32						Scan( const char * format, void * address );
	// An 8-bit field, scanned as a 32-bit number and stored.
	s32						ScanByte( u8 & value );
	// One call of the print hook with an int-promoted, 64-bit or double value.
	s32						PrintInt( const char * format, const s32 value );
	s32						PrintLongLong( const s64 value );
	s32						PrintDouble( const f64 value );
	s32						PrintResult( const s32 hookResult ) const;
};

#endif
