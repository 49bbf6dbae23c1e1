#include "framework/core/save/EFLoadSaveBuff.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFGameBuffer.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFGameMemoryMgr.h"

#include <cstring>

namespace {

constexpr u32 SAVE_MAGIC				= 0x41474153;	// "AGAS"
constexpr u16 SAVE_VERSION				= 0x0100;
constexpr u32 SAVE_CHUNK_MAGIC			= 0x4B434843;	// "KCHC"
constexpr u32 SAVE_CHUNK_COUNT			= 2;
constexpr u32 SAVE_CHUNK_LOGIC			= 0;
constexpr u32 SAVE_CHUNK_BUFFERS		= 1;

constexpr u32 SAVE_VERSION_OFFSET		= 4;
constexpr u32 SAVE_TITLE_OFFSET			= 12;
constexpr u32 SAVE_TITLE_SIZE			= 32;
constexpr u32 SAVE_CHUNK_COUNT_OFFSET	= 60;
constexpr u32 SAVE_IMAGE_SIZE_OFFSET	= 64;
constexpr u32 SAVE_HEADER_CRC_OFFSET	= 68;
constexpr u32 SAVE_IMAGE_CRC_OFFSET		= 72;
// Characters of the title and level name kept before the terminator.
constexpr u32 SAVE_NAME_CHARS			= 31;

constexpr u32 CRC_POLYNOMIAL			= 0xEDB88320;

// Built by the first constructor. Zero-initialised storage is in place
// before any constructor runs, so a save manager built before main finds
// it whatever the order of initialisation.
u32 gCrcTable[256];
bool gbCrcTableBuilt;

void BuildCrcTable() {
	for ( u32 n = 0; n < 256; n++ ) {
		u32 c = n;
		for ( u32 bit = 0; bit < 8; bit++ ) {
			c = ( c & 1 ) != 0 ? CRC_POLYNOMIAL ^ ( c >> 1 ) : c >> 1;
		}
		gCrcTable[n] = c;
	}
	gbCrcTableBuilt = true;
}

u32 CrcUpdate( u32 crc, const u8* data, const u32 length ) {
	if ( !gbCrcTableBuilt ) {
		BuildCrcTable();
	}
	for ( u32 i = 0; i < length; i++ ) {
		crc = gCrcTable[( crc ^ data[i] ) & 0xFF] ^ ( crc >> 8 );
	}
	return crc;
}

const u8* Bytes( const char* p ) {
	return reinterpret_cast<const u8*>( p );
}

void WriteBE32( char* p, const u32 value ) {
	DTWriteBE32( reinterpret_cast<u8*>( p ), value );
}

// Copies at most SAVE_NAME_CHARS characters of text, the rest of size
// bytes NUL.
void CopyName( char* field, const u32 size, const char* text ) {
	std::memset( field, 0, size );
	if ( text != nullptr ) {
		std::memcpy( field, text, strnlen( text, SAVE_NAME_CHARS ) );
	}
}

EFGameMemoryMgr* GameMemory() {
	return gpoGameLogicMgr != nullptr ? &gpoGameLogicMgr->GetGameMemoryMgr() : nullptr;
}

}

EFLoadSaveBuff::EFLoadSaveBuff() {
	mui32GameBufferBytes = 0;
	mui32ImageSize = 0;
	if ( !gbCrcTableBuilt ) {
		BuildCrcTable();
	}
}

u32 EFLoadSaveBuff::ComputeCrc( const char* data, const u32 length ) {
	return CrcUpdate( 0xFFFFFFFF, Bytes( data ), length ) ^ 0xFFFFFFFF;
}

u32 EFLoadSaveBuff::ComputeImageCrc( const char* image, const u32 length ) {
	static const u8 zeros[8] = {};
	u32 crc = CrcUpdate( 0xFFFFFFFF, Bytes( image ), SAVE_HEADER_CRC_OFFSET );
	crc = CrcUpdate( crc, zeros, sizeof( zeros ) );
	crc = CrcUpdate( crc, Bytes( image ) + SAVE_IMAGE_CRC_OFFSET + 4, length - SAVE_IMAGE_CRC_OFFSET - 4 );
	return crc ^ 0xFFFFFFFF;
}

