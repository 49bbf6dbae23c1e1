#include "datatypes/containers/DTVector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts live objects so the tests can see that every element the vector
// made is destroyed again.
struct Counted {
	static int	live;
	int			value;

	Counted() : value( 0 ) { live++; }
	Counted( int v ) : value( v ) { live++; }
	Counted( const Counted & other ) : value( other.value ) { live++; }
	Counted & operator=( const Counted & ) = default;
	~Counted() { live--; }
};
int Counted::live = 0;

std::vector<int> Contents( const DTVector<int> & v ) {
	std::vector<int> out;
	for ( u32 i = 0; i < v.GetSize(); i++ ) {
		out.push_back( v[i] );
	}
	return out;
}

} // namespace

TEST( DTVector, StartsEmptyWithTheDefaultIncrementOrTheGivenCapacity ) {
	const DTVector<int> plain;
	EXPECT_EQ( plain.GetCapacity(), 0u );
	EXPECT_EQ( plain.GetSize(), 0u );
	EXPECT_EQ( plain.GetSizeIncrement(), 8u );
	EXPECT_EQ( plain.GetArray(), nullptr );

	const DTVector<int> sized( 5, 3 );
	EXPECT_EQ( sized.GetCapacity(), 5u );
	EXPECT_EQ( sized.GetSize(), 0u );
	EXPECT_EQ( sized.GetSizeIncrement(), 3u );
	EXPECT_NE( sized.GetArray(), nullptr );

	const DTVector<int> none( 0, 4 );
	EXPECT_EQ( none.GetCapacity(), 0u );
	EXPECT_EQ( none.GetArray(), nullptr );
}

TEST( DTVector, GrowsByExactlyOneSlotWhenFull ) {
	DTVector<int> v;
	for ( int i = 0; i < 20; i++ ) {
		ASSERT_TRUE( v.Append( i * 10 ) );
		EXPECT_EQ( v.GetSize(), static_cast<u32>( i + 1 ) );
		EXPECT_EQ( v.GetCapacity(), static_cast<u32>( i + 1 ) );
	}
	for ( u32 i = 0; i < 20; i++ ) {
		EXPECT_EQ( v[i], static_cast<int>( i * 10 ) );
	}
}

TEST( DTVector, FillsReservedRoomBeforeGrowing ) {
	DTVector<int> v;
	ASSERT_TRUE( v.Reserve( 3 ) );
	const int * array = v.GetArray();
	v.Append( 1 );
	v.Append( 2 );
	v.Append( 3 );
	EXPECT_EQ( v.GetArray(), array );
	EXPECT_EQ( v.GetCapacity(), 3u );
	v.Append( 4 );
	EXPECT_EQ( v.GetCapacity(), 4u );
	EXPECT_EQ( Contents( v ), ( std::vector<int>{ 1, 2, 3, 4 } ) );
}

TEST( DTVector, AppendsACopyOfItsOwnElementWhileGrowing ) {
	DTVector<int> v;
	v.Append( 7 );
	v.Append( 8 );
	ASSERT_EQ( v.GetSize(), v.GetCapacity() );
	v.Append( v[0] );
	EXPECT_EQ( Contents( v ), ( std::vector<int>{ 7, 8, 7 } ) );
}

TEST( DTVector, ReserveKeepsWhatFitsAndNeverLeavesCountAboveCapacity ) {
	struct Case {
		u32					reserve;
		u32					expectCapacity;
		std::vector<int>	expectContents;
	};
	const Case cases[] = {
		{ 8, 8, { 1, 2, 3, 4, 5 } },
		{ 5, 5, { 1, 2, 3, 4, 5 } },
		{ 3, 3, { 1, 2, 3 } },
		{ 1, 1, { 1 } },
		{ 0, 0, {} },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.reserve );
		DTVector<int> v;
		for ( int i = 1; i <= 5; i++ ) {
			v.Append( i );
		}
		ASSERT_TRUE( v.Reserve( c.reserve ) );
		EXPECT_EQ( v.GetCapacity(), c.expectCapacity );
		EXPECT_LE( v.GetSize(), v.GetCapacity() );
		EXPECT_EQ( Contents( v ), c.expectContents );
		// The vector stays usable after any reserve.
		v.Append( 99 );
		EXPECT_EQ( v[v.GetSize() - 1], 99 );
	}
}

TEST( DTVector, ResizeForLoadingGrowsToExactlyNAndNeverShrinks ) {
	struct Case {
		u32 start;			// elements appended first
		u32 n;
		u32 expectCapacity;
	};
	const Case cases[] = {
		{ 0, 4, 4 },
		{ 2, 6, 6 },
		{ 6, 2, 6 },
		{ 3, 3, 3 },
		{ 3, 0, 3 },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( testing::Message() << c.start << " -> " << c.n );
		DTVector<int> v;
		for ( u32 i = 0; i < c.start; i++ ) {
			v.Append( static_cast<int>( i + 1 ) );
		}
		ASSERT_TRUE( v.Resize( c.n ) );
		EXPECT_EQ( v.GetSize(), c.n );
		EXPECT_EQ( v.GetCapacity(), c.expectCapacity );
		for ( u32 i = 0; i < c.n && i < c.start; i++ ) {
			EXPECT_EQ( v[i], static_cast<int>( i + 1 ) );
		}
	}
}

TEST( DTVector, ResizeGivesFreshElementsWhereAnEarlierFillLeftSome ) {
	DTVector<int> v;
	ASSERT_TRUE( v.Resize( 4 ) );
	for ( u32 i = 0; i < 4; i++ ) {
		v[i] = 100 + static_cast<int>( i );
	}
	ASSERT_TRUE( v.Resize( 1 ) );
	ASSERT_TRUE( v.Resize( 4 ) );
	EXPECT_EQ( Contents( v ), ( std::vector<int>{ 100, 0, 0, 0 } ) );
}

TEST( DTVector, CopiesAreIndependent ) {
	DTVector<int> a;
	a.Append( 1 );
	a.Append( 2 );
	DTVector<int> b( a );
	b[0] = 10;
	b.Append( 3 );
	EXPECT_EQ( Contents( a ), ( std::vector<int>{ 1, 2 } ) );
	EXPECT_EQ( Contents( b ), ( std::vector<int>{ 10, 2, 3 } ) );

	a = b;
	b[1] = 20;
	EXPECT_EQ( Contents( a ), ( std::vector<int>{ 10, 2, 3 } ) );
	const DTVector<int>& same = a;
	a = same;
	EXPECT_EQ( Contents( a ), ( std::vector<int>{ 10, 2, 3 } ) );

	const DTVector<int> empty;
	a = empty;
	EXPECT_EQ( a.GetSize(), 0u );
	EXPECT_EQ( a.GetArray(), nullptr );
}

TEST( DTVector, DestroysEveryElementItMade ) {
	Counted::live = 0;
	{
		DTVector<Counted> v;
		v.Reserve( 2 );
		for ( int i = 0; i < 5; i++ ) {
			v.Append( Counted( i ) );
		}
		v.Resize( 9 );
		v.Reserve( 3 );
		DTVector<Counted> copy( v );
		EXPECT_EQ( copy[2].value, 2 );
	}
	EXPECT_EQ( Counted::live, 0 );
}
