#include "tools/lib/movie/ToolBitReader.h"

ToolBitReader::ToolBitReader( const u8* data, const u64 sizeInBytes )
	: data( data ), sizeInBytes( data != nullptr ? sizeInBytes : 0 ), bitPosition( 0 ), overran( false ) {
}

u32 ToolBitReader::BitAt( const u64 position ) const {
	if ( position >= sizeInBytes * 8u ) {
		return 0;
	}
	return ( data[position >> 3] >> ( 7u - ( position & 7u ) ) ) & 1u;
}

u32 ToolBitReader::Peek( const u32 count ) const {
	u32 value = 0;
	for ( u32 i = 0; i < count && i < 32; i++ ) {
		value = ( value << 1 ) | BitAt( bitPosition + i );
	}
	return value;
}

u32 ToolBitReader::Read( const u32 count ) {
	const u32 value = Peek( count );
	Skip( count );
	return value;
}

void ToolBitReader::Skip( const u64 count ) {
	bitPosition += count;
	if ( bitPosition > sizeInBytes * 8u ) {
		overran = true;
		bitPosition = sizeInBytes * 8u;
	}
}

void ToolBitReader::AlignToByte() {
	Skip( ( 8u - ( bitPosition & 7u ) ) & 7u );
}

u64 ToolBitReader::BitsLeft() const {
	return sizeInBytes * 8u - bitPosition;
}
