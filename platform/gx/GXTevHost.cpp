#include "platform/gx/GXInternal.h"

#include <cmath>

namespace {

struct Rgba {
	s32 v[4];
};

s32 Clamp( const s32 value, const s32 low, const s32 high ) {
	return value < low ? low : value > high ? high : value;
}

// Constant colour of a selector: fractions of one, a whole constant, or
// one of its channels replicated.
Rgba Konst( const GXHostRenderState& state, const u32 colourSel, const u32 alphaSel ) {
	Rgba k = {};
	auto channel = []( const GXColor& c, const u32 i ) {
		const u8 channels[4] = { c.r, c.g, c.b, c.a };
		return static_cast<s32>( channels[i] );
	};
	auto fraction = []( const u32 sel ) { return static_cast<s32>( ( 8 - sel ) * 255 / 8 ); };
	if ( colourSel < 8 ) {
		k.v[0] = k.v[1] = k.v[2] = fraction( colourSel );
	} else if ( colourSel >= GX_TEV_KCSEL_K0 && colourSel < GX_TEV_KCSEL_K0 + 4 ) {
		const GXColor& c = state.tevKColour[colourSel - GX_TEV_KCSEL_K0];
		k.v[0] = c.r;
		k.v[1] = c.g;
		k.v[2] = c.b;
	} else if ( colourSel >= GX_TEV_KCSEL_K0_R && colourSel < GX_TEV_KCSEL_K0_R + 16 ) {
		const u32 index = colourSel - GX_TEV_KCSEL_K0_R;
		k.v[0] = k.v[1] = k.v[2] = channel( state.tevKColour[index % 4], index / 4 );
	}
	if ( alphaSel < 8 ) {
		k.v[3] = fraction( alphaSel );
	} else if ( alphaSel >= GX_TEV_KASEL_K0_R && alphaSel < GX_TEV_KASEL_K0_R + 16 ) {
		const u32 index = alphaSel - GX_TEV_KASEL_K0_R;
		k.v[3] = channel( state.tevKColour[index % 4], index / 4 );
	}
	return k;
}

Rgba Swapped( const GXColor& c, const u32 ( &table )[4] ) {
	const s32 in[4] = { c.r, c.g, c.b, c.a };
	return { { in[table[0] & 3], in[table[1] & 3], in[table[2] & 3], in[table[3] & 3] } };
}

s32 ColourInput( const u32 input, const u32 i, const Rgba* regs, const Rgba& tex, const Rgba& konst ) {
	if ( input < 8 ) {
		const Rgba& r = regs[input / 2];
		return input % 2 == 0 ? r.v[i] : r.v[3];
	}
	switch ( input ) {
		case GX_CC_TEXC: return tex.v[i];
		case GX_CC_TEXA: return tex.v[3];
		case GX_CC_ONE: return 255;
		case GX_CC_ONE + 1: return 128;
		case GX_CC_KONST: return konst.v[i];
		default: return 0;
	}
}

s32 AlphaInput( const u32 input, const Rgba* regs, const Rgba& tex, const Rgba& konst ) {
	if ( input < GX_CA_TEXA ) {
		return regs[input].v[3];
	}
	switch ( input ) {
		case GX_CA_TEXA: return tex.v[3];
		case GX_CA_KONST: return konst.v[3];
		default: return 0;
	}
}

// One channel of a stage: a, b and c as the GPU's 8-bit inputs, d signed;
// the blend is rounded to the nearest integer, as the GPU's does.
s32 Combine( s32 a, s32 b, s32 c, const s32 d, const u32 ( &op )[5] ) {
	a &= 0xFF;
	b &= 0xFF;
	c &= 0xFF;
	const s32 blend = ( ( 255 - c ) * a + c * b + 127 ) / 255;
	s32 value = op[0] == GX_TEV_SUB ? d - blend : d + blend;
	value += op[1] == 1 ? 128 : op[1] == 2 ? -128 : 0;
	switch ( op[2] & 3 ) {
		case 1: value *= 2; break;
		case 2: value *= 4; break;
		case 3: value = value >= 0 ? value / 2 : -( ( 1 - value ) / 2 ); break;
		default: break;
	}
	return op[3] != 0 ? Clamp( value, 0, 255 ) : Clamp( value, -1024, 1023 );
}

// The texel of an intensity-8 texture in the GPU's 8 x 4 tiles, edges
// clamped.
s32 Texel( const GXTexObj& texture, s32 x, s32 y ) {
	x = Clamp( x, 0, texture.width - 1 );
	y = Clamp( y, 0, texture.height - 1 );
	const u32 tilesPerRow = ( texture.width + 7u ) / 8u;
	const u32 offset = ( ( static_cast<u32>( y ) / 4 ) * tilesPerRow + static_cast<u32>( x ) / 8 ) * 32 + ( y % 4 ) * 8 + x % 8;
	return static_cast<const u8*>( texture.image )[offset];
}

u8 SampleBilinear( const GXTexObj& texture, const f32 s, const f32 t ) {
	const f64 x = s - 0.5;
	const f64 y = t - 0.5;
	const f64 fx0 = std::floor( x );
	const f64 fy0 = std::floor( y );
	const f64 fx = x - fx0;
	const f64 fy = y - fy0;
	const s32 x0 = static_cast<s32>( fx0 );
	const s32 y0 = static_cast<s32>( fy0 );
	const f64 top = Texel( texture, x0, y0 ) * ( 1 - fx ) + Texel( texture, x0 + 1, y0 ) * fx;
	const f64 bottom = Texel( texture, x0, y0 + 1 ) * ( 1 - fx ) + Texel( texture, x0 + 1, y0 + 1 ) * fx;
	return static_cast<u8>( Clamp( static_cast<s32>( std::lround( top * ( 1 - fy ) + bottom * fy ) ), 0, 255 ) );
}

}	// namespace

