#include "datatypes/memory/DTWorkMemory.h"

#include "datatypes/memory/MMMemory.h"

DTWorkMemory::DTWorkMemory()
	: mpBufferAddress( nullptr ),
	  mui32Size( 0 ),
	  mui32Offset( 0 ),
	  mbOwner( 1 ) {
}

DTWorkMemory::DTWorkMemory( void* buffer, const u32 size )
	: mpBufferAddress( static_cast<u8*>( buffer ) ),
	  mui32Size( buffer != nullptr ? size : 0 ),
	  mui32Offset( 0 ),
	  mbOwner( 0 ) {
}

DTWorkMemory::~DTWorkMemory() {
	if ( mbOwner != 0 && mpBufferAddress != nullptr ) {
		MMFree( mpBufferAddress );
	}
}

bool DTWorkMemory::SetSize( const u32 n ) {
	if ( mbOwner != 0 && mpBufferAddress != nullptr ) {
		MMFree( mpBufferAddress );
	}
	mpBufferAddress = static_cast<u8*>( MMFirstMalloc( n ) );
	mui32Offset = 0;
	if ( mpBufferAddress == nullptr ) {
		mui32Size = 0;
		return false;
	}
	// The new buffer came from heap 0 and goes back there with the area.
	mbOwner = 1;
	mui32Size = n;
	return true;
}

void* DTWorkMemory::Get( const u32 n ) {
	if ( n > mui32Size - mui32Offset ) {
		return nullptr;
	}
	void* p = mpBufferAddress + mui32Offset;
	mui32Offset += n;
	return p;
}

void* DTWorkMemory::GetAll() {
	mui32Offset = mui32Size;
	return mpBufferAddress;
}

bool DTWorkMemory::Release( const u32 n ) {
	const s64 offset = static_cast<s64>( mui32Offset ) - static_cast<s64>( n );
	if ( offset < 0 ) {
		mui32Offset = 0;
		return false;
	}
	mui32Offset = static_cast<u32>( offset );
	return true;
}

u32 DTWorkMemory::GetFree() const {
	return mui32Size - mui32Offset;
}

void DTWorkMemory::Reset() {
	mui32Offset = 0;
}
