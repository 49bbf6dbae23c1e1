#include "tools/lib/save/ToolSaveImageWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"

#include <algorithm>

namespace {

constexpr size_t HEADER_CRC_OFFSET	= 68;
constexpr size_t IMAGE_CRC_OFFSET	= 72;
constexpr size_t HEADER_BYTES		= 140;
constexpr size_t LOGIC_BYTES		= 1024;
constexpr size_t NAME_CHARS			= 31;
constexpr size_t SPARE_BYTES		= 12;

void PutU32( std::vector<u8>& bytes, const size_t offset, const u32 value ) {
	for ( size_t i = 0; i < 4; i++ ) {
		bytes[offset + i] = static_cast<u8>( value >> ( 24 - 8 * i ) );
	}
}

void WriteName( ToolBigEndianWriter& out, const std::string& name, const size_t field ) {
	const size_t kept = std::min( name.size(), NAME_CHARS );
	out.WriteBytes( std::span<const u8>( reinterpret_cast<const u8*>( name.data() ), kept ) );
	out.WriteZeros( field - kept );
}

}

u32 ToolSaveCrc( const u8* data, const size_t length ) {
	u32 crc = 0xFFFFFFFF;
	for ( size_t i = 0; i < length; i++ ) {
		crc ^= data[i];
		for ( s32 bit = 0; bit < 8; bit++ ) {
			crc = ( crc >> 1 ) ^ ( ( crc & 1 ) != 0 ? 0xEDB88320u : 0u );
		}
	}
	return ~crc;
}

void ToolStampSaveImage( std::vector<u8>& image ) {
	if ( image.size() < HEADER_BYTES ) {
		return;
	}
	PutU32( image, HEADER_CRC_OFFSET, 0 );
	PutU32( image, IMAGE_CRC_OFFSET, 0 );
	const u32 stored = static_cast<u32>( image[TOOL_SAVE_IMAGE_SIZE_OFFSET] ) << 24 |
					   static_cast<u32>( image[TOOL_SAVE_IMAGE_SIZE_OFFSET + 1] ) << 16 |
					   static_cast<u32>( image[TOOL_SAVE_IMAGE_SIZE_OFFSET + 2] ) << 8 |
					   image[TOOL_SAVE_IMAGE_SIZE_OFFSET + 3];
	const size_t size = std::min<size_t>( stored, image.size() );
	const u32 headerCrc = ToolSaveCrc( image.data(), HEADER_BYTES );
	PutU32( image, IMAGE_CRC_OFFSET, ToolSaveCrc( image.data(), size ) );
	PutU32( image, HEADER_CRC_OFFSET, headerCrc );
}

std::vector<u8> ToolWriteSaveImage( const ToolSaveImage& image ) {
	size_t bufferBytes = 0;
	for ( const ToolSaveBuffer& buffer : image.buffers ) {
		bufferBytes += 20 + buffer.data.size();
	}
	ToolBigEndianWriter out;
	out.WriteBytes( std::span<const u8>( reinterpret_cast<const u8*>( "AGAS" ), 4 ) );
	out.WriteU16( 0x0100 );
	out.WriteZeros( 6 );
	WriteName( out, image.title, 32 );
	out.WriteZeros( 16 );
	out.WriteU32( 2 );
	out.WriteU32( static_cast<u32>( HEADER_BYTES + 12 + LOGIC_BYTES + 12 + bufferBytes + SPARE_BYTES ) );
	out.WriteU32( 0 );
	out.WriteU32( 0 );
	WriteName( out, image.levelName, 64 );
	out.WriteU32( 0x4B434843 );
	out.WriteU32( 0 );
	out.WriteU32( LOGIC_BYTES );
	const size_t logic = std::min( image.logicBlock.size(), LOGIC_BYTES );
	out.WriteBytes( std::span<const u8>( image.logicBlock.data(), logic ) );
	out.WriteZeros( LOGIC_BYTES - logic );
	out.WriteU32( 0x4B434843 );
	out.WriteU32( 1 );
	out.WriteU32( static_cast<u32>( bufferBytes ) );
	for ( const ToolSaveBuffer& buffer : image.buffers ) {
		out.WriteU32( buffer.id );
		out.WriteU32( static_cast<u32>( buffer.data.size() ) );
		out.WriteU32( buffer.count );
		out.WriteU8( buffer.persistent ? 1 : 0 );
		out.WriteZeros( 3 );
		out.WriteU32( 0 );
		out.WriteBytes( buffer.data );
	}
	out.WriteZeros( SPARE_BYTES );
	std::vector<u8> bytes = out.Take();
	ToolStampSaveImage( bytes );
	return bytes;
}
