#include "graphics3d/core/RwStream.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

RwModuleInfo streamModule;

// Record of the stream free list while the module is open.
static RwFreeList streamFreeListRecord;

// Whence of the file table's seek: from the current position.
static const s32 SEEK_FROM_START = 0;
static const s32 SEEK_FROM_CURRENT = 1;
static const s32 SEEK_FROM_END = 2;
// Largest step of one file seek.
static const u32 MAX_SEEK_STEP = 0x7FFFFFFF;

static RwStreamGlobals* Globals() {
	RwGlobals* const instance = RwEngineInstance;
	if ( streamModule.numInstances <= 0 || instance == nullptr || instance == &staticGlobals ) {
		return nullptr;
	}
	return RwPluginData<RwStreamGlobals>( instance, streamModule.globalsOffset );
}

static RwFileFunctions* Files() {
	return &RwEngineInstance->fileFunctions;
}

static RwMemoryFunctions* Memory() {
	return &RwEngineInstance->memoryFunctions;
}

static void Fail( const u32 code ) {
	_rwErrorSetCore( code );
}

static RwStream* OpenFileName( RwStream* stream, const RwStreamAccessType accessType, const char* name ) {
	const char* mode = nullptr;
	switch ( accessType ) {
		case rwSTREAMREAD:		mode = "rb"; break;
		case rwSTREAMWRITE:		mode = "wb"; break;
		case rwSTREAMAPPEND:	mode = "ab"; break;
		default:
			Fail( _rwerror( RWERR_BAD_ACCESS ) );
			return nullptr;
	}
	void* const file = name != nullptr ? Files()->rwfopen( name, mode ) : nullptr;
	if ( file == nullptr ) {
		Fail( _rwerror( RWERR_BAD_OPEN, name ) );
		return nullptr;
	}
	stream->Type.file.fpFile = file;
	return stream;
}

static RwStream* OpenMemory( RwStream* stream, const RwStreamAccessType accessType, const RwMemory* description ) {
	RwStreamMemory* const memory = &stream->Type.memory;
	switch ( accessType ) {
		case rwSTREAMWRITE:
			memory->position = 0;
			memory->nSize = 0;
			memory->memBlock = nullptr;
			return stream;
		case rwSTREAMREAD:
		case rwSTREAMAPPEND:
			if ( description == nullptr ) {
				Fail( _rwerror( RWERR_NULL_ARGUMENT ) );
				return nullptr;
			}
			memory->position = accessType == rwSTREAMREAD ? 0 : description->length;
			memory->nSize = description->length;
			memory->memBlock = description->start;
			return stream;
		default:
			Fail( _rwerror( RWERR_BAD_ACCESS ) );
			return nullptr;
	}
}

RwStream* _rwStreamInitialize( RwStream* stream, const bool rwOwned, const RwStreamType type,
							   const RwStreamAccessType accessType, const void* data ) {
	stream->type = type;
	stream->accessType = accessType;
	stream->position = 0;
	stream->rwOwned = rwOwned;
	switch ( type ) {
		case rwSTREAMFILE:
			// A handle the file table cannot tell is refused without an error.
			if ( data == nullptr || Files()->rwftell( const_cast<void*>( data ) ) == -1 ) {
				return nullptr;
			}
			stream->Type.file.constfpFile = data;
			return stream;
		case rwSTREAMFILENAME:
			return OpenFileName( stream, accessType, static_cast<const char*>( data ) );
		case rwSTREAMMEMORY:
			return OpenMemory( stream, accessType, static_cast<const RwMemory*>( data ) );
		case rwSTREAMCUSTOM:
			if ( data == nullptr ) {
				Fail( _rwerror( RWERR_NULL_ARGUMENT ) );
				return nullptr;
			}
			stream->Type.custom = *static_cast<const RwStreamCustom*>( data );
			return stream;
		default:
			Fail( _rwerror( RWERR_BAD_STREAM_TYPE ) );
			return nullptr;
	}
}

RwStream* RwStreamOpen( const RwStreamType type, const RwStreamAccessType accessType, const void* data ) {
	RwStreamGlobals* const globals = Globals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RwStream* const stream = static_cast<RwStream*>( RwEngineInstance->freeListAllocHook( globals->streamFreeList ) );
	if ( stream == nullptr ) {
		return nullptr;
	}
	if ( _rwStreamInitialize( stream, true, type, accessType, data ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->streamFreeList, stream );
		return nullptr;
	}
	return stream;
}

