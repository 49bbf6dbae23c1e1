/*
===============================================================================

	Graphics processor library, host version: the console's GX interface.

	Declares only what the console library offers: the enumerations with
	the console's numbers, the FIFO, texture, palette (TLUT) and light
	objects, and the calls the engine and the 3D library's driver make.

	On the host every call updates a state model and is recorded; data
	written between GXBegin and GXEnd is kept as the real big-endian bytes
	the GPU would read and decoded into draw records. The command FIFO
	and the GPU run as events of the host event queue. Tests observe all
	of it through GXHost.h.

===============================================================================
*/
#ifndef GX_H
#define GX_H

#include "platform/types/PlatformTypes.h"
#include "platform/gx/GXRenderMode.h"
#include "platform/gx/GXTypes.h"

// Primitive opcodes, as written to the FIFO (low three bits: vertex format).
enum GXPrimitive : u32 {
	GX_QUADS			= 0x80,
	GX_TRIANGLES		= 0x90,
	GX_TRIANGLESTRIP	= 0x98,
	GX_TRIANGLEFAN		= 0xA0,
	GX_LINES			= 0xA8,
	GX_LINESTRIP		= 0xB0,
	GX_POINTS			= 0xB8,
};

// Vertex attributes.
enum GXAttr : u32 {
	GX_VA_PNMTXIDX		= 0,
	GX_VA_TEX0MTXIDX	= 1,
	GX_VA_POS			= 9,
	GX_VA_NRM			= 10,
	GX_VA_CLR0			= 11,
	GX_VA_CLR1			= 12,
	GX_VA_TEX0			= 13,	// GX_VA_TEX0 + i for map i, up to 7
	GX_VA_NBT			= 25,
	GX_VA_MAX_ATTR		= 26,
	GX_VA_NULL			= 0xFF,
};

// How an attribute is sent: not at all, directly, or as an 8- or 16-bit
// index into its array.
enum GXAttrType : u32 {
	GX_NONE		= 0,
	GX_DIRECT	= 1,
	GX_INDEX8	= 2,
	GX_INDEX16	= 3,
};

// Component counts.
constexpr u32 GX_POS_XY		= 0;
constexpr u32 GX_POS_XYZ	= 1;
constexpr u32 GX_NRM_XYZ	= 0;
constexpr u32 GX_CLR_RGB	= 0;
constexpr u32 GX_CLR_RGBA	= 1;
constexpr u32 GX_TEX_S		= 0;
constexpr u32 GX_TEX_ST		= 1;

// Component types of positions, normals and texture coordinates.
constexpr u32 GX_U8		= 0;
constexpr u32 GX_S8		= 1;
constexpr u32 GX_U16	= 2;
constexpr u32 GX_S16	= 3;
constexpr u32 GX_F32	= 4;
// Component types of colours.
constexpr u32 GX_RGB565	= 0;
constexpr u32 GX_RGB8	= 1;
constexpr u32 GX_RGBX8	= 2;
constexpr u32 GX_RGBA4	= 3;
constexpr u32 GX_RGBA6	= 4;
constexpr u32 GX_RGBA8	= 5;

// Vertex formats.
constexpr u32 GX_VTXFMT0		= 0;
constexpr u32 GX_MAX_VTXFMT		= 8;

// Texture formats.
enum GXTexFmt : u32 {
	GX_TF_I4		= 0,
	GX_TF_I8		= 1,
	GX_TF_RGB565	= 4,
	GX_TF_RGB5A3	= 5,
	GX_TF_RGBA8		= 6,
	GX_TF_C4		= 8,
	GX_TF_C8		= 9,
};

// Palette formats.
constexpr u32 GX_TL_IA8		= 0;
constexpr u32 GX_TL_RGB565	= 1;
constexpr u32 GX_TL_RGB5A3	= 2;

