#include "tools/lib/movie/ToolBitWriter.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/movie/ToolBitReader.h"

ToolBitWriter::ToolBitWriter() : word( 0 ), bitsInWord( 0 ), bitCount( 0 ) {
}

void ToolBitWriter::FlushWord() {
	u8 encoded[4];
	DTWriteBE32( encoded, word );
	bytes.insert( bytes.end(), encoded, encoded + 4 );
	word = 0;
	bitsInWord = 0;
}

void ToolBitWriter::Write( const u32 value, const u32 count ) {
	for ( u32 i = count; i > 0; i-- ) {
		const u32 bit = i <= 32 ? ( value >> ( i - 1 ) ) & 1u : 0u;
		word |= bit << ( 31u - bitsInWord );
		bitsInWord++;
		bitCount++;
		if ( bitsInWord == 32 ) {
			FlushWord();
		}
	}
}

void ToolBitWriter::Copy( ToolBitReader& reader, u64 count ) {
	while ( count > 0 ) {
		const u32 chunk = count > 32 ? 32u : static_cast<u32>( count );
		Write( reader.Read( chunk ), chunk );
		count -= chunk;
	}
}

void ToolBitWriter::PadToByte() {
	Write( 0, ( 8u - static_cast<u32>( bitCount & 7u ) ) & 7u );
}

std::vector<u8> ToolBitWriter::Finish() {
	const u64 byteCount = ( bitCount + 7u ) / 8u;
	if ( bitsInWord > 0 ) {
		FlushWord();
	}
	std::vector<u8> result;
	result.swap( bytes );
	result.resize( static_cast<size_t>( byteCount ) );
	bitCount = 0;
	return result;
}
