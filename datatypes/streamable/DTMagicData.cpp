#include "datatypes/streamable/DTMagicData.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/streamable/DTDataBlock.h"
#include "datatypes/property/DTVariant.h"

#include <cstring>
#include <new>

DTMagicData::DTMagicData()
	: mpMagicDataBlock( nullptr ), muiMagicDataBlockSize( 0 ) {
	RegisterMember( DTVariant( &muiMagicDataBlockSize ), "MAGIC_SIZE" );
}

DTMagicData::DTMagicData( const DTMagicData & other )
	: DTMagicData() {
	*this = other;
}

DTMagicData::~DTMagicData() {
	FreeBlock();
}

DTMagicData & DTMagicData::operator=( const DTMagicData & other ) {
	if ( this == &other ) {
		return *this;
	}
	FreeBlock();
	muiMagicDataBlockSize = other.muiMagicDataBlockSize;
	if ( other.mpMagicDataBlock != nullptr ) {
		mpMagicDataBlock = new ( std::nothrow ) u8[muiMagicDataBlockSize + 1u];
		if ( mpMagicDataBlock != nullptr && muiMagicDataBlockSize != 0 ) {
			std::memcpy( mpMagicDataBlock, other.mpMagicDataBlock, muiMagicDataBlockSize );
		}
	}
	return *this;
}

s32 DTMagicData::AllocateBlock() {
	FreeBlock();
	if ( muiMagicDataBlockSize > DT_VARIANT_EXTRA_MASK ) {
		return DT_PERSIST_READ_PAST_END;
	}
	// Even a block of 0 bytes is allocated: a loaded object always has one.
	mpMagicDataBlock = new ( std::nothrow ) u8[muiMagicDataBlockSize + 1u]();
	return mpMagicDataBlock != nullptr ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END;
}

s32 DTMagicData::LoadFromStream( DTBasePersistStream & stream ) {
	const s32 result = AllocateBlock();
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	return DTDataBlock::LoadInto( stream, "MAGIC_BLOCK", mpMagicDataBlock, muiMagicDataBlockSize );
}

s32 DTMagicData::LoadBytes( DTBasePersistStream & stream, const u32 count ) {
	const s32 result = AllocateBlock();
	if ( result != DT_PERSIST_OK ) {
		return result;
	}
	if ( count > muiMagicDataBlockSize || count > stream.GetBytesLeft() ) {
		return DT_PERSIST_READ_PAST_END;
	}
	return stream.LoadBinaryData( reinterpret_cast<char *>( mpMagicDataBlock ), static_cast<s32>( count ) );
}

s32 DTMagicData::SaveToStream( DTBasePersistStream & ) {
	return DT_PERSIST_OK;
}

void DTMagicData::FreeBlock() {
	delete[] mpMagicDataBlock;
	mpMagicDataBlock = nullptr;
}
