// State calls of the host graphics library: each sets its registers in
// the state model and is recorded.

#include "platform/gx/GXInternal.h"

#include <cstring>

namespace {

u32 Colour( const GXColor c ) {
	return static_cast<u32>( c.r ) << 24 | static_cast<u32>( c.g ) << 16 | static_cast<u32>( c.b ) << 8 | c.a;
}

u32 MatrixSlot( const u32 slot ) {
	return ( slot / 3 ) % GX_PNMTX_SLOTS;
}

}	// namespace

void GXResetState() {
	GXHostRenderState& r = gx.render;
	r = GXHostRenderState();
	for ( u32 slot = 0; slot < GX_PNMTX_SLOTS; slot++ ) {
		for ( u32 i = 0; i < 3; i++ ) {
			r.posMtx[slot][i][i] = 1.0f;
			r.nrmMtx[slot][i][i] = 1.0f;
		}
	}
	r.projection[0] = GX_PERSPECTIVE;
	r.zCompare = GX_TRUE;
	r.zFunction = GX_LEQUAL;
	r.zUpdate = GX_TRUE;
	r.zCompareBeforeTexture = GX_TRUE;
	r.colourUpdate = GX_TRUE;
	r.alphaUpdate = GX_TRUE;
	r.alphaCompare[0] = GX_ALWAYS;
	r.alphaCompare[3] = GX_ALWAYS;
	r.cullMode = GX_CULL_BACK;
	r.numChans = 0;
	r.numTexGens = 1;
	r.numTevStages = 1;
	for ( u32 s = 0; s < GX_MAX_TEVSTAGE; s++ ) {
		r.tev[s].coord = GX_TEXCOORD_NULL;
		r.tev[s].map = GX_TEXMAP_NULL;
		r.tev[s].colour = GX_COLOR_NULL;
	}
	for ( u32 t = 0; t < GX_MAX_TEVSWAP; t++ ) {
		for ( u32 c = 0; c < 4; c++ ) {
			r.swapTable[t][c] = c;
		}
	}
	std::memset( gx.vtxDesc, 0, sizeof( gx.vtxDesc ) );
	std::memset( gx.attrFormat, 0, sizeof( gx.attrFormat ) );
	std::memset( gx.arrays, 0, sizeof( gx.arrays ) );
	gx.inBegin = false;
	gx.inList = false;
	gx.primitiveBytes.clear();
	gx.copy = GXHostCopyState();
	gx.copy.yScale = 1.0f;
	gx.copy.clearZ = 0xFFFFFF;
	gx.copy.clamp = GX_CLAMP_TOP | GX_CLAMP_BOTTOM;
}

void GXLoadPosMtxImm( const Mtx matrix, const u32 slot ) {
	std::memcpy( gx.render.posMtx[MatrixSlot( slot )], matrix, sizeof( Mtx ) );
	GXRecord( GXHOST_LOAD_POS_MTX, { slot, GXWord( matrix[0][0] ), GXWord( matrix[0][3] ), GXWord( matrix[1][3] ),
									 GXWord( matrix[2][3] ) } );
}

void GXLoadNrmMtxImm( const Mtx matrix, const u32 slot ) {
	f32 ( &n )[3][3] = gx.render.nrmMtx[MatrixSlot( slot )];
	for ( u32 row = 0; row < 3; row++ ) {
		for ( u32 col = 0; col < 3; col++ ) {
			n[row][col] = matrix[row][col];
		}
	}
	GXRecord( GXHOST_LOAD_NRM_MTX, { slot, GXWord( matrix[0][0] ) } );
}

void GXLoadTexMtxImm( const Mtx matrix, const u32 slot, const u32 type ) {
	GXRecord( GXHOST_LOAD_TEX_MTX, { slot, type, GXWord( matrix[0][0] ) } );
}

void GXSetCurrentMtx( const u32 slot ) {
	gx.render.currentMtx = slot;
	GXRecord( GXHOST_SET_CURRENT_MTX, { slot } );
}