// Texture maps, coordinates, channels and TEV stages.
constexpr u32 GX_TEXMAP0		= 0;
constexpr u32 GX_MAX_TEXMAP		= 8;
constexpr u32 GX_TEXMAP_NULL	= 0xFF;
constexpr u32 GX_TEXCOORD0		= 0;
constexpr u32 GX_MAX_TEXCOORD	= 8;
constexpr u32 GX_TEXCOORD_NULL	= 0xFF;
constexpr u32 GX_COLOR0			= 0;
constexpr u32 GX_ALPHA0			= 2;
constexpr u32 GX_COLOR0A0		= 4;
constexpr u32 GX_COLOR1A1		= 5;
constexpr u32 GX_COLOR_NULL		= 0xFF;
constexpr u32 GX_TEVSTAGE0		= 0;
constexpr u32 GX_TEVSTAGE1		= 1;
constexpr u32 GX_MAX_TEVSTAGE	= 16;
constexpr u32 GX_MAX_TEVREG		= 4;
constexpr u32 GX_MAX_KCOLOR		= 4;
constexpr u32 GX_MAX_TEVSWAP	= 4;

// Matrix slots: position and normal matrices every 3 rows.
constexpr u32 GX_PNMTX0			= 0;
constexpr u32 GX_PNMTX_SLOTS	= 10;
constexpr u32 GX_TEXMTX0		= 30;
constexpr u32 GX_IDENTITY		= 60;

// Lights.
constexpr u32 GX_LIGHT0			= 0x001;
constexpr u32 GX_MAX_LIGHT		= 8;
constexpr u32 GX_LIGHT_NULL		= 0;

// Comparisons.
enum GXCompare : u32 {
	GX_NEVER	= 0,
	GX_LESS		= 1,
	GX_EQUAL	= 2,
	GX_LEQUAL	= 3,
	GX_GREATER	= 4,
	GX_NEQUAL	= 5,
	GX_GEQUAL	= 6,
	GX_ALWAYS	= 7,
};

// Blending.
constexpr u32 GX_BM_NONE		= 0;
constexpr u32 GX_BM_BLEND		= 1;
constexpr u32 GX_BM_LOGIC		= 2;
constexpr u32 GX_BM_SUBTRACT	= 3;
constexpr u32 GX_BL_ZERO		= 0;
constexpr u32 GX_BL_ONE			= 1;
constexpr u32 GX_BL_SRCCLR		= 2;
constexpr u32 GX_BL_INVSRCCLR	= 3;
constexpr u32 GX_BL_SRCALPHA	= 4;
constexpr u32 GX_BL_INVSRCALPHA	= 5;
constexpr u32 GX_BL_DSTALPHA	= 6;
constexpr u32 GX_BL_INVDSTALPHA	= 7;
constexpr u32 GX_LO_CLEAR		= 0;

// Alpha-compare combiners.
constexpr u32 GX_AOP_AND	= 0;
constexpr u32 GX_AOP_OR		= 1;
constexpr u32 GX_AOP_XOR	= 2;
constexpr u32 GX_AOP_XNOR	= 3;

// Culling.
constexpr u32 GX_CULL_NONE	= 0;
constexpr u32 GX_CULL_FRONT	= 1;
constexpr u32 GX_CULL_BACK	= 2;
constexpr u32 GX_CULL_ALL	= 3;

// Fog.
constexpr u32 GX_FOG_NONE			= 0;
constexpr u32 GX_FOG_PERSP_LIN		= 2;
constexpr u32 GX_FOG_PERSP_EXP		= 4;
constexpr u32 GX_FOG_PERSP_EXP2		= 5;
constexpr u32 GX_FOG_ORTHO_LIN		= 10;

// Embedded frame-buffer pixel and depth formats.
constexpr u32 GX_PF_RGB8_Z24	= 0;
constexpr u32 GX_PF_RGBA6_Z24	= 1;
constexpr u32 GX_PF_RGB565_Z16	= 2;
constexpr u32 GX_ZC_LINEAR		= 0;

// Projections.
constexpr u32 GX_PERSPECTIVE	= 0;
constexpr u32 GX_ORTHOGRAPHIC	= 1;

// Copy clamps.
constexpr u32 GX_CLAMP_NONE		= 0;
constexpr u32 GX_CLAMP_TOP		= 1;
constexpr u32 GX_CLAMP_BOTTOM	= 2;

// Display-copy gamma.
constexpr u32 GX_GM_1_0	= 0;

