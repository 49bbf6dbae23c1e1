#include "framework/graphics/effects/EFSpriteGroup_SP.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFTextureDict.h"
#include "framework/graphics/effects/EFEffectStates.h"
#include "framework/graphics/effects/EFSprite.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"

namespace {

constexpr u32 VERTICES_PER_SPRITE = 6;

struct BlendMode {
	u32		vertexAlpha;
	u32		source;
	u32		destination;
};

const BlendMode BLEND_MODES[] = {
	{ 0, EF_BLEND_ONE, EF_BLEND_ZERO },
	{ 1, EF_BLEND_ONE, EF_BLEND_ONE },
	{ 1, EF_BLEND_ZERO, EF_BLEND_INV_SRC_COLOUR },
	{ 1, EF_BLEND_SRC_ALPHA, EF_BLEND_INV_SRC_ALPHA },
};
constexpr u32 BLEND_MODE_COUNT = sizeof( BLEND_MODES ) / sizeof( BLEND_MODES[0] );

// Corners of the two triangles: x side, y side (+1 / -1), u, v.
const f32 CORNERS[VERTICES_PER_SPRITE][4] = {
	{ 1.0f, -1.0f, 1.0f, 1.0f }, { -1.0f, 1.0f, 0.0f, 0.0f }, { 1.0f, 1.0f, 1.0f, 0.0f },
	{ 1.0f, -1.0f, 1.0f, 1.0f }, { -1.0f, -1.0f, 0.0f, 1.0f }, { -1.0f, 1.0f, 0.0f, 0.0f },
};

} // namespace

EFSpriteGroup_SP::EFSpriteGroup_SP( const u32 id ) : EFSpriteGroup_BC( id ) {
	mpoTexture = nullptr;
	mui8Color[0] = EF_SPRITE_GREY;
	mui8Color[1] = EF_SPRITE_GREY;
	mui8Color[2] = EF_SPRITE_GREY;
	mui8Color[3] = 255;
}

void EFSpriteGroup_SP::SetColor( DTColor& color ) {
	mui8Color[0] = EFColourByte( color.r );
	mui8Color[1] = EFColourByte( color.g );
	mui8Color[2] = EFColourByte( color.b );
	mui8Color[3] = EFColourByte( color.a );
}

void EFSpriteGroup_SP::SetTexture( const char* name ) {
	EFTextureDict* const dictionary = EFTextureDict::GetInstance();
	RwTexture* const texture = dictionary != nullptr && name != nullptr ? dictionary->GetTexture( name ) : nullptr;
	if ( texture != nullptr ) {
		mpoTexture = texture;
	}
}

void EFSpriteGroup_SP::Render() {
	RwRenderStateSet( EF_RS_TEXTURE_RASTER, mpoTexture != nullptr ? mpoTexture->raster : nullptr );
	const bool blended = mui32BlendMode < BLEND_MODE_COUNT && mui32BlendMode != 0;
	if ( mui32BlendMode < BLEND_MODE_COUNT ) {
		const BlendMode& mode = BLEND_MODES[mui32BlendMode];
		EFSetState( EF_RS_VERTEX_ALPHA, mode.vertexAlpha );
		EFSetState( EF_RS_SRC_BLEND, mode.source );
		EFSetState( EF_RS_DST_BLEND, mode.destination );
	}
	if ( ( mui32Flags & EF_SPRITE_NO_ZWRITE ) != 0 ) {
		EFSetState( EF_RS_ZWRITE, 0 );
	}
	if ( ( mui32Flags & EF_SPRITE_NO_ZTEST ) != 0 ) {
		EFSetState( EF_RS_ZTEST, 0 );
	}
	const bool stencil = ( mui32Flags & EF_SPRITE_STENCIL ) != 0 && gpoGraphicsMgr != nullptr;
	if ( stencil ) {
		gpoGraphicsMgr->EnableStencilRead( 1 );
	}
	EFSprite* sprite = mpoSprites;
	u32 remaining = mui32Count;
	while ( sprite != nullptr && remaining != 0 ) {
		const u32 count = remaining < EF_SPRITE_BATCH ? remaining : EF_SPRITE_BATCH;
		sprite = RenderBatch( count, sprite );
		remaining -= count;
	}
	if ( ( mui32Flags & EF_SPRITE_NO_ZWRITE ) != 0 ) {
		EFSetState( EF_RS_ZWRITE, 1 );
	}
	if ( ( mui32Flags & EF_SPRITE_NO_ZTEST ) != 0 ) {
		EFSetState( EF_RS_ZTEST, 1 );
	}
	if ( stencil ) {
		gpoGraphicsMgr->EnableStencilRead( 0 );
	}
	if ( blended ) {
		EFSetState( EF_RS_VERTEX_ALPHA, 0 );
		EFSetState( EF_RS_SRC_BLEND, EF_BLEND_ONE );
		EFSetState( EF_RS_DST_BLEND, EF_BLEND_ZERO );
	}
}

