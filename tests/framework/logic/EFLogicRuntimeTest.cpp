#include "LogicTestSupport.h"
#include "LogicWorldFixture.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/world/ObjectRetrieverParams.h"
#include "tools/lib/logic/ToolLogicRecordWriter.h"

#include <vector>

namespace {

constexpr u32 COUNTER_CODE			= 0x77;
constexpr u32 OBJECT_A				= 0x2a000001;
constexpr u32 OBJECT_B				= 0x2a000002;

// The counter module's messages.
constexpr u32 MESSAGE_OWN_FRAMES	= 1;
constexpr u32 MESSAGE_SHARED_FRAMES	= 2;
constexpr u32 MESSAGE_INSTANCES		= 3;
constexpr u32 MESSAGE_SET_OWN		= 4;

}

class EFLogicRuntimeTest : public LogicWorldFixture {
protected:
	// Loads the counter module the way the level loader does.
	EFLogicCode* LoadCounter() {
		ToolBigEndianWriter out;
		EXPECT_TRUE( ToolLogicRecordWriter::Write( out, { COUNTER_CODE, "COUNTER", ReadFileBytes( HostModulePath( "COUNTER" ) ),
														 false } ) );
		record = out.Take();
		EFLogicCode* const code = new EFLogicCode;
		DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
		EXPECT_EQ( code->Load( stream ), 0 );
		return manager->GetLogicCode( COUNTER_CODE );
	}

	s32 Ask( const u32 target, const u32 message, const u32 parameter = 0 ) {
		return manager->SendLogicMessageTo( target, message, parameter, nullptr, nullptr );
	}

	std::vector<u8>	record;
};

TEST_F( EFLogicRuntimeTest, ALinkedModuleRunsTwoObjectsAndAnswersItsCounters ) {
	EFLogicCode* const code = LoadCounter();
	ASSERT_NE( code, nullptr );
	AddObject( OBJECT_A, nullptr )->moLogicInstance.mpLogicCode = code;
	AddObject( OBJECT_B, nullptr )->moLogicInstance.mpLogicCode = code;
	// The first frame constructs; four frames of state follow.
	for ( u32 frame = 0; frame < 5; frame++ ) {
		manager->Update( 0.02f );
	}
	struct Row {
		const char*	name;
		u32			target;
		u32			message;
		s32			answer;
	};
	const Row rows[] = {
		{ "own frames of A", OBJECT_A, MESSAGE_OWN_FRAMES, 4 },
		{ "own frames of B", OBJECT_B, MESSAGE_OWN_FRAMES, 4 },
		{ "shared frames", OBJECT_A, MESSAGE_SHARED_FRAMES, 8 },
		{ "instances", OBJECT_B, MESSAGE_INSTANCES, 2 },
		{ "an unknown message", OBJECT_A, 99, -1 },
		{ "every object", EF_QUERY_ALL, MESSAGE_OWN_FRAMES, 2 },
	};
	for ( const Row& row : rows ) {
		EXPECT_EQ( Ask( row.target, row.message ), row.answer ) << row.name;
	}
	// Each instance keeps its own block.
	Ask( OBJECT_A, MESSAGE_SET_OWN, 100 );
	manager->Update( 0.02f );
	EXPECT_EQ( Ask( OBJECT_A, MESSAGE_OWN_FRAMES ), 101 );
	EXPECT_EQ( Ask( OBJECT_B, MESSAGE_OWN_FRAMES ), 5 );
	EXPECT_EQ( code->GetFunctionCount(), 30 );
	EXPECT_EQ( code->GetRefCount(), 2u );

	// The level ends: the destructor entry sees the instances go.
	gpoWorldMgr->Terminate();
	EXPECT_EQ( code->GetRefCount(), 0u );
	const u32* const shared = static_cast<const u32*>( code->GetGlobalData() );
	ASSERT_NE( shared, nullptr );
	EXPECT_EQ( shared[0], 10u );
	EXPECT_EQ( shared[1], 0u );
}
