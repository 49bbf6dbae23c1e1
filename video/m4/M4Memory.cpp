#include "video/m4/M4Memory.h"

M4AllocCallback	_M4allocCB		= nullptr;
M4FreeCallback	_M4freeCB		= nullptr;
M4AllocCallback	_M4LCallocCB	= nullptr;

void M4initMemory( M4AllocCallback alloc, M4FreeCallback free, M4AllocCallback fastAlloc ) {
	_M4allocCB = alloc;
	_M4freeCB = free;
	_M4LCallocCB = fastAlloc;
}

void* M4Malloc( u32 size ) {
	if ( _M4allocCB == nullptr ) {
		return nullptr;
	}
	return _M4allocCB( size );
}

void M4Free( void* block ) {
	if ( block == nullptr || _M4freeCB == nullptr ) {
		return;
	}
	_M4freeCB( block );
}

void* M4FastMalloc( u32 size ) {
	if ( _M4LCallocCB == nullptr ) {
		return nullptr;
	}
	return _M4LCallocCB( size );
}
