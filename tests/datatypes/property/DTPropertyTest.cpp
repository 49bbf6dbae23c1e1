#include "PropertyTestSupport.h"

#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/property/DTDummyVector2.h"
#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/property/DTDummyVector4.h"
#include "datatypes/containers/DTString.h"
#include "datatypes/persist/PersistTestDisc.h"
#include "support/TestHexBytes.h"
#include "tools/lib/ToolBigEndianWriter.h"

#include <bit>
#include <cmath>
#include <functional>

namespace {

// Loads property from bytes; the result and the bytes left after it.
std::pair<s32, u32> LoadFrom( DTProperty& property, const std::vector<u8>& bytes ) {
	PropertyMemory memory( bytes );
	const s32 result = property.LoadFromStream( memory.Stream() );
	return { result, memory.Stream().GetBytesLeft() };
}

} // namespace

TEST( DTPropertyTest, LoadsEachPlainTypeInlineAndThroughItsPointer ) {
	struct Case {
		const char*	name;
		u32			type;
		const char*	hex;
		u64			bits;		// the field's bits, zero-extended
		u32			size;		// bytes of the field
	};
	const Case cases[] = {
		{ "float", DT_VARIANT_FLOAT_PTR, "BF C0 00 00", 0xBFC00000, 4 },
		{ "signed char", DT_VARIANT_S8_PTR, "80", 0x80, 1 },
		{ "short", DT_VARIANT_S16_PTR, "80 01", 0x8001, 2 },
		{ "long", DT_VARIANT_S32_PTR, "FF FF FF FE", 0xFFFFFFFE, 4 },
		{ "unsigned char", DT_VARIANT_U8_PTR, "C8", 0xC8, 1 },
		{ "unsigned short", DT_VARIANT_U16_PTR, "FF 00", 0xFF00, 2 },
		{ "unsigned long", DT_VARIANT_U32_PTR, "01 02 03 04", 0x01020304, 4 },
		{ "long long", DT_VARIANT_S64_PTR, "80 00 00 00 00 00 00 01", 0x8000000000000001ull, 8 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		// The field sits between two guards that no load may touch.
		struct {
			u64 before;
			u64 field;
			u64 after;
		} memory = { ~0ull, 0, ~0ull };
		DTProperty property( "FIELD", PropertyVariant( c.type, &memory.field ), false, 0 );
		const std::vector<u8> stored = HexBytes( c.hex );
		std::vector<u8> bytes = stored;
		bytes.push_back( 0x77 );
		EXPECT_EQ( LoadFrom( property, bytes ), std::make_pair( DT_PERSIST_OK, 1u ) );
		u64 bits = 0;
		std::memcpy( &bits, &memory.field, c.size );
		EXPECT_EQ( bits, c.bits );
		EXPECT_EQ( memory.before, ~0ull );
		EXPECT_EQ( memory.after, ~0ull );
		u64 beyond = memory.field;
		std::memset( &beyond, 0, c.size );
		EXPECT_EQ( beyond, 0u );
	}

	struct InlineCase {
		const char*							name;
		u32									type;
		const char*							hex;
		std::function<u64( DTProperty& )>	read;
		u64									value;
	};
	const InlineCase inlineCases[] = {
		{ "float", DT_VARIANT_FLOAT, "3F 80 00 00", []( DTProperty& p ) { return std::bit_cast<u32>( p.GetInlineFloat() ); }, 0x3F800000 },
		{ "signed char", DT_VARIANT_S8, "FF", []( DTProperty& p ) { return static_cast<u64>( p.GetInlineS8() + 10 ); }, 9 },
		{ "short", DT_VARIANT_S16, "FF 9C", []( DTProperty& p ) { return static_cast<u64>( p.GetInlineS16() + 1000 ); }, 900 },
		{ "long", DT_VARIANT_S32, "00 01 00 00", []( DTProperty& p ) { return static_cast<u64>( p.GetInlineS32() ); }, 65536 },
		{ "unsigned char", DT_VARIANT_U8, "FE", []( DTProperty& p ) { return static_cast<u64>( p.GetInlineU8() ); }, 254 },
		{ "unsigned short", DT_VARIANT_U16, "BE EF", []( DTProperty& p ) { return static_cast<u64>( p.GetInlineU16() ); }, 0xBEEF },
		{ "unsigned long", DT_VARIANT_U32, "CA FE BA BE", []( DTProperty& p ) { return static_cast<u64>( p.GetInlineU32() ); }, 0xCAFEBABE },
	};
	for ( const InlineCase& c : inlineCases ) {
		SCOPED_TRACE( std::string( "inline " ) + c.name );
		DTProperty property( "FIELD", PropertyVariant( c.type, nullptr ), false, 0 );
		EXPECT_EQ( LoadFrom( property, HexBytes( c.hex ) ), std::make_pair( DT_PERSIST_OK, 0u ) );
		EXPECT_EQ( c.read( property ), c.value );
	}
}

TEST( DTPropertyTest, CodesWithoutALoaderReadNothing ) {
	u32 field = 7;
	for ( const u32 type : { 0u, 9u, 64u, 65u, 78u, 79u, 83u, 99u, 102u, 104u, 127u } ) {
		SCOPED_TRACE( type );
		DTProperty property( "FIELD", PropertyVariant( type, &field ), false, 0 );
		EXPECT_EQ( LoadFrom( property, HexBytes( "01 02 03 04" ) ), std::make_pair( DT_PERSIST_OK, 4u ) );
		EXPECT_EQ( field, 7u );
	}
	PropertyMemory memory( HexBytes( "01" ) );
	DTProperty property( "FIELD", DTVariant( &field ), false, 0 );
	EXPECT_EQ( property.SaveToStream( memory.Stream() ), DT_PERSIST_OK );
}

TEST( DTPropertyTest, VectorsReadTheirFloatsAndNothingMore ) {
	struct Case {
		const char*	name;
		u32			type;
		u32			floats;
	};
	const Case cases[] = {
		{ "vector2", DT_VARIANT_VECTOR2_PTR, 2 },
		{ "vector3", DT_VARIANT_VECTOR3_PTR, 3 },
		{ "vector4", DT_VARIANT_VECTOR4_PTR, 4 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ToolBigEndianWriter writer;
		for ( u32 i = 0; i < 5; i++ ) {
			writer.WriteF32( static_cast<f32>( i + 1 ) * 0.5f );
		}
		f32 record[5] = { -1.0f, -1.0f, -1.0f, -1.0f, -1.0f };
		DTProperty property( "VEC", PropertyVariant( c.type, record ), false, 0 );
		EXPECT_EQ( LoadFrom( property, writer.Bytes() ), std::make_pair( DT_PERSIST_OK, 20 - 4 * c.floats ) );
		for ( u32 i = 0; i < 5; i++ ) {
			EXPECT_EQ( record[i], i < c.floats ? static_cast<f32>( i + 1 ) * 0.5f : -1.0f ) << i;
		}
	}

	// The constructor's own type: exactly twelve bytes.
	DTDummyVector3 v { 0.0f, 0.0f, 0.0f };
	DTProperty property( "POS", DTVariant( &v ), false, 0 );
	EXPECT_EQ( LoadFrom( property, HexBytes( "3F800000 40000000 40400000 FFFFFFFF" ) ), std::make_pair( DT_PERSIST_OK, 4u ) );
	EXPECT_EQ( v.x, 1.0f );
	EXPECT_EQ( v.y, 2.0f );
	EXPECT_EQ( v.z, 3.0f );

	// A float that cannot be read stops the load with its code.
	DTDummyVector4 cut { 9.0f, 9.0f, 9.0f, 9.0f };
	DTProperty cutProperty( "POS", DTVariant( &cut ), false, 0 );
	EXPECT_EQ( LoadFrom( cutProperty, HexBytes( "3F800000 4000" ) ).first, DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( cut.x, 1.0f );
	EXPECT_EQ( cut.z, 9.0f );
}

TEST( DTPropertyTest, LoadsStringsAsStored ) {
	struct Case {
		const char*	name;
		u32			type;
		const char*	hex;
		s32			result;
		const char*	text;
	};
	const Case cases[] = {
		{ "length 3 holding hi", DT_VARIANT_DTSTRING_PTR, "00000003 68 69 00", DT_PERSIST_OK, "hi" },
		{ "string code 8", DT_VARIANT_STRING, "00000004 61 62 63 00", DT_PERSIST_OK, "abc" },
		{ "cut short keeps the old text", DT_VARIANT_DTSTRING_PTR, "00000008 61 62", DT_PERSIST_READ_PAST_END, "old" },
		{ "no length keeps the old text", DT_VARIANT_DTSTRING_PTR, "0000", DT_PERSIST_READ_PAST_END, "old" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTString text;
		text = "old";
		DTProperty property( "NAME", DTVariant( &text ), false, 0 );
		property.ForceFlags( PropertyFlags( c.type ) );
		EXPECT_EQ( LoadFrom( property, HexBytes( c.hex ) ).first, c.result );
		EXPECT_STREQ( text.GetStr(), c.text );
	}

	// A property made from a string-code variant gets no address (the
	// assignment copies none for that code): its string is read and dropped.
	DTString untouched;
	DTProperty addressless( "NAME", PropertyVariant( DT_VARIANT_STRING, &untouched ), false, 0 );
	EXPECT_EQ( addressless.GetPointer(), nullptr );
	EXPECT_EQ( LoadFrom( addressless, HexBytes( "00000003 686900 FF" ) ), std::make_pair( DT_PERSIST_OK, 1u ) );
	EXPECT_STREQ( untouched.GetStr(), "" );

	// A stored string longer than the read buffer keeps its first 2047
	// bytes and leaves the rest in the stream.
	ToolBigEndianWriter writer;
	writer.WriteU32( 3000 );
	std::vector<u8> body( 3000, 'q' );
	writer.WriteBytes( body );
	DTString text;
	DTProperty property( "NAME", DTVariant( &text ), false, 0 );
	EXPECT_EQ( LoadFrom( property, writer.Bytes() ), std::make_pair( DT_PERSIST_OK, 3000u - 2048u ) );
	EXPECT_EQ( text.GetLength(), 2047u );
}

TEST( DTPropertyTest, LoadsCountedArrays ) {
	ToolBigEndianWriter writer;
	const f32 floats[] = { 1.5f, -0.0f, 8.0f };
	const s32 longs[] = { -1, 0x7FFFFFFF };
	const std::string strings[] = { "one", "", "three" };
	writer.WriteFloatArray( floats );
	writer.WriteLongArray( longs );
	ASSERT_TRUE( writer.WriteStringArray( strings ) );
	PropertyMemory memory( writer.Bytes() );

	DTVector<f32> floatVector;
	DTVector<s32> longVector;
	DTVector<DTString> stringVector;
	floatVector.Append( 99.0f );
	DTProperty floatProperty( "F", DTVariant( &floatVector ), false, 0 );
	DTProperty longProperty( "L", DTVariant( &longVector ), false, 0 );
	DTProperty stringProperty( "S", DTVariant( &stringVector ), false, 0 );
	EXPECT_EQ( floatProperty.LoadFromStream( memory.Stream() ), DT_PERSIST_OK );
	EXPECT_EQ( longProperty.LoadFromStream( memory.Stream() ), DT_PERSIST_OK );
	EXPECT_EQ( stringProperty.LoadFromStream( memory.Stream() ), DT_PERSIST_OK );
	EXPECT_EQ( memory.Stream().GetBytesLeft(), 0u );

	ASSERT_EQ( floatVector.GetSize(), 3u );
	EXPECT_EQ( floatVector[0], 1.5f );
	EXPECT_TRUE( std::signbit( floatVector[1] ) );
	EXPECT_EQ( floatVector[2], 8.0f );
	ASSERT_EQ( longVector.GetSize(), 2u );
	EXPECT_EQ( longVector[0], -1 );
	EXPECT_EQ( longVector[1], 0x7FFFFFFF );
	ASSERT_EQ( stringVector.GetSize(), 3u );
	EXPECT_STREQ( stringVector[0].GetStr(), "one" );
	EXPECT_STREQ( stringVector[1].GetStr(), "" );
	EXPECT_STREQ( stringVector[2].GetStr(), "three" );

	// A count of 0 empties the vector and reads nothing more.
	EXPECT_EQ( LoadFrom( floatProperty, HexBytes( "00000000 3F800000" ) ), std::make_pair( DT_PERSIST_OK, 4u ) );
	EXPECT_EQ( floatVector.GetSize(), 0u );

	// The first element that fails stops the load; earlier ones stay.
	EXPECT_EQ( LoadFrom( stringProperty, HexBytes( "00000002 00000003 686900 00000064 6869" ) ).first,
			   DT_PERSIST_READ_PAST_END );
	ASSERT_EQ( stringVector.GetSize(), 2u );
	EXPECT_STREQ( stringVector[0].GetStr(), "hi" );
	EXPECT_STREQ( stringVector[1].GetStr(), "" );
}

TEST( DTPropertyTest, LoadsDataBlocksInPlaceAndIntoNewStorage ) {
	u8 buffer[8] = { 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE };
	DTProperty inPlace( "BLOCK", DTVariant( buffer, sizeof( buffer ) ), false, sizeof( buffer ) );
	EXPECT_EQ( LoadFrom( inPlace, HexBytes( "00000003 010203 FF" ) ), std::make_pair( DT_PERSIST_OK, 1u ) );
	EXPECT_EQ( inPlace.GetExtra(), 3u );
	EXPECT_EQ( std::vector<u8>( buffer, buffer + 4 ), HexBytes( "010203EE" ) );

	u8* allocated = nullptr;
	DTProperty fresh( "BLOCK", PropertyVariant( DT_VARIANT_BLOCK_ALLOC, &allocated ), false, 0 );
	EXPECT_EQ( LoadFrom( fresh, HexBytes( "00000002 AABB" ) ), std::make_pair( DT_PERSIST_OK, 0u ) );
	ASSERT_NE( allocated, nullptr );
	EXPECT_EQ( fresh.GetExtra(), 2u );
	EXPECT_EQ( allocated[0], 0xAA );
	EXPECT_EQ( allocated[1], 0xBB );

	// A reload allocates anew; the first block is still the owner's.
	u8* first = allocated;
	EXPECT_EQ( LoadFrom( fresh, HexBytes( "00000001 CC" ) ), std::make_pair( DT_PERSIST_OK, 0u ) );
	EXPECT_NE( allocated, first );
	EXPECT_EQ( allocated[0], 0xCC );
	EXPECT_EQ( first[1], 0xBB );
	delete[] first;
	delete[] allocated;
}

TEST( DTPropertyTest, RefusesCountsThatCannotBeTrueBeforeTouchingAnything ) {
	struct Case {
		const char*	name;
		u32			type;
		std::string	hex;
	};
	const Case cases[] = {
		{ "negative float count", DT_VARIANT_FLOAT_ARRAY, "FFFFFFFF 3F800000" },
		{ "huge long count", DT_VARIANT_LONG_ARRAY, "7FFFFFFF 00000001" },
		{ "float count one past the bytes", DT_VARIANT_FLOAT_ARRAY, "00000003 3F800000 3F800000 3F8000" },
		{ "string count past the length words", DT_VARIANT_STRING_ARRAY, "00000002 00000001 00 0000" },
		{ "negative block count", DT_VARIANT_BLOCK_ALLOC, "80000000 01020304" },
		{ "block count past the bytes", DT_VARIANT_BLOCK_ALLOC, "00000005 01020304" },
		{ "block in place larger than its buffer", DT_VARIANT_BLOCK, "00000005 0102030405" },
		{ "negative block in place", DT_VARIANT_BLOCK, "FFFFFFFC 01020304" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTVector<f32> floats;
		floats.Append( 4.0f );
		DTVector<s32> longs;
		longs.Append( 4 );
		DTVector<DTString> strings;
		strings.Append( DTString( "kept", 4 ) );
		u8 buffer[4] = { 0xEE, 0xEE, 0xEE, 0xEE };
		u8* allocated = nullptr;
		void* target = nullptr;
		switch ( c.type ) {
		case DT_VARIANT_FLOAT_ARRAY:	target = &floats; break;
		case DT_VARIANT_LONG_ARRAY:		target = &longs; break;
		case DT_VARIANT_STRING_ARRAY:	target = &strings; break;
		case DT_VARIANT_BLOCK:			target = buffer; break;
		default:						target = &allocated; break;
		}
		DTProperty property( "BAD", PropertyVariant( c.type, target ), false, 4 );
		EXPECT_EQ( LoadFrom( property, HexBytes( c.hex ) ).first, DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( property.GetExtra(), 4u );
		EXPECT_EQ( floats.GetSize(), 1u );
		EXPECT_EQ( floats.GetCapacity(), 1u );
		EXPECT_EQ( floats[0], 4.0f );
		EXPECT_EQ( longs.GetSize(), 1u );
		EXPECT_EQ( longs.GetCapacity(), 1u );
		EXPECT_EQ( strings.GetSize(), 1u );
		EXPECT_STREQ( strings[0].GetStr(), "kept" );
		EXPECT_EQ( std::vector<u8>( buffer, buffer + 4 ), HexBytes( "EEEEEEEE" ) );
		EXPECT_EQ( allocated, nullptr );
	}

	// A block count that does not fit the 24-bit extra information, even
	// with the bytes there.
	std::vector<u8> big = HexBytes( "01000000" );
	big.resize( big.size() + 0x01000000, 0x5A );
	u8* allocated = nullptr;
	DTProperty property( "HUGE", PropertyVariant( DT_VARIANT_BLOCK_ALLOC, &allocated ), false, 0 );
	EXPECT_EQ( LoadFrom( property, big ).first, DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( allocated, nullptr );
	big[0] = 0x00;
	big[1] = 0xFF;
	big[2] = 0xFF;
	big[3] = 0xFF;
	EXPECT_EQ( LoadFrom( property, big ), std::make_pair( DT_PERSIST_OK, 1u ) );
	ASSERT_NE( allocated, nullptr );
	EXPECT_EQ( property.GetExtra(), 0x00FFFFFFu );
	EXPECT_EQ( allocated[0x00FFFFFE], 0x5A );
	delete[] allocated;
}

class DTPropertyFileTest : public PersistTestDisc {};

TEST_F( DTPropertyFileTest, BoundsCountsByTheRestOfTheFile ) {
	// Twelve bytes after the count: three floats fit, four do not.
	for ( const u32 count : { 3u, 4u } ) {
		SCOPED_TRACE( count );
		ToolBigEndianWriter writer;
		writer.WriteU32( count );
		writer.WriteF32( 1.0f );
		writer.WriteF32( 2.0f );
		writer.WriteF32( 3.0f );
		DTFileHandle_* file = OpenBytes( writer.Bytes() );
		ASSERT_NE( file, nullptr );
		DTBinaryPersistStream stream( file );
		DTVector<f32> floats;
		DTProperty property( "F", DTVariant( &floats ), false, 0 );
		EXPECT_EQ( property.LoadFromStream( stream ), count == 3 ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( floats.GetSize(), count == 3 ? 3u : 0u );
		DTFclose( file );
	}
}
