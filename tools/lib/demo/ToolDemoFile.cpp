#include "tools/lib/demo/ToolDemoFile.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/ToolBigEndianWriter.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t HEADER_BYTES = 8;
constexpr size_t BLOCK_BYTES = 8;
constexpr size_t RECORD_BYTES = 16;
constexpr size_t LENGTH_BYTES = 4;
constexpr size_t IMAGE_LEVEL_OFFSET = 76;
constexpr size_t IMAGE_LEVEL_BYTES = 64;

std::string Hex( const u32 value, const int digits ) {
	char text[16];
	std::snprintf( text, sizeof( text ), "%0*X", digits, value );
	return text;
}

std::string Number( const f32 value ) {
	char text[32];
	std::snprintf( text, sizeof( text ), "%.9g", static_cast<double>( value ) );
	return text;
}

}

std::vector<u8> ToolWriteDemoFile( const ToolDemoFile& demo ) {
	ToolBigEndianWriter out;
	out.WriteU32( demo.magic );
	out.WriteU32( demo.seed );
	for ( const ToolDemoBlock& block : demo.blocks ) {
		out.WriteU16( block.marker );
		out.WriteU16( block.count.value_or( static_cast<u16>( block.records.size() ) ) );
		out.WriteF32( block.step );
		for ( const ToolDemoRecord& record : block.records ) {
			out.WriteU16( record.id );
			out.WriteU16( 0 );
			out.WriteF32( record.x );
			out.WriteF32( record.y );
			out.WriteU32( record.flags );
		}
	}
	if ( demo.finalBlock ) {
		out.WriteU16( TOOL_DEMO_FINAL_MARKER );
		out.WriteU16( 0 );
		out.WriteF32( 0.0f );
	}
	std::vector<u8> bytes = out.Take();
	const u32 dataLength = demo.dataLength.value_or( static_cast<u32>( bytes.size() ) );
	bytes.insert( bytes.end(), demo.image.begin(), demo.image.end() );
	u8 word[LENGTH_BYTES];
	DTWriteBE32( word, dataLength );
	bytes.insert( bytes.end(), word, word + LENGTH_BYTES );
	return bytes;
}

bool ToolReadDemoFile( const std::span<const u8> bytes, ToolDemoFile& demo, std::string& error ) {
	demo = ToolDemoFile();
	if ( bytes.size() < HEADER_BYTES + LENGTH_BYTES ) {
		error = "file of " + std::to_string( bytes.size() ) + " bytes is too short";
		return false;
	}
	const size_t total = bytes.size() - LENGTH_BYTES;
	const u32 dataLength = DTReadBE32( bytes.data() + total );
	if ( dataLength < HEADER_BYTES || dataLength > total ) {
		error = "demo data length " + std::to_string( dataLength ) + " out of range";
		return false;
	}
	const u8* const data = bytes.data();
	demo.magic = DTReadBE32( data );
	demo.seed = DTReadBE32( data + 4 );
	demo.finalBlock = false;
	size_t at = HEADER_BYTES;
	while ( at < dataLength ) {
		if ( dataLength - at < BLOCK_BYTES ) {
			error = "block at " + std::to_string( at ) + " runs past the demo data";
			return false;
		}
		ToolDemoBlock block;
		block.marker = DTReadBE16( data + at );
		const u16 count = DTReadBE16( data + at + 2 );
		block.step = DTReadBEF32( data + at + 4 );
		if ( block.marker == TOOL_DEMO_FINAL_MARKER ) {
			demo.finalBlock = true;
			at += BLOCK_BYTES;
			break;
		}
		if ( ( dataLength - at - BLOCK_BYTES ) / RECORD_BYTES < count ) {
			error = "records of the block at " + std::to_string( at ) + " run past the demo data";
			return false;
		}
		for ( u32 i = 0; i < count; i++ ) {
			const u8* const record = data + at + BLOCK_BYTES + i * RECORD_BYTES;
			block.records.push_back( { DTReadBE16( record ), DTReadBEF32( record + 4 ), DTReadBEF32( record + 8 ),
									   DTReadBE32( record + 12 ) } );
		}
		at += BLOCK_BYTES + count * RECORD_BYTES;
		demo.blocks.push_back( block );
	}
	if ( at != dataLength ) {
		error = "bytes after the final block";
		return false;
	}
	demo.image.assign( bytes.begin() + dataLength, bytes.begin() + static_cast<std::ptrdiff_t>( total ) );
	return true;
}

std::string ToolDumpDemoFile( const ToolDemoFile& demo ) {
	std::string text = "magic " + Hex( demo.magic, 8 ) + " seed " + Hex( demo.seed, 8 ) + "\n";
	for ( size_t i = 0; i < demo.blocks.size(); i++ ) {
		const ToolDemoBlock& block = demo.blocks[i];
		text += "block " + std::to_string( i ) + " marker " + Hex( block.marker, 4 ) + " step " + Number( block.step ) +
				" records " + std::to_string( block.records.size() ) + "\n";
		for ( const ToolDemoRecord& record : block.records ) {
			text += "  action " + std::to_string( record.id ) + " x " + Number( record.x ) + " y " + Number( record.y ) +
					" flags " + Hex( record.flags, 8 ) + "\n";
		}
	}
	text += demo.finalBlock ? "final block\n" : "no final block\n";
	text += "save image " + std::to_string( demo.image.size() ) + " bytes";
	if ( demo.image.size() >= IMAGE_LEVEL_OFFSET + IMAGE_LEVEL_BYTES ) {
		const char* const name = reinterpret_cast<const char*>( demo.image.data() + IMAGE_LEVEL_OFFSET );
		text += ", level \"" + std::string( name, strnlen( name, IMAGE_LEVEL_BYTES ) ) + "\"";
	}
	return text + "\n";
}