void GXSetProjection( const Mtx44 matrix, const u32 type ) {
	f32* const p = gx.render.projection;
	p[0] = static_cast<f32>( type );
	p[1] = matrix[0][0];
	p[2] = matrix[0][type == GX_PERSPECTIVE ? 2 : 3];
	p[3] = matrix[1][1];
	p[4] = matrix[1][type == GX_PERSPECTIVE ? 2 : 3];
	p[5] = matrix[2][2];
	p[6] = matrix[2][3];
	GXRecord( GXHOST_SET_PROJECTION, { type, GXWord( p[1] ), GXWord( p[3] ), GXWord( p[5] ), GXWord( p[6] ) } );
}

void GXSetProjectionv( const f32* projection ) {
	std::memcpy( gx.render.projection, projection, sizeof( gx.render.projection ) );
	GXRecord( GXHOST_SET_PROJECTION, { GXWord( projection[0] ), GXWord( projection[1] ), GXWord( projection[2] ),
									   GXWord( projection[3] ), GXWord( projection[4] ), GXWord( projection[5] ),
									   GXWord( projection[6] ) } );
}

void GXGetProjectionv( f32* projection ) {
	std::memcpy( projection, gx.render.projection, sizeof( gx.render.projection ) );
}

void GXSetViewport( const f32 left, const f32 top, const f32 width, const f32 height, const f32 nearZ, const f32 farZ ) {
	const f32 v[6] = { left, top, width, height, nearZ, farZ };
	std::memcpy( gx.render.viewport, v, sizeof( v ) );
	gx.render.viewportJittered = false;
	GXRecord( GXHOST_SET_VIEWPORT, { GXWord( left ), GXWord( top ), GXWord( width ), GXWord( height ), GXWord( nearZ ),
									 GXWord( farZ ) } );
}

void GXSetViewportJitter( const f32 left, const f32 top, const f32 width, const f32 height, const f32 nearZ,
						  const f32 farZ, const u32 field ) {
	const f32 v[6] = { left, top, width, height, nearZ, farZ };
	std::memcpy( gx.render.viewport, v, sizeof( v ) );
	gx.render.viewportJittered = true;
	gx.render.viewportField = field;
	GXRecord( GXHOST_SET_VIEWPORT_JITTER, { GXWord( left ), GXWord( top ), GXWord( width ), GXWord( height ),
											GXWord( nearZ ), GXWord( farZ ), field } );
}

void GXSetScissor( const u32 left, const u32 top, const u32 width, const u32 height ) {
	const u32 s[4] = { left, top, width, height };
	std::memcpy( gx.render.scissor, s, sizeof( s ) );
	GXRecord( GXHOST_SET_SCISSOR, { left, top, width, height } );
}

void GXSetScissorBoxOffset( const s32 xOffset, const s32 yOffset ) {
	gx.render.scissorBoxOffset[0] = xOffset;
	gx.render.scissorBoxOffset[1] = yOffset;
	GXRecord( GXHOST_SET_SCISSOR_BOX_OFFSET, { static_cast<u32>( xOffset ), static_cast<u32>( yOffset ) } );
}

void GXSetPixelFmt( const u32 pixelFormat, const u32 zFormat ) {
	gx.render.pixelFormat = pixelFormat;
	gx.render.zFormat = zFormat;
	GXRecord( GXHOST_SET_PIXEL_FMT, { pixelFormat, zFormat } );
}

void GXSetZMode( const GXBool compare, const u32 function, const GXBool update ) {
	gx.render.zCompare = compare;
	gx.render.zFunction = function;
	gx.render.zUpdate = update;
	GXRecord( GXHOST_SET_Z_MODE, { compare, function, update } );
}

void GXSetZCompLoc( const GXBool beforeTexture ) {
	gx.render.zCompareBeforeTexture = beforeTexture;
	GXRecord( GXHOST_SET_Z_COMP_LOC, { beforeTexture } );
}

void GXSetBlendMode( const u32 type, const u32 source, const u32 destination, const u32 logicOp ) {
	gx.render.blendType = type;
	gx.render.blendSource = source;
	gx.render.blendDestination = destination;
	gx.render.blendLogicOp = logicOp;
	GXRecord( GXHOST_SET_BLEND_MODE, { type, source, destination, logicOp } );
}

void GXSetColorUpdate( const GXBool update ) {
	gx.render.colourUpdate = update;
	GXRecord( GXHOST_SET_COLOR_UPDATE, { update } );
}

void GXSetAlphaUpdate( const GXBool update ) {
	gx.render.alphaUpdate = update;
	GXRecord( GXHOST_SET_ALPHA_UPDATE, { update } );
}

