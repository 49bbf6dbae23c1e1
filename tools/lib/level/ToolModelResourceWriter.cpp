#include "tools/lib/level/ToolModelResourceWriter.h"

#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolLevelWriter.h"

namespace {

void PutLittle( ToolBigEndianWriter& out, const u32 value ) {
	const u8 bytes[4] = { static_cast<u8>( value ), static_cast<u8>( value >> 8 ), static_cast<u8>( value >> 16 ),
						  static_cast<u8>( value >> 24 ) };
	out.WriteBytes( bytes );
}

}

std::vector<u8> ToolModelResourceWriter::LibraryData( const ToolModelResource& model ) {
	ToolBigEndianWriter out;
	if ( model.clump.has_value() ) {
		out.WriteBytes( *model.clump );
	}
	if ( model.version.has_value() ) {
		PutLittle( out, *model.version );
	}
	const bool emitterVersion = model.version.has_value() && ( *model.version & 0xFFFF ) >= TOOL_MODEL_EMITTER_VERSION;
	if ( model.marker.has_value() || emitterVersion ) {
		PutLittle( out, model.marker.value_or( model.emitters.has_value() ? 0 : TOOL_MODEL_NO_EMITTERS ) );
	}
	if ( model.emitters.has_value() ) {
		out.WriteBytes( *model.emitters );
	}
	std::vector<u8> bytes = out.Take();
	bytes.resize( model.cut < bytes.size() ? bytes.size() - model.cut : 0 );
	return bytes;
}

void ToolModelResourceWriter::Write( ToolBigEndianWriter& out, const ToolModelResource& model ) {
	out.WriteU32( model.id );
	out.WriteU32( model.users );
	out.WriteBytes( LibraryData( model ) );
}

std::vector<u8> ToolModelResourceWriter::Record( const ToolModelResource& model ) {
	ToolBigEndianWriter out;
	Write( out, model );
	return out.Take();
}

std::vector<u8> ToolModelResourceWriter::Emitters( const ToolEmitterContainer& container ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteEmitterContainerSwapped( out, container );
	return out.Take();
}

ToolModelResource ToolSampleModel( const u32 id, const u32 users ) {
	ToolModelResource model;
	model.id = id;
	model.users = users;
	model.clump = ToolSampleModelClumpChunk();
	return model;
}

ToolModelResource ToolQuadModel( const u32 id, const f32 width, const f32 depth, const u8 ( &colour )[4] ) {
	ToolModelResource model;
	model.id = id;
	model.clump = ToolQuadModelClumpChunk( width, depth, colour, true );
	return model;
}