void EFLoadSaveBuff::StampCrcs( char* image ) {
	const u32 size = DTReadBE32( Bytes( image ) + SAVE_IMAGE_SIZE_OFFSET );
	WriteBE32( image + SAVE_HEADER_CRC_OFFSET, 0 );
	WriteBE32( image + SAVE_IMAGE_CRC_OFFSET, 0 );
	const u32 headerCrc = ComputeCrc( image, EF_SAVE_HEADER_BYTES );
	WriteBE32( image + SAVE_IMAGE_CRC_OFFSET, ComputeCrc( image, size ) );
	WriteBE32( image + SAVE_HEADER_CRC_OFFSET, headerCrc );
}

bool EFLoadSaveBuff::ComputeDataSize() {
	u64 total = 0;
	EFGameMemoryMgr* const memory = GameMemory();
	if ( memory != nullptr ) {
		for ( EFGameBuffer* buffer = memory->GetFirstBuffer(); buffer != nullptr; buffer = memory->GetNextBuffer() ) {
			total += buffer->GetBlockSize();
		}
	}
	if ( total + EF_SAVE_IMAGE_OVERHEAD > 0xFFFFFFFFull ) {
		return false;
	}
	mui32GameBufferBytes = static_cast<u32>( total );
	mui32ImageSize = static_cast<u32>( total ) + EF_SAVE_IMAGE_OVERHEAD;
	return true;
}

void EFLoadSaveBuff::AddChunkHeader( char*& cursor, const u32 type, const u32 size ) {
	WriteBE32( cursor, SAVE_CHUNK_MAGIC );
	WriteBE32( cursor + 4, type );
	WriteBE32( cursor + 8, size );
	cursor += EF_SAVE_CHUNK_HEADER_BYTES;
}

void EFLoadSaveBuff::CopyGameData( char* image ) const {
	// Every byte not written below stays zero, the spare tail included.
	std::memset( image, 0, mui32ImageSize );
	char* cursor = image + EF_SAVE_HEADER_BYTES;
	AddChunkHeader( cursor, SAVE_CHUNK_LOGIC, EF_LOGIC_BLOCK_BYTES );
	EFGameMemoryMgr* const memory = GameMemory();
	if ( memory != nullptr && memory->GetLogicBlock() != nullptr ) {
		std::memcpy( cursor, memory->GetLogicBlock(), EF_LOGIC_BLOCK_BYTES );
	}
	cursor += EF_LOGIC_BLOCK_BYTES;
	AddChunkHeader( cursor, SAVE_CHUNK_BUFFERS, mui32GameBufferBytes );
	if ( memory == nullptr ) {
		return;
	}
	const char* const end = cursor + mui32GameBufferBytes;
	for ( EFGameBuffer* buffer = memory->GetFirstBuffer(); buffer != nullptr; buffer = memory->GetNextBuffer() ) {
		const u32 bytes = buffer->GetBlockSize();
		if ( bytes > static_cast<u32>( end - cursor ) ) {
			break;
		}
		std::memcpy( cursor, buffer->GetBlock(), bytes );
		cursor += bytes;
	}
}

void EFLoadSaveBuff::AddMainHeader( char* image, const char* title, const char* levelName ) const {
	WriteBE32( image, SAVE_MAGIC );
	DTWriteBE16( reinterpret_cast<u8*>( image ) + SAVE_VERSION_OFFSET, SAVE_VERSION );
	// The caller's strings are left alone: only the copies are cut.
	CopyName( image + SAVE_TITLE_OFFSET, SAVE_TITLE_SIZE, title );
	WriteBE32( image + SAVE_CHUNK_COUNT_OFFSET, SAVE_CHUNK_COUNT );
	WriteBE32( image + SAVE_IMAGE_SIZE_OFFSET, mui32ImageSize );
	CopyName( image + EF_SAVE_LEVEL_NAME_OFFSET, EF_SAVE_LEVEL_NAME_SIZE, levelName );
}

char* EFLoadSaveBuff::CreateBuffer( const char* title, const char* levelName ) {
	if ( !ComputeDataSize() ) {
		return nullptr;
	}
	char* const image = static_cast<char*>( MMMalloc( mui32ImageSize ) );
	if ( image == nullptr ) {
		return nullptr;
	}
	CopyGameData( image );
	AddMainHeader( image, title, levelName );
	StampCrcs( image );
	return image;
}

