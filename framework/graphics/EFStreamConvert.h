/*
===============================================================================

	Bridge from the engine's persist streams to library streams, so that
	the library's chunk readers read resource files, memory images and
	disc files alike.

	EFStreamConvert opens a library read stream by the persist stream's
	kind: a text stream (5) gives a file-name stream on name (null without
	a name); a memory stream (10) a memory stream over the bytes from the
	persist stream's position to its end; a binary file stream (6) with a
	file a custom stream reading that disc file, whose close does
	nothing, which cannot write, and whose skip prints "Skip %d\n" and
	reads the bytes away in blocks of 2048 (disc files cannot seek forward
	cheaply), stopping at the file's end but succeeding even past it, and which tells the bytes left
	in the file, so that the library's readers check stored counts
	before allocating. Other kinds give null.

	The custom stream keeps its file handle in its own data word, so any
	number of bridged disc streams may be open at once.

	EFStreamCloseConvert closes the bridge; for a memory stream it first
	moves the persist stream on by what the library stream read.

===============================================================================
*/
#ifndef EF_STREAM_CONVERT_H
#define EF_STREAM_CONVERT_H

#include "datatypes/base/DTTypes.h"

class DTBasePersistStream;
struct DTFileHandle_;
struct RwStream;

// Bytes of the skip's scratch block.
constexpr u32 EF_STREAM_SKIP_BLOCK = 2048;

RwStream *		EFStreamConvert( DTBasePersistStream * stream, const void * name );
void			EFStreamCloseConvert( RwStream * rwStream, DTBasePersistStream * stream );

// The disc file a bridged disc stream reads, or null for any other stream.
DTFileHandle_ *	EFStreamConvertFileHandle( const RwStream * rwStream );

#endif
