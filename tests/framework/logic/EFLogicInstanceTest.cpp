#include "LogicWorldFixture.h"

#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/api/LogicModuleAPI.h"

#include <cstring>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;
constexpr u32 OBJECT_B = 0x2a000002;

// What the fake modules saw. Fake states hold no objects with
// destructors: ChangeState and Break jump over them.
u32		gConstructed;
s32		gLastCount;
u32		gDestructed;
u32		gStateRuns[8];
u32		gAfterChange;
void*	gLocal;
void*	gLocalB;
void*	gLocalC;
void*	gSeen[16];
u32		gDepth;
u32		gMaxDepth;
s32		gNestedResults[16];

void ResetRecords() {
	gConstructed = 0;
	gLastCount = 0;
	gDestructed = 0;
	std::memset( gStateRuns, 0, sizeof( gStateRuns ) );
	gAfterChange = 0;
	gLocal = gLocalB = gLocalC = nullptr;
	std::memset( gSeen, 0, sizeof( gSeen ) );
	gDepth = 0;
	gMaxDepth = 0;
	std::memset( gNestedResults, 0, sizeof( gNestedResults ) );
}

s32 State0( void* ) {
	gStateRuns[0]++;
	return 0;
}

s32 State3( void* ) {
	gStateRuns[3]++;
	return 0;
}

// Abandons itself halfway for state 3.
s32 ChangingState( void* ) {
	gStateRuns[1]++;
	RunningLogicInstance()->ChangeState( 3 );
	gAfterChange++;
	return 0;
}

void CountingConstructor( _api_cons* api, const s32 count ) {
	gConstructed++;
	gLastCount = count;
	api->SetExternalFunction( 0, State0 );
	api->SetExternalFunction( 1, ChangingState );
	api->SetExternalFunction( 3, State3 );
	api->SetInitialState( 0 );
}

void CountingDestructor( const s32 count ) {
	gDestructed++;
	gLastCount = count;
}

// Writes between local-data requests of 32, 16 and 32 bytes.
void GrowingLocalsConstructor( _api_cons* api, s32 ) {
	api->GetLocalData( &gLocal, 32 );
	static_cast<u8*>( gLocal )[20] = 0x5A;
	api->GetLocalData( &gLocalB, 16 );
	api->GetLocalData( &gLocalC, 32 );
}

void SixteenThenThirtyTwoConstructor( _api_cons* api, s32 ) {
	api->GetLocalData( &gLocal, 16 );
	api->GetLocalData( &gLocalB, 32 );
}

// Each instance keeps its own object in its local data.
void OwnLocalsConstructor( _api_cons* api, s32 ) {
	api->GetLocalData( &gLocal, sizeof( EFGameObject* ) );
	*static_cast<EFGameObject**>( gLocal ) = EFLogicStack::GetRunningGameObject();
	api->SetInitialState( 0 );
	api->SetExternalFunction( 0, State0 );
}

s32 ReturnSeven( u32, u32, void* ) {
	return 7;
}

s32 BreakingMessage( u32, u32, void* ) {
	RunningLogicInstance()->Break();
	return 7;
}

s32 ChangingMessage( u32, u32, void* ) {
	RunningLogicInstance()->ChangeState( 5 );
	return 7;
}

// Sends itself to the next object of the chain (parameter) and checks
// that its own local data is back afterwards.
s32 ChainMessage( const u32, const u32 parameter, void* ) {
	const u32 depth = ++gDepth;
	gMaxDepth = depth > gMaxDepth ? depth : gMaxDepth;
	void* const mine = gLocal;
	gNestedResults[depth] = gpoGameLogicMgr->SendLogicMessageTo( parameter + 1, 0, parameter + 1, nullptr, nullptr );
	gSeen[depth] = gLocal == mine ? mine : nullptr;
	gDepth--;
	return static_cast<s32>( depth );
}