GXColor GXHostTevEvaluate( const GXHostRenderState& state, const GXColor mapColours[GX_MAX_TEXMAP] ) {
	Rgba regs[GX_MAX_TEVREG];
	for ( u32 r = 0; r < GX_MAX_TEVREG; r++ ) {
		const GXColorS10& c = state.tevColour[r];
		regs[r] = { { c.r, c.g, c.b, c.a } };
	}
	const u32 stages = state.numTevStages < GX_MAX_TEVSTAGE ? state.numTevStages : GX_MAX_TEVSTAGE;
	for ( u32 s = 0; s < stages; s++ ) {
		const GXHostTevStage& stage = state.tev[s];
		const GXColor texel = stage.map < GX_MAX_TEXMAP ? mapColours[stage.map] : GXColor{ 0, 0, 0, 0 };
		const Rgba tex = Swapped( texel, state.swapTable[stage.textureSwap % GX_MAX_TEVSWAP] );
		const Rgba konst = Konst( state, stage.kColourSel, stage.kAlphaSel );
		Rgba out = {};
		for ( u32 i = 0; i < 3; i++ ) {
			out.v[i] = Combine( ColourInput( stage.colourIn[0], i, regs, tex, konst ),
								ColourInput( stage.colourIn[1], i, regs, tex, konst ),
								ColourInput( stage.colourIn[2], i, regs, tex, konst ),
								ColourInput( stage.colourIn[3], i, regs, tex, konst ), stage.colourOp );
		}
		out.v[3] = Combine( AlphaInput( stage.alphaIn[0], regs, tex, konst ), AlphaInput( stage.alphaIn[1], regs, tex, konst ),
							AlphaInput( stage.alphaIn[2], regs, tex, konst ), AlphaInput( stage.alphaIn[3], regs, tex, konst ),
							stage.alphaOp );
		Rgba& colourOut = regs[stage.colourOp[4] % GX_MAX_TEVREG];
		for ( u32 i = 0; i < 3; i++ ) {
			colourOut.v[i] = out.v[i];
		}
		regs[stage.alphaOp[4] % GX_MAX_TEVREG].v[3] = out.v[3];
	}
	const Rgba& prev = regs[GX_TEVPREV];
	return { static_cast<u8>( Clamp( prev.v[0], 0, 255 ) ), static_cast<u8>( Clamp( prev.v[1], 0, 255 ) ),
			 static_cast<u8>( Clamp( prev.v[2], 0, 255 ) ), static_cast<u8>( Clamp( prev.v[3], 0, 255 ) ) };
}