void GXSetDstAlpha( const GXBool enable, const u8 alpha ) {
	gx.render.dstAlphaEnable = enable;
	gx.render.dstAlpha = alpha;
	GXRecord( GXHOST_SET_DST_ALPHA, { enable, alpha } );
}

void GXSetAlphaCompare( const u32 comp0, const u8 ref0, const u32 op, const u32 comp1, const u8 ref1 ) {
	const u32 a[5] = { comp0, ref0, op, comp1, ref1 };
	std::memcpy( gx.render.alphaCompare, a, sizeof( a ) );
	GXRecord( GXHOST_SET_ALPHA_COMPARE, { comp0, ref0, op, comp1, ref1 } );
}

void GXSetCullMode( const u32 mode ) {
	gx.render.cullMode = mode;
	GXRecord( GXHOST_SET_CULL_MODE, { mode } );
}

void GXSetFog( const u32 type, const f32 startZ, const f32 endZ, const f32 nearZ, const f32 farZ, const GXColor colour ) {
	gx.render.fogType = type;
	const f32 range[4] = { startZ, endZ, nearZ, farZ };
	std::memcpy( gx.render.fogRange, range, sizeof( range ) );
	gx.render.fogColour = colour;
	GXRecord( GXHOST_SET_FOG, { type, GXWord( startZ ), GXWord( endZ ), GXWord( nearZ ), GXWord( farZ ),
								Colour( colour ) } );
}

void GXSetLineWidth( const u8 width, const u32 texOffsets ) {
	gx.render.lineWidth = width;
	GXRecord( GXHOST_SET_LINE_WIDTH, { width, texOffsets } );
}

void GXSetPointSize( const u8 size, const u32 texOffsets ) {
	gx.render.pointSize = size;
	GXRecord( GXHOST_SET_POINT_SIZE, { size, texOffsets } );
}

void GXSetNumChans( const u8 channels ) {
	gx.render.numChans = channels;
	GXRecord( GXHOST_SET_NUM_CHANS, { channels } );
}

// The combined channel ids (4, 5) set both the colour and alpha channel.
void GXSetChanCtrl( const u32 channel, const GXBool enable, const u32 ambientSource, const u32 materialSource,
					const u32 lightMask, const u32 diffuseFunction, const u32 attenuationFunction ) {
	const GXHostChannel c = { enable, ambientSource, materialSource, lightMask, diffuseFunction, attenuationFunction };
	if ( channel == GX_COLOR0A0 || channel == GX_COLOR1A1 ) {
		const u32 index = channel - GX_COLOR0A0;
		gx.render.channels[index] = c;
		gx.render.channels[index + GX_ALPHA0] = c;
	} else if ( channel < 6 ) {
		gx.render.channels[channel] = c;
	}
	GXRecord( GXHOST_SET_CHAN_CTRL, { channel, enable, ambientSource, materialSource, lightMask, diffuseFunction,
									  attenuationFunction } );
}

void GXSetChanMatColor( const u32 channel, const GXColor colour ) {
	gx.render.materialColour[channel & 1] = colour;
	GXRecord( GXHOST_SET_CHAN_MAT_COLOR, { channel, Colour( colour ) } );
}

void GXSetChanAmbColor( const u32 channel, const GXColor colour ) {
	gx.render.ambientColour[channel & 1] = colour;
	GXRecord( GXHOST_SET_CHAN_AMB_COLOR, { channel, Colour( colour ) } );
}

void GXSetNumTexGens( const u8 count ) {
	gx.render.numTexGens = count;
	GXRecord( GXHOST_SET_NUM_TEX_GENS, { count } );
}

void GXSetTexCoordGen2( const u32 coord, const u32 type, const u32 source, const u32 matrix, const GXBool normalise,
						const u32 postMatrix ) {
	if ( coord < GX_MAX_TEXCOORD ) {
		gx.render.texGens[coord] = { type, source, matrix, normalise, postMatrix };
	}
	GXRecord( GXHOST_SET_TEX_COORD_GEN, { coord, type, source, matrix, normalise, postMatrix } );
}

