#include "video/vid/VIDSimpleDraw.h"

#include "platform/gx/GX.h"
#include "platform/gx/GXRenderMode.h"
#include "video/m4/VIDDecoder.h"
#include "video/vid/VIDSimplePlayer.h"

namespace {

constexpr u32 TEXCOORD1 = GX_TEXCOORD0 + 1;
constexpr u32 TEXMAP1 = GX_TEXMAP0 + 1;
constexpr u32 TEXMAP2 = GX_TEXMAP0 + 2;
// The vertex format of the quad.
constexpr u32 VTXFMT = GX_VTXFMT0 + 7;
// Where the identity position matrix is loaded.
constexpr u32 IDENTITY_MATRIX = 60;

// The inputs, operation, scale and clamp of one side of a stage; every
// stage writes the previous register but the first.
struct TevSide {
	u32		in[4];
	u32		op;
	u32		scale;
	GXBool	clamp;
};

struct TevStage {
	u32			coord;
	u32			map;
	TevSide		colour;
	TevSide		alpha;
	u32			kColourSel;
	u32			kAlphaSel;
	u32			out;
};

constexpr u32 K0 = GX_TEV_KCSEL_K0;
constexpr u32 K0A = GX_TEV_KASEL_K0_A;

// Stage 0 keeps U in register 1; stages 1-4 build red and blue in colour,
// green in alpha; stage 5 takes green from alpha (register 2 selects it).
const TevStage kStages[VID_TEV_STAGES] = {
	{ TEXCOORD1, TEXMAP1,
	  { { GX_CC_ZERO, GX_CC_ZERO, GX_CC_ZERO, GX_CC_TEXC }, GX_TEV_ADD, GX_CS_SCALE_1, GX_FALSE },
	  { { GX_CA_ZERO, GX_CA_ZERO, GX_CA_ZERO, GX_CA_TEXA }, GX_TEV_ADD, GX_CS_SCALE_1, GX_FALSE },
	  K0, K0A, GX_TEVREG1 },
	{ GX_TEXCOORD_NULL, GX_TEXMAP_NULL,
	  { { GX_CC_ZERO, GX_CC_C1, GX_CC_KONST, GX_CC_C0 }, GX_TEV_ADD, GX_CS_SCALE_1, GX_FALSE },
	  { { GX_CA_ZERO, GX_CA_A1, GX_CA_KONST, GX_CA_A0 }, GX_TEV_SUB, GX_CS_SCALE_1, GX_FALSE },
	  K0, K0A, GX_TEVPREV },
	{ TEXCOORD1, TEXMAP2,
	  { { GX_CC_ZERO, GX_CC_TEXC, GX_CC_KONST, GX_CC_CPREV }, GX_TEV_ADD, GX_CS_SCALE_1, GX_FALSE },
	  { { GX_CA_ZERO, GX_CA_TEXA, GX_CA_KONST, GX_CA_APREV }, GX_TEV_SUB, GX_CS_SCALE_1, GX_FALSE },
	  K0 + 1, K0A + 1, GX_TEVPREV },
	{ GX_TEXCOORD0, GX_TEXMAP0,
	  { { GX_CC_ZERO, GX_CC_TEXC, GX_CC_KONST, GX_CC_CPREV }, GX_TEV_ADD, GX_CS_SCALE_1, GX_FALSE },
	  { { GX_CA_ZERO, GX_CA_TEXA, GX_CA_KONST, GX_CA_APREV }, GX_TEV_ADD, GX_CS_SCALE_2, GX_TRUE },
	  K0 + 2, K0A + 2, GX_TEVPREV },
	{ GX_TEXCOORD_NULL, GX_TEXMAP_NULL,
	  { { GX_CC_ZERO, GX_CC_C1, GX_CC_KONST, GX_CC_CPREV }, GX_TEV_SUB, GX_CS_SCALE_2, GX_TRUE },
	  { { GX_CA_ZERO, GX_CA_ZERO, GX_CA_ZERO, GX_CA_APREV }, GX_TEV_ADD, GX_CS_SCALE_1, GX_FALSE },
	  K0 + 3, K0A + 3, GX_TEVPREV },
	{ GX_TEXCOORD_NULL, GX_TEXMAP_NULL,
	  { { GX_CC_CPREV, GX_CC_APREV, GX_CC_C2, GX_CC_ZERO }, GX_TEV_ADD, GX_CS_SCALE_1, GX_TRUE },
	  { { GX_CA_ZERO, GX_CA_ZERO, GX_CA_ZERO, GX_CA_ZERO }, GX_TEV_ADD, GX_CS_SCALE_1, GX_TRUE },
	  K0, K0A, GX_TEVPREV },
};

// Offsets of red and blue, and of green in alpha.
constexpr GXColorS10 kOffsets = { -114, 0, -139, 68 };
constexpr GXColor kGreenFromAlpha = { 0, 255, 0, 0 };
// Weights of U, V, Y and the second U weight of blue.
constexpr GXColor kWeights[4] = {
	{ 0, 0, 255, 50 },
	{ 205, 0, 0, 104 },
	{ 149, 0, 149, 149 },
	{ 0, 0, 3, 0 },
};

void InitPlane( GXTexObj* texture, u8* plane, const u16 width, const u16 height, const u32 map ) {
	GXInitTexObj( texture, plane, width, height, GX_TF_I8, GX_CLAMP, GX_CLAMP, GX_FALSE );
	GXInitTexObjLOD( texture, GX_LINEAR, GX_LINEAR, 0.0f, 0.0f, 0.0f, GX_FALSE, GX_FALSE, GX_ANISO_1 );
	GXLoadTexObj( texture, map );
}

}	// namespace

