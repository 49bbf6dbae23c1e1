#include "graphics3d/core/RwColor.h"

void* _rwColorOpen( void* instance, s32, s32 ) {
	return instance;
}

void* _rwColorClose( void* instance, s32, s32 ) {
	return instance;
}
