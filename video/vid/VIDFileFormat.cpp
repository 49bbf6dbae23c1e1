#include "video/vid/VIDFileFormat.h"

#include "datatypes/base/DTByteOrder.h"
#include "video/m4/VIDDecoder.h"

namespace {

// Slack behind the largest frame: the next frame's header and alignment.
constexpr u64 SLOT_SLACK		= 55;
constexpr u64 SLOT_ALIGN_MASK	= ~static_cast<u64>( VID_BLOCK - 1 );

}

void VIDDecodeVideoHeader( const u8* payload, const u32 version, VIDVideoHeader* header ) {
	header->width = DTReadBE16( payload + 0 );
	header->height = DTReadBE16( payload + 2 );
	header->frameCount = DTReadBE32( payload + 4 );
	header->largestFrame = DTReadBE32( payload + 8 );
	header->rateNumerator = DTReadBE32( payload + 12 );
	if ( version == 0 ) {
		header->rateDenominator = static_cast<u16>( DTReadBE32( payload + 16 ) & 0xFFFF );
		header->flag = 0;
		header->unused = 0;
		return;
	}
	header->rateDenominator = DTReadBE16( payload + 16 );
	header->flag = payload[18];
	header->unused = payload[19];
}

f32 VIDFramesPerSecond( const VIDVideoHeader& header ) {
	return static_cast<f32>( header.rateNumerator ) / static_cast<f32>( header.rateDenominator );
}

u64 VIDSlotCapacity( const u32 largestFrame ) {
	return ( static_cast<u64>( largestFrame ) + SLOT_SLACK ) & SLOT_ALIGN_MASK;
}

u64 VIDSlotBlockSize( const u32 largestFrame ) {
	return VIDSlotCapacity( largestFrame ) * VID_SLOT_COUNT + ( VID_BLOCK - 1 );
}

bool VIDVideoHeaderIsUsable( const VIDVideoHeader& header ) {
	if ( header.frameCount == 0 || header.width == 0 || header.height == 0 ) {
		return false;
	}
	// Larger pictures overflow the decoder's sizes.
	if ( header.width > VID_DECODER_MAX_WIDTH || header.height > VID_DECODER_MAX_HEIGHT ) {
		return false;
	}
	// 0 / n never advances, n / 0 never waits and 0 / 0 is not a number.
	if ( header.rateNumerator == 0 || header.rateDenominator == 0 ) {
		return false;
	}
	return header.largestFrame != 0 && VIDSlotBlockSize( header.largestFrame ) <= 0xFFFFFFFFull;
}

u32 VIDAudioFormat( const u8* area ) {
	return DTReadBE32( area + VID_AUDIO_FORMAT_OFFSET );
}
