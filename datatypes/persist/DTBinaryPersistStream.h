/*
===============================================================================

	Binary persist stream over an open disc file.

	Fields are stored big-endian, one after the other with nothing between
	them, and decoded explicitly so that the host's byte order plays no
	part. A file stream reports no read errors: a field the file ends in
	the middle of keeps its unread bytes, exactly as if the stored bytes had
	been copied over the field's own big-endian image.

	A stored string is a u32 length followed by that many bytes, which
	normally end with the string's zero. At most max bytes are read; the
	rest stays in the stream for the next read.

	Saving writes nothing. With the swap-on-save bit the 2- and 4-byte
	values are reversed in a copy before they reach SaveBinaryData.

	DTMemoryPersistStream reads the same encoding from a buffer.

===============================================================================
*/
#ifndef DT_BINARY_PERSIST_STREAM_H
#define DT_BINARY_PERSIST_STREAM_H

#include "datatypes/persist/DTBasePersistStream.h"

class DTBinaryPersistStream : public DTBasePersistStream {
public:
	// Type binary file, no handle.
							DTBinaryPersistStream();
							DTBinaryPersistStream( DTFileHandle_ * file );
	virtual					~DTBinaryPersistStream();

	// Type binary file, this handle, no stream loader.
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
	// u32 length L, then min(L, max) bytes; the buffer is terminated at
	// min(L, max - 1) and left alone when max is 0 or less. The result is
	// the length read's code, else the byte read's code.
	s32						LoadTextData( char * buffer, const s32 max ) override;

private:
	// Reads size bytes over the big-endian image already in bytes.
	s32						LoadBigEndian( u8 * bytes, const s32 size );
	// Hands size big-endian bytes to SaveBinaryData, reversed first when
	// the stream swaps on save and swap is allowed for this width.
	s32						SaveBigEndian( u8 * bytes, const s32 size, const bool swappable );
};

#endif
