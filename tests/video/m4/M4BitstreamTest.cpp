#include "video/m4/M4Bitstream.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Bit i of data, most significant first; 0 past the end.
u32 ReferenceBit( const std::vector<u8>& data, const u64 bit ) {
	if ( bit / 8 >= data.size() ) {
		return 0;
	}
	return ( data[bit / 8] >> ( 7 - bit % 8 ) ) & 1u;
}

u32 ReferenceBits( const std::vector<u8>& data, const u64 bit, const u32 n ) {
	u32 value = 0;
	for ( u32 i = 0; i < n; i++ ) {
		value = ( value << 1 ) | ReferenceBit( data, bit + i );
	}
	return value;
}

std::vector<u8> Pattern( const u32 size ) {
	std::vector<u8> data( size );
	u32 state = 0x12345678;
	for ( u8& byte : data ) {
		state = state * 1664525u + 1013904223u;
		byte = static_cast<u8>( state >> 24 );
	}
	return data;
}

} // namespace

TEST( M4Bitstream, ShowsEveryCountAtEveryPositionReachedBySkipOrSeekIncludingPastTheEnd ) {
	// 13 bytes: not a multiple of 4, so the last word is partial.
	const std::vector<u8> data = Pattern( 13 );
	const u32 totalBits = 13 * 8 + 40;
	for ( u32 start = 0; start < totalBits; start++ ) {
		M4Bitstream bs;
		M4BitstreamInit( &bs, data.data(), static_cast<u32>( data.size() ) );
		M4BitstreamSkip( &bs, start );
		// A second reader put there from elsewhere, ahead or behind.
		M4Bitstream sought;
		M4BitstreamInit( &sought, data.data(), static_cast<u32>( data.size() ) );
		M4BitstreamSkip( &sought, ( start * 7 ) % totalBits );
		M4BitstreamSeek( &sought, start );
		for ( const M4Bitstream* reader : { &bs, &sought } ) {
			ASSERT_EQ( M4BitstreamPosition( reader ), start );
			for ( u32 n = 0; n <= 32; n++ ) {
				ASSERT_EQ( M4BitstreamShow( reader, n ), ReferenceBits( data, start, n ) ) << "bit " << start << " n " << n;
			}
		}
	}
}

TEST( M4Bitstream, GetsConsecutiveFieldsAcrossWordEnds ) {
	const std::vector<u8> data = Pattern( 40 );
	const struct {
		std::vector<u32> counts;
	} cases[] = {
		{ { 32, 32, 32 } },
		{ { 1, 31, 1, 31, 32 } },
		{ { 7, 32, 25, 0, 32, 9 } },
		{ { 16, 16, 17, 15, 30, 2, 32 } },
		{ { 3, 5, 7, 11, 13, 17, 19, 23, 29, 31 } },
	};
	for ( const auto& c : cases ) {
		M4Bitstream bs;
		M4BitstreamInit( &bs, data.data(), static_cast<u32>( data.size() ) );
		u64 bit = 0;
		for ( const u32 n : c.counts ) {
			EXPECT_EQ( M4BitstreamGet( &bs, n ), ReferenceBits( data, bit, n ) ) << "at bit " << bit << " n " << n;
			bit += n;
		}
		EXPECT_EQ( M4BitstreamPosition( &bs ), bit );
	}
}

TEST( M4Bitstream, ReadsFromAnUnalignedStartInAnExactlySizedBuffer ) {
	const std::vector<u8> data = Pattern( 11 );
	for ( u32 offset = 0; offset < 4; offset++ ) {
		// A heap block of exactly the frame's size behind an odd start.
		std::unique_ptr<u8[]> block( new u8[data.size() + offset] );
		std::copy( data.begin(), data.end(), block.get() + offset );
		M4Bitstream bs;
		M4BitstreamInit( &bs, block.get() + offset, static_cast<u32>( data.size() ) );
		for ( u32 bit = 0; bit < 11 * 8 + 64; bit += 5 ) {
			ASSERT_EQ( M4BitstreamGet( &bs, 5 ), ReferenceBits( data, bit, 5 ) ) << "offset " << offset;
		}
	}
}

TEST( M4Bitstream, ReadsZerosFromAnEmptyOrNullFrame ) {
	const u8 byte = 0xFF;
	const struct {
		const u8*	data;
		u32			size;
	} cases[] = { { nullptr, 0 }, { nullptr, 100 }, { &byte, 0 } };
	for ( const auto& c : cases ) {
		M4Bitstream bs;
		M4BitstreamInit( &bs, c.data, c.size );
		EXPECT_EQ( M4BitstreamGet( &bs, 32 ), 0u );
		M4BitstreamSkip( &bs, 1000 );
		EXPECT_EQ( M4BitstreamShow( &bs, 32 ), 0u );
	}
}

TEST( M4Bitstream, AlignsToTheNextByteCountedFromTheFrameStart ) {
	const std::vector<u8> data = Pattern( 8 );
	const struct {
		u32 before;
		u32 after;
	} cases[] = { { 0, 0 }, { 1, 8 }, { 7, 8 }, { 8, 8 }, { 9, 16 }, { 31, 32 }, { 33, 40 } };
	for ( const auto& c : cases ) {
		M4Bitstream bs;
		M4BitstreamInit( &bs, data.data(), static_cast<u32>( data.size() ) );
		M4BitstreamSkip( &bs, c.before );
		M4BitstreamAlign( &bs );
		EXPECT_EQ( M4BitstreamPosition( &bs ), c.after ) << "from " << c.before;
	}
}