// Texture filters, wrap modes, anisotropy.
constexpr u32 GX_NEAR				= 0;
constexpr u32 GX_LINEAR				= 1;
constexpr u32 GX_NEAR_MIP_NEAR		= 2;
constexpr u32 GX_LIN_MIP_NEAR		= 3;
constexpr u32 GX_NEAR_MIP_LIN		= 4;
constexpr u32 GX_LIN_MIP_LIN		= 5;
constexpr u32 GX_CLAMP				= 0;
constexpr u32 GX_REPEAT				= 1;
constexpr u32 GX_MIRROR				= 2;
constexpr u32 GX_ANISO_1			= 0;

// Channel sources and functions.
constexpr u32 GX_SRC_REG	= 0;
constexpr u32 GX_SRC_VTX	= 1;
constexpr u32 GX_DF_NONE	= 0;
constexpr u32 GX_DF_CLAMP	= 2;
constexpr u32 GX_AF_SPEC	= 0;
constexpr u32 GX_AF_SPOT	= 1;
constexpr u32 GX_AF_NONE	= 2;

// TEV modes of GXSetTevOp.
constexpr u32 GX_MODULATE	= 0;
constexpr u32 GX_DECAL		= 1;
constexpr u32 GX_BLEND		= 2;
constexpr u32 GX_REPLACE	= 3;
constexpr u32 GX_PASSCLR	= 4;

// TEV colour and alpha inputs, operations, biases, scales and outputs.
constexpr u32 GX_CC_CPREV	= 0;
constexpr u32 GX_CC_APREV	= 1;
constexpr u32 GX_CC_C0		= 2;
constexpr u32 GX_CC_A0		= 3;
constexpr u32 GX_CC_C1		= 4;
constexpr u32 GX_CC_A1		= 5;
constexpr u32 GX_CC_C2		= 6;
constexpr u32 GX_CC_A2		= 7;
constexpr u32 GX_CC_TEXC	= 8;
constexpr u32 GX_CC_TEXA	= 9;
constexpr u32 GX_CC_RASC	= 10;
constexpr u32 GX_CC_ONE		= 12;
constexpr u32 GX_CC_KONST	= 14;
constexpr u32 GX_CC_ZERO	= 15;
constexpr u32 GX_CA_APREV	= 0;
constexpr u32 GX_CA_A0		= 1;
constexpr u32 GX_CA_A1		= 2;
constexpr u32 GX_CA_A2		= 3;
constexpr u32 GX_CA_TEXA	= 4;
constexpr u32 GX_CA_RASA	= 5;
constexpr u32 GX_CA_KONST	= 6;
constexpr u32 GX_CA_ZERO	= 7;
constexpr u32 GX_TEV_ADD	= 0;
constexpr u32 GX_TEV_SUB	= 1;
constexpr u32 GX_TB_ZERO	= 0;
constexpr u32 GX_CS_SCALE_1	= 0;
constexpr u32 GX_CS_SCALE_2	= 1;
constexpr u32 GX_CS_SCALE_4	= 2;
constexpr u32 GX_CS_DIVIDE_2	= 3;
constexpr u32 GX_TEVPREV	= 0;
constexpr u32 GX_TEVREG0	= 1;
constexpr u32 GX_TEVREG1	= 2;
constexpr u32 GX_TEVREG2	= 3;

// Constant colours, their selectors and the swap tables.
constexpr u32 GX_KCOLOR0		= 0;
constexpr u32 GX_KCOLOR1		= 1;
constexpr u32 GX_KCOLOR2		= 2;
constexpr u32 GX_KCOLOR3		= 3;
constexpr u32 GX_TEV_KCSEL_K0	= 0x0C;		// K0 to K3 as colours: 0x0C + k
constexpr u32 GX_TEV_KCSEL_K0_R	= 0x10;		// channel c of Kk: 0x10 + 4c + k
constexpr u32 GX_TEV_KASEL_K0_R	= 0x10;		// channel c of Kk as alpha: 0x10 + 4c + k
constexpr u32 GX_TEV_KASEL_K0_A	= 0x1C;
constexpr u32 GX_TEV_SWAP0		= 0;
constexpr u32 GX_TEV_SWAP1		= 1;
constexpr u32 GX_TEV_SWAP2		= 2;
constexpr u32 GX_TEV_SWAP3		= 3;
constexpr u32 GX_CH_RED			= 0;
constexpr u32 GX_CH_GREEN		= 1;
constexpr u32 GX_CH_BLUE		= 2;
constexpr u32 GX_CH_ALPHA		= 3;