static void Release( RwStream* stream ) {
	if ( !stream->rwOwned ) {
		return;
	}
	RwStreamGlobals* const globals = Globals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->streamFreeList, stream );
	}
}

// A write stream closed without a description would lose the block it
// allocated, so it is freed; an append stream's block may still be the
// caller's and is left alone.
static void CloseMemory( RwStream* stream, RwMemory* description ) {
	RwStreamMemory* const memory = &stream->Type.memory;
	if ( stream->accessType == rwSTREAMREAD ) {
		return;
	}
	if ( description != nullptr ) {
		description->start = memory->memBlock;
		description->length = memory->position;
	} else if ( stream->accessType == rwSTREAMWRITE && memory->memBlock != nullptr ) {
		Memory()->rwfree( memory->memBlock );
	}
	memory->memBlock = nullptr;
}

bool RwStreamClose( RwStream* stream, void* data ) {
	if ( stream == nullptr ) {
		return false;
	}
	bool closed = true;
	switch ( stream->type ) {
		case rwSTREAMMEMORY:
			CloseMemory( stream, static_cast<RwMemory*>( data ) );
			break;
		case rwSTREAMCUSTOM:
			if ( stream->Type.custom.sfnclose != nullptr ) {
				stream->Type.custom.sfnclose( stream->Type.custom.data );
			}
			break;
		case rwSTREAMFILE:
			break;
		case rwSTREAMFILENAME:
			closed = Files()->rwfclose( stream->Type.file.fpFile ) == 0;
			break;
		default:
			Fail( _rwerror( RWERR_BAD_STREAM_TYPE ) );
			return false;
	}
	Release( stream );
	return closed;
}

static u32 ReadMemory( RwStreamMemory* memory, void* buffer, u32 length ) {
	const u32 remaining = memory->position < memory->nSize ? memory->nSize - memory->position : 0;
	if ( length > remaining ) {
		Fail( _rwerror( RWERR_END_OF_STREAM ) );
		length = remaining;
	}
	if ( length != 0 ) {
		std::memcpy( buffer, memory->memBlock + memory->position, length );
	}
	memory->position += length;
	return length;
}

static u32 ReadFile( void* file, void* buffer, const u32 length ) {
	const u32 count = Files()->rwfread( buffer, 1, length, file );
	if ( count != length ) {
		Fail( Files()->rwfeof( file ) ? _rwerror( RWERR_END_OF_STREAM ) : _rwerror( RWERR_READ ) );
	}
	return count;
}

bool _rwStreamBytesLeft( RwStream* stream, u32* left ) {
	switch ( stream->type ) {
		case rwSTREAMMEMORY: {
			const RwStreamMemory& memory = stream->Type.memory;
			*left = memory.position < memory.nSize ? memory.nSize - memory.position : 0;
			return true;
		}
		case rwSTREAMFILE:
		case rwSTREAMFILENAME: {
			void* const file = stream->Type.file.fpFile;
			const s32 position = Files()->rwftell( file );
			if ( position < 0 || Files()->rwfseek( file, 0, SEEK_FROM_END ) != 0 ) {
				return false;
			}
			const s32 end = Files()->rwftell( file );
			if ( Files()->rwfseek( file, position, SEEK_FROM_START ) != 0 || end < 0 ) {
				return false;
			}
			*left = end > position ? static_cast<u32>( end - position ) : 0;
			return true;
		}
		case rwSTREAMCUSTOM:
			return stream->Type.custom.sfnbytesleft != nullptr &&
				   stream->Type.custom.sfnbytesleft( stream->Type.custom.data, left );
		default:
			return false;
	}
}

u32 RwStreamRead( RwStream* stream, void* buffer, const u32 length ) {
	switch ( stream->type ) {
		case rwSTREAMMEMORY:
			return ReadMemory( &stream->Type.memory, buffer, length );
		case rwSTREAMCUSTOM:
			return stream->Type.custom.sfnread != nullptr ? stream->Type.custom.sfnread( stream->Type.custom.data, buffer, length )
														  : 0;
		case rwSTREAMFILE:
		case rwSTREAMFILENAME:
			return ReadFile( stream->Type.file.fpFile, buffer, length );
		default:
			Fail( _rwerror( RWERR_BAD_STREAM_TYPE ) );
			return 0;
	}
}

