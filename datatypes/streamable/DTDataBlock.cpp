#include "datatypes/streamable/DTDataBlock.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/property/DTProperty.h"
#include "datatypes/persist/DTTextPersistStream.h"

#include <new>

namespace {

// Least stored bytes of one block byte: itself, or two letters in text.
constexpr u64 BINARY_BYTE_MIN	= 1;
constexpr u64 TEXT_BYTE_MIN		= 2;

} // namespace

bool DTDataBlock::Fits( const DTBasePersistStream & stream, const u64 size ) {
	if ( size > DT_VARIANT_EXTRA_MASK ) {
		return false;
	}
	const u64 perByte = stream.IsText() ? TEXT_BYTE_MIN : BINARY_BYTE_MIN;
	return size * perByte <= stream.GetBytesLeft();
}

s32 DTDataBlock::LoadNew( DTBasePersistStream & stream, const char * name, const u64 size, u8 *& block ) {
	block = nullptr;
	if ( !Fits( stream, size ) ) {
		return DT_PERSIST_READ_PAST_END;
	}
	if ( size != 0 ) {
		block = new ( std::nothrow ) u8[size]();
		if ( block == nullptr ) {
			return DT_PERSIST_READ_PAST_END;
		}
	}
	return LoadInto( stream, name, block, static_cast<u32>( size ) );
}

s32 DTDataBlock::LoadInto( DTBasePersistStream & stream, const char * name, u8 * buffer, const u32 size ) {
	if ( stream.IsText() ) {
		char word[DT_DATA_BLOCK_NAME_MAX + 1];
		const s32 result = static_cast<DTTextPersistStream &>( stream ).LoadString( word, sizeof( word ) );
		if ( result != DT_PERSIST_OK ) {
			return result;
		}
	}
	DTProperty property( name, DTVariant( buffer, static_cast<s32>( size ) ), false, static_cast<s32>( size ) );
	return property.LoadFromStream( stream );
}
