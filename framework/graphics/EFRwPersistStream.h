/*
===============================================================================

	A binary persist stream over an open library read stream: engine
	records that follow library chunks (a model's emitters after its
	clump) are read from where the chunks ended, whatever the library
	stream runs over.

	Fields decode big-endian as in every binary persist stream. A read
	the library stream cannot fill copies what it gives and reports
	DT_PERSIST_READ_PAST_END. The bytes left are those the library stream
	can tell (memory and file streams), else 0.

===============================================================================
*/
#ifndef EF_RW_PERSIST_STREAM_H
#define EF_RW_PERSIST_STREAM_H

#include "datatypes/persist/DTBinaryPersistStream.h"

struct RwStream;

class EFRwPersistStream : public DTBinaryPersistStream {
public:
	// The stream stays the caller's; type binary.
	explicit				EFRwPersistStream( RwStream * stream );

	s32						LoadBinaryData( char * buffer, const s32 size ) override;
	u32						GetBytesLeft() const override;

private:
	RwStream *				mpStream;
};

#endif
