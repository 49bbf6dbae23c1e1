#include "framework/graphics/particles/PLEmitter.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTTable128.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlIm3D.h"

#include <cstdint>

namespace {

// Render states of the library.
constexpr RwRenderState RS_TEXTURE_RASTER		= 1;
constexpr RwRenderState RS_ADDRESS_U			= 3;
constexpr RwRenderState RS_ADDRESS_V			= 4;
constexpr RwRenderState RS_ZTEST_ENABLE			= 6;
constexpr RwRenderState RS_ZWRITE_ENABLE		= 8;
constexpr RwRenderState RS_TEXTURE_FILTER		= 9;
constexpr RwRenderState RS_SRC_BLEND			= 10;
constexpr RwRenderState RS_DEST_BLEND			= 11;
constexpr RwRenderState RS_VERTEX_ALPHA			= 12;
constexpr RwRenderState RS_CULL_MODE			= 20;

// Their values.
constexpr u32 BLEND_ZERO						= 1;
constexpr u32 BLEND_ONE							= 2;
constexpr u32 BLEND_INV_SRC_COLOUR				= 4;
constexpr u32 BLEND_SRC_ALPHA					= 5;
constexpr u32 BLEND_INV_SRC_ALPHA				= 6;
constexpr u32 FILTER_LINEAR						= 2;
constexpr u32 ADDRESS_CLAMP						= 3;
constexpr u32 CULL_NONE							= 1;

// Triangle lists in both immediate modes.
constexpr s32 TRIANGLE_LIST						= 3;

constexpr u32 VERTICES_PER_SQUARE				= 6;
constexpr u32 QUAD_VERTICES						= 4;
constexpr u32 QUAD_INDICES						= 6;

void SetState( const RwRenderState state, const u32 value ) {
	RwRenderStateSet( state, reinterpret_cast<void *>( static_cast<uintptr_t>( value ) ) );
}

u32 GetState( const RwRenderState state ) {
	void * value = nullptr;
	RwRenderStateGet( state, &value );
	return static_cast<u32>( reinterpret_cast<uintptr_t>( value ) );
}

// A curve value 0-1 as a colour byte, saturating at both ends.
u8 ColourByte( const f32 value ) {
	const u32 byte = DTFloatToU32( value * 255.0f );
	return static_cast<u8>( byte > 255 ? 255 : byte );
}

f32 AtMost1( const f32 value ) {
	return value > 1.0f ? 1.0f : value;
}

// The screen-space batch, filled and drawn from fixed arrays.
RwV3d			gBatchPositions[PL_BATCH_SIZE];
u32				gBatchColours[PL_BATCH_SIZE];
f32				gBatchSizes[PL_BATCH_SIZE];
f32				gBatchRotations[PL_BATCH_SIZE];
RwV3d			gBatchCameraSpace[PL_BATCH_SIZE];
RwIm2DVertex	gBatchVertices[PL_BATCH_SIZE * VERTICES_PER_SQUARE];

} // namespace

u32 PLEmitter::muiAlphaBlend = 0;
u32 PLEmitter::muiSrcBlend = 0;
u32 PLEmitter::muiDestBlend = 0;
u32 PLEmitter::muiZWrite = 0;
u32 PLEmitter::muiCullMode = 0;
u32 PLEmitter::muiUAddressing = 0;
u32 PLEmitter::muiVAddressing = 0;

PLEmitter::PLEmitter() {
	if ( !DTTable128::IsInit() ) {
		DTTable128::Init();
	}
}

void PLEmitter::BeginRender() {
	muiAlphaBlend = GetState( RS_VERTEX_ALPHA );
	muiSrcBlend = GetState( RS_SRC_BLEND );
	muiDestBlend = GetState( RS_DEST_BLEND );
	muiZWrite = GetState( RS_ZWRITE_ENABLE );
	muiCullMode = GetState( RS_CULL_MODE );
	muiUAddressing = GetState( RS_ADDRESS_U );
	muiVAddressing = GetState( RS_ADDRESS_V );
	SetState( RS_ZTEST_ENABLE, 1 );
	SetState( RS_VERTEX_ALPHA, 1 );
	SetState( RS_ZWRITE_ENABLE, 0 );
	SetState( RS_CULL_MODE, CULL_NONE );
	SetState( RS_ADDRESS_U, ADDRESS_CLAMP );
	SetState( RS_ADDRESS_V, ADDRESS_CLAMP );
}

void PLEmitter::EndRender() {
	SetState( RS_VERTEX_ALPHA, muiAlphaBlend );
	SetState( RS_SRC_BLEND, muiSrcBlend );
	SetState( RS_DEST_BLEND, muiDestBlend );
	SetState( RS_ZWRITE_ENABLE, muiZWrite );
	SetState( RS_CULL_MODE, muiCullMode );
	SetState( RS_ADDRESS_U, muiUAddressing );
	SetState( RS_ADDRESS_V, muiVAddressing );
}

