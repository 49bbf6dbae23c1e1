#include "framework/graphics/effects/EFFBEffect_FrameDistortion_SP.h"

#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/effects/EFEffectStates.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"

namespace {

// Every lock flag: the reinstance after the unlock rebuilds it all.
constexpr u32 LOCK_EVERYTHING = 0xFF0;

constexpr u32 BYTES_PER_VERTEX = 12;

} // namespace

EFFBEffect_FrameDistortion_SP::EFFBEffect_FrameDistortion_SP() {
	mui32TextureApplied = 0;
}

s32 EFFBEffect_FrameDistortion_SP::Update( f32, EFCamera& camera ) {
	if ( ( mui32Flags & EF_FB_EFFECT_ENABLED ) == 0 || mui32ObjectId == EF_FB_NO_OBJECT ) {
		return 0;
	}
	EFGameObject* const object = GetObject();
	EF3dObj* const model = object != nullptr ? object->Get3dObject( 0 ) : nullptr;
	if ( model == nullptr ) {
		return -1;
	}
	if ( mpoTexture == nullptr ) {
		CreateRaster( camera.mpoRwCamera );
	}
	LockRaster( 1 );
	GrabRaster();
	camera.Begin();
	EFSetState( EF_RS_ZWRITE, 1 );
	EFSetState( EF_RS_ZTEST, 1 );
	EFSetState( EF_RS_FOG, 0 );
	const u32 srcBlend = EFGetStateWord( EF_RS_SRC_BLEND );
	const u32 dstBlend = EFGetStateWord( EF_RS_DST_BLEND );
	EFSetState( EF_RS_SRC_BLEND, EF_BLEND_ONE );
	EFSetState( EF_RS_DST_BLEND, EF_BLEND_ZERO );
	if ( model->mpClump != nullptr && camera.mpoRwCamera != nullptr ) {
		DrawContext context = { this, &camera.mpoRwCamera->viewMatrix };
		RpClumpForAllAtomics( model->mpClump, DrawAtomic, &context );
	}
	EFSetState( EF_RS_SRC_BLEND, srcBlend );
	EFSetState( EF_RS_DST_BLEND, dstBlend );
	camera.End();
	LockRaster( 0 );
	return 0;
}

RpAtomic* EFFBEffect_FrameDistortion_SP::DrawAtomic( RpAtomic* atomic, void* context ) {
	const DrawContext& draw = *static_cast<DrawContext*>( context );
	if ( ApGetAtomicLod( atomic ) == draw.effect->mui32Lod ) {
		draw.effect->DrawAtomic( *atomic, *draw.view );
	}
	return atomic;
}

void EFFBEffect_FrameDistortion_SP::DrawAtomic( RpAtomic& atomic, const RwMatrix& view ) {
	RpGeometry* const geometry = atomic.geometry;
	if ( geometry == nullptr || geometry->morphTarget == nullptr || _WorkMem == nullptr ) {
		return;
	}
	RpGeometryLock( geometry, LOCK_EVERYTHING );
	if ( mui32TextureApplied == 0 && geometry->matList.numMaterials > 0 && geometry->matList.materials != nullptr &&
		 geometry->matList.materials[0] != nullptr ) {
		RpMaterialSetTexture( geometry->matList.materials[0], mpoTexture );
		mui32TextureApplied = 1;
	}
	const u32 count = geometry->numVertices > 0 ? static_cast<u32>( geometry->numVertices ) : 0;
	_WorkMem->Reset();
	RwV3d* const projected = static_cast<RwV3d*>( _WorkMem->Get( BYTES_PER_VERTEX * count ) );
	if ( projected == nullptr ) {
		// Too big for the frame's work memory: this atomic is left out.
		RpGeometryUnlock( geometry );
		return;
	}
	// Model space (own distortion first), then world, then camera.
	RwMatrix world;
	RwMatrix toCamera;
	const RwMatrix* const ltm = RwFrameGetLTM( RpAtomicGetFrame( &atomic ) );
	if ( mpoMatrix != nullptr ) {
		RwMatrixMultiply( &world, DTAsRwMatrix( mpoMatrix ), ltm );
	} else {
		world = *ltm;
	}
	RwMatrixMultiply( &toCamera, &world, &view );
	RwV3dTransformPoints( projected, geometry->morphTarget[0].verts, static_cast<s32>( count ), &toCamera );
	RwTexCoords* const coords = geometry->texCoords[0];
	if ( coords != nullptr ) {
		for ( u32 i = 0; i < count; i++ ) {
			const RwV3d& p = projected[i];
			if ( p.z == 0.0f ) {
				break;
			}
			const f32 u = p.x / p.z;
			const f32 v = p.y / p.z;
			coords[i].u = u > EF_FB_UV_LIMIT ? EF_FB_UV_LIMIT : u;
			coords[i].v = v > EF_FB_UV_LIMIT ? EF_FB_UV_LIMIT : v;
		}
	}
	RpGeometryUnlock( geometry );
	AtomicDefaultRenderCallBack( &atomic );
	_WorkMem->Release( BYTES_PER_VERTEX * count );
}
