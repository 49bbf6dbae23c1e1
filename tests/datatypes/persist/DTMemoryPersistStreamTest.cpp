#include "datatypes/persist/DTMemoryPersistStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST( DTMemoryPersistStreamTest, ClampsEveryReadToTheBuffer ) {
	// Six bytes: a whole long, then two of the next, then nothing.
	char bytes[6] = { 0x00, 0x00, 0x01, 0x02, 0x0A, 0x0B };
	DTMemoryPersistStream stream( bytes, sizeof( bytes ) );
	s32 first = 0;
	EXPECT_EQ( stream.LoadData( first ), DT_PERSIST_OK );
	EXPECT_EQ( first, 0x0102 );
	EXPECT_EQ( stream.GetPosition(), 4 );

	s32 second = 0x11223344;
	EXPECT_EQ( stream.LoadData( second ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( static_cast<u32>( second ), 0x0A0B3344u );
	EXPECT_EQ( stream.GetPosition(), 6 );

	struct Case {
		const char*	name;
		s32			size;
	};
	const Case further[] = { { "one byte", 1 }, { "a long", 4 }, { "many", 1000 } };
	for ( const Case& c : further ) {
		SCOPED_TRACE( c.name );
		std::vector<char> out( static_cast<size_t>( c.size ), 'Z' );
		EXPECT_EQ( stream.LoadBinaryData( out.data(), c.size ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( out, std::vector<char>( static_cast<size_t>( c.size ), 'Z' ) );
		EXPECT_EQ( stream.GetPosition(), 6 );
	}
}

TEST( DTMemoryPersistStreamTest, RefusesNegativeCountsWithoutMoving ) {
	char bytes[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };
	DTMemoryPersistStream stream( bytes, sizeof( bytes ) );
	ASSERT_EQ( stream.Forward( 3 ), DT_PERSIST_OK );
	char out[4] = { 'a', 'b', 'c', 'd' };
	for ( const s32 n : { -1, -4, -0x7FFFFFFF - 1 } ) {
		SCOPED_TRACE( n );
		EXPECT_EQ( stream.LoadBinaryData( out, n ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( stream.Forward( n ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( stream.GetPosition(), 3 );
		EXPECT_EQ( std::string( out, 4 ), "abcd" );
	}
}

TEST( DTMemoryPersistStreamTest, ForwardStopsAtTheEnd ) {
	struct Case {
		const char*	name;
		s32			start;
		s32			n;
		s32			result;
		s32			position;
	};
	const Case cases[] = {
		{ "to the exact end", 2, 8, DT_PERSIST_OK, 10 },
		{ "by nothing at the end", 10, 0, DT_PERSIST_OK, 10 },
		{ "one past the end", 2, 9, DT_PERSIST_READ_PAST_END, 10 },
		{ "by the largest count", 5, 0x7FFFFFFF, DT_PERSIST_READ_PAST_END, 10 },
		{ "inside", 0, 4, DT_PERSIST_OK, 4 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		char bytes[10] = {};
		DTMemoryPersistStream stream( bytes, sizeof( bytes ) );
		ASSERT_EQ( stream.Forward( c.start ), DT_PERSIST_OK );
		EXPECT_EQ( stream.Forward( c.n ), c.result );
		EXPECT_EQ( stream.GetPosition(), c.position );
		EXPECT_EQ( stream.GetBytesLeft(), static_cast<u32>( 10 - c.position ) );
	}
}

TEST( DTMemoryPersistStreamTest, TreatsANullBufferOrNegativeSizeAsEmpty ) {
	char bytes[4] = { 1, 2, 3, 4 };
	DTMemoryPersistStream nullBuffer( nullptr, 100 );
	DTMemoryPersistStream negativeSize( bytes, -4 );
	for ( DTMemoryPersistStream* stream : { &nullBuffer, &negativeSize } ) {
		u16 value = 0x5A5A;
		EXPECT_EQ( stream->LoadData( value ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( value, 0x5A5A );
		EXPECT_EQ( stream->GetBytesLeft(), 0u );
		EXPECT_EQ( stream->Forward( 1 ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( stream->GetPosition(), 0 );
	}
}

TEST( DTMemoryPersistStreamTest, FreesOnlyABufferItOwns ) {
	// Under the address sanitizer a missing delete[] shows as a leak and a
	// wrong one as a double free.
	char* owned = new char[16];
	{
		DTMemoryPersistStream stream( owned, 16 );
		stream.SetOwnBuffer( true );
	}
	char borrowed[4] = { 1, 2, 3, 4 };
	{
		DTMemoryPersistStream stream( borrowed, sizeof( borrowed ) );
	}
	EXPECT_EQ( borrowed[3], 4 );
	{
		DTMemoryPersistStream stream( nullptr, 0 );
		stream.SetOwnBuffer( true );
	}
}
