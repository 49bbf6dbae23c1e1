#include "graphics3d/core/RwStreamData.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

// Pieces in which the string readers take their payloads.
static const u32 STRING_PIECE_BYTES		= 64;
static const u32 UNICODE_PIECE_BYTES	= 128;

RwStream* RwStreamReadInt32( RwStream* stream, void* ints, const u32 numBytes ) {
	if ( RwStreamRead( stream, ints, numBytes ) != numBytes ) {
		_rwErrorSetCore( _rwerror( RWERR_READ ) );
		return nullptr;
	}
	RwMemNative32( ints, numBytes );
	return stream;
}

RwStream* RwStreamReadReal( RwStream* stream, f32* reals, const u32 numBytes ) {
	if ( RwStreamReadInt32( stream, reals, numBytes ) == nullptr ) {
		return nullptr;
	}
	RwMemFloat32ToReal( reals, numBytes );
	return stream;
}

// Encodes one staged piece in units of unitBytes to little-endian.
typedef void ( *RwStageEncoder )( u8* piece, u32 bytes );

static void EncodeWords( u8* piece, const u32 bytes ) {
	RwMemLittleEndian32( piece, bytes );
}

static void EncodeHalfwords( u8* piece, const u32 bytes ) {
	for ( u32 i = 0; i + 2 <= bytes; i += 2 ) {
		u16 value;
		std::memcpy( &value, piece + i, sizeof( value ) );
		DTWriteLE16( piece + i, value );
	}
}

static RwStream* WriteStaged( RwStream* stream, const void* data, u32 numBytes, const RwStageEncoder encode ) {
	u8 staging[RWSTREAM_STAGING_BYTES];
	const u8* source = static_cast<const u8*>( data );
	while ( numBytes > 0 ) {
		const u32 piece = numBytes < RWSTREAM_STAGING_BYTES ? numBytes : RWSTREAM_STAGING_BYTES;
		std::memcpy( staging, source, piece );
		encode( staging, piece );
		if ( RwStreamWrite( stream, staging, piece ) == nullptr ) {
			return nullptr;
		}
		source += piece;
		numBytes -= piece;
	}
	return stream;
}

RwStream* RwStreamWriteInt32( RwStream* stream, const void* ints, const u32 numBytes ) {
	return WriteStaged( stream, ints, numBytes, EncodeWords );
}

RwStream* RwStreamWriteInt16( RwStream* stream, const void* ints, const u32 numBytes ) {
	return WriteStaged( stream, ints, numBytes, EncodeHalfwords );
}

RwStream* RwStreamWriteReal( RwStream* stream, const f32* reals, const u32 numBytes ) {
	return WriteStaged( stream, reals, numBytes, EncodeWords );
}

void* RwMemNative32( void* mem, const u32 size ) {
	u8* const bytes = static_cast<u8*>( mem );
	for ( u32 i = 0; i + 4 <= size; i += 4 ) {
		const u32 value = DTReadLE32( bytes + i );
		std::memcpy( bytes + i, &value, sizeof( value ) );
	}
	return mem;
}

void* RwMemNative16( void* mem, const u32 size ) {
	u8* const bytes = static_cast<u8*>( mem );
	for ( u32 i = 0; i + 2 <= size; i += 2 ) {
		const u16 value = DTReadLE16( bytes + i );
		std::memcpy( bytes + i, &value, sizeof( value ) );
	}
	return mem;
}

void* RwMemLittleEndian32( void* mem, const u32 size ) {
	u8* const bytes = static_cast<u8*>( mem );
	for ( u32 i = 0; i + 4 <= size; i += 4 ) {
		u32 value;
		std::memcpy( &value, bytes + i, sizeof( value ) );
		DTWriteLE32( bytes + i, value );
	}
	return mem;
}

void* RwMemRealToFloat32( void* mem, u32 ) {
	return mem;
}

void* RwMemFloat32ToReal( void* mem, u32 ) {
	return mem;
}

// Reads a string payload of length bytes, unitBytes a character, keeping
// the first byte of each unit's little-endian value, into buffer of
// capacity bytes; the rest is read and dropped.
static bool ReadStringPayload( RwStream* stream, char* buffer, const u32 capacity, const u32 length, const u32 unitBytes,
							   const u32 pieceBytes ) {
	u8 piece[UNICODE_PIECE_BYTES];
	u32 stored = 0;
	u32 remaining = length - length % unitBytes;
	while ( remaining > 0 ) {
		const u32 bytes = remaining < pieceBytes ? remaining : pieceBytes;
		if ( RwStreamRead( stream, piece, bytes ) != bytes ) {
			_rwErrorSetCore( _rwerror( RWERR_READ ) );
			return false;
		}
		for ( u32 i = 0; i < bytes; i += unitBytes ) {
			if ( stored + 1 < capacity ) {
				buffer[stored++] = static_cast<char>( unitBytes == 2 ? DTReadLE16( piece + i ) & 0xFF : piece[i] );
			}
		}
		remaining -= bytes;
	}
	// An odd byte at the end of a payload of 16-bit units is no character.
	if ( length % unitBytes != 0 && RwStreamSkip( stream, length % unitBytes ) == nullptr ) {
		return false;
	}
	buffer[stored] = '\0';
	return true;
}

char* _rwStringStreamFindAndReadBounded( char* buffer, u32 capacity, RwStream* stream ) {
	if ( buffer != nullptr && capacity == 0 ) {
		return nullptr;
	}
	for ( ;; ) {
		u32 type = 0;
		u32 length = 0;
		u32 version = 0;
		if ( !_rwStreamReadChunkHeader( stream, &type, &length, &version, nullptr ) ) {
			return nullptr;
		}
		if ( !_rwStreamVersionAccepted( version ) ) {
			_rwErrorSetCore( _rwerror( RWERR_BAD_VERSION, version ) );
			return nullptr;
		}
		if ( type != rwID_STRING && type != rwID_UNICODESTRING ) {
			if ( RwStreamSkip( stream, length ) == nullptr ) {
				return nullptr;
			}
			continue;
		}
		const u32 unitBytes = type == rwID_STRING ? 1 : 2;
		char* target = buffer;
		if ( target == nullptr ) {
			const u32 characters = length / unitBytes;
			if ( characters == 0xFFFFFFFFu ) {
				_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, characters ) );
				return nullptr;
			}
			capacity = characters + 1;
			target = static_cast<char*>( RwEngineInstance->memoryFunctions.rwmalloc( capacity ) );
			if ( target == nullptr ) {
				_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, capacity ) );
				return nullptr;
			}
		}
		const u32 pieceBytes = unitBytes == 1 ? STRING_PIECE_BYTES : UNICODE_PIECE_BYTES;
		if ( !ReadStringPayload( stream, target, capacity, length, unitBytes, pieceBytes ) ) {
			if ( buffer == nullptr ) {
				RwEngineInstance->memoryFunctions.rwfree( target );
			}
			return nullptr;
		}
		return target;
	}
}

char* _rwStringStreamFindAndRead( char* buffer, RwStream* stream ) {
	return _rwStringStreamFindAndReadBounded( buffer, RWSTRING_BUFFER_BYTES, stream );
}
