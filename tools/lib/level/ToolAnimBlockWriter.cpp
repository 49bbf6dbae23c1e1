#include "tools/lib/level/ToolAnimBlockWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

namespace {

constexpr u32 ANIM_HEADER_BYTES = 16;
constexpr u32 ANIM_TRACK_HEAD_BYTES = 8;
constexpr u32 ANIM_ENTRY_BYTES = 8;

} // namespace

u32 ToolAnimBlockWriter::PayloadOffset( const ToolAnimBlock& block ) {
	u32 offset = ANIM_HEADER_BYTES;
	for ( const ToolAnimTrack& track : block.tracks ) {
		offset += ANIM_TRACK_HEAD_BYTES + ANIM_ENTRY_BYTES * static_cast<u32>( track.entries.size() );
	}
	return offset;
}

std::vector<u8> ToolAnimBlockWriter::Encode( const ToolAnimBlock& block ) {
	ToolBigEndianWriter out;
	const size_t sizeField = out.ReserveU32();
	out.WriteU32( 0 );
	out.WriteF32( block.duration );
	out.WriteU8( static_cast<u8>( block.tracks.size() ) );
	out.WriteU8( block.group );
	out.WriteU8( block.blendKind );
	out.WriteU8( block.root );
	for ( const ToolAnimTrack& track : block.tracks ) {
		out.WriteU32( track.joint );
		out.WriteU16( static_cast<u16>( track.entries.size() ) );
		out.WriteU16( track.flags );
		for ( const ToolAnimEntry& entry : track.entries ) {
			out.WriteU32( entry.target );
			out.WriteU32( entry.offset );
		}
	}
	out.WriteBytes( block.payload );
	out.PatchU32( sizeField, static_cast<u32>( out.Size() ) );
	return out.Take();
}

std::vector<u8> ToolAnimBlockWriter::Resource( const std::vector<u8>& encodedBlock, const u32 id, const u32 users ) {
	ToolBigEndianWriter out;
	out.WriteU32( id );
	out.WriteU32( users );
	out.WriteBytes( encodedBlock );
	return out.Take();
}
