/*
===============================================================================

	Adapter that lets the 3D library read its chunk streams out of an
	engine persist stream.

	RwStreamConvert opens a library read stream over the same data: for a
	text file stream (type 5) a file stream over data, the open file; for
	a memory stream (type 10) a memory stream over the bytes from the
	persist stream's position to its end. Any other stream, a binary file
	stream (type 6) among them, gives null.

	RwStreamCloseConvert closes it again; for a memory stream it first
	moves the persist stream forward by the bytes the library stream read,
	so the next reader starts right after the library's chunks. It returns
	the library stream it was given, which is closed by then.

===============================================================================
*/
#ifndef RW_STREAM_CONVERT_H
#define RW_STREAM_CONVERT_H

#include "datatypes/base/DTTypes.h"

class DTBasePersistStream;
struct RwStream;

// Stream types the adapter knows.
constexpr s32 EF_PERSIST_TEXT_FILE		= 5;
constexpr s32 EF_PERSIST_BINARY_FILE	= 6;
constexpr s32 EF_PERSIST_MEMORY			= 10;

RwStream *	RwStreamConvert( DTBasePersistStream * stream, const void * data );
RwStream *	RwStreamCloseConvert( RwStream * rwStream, DTBasePersistStream * stream );

#endif
