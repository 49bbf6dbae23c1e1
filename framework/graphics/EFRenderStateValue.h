/*
===============================================================================

	Render-state values as the library passes them: a number in a pointer
	on the way in, a pointer-sized value written by the device on the way
	out.

===============================================================================
*/
#ifndef EF_RENDER_STATE_VALUE_H
#define EF_RENDER_STATE_VALUE_H

#include "graphics3d/core/RwRenderState.h"

#include <cstdint>

inline void * EFStateValue( const u32 value ) {
	return reinterpret_cast<void *>( static_cast<uintptr_t>( value ) );
}

inline void * EFGetState( const RwRenderState state ) {
	void * value = nullptr;
	RwRenderStateGet( state, &value );
	return value;
}

#endif
