#include "tools/lib/ToolChunkWriter.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>
#include <limits>
#include <utility>

// Versions are counted from 0x30000; the stamp keeps bits 8-17 of the
// difference in its top ten bits and the low six bits of the version below.
u32 ToolChunkWriter::EncodeStamp( const u32 version, const u32 build ) {
	const u32 VERSION_BASE = 0x30000;
	const u32 MINOR_MASK   = 0x3F;
	const u32 BUILD_MASK   = 0xFFFF;
	return ( ( ( version - VERSION_BASE ) >> 8 ) << 22 ) | ( ( version & MINOR_MASK ) << 16 ) |
		   ( build & BUILD_MASK );
}

u8* ToolChunkWriter::Grow( const size_t count ) {
	const size_t at = bytes.size();
	bytes.resize( at + count );
	return bytes.data() + at;
}

void ToolChunkWriter::BeginChunk( const u32 type ) {
	BeginChunkStamped( type, EncodeStamp( TOOL_CHUNK_VERSION, TOOL_CHUNK_BUILD ) );
}

void ToolChunkWriter::BeginChunkStamped( const u32 type, const u32 stamp ) {
	openHeaders.push_back( bytes.size() );
	u8* header = Grow( TOOL_CHUNK_HEADER_SIZE );
	DTWriteLE32( header, type );
	DTWriteLE32( header + 4, 0 );
	DTWriteLE32( header + 8, stamp );
}

bool ToolChunkWriter::EndChunk() {
	if ( openHeaders.empty() ) {
		return false;
	}
	const size_t header  = openHeaders.back();
	const size_t payload = bytes.size() - header - TOOL_CHUNK_HEADER_SIZE;
	if ( payload > std::numeric_limits<u32>::max() ) {
		return false;
	}
	DTWriteLE32( bytes.data() + header + 4, static_cast<u32>( payload ) );
	openHeaders.pop_back();
	return true;
}

void ToolChunkWriter::WriteU32( const u32 value ) {
	DTWriteLE32( Grow( 4 ), value );
}

void ToolChunkWriter::WriteS32( const s32 value ) {
	WriteU32( static_cast<u32>( value ) );
}

void ToolChunkWriter::WriteF32( const f32 value ) {
	DTWriteLEF32( Grow( 4 ), value );
}

void ToolChunkWriter::WriteU16( const u16 value ) {
	DTWriteLE16( Grow( 2 ), value );
}

void ToolChunkWriter::WriteBytes( const std::span<const u8> source ) {
	if ( source.empty() ) {
		return;
	}
	std::memcpy( Grow( source.size() ), source.data(), source.size() );
}

bool ToolChunkWriter::WriteStringChunk( const std::string_view text ) {
	if ( text.find( '\0' ) != std::string_view::npos ) {
		return false;
	}
	BeginChunk( TOOL_CHUNK_STRING );
	WriteBytes( std::span<const u8>( reinterpret_cast<const u8*>( text.data() ), text.size() ) );
	*Grow( 1 ) = 0;
	return EndChunk();
}

bool ToolChunkWriter::Finish( std::vector<u8>& out ) {
	if ( !openHeaders.empty() ) {
		return false;
	}
	out = std::move( bytes );
	bytes.clear();
	return true;
}
