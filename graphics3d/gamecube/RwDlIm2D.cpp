// Immediate 2D of the console device driver: screen-space primitives
// written straight into the FIFO, under an orthographic projection over
// the render mode's frame, with the current texture when it has a raster.

#include "graphics3d/gamecube/RwDlIm2D.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "platform/vi/VI.h"

namespace {

f32		savedProjection[7];
bool	textured;

void WriteVertex( const RwIm2DVertex& v ) {
	GXPosition3f32( v.x, v.y, v.z );
	GXColor4u8( v.r, v.g, v.b, v.a );
	if ( textured ) {
		GXTexCoord2f32( v.u, v.v );
	}
}

// Lists are written whole primitives at a time: a count that is not a
// multiple would leave the GPU waiting for vertices that never come.
s32 WholePrimitives( const s32 type, const s32 count ) {
	if ( type == 3 ) {
		return count - count % 3;
	}
	if ( type == 1 ) {
		return count - count % 2;
	}
	return count;
}

void Init() {
	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxDesc( GX_VA_CLR0, GX_DIRECT );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_POS, GX_POS_XYZ, GX_F32, 0 );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_CLR0, GX_CLR_RGBA, GX_RGBA8, 0 );
	GXSetNumTevStages( 1 );
	GXSetNumChans( 1 );
	GXSetChanCtrl( GX_COLOR0A0, GX_FALSE, GX_SRC_REG, GX_SRC_VTX, GX_LIGHT_NULL, GX_DF_NONE, GX_AF_NONE );
	textured = _RwDlTexture != nullptr && _RwDlTexture->raster != nullptr;
	if ( textured ) {
		GXSetVtxDesc( GX_VA_TEX0, GX_DIRECT );
		GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_TEX0, GX_TEX_ST, GX_F32, 0 );
		GXSetNumTexGens( 1 );
		GXSetTexCoordGen2( GX_TEXCOORD0, GX_TG_MTX2x4, GX_TG_TEX0, GX_IDENTITY, GX_FALSE, GX_PTIDENTITY );
		GXSetTevOp( GX_TEVSTAGE0, GX_MODULATE );
		GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD0, GX_TEXMAP0, GX_COLOR0A0 );
		_rwDlTextureRasterFlush();
	} else {
		GXSetNumTexGens( 0 );
		GXSetTevOp( GX_TEVSTAGE0, GX_PASSCLR );
		GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD_NULL, GX_TEXMAP_NULL, GX_COLOR0A0 );
	}
	_rwDlSetFrameViewport();
	GXGetProjectionv( savedProjection );
	_rwDlSetScreenProjection( _RwDlRenderMode->fbWidth, _RwDlRenderMode->xfbHeight );
}

void Term() {
	const RwCamera* const camera = dgGGlobals.curCamera;
	if ( camera != nullptr && camera->frameBuffer != nullptr && camera->frameBuffer->parent != camera->frameBuffer ) {
		_rwDlSetTargetViewport( camera->frameBuffer );
	}
	GXSetProjectionv( savedProjection );
}

bool Draw( const s32 type, const RwIm2DVertex* vertices, const s32 numVertices, const RwImVertexIndex* indices,
		   const s32 numIndices ) {
	if ( type < 1 || type >= RWDL_PRIMITIVE_TYPES || vertices == nullptr ) {
		return false;
	}
	const s32 count = WholePrimitives( type, indices != nullptr ? numIndices : numVertices );
	if ( indices != nullptr ) {
		for ( s32 i = 0; i < count; i++ ) {
			if ( indices[i] >= numVertices ) {
				return false;
			}
		}
	}
	if ( count <= 0 ) {
		return true;
	}
	Init();
	GXBegin( _rwDlPrimConvTbl[type], GX_VTXFMT0, static_cast<u16>( count ) );
	for ( s32 i = 0; i < count; i++ ) {
		WriteVertex( vertices[indices != nullptr ? indices[i] : i] );
	}
	GXEnd();
	Term();
	return true;
}

}	// namespace

