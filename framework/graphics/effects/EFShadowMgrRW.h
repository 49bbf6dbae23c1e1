/*
===============================================================================

	Platform part of the shadow manager: the shadow textures and the
	rendering of silhouettes.

	Every entry has a 64 x 64 and a 128 x 128 texture of its own, made by
	Initialize; 256 x 256 textures come from a pool of eight made on first
	use and lent per camera. All are 16-bit camera-texture rasters,
	filtered linearly and clamped, named SHD_Tex<entry>_64,
	SHD_Tex<entry>_128 and SHD_Tex<pool slot>_256.

	A silhouette is the caster's chosen level of detail rendered without
	depth into the texture's raster, cleared white: inverting the raster
	leaves a white silhouette on black, and a black outline keeps the
	clamped edge from smearing across the receivers. The raster is then
	copied into the texture with the logic's clear colour.

===============================================================================
*/
#ifndef EF_SHADOW_MGR_RW_H
#define EF_SHADOW_MGR_RW_H

#include "framework/graphics/effects/EFShadowMgr_BC.h"

class EFLightMgr;

// Textures in the 256 pool.
constexpr u32 EF_SHADOW_POOL_256		= 8;

class EFShadowMgr_SP : public EFShadowMgr_BC {
public:
							EFShadowMgr_SP();
							~EFShadowMgr_SP() override;

	void					ApplyPostProcesses( RwCamera * camera ) override;

	// Entries unused, the 64 and 128 textures of all entries made. 0.
	u32						Initialize();
	// Destroys the 256 pool, forgets the default drop-down texture and
	// deletes the drop frame; drops the caster records left.
	void					Terminate();
	// Nothing to draw here: the projector pass drew the shadows. 1.
	u32						End( EFLightMgr * lights );

	// Host only: the graphics manager's destruction gives back every
	// library object the manager holds before the library goes down.
	void					ReleaseLibraryObjects();

	// Lends pool slot (lent count) to the entry, making its texture on
	// first use; null when the pool is spent or the texture cannot be made.
	RwTexture *				Request256( _sShadowEntry & entry );

	u32						GetLent256() const { return muiLent256; }
	RwTexture *				GetPoolTexture( u32 slot ) const { return mapPool256[slot]; }
	RwTexture *				GetDefaultTexture() const { return mpDefaultTexture; }

protected:
	// Lent count 0; the default drop-down texture looked up until found.
	void					Begin();
	// The entry texture of a resolution (64, 128, 256) with its entry
	// flag; null for any other resolution.
	RwTexture *				TextureForResolution( _sShadowEntry & entry, u32 resolution, u32 & flag );
	// Renders the caster's silhouette into texture through the entry's
	// camera and copies it into the texture.
	void					RenderSilhouette( _sShadowEntry & entry, RwTexture * texture, EFCameraProjection_e projection,
											  const _sObjectEntry & caster );

	void					InvertRaster( RwCamera * camera );
	void					ClearOuterLine( RwCamera * camera );

	u32						muiLent256;
	RwTexture *				mapPool256[EF_SHADOW_POOL_256];

private:
	void					Cast( const _sObjectEntry & caster, RwCamera * camera );
	void					DestroyPool();
};

#endif
