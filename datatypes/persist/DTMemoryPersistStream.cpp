#include "datatypes/persist/DTMemoryPersistStream.h"

#include <cstring>

namespace {

constexpr s32 MEMORY_TYPE = DT_PERSIST_TYPE_BINARY | DT_PERSIST_TYPE_MEMORY;

} // namespace

DTMemoryPersistStream::DTMemoryPersistStream( char * buffer, const s32 size )
	: miBufferSize( size ), miFilePointer( 0 ), mbOwnBuffer( 0 ) {
	miType = MEMORY_TYPE;
	mpMemPtr = buffer;
}

DTMemoryPersistStream::~DTMemoryPersistStream() {
	if ( mbOwnBuffer != 0 && mpMemPtr != nullptr ) {
		delete[] mpMemPtr;
	}
}

s32 DTMemoryPersistStream::LoadBinaryData( char * buffer, const s32 size ) {
	if ( size == 0 ) {
		return DT_PERSIST_OK;
	}
	if ( size < 0 ) {
		return DT_PERSIST_READ_PAST_END;
	}
	const s32 left = static_cast<s32>( GetBytesLeft() );
	if ( size > left ) {
		if ( left > 0 ) {
			std::memcpy( buffer, mpMemPtr + miFilePointer, static_cast<size_t>( left ) );
		}
		miFilePointer = GetReadableSize();
		return DT_PERSIST_READ_PAST_END;
	}
	std::memcpy( buffer, mpMemPtr + miFilePointer, static_cast<size_t>( size ) );
	miFilePointer += size;
	return DT_PERSIST_OK;
}

u32 DTMemoryPersistStream::GetBytesLeft() const {
	const s32 readable = GetReadableSize();
	return miFilePointer < readable ? static_cast<u32>( readable - miFilePointer ) : 0;
}

s32 DTMemoryPersistStream::Forward( const s32 n ) {
	if ( n < 0 ) {
		return DT_PERSIST_READ_PAST_END;
	}
	if ( static_cast<u32>( n ) > GetBytesLeft() ) {
		miFilePointer = GetReadableSize();
		return DT_PERSIST_READ_PAST_END;
	}
	miFilePointer += n;
	return DT_PERSIST_OK;
}

s32 DTMemoryPersistStream::GetReadableSize() const {
	if ( mpMemPtr == nullptr || miBufferSize < 0 ) {
		return 0;
	}
	return miBufferSize;
}
