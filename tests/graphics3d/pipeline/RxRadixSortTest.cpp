#include "graphics3d/core/RxRadixSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

// Records of recordSize bytes: the key at keyOffset, the record's
// original index in the first bytes that the key leaves free.
struct Records {
	u32				recordSize;
	u32				keyOffset;
	u32				keySize;
	std::vector<u8>	bytes;

	u64 Key( const u32 i ) const {
		u64 key = 0;
		std::memcpy( &key, &bytes[i * recordSize + keyOffset], keySize );
		return key;
	}
	u32 Count() const { return static_cast<u32>( bytes.size() / recordSize ); }
};

Records MakeRecords( std::mt19937& random, const u32 count, const u32 recordSize, const u32 keyOffset, const u32 keySize,
					 const u64 keyMask ) {
	Records records{ recordSize, keyOffset, keySize, std::vector<u8>( static_cast<size_t>( count ) * recordSize ) };
	for ( u8& byte : records.bytes ) {
		byte = static_cast<u8>( random() );
	}
	for ( u32 i = 0; i < count; i++ ) {
		u64 key = ( static_cast<u64>( random() ) << 32 | random() ) & keyMask;
		if ( i % 7 == 3 && i > 0 ) {
			key = records.Key( i - 1 );	// duplicates
		}
		std::memcpy( &records.bytes[i * recordSize + keyOffset], &key, keySize );
	}
	return records;
}

// The sort must order the keys and keep every record whole.
void ExpectSortedPermutation( const Records& before, const Records& after ) {
	std::vector<std::vector<u8>> a;
	std::vector<std::vector<u8>> b;
	for ( u32 i = 0; i < before.Count(); i++ ) {
		a.emplace_back( before.bytes.begin() + i * before.recordSize, before.bytes.begin() + ( i + 1 ) * before.recordSize );
		b.emplace_back( after.bytes.begin() + i * after.recordSize, after.bytes.begin() + ( i + 1 ) * after.recordSize );
		if ( i > 0 ) {
			EXPECT_LE( after.Key( i - 1 ), after.Key( i ) ) << i;
		}
	}
	std::sort( a.begin(), a.end() );
	std::sort( b.begin(), b.end() );
	EXPECT_EQ( a, b );
}

TEST( RxRadixSortTest, SortsRandomRecordsOfSeveralShapesLikeAReferenceSort ) {
	struct Shape {
		u32		recordSize;
		u32		keyOffset;
		u64		keyMask;
	};
	const Shape shapes[] = { { 4, 0, 0xFFFFFFFF }, { 8, 4, 0xFF }, { 12, 0, 0x7FFFFFFF }, { 40, 36, 0xFFFFFFFF }, { 36, 16, 0x3 } };
	std::mt19937 random( 1234 );
	for ( const Shape& shape : shapes ) {
		for ( const u32 count : { 2u, 3u, 5u, 6u, 7u, 13u, 64u, 500u } ) {
			SCOPED_TRACE( ::testing::Message() << shape.recordSize << " bytes, " << count << " records" );
			const Records before = MakeRecords( random, count, shape.recordSize, shape.keyOffset, 4, shape.keyMask );
			Records after = before;
			u32 highest = 0;
			for ( u32 i = 0; i < count; i++ ) {
				highest = std::max( highest, static_cast<u32>( before.Key( i ) ) );
			}
			_rx_rxRadixExchangeSort( after.bytes.data(), count, shape.recordSize, shape.keyOffset, 0, std::max( highest, 1u ) );
			ExpectSortedPermutation( before, after );
		}
	}
}

TEST( RxRadixSortTest, SortsWideKeysAndKeysAboveTheHighestGiven ) {
	std::mt19937 random( 99 );
	for ( const u32 count : { 6u, 50u, 300u } ) {
		const Records wide = MakeRecords( random, count, 24, 8, 8, ~0ull );
		Records sorted = wide;
		_rxRadixExchangeSort64( sorted.bytes.data(), count, 24, 8, 0, ~0ull );
		ExpectSortedPermutation( wide, sorted );

		// The caller's highest key is too low: the order is still right.
		const Records narrow = MakeRecords( random, count, 8, 0, 4, 0xFFFF );
		Records low = narrow;
		_rx_rxRadixExchangeSort( low.bytes.data(), count, 8, 0, 0, 0xFF );
		ExpectSortedPermutation( narrow, low );
	}
}

TEST( RxRadixSortTest, LeavesRecordsAloneWhenTheArgumentsSaySo ) {
	struct Case {
		const char*		name;
		bool			nullArray;
		u32				count;
		u32				recordSize;
		u32				keyOffset;
		u32				lowest;
		u32				highest;
	};
	const Case cases[] = {
		{ "null array", true, 8, 4, 0, 0, 100 },		{ "key past the record", false, 8, 8, 5, 0, 100 },
		{ "lowest equals highest", false, 8, 4, 0, 7, 7 },	{ "lowest above highest", false, 8, 4, 0, 9, 7 },
		{ "no records", false, 0, 4, 0, 0, 100 },		{ "one record", false, 1, 4, 0, 0, 100 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		std::vector<u32> words = { 9, 8, 7, 6, 5, 4, 3, 2, 0xAAAA };
		const std::vector<u32> before = words;
		_rx_rxRadixExchangeSort( c.nullArray ? nullptr : words.data(), c.count, c.recordSize, c.keyOffset, c.lowest, c.highest );
		EXPECT_EQ( words, before );
	}
}

}	// namespace
