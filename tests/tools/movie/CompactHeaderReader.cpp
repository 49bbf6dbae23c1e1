#include "CompactHeaderReader.h"

namespace {

struct Bits {
	const std::vector<u8>&	bytes;
	u64						position = 0;

	u32 Get( const u32 count ) {
		u32 value = 0;
		for ( u32 i = 0; i < count; i++ ) {
			value = ( value << 1 ) | BitAt( bytes, position++ );
		}
		return value;
	}
};

void ReadMatrix( Bits& bits, bool* loaded, std::vector<u8>* values ) {
	*loaded = bits.Get( 1 ) == 1;
	values->clear();
	while ( *loaded && values->size() < 64 ) {
		values->push_back( static_cast<u8>( bits.Get( 8 ) ) );
		if ( values->back() == 0 ) {
			break;
		}
	}
}

}

u32 BitAt( const std::vector<u8>& bytes, const u64 bit ) {
	if ( bit / 8 >= bytes.size() ) {
		return 0;
	}
	return ( bytes[bit / 8] >> ( 7 - bit % 8 ) ) & 1u;
}

bool CompactHeaderReader::Read( const std::vector<u8>& frame, CompactHeader* header ) {
	Bits bits{ frame };
	*header = CompactHeader();
	header->leadingBits = bits.Get( 16 );
	header->type = bits.Get( 2 );
	header->sequence = bits.Get( 1 ) == 1;
	if ( header->sequence ) {
		sprite = bits.Get( 1 ) == 1;
		warpingPoints = 0;
		if ( sprite ) {
			warpingPoints = bits.Get( 2 );
			header->warpingAccuracy = bits.Get( 2 );
		}
		header->mpegQuant = bits.Get( 1 ) == 1;
		if ( header->mpegQuant ) {
			ReadMatrix( bits, &header->intraLoaded, &header->intraValues );
			ReadMatrix( bits, &header->interLoaded, &header->interValues );
		}
		interlaced = bits.Get( 1 ) == 1;
		header->ignoredBit = bits.Get( 1 );
	}
	header->sprite = sprite;
	header->warpingPoints = warpingPoints;
	header->interlaced = interlaced;
	header->rounding = bits.Get( 1 );
	header->intraDcThreshold = bits.Get( 3 );
	header->quantiser = bits.Get( 5 );
	if ( header->type != 0 ) {
		header->forwardFCode = bits.Get( 3 );
	}
	if ( header->type == 2 ) {
		header->backwardFCode = bits.Get( 3 );
	}
	header->time = bits.Get( 32 );
	if ( header->type == 3 ) {
		for ( u32 i = 0; i < warpingPoints; i++ ) {
			for ( int axis = 0; axis < 2; axis++ ) {
				const s32 magnitude = static_cast<s32>( bits.Get( 14 ) );
				const s32 value = bits.Get( 1 ) == 1 ? -magnitude : magnitude;
				( axis == 0 ? header->warpX : header->warpY ).push_back( value );
			}
		}
	}
	if ( interlaced ) {
		header->topFieldFirst = bits.Get( 1 ) == 1;
		header->alternateScan = bits.Get( 1 ) == 1;
	}
	header->headerBits = bits.position;
	header->payloadBit = ( bits.position + 7 ) / 8 * 8;
	return header->payloadBit <= frame.size() * 8;
}