void ChainConstructor( _api_cons* api, s32 ) {
	api->GetLocalData( &gLocal, 4 );
	api->SetMessageFunction( ChainMessage );
}

// A state that messages the other object and notes its own data before
// and after.
s32 MessagingState( void* ) {
	gSeen[0] = gLocal;
	gpoGameLogicMgr->SendLogicMessageTo( OBJECT_B, 1, 0, nullptr, nullptr );
	gSeen[2] = gLocal;
	return 0;
}

s32 NoteLocal( u32, u32, void* ) {
	gSeen[1] = gLocal;
	return 0;
}

void MessagingConstructor( _api_cons* api, s32 ) {
	api->GetLocalData( &gLocal, 8 );
	api->SetExternalFunction( 0, MessagingState );
	api->SetInitialState( 0 );
	api->SetMessageFunction( NoteLocal );
}

s32 EchoCallback( void* data ) {
	*static_cast<u32*>( data ) += 1;
	return 40;
}

void LibraryRegister( _api_cons* ) {
}

}

class EFLogicInstanceTest : public LogicWorldFixture {
protected:
	void SetUp() override {
		LogicWorldFixture::SetUp();
		ResetRecords();
	}

	// One frame of the object's logic, as the manager runs it.
	static void RunFrame( EFGameObject* object, const f32 dt ) {
		EFLogicStack::SetCurrentGameObject( object );
		object->moLogicInstance.Run( dt );
	}

	EFGameObject* CountingObject( const u32 id ) {
		LogicFakeModule& module = Module();
		module.SetConstructor( CountingConstructor );
		module.SetDestructor( CountingDestructor );
		return AddObject( id, &module );
	}
};

TEST_F( EFLogicInstanceTest, RunsOnlyTheConstructorInTheFirstFrameAndTheStateFromTheSecond ) {
	EFGameObject* const object = CountingObject( OBJECT_A );
	RunFrame( object, 0.1f );
	EXPECT_EQ( gConstructed, 1u );
	EXPECT_EQ( gLastCount, 1 );
	EXPECT_EQ( gStateRuns[0], 0u );
	EXPECT_EQ( object->moLogicInstance.muiFlags, EF_LOGIC_CONSTRUCTED );
	RunFrame( object, 0.1f );
	RunFrame( object, 0.1f );
	EXPECT_EQ( gConstructed, 1u );
	EXPECT_EQ( gStateRuns[0], 2u );
	EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
	EXPECT_EQ( gpoLogicStack->mppGameObj[0], nullptr );
}

TEST_F( EFLogicInstanceTest, CountsSleepDownAndRunsInTheFrameItEnds ) {
	struct Row {
		const char*	name;
		f32			sleep;
		f32			dt;
		u32			runs[4];
		f32			sleepAfter;
	};
	const Row rows[] = {
		{ "a quarter second at 0.1 s frames runs in the third", 0.25f, 0.1f, { 0, 0, 1, 2 }, 0.0f },
		{ "until woken never counts down", -1.0f, 0.1f, { 0, 0, 0, 0 }, -1.0f },
		{ "another negative sleep runs at once", -0.5f, 0.1f, { 1, 2, 3, 4 }, 0.0f },
		{ "a sleep ending exactly with the frame runs in it", 0.5f, 0.5f, { 1, 2, 3, 4 }, 0.0f },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ResetRecords();
		EFGameObject* const object = CountingObject( OBJECT_A );
		RunFrame( object, row.dt );
		object->moLogicInstance.Sleep( row.sleep );
		for ( u32 frame = 0; frame < 4; frame++ ) {
			RunFrame( object, row.dt );
			EXPECT_EQ( gStateRuns[0], row.runs[frame] ) << "frame " << frame + 1;
		}
		EXPECT_EQ( object->moLogicInstance.mfSleepTimeLeft, row.sleepAfter );
		gpoWorldMgr->Terminate();
	}
}

