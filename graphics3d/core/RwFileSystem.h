/*
===============================================================================

	File function table of the 3D library.

	Every file stream and image search goes through this table in the
	engine instance. All entries but the first are the host C library's
	buffered file functions; file handles are opaque pointers. Names are
	used as given: no mapping onto the disc folder happens here.

===============================================================================
*/
#ifndef RW_FILE_SYSTEM_H
#define RW_FILE_SYSTEM_H

#include "datatypes/base/DTTypes.h"

// The eleven entries, in the order of the engine instance.
struct RwFileFunctions {
	bool	( *rwfexist )( const char* name );
	void*	( *rwfopen )( const char* name, const char* mode );
	s32		( *rwfclose )( void* file );
	u32		( *rwfread )( void* buffer, u32 size, u32 count, void* file );
	u32		( *rwfwrite )( const void* buffer, u32 size, u32 count, void* file );
	char*	( *rwfgets )( char* buffer, s32 maxLength, void* file );
	s32		( *rwfputs )( const char* buffer, void* file );
	s32		( *rwfeof )( void* file );
	s32		( *rwfseek )( void* file, s32 offset, s32 origin );
	s32		( *rwfflush )( void* file );
	s32		( *rwftell )( void* file );
};

// Opens the file "rb" through the table and closes it again; true when it
// opened.
bool	rwfexist( const char* name );
// True for a letter followed by ':' or a leading '\'. Host paths starting
// with '/' count as relative.
bool	_rwpathisabsolute( const char* path );

// Fill the current instance's table; always true.
bool	_rwFileSystemOpen();
void	_rwFileSystemClose();

#endif