static RwStream* WriteMemory( RwStream* stream, const void* buffer, const u32 length ) {
	RwStreamMemory* const memory = &stream->Type.memory;
	if ( memory->memBlock == nullptr ) {
		memory->memBlock = static_cast<u8*>( Memory()->rwmalloc( RWSTREAM_MEMORY_GROWTH ) );
		if ( memory->memBlock == nullptr ) {
			Fail( _rwerror( RWERR_NO_MEMORY, RWSTREAM_MEMORY_GROWTH ) );
			return nullptr;
		}
		memory->nSize = RWSTREAM_MEMORY_GROWTH;
	}
	const u32 remaining = memory->position < memory->nSize ? memory->nSize - memory->position : 0;
	if ( remaining < length ) {
		const u32 growth = length > RWSTREAM_MEMORY_GROWTH ? length : RWSTREAM_MEMORY_GROWTH;
		const u64 newSize = static_cast<u64>( memory->nSize ) + growth;
		u8* const grown = newSize <= 0xFFFFFFFFu ? static_cast<u8*>( Memory()->rwrealloc( memory->memBlock, static_cast<u32>( newSize ) ) )
												 : nullptr;
		if ( grown == nullptr ) {
			Fail( _rwerror( RWERR_NO_MEMORY, growth ) );
			return nullptr;
		}
		memory->memBlock = grown;
		memory->nSize = static_cast<u32>( newSize );
	}
	if ( length != 0 ) {
		std::memcpy( memory->memBlock + memory->position, buffer, length );
	}
	memory->position += length;
	return stream;
}

RwStream* RwStreamWrite( RwStream* stream, const void* buffer, const u32 length ) {
	switch ( stream->type ) {
		case rwSTREAMMEMORY:
			return WriteMemory( stream, buffer, length );
		case rwSTREAMCUSTOM:
			if ( stream->Type.custom.sfnwrite == nullptr ||
				 !stream->Type.custom.sfnwrite( stream->Type.custom.data, buffer, length ) ) {
				return nullptr;
			}
			return stream;
		case rwSTREAMFILE:
		case rwSTREAMFILENAME:
			if ( Files()->rwfwrite( buffer, 1, length, stream->Type.file.fpFile ) != length ) {
				Fail( _rwerror( RWERR_WRITE ) );
				return nullptr;
			}
			return stream;
		default:
			Fail( _rwerror( RWERR_BAD_STREAM_TYPE ) );
			return nullptr;
	}
}

static RwStream* SkipFile( RwStream* stream, u32 offset ) {
	void* const file = stream->Type.file.fpFile;
	while ( offset != 0 ) {
		const u32 step = offset < MAX_SEEK_STEP ? offset : MAX_SEEK_STEP;
		if ( Files()->rwfseek( file, static_cast<s32>( step ), SEEK_FROM_CURRENT ) != 0 ) {
			if ( Files()->rwfeof( file ) ) {
				Fail( _rwerror( RWERR_END_OF_STREAM ) );
			}
			return nullptr;
		}
		offset -= step;
	}
	return stream;
}

RwStream* RwStreamSkip( RwStream* stream, const u32 offset ) {
	if ( offset == 0 ) {
		return stream;
	}
	switch ( stream->type ) {
		case rwSTREAMMEMORY: {
			RwStreamMemory* const memory = &stream->Type.memory;
			if ( static_cast<u64>( memory->position ) + offset > memory->nSize ) {
				memory->position = memory->nSize;
				Fail( _rwerror( RWERR_END_OF_STREAM ) );
				return nullptr;
			}
			memory->position += offset;
			return stream;
		}
		case rwSTREAMCUSTOM:
			if ( stream->Type.custom.sfnskip == nullptr ||
				 !stream->Type.custom.sfnskip( stream->Type.custom.data, offset ) ) {
				return nullptr;
			}
			return stream;
		case rwSTREAMFILE:
		case rwSTREAMFILENAME:
			return SkipFile( stream, offset );
		default:
			Fail( _rwerror( RWERR_BAD_STREAM_TYPE ) );
			return nullptr;
	}
}

// Stamp fields.
static const u32 OLD_STAMP_LIMIT		= 0xFFFF;
static const u32 VERSION_BASE			= 0x30000;
static const u32 STAMP_VERSION_SHIFT	= 14;
static const u32 STAMP_VERSION_MASK		= 0x3FF00;
static const u32 STAMP_MINOR_SHIFT		= 16;
static const u32 STAMP_MINOR_MASK		= 0x3F;
static const u32 STAMP_BUILD_MASK		= 0xFFFF;

