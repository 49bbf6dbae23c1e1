#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A module that knows its place in the order of creation.
class NumberedModule : public EFPhysicModule {
public:
	NumberedModule( const u32 type, EFPhysic* owner, const u32 number ) : EFPhysicModule( type, owner ), mui32Number( number ) {}
	~NumberedModule() override { destroyed++; }

	u32					mui32Number;
	static inline u32	destroyed = 0;
};

std::vector<u32> Numbers( EFPhysicModule* head, EFPhysicModule* EFPhysicModule::*link ) {
	std::vector<u32> numbers;
	for ( EFPhysicModule* module = head; module != nullptr; module = module->*link ) {
		numbers.push_back( static_cast<NumberedModule*>( module )->mui32Number );
	}
	return numbers;
}

TEST( EFPhysicTest, EffectiveFlagsFollowTheRequestedOnes ) {
	struct Row {
		u32		requested;
		u32		effective;
	};
	const Row rows[] = {
		{ 0x0, 0x0 },
		{ 0x1, 0x10000 },
		{ 0x6, 0x60000 },
		{ 0xF, 0xF0000 },
		{ 0x40, 0x10000 },
		{ 0x2E, 0xE0000 },
		{ 0x8E, 0x0 },
		{ 0x10F, 0x10000 },
		{ 0x1C7, 0x10000 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.requested );
		EFPhysic body( nullptr, 0 );
		// Stale effective bits and bits outside both ranges.
		body.mui32PhysicFlags = row.requested | 0xF0000 | 0x200000;
		body.NormalizeFlags();
		EXPECT_EQ( body.mui32PhysicFlags, row.requested | row.effective | 0x200000 );
	}
}

TEST( EFPhysicTest, ModulesJoinThePhaseListsOfTheirTypeWordInTypeIdOrder ) {
	NumberedModule::destroyed = 0;
	{
		EFPhysic body( nullptr, 0 );
		struct Row {
			u32		type;
		};
		// Creation order gives each module its number.
		const Row rows[] = {
			{ 0x50000011 },	// 0: pre and post, id 17
			{ 0x10000004 },	// 1: pre, id 4
			{ 0x20000008 },	// 2: collision, id 8
			{ 0x50000003 },	// 3: pre and post, id 3
			{ 0x10000004 },	// 4: pre, id 4 again
			{ 0x40000023 },	// 5: post, id 35
		};
		for ( u32 i = 0; i < std::size( rows ); i++ ) {
			body.LinkModule( new NumberedModule( rows[i].type, &body, i ) );
		}
		body.LinkModule( nullptr );
		EXPECT_EQ( Numbers( body.mpoAllModules, &EFPhysicModule::mpoNextAll ), ( std::vector<u32>{ 3, 1, 4, 2, 0, 5 } ) );
		EXPECT_EQ( Numbers( body.mpoPreColDM, &EFPhysicModule::mpoNextPre ), ( std::vector<u32>{ 3, 1, 4, 0 } ) );
		EXPECT_EQ( Numbers( body.mpoColDM, &EFPhysicModule::mpoNextCol ), std::vector<u32>{ 2 } );
		EXPECT_EQ( Numbers( body.mpoPostColDM, &EFPhysicModule::mpoNextPost ), ( std::vector<u32>{ 3, 0, 5 } ) );

		EFPhysicModule* const firstOfFour = body.FindModule( 4, nullptr );
		ASSERT_NE( firstOfFour, nullptr );
		EXPECT_EQ( static_cast<NumberedModule*>( firstOfFour )->mui32Number, 1u );
		EFPhysicModule* const secondOfFour = body.FindModule( 4, firstOfFour );
		ASSERT_NE( secondOfFour, nullptr );
		EXPECT_EQ( static_cast<NumberedModule*>( secondOfFour )->mui32Number, 4u );
		EXPECT_EQ( body.FindModule( 4, secondOfFour ), nullptr );
		EXPECT_EQ( body.FindModule( 5, nullptr ), nullptr );
		EXPECT_EQ( body.FindModule( 36, nullptr ), nullptr );

		// A deleted module leaves every list it was in.
		delete firstOfFour;
		EXPECT_EQ( Numbers( body.mpoAllModules, &EFPhysicModule::mpoNextAll ), ( std::vector<u32>{ 3, 4, 2, 0, 5 } ) );
		EXPECT_EQ( Numbers( body.mpoPreColDM, &EFPhysicModule::mpoNextPre ), ( std::vector<u32>{ 3, 4, 0 } ) );
	}
	// The body deletes the rest with itself.
	EXPECT_EQ( NumberedModule::destroyed, 6u );
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetModuleCount(), 0u );
}

TEST( EFPhysicTest, ANewModuleIsActiveWithNothingElseSetAndTheBaseOperationsDoNothing ) {
	EFPhysic body( nullptr, 0 );
	EFPhysicModule* const module = new EFPhysicModule( 0x10000000, &body );
	body.LinkModule( module );
	EXPECT_EQ( module->mui32Flags, EF_DM_ACTIVE );
	EXPECT_EQ( module->mui32ContextMask | module->mui32State | module->mui32StateChangeNotifyBits, 0u );
	EXPECT_EQ( module->GetTypeId(), 0u );
	// The frame record is not read by the base; any storage stands in for it.
	alignas( 16 ) u8 record[256] = {};
	EXPECT_EQ( module->PreColUpdate( *reinterpret_cast<EFDynamicPhysic*>( record ), 0.1f ), 1u );
	module->SetParams( nullptr );
	module->DoAction( 99, nullptr );
	module->InitDM();
}

}
