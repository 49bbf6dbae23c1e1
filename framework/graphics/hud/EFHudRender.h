/*
===============================================================================

	Render states and primitive types the HUD sets, in the 3D library's
	numbering, and the one call that sets a state to a number.

===============================================================================
*/
#ifndef EF_HUD_RENDER_H
#define EF_HUD_RENDER_H

#include "datatypes/base/DTTypes.h"

struct RwRaster;

constexpr s32 EF_HUD_STATE_TEXTURE_RASTER	= 1;
constexpr s32 EF_HUD_STATE_TEXTURE_ADDRESS	= 2;
constexpr s32 EF_HUD_STATE_Z_TEST			= 6;
constexpr s32 EF_HUD_STATE_Z_WRITE			= 8;
constexpr s32 EF_HUD_STATE_TEXTURE_FILTER	= 9;
constexpr s32 EF_HUD_STATE_SRC_BLEND		= 10;
constexpr s32 EF_HUD_STATE_DST_BLEND		= 11;
constexpr s32 EF_HUD_STATE_VERTEX_ALPHA		= 12;
constexpr s32 EF_HUD_STATE_FOG				= 14;

constexpr s32 EF_HUD_TRIANGLE_LIST			= 3;
constexpr s32 EF_HUD_TRIANGLE_STRIP			= 4;

// Blends of HUD drawing: source alpha, inverse source alpha.
constexpr u32 EF_HUD_SRC_BLEND				= 5;
constexpr u32 EF_HUD_DST_BLEND				= 6;

void	EFHudSetState( s32 state, u32 value );
void	EFHudSetRaster( RwRaster * raster );
// The device writes a pointer-sized value.
void *	EFHudGetState( s32 state );
void	EFHudRestoreState( s32 state, void * value );

#endif