void GXSetTexCoordScaleManual( const u32 coord, const GXBool enable, const u16 s, const u16 t ) {
	if ( coord < GX_MAX_TEXCOORD ) {
		gx.render.texCoordScale[coord][0] = enable;
		gx.render.texCoordScale[coord][1] = s;
		gx.render.texCoordScale[coord][2] = t;
	}
	GXRecord( GXHOST_SET_TEX_COORD_SCALE, { coord, enable, s, t } );
}

void GXSetNumTevStages( const u8 stages ) {
	gx.render.numTevStages = stages;
	GXRecord( GXHOST_SET_NUM_TEV_STAGES, { stages } );
}

void GXSetTevOrder( const u32 stage, const u32 coord, const u32 map, const u32 colour ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		gx.render.tev[stage].coord = coord;
		gx.render.tev[stage].map = map;
		gx.render.tev[stage].colour = colour;
	}
	GXRecord( GXHOST_SET_TEV_ORDER, { stage, coord, map, colour } );
}

void GXSetTevOp( const u32 stage, const u32 mode ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		gx.render.tev[stage].op = mode;
	}
	GXRecord( GXHOST_SET_TEV_OP, { stage, mode } );
}

void GXSetTevColorIn( const u32 stage, const u32 a, const u32 b, const u32 c, const u32 d ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		const u32 in[4] = { a, b, c, d };
		std::memcpy( gx.render.tev[stage].colourIn, in, sizeof( in ) );
		gx.render.tev[stage].op = 0xFF;
	}
	GXRecord( GXHOST_SET_TEV_COLOR_IN, { stage, a, b, c, d } );
}

void GXSetTevAlphaIn( const u32 stage, const u32 a, const u32 b, const u32 c, const u32 d ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		const u32 in[4] = { a, b, c, d };
		std::memcpy( gx.render.tev[stage].alphaIn, in, sizeof( in ) );
		gx.render.tev[stage].op = 0xFF;
	}
	GXRecord( GXHOST_SET_TEV_ALPHA_IN, { stage, a, b, c, d } );
}

void GXSetTevColorOp( const u32 stage, const u32 op, const u32 bias, const u32 scale, const GXBool clamp,
					  const u32 outRegister ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		const u32 v[5] = { op, bias, scale, clamp, outRegister };
		std::memcpy( gx.render.tev[stage].colourOp, v, sizeof( v ) );
	}
	GXRecord( GXHOST_SET_TEV_COLOR_OP, { stage, op, bias, scale, clamp, outRegister } );
}

void GXSetTevAlphaOp( const u32 stage, const u32 op, const u32 bias, const u32 scale, const GXBool clamp,
					  const u32 outRegister ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		const u32 v[5] = { op, bias, scale, clamp, outRegister };
		std::memcpy( gx.render.tev[stage].alphaOp, v, sizeof( v ) );
	}
	GXRecord( GXHOST_SET_TEV_ALPHA_OP, { stage, op, bias, scale, clamp, outRegister } );
}

void GXSetTevColor( const u32 reg, const GXColor colour ) {
	if ( reg < GX_MAX_TEVREG ) {
		gx.render.tevColour[reg] = { colour.r, colour.g, colour.b, colour.a };
	}
	GXRecord( GXHOST_SET_TEV_COLOR, { reg, Colour( colour ) } );
}

void GXSetTevColorS10( const u32 reg, const GXColorS10 colour ) {
	if ( reg < GX_MAX_TEVREG ) {
		gx.render.tevColour[reg] = colour;
	}
	GXRecord( GXHOST_SET_TEV_COLOR_S10, { reg, static_cast<u32>( colour.r ), static_cast<u32>( colour.g ),
										  static_cast<u32>( colour.b ), static_cast<u32>( colour.a ) } );
}

void GXSetTevKColor( const u32 reg, const GXColor colour ) {
	if ( reg < GX_MAX_KCOLOR ) {
		gx.render.tevKColour[reg] = colour;
	}
	GXRecord( GXHOST_SET_TEV_K_COLOR, { reg, Colour( colour ) } );
}

void GXSetTevKColorSel( const u32 stage, const u32 selector ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		gx.render.tev[stage].kColourSel = selector;
	}
	GXRecord( GXHOST_SET_TEV_K_COLOR_SEL, { stage, selector } );
}

void GXSetTevKAlphaSel( const u32 stage, const u32 selector ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		gx.render.tev[stage].kAlphaSel = selector;
	}
	GXRecord( GXHOST_SET_TEV_K_ALPHA_SEL, { stage, selector } );
}

