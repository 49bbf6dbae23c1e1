/*
	Probes of the sample disc booted on the console driver: the data the
	sample logic's instances share, and what a frame of the driver's log
	drew inside a HUD window's screen rectangle: the glyphs of a text
	(indices of triangle lists that are not additive and lie wholly
	inside, six a glyph) and the strips of a 2D window (four vertices, all
	inside); and the strips of a
	water or fog grid it drew as the grid's vertex array holds them.
*/
#ifndef SAMPLE_DISC_PROBES_H
#define SAMPLE_DISC_PROBES_H

#include "datatypes/base/DTTypes.h"
#include "framework/graphics/EFGridLayout.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "framework/graphics/hud/EFHudWindow.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"

#include "tools/lib/logic/ToolSampleLogic.h"
#include "tools/logic/sample/sampletuning.h"

#include <algorithm>
#include <cmath>
#include <string_view>

// The sample object module's shared block, null before it has one.
inline const SampleShared* SampleSharedBlock() {
	const EFLogicCode* const code = gpoGameLogicMgr->GetLogicCode( TOOL_SAMPLE_OBJECT_CODE_ID );
	if ( code == nullptr || code->GetGlobalDataSize() < sizeof( SampleShared ) ) {
		return nullptr;
	}
	return static_cast<const SampleShared*>( code->GetGlobalData() );
}

inline bool SampleHudInside( const GXHostVertex& v, const CRect& r ) {
	constexpr f32 SLACK = 0.5f;
	return v.position[0] >= r.x - SLACK && v.position[0] <= r.x + r.w + SLACK && v.position[1] >= r.y - SLACK &&
		   v.position[1] <= r.y + r.h + SLACK;
}

// Glyphs a text of capitals and spaces draws: spaces draw none.
inline u32 SampleHudGlyphsOf( const std::string_view text ) {
	return static_cast<u32>( text.size() - static_cast<size_t>( std::count( text.begin(), text.end(), ' ' ) ) );
}

inline bool SampleHudAdditive( const GXHostDraw& draw ) {
	return draw.state.blendSource == GX_BL_ONE && draw.state.blendDestination == GX_BL_ONE;
}

inline bool SampleHudWhollyInside( const GXHostDraw& draw, const CRect& window ) {
	return std::all_of( draw.vertices.begin(), draw.vertices.end(),
						[&]( const GXHostVertex& v ) { return SampleHudInside( v, window ); } );
}

inline u32 SampleHudGlyphIndices( const GXHostFrame& frame, const CRect& window ) {
	u32 indices = 0;
	for ( const GXHostDraw& draw : frame.draws ) {
		if ( draw.primitive == GX_TRIANGLES && !SampleHudAdditive( draw ) && SampleHudWhollyInside( draw, window ) ) {
			indices += static_cast<u32>( draw.vertices.size() );
		}
	}
	return indices;
}

inline u32 SampleHudStrips( const GXHostFrame& frame, const CRect& window ) {
	u32 strips = 0;
	for ( const GXHostDraw& draw : frame.draws ) {
		if ( draw.primitive == GX_TRIANGLESTRIP && draw.vertices.size() == 4 && SampleHudWhollyInside( draw, window ) ) {
			strips++;
		}
	}
	return strips;
}

// A grid draws one strip of 2 C - 16 vertices for each of its rows but 3.
inline u32 SampleGridStripVertices( const EFGridLayout& grid ) {
	return 2 * grid.muiColumns - 16;
}

// The strip draws of a frame that are strip k of the grid: its vertices
// from slot 2 C k + 8 on, each where the grid's array has it.
inline u32 SampleGridStrips( const GXHostFrame& frame, const EFGridLayout& grid ) {
	const u32 count = SampleGridStripVertices( grid );
	const auto close = []( const f32 a, const f32 b ) { return std::fabs( a - b ) <= 1e-4f; };
	u32 found = 0;
	for ( u32 k = 1; k + 3 <= grid.muiRows; k++ ) {
		const RwIm3DVertex* const first = grid.mpoVertices + 2 * grid.muiColumns * k + 8;
		for ( const GXHostDraw& draw : frame.draws ) {
			if ( draw.fromDisplayList || draw.primitive != GX_TRIANGLESTRIP || draw.vertices.size() != count ) {
				continue;
			}
			bool same = true;
			for ( u32 j = 0; j < count && same; j++ ) {
				const GXHostVertex& drawn = draw.vertices[j];
				const RwIm3DVertex& kept = first[j];
				same = close( drawn.position[0], kept.objVertex.x ) && close( drawn.position[1], kept.objVertex.y ) &&
					   close( drawn.position[2], kept.objVertex.z ) && drawn.colour[0].a == kept.color.alpha;
			}
			if ( same ) {
				found++;
				break;
			}
		}
	}
	return found;
}

#endif