void VIDSimpleDraw( const GXRenderModeObj* const mode, const s16 x, const s16 y, const s16 width, const s16 height ) {
	if ( player.image == nullptr ) {
		return;
	}
	VIDDrawGXYuv2RgbSetup( mode );
	VIDDrawGXYuv2RgbDraw( x, y, width, height, player.image );
	VIDDrawGXRestore();
}

void VIDDrawGXYuv2RgbSetup( const GXRenderModeObj* const mode ) {
	const f32 width = static_cast<f32>( mode->fbWidth );
	const f32 height = static_cast<f32>( mode->efbHeight );

	GXSetPixelFmt( GX_PF_RGBA6_Z24, GX_ZC_LINEAR );

	// Orthographic: top 0, bottom H, left 0, right W, near 0, far -1.
	Mtx44 ortho = {};
	ortho[0][0] = 2.0f / width;
	ortho[0][3] = -1.0f;
	ortho[1][1] = -2.0f / height;
	ortho[1][3] = 1.0f;
	ortho[2][2] = 1.0f;
	ortho[2][3] = -1.0f;
	ortho[3][3] = 1.0f;
	GXSetProjection( ortho, GX_ORTHOGRAPHIC );
	GXSetViewport( 0.0f, 0.0f, width, height, 0.0f, 1.0f );
	GXSetScissor( 0, 0, mode->fbWidth, mode->efbHeight );
	const Mtx identity = { { 1, 0, 0, 0 }, { 0, 1, 0, 0 }, { 0, 0, 1, 0 } };
	GXLoadPosMtxImm( identity, IDENTITY_MATRIX );
	GXSetCurrentMtx( IDENTITY_MATRIX );

	GXSetZMode( GX_TRUE, GX_ALWAYS, GX_FALSE );
	GXSetBlendMode( GX_BM_NONE, GX_BL_ONE, GX_BL_ZERO, GX_LO_CLEAR );
	GXSetColorUpdate( GX_TRUE );
	GXSetAlphaUpdate( GX_FALSE );
	GXSetDispCopyGamma( GX_GM_1_0 );

	GXSetNumChans( 0 );
	GXSetNumTexGens( 2 );
	GXSetTexCoordGen2( GX_TEXCOORD0, GX_TG_MTX2x4, GX_TG_TEX0, GX_IDENTITY, GX_FALSE, GX_PTIDENTITY );
	GXSetTexCoordGen2( TEXCOORD1, GX_TG_MTX2x4, GX_TG_TEX0 + 1, GX_IDENTITY, GX_FALSE, GX_PTIDENTITY );

	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxDesc( GX_VA_TEX0, GX_DIRECT );
	GXSetVtxDesc( GX_VA_TEX0 + 1, GX_DIRECT );
	GXSetVtxAttrFmt( VTXFMT, GX_VA_POS, GX_POS_XYZ, GX_S16, 0 );
	GXSetVtxAttrFmt( VTXFMT, GX_VA_TEX0, GX_TEX_ST, GX_U16, 0 );
	GXSetVtxAttrFmt( VTXFMT, GX_VA_TEX0 + 1, GX_TEX_ST, GX_U16, 0 );

	GXInvalidateTexAll();
	GXSetNumTevStages( static_cast<u8>( VIDSetupTEV( 1 ) ) );
}

