/*
===============================================================================

	Render-state words the projected textures and shadows set: the
	library's state numbers and blend factors, a value packed as the
	pointer argument the library takes, and a state read back as a word
	(read into pointer-sized room, since a device may write a pointer).

===============================================================================
*/
#ifndef EF_EFFECT_RENDER_STATES_H
#define EF_EFFECT_RENDER_STATES_H

#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstdint>

// The library's vertex-alpha switch (the console driver takes it as given).
constexpr RwRenderState EF_STATE_VERTEX_ALPHA	= 12;

constexpr u32 EF_BLEND_ZERO				= 1;
constexpr u32 EF_BLEND_ONE				= 2;
constexpr u32 EF_BLEND_INV_SRC_COLOR	= 4;
constexpr u32 EF_BLEND_SRC_ALPHA		= 5;
constexpr u32 EF_BLEND_INV_SRC_ALPHA	= 6;
constexpr u32 EF_BLEND_INV_DEST_COLOR	= 10;

constexpr u32 EF_TEXTURE_FILTER_LINEAR	= 2;
constexpr u32 EF_TEXTURE_ADDRESS_CLAMP	= 3;

inline void * EFStateValue( const u32 value ) {
	return reinterpret_cast<void *>( static_cast<uintptr_t>( value ) );
}

inline void EFSetState( const RwRenderState state, const u32 value ) {
	RwRenderStateSet( state, EFStateValue( value ) );
}

inline u32 EFGetState( const RwRenderState state ) {
	uintptr_t value = 0;
	RwRenderStateGet( state, &value );
	return static_cast<u32>( value );
}

#endif