const u32 _rwDlPrimConvTbl[RWDL_PRIMITIVE_TYPES] = {
	0, GX_LINES, GX_LINESTRIP, GX_TRIANGLES, GX_TRIANGLESTRIP, GX_TRIANGLEFAN, GX_POINTS,
};

void _rwDlSetFrameViewport() {
	const GXRenderModeObj* const mode = _RwDlRenderMode;
	if ( mode->field_rendering ) {
		GXSetViewportJitter( 0.0f, 0.0f, mode->fbWidth, mode->xfbHeight, 0.0f, 1.0f, VIGetNextField() );
	} else {
		GXSetViewport( 0.0f, 0.0f, mode->fbWidth, mode->xfbHeight, 0.0f, 1.0f );
	}
	if ( !_RwDlFSAA ) {
		GXSetScissor( 0, 0, mode->fbWidth, mode->xfbHeight );
		return;
	}
	const u32 half = _RwDlHalfHeight;
	if ( _RwDlFSAATop ) {
		GXSetScissor( 0, 0, mode->fbWidth, half + 2 );
		GXSetScissorBoxOffset( 0, 0 );
	} else {
		GXSetScissor( 0, half - 2, mode->fbWidth, half + 2 );
		GXSetScissorBoxOffset( 0, static_cast<s32>( half - 2 ) );
	}
}

void _rwDlSetScreenProjection( const u32 width, const u32 height ) {
	// Orthographic: left 0, right width - 1, top 0, bottom height - 1,
	// near 0, far 1.
	const f32 right = static_cast<f32>( width ) - 1.0f;
	const f32 bottom = static_cast<f32>( height ) - 1.0f;
	Mtx44 ortho = {};
	ortho[0][0] = 2.0f / right;
	ortho[0][3] = -1.0f;
	ortho[1][1] = -2.0f / bottom;
	ortho[1][3] = 1.0f;
	ortho[2][2] = -1.0f;
	ortho[2][3] = -1.0f;
	ortho[3][3] = 1.0f;
	GXSetProjection( ortho, GX_ORTHOGRAPHIC );
	const Mtx flipZ = { { 1, 0, 0, 0 }, { 0, 1, 0, 0 }, { 0, 0, -1, 0 } };
	GXLoadPosMtxImm( flipZ, GX_PNMTX0 );
	GXSetCurrentMtx( GX_PNMTX0 );
}

bool _rwDlIm2DRenderLine( RwIm2DVertex* vertices, const s32 numVertices, const s32 vert1, const s32 vert2 ) {
	const RwImVertexIndex indices[2] = { static_cast<RwImVertexIndex>( vert1 ), static_cast<RwImVertexIndex>( vert2 ) };
	if ( vert1 < 0 || vert2 < 0 ) {
		return false;
	}
	return Draw( 1, vertices, numVertices, indices, 2 );
}

bool _rwDlIm2DRenderTriangle( RwIm2DVertex* vertices, const s32 numVertices, const s32 vert1, const s32 vert2,
							  const s32 vert3 ) {
	const RwImVertexIndex indices[3] = { static_cast<RwImVertexIndex>( vert1 ), static_cast<RwImVertexIndex>( vert2 ),
										 static_cast<RwImVertexIndex>( vert3 ) };
	if ( vert1 < 0 || vert2 < 0 || vert3 < 0 ) {
		return false;
	}
	return Draw( 3, vertices, numVertices, indices, 3 );
}

bool _rwDlIm2DRenderPrimitive( const RwPrimitiveType primType, RwIm2DVertex* vertices, const s32 numVertices ) {
	return Draw( primType, vertices, numVertices, nullptr, 0 );
}

bool _rwDlIm2DRenderIndexedPrimitive( const RwPrimitiveType primType, RwIm2DVertex* vertices, const s32 numVertices,
									  RwImVertexIndex* indices, const s32 numIndices ) {
	if ( indices == nullptr ) {
		return false;
	}
	return Draw( primType, vertices, numVertices, indices, numIndices );
}
