// Texture, palette and light objects of the host graphics library. The
// init calls fill CPU-side records and keep every parameter as given;
// loading one into the GPU is a recorded state call.

#include "platform/gx/GXInternal.h"

void GXInitTexObj( GXTexObj* texture, void* image, const u16 width, const u16 height, const u32 format,
				   const u32 wrapS, const u32 wrapT, const GXBool mipmap ) {
	*texture = GXTexObj();
	texture->image = image;
	texture->width = width;
	texture->height = height;
	texture->format = format;
	texture->wrapS = wrapS;
	texture->wrapT = wrapT;
	texture->mipmap = mipmap;
	// The console's defaults until GXInitTexObjLOD says otherwise.
	texture->minFilter = mipmap ? GX_LIN_MIP_LIN : GX_LINEAR;
	texture->magFilter = GX_LINEAR;
	texture->edgeLod = GX_FALSE;
	texture->biasClamp = GX_FALSE;
	texture->maxAniso = GX_ANISO_1;
}

void GXInitTexObjCI( GXTexObj* texture, void* image, const u16 width, const u16 height, const u32 format,
					 const u32 wrapS, const u32 wrapT, const GXBool mipmap, const u32 tlutName ) {
	GXInitTexObj( texture, image, width, height, format, wrapS, wrapT, mipmap );
	texture->colourIndexed = GX_TRUE;
	texture->tlutName = tlutName;
}

void GXInitTexObjLOD( GXTexObj* texture, const u32 minFilter, const u32 magFilter, const f32 minLod, const f32 maxLod,
					  const f32 lodBias, const GXBool biasClamp, const GXBool edgeLod, const u32 maxAniso ) {
	texture->minFilter = minFilter;
	texture->magFilter = magFilter;
	texture->minLod = minLod;
	texture->maxLod = maxLod;
	texture->lodBias = lodBias;
	texture->biasClamp = biasClamp;
	texture->edgeLod = edgeLod;
	texture->maxAniso = maxAniso;
}

void GXInitTexObjTlut( GXTexObj* texture, const u32 tlutName ) {
	texture->tlutName = tlutName;
}

void GXInitTexObjUserData( GXTexObj* texture, void* userData ) {
	texture->userData = userData;
}

u32 GXGetTexObjTlut( const GXTexObj* texture ) {
	return texture->tlutName;
}

u32 GXGetTexObjMaxAniso( const GXTexObj* texture ) {
	return texture->maxAniso;
}

GXBool GXGetTexObjBiasClamp( const GXTexObj* texture ) {
	return texture->biasClamp;
}

GXBool GXGetTexObjEdgeLOD( const GXTexObj* texture ) {
	return texture->edgeLod;
}

f32 GXGetTexObjLODBias( const GXTexObj* texture ) {
	return texture->lodBias;
}

void* GXGetTexObjUserData( const GXTexObj* texture ) {
	return texture->userData;
}

void GXLoadTexObj( const GXTexObj* texture, const u32 map ) {
	if ( map < GX_MAX_TEXMAP ) {
		gx.render.textures[map] = *texture;
		gx.render.texturesLoaded |= 1u << map;
		gx.render.texturePreloadRegion[map] = nullptr;
	}
	GXRecord( GXHOST_LOAD_TEX_OBJ, { GXWord( texture->image ), map, texture->format, texture->tlutName } );
}

void GXLoadTexObjPreLoaded( const GXTexObj* texture, const void* region, const u32 map ) {
	if ( map < GX_MAX_TEXMAP ) {
		gx.render.textures[map] = *texture;
		gx.render.texturesLoaded |= 1u << map;
		gx.render.texturePreloadRegion[map] = region;
	}
	GXRecord( GXHOST_LOAD_TEX_OBJ_PRELOADED, { GXWord( texture->image ), GXWord( region ), map } );
}

void GXInitTlutObj( GXTlutObj* tlut, void* lut, const u32 format, const u16 entries ) {
	tlut->lut = lut;
	tlut->format = format;
	tlut->entries = entries;
}

void GXLoadTlut( const GXTlutObj* tlut, const u32 tlutName ) {
	if ( tlutName < sizeof( gx.render.tluts ) / sizeof( gx.render.tluts[0] ) ) {
		gx.render.tluts[tlutName] = *tlut;
	}
	GXRecord( GXHOST_LOAD_TLUT, { GXWord( tlut->lut ), tlut->format, tlut->entries, tlutName } );
}

void GXInvalidateTexAll() {
	gx.texInvalidations++;
	GXRecord( GXHOST_INVALIDATE_TEX_ALL, {} );
}

void GXInitLightPos( GXLightObj* light, const f32 x, const f32 y, const f32 z ) {
	light->position[0] = x;
	light->position[1] = y;
	light->position[2] = z;
}

void GXInitLightDir( GXLightObj* light, const f32 nx, const f32 ny, const f32 nz ) {
	light->direction[0] = nx;
	light->direction[1] = ny;
	light->direction[2] = nz;
}

void GXInitLightColor( GXLightObj* light, const GXColor colour ) {
	light->colour = colour;
}

void GXInitLightSpot( GXLightObj* light, const f32 cutoff, const u32 spotFunction ) {
	light->cutoff = cutoff;
	light->spotFunction = spotFunction;
}

void GXInitLightDistAttn( GXLightObj* light, const f32 refDistance, const f32 refBrightness,
						  const u32 distanceFunction ) {
	light->refDistance = refDistance;
	light->refBrightness = refBrightness;
	light->distanceFunction = distanceFunction;
}

void GXInitLightAttnA( GXLightObj* light, const f32 a0, const f32 a1, const f32 a2 ) {
	light->attnA[0] = a0;
	light->attnA[1] = a1;
	light->attnA[2] = a2;
}

void GXInitLightAttnK( GXLightObj* light, const f32 k0, const f32 k1, const f32 k2 ) {
	light->attnK[0] = k0;
	light->attnK[1] = k1;
	light->attnK[2] = k2;
}

// Light ids are one bit each; the slot is the bit's position.
void GXLoadLightObjImm( const GXLightObj* light, const u32 lightId ) {
	u32 slot = 0;
	while ( slot < GX_MAX_LIGHT && ( lightId >> slot ) != 1 ) {
		slot++;
	}
	if ( slot < GX_MAX_LIGHT ) {
		gx.render.lights[slot] = *light;
		gx.render.lightsLoaded |= 1u << slot;
	}
	GXRecord( GXHOST_LOAD_LIGHT, { lightId, slot } );
}