void GXSetTevSwapMode( const u32 stage, const u32 rasterSwap, const u32 textureSwap ) {
	if ( stage < GX_MAX_TEVSTAGE ) {
		gx.render.tev[stage].rasterSwap = rasterSwap;
		gx.render.tev[stage].textureSwap = textureSwap;
	}
	GXRecord( GXHOST_SET_TEV_SWAP_MODE, { stage, rasterSwap, textureSwap } );
}

void GXSetTevSwapModeTable( const u32 table, const u32 red, const u32 green, const u32 blue, const u32 alpha ) {
	if ( table < GX_MAX_TEVSWAP ) {
		const u32 v[4] = { red, green, blue, alpha };
		std::memcpy( gx.render.swapTable[table], v, sizeof( v ) );
	}
	GXRecord( GXHOST_SET_TEV_SWAP_MODE_TABLE, { table, red, green, blue, alpha } );
}

void GXSetDispCopySrc( const u16 left, const u16 top, const u16 width, const u16 height ) {
	const u16 v[4] = { left, top, width, height };
	std::memcpy( gx.copy.dispSource, v, sizeof( v ) );
	GXRecord( GXHOST_SET_DISP_COPY_SRC, { left, top, width, height } );
}

void GXSetDispCopyDst( const u16 width, const u16 height ) {
	gx.copy.dispDestination[0] = width;
	gx.copy.dispDestination[1] = height;
	GXRecord( GXHOST_SET_DISP_COPY_DST, { width, height } );
}

// Returns the number of external frame-buffer lines the copy makes.
f32 GXSetDispCopyYScale( const f32 scale ) {
	gx.copy.yScale = scale;
	GXRecord( GXHOST_SET_DISP_COPY_Y_SCALE, { GXWord( scale ) } );
	return static_cast<f32>( static_cast<u32>( gx.copy.dispSource[3] * scale ) );
}

void GXSetDispCopyGamma( const u32 gamma ) {
	gx.copy.gamma = gamma;
	GXRecord( GXHOST_SET_DISP_COPY_GAMMA, { gamma } );
}

void GXSetCopyFilter( const GXBool antialias, const u8 samplePattern[12][2], const GXBool verticalFilter,
					  const u8 verticalWeights[7] ) {
	gx.copy.antialias = antialias;
	if ( samplePattern != nullptr ) {
		std::memcpy( gx.copy.samplePattern, samplePattern, sizeof( gx.copy.samplePattern ) );
	}
	gx.copy.verticalFilter = verticalFilter;
	if ( verticalWeights != nullptr ) {
		std::memcpy( gx.copy.verticalWeights, verticalWeights, sizeof( gx.copy.verticalWeights ) );
	}
	GXRecord( GXHOST_SET_COPY_FILTER, { antialias, verticalFilter } );
}

void GXSetCopyClear( const GXColor colour, const u32 z ) {
	gx.copy.clearColour = colour;
	gx.copy.clearZ = z;
	GXRecord( GXHOST_SET_COPY_CLEAR, { Colour( colour ), z } );
}

void GXSetCopyClamp( const u32 clamp ) {
	gx.copy.clamp = clamp;
	GXRecord( GXHOST_SET_COPY_CLAMP, { clamp } );
}

void GXSetFieldMode( const GXBool fieldMode, const GXBool halfAspectRatio ) {
	gx.copy.fieldMode = fieldMode;
	gx.copy.halfAspectRatio = halfAspectRatio;
	GXRecord( GXHOST_SET_FIELD_MODE, { fieldMode, halfAspectRatio } );
}

void GXSetTexCopySrc( const u16 left, const u16 top, const u16 width, const u16 height ) {
	const u16 v[4] = { left, top, width, height };
	std::memcpy( gx.copy.texSource, v, sizeof( v ) );
	GXRecord( GXHOST_SET_TEX_COPY_SRC, { left, top, width, height } );
}

void GXSetTexCopyDst( const u16 width, const u16 height, const u32 format, const GXBool mipmap ) {
	gx.copy.texDestination[0] = width;
	gx.copy.texDestination[1] = height;
	gx.copy.texFormat = format;
	gx.copy.texMipmap = mipmap;
	GXRecord( GXHOST_SET_TEX_COPY_DST, { width, height, format, mipmap } );
}
