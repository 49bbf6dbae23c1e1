#include "tools/lib/level/ToolTextureAnimResWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

std::vector<u8> ToolTextureAnimResWriter::Encode( const ToolTextureAnimRes & resource ) {
	ToolBigEndianWriter out;
	out.WriteU32( resource.id );
	out.WriteU32( resource.users );
	out.WriteU32( static_cast<u32>( resource.keys.size() ) + resource.extraCount );
	for ( const std::pair<f32, std::string> & key : resource.keys ) {
		out.WriteF32( key.first );
		out.WriteString( key.second );
	}
	return out.Take();
}
