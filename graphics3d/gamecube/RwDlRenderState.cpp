// Render states of the console device driver. Until the render-state
// cache exists every state is refused and opening or closing the cache
// does nothing.

#include "graphics3d/gamecube/RwDlDriver.h"

bool _rwDlSetRenderState( RwRenderState, void* ) {
	return false;
}

bool _rwDlGetRenderState( RwRenderState, void* ) {
	return false;
}

bool _rwDlRenderStateOpen() {
	return true;
}

bool _rwDlRenderStateClose() {
	return true;
}