// Texture-coordinate generation.
constexpr u32 GX_TG_MTX3x4	= 0;
constexpr u32 GX_TG_MTX2x4	= 1;
constexpr u32 GX_TG_POS		= 0;
constexpr u32 GX_TG_NRM		= 1;
constexpr u32 GX_TG_TEX0	= 4;
constexpr u32 GX_PTIDENTITY	= 125;

// Spot and distance attenuation functions.
constexpr u32 GX_SP_OFF		= 0;
constexpr u32 GX_DA_OFF		= 0;

struct GXColor {
	u8	r;
	u8	g;
	u8	b;
	u8	a;
};

struct GXColorS10 {
	s16	r;
	s16	g;
	s16	b;
	s16	a;
};

// The command FIFO: a ring in main memory the CPU writes and the GPU
// reads. Kept as the host's own record.
struct GXFifoObj {
	u8*		base;
	u32		size;
	u32		hiWatermark;
	u32		loWatermark;
	u64		writeBytes;		// bytes written since the FIFO was set up
	u64		readBytes;		// bytes the GPU has executed
	bool	cpuAttached;
	bool	gpAttached;
};

// A texture as the GPU samples it; every init parameter kept as given.
struct GXTexObj {
	void*	image;
	u16		width;
	u16		height;
	u32		format;
	u32		wrapS;
	u32		wrapT;
	GXBool	mipmap;
	GXBool	colourIndexed;
	u32		tlutName;
	u32		minFilter;
	u32		magFilter;
	f32		minLod;
	f32		maxLod;
	f32		lodBias;
	GXBool	biasClamp;
	GXBool	edgeLod;
	u32		maxAniso;
	void*	userData;
};

// A palette as loaded into the GPU's palette memory.
struct GXTlutObj {
	void*	lut;
	u32		format;
	u16		entries;
};

// A hardware light; every init parameter kept as given.
struct GXLightObj {
	f32		position[3];
	f32		direction[3];
	GXColor	colour;
	f32		cutoff;
	u32		spotFunction;
	f32		refDistance;
	f32		refBrightness;
	u32		distanceFunction;
	f32		attnA[3];
	f32		attnK[3];
};

typedef f32 Mtx[3][4];
typedef f32 Mtx33[3][3];
typedef f32 Mtx44[4][4];

typedef void ( *GXBreakPtCallback )();
typedef void ( *GXDrawSyncCallback )( u16 token );

// Start-up: sets every register to its default and the FIFO over the
// given memory. Returns the FIFO object.
GXFifoObj*	GXInit( void* base, u32 size );

// FIFO objects.
void		GXInitFifoBase( GXFifoObj* fifo, void* base, u32 size );
void		GXSetCPUFifo( GXFifoObj* fifo );
void		GXSetGPFifo( GXFifoObj* fifo );
GXFifoObj*	GXGetCPUFifo();
void		GXGetFifoPtrs( const GXFifoObj* fifo, void** readPtr, void** writePtr );
void		GXSetCurrentGXThread();
// Makes everything written so far visible to the GPU.
void		GXFlush();
void		GXResetWriteGatherPipe();
// Waits until the GPU has executed everything written.
void		GXDrawDone();
void		GXPixModeSync();

// Draw synchronisation and the FIFO break point.
void		GXSetDrawSync( u16 token );
u16			GXReadDrawSync();
void		GXEnableBreakPt( void* breakPtr );
void		GXDisableBreakPt();
GXBreakPtCallback	GXSetBreakPtCallback( GXBreakPtCallback callback );

// Vertex descriptions and arrays.
void		GXClearVtxDesc();
void		GXSetVtxDesc( u32 attr, u32 type );
void		GXSetVtxAttrFmt( u32 format, u32 attr, u32 count, u32 type, u8 fractionBits );
void		GXSetArray( u32 attr, const void* base, u8 stride );
void		GXInvalidateVtxCache();