u32 _rwStreamEncodeStamp( const u32 version, const u32 build ) {
	const u32 major = ( ( version - VERSION_BASE ) >> 8 ) & 0x3FF;
	return ( major << 22 ) | ( ( version & STAMP_MINOR_MASK ) << STAMP_MINOR_SHIFT ) | ( build & STAMP_BUILD_MASK );
}

void _rwStreamDecodeStamp( const u32 stamp, u32* version, u32* build ) {
	if ( stamp <= OLD_STAMP_LIMIT ) {
		*version = stamp << 8;
		*build = 0;
		return;
	}
	*version = ( ( stamp >> STAMP_VERSION_SHIFT ) & STAMP_VERSION_MASK ) + VERSION_BASE + ( ( stamp >> STAMP_MINOR_SHIFT ) & STAMP_MINOR_MASK );
	*build = stamp & STAMP_BUILD_MASK;
}

bool _rwStreamVersionAccepted( const u32 version ) {
	return version >= RWLIBRARY_OLDEST_VERSION && version <= RWLIBRARY_NEWEST_VERSION;
}

bool _rwStreamReadChunkHeader( RwStream* stream, u32* typeOut, u32* lengthOut, u32* versionOut, u32* buildOut ) {
	if ( stream == nullptr ) {
		return false;
	}
	u8 header[RWCHUNK_HEADER_BYTES];
	if ( RwStreamRead( stream, header, RWCHUNK_HEADER_BYTES ) != RWCHUNK_HEADER_BYTES ) {
		Fail( _rwerror( RWERR_READ ) );
		return false;
	}
	u32 version = 0;
	u32 build = 0;
	_rwStreamDecodeStamp( DTReadLE32( header + 8 ), &version, &build );
	if ( typeOut != nullptr ) {
		*typeOut = DTReadLE32( header );
	}
	if ( lengthOut != nullptr ) {
		*lengthOut = DTReadLE32( header + 4 );
	}
	if ( versionOut != nullptr ) {
		*versionOut = version;
	}
	if ( buildOut != nullptr ) {
		*buildOut = build;
	}
	return true;
}

RwStream* _rwStreamWriteVersionedChunkHeader( RwStream* stream, const u32 type, const u32 length, const u32 version,
											  const u32 build ) {
	u8 header[RWCHUNK_HEADER_BYTES];
	DTWriteLE32( header, type );
	DTWriteLE32( header + 4, length );
	DTWriteLE32( header + 8, _rwStreamEncodeStamp( version, build ) );
	return RwStreamWrite( stream, header, RWCHUNK_HEADER_BYTES );
}

bool RwStreamFindChunk( RwStream* stream, const u32 type, u32* lengthOut, u32* versionOut ) {
	u32 foundType = 0;
	u32 length = 0;
	u32 version = 0;
	for ( ;; ) {
		if ( !_rwStreamReadChunkHeader( stream, &foundType, &length, &version, nullptr ) ) {
			return false;
		}
		if ( foundType == type ) {
			break;
		}
		if ( RwStreamSkip( stream, length ) == nullptr ) {
			return false;
		}
	}
	if ( !_rwStreamVersionAccepted( version ) ) {
		Fail( _rwerror( RWERR_BAD_VERSION, version ) );
		return false;
	}
	if ( lengthOut != nullptr ) {
		*lengthOut = length;
	}
	if ( versionOut != nullptr ) {
		*versionOut = version;
	}
	return true;
}

void* _rwStreamModuleOpen( void* instance, const s32 offset, s32 ) {
	RwStreamGlobals* const globals = RwPluginData<RwStreamGlobals>( instance, offset );
	globals->streamFreeList = RwFreeListCreateAndPreallocateSpace( static_cast<s32>( sizeof( RwStream ) ),
																   RWSTREAM_ENTRIES_PER_BLOCK, 4, 1, &streamFreeListRecord );
	if ( globals->streamFreeList == nullptr ) {
		return nullptr;
	}
	streamModule.globalsOffset = offset;
	streamModule.numInstances++;
	return instance;
}

void* _rwStreamModuleClose( void* instance, const s32 offset, s32 ) {
	if ( streamModule.numInstances <= 0 ) {
		return instance;
	}
	RwStreamGlobals* const globals = RwPluginData<RwStreamGlobals>( instance, offset );
	RwFreeListDestroy( globals->streamFreeList );
	globals->streamFreeList = nullptr;
	streamModule.numInstances--;
	return instance;
}
