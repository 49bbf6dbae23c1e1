#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

TEST( DTByteOrder, DecodesKnownBigAndLittleEndianBytes ) {
	const u8 bytes[8] = { 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0 };

	EXPECT_EQ( DTReadBE16( bytes ), 0x1234u );
	EXPECT_EQ( DTReadBE32( bytes ), 0x12345678u );
	EXPECT_EQ( DTReadBE64( bytes ), 0x123456789ABCDEF0ull );
	EXPECT_EQ( DTReadLE16( bytes ), 0x3412u );
	EXPECT_EQ( DTReadLE32( bytes ), 0x78563412u );
	EXPECT_EQ( DTReadLE64( bytes ), 0xF0DEBC9A78563412ull );
	EXPECT_EQ( DTReadBES16( bytes + 4 ), static_cast<s16>( 0x9ABC ) );
	EXPECT_EQ( DTReadLES32( bytes + 4 ), static_cast<s32>( 0xF0DEBC9A ) );

	// 1.0f is 0x3F800000; -2.5 as a double is 0xC004000000000000.
	const u8 oneBE[4] = { 0x3F, 0x80, 0x00, 0x00 };
	const u8 oneLE[4] = { 0x00, 0x00, 0x80, 0x3F };
	const u8 minusTwoAndAHalfBE[8] = { 0xC0, 0x04, 0, 0, 0, 0, 0, 0 };
	EXPECT_EQ( DTReadBEF32( oneBE ), 1.0f );
	EXPECT_EQ( DTReadLEF32( oneLE ), 1.0f );
	EXPECT_EQ( DTReadBEF64( minusTwoAndAHalfBE ), -2.5 );
}

TEST( DTByteOrder, RoundTripsEveryWidthInBothOrders ) {
	const u64 values[] = { 0, 1, 0x80, 0xFF, 0x8000, 0xFFFF, 0x80000000u, 0xFFFFFFFFu,
						   0x0123456789ABCDEFull, 0xFFFFFFFFFFFFFFFFull };
	for ( const u64 v : values ) {
		u8 buffer[8];
		DTWriteBE16( buffer, static_cast<u16>( v ) );
		EXPECT_EQ( DTReadBE16( buffer ), static_cast<u16>( v ) );
		DTWriteLE16( buffer, static_cast<u16>( v ) );
		EXPECT_EQ( DTReadLE16( buffer ), static_cast<u16>( v ) );
		DTWriteBE32( buffer, static_cast<u32>( v ) );
		EXPECT_EQ( DTReadBE32( buffer ), static_cast<u32>( v ) );
		EXPECT_EQ( buffer[0], static_cast<u8>( v >> 24 ) );
		DTWriteLE32( buffer, static_cast<u32>( v ) );
		EXPECT_EQ( DTReadLE32( buffer ), static_cast<u32>( v ) );
		EXPECT_EQ( buffer[0], static_cast<u8>( v ) );
		DTWriteBE64( buffer, v );
		EXPECT_EQ( DTReadBE64( buffer ), v );
		DTWriteLE64( buffer, v );
		EXPECT_EQ( DTReadLE64( buffer ), v );
	}
}

TEST( DTByteOrder, KeepsFloatBitPatternsIncludingNaNs ) {
	const u32 patterns32[] = { 0x00000000u, 0x80000000u, 0x3F800000u, 0x7F800000u, 0xFF800000u,
							   0x7FC00000u, 0x7F800001u, 0xFFFFFFFFu, 0x00000001u };
	for ( const u32 bits : patterns32 ) {
		f32 value;
		std::memcpy( &value, &bits, sizeof( value ) );
		u8 buffer[4];
		DTWriteBEF32( buffer, value );
		EXPECT_EQ( DTReadBE32( buffer ), bits );
		const f32 back = DTReadBEF32( buffer );
		u32 backBits;
		std::memcpy( &backBits, &back, sizeof( backBits ) );
		EXPECT_EQ( backBits, bits );
		DTWriteLEF32( buffer, value );
		EXPECT_EQ( DTReadLE32( buffer ), bits );
	}
	const u64 patterns64[] = { 0x7FF8000000000001ull, 0xFFF0000000000000ull, 0x3FF0000000000000ull };
	for ( const u64 bits : patterns64 ) {
		f64 value;
		std::memcpy( &value, &bits, sizeof( value ) );
		u8 buffer[8];
		DTWriteBEF64( buffer, value );
		EXPECT_EQ( DTReadBE64( buffer ), bits );
		DTWriteLEF64( buffer, value );
		EXPECT_EQ( DTReadLE64( buffer ), bits );
		const f64 back = DTReadLEF64( buffer );
		u64 backBits;
		std::memcpy( &backBits, &back, sizeof( backBits ) );
		EXPECT_EQ( backBits, bits );
	}
}

TEST( DTFloatToInt, SaturatesOutOfRangeValuesAndTruncatesTheRest ) {
	const f64 inf = std::numeric_limits<f64>::infinity();
	const f64 nan = std::numeric_limits<f64>::quiet_NaN();
	const struct {
		f64 value;
		s32 asS32;
		u32 asU32;
		s16 asS16;
	} cases[] = {
		{ 0.0, 0, 0, 0 },
		{ 1.9, 1, 1, 1 },
		{ -1.9, -1, 0, -1 },
		{ 3e9, INT32_MAX, 3000000000u, INT16_MAX },
		{ -3e9, INT32_MIN, 0, INT16_MIN },
		{ 5e9, INT32_MAX, UINT32_MAX, INT16_MAX },
		{ inf, INT32_MAX, UINT32_MAX, INT16_MAX },
		{ -inf, INT32_MIN, 0, INT16_MIN },
		{ nan, INT32_MIN, 0, INT16_MIN },
		{ 40000.0, 40000, 40000, INT16_MAX },
	};
	for ( const auto& c : cases ) {
		EXPECT_EQ( DTFloatToS32( c.value ), c.asS32 ) << c.value;
		EXPECT_EQ( DTFloatToU32( c.value ), c.asU32 ) << c.value;
		EXPECT_EQ( DTFloatToS16( c.value ), c.asS16 ) << c.value;
	}
}
