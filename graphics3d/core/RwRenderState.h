/*
===============================================================================

	Render states of the 3D library.

	Both calls forward to the device record of the current instance. A
	render state may only be set while a camera is being updated: outside
	one the device is not called and core error 16 is recorded.

===============================================================================
*/
#ifndef RW_RENDER_STATE_H
#define RW_RENDER_STATE_H

#include "graphics3d/core/RwDevice.h"

bool	RwRenderStateSet( RwRenderState state, void* value );
bool	RwRenderStateGet( RwRenderState state, void* value );

#endif