void PLEmitter::Render() {
	if ( mpoType == nullptr || mpoType->mpoTexture == nullptr ) {
		return;
	}
	const u32 flags = mpoType->mui32Flags;
	const bool stencil = ( flags & PL_TYPE_STENCIL ) != 0 && gpoGraphicsMgr != nullptr;
	if ( stencil ) {
		gpoGraphicsMgr->EnableStencilRead( 1 );
	}
	if ( moParticles.GetFirst() != nullptr ) {
		if ( ( flags & PL_TYPE_SUBTRACTIVE ) != 0 ) {
			SetState( RS_SRC_BLEND, BLEND_ZERO );
			SetState( RS_DEST_BLEND, BLEND_INV_SRC_COLOUR );
		} else if ( ( flags & PL_TYPE_ALPHA_BLEND ) != 0 ) {
			SetState( RS_SRC_BLEND, BLEND_SRC_ALPHA );
			SetState( RS_DEST_BLEND, BLEND_INV_SRC_ALPHA );
		} else {
			SetState( RS_SRC_BLEND, BLEND_ONE );
			SetState( RS_DEST_BLEND, BLEND_ONE );
		}
		RwRenderStateSet( RS_TEXTURE_RASTER, mpoType->mpoTexture->raster );
		SetState( RS_TEXTURE_FILTER, FILTER_LINEAR );
		if ( ( flags & PL_TYPE_ORIENTED ) != 0 ) {
			Render3dParticles();
		} else {
			Render2dParticles();
		}
	}
	if ( stencil ) {
		gpoGraphicsMgr->EnableStencilRead( 0 );
	}
}

void PLEmitter::Render3dParticles() {
	u32 count = 0;
	for ( const PLParticle * p = moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
		count += p->mpoMatrix != nullptr ? 1 : 0;
	}
	if ( count == 0 || _WorkMem == nullptr ) {
		return;
	}
	// The work memory hands out unaligned bytes.
	const u32 bytes = count * ( QUAD_VERTICES * sizeof( RwIm3DVertex ) + QUAD_INDICES * sizeof( RwImVertexIndex ) ) +
					  alignof( RwIm3DVertex );
	void * const memory = _WorkMem->Get( bytes );
	if ( memory == nullptr ) {
		return;
	}
	const uintptr_t aligned = ( reinterpret_cast<uintptr_t>( memory ) + alignof( RwIm3DVertex ) - 1 ) &
							  ~static_cast<uintptr_t>( alignof( RwIm3DVertex ) - 1 );
	RwIm3DVertex * const vertices = reinterpret_cast<RwIm3DVertex *>( aligned );
	RwImVertexIndex * const indices = reinterpret_cast<RwImVertexIndex *>( vertices + count * QUAD_VERTICES );
	const PLType_BC & type = *mpoType;
	static const f32 us[QUAD_VERTICES] = { 0.0f, 0.0f, 1.0f, 1.0f };
	static const f32 vs[QUAD_VERTICES] = { 1.0f, 0.0f, 0.0f, 1.0f };
	static const RwImVertexIndex order[QUAD_INDICES] = { 0, 1, 2, 2, 3, 0 };
	u32 quad = 0;
	for ( const PLParticle * p = moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
		if ( p->mpoMatrix == nullptr ) {
			continue;
		}
		const f32 h = 0.5f * type.moSize.Evaluate( p->mfAge );
		const DTVector3d r = *p->mpoMatrix->GetRight() * h;
		const DTVector3d u = *p->mpoMatrix->GetUp() * h;
		const DTVector3d & c = *p->mpoMatrix->GetPos();
		const DTVector3d corners[QUAD_VERTICES] = { c + r, c + u, c - r, c - u };
		const RwRGBA colour = { ColourByte( type.moRed.Evaluate( p->mfAge ) ),
								ColourByte( type.moGreen.Evaluate( p->mfAge ) ),
								ColourByte( type.moBlue.Evaluate( p->mfAge ) ),
								ColourByte( type.moAlpha.Evaluate( p->mfAge ) ) };
		RwIm3DVertex * const v = vertices + quad * QUAD_VERTICES;
		for ( u32 i = 0; i < QUAD_VERTICES; i++ ) {
			v[i].objVertex = { corners[i].x, corners[i].y, corners[i].z };
			v[i].objNormal = { 1.0f, 0.0f, 0.0f };
			v[i].color = colour;
			v[i].u = us[i];
			v[i].v = vs[i];
		}
		for ( u32 i = 0; i < QUAD_INDICES; i++ ) {
			indices[quad * QUAD_INDICES + i] = static_cast<RwImVertexIndex>( quad * QUAD_VERTICES + order[i] );
		}
		quad++;
	}
	const RwMatrix * const ltm = ( mui32Flags & PL_EMITTER_LOCAL_SPACE ) != 0 && mpFrame != nullptr
									 ? RwFrameGetLTM( mpFrame->GetRwFrame() )
									 : nullptr;
	if ( RwIm3DTransform( vertices, count * QUAD_VERTICES, ltm, rwIM3D_VERTEXUV ) != nullptr ) {
		RwIm3DRenderIndexedPrimitive( TRIANGLE_LIST, indices, static_cast<s32>( count * QUAD_INDICES ) );
		RwIm3DEnd();
	}
	_WorkMem->Release( bytes );
}

