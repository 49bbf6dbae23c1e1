// Placeholder for the driver's immediate-3D module: it succeeds and does
// nothing, except that it starts from cleared space as the real module does.

#include "graphics3d/core/RwDevice.h"

#include <cstring>

void* _rwIm3DOpen( void* instance, const s32 offset, const s32 size ) {
	if ( size > 0 ) {
		std::memset( static_cast<u8*>( instance ) + offset, 0, static_cast<size_t>( size ) );
	}
	return instance;
}

void* _rwIm3DClose( void* instance, s32, s32 ) {
	return instance;
}
