#include "datatypes/memory/DTMemPool.h"

#include "datatypes/memory/MMMemory.h"

DTMemPool::DTMemPool()
	: mpoBuffer( nullptr ),
	  mpoFreeList( nullptr ),
	  mui32ElementSize( 0 ),
	  mui32BufferSize( 0 ),
	  mbOwner( false ) {
}

DTMemPool::~DTMemPool() {
	ReleaseBuffer();
}

void DTMemPool::ReleaseBuffer() {
	if ( mbOwner && mpoBuffer != nullptr ) {
		MMFree( mpoBuffer );
	}
	mpoBuffer = nullptr;
	mpoFreeList = nullptr;
	mui32BufferSize = 0;
	mbOwner = false;
}

bool DTMemPool::Initialise( const u32& count, const u32 size ) {
	ReleaseBuffer();
	const u64 bytes = ( static_cast<u64>( count ) + 1 ) * ( static_cast<u64>( size ) + MM_HEADER_BYTES );
	if ( bytes > 0xFFFFFFFFu ) {
		return false;
	}
	void* buffer = MMFirstMalloc( static_cast<u32>( bytes ) );
	if ( buffer == nullptr ) {
		return false;
	}
	if ( !InitialiseOver( buffer, static_cast<u32>( bytes ), count, size ) ) {
		MMFree( buffer );
		return false;
	}
	mbOwner = true;
	return true;
}

bool DTMemPool::InitialiseOver( void* buffer, const u32 bufferBytes, const u32 count, const u32 size ) {
	const u64 stride = static_cast<u64>( size ) + MM_HEADER_BYTES;
	const u64 bytes = ( static_cast<u64>( count ) + 1 ) * stride;
	// Every element keeps the 32-byte alignment of the buffer.
	if ( buffer == nullptr || ( reinterpret_cast<uintptr_t>( buffer ) & 31u ) != 0 || ( size & 31u ) != 0 ||
		 bytes > bufferBytes ) {
		return false;
	}
	ReleaseBuffer();
	mpoBuffer = static_cast<u8*>( buffer );
	mui32ElementSize = size;
	mui32BufferSize = static_cast<u32>( bytes );

	// Threaded from the last element back, so the list runs in address order.
	mmheader* next = nullptr;
	for ( u64 i = static_cast<u64>( count ) + 1; i-- > 0; ) {
		mmheader* h = reinterpret_cast<mmheader*>( mpoBuffer + i * stride );
		h->mui32Magic = MM_MAGIC_FREE;
		h->SetNext( next );
		h->SetPrevious( nullptr );
		h->mui32Size = size;
		h->mi32FreeBytes = 0;
		h->mui32Tag = 0;
		h->mui32Spare[0] = 0;
		h->mui32Spare[1] = 0;
		next = h;
	}
	mpoFreeList = next;
	return true;
}

mmheader* DTMemPool::GetElement() {
	mmheader* h = mpoFreeList;
	if ( h == nullptr ) {
		return nullptr;
	}
	mpoFreeList = h->Next();
	h->mui32Magic = MM_MAGIC_IN_USE;
	return h;
}

void DTMemPool::FreeElement( mmheader* h ) {
	if ( h == nullptr || h->mui32Magic != MM_MAGIC_IN_USE ) {
		return;
	}
	h->mui32Magic = MM_MAGIC_FREE;
	h->SetNext( mpoFreeList );
	mpoFreeList = h;
}

bool DTMemPool::Contains( const mmheader* h ) const {
	if ( mpoBuffer == nullptr || h == nullptr ) {
		return false;
	}
	const u8* byte = reinterpret_cast<const u8*>( h );
	const u64 stride = static_cast<u64>( mui32ElementSize ) + MM_HEADER_BYTES;
	return byte >= mpoBuffer && byte < mpoBuffer + mui32BufferSize &&
		   static_cast<u64>( byte - mpoBuffer ) % stride == 0;
}

u32 DTMemPool::CountFree() const {
	// Bounded by the number of elements, so a damaged list cannot loop.
	const u64 elements = mui32BufferSize / ( static_cast<u64>( mui32ElementSize ) + MM_HEADER_BYTES );
	u32 count = 0;
	for ( const mmheader* h = mpoFreeList; h != nullptr && count <= elements; h = h->Next() ) {
		count++;
	}
	return count;
}
