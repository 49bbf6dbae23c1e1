/*
===============================================================================

	Persist stream: the source loadable objects read their fields from.

	One load and one save operation per primitive type, plus strings and
	raw bytes. Three streams implement it: a big-endian binary stream over
	an open disc file, the same over a buffer in memory, and a text form
	read through installable scan and print hooks. Every operation returns
	a result code, DT_PERSIST_OK for success.

	Saving exists in the interface but writes nothing.

	The char, signed 8-bit and unsigned 8-bit overloads are three distinct
	types (plain char is unsigned here, as on the console), so every field
	finds the overload of its own width.

	GetBytesLeft bounds the counts that stored data gives for arrays and
	blocks: no stored count may promise more elements than the stream still
	holds bytes for.

===============================================================================
*/
#ifndef DT_BASE_PERSIST_STREAM_H
#define DT_BASE_PERSIST_STREAM_H

#include "datatypes/base/DTTypes.h"

struct DTFileHandle_;
class DTIOStream;

// Result codes of the persistence layer.
constexpr s32 DT_PERSIST_OK					= 0;
constexpr s32 DT_PERSIST_OPEN_FAILED		= -3;	// a stream file could not be opened
constexpr s32 DT_PERSIST_NO_QUOTES			= -4;	// a text string without quotes
constexpr s32 DT_PERSIST_READ_PAST_END		= -5;	// past the end of the data, or a failed text scan
constexpr s32 DT_PERSIST_UNKNOWN_CLASS		= -6;	// a stored class the registry cannot create
constexpr s32 DT_PERSIST_SKIP_LOAD			= -7;	// a pre-load step asks to skip loading

// Bits of miType.
constexpr s32 DT_PERSIST_TYPE_TEXT			= 0x01;
constexpr s32 DT_PERSIST_TYPE_BINARY		= 0x02;
constexpr s32 DT_PERSIST_TYPE_FILE			= 0x04;
constexpr s32 DT_PERSIST_TYPE_MEMORY		= 0x08;
constexpr s32 DT_PERSIST_TYPE_SWAP_ON_SAVE	= 0x10;

class DTBasePersistStream {
public:
							DTBasePersistStream();
	virtual					~DTBasePersistStream();

	virtual s32				LoadData( char & value ) = 0;
	virtual s32				LoadData( s8 & value ) = 0;
	virtual s32				LoadData( s16 & value ) = 0;
	virtual s32				LoadData( s32 & value ) = 0;
	virtual s32				LoadData( s64 & value ) = 0;
	virtual s32				LoadData( u8 & value ) = 0;
	virtual s32				LoadData( u16 & value ) = 0;
	virtual s32				LoadData( u32 & value ) = 0;
	virtual s32				LoadData( f32 & value ) = 0;

	virtual s32				SaveData( const char & value ) = 0;
	virtual s32				SaveData( const s8 & value ) = 0;
	virtual s32				SaveData( const s16 & value ) = 0;
	virtual s32				SaveData( const s32 & value ) = 0;
	virtual s32				SaveData( const s64 & value ) = 0;
	virtual s32				SaveData( const u8 & value ) = 0;
	virtual s32				SaveData( const u16 & value ) = 0;
	virtual s32				SaveData( const u32 & value ) = 0;
	virtual s32				SaveData( const f32 & value ) = 0;

	virtual s32				SaveTextData( const char * text ) = 0;
	// Writes nothing; 0.
	virtual s32				SaveBinaryData( const char * data, const s32 size );
	// A stored string into buffer, at most max bytes, always terminated
	// when max is above 0.
	virtual s32				LoadTextData( char * buffer, const s32 max ) = 0;
	// size raw bytes from the file at the handle's position. A short read
	// is not reported (the unread bytes of buffer keep their values); a
	// negative size reads nothing and gives DT_PERSIST_READ_PAST_END.
	virtual s32				LoadBinaryData( char * buffer, const s32 size );

	// Bytes the stream still holds: the rest of the file for file streams.
	virtual u32				GetBytesLeft() const;

	s32						GetType() const { return miType; }
	bool					IsText() const { return ( miType & DT_PERSIST_TYPE_TEXT ) != 0; }
	DTFileHandle_ *			GetFileHandle() const { return mpFileHandle; }

	// The stream opener this stream came from; null for streams made directly.
	DTIOStream *			GetStreamLoader() const { return mpoStreamLoader; }
	void					SetStreamLoader( DTIOStream * loader ) { mpoStreamLoader = loader; }

protected:
	// A file stream reads through a disc file handle, a memory stream
	// through a buffer: never both.
	union {
		DTFileHandle_ *		mpFileHandle;
		char *				mpMemPtr;
	};
	DTIOStream *			mpoStreamLoader;
	s32						miType;
};

#endif
