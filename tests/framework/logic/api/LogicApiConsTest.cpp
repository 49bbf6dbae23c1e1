#include "framework/logic/LogicWorldFixture.h"

#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiCons.h"
#include "framework/logic/api/LogicApiTable.h"

#include <cstring>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;

void*	gShared;
void*	gLocal;
const char*	gTraceInside;

s32 Marker( void* ) {
	return 11;
}

s32 OtherMarker( void* ) {
	return 12;
}

s32 NoteMessage( u32, u32, void* ) {
	return 3;
}

// Calls every filled slot as a state, a message or a callback would.
s32 CallEverySlot( void* ) {
	APIcons.GetGlobalData( &gShared, 16 );
	APIcons.GetLocalData( &gLocal, 16 );
	APIcons.SetInitialState( 4 );
	APIcons.SetMessageFunction( NoteMessage );
	return 0;
}

// A message function registering a function in its receiver's module.
s32 RegisteringMessage( u32, u32, void* ) {
	APIcons.SetExternalFunction( 9, OtherMarker );
	gTraceInside = EFApiTrace::mFuncName;
	return APIcons.GetExternalFunction( 9 ) == OtherMarker ? 1 : 0;
}

void RegisteringConstructor( _api_cons* api, s32 ) {
	api->SetExternalFunction( 2, Marker );
	api->SetExternalFunction( -1, OtherMarker );
	api->GetGlobalData( &gShared, 24 );
	api->GetLocalData( &gLocal, 12 );
	api->SetInitialState( 2 );
	api->SetMessageFunction( RegisteringMessage );
}

}

class LogicApiConsTest : public LogicWorldFixture {
protected:
	void SetUp() override {
		LogicWorldFixture::SetUp();
		gShared = gLocal = nullptr;
		gTraceInside = nullptr;
	}
	void TearDown() override {
		Init_cons();
		LogicWorldFixture::TearDown();
	}
};

TEST_F( LogicApiConsTest, EverySlotHoldsAStubReturningZeroBeforeTheTableIsFilled ) {
	InitAPI( &APIcons, LOGIC_API_CONS_SLOTS, &APIconsStubs );
	EXPECT_EQ( std::memcmp( &APIcons, &APIconsStubs, sizeof( _api_cons ) ), 0 );
	LogicFakeModule& module = Module();
	module.SetFunction( 0, Marker );
	EFGameObject* const object = AddObject( OBJECT_A, &module );
	object->moLogicInstance.PushLogic( FLAG_CONSTRUCTOR_EXE );
	APIcons.SetExternalFunction( 1, Marker );
	APIcons.GetLocalData( &gLocal, 8 );
	APIcons.SetInitialState( 3 );
	EXPECT_EQ( APIcons.GetExternalFunction( 0 ), nullptr );
	EXPECT_EQ( APIcons.GetApiGameObj(), nullptr );
	EXPECT_EQ( APIcons.GetApiCustom( const_cast<char*>( "ANY" ) ), nullptr );
	APIcons.Pad[15]();
	EFLogicInstance::PopLogic();
	EXPECT_TRUE( ApiConsNotInitDone() );
	EXPECT_EQ( module.GetFunction( 1 ), nullptr );
	EXPECT_EQ( gLocal, nullptr );
	EXPECT_EQ( object->moLogicInstance.muiCurrentState, EF_LOGIC_NO_STATE );
}

TEST_F( LogicApiConsTest, AConstructorRegistersItsFunctionsDataStateAndMessageFunction ) {
	LogicFakeModule& module = Module();
	module.SetConstructor( RegisteringConstructor );
	EFGameObject* const object = AddObject( OBJECT_A, &module );
	manager->LaunchLogicNow( object );
	const EFLogicInstance& instance = object->moLogicInstance;
	EXPECT_EQ( module.GetFunction( 2 ), Marker );
	// A negative index reaches no slot.
	EXPECT_EQ( module.GetFunctionCount(), 30 );
	EXPECT_EQ( gShared, module.GetGlobalData() );
	EXPECT_EQ( module.GetGlobalDataSize(), 24u );
	EXPECT_EQ( gLocal, instance.mpLocalData );
	EXPECT_EQ( instance.muiLocalDataSize, 12 );
	EXPECT_EQ( instance.muiCurrentState, 2u );
	EXPECT_EQ( instance.mpfnLogicMessage, RegisteringMessage );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
}

TEST_F( LogicApiConsTest, DataAndStateSlotsActOnlyInsideAConstructorCall ) {
	struct Row {
		const char*		name;
		ObjectFlags_e	kind;
		bool			data;
		bool			state;
	};
	const Row rows[] = {
		{ "state", FLAG_STATE_EXE, false, false },
		{ "callback", FLAG_CALLBACK_EXE, false, false },
		{ "message", FLAG_SENDMESSAGE_EXE, false, false },
		{ "destructor", FLAG_DESTRUCTOR_EXE, false, false },
		{ "constructor", FLAG_CONSTRUCTOR_EXE, true, true },
		{ "reloading", FLAG_RELOADING_EXE, true, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		gShared = gLocal = nullptr;
		LogicFakeModule& module = Module();
		EFGameObject* const object = AddObject( OBJECT_A, &module );
		object->moLogicInstance.SetNextState( 1 );
		ASSERT_TRUE( object->moLogicInstance.PushLogic( row.kind ) );
		CallEverySlot( nullptr );
		EFLogicInstance::PopLogic();
		EXPECT_EQ( gShared != nullptr, row.data );
		EXPECT_EQ( gLocal != nullptr, row.data );
		EXPECT_EQ( object->moLogicInstance.muiCurrentState, row.state ? 4u : 1u );
		// The message function is set whatever the kind.
		EXPECT_EQ( object->moLogicInstance.mpfnLogicMessage, NoteMessage );
		gpoWorldMgr->Terminate();
	}
}

TEST_F( LogicApiConsTest, AMessageFunctionRegistersInTheReceiversModule ) {
	LogicFakeModule& module = Module();
	module.SetConstructor( RegisteringConstructor );
	EFGameObject* const object = AddObject( OBJECT_A, &module );
	manager->LaunchLogicNow( object );
	EXPECT_EQ( manager->SendLogicMessageTo( OBJECT_A, 0, 0, nullptr, nullptr ), 1 );
	EXPECT_EQ( module.GetFunction( 9 ), OtherMarker );
	// A traced slot clears the name before it returns.
	EXPECT_EQ( gTraceInside, nullptr );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
}

TEST_F( LogicApiConsTest, SlotsWithoutARunningCallDoNothing ) {
	ASSERT_EQ( EFLogicStack::GetLevel(), 0 );
	APIcons.SetExternalFunction( 0, Marker );
	APIcons.GetGlobalData( &gShared, 16 );
	APIcons.GetLocalData( &gLocal, 16 );
	APIcons.SetInitialState( 1 );
	APIcons.SetMessageFunction( NoteMessage );
	EXPECT_EQ( APIcons.GetExternalFunction( 0 ), nullptr );
	EXPECT_EQ( gShared, nullptr );
	EXPECT_EQ( gLocal, nullptr );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
}
