/*
===============================================================================

	Render states and values the screen effects set, and the small helpers
	they share: states pass through the library as pointer-sized values,
	colour channels of 0..1 become saturated bytes, screen-space vertices
	take their colour as bytes.

===============================================================================
*/
#ifndef EF_EFFECT_STATES_H
#define EF_EFFECT_STATES_H

#include "datatypes/base/DTFloatToInt.h"
#include "framework/graphics/EFRenderStateValue.h"
#include "graphics3d/core/RwIm2D.h"

#include <cstdint>

// Render states of the library.
constexpr RwRenderState EF_RS_TEXTURE_RASTER	= 1;
constexpr RwRenderState EF_RS_ADDRESS_U			= 3;
constexpr RwRenderState EF_RS_ADDRESS_V			= 4;
constexpr RwRenderState EF_RS_ZTEST				= 6;
constexpr RwRenderState EF_RS_ZWRITE			= 8;
constexpr RwRenderState EF_RS_TEXTURE_FILTER	= 9;
constexpr RwRenderState EF_RS_SRC_BLEND			= 10;
constexpr RwRenderState EF_RS_DST_BLEND			= 11;
constexpr RwRenderState EF_RS_VERTEX_ALPHA		= 12;
constexpr RwRenderState EF_RS_FOG				= 14;
constexpr RwRenderState EF_RS_CULL_MODE			= 20;

// Their values.
constexpr u32 EF_BLEND_ZERO						= 1;
constexpr u32 EF_BLEND_ONE						= 2;
constexpr u32 EF_BLEND_INV_SRC_COLOUR			= 4;
constexpr u32 EF_BLEND_SRC_ALPHA				= 5;
constexpr u32 EF_BLEND_INV_SRC_ALPHA			= 6;
constexpr u32 EF_FILTER_LINEAR					= 2;
constexpr u32 EF_ADDRESS_CLAMP					= 3;
constexpr u32 EF_CULL_NONE						= 1;

// Primitive types of both immediate modes.
constexpr s32 EF_PRIM_TRIANGLE_LIST				= 3;
constexpr s32 EF_PRIM_TRIANGLE_STRIP			= 4;

inline void EFSetState( const RwRenderState state, const u32 value ) {
	RwRenderStateSet( state, EFStateValue( value ) );
}

inline u32 EFGetStateWord( const RwRenderState state ) {
	return static_cast<u32>( reinterpret_cast<uintptr_t>( EFGetState( state ) ) );
}

// 255 x value as a byte, saturating at both ends.
inline u8 EFColourByte( const f32 value ) {
	const u32 byte = DTFloatToU32( 255.0 * static_cast<f64>( value ) );
	return static_cast<u8>( byte > 255 ? 255 : byte );
}

// One screen-space vertex with colour bytes r, g, b, a.
inline void EFSetIm2DVertex( RwIm2DVertex& v, const f32 x, const f32 y, const f32 z, const u8* colour, const f32 u,
							 const f32 tv ) {
	v.x = x;
	v.y = y;
	v.z = z;
	v.r = colour[0];
	v.g = colour[1];
	v.b = colour[2];
	v.a = colour[3];
	v.u = u;
	v.v = tv;
}

#endif
