#include "framework/graphics/effects/EFBillboardGroup.h"

#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTTable128.h"
#include "framework/graphics/effects/EFEffectStates.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"

namespace {

constexpr u32 VERTICES_PER_BILLBOARD = 6;

// Corners as multiples of (A, B) and (-B, A) added to the centre, u, v.
const f32 CORNERS[VERTICES_PER_BILLBOARD][4] = {
	{ 1.0f, 0.0f, 1.0f, 0.0f },	 { -1.0f, 0.0f, 0.0f, 1.0f }, { 0.0f, 1.0f, 0.0f, 0.0f },
	{ 1.0f, 0.0f, 1.0f, 0.0f },	 { 0.0f, -1.0f, 1.0f, 1.0f }, { -1.0f, 0.0f, 0.0f, 1.0f },
};

} // namespace

void EFBillboardGroup::Render() {
	const u32 vertexAlpha = EFGetStateWord( EF_RS_VERTEX_ALPHA );
	const u32 srcBlend = EFGetStateWord( EF_RS_SRC_BLEND );
	const u32 dstBlend = EFGetStateWord( EF_RS_DST_BLEND );
	const u32 zWrite = EFGetStateWord( EF_RS_ZWRITE );
	const u32 cullMode = EFGetStateWord( EF_RS_CULL_MODE );
	const u32 addressU = EFGetStateWord( EF_RS_ADDRESS_U );
	const u32 addressV = EFGetStateWord( EF_RS_ADDRESS_V );
	EFSetState( EF_RS_ZTEST, 1 );
	EFSetState( EF_RS_VERTEX_ALPHA, 1 );
	EFSetState( EF_RS_ZWRITE, 0 );
	EFSetState( EF_RS_CULL_MODE, EF_CULL_NONE );
	EFSetState( EF_RS_ADDRESS_U, EF_ADDRESS_CLAMP );
	EFSetState( EF_RS_ADDRESS_V, EF_ADDRESS_CLAMP );
	if ( ( mui32Flags & EF_BILLBOARD_DARKEN ) != 0 ) {
		EFSetState( EF_RS_SRC_BLEND, EF_BLEND_ZERO );
		EFSetState( EF_RS_DST_BLEND, EF_BLEND_INV_SRC_COLOUR );
	} else if ( ( mui32Flags & EF_BILLBOARD_ALPHA ) != 0 ) {
		EFSetState( EF_RS_SRC_BLEND, EF_BLEND_SRC_ALPHA );
		EFSetState( EF_RS_DST_BLEND, EF_BLEND_INV_SRC_ALPHA );
	} else {
		EFSetState( EF_RS_SRC_BLEND, EF_BLEND_ONE );
		EFSetState( EF_RS_DST_BLEND, EF_BLEND_ONE );
	}
	RwRenderStateSet( EF_RS_TEXTURE_RASTER, mpoTexture != nullptr ? mpoTexture->raster : nullptr );
	EFSetState( EF_RS_TEXTURE_FILTER, EF_FILTER_LINEAR );
	const u32 full = mui32Count / EF_BILLBOARD_BATCH;
	u32 at = 0;
	for ( u32 batch = 0; batch < full; batch++, at += EF_BILLBOARD_BATCH ) {
		RenderBatch( EF_BILLBOARD_BATCH, mpoPositions + at, mpui32Colors + at, mpfRotations + at, mpfSizes + at );
	}
	if ( at < mui32Count ) {
		RenderBatch( mui32Count - at, mpoPositions + at, mpui32Colors + at, mpfRotations + at, mpfSizes + at );
	}
	EFSetState( EF_RS_VERTEX_ALPHA, vertexAlpha );
	EFSetState( EF_RS_SRC_BLEND, srcBlend );
	EFSetState( EF_RS_DST_BLEND, dstBlend );
	EFSetState( EF_RS_ZWRITE, zWrite );
	EFSetState( EF_RS_CULL_MODE, cullMode );
	EFSetState( EF_RS_ADDRESS_U, addressU );
	EFSetState( EF_RS_ADDRESS_V, addressV );
}

void EFBillboardGroup::RenderBatch( const u32 count, const DTVector3d* positions, const u32* colors,
									const f32* rotations, const f32* sizes ) {
	RwCamera* const camera = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	if ( camera == nullptr || camera->frameBuffer == nullptr || count > EF_BILLBOARD_BATCH ) {
		return;
	}
	if ( !DTTable128::IsInit() ) {
		DTTable128::Init();
	}
	DTVector3d view[EF_BILLBOARD_BATCH];
	RwIm2DVertex vertices[EF_BILLBOARD_BATCH * VERTICES_PER_BILLBOARD];
	DTAsDTMatrix( &camera->viewMatrix )->TransformPoints( positions, view, count );
	const f32 width = static_cast<f32>( camera->frameBuffer->width );
	const f32 height = static_cast<f32>( camera->frameBuffer->height );
	// The owner's colour words are read as bytes in memory order.
	const u8* const colourBytes = reinterpret_cast<const u8*>( colors );
	u32 made = 0;
	for ( u32 i = 0; i < count; i++ ) {
		const DTVector3d& p = view[i];
		if ( p.z < camera->nearPlane ) {
			continue;
		}
		const f32 r = 1.0f / p.z;
		const f32 depth = r * camera->zScale + camera->zShift;
		const f32 x = p.x * width * r;
		const f32 y = p.y * height * r;
		if ( x < -EF_BILLBOARD_MARGIN || x > width + EF_BILLBOARD_MARGIN || y < -EF_BILLBOARD_MARGIN ||
			 y > height + EF_BILLBOARD_MARGIN ) {
			continue;
		}
		// Turns to table entries; negative ones index as two's complement.
		const u32 k = static_cast<u32>( DTFloatToS32( 128.0f * rotations[i] ) ) & ( DT_TABLE128_SIZE - 1 );
		const f32 a = r * width * camera->viewWindow.y * DTTable128::mCos[k] * sizes[i];
		const f32 b = r * height * camera->viewWindow.x * DTTable128::mSin[k] * sizes[i];
		const u8* const colour = colourBytes + 4 * i;
		for ( const f32* corner : CORNERS ) {
			EFSetIm2DVertex( vertices[made++], x + corner[0] * a - corner[1] * b, y + corner[0] * b + corner[1] * a, depth,
							 colour, corner[2], corner[3] );
		}
	}
	if ( made != 0 ) {
		RwIm2DRenderPrimitive( EF_PRIM_TRIANGLE_LIST, vertices, static_cast<s32>( made ) );
	}
}
