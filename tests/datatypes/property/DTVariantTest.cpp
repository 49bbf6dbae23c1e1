#include "PropertyTestSupport.h"

#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/property/DTDummyVector4.h"
#include "datatypes/containers/DTString.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

TEST( DTVariantTest, EachConstructorGivesItsTypeAndNoOwnership ) {
	f32 f = 0;
	s32 l = 0;
	u32 ul = 0;
	DTString text;
	DTDummyVector3 v3 {};
	DTDummyVector4 v4 {};
	u8 block[8] = {};
	DTVector<f32> floats;
	DTVector<s32> longs;
	DTVector<DTString> strings;
	struct Case {
		const char*	name;
		DTVariant	variant;
		u32			type;
		void*		pointer;
		u32			extra;
	};
	const Case cases[] = {
		{ "default", DTVariant(), DT_VARIANT_NONE, nullptr, 0 },
		{ "float", DTVariant( &f ), DT_VARIANT_FLOAT_PTR, &f, 0 },
		{ "long", DTVariant( &l ), DT_VARIANT_S32_PTR, &l, 0 },
		{ "unsigned long", DTVariant( &ul ), DT_VARIANT_U32_PTR, &ul, 0 },
		{ "string", DTVariant( &text ), DT_VARIANT_DTSTRING_PTR, &text, 0 },
		{ "streamable", DTVariant( static_cast<DTStreamable*>( nullptr ) ), DT_VARIANT_STREAMABLE_PTR, nullptr, 0 },
		{ "vector3", DTVariant( &v3 ), DT_VARIANT_VECTOR3_PTR, &v3, 0 },
		{ "vector4", DTVariant( &v4 ), DT_VARIANT_VECTOR4_PTR, &v4, 0 },
		{ "block", DTVariant( block, 8 ), DT_VARIANT_BLOCK, block, 8 },
		{ "block of negative size", DTVariant( block, -8 ), DT_VARIANT_BLOCK, block, 0 },
		{ "block too large for 24 bits", DTVariant( block, 0x01000005 ), DT_VARIANT_BLOCK, block, DT_VARIANT_EXTRA_MASK },
		{ "float array", DTVariant( &floats ), DT_VARIANT_FLOAT_ARRAY, &floats, 0 },
		{ "long array", DTVariant( &longs ), DT_VARIANT_LONG_ARRAY, &longs, 0 },
		{ "string array", DTVariant( &strings ), DT_VARIANT_STRING_ARRAY, &strings, 0 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		EXPECT_EQ( c.variant.GetType(), c.type );
		EXPECT_EQ( c.variant.GetPointer(), c.pointer );
		EXPECT_EQ( c.variant.GetExtra(), c.extra );
		EXPECT_FALSE( c.variant.IsOwnBuffer() );
		EXPECT_EQ( c.variant.GetFlags(), ( c.type << 25 ) | c.extra );
	}
}

TEST( DTVariantTest, AssignmentCopiesTheValueAsTheTargetsTypeReadsIt ) {
	const u32 targetBits = 0xA1B2C3D4;
	const u32 sourceBits = 0x11223344;
	struct Case {
		const char*	name;
		u32			targetType;
		u32			sourceType;
		u32			resultType;
		size_t		bytesCopied;
	};
	const Case cases[] = {
		{ "none takes the source's type", DT_VARIANT_NONE, DT_VARIANT_S32, DT_VARIANT_S32, 4 },
		{ "long into signed char", DT_VARIANT_S8, DT_VARIANT_S32, DT_VARIANT_S8, 1 },
		{ "long into unsigned char", DT_VARIANT_U8, DT_VARIANT_U32, DT_VARIANT_U8, 1 },
		{ "float into short", DT_VARIANT_S16, DT_VARIANT_FLOAT, DT_VARIANT_S16, 2 },
		{ "char into unsigned short", DT_VARIANT_U16, DT_VARIANT_S8, DT_VARIANT_U16, 2 },
		{ "short into float", DT_VARIANT_FLOAT, DT_VARIANT_S16, DT_VARIANT_FLOAT, 4 },
		{ "short into unsigned long", DT_VARIANT_U32, DT_VARIANT_S16, DT_VARIANT_U32, 4 },
		{ "into a string code", DT_VARIANT_STRING, DT_VARIANT_S32, DT_VARIANT_STRING, 0 },
		{ "into an unknown code", 90, DT_VARIANT_S32, 90, 0 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		std::unique_ptr<DTProperty> target = InlineProperty( c.targetType, targetBits );
		std::unique_ptr<DTProperty> source = InlineProperty( c.sourceType, sourceBits );
		*static_cast<DTVariant*>( target.get() ) = *source;
		EXPECT_EQ( target->GetType(), c.resultType );
		EXPECT_EQ( target->GetInlineU32(), InlineMix( targetBits, sourceBits, c.bytesCopied ) );
	}

	// Pointer types copy the address, whatever pointer type the source has.
	f32 f = 1.0f;
	s32 l = 2;
	DTVariant target( &l );
	target = DTVariant( &f );
	EXPECT_EQ( target.GetType(), DT_VARIANT_S32_PTR );
	EXPECT_EQ( target.GetPointer(), &f );
	for ( const u32 type : { 64u, 75u, 77u, 79u, 80u, 81u, 82u, 100u, 101u, 103u } ) {
		SCOPED_TRACE( type );
		DTVariant typed = PropertyVariant( type, &l );
		typed = DTVariant( &f );
		EXPECT_EQ( typed.GetType(), type );
		EXPECT_EQ( typed.GetPointer(), &f );
	}
	// 78 is not a pointer code: nothing is copied.
	DTVariant gap = PropertyVariant( 78, &l );
	gap = DTVariant( &f );
	EXPECT_EQ( gap.GetPointer(), &l );
}

TEST( DTVariantTest, AssignmentTakesTheSourcesOwnBitAndExtraInformation ) {
	u8 small[4] = {};
	u8 large[16] = {};
	DTVariant target( small, 4 );
	target = DTVariant( large, 16 );
	EXPECT_EQ( target.GetExtra(), 16u );
	EXPECT_EQ( target.GetPointer(), large );

	void* raw = ::operator new( 32 );
	DTVariant owner = PropertyVariant( DT_VARIANT_BLOCK, raw, 32 );
	owner.ForceFlags( owner.GetFlags() | DT_VARIANT_OWN_BUFFER );
	DTVariant heir;
	heir = owner;
	EXPECT_TRUE( heir.IsOwnBuffer() );
	EXPECT_EQ( heir.GetExtra(), 32u );
	// Hand ownership back to one of them only.
	heir = DTVariant( small, 4 );
	EXPECT_FALSE( heir.IsOwnBuffer() );
}

TEST( DTVariantTest, FreesOnlyAnOwnedAddress ) {
	// Under the address sanitizer a missed free shows as a leak, and a
	// free of an inline value or a borrowed address as a bad free.
	{
		DTVariant owner = PropertyVariant( DT_VARIANT_BLOCK_ALLOC, ::operator new( 24 ) );
		owner.ForceFlags( owner.GetFlags() | DT_VARIANT_OWN_BUFFER );
	}
	s32 local = 5;
	{
		// Inline codes hold no address, even with the bit set.
		std::unique_ptr<DTProperty> inlineValue = InlineProperty( DT_VARIANT_S32, 0x12345678 );
		inlineValue->ForceFlags( inlineValue->GetFlags() | DT_VARIANT_OWN_BUFFER );
	}
	{
		DTVariant borrowed( &local );
		DTVariant copy( borrowed );
		EXPECT_FALSE( copy.IsOwnBuffer() );
	}
	{
		// A copy never owns what its original owns.
		DTVariant owner = PropertyVariant( DT_VARIANT_FLOAT_PTR, ::operator new( 8 ) );
		owner.ForceFlags( owner.GetFlags() | DT_VARIANT_OWN_BUFFER );
		DTVariant copy( owner );
		EXPECT_FALSE( copy.IsOwnBuffer() );
		EXPECT_EQ( copy.GetPointer(), owner.GetPointer() );
	}
	EXPECT_EQ( local, 5 );
}

TEST( DTVariantTest, APropertyTakesItsOwnBitAndExtraFromItsArguments ) {
	f32 f = 0.0f;
	struct Case {
		const char*	name;
		bool		own;
		s32			extra;
		u32			expectedExtra;
	};
	const Case cases[] = {
		{ "registered member", false, 0, 0 },
		{ "with extra", false, 12, 12 },
		{ "negative extra", false, -3, 0 },
		{ "extra beyond 24 bits", false, 0x01000001, DT_VARIANT_EXTRA_MASK },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTVariant field( &f );
		DTProperty property( "SPEED", field, c.own, c.extra );
		EXPECT_STREQ( property.GetName(), "SPEED" );
		EXPECT_EQ( property.GetType(), DT_VARIANT_FLOAT_PTR );
		EXPECT_EQ( property.GetPointer(), &f );
		EXPECT_EQ( property.IsOwnBuffer(), c.own );
		EXPECT_EQ( property.GetExtra(), c.expectedExtra );
	}

	// An owning property frees its buffer when destroyed.
	{
		DTProperty owning( "BLOCK", PropertyVariant( DT_VARIANT_BLOCK_ALLOC, ::operator new( 16 ) ), true, 16 );
		EXPECT_TRUE( owning.IsOwnBuffer() );
		EXPECT_EQ( owning.GetExtra(), 16u );
	}

	// Mutate assigns by the property's current type and renames it.
	s32 l = 0;
	DTProperty property( "A", DTVariant( &f ), false, 0 );
	property.Mutate( "B", DTVariant( &l ) );
	EXPECT_STREQ( property.GetName(), "B" );
	EXPECT_EQ( property.GetType(), DT_VARIANT_FLOAT_PTR );
	EXPECT_EQ( property.GetPointer(), &l );
}
