#include "graphics3d/gamecube/RwGCLights.h"

#include "datatypes/base/DTFloatToInt.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"
#include "platform/os/OS.h"

#include <cstddef>

GXLightObj	_RwGCLightObjs[RWGC_MAX_LIGHTS];
const u32	_RwGCLightConvID[RWGC_MAX_LIGHTS] = { 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80 };

namespace {

// Directional lights sit this far along their direction.
const f32 DIRECTIONAL_DISTANCE	= 1048576.0f;
const f32 RADIANS_TO_DEGREES	= 57.29578f;
const f32 DIST_ATTN_SCALE		= 0.5f;
const f32 DIST_ATTN_BRIGHTNESS	= 0.5f;
const u32 DIST_ATTN_FUNCTION	= 2;		// GX_DA_MEDIUM
const u32 SPOT_FUNCTION_SHARP	= 1;		// GX_SP_FLAT
const u32 SPOT_FUNCTION_SOFT	= 2;		// GX_SP_COS
// Fraction bits of integer normals by component type.
const u8 NORMAL_FRACTION[] = { 0, 6, 0, 14, 0 };
const u8 TYPE_SIZE[] = { 1, 1, 2, 2, 4 };
const u32 FLAG_NORMALS = 0x10;

u8 Channel( const f32 value ) {
	// Colours above 1.0 saturate.
	const u32 scaled = DTFloatToU32( 255.0 * static_cast<f64>( value ) );
	return static_cast<u8>( scaled > 255u ? 255u : scaled );
}

GXColor Colour( const RpLight* light ) {
	return { Channel( light->color.red ), Channel( light->color.green ), Channel( light->color.blue ), 0 };
}

const RwMatrix* LightLTM( const RpLight* light ) {
	RwFrame* const frame = static_cast<RwFrame*>( light->object.object.parent );
	return frame != nullptr ? RwFrameGetLTM( frame ) : nullptr;
}

RwV3d CameraDirection( const RwV3d& direction ) {
	RwV3d out;
	RwV3dTransformVectors( &out, &direction, 1, &_RwDlInvCamLTM );
	return out;
}

void Load( RxGCLightingState* lighting, u32* mask ) {
	const u32 id = _RwGCLightConvID[lighting->numLights];
	GXLoadLightObjImm( &_RwGCLightObjs[lighting->numLights], id );
	*mask |= id;
	lighting->numLights++;
}

}	// namespace

void _rwGCLightsGlobalEnable( const u32 lightMask, RxGCLightingState* lighting ) {
	RpWorld* const world = RwEngineInstance->currentWorld;
	if ( world == nullptr ) {
		return;
	}
	RwLinkList* const list = &world->directionalLightList;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		const RpLight* const light = rwLLLinkGetData<RpLight>( link, offsetof( RpLight, inWorld ) );
		if ( ( light->object.object.flags & lightMask ) == 0 ) {
			continue;
		}
		if ( light->object.object.subType != rpLIGHTDIRECTIONAL ) {
			lighting->ambientRed += light->color.red;
			lighting->ambientGreen += light->color.green;
			lighting->ambientBlue += light->color.blue;
			lighting->ambientPresent = 1;
			continue;
		}
		if ( lighting->numLights >= RWGC_MAX_LIGHTS ) {
			continue;
		}
		const RwMatrix* const ltm = LightLTM( light );
		const RwV3d at = CameraDirection( ltm != nullptr ? ltm->at : RwV3d{ 0.0f, 0.0f, 1.0f } );
		GXLightObj* const object = &_RwGCLightObjs[lighting->numLights];
		GXInitLightPos( object, DIRECTIONAL_DISTANCE * at.x, -DIRECTIONAL_DISTANCE * at.y, DIRECTIONAL_DISTANCE * at.z );
		GXInitLightColor( object, Colour( light ) );
		Load( lighting, &lighting->lightMask0 );
	}
}