void PLEmitter::Render2dParticles() {
	const PLType_BC & type = *mpoType;
	const bool alphaBlend = ( type.mui32Flags & ( PL_TYPE_SUBTRACTIVE | PL_TYPE_ALPHA_BLEND ) ) == PL_TYPE_ALPHA_BLEND;
	DTVector3d origin;
	if ( ( mui32Flags & PL_EMITTER_LOCAL_SPACE ) != 0 && mpFrame != nullptr ) {
		const RwV3d & pos = RwFrameGetLTM( mpFrame->GetRwFrame() )->pos;
		origin = DTVector3d( pos.x, pos.y, pos.z );
	}
	u32 count = 0;
	for ( const PLParticle * p = moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
		const DTVector3d at = p->moPosition + origin;
		gBatchPositions[count] = { at.x, at.y, at.z };
		const u32 red = ColourByte( AtMost1( type.moRed.Evaluate( p->mfAge ) ) );
		const u32 green = ColourByte( AtMost1( type.moGreen.Evaluate( p->mfAge ) ) );
		const u32 blue = ColourByte( AtMost1( type.moBlue.Evaluate( p->mfAge ) ) );
		const u32 alpha = alphaBlend ? ColourByte( type.moAlpha.Evaluate( p->mfAge ) ) : 255;
		gBatchColours[count] = red | green << 8 | blue << 16 | alpha << 24;
		gBatchSizes[count] = type.moSize.Evaluate( p->mfAge );
		gBatchRotations[count] = type.moRotation.Evaluate( p->mfAge );
		if ( ++count == PL_BATCH_SIZE ) {
			RenderBatch( count, gBatchPositions, gBatchColours, gBatchSizes, gBatchRotations );
			count = 0;
		}
	}
	if ( count != 0 ) {
		RenderBatch( count, gBatchPositions, gBatchColours, gBatchSizes, gBatchRotations );
	}
}

void RenderBatch( const u32 count, RwV3d * positions, u32 * colours, f32 * sizes, f32 * rotations ) {
	RwCamera * const camera = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	if ( camera == nullptr || camera->frameBuffer == nullptr || count > PL_BATCH_SIZE ) {
		return;
	}
	if ( !DTTable128::IsInit() ) {
		DTTable128::Init();
	}
	const f32 width = static_cast<f32>( camera->frameBuffer->width );
	const f32 height = static_cast<f32>( camera->frameBuffer->height );
	const DTMatrix * const view = DTAsDTMatrix( &camera->viewMatrix );
	view->TransformPoints( reinterpret_cast<const DTVector3d *>( positions ),
						   reinterpret_cast<DTVector3d *>( gBatchCameraSpace ), count );
	u32 emitted = 0;
	for ( u32 i = 0; i < count; i++ ) {
		const RwV3d & p = gBatchCameraSpace[i];
		if ( p.z < camera->nearPlane ) {
			continue;
		}
		const f32 recipZ = 1.0f / p.z;
		const f32 screenZ = recipZ * camera->zScale + camera->zShift;
		const f32 x = p.x * width * recipZ;
		const f32 y = p.y * height * recipZ;
		if ( x < -PL_SCREEN_MARGIN || x > width + PL_SCREEN_MARGIN || y < -PL_SCREEN_MARGIN ||
			 y > height + PL_SCREEN_MARGIN ) {
			continue;
		}
		// Rotations are in turns; negative ones index as two's complement.
		const u32 k = static_cast<u32>( DTFloatToS32( 128.0f * rotations[i] ) ) & ( DT_TABLE128_SIZE - 1 );
		const f32 c = DTTable128::mCos[k];
		const f32 s = DTTable128::mSin[k];
		const f32 a = c * sizes[i] * camera->viewWindow.y * height * recipZ;
		const f32 b = s * sizes[i] * camera->viewWindow.x * width * recipZ;
		const u32 colour = colours[i];
		const f32 corners[VERTICES_PER_SQUARE][4] = {
			{ x + a, y + b, 0.0f, 0.0f }, { x - a, y - b, 1.0f, 1.0f }, { x - b, y + a, 0.0f, 1.0f },
			{ x + a, y + b, 0.0f, 0.0f }, { x + b, y - a, 1.0f, 0.0f }, { x - a, y - b, 1.0f, 1.0f },
		};
		for ( const f32 * corner : corners ) {
			RwIm2DVertex & v = gBatchVertices[emitted++];
			v.x = corner[0];
			v.y = corner[1];
			v.z = screenZ;
			v.r = static_cast<u8>( colour );
			v.g = static_cast<u8>( colour >> 8 );
			v.b = static_cast<u8>( colour >> 16 );
			v.a = static_cast<u8>( colour >> 24 );
			v.u = corner[2];
			v.v = corner[3];
		}
	}
	if ( emitted != 0 ) {
		RwIm2DRenderPrimitive( TRIANGLE_LIST, gBatchVertices, static_cast<s32>( emitted ) );
	}
}
