#include "tools/lib/level/ToolTextureDictWriter.h"

namespace {

void AppendLE32( const u32 value, std::vector<u8>& out ) {
	for ( u32 shift = 0; shift < 32; shift += 8 ) {
		out.push_back( static_cast<u8>( value >> shift ) );
	}
}

}

bool ToolAppendTextureRecordWithLength( const ToolImage& image, const u32 length, const u32 nameBytes,
										std::vector<u8>& out ) {
	std::vector<u8> chunk;
	if ( !ToolWriteImageChunk( image, chunk ) ) {
		return false;
	}
	out.insert( out.end(), chunk.begin(), chunk.end() );
	AppendLE32( length, out );
	out.insert( out.end(), nameBytes, 'X' );
	return true;
}

bool ToolAppendTextureRecord( const ToolTextureRecord& record, std::vector<u8>& out ) {
	std::vector<u8> chunk;
	if ( !ToolWriteImageChunk( record.image, chunk ) ) {
		return false;
	}
	out.insert( out.end(), chunk.begin(), chunk.end() );
	AppendLE32( static_cast<u32>( record.name.size() ), out );
	out.insert( out.end(), record.name.begin(), record.name.end() );
	return true;
}

bool ToolWriteTextureDictionary( const std::vector<ToolTextureRecord>& records, std::vector<u8>& out ) {
	out.clear();
	for ( const ToolTextureRecord& record : records ) {
		if ( !ToolAppendTextureRecord( record, out ) ) {
			return false;
		}
	}
	return true;
}