u32 VIDSetupTEV( const u32 mode ) {
	if ( mode != 1 ) {
		return 0;
	}
	for ( u32 s = 0; s < VID_TEV_STAGES; s++ ) {
		const TevStage& t = kStages[s];
		const u32 stage = GX_TEVSTAGE0 + s;
		GXSetTevOrder( stage, t.coord, t.map, GX_COLOR_NULL );
		GXSetTevColorIn( stage, t.colour.in[0], t.colour.in[1], t.colour.in[2], t.colour.in[3] );
		GXSetTevColorOp( stage, t.colour.op, GX_TB_ZERO, t.colour.scale, t.colour.clamp, t.out );
		GXSetTevAlphaIn( stage, t.alpha.in[0], t.alpha.in[1], t.alpha.in[2], t.alpha.in[3] );
		GXSetTevAlphaOp( stage, t.alpha.op, GX_TB_ZERO, t.alpha.scale, t.alpha.clamp, t.out );
		GXSetTevKColorSel( stage, t.kColourSel );
		GXSetTevKAlphaSel( stage, t.kAlphaSel );
		GXSetTevSwapMode( stage, GX_TEV_SWAP0, GX_TEV_SWAP0 );
	}
	GXSetTevColorS10( GX_TEVREG0, kOffsets );
	GXSetTevColor( GX_TEVREG2, kGreenFromAlpha );
	for ( u32 k = 0; k < 4; k++ ) {
		GXSetTevKColor( GX_KCOLOR0 + k, kWeights[k] );
	}
	return VID_TEV_STAGES;
}

void VIDDrawGXYuv2RgbDraw( const s16 x, const s16 y, const s16 width, const s16 height, const VIDImage* const image ) {
	GXSetCullMode( GX_CULL_NONE );

	GXTexObj planes[3];
	const u16 halfWidth = static_cast<u16>( image->texWidth / 2 );
	const u16 halfHeight = static_cast<u16>( image->texHeight / 2 );
	InitPlane( &planes[0], image->y, image->texWidth, image->texHeight, GX_TEXMAP0 );
	InitPlane( &planes[1], image->u, halfWidth, halfHeight, TEXMAP1 );
	InitPlane( &planes[2], image->v, halfWidth, halfHeight, TEXMAP2 );

	// Coordinates in texels.
	GXSetTexCoordScaleManual( GX_TEXCOORD0, GX_TRUE, 1, 1 );
	GXSetTexCoordScaleManual( TEXCOORD1, GX_TRUE, 1, 1 );

	const s16 right = static_cast<s16>( x + width );
	const s16 bottom = static_cast<s16>( y + height );
	const u16 w = image->width;
	const u16 h = image->height;
	const u16 w2 = static_cast<u16>( w / 2 );
	const u16 h2 = static_cast<u16>( h / 2 );
	GXBegin( GX_QUADS, VTXFMT, 4 );
	GXPosition3s16( x, y, 0 );
	GXTexCoord2u16( 0, 0 );
	GXTexCoord2u16( 0, 0 );
	GXPosition3s16( right, y, 0 );
	GXTexCoord2u16( w, 0 );
	GXTexCoord2u16( w2, 0 );
	GXPosition3s16( right, bottom, 0 );
	GXTexCoord2u16( w, h );
	GXTexCoord2u16( w2, h2 );
	GXPosition3s16( x, bottom, 0 );
	GXTexCoord2u16( 0, h );
	GXTexCoord2u16( 0, h2 );
	GXEnd();

	GXSetTexCoordScaleManual( GX_TEXCOORD0, GX_FALSE, 0, 0 );
	GXSetTexCoordScaleManual( TEXCOORD1, GX_FALSE, 0, 0 );
}

void VIDDrawGXRestore() {
	GXSetZMode( GX_TRUE, GX_ALWAYS, GX_FALSE );
	GXSetBlendMode( GX_BM_NONE, GX_BL_ONE, GX_BL_ZERO, GX_LO_CLEAR );
	GXSetNumTexGens( 1 );
	GXSetNumChans( 0 );
	GXSetNumTevStages( 1 );
	GXSetTevOp( GX_TEVSTAGE0, GX_REPLACE );
	GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD0, GX_TEXMAP0, GX_COLOR_NULL );
	for ( u32 stage = GX_TEVSTAGE0; stage < GX_TEVSTAGE0 + 4; stage++ ) {
		GXSetTevSwapMode( stage, GX_TEV_SWAP0, GX_TEV_SWAP0 );
	}
	GXSetTevSwapModeTable( GX_TEV_SWAP0, GX_CH_RED, GX_CH_GREEN, GX_CH_BLUE, GX_CH_ALPHA );
	GXSetTevSwapModeTable( GX_TEV_SWAP1, GX_CH_RED, GX_CH_RED, GX_CH_RED, GX_CH_ALPHA );
	GXSetTevSwapModeTable( GX_TEV_SWAP2, GX_CH_GREEN, GX_CH_GREEN, GX_CH_GREEN, GX_CH_ALPHA );
	GXSetTevSwapModeTable( GX_TEV_SWAP3, GX_CH_BLUE, GX_CH_BLUE, GX_CH_BLUE, GX_CH_ALPHA );
}
