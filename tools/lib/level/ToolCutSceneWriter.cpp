#include "tools/lib/level/ToolCutSceneWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

namespace {

constexpr u32 HEADER_BYTES = 8;
constexpr u32 ENTRY_HEAD_BYTES = 8;
constexpr u32 PAIR_BYTES = 8;

}

std::vector<u8> ToolCutSceneWriter::Table( const ToolCutSceneTable & table ) {
	const u32 count = static_cast<u32>( table.scenes.size() );
	u32 size = HEADER_BYTES + 4 * count;
	std::vector<u32> offsets;
	for ( const ToolCutScene & scene : table.scenes ) {
		offsets.push_back( size );
		size += ENTRY_HEAD_BYTES + PAIR_BYTES * static_cast<u32>( scene.pairs.size() );
	}
	ToolBigEndianWriter out;
	out.WriteU16( 0 );
	out.WriteU16( 0 );
	out.WriteU16( static_cast<u16>( static_cast<s32>( size ) + table.sizeDelta ) );
	out.WriteU16( static_cast<u16>( count ) );
	for ( u32 i = 0; i < count; i++ ) {
		out.WriteU32( i == 0 ? static_cast<u32>( static_cast<s32>( offsets[i] ) + table.offsetDelta ) : offsets[i] );
	}
	for ( u32 i = 0; i < count; i++ ) {
		const ToolCutScene & scene = table.scenes[i];
		out.WriteU32( static_cast<u32>( scene.pairs.size() ) + ( i == 0 ? table.extraPairs : 0 ) );
		out.WriteF32( scene.duration );
		for ( const std::pair<u32, u32> & pair : scene.pairs ) {
			out.WriteU32( pair.first );
			out.WriteU32( pair.second );
		}
	}
	return out.Take();
}

std::vector<u8> ToolCutSceneWriter::Record( const ToolCutSceneTable & table ) {
	ToolBigEndianWriter out;
	out.WriteU32( 0 );
	out.WriteU32( 0 );
	out.WriteBytes( Table( table ) );
	return out.Take();
}
