/*
===============================================================================

	Streams and chunks of the 3D library.

	A stream runs over an open file handle, a file it opens and closes by
	name, a block of memory, or four caller-supplied functions. All library
	data travels through streams as chunks: a 12-byte header of three
	little-endian words (type id, payload length, library stamp) followed by
	the payload, which may hold further chunks.

	Memory streams: a read stream covers the caller's block; a write stream
	starts without a block, allocates 512 bytes at the first write and grows
	by the larger of 512 and the write's length; an append stream starts
	writing at the given length of the caller's block. Closing a write or
	append stream hands {block, bytes written} to the caller's description;
	a write stream closed without one frees the block it allocated, while
	an append stream's block, which may be the caller's own, is never
	freed by a close.

	Reads past the end of memory or a file record core error 5 and return
	the short count; a zero skip returns at once on every stream type.

	The library stamp packs a version V and build B: bits 22-31 hold
	(V - 0x30000) >> 8, bits 16-21 V & 0x3F and bits 0-15 B. A stamp of
	0xFFFF or less is an old stamp: V = stamp << 8, build 0. Chunks are
	accepted from version 0x31000 to 0x34003; this system stamps its own
	with 0x34003 and build 0xFFFF.

===============================================================================
*/
#ifndef RW_STREAM_H
#define RW_STREAM_H

#include "graphics3d/core/RwPlugin.h"

enum RwStreamType : s32 {
	rwNASTREAM				= 0,
	rwSTREAMFILE			= 1,	// an open file handle
	rwSTREAMFILENAME		= 2,	// a file opened and closed by the stream
	rwSTREAMMEMORY			= 3,
	rwSTREAMCUSTOM			= 4,
};

enum RwStreamAccessType : s32 {
	rwNASTREAMACCESS		= 0,
	rwSTREAMREAD			= 1,
	rwSTREAMWRITE			= 2,
	rwSTREAMAPPEND			= 3,
};

// A block handed to a memory stream; a closing write or append stream
// fills it with {block, bytes written}.
struct RwMemory {
	u8*		start;
	u32		length;
};

typedef s32		( *rwCustomStreamFnClose )( void* data );
typedef u32		( *rwCustomStreamFnRead )( void* data, void* buffer, u32 length );
typedef bool	( *rwCustomStreamFnWrite )( void* data, const void* buffer, u32 length );
typedef bool	( *rwCustomStreamFnSkip )( void* data, u32 offset );
// Bytes the stream still holds; false when it cannot tell.
typedef bool	( *rwCustomStreamFnBytesLeft )( void* data, u32* left );

struct RwStreamMemory {
	u32		position;	// current offset
	u32		nSize;		// bytes valid (read) or allocated (write)
	u8*		memBlock;
};

union RwStreamFile {
	void*		fpFile;
	const void*	constfpFile;
};

struct RwStreamCustom {
	rwCustomStreamFnClose	sfnclose;
	rwCustomStreamFnRead	sfnread;
	rwCustomStreamFnWrite	sfnwrite;
	rwCustomStreamFnSkip	sfnskip;
	void*					data;		// handed to all of them
	// Optional: lets the readers check stored counts against the bytes
	// the stream still holds.
	rwCustomStreamFnBytesLeft	sfnbytesleft;
};

union RwStreamUnion {
	RwStreamMemory	memory;
	RwStreamFile	file;
	RwStreamCustom	custom;
};

struct RwStream {
	RwStreamType		type;
	RwStreamAccessType	accessType;
	s32					position;	// not used by the stream operations
	RwStreamUnion		Type;
	bool				rwOwned;	// from the stream free list, returned on close
};

// The module's globals in the engine instance.
struct RwStreamGlobals {
	RwFreeList*	streamFreeList;
};

extern RwModuleInfo	streamModule;

// Entries per block of the stream free list.
constexpr s32 RWSTREAM_ENTRIES_PER_BLOCK	= 16;

// First allocation and smallest growth of a memory write stream.
constexpr u32 RWSTREAM_MEMORY_GROWTH		= 512;

// Chunk type ids of the core.
constexpr u32 rwID_STRUCT			= 0x01;
constexpr u32 rwID_STRING			= 0x02;
constexpr u32 rwID_EXTENSION		= 0x03;
constexpr u32 rwID_CAMERA			= 0x05;
constexpr u32 rwID_TEXTURE			= 0x06;
constexpr u32 rwID_FRAMELIST		= 0x0E;
constexpr u32 rwID_UNICODESTRING	= 0x13;
constexpr u32 rwID_IMAGE			= 0x18;

// Bytes of a chunk header.
constexpr u32 RWCHUNK_HEADER_BYTES	= 12;

// Oldest and newest library versions a chunk may carry; the version and
// build this system writes.
constexpr u32 RWLIBRARY_OLDEST_VERSION	= 0x31000;
constexpr u32 RWLIBRARY_NEWEST_VERSION	= 0x34003;
constexpr u32 RWLIBRARY_VERSION			= 0x34003;
constexpr u32 RWLIBRARY_BUILD			= 0xFFFF;

// data: the file handle, the file name, an RwMemory (ignored for writing)
// or an RwStreamCustom to copy. Null on failure.
RwStream*	RwStreamOpen( RwStreamType type, RwStreamAccessType accessType, const void* data );
// For a memory write or append stream, a non-null data (an RwMemory)
// receives {block, bytes written} and the block belongs to the caller.
bool		RwStreamClose( RwStream* stream, void* data );
// Initialises a caller-provided record; RwStreamOpen uses it with owned.
RwStream*	_rwStreamInitialize( RwStream* stream, bool rwOwned, RwStreamType type, RwStreamAccessType accessType,
								 const void* data );

// Bytes read.
u32			RwStreamRead( RwStream* stream, void* buffer, u32 length );
RwStream*	RwStreamWrite( RwStream* stream, const void* buffer, u32 length );
RwStream*	RwStreamSkip( RwStream* stream, u32 offset );
// Bytes a read stream still holds, for memory and file streams and
// custom streams that tell; false when the stream cannot tell (a custom
// stream without sfnbytesleft, a failed seek).
bool		_rwStreamBytesLeft( RwStream* stream, u32* left );

// Stamp word of a version and build, and back.
u32			_rwStreamEncodeStamp( u32 version, u32 build );
void		_rwStreamDecodeStamp( u32 stamp, u32* version, u32* build );
bool		_rwStreamVersionAccepted( u32 version );

// Exactly 12 bytes or false (recording 0x8000001A); each out may be null.
bool		_rwStreamReadChunkHeader( RwStream* stream, u32* typeOut, u32* lengthOut, u32* versionOut, u32* buildOut );
RwStream*	_rwStreamWriteVersionedChunkHeader( RwStream* stream, u32 type, u32 length, u32 version, u32 build );
// Skips chunks of other types. Only the chunk found has its version
// checked (0x80000004). The stream is left at its payload; outs optional.
bool		RwStreamFindChunk( RwStream* stream, u32 type, u32* lengthOut, u32* versionOut );

// Engine plug-in open and close: the stream free list.
void*	_rwStreamModuleOpen( void* instance, s32 offset, s32 size );
void*	_rwStreamModuleClose( void* instance, s32 offset, s32 size );

#endif
