#include "tools/lib/ToolBigEndianWriter.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>
#include <limits>
#include <utility>

u8* ToolBigEndianWriter::Grow( const size_t count ) {
	const size_t at = bytes.size();
	bytes.resize( at + count );
	return bytes.data() + at;
}

void ToolBigEndianWriter::WriteU8( const u8 value ) {
	*Grow( 1 ) = value;
}

void ToolBigEndianWriter::WriteS8( const s8 value ) {
	WriteU8( static_cast<u8>( value ) );
}

void ToolBigEndianWriter::WriteU16( const u16 value ) {
	DTWriteBE16( Grow( 2 ), value );
}

void ToolBigEndianWriter::WriteS16( const s16 value ) {
	WriteU16( static_cast<u16>( value ) );
}

void ToolBigEndianWriter::WriteU32( const u32 value ) {
	DTWriteBE32( Grow( 4 ), value );
}

void ToolBigEndianWriter::WriteS32( const s32 value ) {
	WriteU32( static_cast<u32>( value ) );
}

void ToolBigEndianWriter::WriteU64( const u64 value ) {
	DTWriteBE64( Grow( 8 ), value );
}

void ToolBigEndianWriter::WriteS64( const s64 value ) {
	WriteU64( static_cast<u64>( value ) );
}

void ToolBigEndianWriter::WriteF32( const f32 value ) {
	DTWriteBEF32( Grow( 4 ), value );
}

void ToolBigEndianWriter::WriteF64( const f64 value ) {
	DTWriteBEF64( Grow( 8 ), value );
}

void ToolBigEndianWriter::WriteBytes( const std::span<const u8> source ) {
	if ( source.empty() ) {
		return;
	}
	std::memcpy( Grow( source.size() ), source.data(), source.size() );
}

void ToolBigEndianWriter::WriteZeros( const size_t count ) {
	Grow( count );	// resize value-initialises the new bytes
}

bool ToolBigEndianWriter::WriteString( const std::string_view text ) {
	if ( text.find( '\0' ) != std::string_view::npos ) {
		return false;
	}
	if ( text.size() + 1 > TOOL_STORED_STRING_MAX ) {
		return false;
	}
	WriteU32( static_cast<u32>( text.size() + 1 ) );
	WriteBytes( std::span<const u8>( reinterpret_cast<const u8*>( text.data() ), text.size() ) );
	WriteU8( 0 );
	return true;
}

void ToolBigEndianWriter::WriteFloatArray( const std::span<const f32> values ) {
	WriteS32( static_cast<s32>( values.size() ) );
	for ( const f32 value : values ) {
		WriteF32( value );
	}
}

void ToolBigEndianWriter::WriteLongArray( const std::span<const s32> values ) {
	WriteS32( static_cast<s32>( values.size() ) );
	for ( const s32 value : values ) {
		WriteS32( value );
	}
}

bool ToolBigEndianWriter::WriteStringArray( const std::span<const std::string> texts ) {
	// Check every element first so that a refused array writes nothing.
	for ( const std::string& text : texts ) {
		if ( text.find( '\0' ) != std::string::npos || text.size() + 1 > TOOL_STORED_STRING_MAX ) {
			return false;
		}
	}
	if ( texts.size() > static_cast<size_t>( std::numeric_limits<s32>::max() ) ) {
		return false;
	}
	WriteS32( static_cast<s32>( texts.size() ) );
	for ( const std::string& text : texts ) {
		WriteString( text );
	}
	return true;
}

bool ToolBigEndianWriter::WriteDataBlock( const std::span<const u8> block ) {
	if ( block.size() > static_cast<size_t>( std::numeric_limits<s32>::max() ) ) {
		return false;
	}
	WriteS32( static_cast<s32>( block.size() ) );
	WriteBytes( block );
	return true;
}

bool ToolBigEndianWriter::AlignTo( const u32 alignment ) {
	if ( alignment == 0 || ( alignment & ( alignment - 1 ) ) != 0 ) {
		return false;
	}
	const size_t over = bytes.size() & ( alignment - 1 );
	if ( over != 0 ) {
		WriteZeros( alignment - over );
	}
	return true;
}

size_t ToolBigEndianWriter::ReserveU32() {
	const size_t at = bytes.size();
	WriteU32( 0 );
	return at;
}

bool ToolBigEndianWriter::PatchU32( const size_t offset, const u32 value ) {
	if ( offset > bytes.size() || bytes.size() - offset < 4 ) {
		return false;
	}
	DTWriteBE32( bytes.data() + offset, value );
	return true;
}

bool ToolBigEndianWriter::PatchSizeSince( const size_t field, const size_t from ) {
	if ( from > bytes.size() ) {
		return false;
	}
	const size_t size = bytes.size() - from;
	if ( size > std::numeric_limits<u32>::max() ) {
		return false;
	}
	return PatchU32( field, static_cast<u32>( size ) );
}

std::vector<u8> ToolBigEndianWriter::Take() {
	std::vector<u8> out = std::move( bytes );
	bytes.clear();
	return out;
}
