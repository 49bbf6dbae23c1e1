/*
===============================================================================

	The library's lights as the graphics processor's eight hardware light
	objects, set up per object: ambient lights add to the object's ambient
	colour, directional lights are placed far along their direction, point
	and spot lights at their camera-space position with distance and
	angular attenuation. Light objects are taken in order; once all eight
	are in use further lights are left out.

	And the in-place morph update of an instance: positions (and normals)
	interpolated between two morph targets and stored in the instance's
	array formats.

===============================================================================
*/
#ifndef RW_GC_LIGHTS_H
#define RW_GC_LIGHTS_H

#include "graphics3d/gamecube/RxGCInstance.h"
#include "platform/gx/GX.h"

struct RpGeometry;
struct RpInterpolator;
struct RpLight;
struct RwV3d;

constexpr u32 RWGC_MAX_LIGHTS = 8;

extern GXLightObj	_RwGCLightObjs[RWGC_MAX_LIGHTS];
// The hardware light id of each light object.
extern const u32	_RwGCLightConvID[RWGC_MAX_LIGHTS];

// The current world's ambient and directional lights whose flags share a
// bit with the mask.
void	_rwGCLightsGlobalEnable( u32 lightMask, RxGCLightingState* lighting );
// One point, spot or soft-spot light while a light object is free.
void	_rwGCLightsLocalEnable( const RpLight* light, RxGCLightingState* lighting );

// Rewrites the instance's positions, and normals when the geometry has
// them, between the interpolator's start and end targets. Targets outside
// the geometry's morph targets leave the instance as it is.
void	_rxGCInstanceMorphUpdate( const RpGeometry* geometry, RxGCInstanceHeader* header,
								  const RpInterpolator* interpolator );
// destination[v] = start[v] + t (end[v] - start[v]) for every vertex,
// stored as the component type with the fraction bits (f32 when the type
// is f32), the destination advancing by 3 elements plus extra bytes.
void	_rwDlV3dInterp( u8* destination, const RwV3d* start, const RwV3d* end, f32 t, s32 vertices, u8 type,
						u8 fractionBits, u32 extra );

#endif