EFSprite* EFSpriteGroup_SP::RenderBatch( const u32 count, EFSprite* first ) {
	DTVector3d positions[EF_SPRITE_BATCH];
	f32 sizes[EF_SPRITE_BATCH];
	bool placed[EF_SPRITE_BATCH];
	RwIm2DVertex vertices[EF_SPRITE_BATCH * VERTICES_PER_SPRITE];
	// Gather: a sprite without a frame (its target was missing) has no
	// position and is not drawn.
	u32 n = 0;
	EFSprite* sprite = first;
	for ( ; sprite != nullptr && n < count && n < EF_SPRITE_BATCH; sprite = sprite->mpoNext, n++ ) {
		DTFrame* const frame = sprite->GetFrame();
		placed[n] = frame != nullptr || sprite->mui8Screen != 0;
		positions[n] = frame != nullptr ? *frame->GetWMatrix()->GetPos() : DTVector3d();
		sizes[n] = sprite->mfSize;
	}
	RwCamera* const camera = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	if ( camera == nullptr || camera->frameBuffer == nullptr ) {
		return sprite;
	}
	DTAsDTMatrix( &camera->viewMatrix )->TransformPoints( positions, positions, n );
	EFSprite* screen = first;
	for ( u32 i = 0; i < n; i++, screen = screen->mpoNext ) {
		if ( screen->mui8Screen != 0 ) {
			positions[i] = DTVector3d( screen->mfScreenX, screen->mfScreenY, 1.0f );
		}
	}
	if ( ( mui32Flags & EF_SPRITE_SORT ) != 0 ) {
		for ( u32 pass = 1; pass < n; pass++ ) {
			for ( u32 i = 0; i + pass < n; i++ ) {
				if ( positions[i].z < positions[i + 1].z ) {
					const DTVector3d position = positions[i];
					positions[i] = positions[i + 1];
					positions[i + 1] = position;
					const f32 size = sizes[i];
					sizes[i] = sizes[i + 1];
					sizes[i + 1] = size;
					const bool place = placed[i];
					placed[i] = placed[i + 1];
					placed[i + 1] = place;
				}
			}
		}
	}
	const f32 width = static_cast<f32>( camera->frameBuffer->width );
	const f32 height = static_cast<f32>( camera->frameBuffer->height );
	u32 made = 0;
	for ( u32 i = 0; i < n; i++ ) {
		const DTVector3d& p = positions[i];
		if ( !placed[i] || p.z < camera->nearPlane || p.z >= camera->farPlane ) {
			continue;
		}
		const f32 r = 1.0f / p.z;
		const f32 xs[2] = { r * width * ( p.x - sizes[i] ), r * width * ( p.x + sizes[i] ) };
		const f32 ys[2] = { r * height * ( p.y - sizes[i] ), r * height * ( p.y + sizes[i] ) };
		const f32 depth = r * camera->zScale + camera->zShift;
		for ( const f32* corner : CORNERS ) {
			EFSetIm2DVertex( vertices[made++], xs[corner[0] > 0.0f ? 1 : 0], ys[corner[1] > 0.0f ? 1 : 0], depth, mui8Color,
							 corner[2], corner[3] );
		}
	}
	if ( made != 0 ) {
		RwIm2DRenderPrimitive( EF_PRIM_TRIANGLE_LIST, vertices, static_cast<s32>( made ) );
	}
	return sprite;
}
