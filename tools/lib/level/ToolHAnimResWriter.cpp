#include "tools/lib/level/ToolHAnimResWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

#include <bit>

namespace {

u32 Bits( const f32 value ) {
	return std::bit_cast<u32>( value );
}

}

void ToolHAnimResWriter::WriteCommandTable( ToolBigEndianWriter & out, const ToolHAnimRes & resource ) {
	out.WriteU32( resource.tableWord );
	out.WriteU32( static_cast<u32>( resource.commands.size() ) + resource.extraCount );
	out.WriteU32( resource.recordSize );
	for ( const ToolTimedCommand & command : resource.commands ) {
		const u32 words[3] = { Bits( command.time ), command.type, command.parameter };
		for ( u32 byte = 0; byte < resource.recordSize; byte += 4 ) {
			const u32 word = byte / 4 < 3 ? words[byte / 4] : 0;
			if ( byte + 4 <= resource.recordSize ) {
				out.WriteU32( word );
			} else {
				for ( u32 b = byte; b < resource.recordSize; b++ ) {
					out.WriteU8( static_cast<u8>( word >> ( 24 - 8 * ( b - byte ) ) ) );
				}
			}
		}
	}
}

void ToolHAnimResWriter::Write( ToolBigEndianWriter & out, const ToolHAnimRes & resource ) {
	out.WriteU32( resource.id );
	out.WriteU32( resource.users );
	out.WriteBytes( resource.block );
	out.WriteS16( static_cast<s16>( resource.track.size() ) );
	for ( const ToolCollPrimCommand & command : resource.track ) {
		out.WriteF32( command.time );
		out.WriteU16( command.primitive );
		out.WriteU16( command.code );
		for ( const u32 word : command.words ) {
			out.WriteU32( word );
		}
	}
	WriteCommandTable( out, resource );
}

std::vector<u8> ToolHAnimResWriter::Encode( const ToolHAnimRes & resource ) {
	ToolBigEndianWriter out;
	Write( out, resource );
	return out.Take();
}

ToolCollPrimCommand ToolHAnimResWriter::AttrInt( const f32 time, const u16 primitive, const s32 index, const s32 value ) {
	return { time, primitive, TOOL_CP_ATTR_INT, { static_cast<u32>( index ), static_cast<u32>( value ) } };
}

ToolCollPrimCommand ToolHAnimResWriter::Vector( const u16 code, const f32 time, const u16 primitive, const f32 end,
												const std::array<f32, 3> & from, const std::array<f32, 3> & to ) {
	return { time, primitive, code, { Bits( from[0] ), Bits( from[1] ), Bits( from[2] ), Bits( end ), Bits( to[0] ), Bits( to[1] ), Bits( to[2] ) } };
}

ToolCollPrimCommand ToolHAnimResWriter::Value( const u16 code, const f32 time, const u16 primitive, const f32 end,
											   const f32 from, const f32 to ) {
	return { time, primitive, code, { Bits( from ), Bits( end ), Bits( to ) } };
}

ToolCollPrimCommand ToolHAnimResWriter::BoundSphere( const f32 time, const u16 primitive, const f32 end,
													 const std::array<f32, 4> & from, const std::array<f32, 4> & to ) {
	ToolCollPrimCommand command{ time, primitive, TOOL_CP_BOUND_SPHERE, {} };
	for ( const f32 v : from ) {
		command.words.push_back( Bits( v ) );
	}
	command.words.push_back( Bits( end ) );
	for ( const f32 v : to ) {
		command.words.push_back( Bits( v ) );
	}
	return command;
}

ToolCollPrimCommand ToolHAnimResWriter::GlobalSphere( const f32 time, const std::array<f32, 4> & sphere ) {
	return { time, 0, TOOL_CP_GLOBAL_SPHERE, { Bits( sphere[0] ), Bits( sphere[1] ), Bits( sphere[2] ), Bits( sphere[3] ) } };
}

ToolCollPrimCommand ToolHAnimResWriter::Exported( const f32 time, const u16 primitive ) {
	return { time, primitive, TOOL_CP_PRIM_EXPORTED, {} };
}
