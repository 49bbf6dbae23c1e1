#include "LevelTestSupport.h"
#include "datatypes/persist/PersistTestDisc.h"

#include "datatypes/streamable/DTParentedProperty.h"
#include "datatypes/property/DTProperty.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "datatypes/property/DTVariant.h"

namespace {

// Two u32 members after the UID, and counters of the load steps.
class TwoValues : public DTStreamable {
public:
	TwoValues() {
		RegisterMember( DTVariant( &value ), "VALUE" );
		RegisterMember( DTVariant( &other ), "OTHER" );
	}
	s32 PrePersistStream( DTBasePersistStream&, const bool ) override { return preCode; }
	s32 LoadFromStream( DTBasePersistStream& stream ) override {
		loads++;
		return DTStreamable::LoadFromStream( stream );
	}
	s32 OnLoadFinish() override {
		finishes++;
		return 0;
	}

	u32 value = 0xAAAAAAAA;
	u32 other = 0xBBBBBBBB;
	s32 preCode = 0;
	u32 loads = 0;
	u32 finishes = 0;
};

class LinkHolder : public DTStreamable {
public:
	LinkHolder() { RegisterLinkMember( &target, "TARGET" ); }
	s32 OnLoadFinish() override {
		finishes++;
		return 0;
	}
	DTStreamable* target = nullptr;
	u32 finishes = 0;
};

} // namespace

TEST( DTStreamable, ABareObjectReadsExactlyItsUID ) {
	DTStreamable object;
	EXPECT_EQ( object.GetUID(), DT_STREAMABLE_NO_UID );
	const MemoryLoadResult loaded = LoadObject( object, HexBytes( "12345678 AABBCCDD" ) );
	EXPECT_EQ( loaded.result, DT_PERSIST_OK );
	EXPECT_EQ( loaded.consumed, 4 );
	EXPECT_EQ( object.GetUID(), 0x12345678u );
	EXPECT_EQ( object.GetClassID(), 1 );
	EXPECT_STREQ( object.GetClassName(), "STREAMABLE" );
}

TEST( DTStreamable, ThePreLoadCodeDecidesWhetherTheObjectLoadsAndFinishes ) {
	struct Row {
		s32		preCode;
		s32		expected;
		u32		loads;
		u32		finishes;
		s32		consumed;
	};
	const Row rows[] = {
		{ 0, DT_PERSIST_OK, 1, 1, 12 },
		{ DT_PERSIST_SKIP_LOAD, DT_PERSIST_SKIP_LOAD, 0, 1, 0 },
		{ DT_PERSIST_UNKNOWN_CLASS, DT_PERSIST_UNKNOWN_CLASS, 0, 0, 0 },
		{ 5, 5, 0, 0, 0 },
	};
	const std::vector<u8> bytes = HexBytes( "00000001 00000002 00000003" );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.preCode );
		TwoValues object;
		object.preCode = row.preCode;
		const MemoryLoadResult loaded = LoadObject( object, bytes );
		EXPECT_EQ( loaded.result, row.expected );
		EXPECT_EQ( object.loads, row.loads );
		EXPECT_EQ( object.finishes, row.finishes );
		EXPECT_EQ( loaded.consumed, row.consumed );

		TwoValues async;
		async.preCode = row.preCode;
		const MemoryLoadResult asyncLoaded = LoadFromBytes( bytes, [&async]( DTMemoryPersistStream& stream ) { return async.AsyncLoad( stream ); } );
		EXPECT_EQ( asyncLoaded.result, row.expected );
		EXPECT_EQ( async.finishes, row.finishes );
		EXPECT_EQ( asyncLoaded.consumed, row.consumed );
		// The asynchronous path reads the members without LoadFromStream.
		EXPECT_EQ( async.loads, 0u );
	}
}