void _rwGCLightsLocalEnable( const RpLight* light, RxGCLightingState* lighting ) {
	if ( lighting->numLights >= RWGC_MAX_LIGHTS ) {
		return;
	}
	GXLightObj* const object = &_RwGCLightObjs[lighting->numLights];
	GXInitLightColor( object, Colour( light ) );
	const RwMatrix* const ltm = LightLTM( light );
	RwV3d position = ltm != nullptr ? ltm->pos : RwV3d{ 0.0f, 0.0f, 0.0f };
	RwV3dTransformPoints( &position, &position, 1, &_RwDlInvCamLTM );
	GXInitLightPos( object, -position.x, position.y, -position.z );
	GXInitLightDistAttn( object, DIST_ATTN_SCALE * light->radius, DIST_ATTN_BRIGHTNESS, DIST_ATTN_FUNCTION );
	const u8 type = light->object.object.subType;
	if ( type == rpLIGHTPOINT ) {
		GXInitLightAttnA( object, 1.0f, 0.0f, 0.0f );
	} else if ( type == rpLIGHTSPOT || type == rpLIGHTSPOTSOFT ) {
		const RwV3d at = CameraDirection( ltm != nullptr ? ltm->at : RwV3d{ 0.0f, 0.0f, 1.0f } );
		GXInitLightDir( object, -at.x, at.y, -at.z );
		GXInitLightSpot( object, RpLightGetConeAngle( light ) * RADIANS_TO_DEGREES,
						 type == rpLIGHTSPOT ? SPOT_FUNCTION_SHARP : SPOT_FUNCTION_SOFT );
	}
	Load( lighting, &lighting->lightMask1 );
}

void _rwDlV3dInterp( u8* destination, const RwV3d* start, const RwV3d* end, const f32 t, const s32 vertices,
					 const u8 type, const u8 fractionBits, const u32 extra ) {
	const u32 size = TYPE_SIZE[type <= rpGCCOMP_F32 ? type : static_cast<u8>( rpGCCOMP_F32 )];
	for ( s32 v = 0; v < vertices; v++ ) {
		const f32 a[3] = { start[v].x, start[v].y, start[v].z };
		const f32 b[3] = { end[v].x, end[v].y, end[v].z };
		for ( u32 c = 0; c < 3; c++ ) {
			_rwDlQuantisedStoreRounded( destination, a[c] + t * ( b[c] - a[c] ), type, fractionBits );
			destination += size;
		}
		destination += extra;
	}
}

void _rxGCInstanceMorphUpdate( const RpGeometry* geometry, RxGCInstanceHeader* header,
							   const RpInterpolator* interpolator ) {
	const s32 first = interpolator->startMorphTarget;
	const s32 last = interpolator->endMorphTarget;
	// Targets the geometry does not have leave the instance as it is.
	if ( first < 0 || last < 0 || first >= geometry->numMorphTargets || last >= geometry->numMorphTargets ) {
		return;
	}
	const RpMorphTarget& a = geometry->morphTarget[first];
	const RpMorphTarget& b = geometry->morphTarget[last];
	// The interpolator's current time is its position, as for its sphere.
	const f32 t = interpolator->position * interpolator->recipTime;
	const s32 vertices = geometry->numVertices;
	const RpGameCubeVtxFmt* const format = RpGameCubeGeometryGetVtxFmt( geometry );
	if ( header->posArray != nullptr && a.verts != nullptr && b.verts != nullptr ) {
		const u8 type = format != nullptr && format->posType < rpGCCOMP_F32 ? format->posType : static_cast<u8>( rpGCCOMP_F32 );
		const u8 fraction = format != nullptr ? format->posFrac : 0;
		_rwDlV3dInterp( header->posArray, a.verts, b.verts, t, vertices, type, fraction, 0 );
		DCFlushRange( header->posArray, static_cast<u32>( vertices ) * 3 * TYPE_SIZE[type] );
	}
	if ( ( geometry->flags & FLAG_NORMALS ) != 0 && header->normArray != nullptr && a.normals != nullptr &&
		 b.normals != nullptr ) {
		const u8 type = format != nullptr && format->normType < rpGCCOMP_F32 ? format->normType : static_cast<u8>( rpGCCOMP_F32 );
		const u32 extra = format != nullptr && format->threeNormals != 0 ? 6u * TYPE_SIZE[type] : 0u;
		_rwDlV3dInterp( header->normArray, a.normals, b.normals, t, vertices, type, NORMAL_FRACTION[type], extra );
		DCFlushRange( header->normArray, static_cast<u32>( vertices ) * ( extra + 3 * TYPE_SIZE[type] ) );
	}
	GXInvalidateVtxCache();
}