// Primitives and the vertex data between GXBegin and GXEnd.
void		GXBegin( u32 primitive, u32 format, u16 vertices );
void		GXEnd();
void		GXPosition3f32( f32 x, f32 y, f32 z );
void		GXPosition2f32( f32 x, f32 y );
void		GXPosition3s16( s16 x, s16 y, s16 z );
void		GXPosition2s16( s16 x, s16 y );
void		GXPosition1x8( u8 index );
void		GXPosition1x16( u16 index );
void		GXNormal3f32( f32 x, f32 y, f32 z );
void		GXNormal1x8( u8 index );
void		GXNormal1x16( u16 index );
void		GXColor4u8( u8 r, u8 g, u8 b, u8 a );
void		GXColor1u32( u32 rgba );
void		GXColor1x8( u8 index );
void		GXColor1x16( u16 index );
void		GXTexCoord2f32( f32 s, f32 t );
void		GXTexCoord2s16( s16 s, s16 t );
void		GXTexCoord2u16( u16 s, u16 t );
void		GXTexCoord1x8( u8 index );
void		GXTexCoord1x16( u16 index );
void		GXMatrixIndex1u8( u8 index );

// Display lists.
void		GXBeginDisplayList( void* list, u32 size );
// The padded size of the list, 0 when it overflowed.
u32			GXEndDisplayList();
void		GXCallDisplayList( const void* list, u32 bytes );

// Matrices and projection.
void		GXLoadPosMtxImm( const Mtx matrix, u32 slot );
void		GXLoadNrmMtxImm( const Mtx matrix, u32 slot );
void		GXLoadTexMtxImm( const Mtx matrix, u32 slot, u32 type );
void		GXSetCurrentMtx( u32 slot );
void		GXSetProjection( const Mtx44 matrix, u32 type );
void		GXSetProjectionv( const f32* projection );
void		GXGetProjectionv( f32* projection );

// Viewport and scissor.
void		GXSetViewport( f32 left, f32 top, f32 width, f32 height, f32 nearZ, f32 farZ );
void		GXSetViewportJitter( f32 left, f32 top, f32 width, f32 height, f32 nearZ, f32 farZ, u32 field );
void		GXSetScissor( u32 left, u32 top, u32 width, u32 height );
void		GXSetScissorBoxOffset( s32 xOffset, s32 yOffset );

// Pixel pipeline.
void		GXSetPixelFmt( u32 pixelFormat, u32 zFormat );
void		GXSetZMode( GXBool compare, u32 function, GXBool update );
void		GXSetZCompLoc( GXBool beforeTexture );
void		GXSetBlendMode( u32 type, u32 source, u32 destination, u32 logicOp );
void		GXSetColorUpdate( GXBool update );
void		GXSetAlphaUpdate( GXBool update );
void		GXSetDstAlpha( GXBool enable, u8 alpha );
void		GXSetAlphaCompare( u32 comp0, u8 ref0, u32 op, u32 comp1, u8 ref1 );
void		GXSetCullMode( u32 mode );
void		GXSetFog( u32 type, f32 startZ, f32 endZ, f32 nearZ, f32 farZ, GXColor colour );
void		GXSetLineWidth( u8 width, u32 texOffsets );
void		GXSetPointSize( u8 size, u32 texOffsets );

// Lighting channels and lights.
void		GXSetNumChans( u8 channels );
void		GXSetChanCtrl( u32 channel, GXBool enable, u32 ambientSource, u32 materialSource, u32 lightMask,
						   u32 diffuseFunction, u32 attenuationFunction );
void		GXSetChanMatColor( u32 channel, GXColor colour );
void		GXSetChanAmbColor( u32 channel, GXColor colour );
void		GXInitLightPos( GXLightObj* light, f32 x, f32 y, f32 z );
void		GXInitLightDir( GXLightObj* light, f32 nx, f32 ny, f32 nz );
void		GXInitLightColor( GXLightObj* light, GXColor colour );
void		GXInitLightSpot( GXLightObj* light, f32 cutoff, u32 spotFunction );
void		GXInitLightDistAttn( GXLightObj* light, f32 refDistance, f32 refBrightness, u32 distanceFunction );
void		GXInitLightAttnA( GXLightObj* light, f32 a0, f32 a1, f32 a2 );
void		GXInitLightAttnK( GXLightObj* light, f32 k0, f32 k1, f32 k2 );
void		GXLoadLightObjImm( const GXLightObj* light, u32 lightId );