TEST( DTStreamable, LoadingStopsAtTheFirstMemberThatFails ) {
	TwoValues object;
	const MemoryLoadResult loaded = LoadObject( object, HexBytes( "00000009 0000" ) );
	EXPECT_EQ( loaded.result, DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( object.GetUID(), 9u );
	EXPECT_EQ( object.other, 0xBBBBBBBBu );
}

TEST( DTStreamable, FindMemberReturnsTheFirstExactMatchOnly ) {
	TwoValues object;
	u32 second = 0;
	object.RegisterMember( DTVariant( &second ), "VALUE" );
	EXPECT_EQ( object.GetMemberCount(), 4u );
	ASSERT_NE( object.FindMember( "VALUE" ), nullptr );
	EXPECT_EQ( object.FindMember( "VALUE" ), object.GetMember( 1 ) );
	EXPECT_EQ( object.FindMember( "value" ), nullptr );
	EXPECT_EQ( object.FindMember( "MISSING" ), nullptr );
	EXPECT_EQ( object.FindMember( nullptr ), nullptr );
	EXPECT_STREQ( object.GetMember( 0 )->GetName(), "UID" );
}

TEST( DTStreamable, SavingWritesNothingAndNothingIsALoader ) {
	DTStreamable object;
	std::vector<char> buffer( 4, 0 );
	DTMemoryPersistStream stream( buffer.data(), 4 );
	EXPECT_EQ( object.Save( stream ), 0 );
	EXPECT_EQ( object.SaveToStream( stream ), 0 );
	EXPECT_EQ( object.SavePropertiesText( stream ), 0 );
	EXPECT_EQ( object.SavePropertiesBinary( stream ), 0 );
	EXPECT_FALSE( object.IsLoader() );
	EXPECT_EQ( stream.GetPosition(), 0 );
}

TEST( DTStreamable, AClassWithALinkMemberIsNotFinishedAfterItsLoad ) {
	LinkHolder holder;
	TwoValues plain;
	LoadObject( holder, HexBytes( "00000001 00000007" ) );
	LoadObject( plain, HexBytes( "00000001 00000002 00000003" ) );
	EXPECT_EQ( holder.finishes, 0u );
	EXPECT_EQ( plain.finishes, 1u );
}

TEST( DTStreamable, ALinkReadFromAStreamWithoutOpenerLinksNothing ) {
	LinkHolder holder;
	const MemoryLoadResult loaded = LoadObject( holder, HexBytes( "00000001 00000007 FFFFFFFF" ) );
	EXPECT_EQ( loaded.result, DT_PERSIST_OK );
	EXPECT_EQ( loaded.consumed, 8 );
	EXPECT_EQ( holder.target, nullptr );
	// A parented property over an ordinary field loads it as any property.
	u32 plain = 0;
	DTParentedProperty property( "PLAIN", DTVariant( &plain ), &holder );
	EXPECT_EQ( LoadFromBytes( HexBytes( "01020304" ), [&property]( DTMemoryPersistStream& s ) { return property.LoadFromStream( s ); } ).result, 0 );
	EXPECT_EQ( plain, 0x01020304u );
	EXPECT_EQ( property.GetParent(), &holder );
}

class DTStreamableTextTest : public PersistTestDisc {};

TEST_F( DTStreamableTextTest, TextMembersLoadByNameAndUnknownNamesAreSkippedAlone ) {
	struct Row {
		const char*	text;
		s32			expected;
		u32			uid;
		u32			value;
		u32			other;
	};
	const Row rows[] = {
		{ "junk BEGIN UID 7 VALUE 3 OTHER 4 END\n", 0, 7, 3, 4 },
		{ "BEGIN OTHER 4 // note\n VALUE 5 END\n", 0, DT_STREAMABLE_NO_UID, 5, 4 },
		// The misspelled name is skipped; its value is the next name read.
		{ "BEGIN VALU 3 OTHER 4 END\n", 0, DT_STREAMABLE_NO_UID, 0xAAAAAAAA, 4 },
		{ "BEGIN VALU OTHER 9 END\n", 0, DT_STREAMABLE_NO_UID, 0xAAAAAAAA, 9 },
		{ "VALUE 3 OTHER 4", DT_PERSIST_READ_PAST_END, DT_STREAMABLE_NO_UID, 0xAAAAAAAA, 0xBBBBBBBB },
		{ "BEGIN VALUE 3", DT_PERSIST_READ_PAST_END, DT_STREAMABLE_NO_UID, 3, 0xBBBBBBBB },
	};
	InstallTextHooks();
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.text );
		DTFileHandle_* file = OpenText( row.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		TwoValues object;
		EXPECT_EQ( object.Load( stream ), row.expected );
		EXPECT_EQ( object.GetUID(), row.uid );
		EXPECT_EQ( object.value, row.value );
		EXPECT_EQ( object.other, row.other );
		DTFclose( file );
	}
}

TEST_F( DTStreamableTextTest, TheCharacterAfterEndIsConsumed ) {
	InstallTextHooks();
	DTFileHandle_* file = OpenText( "BEGIN VALUE 3 END 7" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	TwoValues object;
	EXPECT_EQ( object.Load( stream ), 0 );
	char next = 0;
	EXPECT_EQ( stream.LoadBinaryData( &next, 1 ), 0 );
	EXPECT_EQ( next, '7' );
}