TEST_F( EFLogicInstanceTest, PausedClippedOrCodelessInstancesNeitherRunNorSleepDown ) {
	const struct {
		const char*	name;
		u32			flag;
	} rows[] = {
		{ "paused", EF_LOGIC_PAUSED },
		{ "clipped", EF_LOGIC_CLIPPED },
		{ "no code", EF_LOGIC_NO_CODE },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		ResetRecords();
		EFGameObject* const object = CountingObject( OBJECT_A );
		RunFrame( object, 0.1f );
		object->moLogicInstance.Sleep( 0.15f );
		object->moLogicInstance.muiFlags |= row.flag;
		RunFrame( object, 0.1f );
		RunFrame( object, 0.1f );
		EXPECT_EQ( gStateRuns[0], 0u );
		EXPECT_EQ( object->moLogicInstance.mfSleepTimeLeft, 0.15f );
		object->moLogicInstance.muiFlags &= ~row.flag;
		RunFrame( object, 0.1f );
		RunFrame( object, 0.1f );
		EXPECT_EQ( gStateRuns[0], 1u );
		gpoWorldMgr->Terminate();
	}
}

TEST_F( EFLogicInstanceTest, ChangeStateAbandonsTheStateAndTheNewOneRunsNextFrame ) {
	EFGameObject* const object = CountingObject( OBJECT_A );
	RunFrame( object, 0.1f );
	object->moLogicInstance.SetNextState( 1 );
	RunFrame( object, 0.1f );
	EXPECT_EQ( gStateRuns[1], 1u );
	EXPECT_EQ( gAfterChange, 0u );
	EXPECT_EQ( object->moLogicInstance.muiCurrentState, 3u );
	EXPECT_EQ( gStateRuns[3], 0u );
	EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
	RunFrame( object, 0.1f );
	EXPECT_EQ( gStateRuns[3], 1u );
}

TEST_F( EFLogicInstanceTest, AStateIndexWithoutAFunctionRunsNothing ) {
	const u32 states[] = { 2, 29, 30, 5000, EF_LOGIC_NO_STATE };
	EFGameObject* const object = CountingObject( OBJECT_A );
	RunFrame( object, 0.1f );
	for ( const u32 state : states ) {
		object->moLogicInstance.SetNextState( state );
		RunFrame( object, 0.1f );
		EXPECT_EQ( EFLogicStack::GetLevel(), 0 ) << state;
	}
	EXPECT_EQ( gStateRuns[0] + gStateRuns[1] + gStateRuns[3], 0u );
}

