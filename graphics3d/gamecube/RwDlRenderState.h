/*
===============================================================================

	Render-state cache and texture sampler of the console device driver.

	The driver keeps the GX state it has set in _RwDlStateCache, so a
	render state set to the value it already has costs no GX work, and one
	texture of its own (_RwDlTexture) that stands for the current texture
	of the render states. A library texture becomes a GX texture object
	(its extension), built again only when its filter and addressing
	change, and is loaded on a texture stage only when the stage holds
	another texture (_RwDlTextureCache).

	Render-state values arrive as the pointer-sized value of the set call;
	a get writes an s32, or for the texture raster (state 1) the raster
	pointer, to the place given.

===============================================================================
*/
#ifndef RW_DL_RENDER_STATE_H
#define RW_DL_RENDER_STATE_H

#include "graphics3d/core/RwTexture.h"
#include "platform/gx/GX.h"

struct RwRaster;

// The GX state the driver has set.
struct RwDlStateCache {
	u32		zWrite;
	u32		zTest;
	u32		zCompare;			// GX comparison of the Z test
	u32		cullMode;
	u32		fogOn;
	u32		fogType;
	u32		fogColour;			// packed A8R8G8B8
	GXColor	fogColourBytes;
	u32		fogEndFixed;
	f32		fogStart;
	f32		fogEnd;
	f32		fogNear;
	f32		fogFar;
	u32		srcBlend;
	u32		dstBlend;
	u32		srcBlendGX;
	u32		dstBlendGX;
	u32		alphaMode;
	u8		alphaRef[2];
};

// Render states the driver handles (the core's numbering).
enum RwDlRenderState : s32 {
	RWDL_STATE_TEXTURE_RASTER		= 1,
	RWDL_STATE_TEXTURE_ADDRESS		= 2,
	RWDL_STATE_TEXTURE_ADDRESS_U	= 3,
	RWDL_STATE_TEXTURE_ADDRESS_V	= 4,
	RWDL_STATE_PERSPECTIVE			= 5,
	RWDL_STATE_Z_TEST				= 6,
	RWDL_STATE_SHADE_MODE			= 7,
	RWDL_STATE_Z_WRITE				= 8,
	RWDL_STATE_TEXTURE_FILTER		= 9,
	RWDL_STATE_SRC_BLEND			= 10,
	RWDL_STATE_DST_BLEND			= 11,
	RWDL_STATE_FOG					= 14,
	RWDL_STATE_FOG_COLOUR			= 15,
	RWDL_STATE_FOG_TYPE				= 16,
	RWDL_STATE_CULL_MODE			= 20,
};

constexpr u32 RWDL_TEXTURE_STAGES	= 8;

struct RwDlFilterPair {
	u32		minFilter;
	u32		magFilter;
};

extern RwDlStateCache		_RwDlStateCache;
extern RwTexture*			_RwDlTexture;
extern RwRaster*			_RwDlRasterWhite;
extern RwTexture*			_RwDlTextureCache[RWDL_TEXTURE_STAGES];
extern const u32			_RwDlBlendConvTable[12];
extern const u32			_RwDlFogConvTable[4];
extern const RwDlFilterPair	_RwDlFilterModeConvTable[7];
extern const u32			_RwDlAddressConvTable[5];

// Fog on or off with the current camera's planes (the cached ones without
// a camera). TRUE.
bool	_rwDlRenderStateFogEnable( bool on );
// Alpha-compare modes: 1 always, 2 greater with Z before texturing, 3
// greater with Z after texturing.
void	_rwDlRenderStateSetAlphaComp( u32 mode );
// Writes every state the cache holds to GX again and forgets which
// texture each stage holds: for code that set GX itself (the movie
// player), so that GX and the cache agree again.
void	RwGameCubeRenderStateRestore();
// Puts the current texture on stage 0 with the alpha mode its raster needs.
void	_rwDlTextureRasterFlush();
// Puts a texture (null: the current one with the white raster) on a stage.
void	_rwDlTextureSet( RwTexture* texture, u32 stage );
// Builds the texture's GX object.
void	_rwGameCubeTextureSetLOD( RwTexture* texture, GXBool biasClamp, GXBool edgeLod, u32 maxAniso, u32 tlut,
								  f32 lodBias );
void	RwGameCubeTextureSetLOD( RwTexture* texture, GXBool biasClamp, GXBool edgeLod, u32 maxAniso, f32 lodBias );
// The texture extension's destructor: no stage keeps the dying texture.
void*	_rwDlTextureDest( void* object, s32 offset, s32 size );
// Called as a raster is destroyed: the current texture lets go of it.
void	_rwDlRenderStateForgetRaster( const RwRaster* raster );

#endif
