#include "datatypes/persist/DTBasePersistStream.h"

#include "datatypes/file/DTFile.h"

DTBasePersistStream::DTBasePersistStream()
	: mpFileHandle( nullptr ), mpoStreamLoader( nullptr ), miType( 0 ) {
}

DTBasePersistStream::~DTBasePersistStream() {
}

s32 DTBasePersistStream::SaveBinaryData( const char *, const s32 ) {
	return DT_PERSIST_OK;
}

s32 DTBasePersistStream::LoadBinaryData( char * buffer, const s32 size ) {
	if ( size == 0 ) {
		return DT_PERSIST_OK;
	}
	// A negative size would reach the file read as a count of about four
	// billion bytes and fill far more than the caller's buffer.
	if ( size < 0 ) {
		return DT_PERSIST_READ_PAST_END;
	}
	if ( mpFileHandle != nullptr ) {
		DTFread( buffer, 1, static_cast<u32>( size ), mpFileHandle );
	}
	return DT_PERSIST_OK;
}

u32 DTBasePersistStream::GetBytesLeft() const {
	if ( ( miType & DT_PERSIST_TYPE_FILE ) == 0 || mpFileHandle == nullptr ) {
		return 0;
	}
	const u32 length = DTFsize( mpFileHandle );
	const u32 offset = mpFileHandle->offset;
	return offset < length ? length - offset : 0;
}
