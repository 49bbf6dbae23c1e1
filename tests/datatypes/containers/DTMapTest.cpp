#include "datatypes/containers/DTMap.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

typedef DTMap<u32, int> IntMap;

// Keys in walking order.
std::vector<u32> WalkKeys( const IntMap & map ) {
	std::vector<u32> keys;
	for ( const IntMap::Node * node = map.GetFirst(); node != nullptr; node = map.GetNext( node ) ) {
		keys.push_back( node->mKey );
	}
	return keys;
}

} // namespace

TEST( DTMap, HashesKeysModuloTheTableSizeInBothKeyForms ) {
	struct Case {
		u32 key;
		u32 size;
		u32 expect;
	};
	const Case cases[] = {
		{ 0, 37, 0 }, { 36, 37, 36 }, { 37, 37, 0 }, { 75, 37, 1 },
		{ 0xFFFFFFFFu, 37, 0xFFFFFFFFu % 37 }, { 0x2a000001u, 37, 0x2a000001u % 37 },
		{ 5, 1, 0 }, { 5, 0, 0 },
	};
	for ( const Case & c : cases ) {
		EXPECT_EQ( KeyToHashIndex( c.key, c.size ), c.expect ) << c.key << " % " << c.size;
		EXPECT_EQ( KeyToHashIndex( static_cast<s32>( c.key ), c.size ), c.expect ) << c.key << " % " << c.size;
	}
	EXPECT_EQ( KeyToHashIndex( static_cast<s32>( -1 ), 37u ), 0xFFFFFFFFu % 37 );
}

TEST( DTMap, WalksBucketsInOrderAndEachChainNewestFirst ) {
	IntMap map;
	EXPECT_EQ( map.GetTableSize(), 37u );
	const u32 inserted[] = { 38, 1, 75, 0, 36, 74, 37 };
	for ( const u32 key : inserted ) {
		ASSERT_TRUE( map.Set( key, static_cast<int>( key ) ) );
	}
	EXPECT_EQ( map.GetCount(), 7u );
	// Bucket 0: 37, 74, 0 (newest first); bucket 1: 75, 1, 38; bucket 36: 36.
	EXPECT_EQ( WalkKeys( map ), ( std::vector<u32>{ 37, 74, 0, 75, 1, 38, 36 } ) );
}

TEST( DTMap, SetReplacesTheValueOfAPresentKey ) {
	IntMap map;
	map.Set( 5, 1 );
	map.Set( 42, 2 );
	map.Set( 5, 3 );
	EXPECT_EQ( map.GetCount(), 2u );
	ASSERT_NE( map.Find( 5 ), nullptr );
	EXPECT_EQ( map.Find( 5 )->mValue, 3 );
	// 42 shares bucket 5 and went in front; replacing 5 does not move it.
	EXPECT_EQ( WalkKeys( map ), ( std::vector<u32>{ 42, 5 } ) );
}

TEST( DTMap, FindsPresentKeysAndNothingForAbsentOnes ) {
	IntMap map;
	for ( u32 key = 0; key < 37 * 4; key += 37 ) {
		map.Set( key, static_cast<int>( key + 1 ) );
	}
	const std::pair<u32, bool> lookups[] = {
		{ 0, true }, { 37, true }, { 111, true },
		{ 148, false },	// same bucket, walks the whole chain
		{ 1, false },	// empty bucket
	};
	for ( const auto & [key, present] : lookups ) {
		const IntMap::Node * node = map.Find( key );
		EXPECT_EQ( node != nullptr, present ) << key;
		if ( node != nullptr ) {
			EXPECT_EQ( node->mKey, key );
			EXPECT_EQ( node->mValue, static_cast<int>( key + 1 ) );
		}
	}
}

TEST( DTMap, RemovesOneKeyAtHeadMiddleOrTailOfItsChain ) {
	struct Case {
		u32					remove;
		std::vector<u32>	expect;
	};
	// Chain of bucket 3 after inserting 3, 40, 77: 77 (head), 40, 3 (tail).
	const Case cases[] = {
		{ 77, { 40, 3, 5 } },
		{ 40, { 77, 3, 5 } },
		{ 3, { 77, 40, 5 } },
		{ 5, { 77, 40, 3 } },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.remove );
		IntMap map;
		map.Set( 3, 0 );
		map.Set( 40, 0 );
		map.Set( 77, 0 );
		map.Set( 5, 0 );
		EXPECT_TRUE( map.Remove( c.remove ) );
		EXPECT_EQ( map.GetCount(), 3u );
		EXPECT_EQ( map.Find( c.remove ), nullptr );
		EXPECT_EQ( WalkKeys( map ), c.expect );
		EXPECT_FALSE( map.Remove( c.remove ) );
		EXPECT_EQ( map.GetCount(), 3u );
	}
}

TEST( DTMap, RemoveAllKeepsTheBucketsUsable ) {
	IntMap map;
	for ( u32 key = 0; key < 100; key++ ) {
		map.Set( key, 0 );
	}
	map.RemoveAll();
	EXPECT_EQ( map.GetCount(), 0u );
	EXPECT_EQ( map.GetFirst(), nullptr );
	EXPECT_EQ( map.Find( 50 ), nullptr );
	map.Set( 50, 9 );
	EXPECT_EQ( WalkKeys( map ), ( std::vector<u32>{ 50 } ) );
}

TEST( DTMap, StepsFromANodeThatACallerKeptAsACursor ) {
	IntMap map;
	map.Set( 36, 0 );
	map.Set( 2, 0 );
	map.Set( 39, 0 );
	// Removing the node after the cursor leaves the cursor's step valid.
	const IntMap::Node * cursor = map.GetFirst();
	ASSERT_EQ( cursor->mKey, 39u );
	map.Remove( 2 );
	const IntMap::Node * next = map.GetNext( cursor );
	ASSERT_NE( next, nullptr );
	EXPECT_EQ( next->mKey, 36u );
	EXPECT_EQ( map.GetNext( next ), nullptr );
	EXPECT_EQ( map.GetNext( nullptr ), nullptr );
}

TEST( DTMap, WorksWithSignedKeysAndOtherTableSizes ) {
	DTMap<s32, const char *> map( 5 );
	map.Set( -1, "minus one" );
	map.Set( 4, "four" );
	map.Set( 9, "nine" );
	ASSERT_NE( map.Find( -1 ), nullptr );
	EXPECT_STREQ( map.Find( -1 )->mValue, "minus one" );
	// 0xFFFFFFFF % 5 = 0, before bucket 4 (9 then 4).
	std::vector<s32> keys;
	for ( auto * node = map.GetFirst(); node != nullptr; node = map.GetNext( node ) ) {
		keys.push_back( node->mKey );
	}
	EXPECT_EQ( keys, ( std::vector<s32>{ -1, 9, 4 } ) );

	// A table of no buckets would divide by zero; it gets one bucket.
	DTMap<u32, int> single( 0 );
	EXPECT_EQ( single.GetTableSize(), 1u );
	single.Set( 7, 1 );
	single.Set( 8, 2 );
	EXPECT_EQ( single.Find( 7 )->mValue, 1 );
}
