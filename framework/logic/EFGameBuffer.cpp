#include "framework/logic/EFGameBuffer.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/memory/MMMemory.h"

#include <cstring>

namespace {

constexpr u32 ID_AT				= 0;
constexpr u32 SIZE_AT			= 4;
constexpr u32 COUNT_AT			= 8;
constexpr u32 PERSISTENT_AT		= 12;
constexpr u32 ADDRESS_AT		= 16;

}

EFGameBuffer::EFGameBuffer() : mpBlock( nullptr ) {
}

EFGameBuffer::~EFGameBuffer() {
	MMFree( mpBlock );
	mpBlock = nullptr;
}

bool EFGameBuffer::Create( const u32 id, const u32 size, const bool persistent ) {
	if ( mpBlock != nullptr || size > 0xFFFFFFFFu - EF_GAME_BUFFER_HEADER_BYTES ) {
		return false;
	}
	u8 * const block = static_cast<u8 *>( MMMalloc( EF_GAME_BUFFER_HEADER_BYTES + size ) );
	if ( block == nullptr ) {
		return false;
	}
	// The padding is cleared with the rest: it goes into saved games.
	std::memset( block, 0, EF_GAME_BUFFER_HEADER_BYTES + size );
	DTWriteBE32( block + ID_AT, id );
	DTWriteBE32( block + SIZE_AT, size );
	DTWriteBE32( block + COUNT_AT, 0 );
	block[PERSISTENT_AT] = persistent ? 1 : 0;
	DTWriteBE32( block + ADDRESS_AT, 0 );
	mpBlock = block;
	return true;
}

u32 EFGameBuffer::GetID() const {
	return mpBlock != nullptr ? DTReadBE32( mpBlock + ID_AT ) : 0;
}

u32 EFGameBuffer::GetSize() const {
	return mpBlock != nullptr ? DTReadBE32( mpBlock + SIZE_AT ) : 0;
}

u32 EFGameBuffer::GetCount() const {
	return mpBlock != nullptr ? DTReadBE32( mpBlock + COUNT_AT ) : 0;
}

void EFGameBuffer::SetCount( const u32 count ) {
	if ( mpBlock != nullptr ) {
		DTWriteBE32( mpBlock + COUNT_AT, count );
	}
}

bool EFGameBuffer::IsPersistent() const {
	return mpBlock != nullptr && mpBlock[PERSISTENT_AT] != 0;
}

u8 * EFGameBuffer::GetData() const {
	return mpBlock != nullptr ? mpBlock + EF_GAME_BUFFER_HEADER_BYTES : nullptr;
}
