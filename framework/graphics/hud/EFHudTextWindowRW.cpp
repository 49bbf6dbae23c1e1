#include "framework/graphics/hud/EFHudTextWindowRW.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudRender.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwTexture.h"

#include <cstring>

namespace {

constexpr u32 QUAD_VERTICES		= 4;
constexpr u32 QUAD_INDICES		= 6;
constexpr u32 BATCH_VERTICES	= EF_HUD_TEXT_BATCH_GLYPHS * QUAD_VERTICES;
constexpr u32 BATCH_INDICES		= EF_HUD_TEXT_BATCH_GLYPHS * QUAD_INDICES;
// The work memory hands out unaligned bytes.
constexpr u32 BATCH_BYTES = BATCH_VERTICES * sizeof( RwIm2DVertex ) + BATCH_INDICES * sizeof( RwImVertexIndex ) +
							alignof( RwIm2DVertex );
constexpr u32 ADDRESS_CLAMP		= 3;
constexpr u32 NO_PAGE			= 0xFFFFFFFF;

u32 ReadWord( const u8 * p ) {
	u32 value = 0;
	std::memcpy( &value, p, sizeof( value ) );
	return value;
}

f32 ReadFloat( const u8 * p ) {
	f32 value = 0.0f;
	std::memcpy( &value, p, sizeof( value ) );
	return value;
}

struct GlyphBatch {
	RwIm2DVertex *		vertices;
	RwImVertexIndex *	indices;
	u32					glyphs;

	void Flush() {
		if ( glyphs != 0 ) {
			RwIm2DRenderIndexedPrimitive( EF_HUD_TRIANGLE_LIST, vertices, static_cast<s32>( glyphs * QUAD_VERTICES ),
										  indices, static_cast<s32>( glyphs * QUAD_INDICES ) );
		}
		glyphs = 0;
	}
};

}

EFHudTextWindow_SP::EFHudTextWindow_SP( const u32 flags, const u32 priority ) : EFHudTextWindow_BC( flags, priority ) {
}

void EFHudTextWindow_SP::SpecificRender( EFCamera *, unsigned long & ) {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	if ( mpRenderStart == nullptr || manager == nullptr || _WorkMem == nullptr ) {
		return;
	}
	void * const memory = _WorkMem->Get( BATCH_BYTES );
	if ( memory == nullptr ) {
		return;
	}
	const uintptr_t aligned = ( reinterpret_cast<uintptr_t>( memory ) + alignof( RwIm2DVertex ) - 1 ) &
							  ~static_cast<uintptr_t>( alignof( RwIm2DVertex ) - 1 );
	GlyphBatch batch = { reinterpret_cast<RwIm2DVertex *>( aligned ), nullptr, 0 };
	batch.indices = reinterpret_cast<RwImVertexIndex *>( batch.vertices + BATCH_VERTICES );
	EFHudSetState( EF_HUD_STATE_TEXTURE_ADDRESS, ADDRESS_CLAMP );
	const f32 depth = GetDepth();
	u32 fontSlot = muiFont;
	const EFFont * font = manager->GetFont( fontSlot );
	u32 color = muiColor;
	const EFHudColorGroup * group = manager->GetColorGroup( static_cast<s32>( fontSlot ), color );
	u32 page = NO_PAGE;
	const u8 * p = mpRenderStart;
	for ( u32 tag = ReadWord( p ); tag != EF_RENDER_END; tag = ReadWord( p ) ) {
		if ( tag == EF_RENDER_FONT || tag == EF_RENDER_COLOR ) {
			batch.Flush();
			if ( tag == EF_RENDER_FONT ) {
				fontSlot = ReadWord( p + 4 );
				font = manager->GetFont( fontSlot );
				page = NO_PAGE;
			} else {
				color = ReadWord( p + 4 );
				color = color == EF_RENDER_END ? muiColor : color;
			}
			group = font != nullptr ? manager->GetColorGroup( static_cast<s32>( fontSlot ), color ) : nullptr;
			p += 8;
			continue;
		}
		const f32 x = ReadFloat( p + 4 );
		const f32 y = ReadFloat( p + 8 );
		p += 12;
		const f32 * const record = font != nullptr ? font->GetCharRecord( tag ) : nullptr;
		if ( record == nullptr || group == nullptr ) {
			continue;
		}
		const u32 glyphPage = static_cast<u32>( record[EF_FONT_CHAR_PAGE] );
		if ( glyphPage != page ) {
			batch.Flush();
			const RwTexture * const texture = font->GetTexture( glyphPage );
			EFHudSetRaster( texture != nullptr ? texture->raster : nullptr );
			page = glyphPage;
		}
		if ( batch.glyphs == EF_HUD_TEXT_BATCH_GLYPHS ) {
			batch.Flush();
		}
		const f32 w = record[EF_FONT_CHAR_SCREEN_WIDTH];
		const f32 h = record[EF_FONT_CHAR_SCREEN_HEIGHT];
		const f32 u = record[EF_FONT_CHAR_U];
		const f32 v = record[EF_FONT_CHAR_V];
		const f32 du = record[EF_FONT_CHAR_U_SIZE];
		const f32 dv = record[EF_FONT_CHAR_V_SIZE];
		const f32 corners[QUAD_VERTICES][4] = {
			{ x, y, u, v }, { x, y + h, u, v + dv }, { x + w, y, u + du, v }, { x + w, y + h, u + du, v + dv } };
		const u32 first = batch.glyphs * QUAD_VERTICES;
		for ( u32 i = 0; i < QUAD_VERTICES; i++ ) {
			const RwRGBA & c = group->aColors[i];
			batch.vertices[first + i] = { corners[i][0], corners[i][1], depth, c.red, c.green, c.blue, c.alpha,
										  corners[i][2], corners[i][3] };
		}
		static const u32 order[QUAD_INDICES] = { 0, 1, 2, 2, 1, 3 };
		for ( u32 i = 0; i < QUAD_INDICES; i++ ) {
			batch.indices[batch.glyphs * QUAD_INDICES + i] = static_cast<RwImVertexIndex>( first + order[i] );
		}
		batch.glyphs++;
	}
	batch.Flush();
	_WorkMem->Release( BATCH_BYTES );
}
