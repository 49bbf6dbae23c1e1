#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/EFLogicCodeMap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

s32 First( void* ) { return 1; }
s32 Second( void* ) { return 2; }

// A module whose object name and file name can be set directly.
class NamedCode : public EFLogicCode {
public:
	void SetFileName( const char* path ) {
		MMFree( mFileName );
		mFileName = static_cast<char*>( MMMalloc( static_cast<u32>( std::strlen( path ) + 1 ) ) );
		std::strcpy( mFileName, path );
	}
	void SetID( const u32 id ) { muiID = id; }
	~NamedCode() override { deleted++; }
	static u32 deleted;
};
u32 NamedCode::deleted = 0;

} // namespace

TEST( EFLogicCodeTables, FunctionTableGrowsInStepsOfThirtyAndKeepsItsSlots ) {
	struct Row {
		std::vector<u32>	indices;	// stored in order, First then Second ...
		s32					size;
	};
	const Row rows[] = {
		{ { 0 }, 30 },
		{ { 0, 45 }, 90 },
		{ { 65 }, 90 },
		{ { 29, 30 }, 90 },
		{ { 65535 }, 65550 },
		{ { 65536 }, 0 },
		{ { 0xFFFFFFFF }, 0 },
		{ { 3, 0xFFFFFFF0 }, 30 },
	};
	for ( const Row& row : rows ) {
		EFLogicCode code;
		LogicFunction functions[] = { First, Second };
		for ( size_t i = 0; i < row.indices.size(); i++ ) {
			code.SetFunction( row.indices[i], functions[i] );
		}
		EXPECT_EQ( code.GetFunctionCount(), row.size ) << row.indices.back();
		for ( size_t i = 0; i < row.indices.size(); i++ ) {
			const bool stored = row.indices[i] < 65536;
			EXPECT_EQ( code.GetFunction( row.indices[i] ), stored ? functions[i] : nullptr ) << row.indices[i];
		}
		EXPECT_EQ( code.GetFunction( static_cast<u32>( row.size ) ), nullptr );
		if ( row.size > 1 ) {
			EXPECT_EQ( code.GetFunction( 1 ), row.indices[0] == 1 ? First : nullptr );
		}
	}
	EFLogicCode empty;
	EXPECT_EQ( empty.GetFunction( 0 ), nullptr );
}

TEST( EFLogicCodeTables, SharedDataKeepsItsLargestSizeAcrossConstructorRuns ) {
	EFLogicCode code;
	void* a = nullptr;
	void* b = nullptr;
	for ( int run = 0; run < 2; run++ ) {
		SCOPED_TRACE( run );
		code.PreConstructor();
		code.InitGlobalData( &a, 64, 0 );
		code.InitGlobalData( &b, 16, 0 );
		ASSERT_NE( a, nullptr );
		EXPECT_EQ( a, b );
		EXPECT_EQ( code.GetGlobalDataSize(), 64u );
		u8* bytes = static_cast<u8*>( a );
		for ( u32 i = 0; i < 64; i++ ) {
			EXPECT_EQ( bytes[i], run == 0 ? 0 : static_cast<u8>( i + 1 ) ) << i;
		}
		for ( u32 i = 0; i < 64; i++ ) {
			bytes[i] = static_cast<u8>( i + 1 );
		}
	}
	// Growing zeroes only the new bytes.
	void* c = nullptr;
	code.InitGlobalData( &c, 96, 1 );
	ASSERT_NE( c, nullptr );
	EXPECT_EQ( a, c );
	EXPECT_EQ( static_cast<u8*>( c )[63], 64 );
	EXPECT_EQ( static_cast<u8*>( c )[64], 0 );
	EXPECT_EQ( static_cast<u8*>( c )[95], 0 );
	EXPECT_EQ( code.GetGlobalDataSize(), 96u );

	// Sizes of zero and below do nothing, not even register the variable.
	for ( const s32 size : { 0, -1, -2147483647 - 1 } ) {
		EFLogicCode fresh;
		fresh.PreConstructor();
		void* variable = &fresh;
		fresh.InitGlobalData( &variable, size, 0 );
		EXPECT_EQ( variable, &fresh ) << size;
		EXPECT_EQ( fresh.GetGlobalData(), nullptr );
		EXPECT_EQ( EFLogicCodeBC::GetGlobalDataPos( 0 ), nullptr );
	}
}

TEST( EFLogicCodeTables, DataRegistrationsTakeTenDistinctVariables ) {
	EFLogicCode code;
	void* variables[12] = {};
	for ( void*& variable : variables ) {
		code.SetLocalDataPos( &variable );
		EFLogicCodeBC::SetGlobalDataPos( &variable );
	}
	code.SetLocalDataPos( &variables[0] );
	for ( s32 i = 0; i < 10; i++ ) {
		EXPECT_EQ( code.GetLocalDataPos( i ), &variables[i] );
		EXPECT_EQ( EFLogicCodeBC::GetGlobalDataPos( i ), &variables[i] );
	}
	for ( const s32 outside : { -1, 10, 11 } ) {
		EXPECT_EQ( code.GetLocalDataPos( outside ), nullptr );
		EXPECT_EQ( EFLogicCodeBC::GetGlobalDataPos( outside ), nullptr );
	}
	code.PreConstructor();
	EXPECT_EQ( code.GetLocalDataPos( 0 ), nullptr );
	EXPECT_EQ( EFLogicCodeBC::GetGlobalDataPos( 0 ), nullptr );
}

