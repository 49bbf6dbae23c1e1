/*
	Probes of the sample disc booted on the console driver: the data the
	sample logic's instances share, and what a frame of the driver's log
	drew inside a HUD window's screen rectangle: the glyphs of a text
	(indices of triangle lists that are not additive, six a glyph) and the
	strips of a 2D window (four vertices, all inside).
*/
#ifndef SAMPLE_DISC_PROBES_H
#define SAMPLE_DISC_PROBES_H

#include "datatypes/base/DTTypes.h"
#include "framework/graphics/hud/EFHudWindow.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"

#include "tools/lib/logic/ToolSampleLogic.h"
#include "tools/logic/sample/sampletuning.h"

#include <algorithm>
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

inline u32 SampleHudGlyphIndices( const GXHostFrame& frame, const CRect& window ) {
	u32 indices = 0;
	for ( const GXHostDraw& draw : frame.draws ) {
		if ( draw.primitive == GX_TRIANGLES && !SampleHudAdditive( draw ) ) {
			indices += static_cast<u32>( std::count_if( draw.vertices.begin(), draw.vertices.end(),
														[&]( const GXHostVertex& v ) { return SampleHudInside( v, window ); } ) );
		}
	}
	return indices;
}

inline u32 SampleHudStrips( const GXHostFrame& frame, const CRect& window ) {
	u32 strips = 0;
	for ( const GXHostDraw& draw : frame.draws ) {
		if ( draw.primitive == GX_TRIANGLESTRIP && draw.vertices.size() == 4 &&
			 std::all_of( draw.vertices.begin(), draw.vertices.end(),
						  [&]( const GXHostVertex& v ) { return SampleHudInside( v, window ); } ) ) {
			strips++;
		}
	}
	return strips;
}

#endif