TEST_F( EFLogicInstanceTest, MessagesReturnTheFunctionsResultOrZeroWhenLeftByAJump ) {
	const struct {
		const char*				name;
		LogicMessageFunction	function;
		s32						result;
		u32						state;
	} rows[] = {
		{ "a plain message", ReturnSeven, 7, 0 },
		{ "a message that breaks", BreakingMessage, 0, 0 },
		{ "a message that changes the state", ChangingMessage, 0, 5 },
		{ "no message function", nullptr, 0, 0 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		EFGameObject* const object = CountingObject( OBJECT_A );
		RunFrame( object, 0.1f );
		object->moLogicInstance.SetMessageFunc( row.function );
		// Messages reach a sleeping instance.
		object->moLogicInstance.Sleep( -1.0f );
		EXPECT_EQ( manager->SendLogicMessageTo( OBJECT_A, 1, 2, nullptr, nullptr ), row.result );
		EXPECT_EQ( object->moLogicInstance.muiCurrentState, row.state );
		EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
		gpoWorldMgr->Terminate();
	}
}

TEST_F( EFLogicInstanceTest, AnObjectWithoutCodeGetsFlagOneAndAnswersZero ) {
	EFGameObject* const object = AddObject( OBJECT_A, nullptr );
	object->moLogicInstance.SetMessageFunc( ReturnSeven );
	RunFrame( object, 0.1f );
	EXPECT_EQ( object->moLogicInstance.muiFlags, EF_LOGIC_NO_CODE | EF_LOGIC_CONSTRUCTED );
	EXPECT_EQ( gpoLogicStack->mppGameObj[0], nullptr );
	EXPECT_EQ( manager->SendLogicMessageTo( OBJECT_A, 1, 2, nullptr, nullptr ), 0 );
	u32 value = 5;
	EXPECT_EQ( object->moLogicInstance.CallCB( 0, &value ), 0 );
	EXPECT_EQ( value, 5u );
}

TEST_F( EFLogicInstanceTest, CallbacksPassTheirDataAndRecordTheirIndex ) {
	LogicFakeModule& module = Module();
	module.SetFunctions( { { 6, EchoCallback } } );
	EFGameObject* const object = AddObject( OBJECT_A, &module );
	u32 value = 1;
	EXPECT_EQ( object->moLogicInstance.CallCB( 6, &value ), 40 );
	EXPECT_EQ( value, 2u );
	EXPECT_EQ( EFLogicInstance::muiCurrentCallBack, 6u );
	EXPECT_EQ( object->moLogicInstance.CallCB( 7, &value ), 0 );
	EXPECT_EQ( value, 2u );
	EXPECT_EQ( EFLogicInstance::muiCurrentCallBack, 7u );
	EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
}

TEST_F( EFLogicInstanceTest, LocalDataKeepsItsLargestBlockAndWhatWasWrittenInIt ) {
	struct Row {
		const char*			name;
		LogicConstructorFn	constructor;
		s32					size;
		u8					byte20;
	};
	const Row rows[] = {
		{ "16 then 32 bytes", SixteenThenThirtyTwoConstructor, 32, 0 },
		{ "32, 16, then 32 bytes", GrowingLocalsConstructor, 32, 0x5A },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ResetRecords();
		LogicFakeModule& module = Module();
		module.SetConstructor( row.constructor );
		EFGameObject* const object = AddObject( OBJECT_A, &module );
		RunFrame( object, 0.1f );
		const EFLogicInstance& instance = object->moLogicInstance;
		ASSERT_NE( instance.mpLocalData, nullptr );
		EXPECT_EQ( instance.muiLocalDataSize, row.size );
		EXPECT_EQ( gLocal, instance.mpLocalData );
		EXPECT_EQ( gLocalB, instance.mpLocalData );
		const u8* const bytes = static_cast<const u8*>( instance.mpLocalData );
		for ( s32 i = 0; i < row.size; i++ ) {
			EXPECT_EQ( bytes[i], i == 20 ? row.byte20 : 0 ) << i;
		}
		gpoWorldMgr->Terminate();
	}
}

TEST_F( EFLogicInstanceTest, EachInstanceSeesItsOwnLocalData ) {
	LogicFakeModule& module = Module();
	module.SetConstructor( OwnLocalsConstructor );
	EFGameObject* const a = AddObject( OBJECT_A, &module );
	EFGameObject* const b = AddObject( OBJECT_B, &module );
	RunFrame( a, 0.1f );
	RunFrame( b, 0.1f );
	EXPECT_NE( a->moLogicInstance.mpLocalData, b->moLogicInstance.mpLocalData );
	for ( EFGameObject* const object : { a, b, a } ) {
		RunFrame( object, 0.1f );
		EXPECT_EQ( gLocal, object->moLogicInstance.mpLocalData );
		EXPECT_EQ( *static_cast<EFGameObject**>( gLocal ), object );
	}
	EXPECT_EQ( module.GetRefCount(), 2u );
}

TEST_F( EFLogicInstanceTest, ANestedMessageGivesTheCallerItsLocalDataBack ) {
	LogicFakeModule& module = Module();
	module.SetConstructor( MessagingConstructor );
	EFGameObject* const a = AddObject( OBJECT_A, &module );
	EFGameObject* const b = AddObject( OBJECT_B, &module );
	RunFrame( a, 0.1f );
	RunFrame( b, 0.1f );
	RunFrame( a, 0.1f );
	EXPECT_EQ( gSeen[0], a->moLogicInstance.mpLocalData );
	EXPECT_EQ( gSeen[1], b->moLogicInstance.mpLocalData );
	EXPECT_EQ( gSeen[2], a->moLogicInstance.mpLocalData );
}

TEST_F( EFLogicInstanceTest, CallsNestedPastNineFramesAreRefusedAndTheCallersRecover ) {
	LogicFakeModule& module = Module();
	module.SetConstructor( ChainConstructor );
	constexpr u32 CHAIN = 12;
	for ( u32 i = 0; i < CHAIN; i++ ) {
		RunFrame( AddObject( OBJECT_A + i, &module ), 0.1f );
	}
	EXPECT_EQ( manager->SendLogicMessageTo( OBJECT_A, 0, OBJECT_A, nullptr, nullptr ), 1 );
	EXPECT_EQ( gMaxDepth, 9u );
	for ( u32 depth = 1; depth <= 9; depth++ ) {
		SCOPED_TRACE( depth );
		EXPECT_NE( gSeen[depth], nullptr );
		EXPECT_EQ( gNestedResults[depth], depth < 9 ? static_cast<s32>( depth + 1 ) : 0 );
	}
	EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
	for ( s32 i = 0; i < EF_LOGIC_STACK_DEPTH; i++ ) {
		EXPECT_EQ( gpoLogicStack->mppGameObj[i], nullptr ) << i;
		EXPECT_EQ( gpoLogicStack->mppLogicInstance[i], nullptr ) << i;
	}
}

TEST_F( EFLogicInstanceTest, LeavingWithoutARunningCallDoesNothing ) {
	EFGameObject* const object = CountingObject( OBJECT_A );
	RunFrame( object, 0.1f );
	object->moLogicInstance.ChangeState( 3 );
	EXPECT_EQ( object->moLogicInstance.muiCurrentState, 0u );
	object->moLogicInstance.Break();
	EXPECT_EQ( EFLogicStack::GetLevel(), 0 );
}

TEST_F( EFLogicInstanceTest, OnlyAConstructedInstanceGivesItsCountBack ) {
	EFGameObject* const ran = CountingObject( OBJECT_A );
	LogicFakeModule* const module = static_cast<LogicFakeModule*>( ran->moLogicInstance.mpLogicCode );
	AddObject( OBJECT_B, module );
	RunFrame( ran, 0.1f );
	EXPECT_EQ( module->GetRefCount(), 1u );
	// The level ends before the second object's first frame.
	gpoWorldMgr->Terminate();
	EXPECT_EQ( module->GetRefCount(), 0u );
	EXPECT_EQ( gDestructed, 1u );
	EXPECT_EQ( gLastCount, 0 );
}

TEST_F( EFLogicInstanceTest, LibraryInstancesArePausedAfterConstructionUnlessLaunched ) {
	LogicFakeModule& module = Module();
	module.SetConstructor( CountingConstructor );
	module.SetRegisterLib( LibraryRegister );
	EFGameObject* const run = AddObject( OBJECT_A, &module );
	EFGameObject* const launched = AddObject( OBJECT_B, &module );
	RunFrame( run, 0.1f );
	manager->LaunchLogicNow( launched );
	EXPECT_EQ( run->moLogicInstance.muiFlags & EF_LOGIC_PAUSED, EF_LOGIC_PAUSED );
	EXPECT_EQ( launched->moLogicInstance.muiFlags & EF_LOGIC_PAUSED, 0u );
	RunFrame( run, 0.1f );
	RunFrame( launched, 0.1f );
	EXPECT_EQ( gStateRuns[0], 1u );
	EXPECT_EQ( gConstructed, 2u );
}