bool GXHostRenderLastQuad( const u32 width, const u32 height, std::vector<u8>* rgb ) {
	const GXHostDraw* quad = nullptr;
	for ( auto frame = gx.frames.rbegin(); frame != gx.frames.rend() && quad == nullptr; ++frame ) {
		for ( auto draw = frame->draws.rbegin(); draw != frame->draws.rend(); ++draw ) {
			if ( draw->primitive == GX_QUADS && draw->vertices.size() >= 4 ) {
				quad = &*draw;
				break;
			}
		}
	}
	if ( quad == nullptr ) {
		return false;
	}
	rgb->assign( static_cast<size_t>( width ) * height * 3, 0 );
	const GXHostRenderState& state = quad->state;
	const GXHostVertex& v0 = quad->vertices[0];
	const GXHostVertex& v2 = quad->vertices[2];
	const f32 left = std::fmin( v0.position[0], v2.position[0] );
	const f32 right = std::fmax( v0.position[0], v2.position[0] );
	const f32 top = std::fmin( v0.position[1], v2.position[1] );
	const f32 bottom = std::fmax( v0.position[1], v2.position[1] );
	if ( right <= left || bottom <= top ) {
		return true;
	}
	for ( u32 py = 0; py < height; py++ ) {
		const f32 cy = static_cast<f32>( py ) + 0.5f;
		if ( cy < top || cy >= bottom ) {
			continue;
		}
		for ( u32 px = 0; px < width; px++ ) {
			const f32 cx = static_cast<f32>( px ) + 0.5f;
			if ( cx < left || cx >= right ) {
				continue;
			}
			// The quad is screen-aligned: coordinates run linearly from
			// the first vertex to the third.
			const f32 u = ( cx - v0.position[0] ) / ( v2.position[0] - v0.position[0] );
			const f32 w = ( cy - v0.position[1] ) / ( v2.position[1] - v0.position[1] );
			GXColor maps[GX_MAX_TEXMAP] = {};
			for ( u32 s = 0; s < state.numTevStages && s < GX_MAX_TEVSTAGE; s++ ) {
				const GXHostTevStage& stage = state.tev[s];
				if ( stage.map >= GX_MAX_TEXMAP || stage.coord >= GX_MAX_TEXCOORD || ( state.texturesLoaded & ( 1u << stage.map ) ) == 0 ) {
					continue;
				}
				const GXTexObj& texture = state.textures[stage.map];
				const u32 c = stage.coord;
				const u32 source = state.texGens[c].source >= GX_TG_TEX0 ? state.texGens[c].source - GX_TG_TEX0 : c;
				f32 sCoord = v0.texCoord[source][0] + u * ( v2.texCoord[source][0] - v0.texCoord[source][0] );
				f32 tCoord = v0.texCoord[source][1] + w * ( v2.texCoord[source][1] - v0.texCoord[source][1] );
				if ( state.texCoordScale[c][0] == 0 ) {
					sCoord *= texture.width;
					tCoord *= texture.height;
				}
				const u8 intensity = SampleBilinear( texture, sCoord, tCoord );
				maps[stage.map] = { intensity, intensity, intensity, intensity };
			}
			const GXColor out = GXHostTevEvaluate( state, maps );
			u8* const pixel = rgb->data() + ( static_cast<size_t>( py ) * width + px ) * 3;
			pixel[0] = out.r;
			pixel[1] = out.g;
			pixel[2] = out.b;
		}
	}
	return true;
}