// Texture-coordinate generation and the texture environment (TEV).
void		GXSetNumTexGens( u8 count );
void		GXSetTexCoordGen2( u32 coord, u32 type, u32 source, u32 matrix, GXBool normalise, u32 postMatrix );
void		GXSetTexCoordScaleManual( u32 coord, GXBool enable, u16 s, u16 t );
void		GXSetNumTevStages( u8 stages );
void		GXSetTevOrder( u32 stage, u32 coord, u32 map, u32 colour );
void		GXSetTevOp( u32 stage, u32 mode );
void		GXSetTevColorIn( u32 stage, u32 a, u32 b, u32 c, u32 d );
void		GXSetTevAlphaIn( u32 stage, u32 a, u32 b, u32 c, u32 d );
void		GXSetTevColorOp( u32 stage, u32 op, u32 bias, u32 scale, GXBool clamp, u32 outRegister );
void		GXSetTevAlphaOp( u32 stage, u32 op, u32 bias, u32 scale, GXBool clamp, u32 outRegister );
void		GXSetTevColor( u32 reg, GXColor colour );
void		GXSetTevColorS10( u32 reg, GXColorS10 colour );
void		GXSetTevKColor( u32 reg, GXColor colour );
void		GXSetTevKColorSel( u32 stage, u32 selector );
void		GXSetTevKAlphaSel( u32 stage, u32 selector );
void		GXSetTevSwapMode( u32 stage, u32 rasterSwap, u32 textureSwap );
void		GXSetTevSwapModeTable( u32 table, u32 red, u32 green, u32 blue, u32 alpha );

// Texture and palette objects.
void		GXInitTexObj( GXTexObj* texture, void* image, u16 width, u16 height, u32 format, u32 wrapS, u32 wrapT,
						  GXBool mipmap );
void		GXInitTexObjCI( GXTexObj* texture, void* image, u16 width, u16 height, u32 format, u32 wrapS, u32 wrapT,
							GXBool mipmap, u32 tlutName );
void		GXInitTexObjLOD( GXTexObj* texture, u32 minFilter, u32 magFilter, f32 minLod, f32 maxLod, f32 lodBias,
							 GXBool biasClamp, GXBool edgeLod, u32 maxAniso );
void		GXInitTexObjTlut( GXTexObj* texture, u32 tlutName );
void		GXInitTexObjUserData( GXTexObj* texture, void* userData );
u32			GXGetTexObjTlut( const GXTexObj* texture );
u32			GXGetTexObjMaxAniso( const GXTexObj* texture );
GXBool		GXGetTexObjBiasClamp( const GXTexObj* texture );
GXBool		GXGetTexObjEdgeLOD( const GXTexObj* texture );
f32			GXGetTexObjLODBias( const GXTexObj* texture );
void*		GXGetTexObjUserData( const GXTexObj* texture );
void		GXLoadTexObj( const GXTexObj* texture, u32 map );
void		GXLoadTexObjPreLoaded( const GXTexObj* texture, const void* region, u32 map );
void		GXInitTlutObj( GXTlutObj* tlut, void* lut, u32 format, u16 entries );
void		GXLoadTlut( const GXTlutObj* tlut, u32 tlutName );
void		GXInvalidateTexAll();

// Frame-buffer copies.
void		GXSetDispCopySrc( u16 left, u16 top, u16 width, u16 height );
void		GXSetDispCopyDst( u16 width, u16 height );
f32			GXSetDispCopyYScale( f32 scale );
void		GXSetDispCopyGamma( u32 gamma );
void		GXSetCopyFilter( GXBool antialias, const u8 samplePattern[12][2], GXBool verticalFilter,
							 const u8 verticalWeights[7] );
void		GXSetCopyClear( GXColor colour, u32 z );
void		GXSetCopyClamp( u32 clamp );
void		GXSetFieldMode( GXBool fieldMode, GXBool halfAspectRatio );
void		GXCopyDisp( void* destination, GXBool clear );
void		GXSetTexCopySrc( u16 left, u16 top, u16 width, u16 height );
void		GXSetTexCopyDst( u16 width, u16 height, u32 format, GXBool mipmap );
void		GXCopyTex( void* destination, GXBool clear );
// The colour of an embedded frame-buffer pixel; 0 outside the buffer.
void		GXPeekARGB( u16 x, u16 y, u32* colour );

#endif
