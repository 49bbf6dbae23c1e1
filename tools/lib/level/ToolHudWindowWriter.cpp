#include "tools/lib/level/ToolHudWindowWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

namespace {

constexpr u32 TYPE_TEXT	= 1;
constexpr u32 TYPE_2D	= 2;
constexpr u32 TYPE_3D	= 3;

void WriteRecord( ToolBigEndianWriter& out, const ToolHudWindow& w ) {
	out.WriteU32( w.id );
	out.WriteU32( w.colorGroup );
	out.WriteF32( w.border[0] );
	out.WriteF32( w.border[1] );
	for ( const f32 value : w.design ) {
		out.WriteF32( value );
	}
	if ( w.type == TYPE_TEXT ) {
		for ( const f32 value : w.margins ) {
			out.WriteF32( value );
		}
		out.WriteU32( w.color );
		out.WriteU32( w.font );
		out.WriteU32( w.textId );
		for ( const u32 value : w.arguments ) {
			out.WriteU32( value );
		}
	} else if ( w.type == TYPE_2D ) {
		out.WriteF32( w.tiling[0] );
		out.WriteF32( w.tiling[1] );
		out.WriteU32( w.colorGroup2D );
		out.WriteString( w.texture );
	} else if ( w.type == TYPE_3D ) {
		out.WriteU32( w.ownerId );
		out.WriteU32( w.objectIndex );
	}
}

}

void ToolHudWindowWriter::WriteTree( ToolBigEndianWriter& out, const ToolHudWindow& window ) {
	WriteRecord( out, window );
	out.WriteU32( window.storedChildCount.value_or( static_cast<u32>( window.children.size() ) ) );
	for ( const ToolHudWindow& child : window.children ) {
		out.WriteU32( child.flags );
		out.WriteU32( child.priority );
		out.WriteU32( child.type );
		WriteTree( out, child );
	}
}

std::vector<u8> ToolHudWindowWriter::Encode( const ToolHudWindow& root ) {
	ToolBigEndianWriter out;
	out.WriteU32( 0 );
	out.WriteU32( 0 );
	WriteTree( out, root );
	return out.Take();
}