TEST( EFLogicCodeTables, ObjectNameIsTheFileNameAfterTheLastBackslashUpToTheFirstFullStop ) {
	const std::pair<const char*, const char*> rows[] = {
		{ "LOGIC\\ENEMY.ELF", "ENEMY" }, { "A\\B.C.D", "B" }, { "A/B.C", "A/B" },
		{ "PLAYER", "PLAYER" }, { "DIR\\", "" }, { ".ELF", "" }, { "X\\Y\\Z", "Z" },
	};
	for ( const auto& [path, name] : rows ) {
		NamedCode code;
		code.SetFileName( path );
		code.SetObjectName();
		EXPECT_STREQ( code.GetObjectName(), name ) << path;
	}
}

TEST( EFLogicCodeTables, CodeMapReplacesTakenIdsAndDeletesReplacedModulesWithTheMap ) {
	NamedCode::deleted = 0;
	{
		EFLogicCodeMap map;
		auto* first = new NamedCode;
		auto* second = new NamedCode;
		auto* other = new NamedCode;
		first->SetID( 5 );
		second->SetID( 5 );
		other->SetID( 5 + 37 );	// same bucket
		map.Add( first );
		map.Add( other );
		map.Add( first );
		EXPECT_EQ( map.GetRetiredCount(), 0u );
		map.Add( second );
		EXPECT_EQ( map.Get( 5 ), second );
		EXPECT_EQ( map.Get( 42 ), other );
		EXPECT_EQ( map.Get( 6 ), nullptr );
		EXPECT_EQ( map.GetCount(), 2u );
		EXPECT_EQ( map.GetRetiredCount(), 1u );
		EXPECT_EQ( NamedCode::deleted, 0u );
		map.DeleteAll();
		EXPECT_EQ( NamedCode::deleted, 3u );
		EXPECT_EQ( map.Get( 5 ), nullptr );
		map.Add( new NamedCode );
	}
	EXPECT_EQ( NamedCode::deleted, 4u );
}

TEST( EFCustomLibBank, MostRecentRegistrationOfANameAnswersAndUnregistersFirst ) {
	EFCustomLibBank::Destroy();
	void* first = EFCustomLibBank::RegisterLib( "TUNING", 16 );
	void* other = EFCustomLibBank::RegisterLib( "OTHER", 8 );
	void* second = EFCustomLibBank::RegisterLib( "TUNING", 40 );
	ASSERT_NE( first, nullptr );
	ASSERT_NE( second, nullptr );
	EXPECT_EQ( EFCustomLibBank::mBank.mpFirst->muiSizeInWords, 10u );
	EXPECT_EQ( EFCustomLibBank::GetLib( "TUNING" ), second );
	EFCustomLibBank::UnRegisterLib( "TUNING" );
	EXPECT_EQ( EFCustomLibBank::GetLib( "TUNING" ), first );
	EFCustomLibBank::UnRegisterLib( "UNKNOWN" );
	EXPECT_EQ( EFCustomLibBank::GetLib( "OTHER" ), other );
	EXPECT_EQ( EFCustomLibBank::GetLib( "NOBODY" ), nullptr );

	// Removing the oldest node moves the tail to the node before it.
	EFCustomLibBank::UnRegisterLib( "TUNING" );
	ASSERT_NE( EFCustomLibBank::mBank.mpLast, nullptr );
	EXPECT_EQ( EFCustomLibBank::mBank.mpLast->mpBlock, other );
	EFCustomLibBank::UnRegisterLib( "OTHER" );
	EXPECT_EQ( EFCustomLibBank::mBank.mpFirst, nullptr );
	EXPECT_EQ( EFCustomLibBank::mBank.mpLast, nullptr );
}

TEST( EFCustomLibBank, ComparesThirtyTwoCharactersAndDestroyEmptiesTheBank ) {
	EFCustomLibBank::Destroy();
	const std::string longName( 40, 'K' );
	void* block = EFCustomLibBank::RegisterLib( longName.c_str(), 4 );
	ASSERT_NE( block, nullptr );
	EXPECT_EQ( EFCustomLibBank::GetLib( std::string( 32, 'K' ).c_str() ), block );
	EXPECT_EQ( EFCustomLibBank::GetLib( ( std::string( 32, 'K' ) + "different" ).c_str() ), block );
	EXPECT_EQ( EFCustomLibBank::GetLib( std::string( 31, 'K' ).c_str() ), nullptr );
	EFCustomLibBank::RegisterLib( "A", 4 );
	EFCustomLibBank::Destroy();
	EXPECT_EQ( EFCustomLibBank::GetLib( "A" ), nullptr );
	EXPECT_TRUE( EFCustomLibBank::mBank.IsEmpty() );
	EXPECT_EQ( EFCustomLibBank::mBank.mpLast, nullptr );
}