u32 EFLoadSaveBuff::VerifyImage( const char* image, const u32 length ) const {
	if ( image == nullptr || length < EF_SAVE_MIN_IMAGE_BYTES ) {
		return EF_SAVE_CORRUPT;
	}
	const u8* const bytes = Bytes( image );
	const u32 size = DTReadBE32( bytes + SAVE_IMAGE_SIZE_OFFSET );
	if ( size < EF_SAVE_MIN_IMAGE_BYTES || size > length ) {
		return EF_SAVE_CORRUPT;
	}
	if ( ComputeImageCrc( image, EF_SAVE_HEADER_BYTES ) != DTReadBE32( bytes + SAVE_HEADER_CRC_OFFSET ) ||
		 ComputeImageCrc( image, size ) != DTReadBE32( bytes + SAVE_IMAGE_CRC_OFFSET ) ) {
		return EF_SAVE_CORRUPT;
	}
	const u32 count = DTReadBE32( bytes + SAVE_CHUNK_COUNT_OFFSET );
	u64 offset = EF_SAVE_HEADER_BYTES;
	for ( u32 chunk = 0; chunk < count; chunk++ ) {
		if ( offset + EF_SAVE_CHUNK_HEADER_BYTES > size ) {
			return EF_SAVE_CORRUPT;
		}
		const u8* const header = bytes + offset;
		if ( DTReadBE32( header ) != SAVE_CHUNK_MAGIC ) {
			return EF_SAVE_BAD_MAGIC;
		}
		const u32 type = DTReadBE32( header + 4 );
		if ( type != SAVE_CHUNK_LOGIC && type != SAVE_CHUNK_BUFFERS ) {
			return EF_SAVE_BAD_TYPE;
		}
		const u64 chunkSize = DTReadBE32( header + 8 );
		const u64 body = offset + EF_SAVE_CHUNK_HEADER_BYTES;
		if ( ( type == SAVE_CHUNK_LOGIC && chunkSize != EF_LOGIC_BLOCK_BYTES ) || body + chunkSize > size ) {
			return EF_SAVE_CORRUPT;
		}
		// Game-buffer records must fill the chunk exactly.
		u64 record = body;
		while ( type == SAVE_CHUNK_BUFFERS && record < body + chunkSize ) {
			if ( record + EF_GAME_BUFFER_HEADER_BYTES > body + chunkSize ) {
				return EF_SAVE_CORRUPT;
			}
			record += EF_GAME_BUFFER_HEADER_BYTES + static_cast<u64>( DTReadBE32( bytes + record + 4 ) );
			if ( record > body + chunkSize ) {
				return EF_SAVE_CORRUPT;
			}
		}
		offset = body + chunkSize;
	}
	return EF_SAVE_RESTORED;
}

u32 EFLoadSaveBuff::UpdateEngineData( const char* image, const u32 length ) {
	const u32 verdict = VerifyImage( image, length );
	if ( verdict != EF_SAVE_RESTORED ) {
		return verdict;
	}
	EFGameMemoryMgr* const memory = GameMemory();
	if ( memory == nullptr ) {
		return EF_SAVE_CORRUPT;
	}
	const u8* const bytes = Bytes( image );
	const u32 count = DTReadBE32( bytes + SAVE_CHUNK_COUNT_OFFSET );
	u32 offset = EF_SAVE_HEADER_BYTES;
	for ( u32 chunk = 0; chunk < count; chunk++ ) {
		const u32 type = DTReadBE32( bytes + offset + 4 );
		const u32 chunkSize = DTReadBE32( bytes + offset + 8 );
		const u32 body = offset + EF_SAVE_CHUNK_HEADER_BYTES;
		if ( type == SAVE_CHUNK_LOGIC && memory->GetLogicBlock() != nullptr ) {
			std::memcpy( memory->GetLogicBlock(), bytes + body, EF_LOGIC_BLOCK_BYTES );
		}
		for ( u32 record = body; type == SAVE_CHUNK_BUFFERS && record < body + chunkSize; ) {
			const u32 id = DTReadBE32( bytes + record );
			const u32 size = DTReadBE32( bytes + record + 4 );
			if ( memory->GetGameBuffer( id, size, 1 ) == nullptr ) {
				return EF_SAVE_CORRUPT;
			}
			EFGameBuffer* const buffer = memory->GetGameBufferObject( id );
			buffer->SetCount( 0 );
			// A repeated id meets the buffer its first record made.
			const u32 copied = size < buffer->GetSize() ? size : buffer->GetSize();
			std::memcpy( buffer->GetData(), bytes + record + EF_GAME_BUFFER_HEADER_BYTES, copied );
			record += EF_GAME_BUFFER_HEADER_BYTES + size;
		}
		offset = body + chunkSize;
	}
	return EF_SAVE_RESTORED;
}
