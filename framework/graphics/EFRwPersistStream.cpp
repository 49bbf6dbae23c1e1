#include "framework/graphics/EFRwPersistStream.h"

#include "graphics3d/core/RwStream.h"

EFRwPersistStream::EFRwPersistStream( RwStream * stream ) : mpStream( stream ) {
	miType = DT_PERSIST_TYPE_BINARY;
}

s32 EFRwPersistStream::LoadBinaryData( char * buffer, const s32 size ) {
	if ( size == 0 ) {
		return DT_PERSIST_OK;
	}
	if ( size < 0 || mpStream == nullptr ) {
		return DT_PERSIST_READ_PAST_END;
	}
	const u32 read = RwStreamRead( mpStream, buffer, static_cast<u32>( size ) );
	return read == static_cast<u32>( size ) ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END;
}

u32 EFRwPersistStream::GetBytesLeft() const {
	u32 left = 0;
	if ( mpStream == nullptr || !_rwStreamBytesLeft( mpStream, &left ) ) {
		return 0;
	}
	return left;
}
