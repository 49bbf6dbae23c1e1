// Native texture chunks of the console device driver: not read or
// written yet, so the three standards refuse.

#include "graphics3d/gamecube/RwDlDriver.h"

bool _rwDlNativeTextureGetSize( void*, void*, s32 ) {
	return false;
}

bool _rwDlNativeTextureRead( void*, void*, s32 ) {
	return false;
}

bool _rwDlNativeTextureWrite( void*, void*, s32 ) {
	return false;
}
