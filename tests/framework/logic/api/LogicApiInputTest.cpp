/*
	The input and simple-input tables over the input mapping: the simple
	table's numbering, the trigger and device of every registration, a
	configuration switched on at the next frame, and vibration switched
	off with its motors stopped.
*/
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicFakeModule.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputContext.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/input/EFPlayerDevice.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/LogicApiTables.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/pad/PADTestSupport.h"

#include <functional>
#include <vector>

namespace {

constexpr u32 OBJECT		= 0x2A000051;
constexpr u32 FN_REGISTER	= 1;
constexpr u32 FN_CALLBACK	= 2;
constexpr u32 FN_SEEN		= 3;

std::function<s32()>	gRegistration;
s32						gRegistered = 0;

s32 Registers( void* ) {
	gRegistered = gRegistration();
	return 0;
}

s32 Nothing( void* ) {
	return 0;
}

std::vector<ActionState>	gSeen;

// An input error comes without data.
s32 Seen( void* data ) {
	gSeen.push_back( data != nullptr ? *static_cast<const ActionState*>( data ) : ActionState{} );
	return 0;
}

class LogicApiInputTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		PADHostReset();
		gSeen.clear();
		controller = new EFEngineController( context );
		ASSERT_EQ( gpoPlayerDeviceMgr->Initialize(), 1u );
		gpoPlayerDeviceMgr->Update( 0.0f );
		Init_input();
		Init_SimpleInput();
		module.SetFunctions( { { FN_REGISTER, Registers }, { FN_CALLBACK, Nothing }, { FN_SEEN, Seen } } );
		object = new EFGameObject;
		object->SetUID( OBJECT );
		object->moLogicInstance.mpLogicCode = &module;
		gpoWorldMgr->AddGameObject( object );
	}

	void TearDown() override {
		if ( object != nullptr ) {
			gpoWorldMgr->RemoveGameObject( OBJECT );
			object->Terminate();
			delete object;
		}
		delete controller;
		PADHostReset();
		EFCoreTestBench::TearDown();
	}

	// Runs a registration as the object's logic.
	s32 AsLogic( std::function<s32()> registration ) {
		gRegistration = std::move( registration );
		EFLogicCallbackRecord record = EFLogicCallbackRecordOf( object, FN_REGISTER );
		EFGameLogicMgr::ExecLogicCallback( &record, nullptr );
		return gRegistered;
	}

	EFAppContext		context{};
	EFEngineController*	controller = nullptr;
	LogicFakeModule		module;
	EFGameObject*		object = nullptr;
};

TEST_F( LogicApiInputTest, SimpleConfigurationsAndActionsAreNumberedInOrder ) {
	// Before any configuration nothing is added.
	EXPECT_EQ( APIsimpleinput.AddButtonDownCallback( FN_CALLBACK, 0 ), -1 );
	EXPECT_EQ( APIsimpleinput.ConfigCreate(), 55556 );
	// Outside logic the context is refused; the action and its id stay.
	const s32 expected[] = { 0, 1, 2 };
	for ( const s32 id : expected ) {
		EXPECT_EQ( APIsimpleinput.AddLeftJoystickCallback( FN_CALLBACK ), id );
		EXPECT_NE( gpoInputMgr->InputActionGet( 55556, id ), nullptr );
	}
	EXPECT_EQ( gpoInputMgr->InputActionGet( 55556, 0 )->GetFirstContext(), nullptr );
	EXPECT_EQ( APIsimpleinput.ConfigCreate(), 55557 );
	EXPECT_EQ( APIsimpleinput.AddKeyboardUpCallback( FN_CALLBACK, 4 ), 0 );
	Init_SimpleInput();
	EXPECT_EQ( APIsimpleinput.ConfigCreate(), 55556 );
}

TEST_F( LogicApiInputTest, EveryRegistrationSetsItsTriggerAndItsDevice ) {
	struct Row {
		const char*				name;
		std::function<s32()>	registration;
		u32						trigger;
		s32						device;	// 0: none accepted (the keyboard)
	};
	const Row rows[] = {
		{ "left stick", [] { return APIsimpleinput.AddLeftJoystickCallback( FN_CALLBACK ); }, 0x20000, 16 },
		{ "left stick idle", [] { return APIsimpleinput.AddLeftJoystickIdleCallback( FN_CALLBACK ); }, 0x10000, 16 },
		{ "right stick", [] { return APIsimpleinput.AddRightJoystickCallback( FN_CALLBACK ); }, 0x20000, 16 },
		{ "right stick idle on 17", [] { return APIsimpleinput.AddRightJoystickIdleCallback_Port( FN_CALLBACK, 17 ); },
		  0x10000, 17 },
		{ "button down", [] { return APIsimpleinput.AddButtonDownCallback( FN_CALLBACK, 0 ); }, 0x20, 16 },
		{ "button up on 18", [] { return APIsimpleinput.AddButtonUpCallback_Port( FN_CALLBACK, 1, 18 ); }, 0x40, 18 },
		{ "button pushed", [] { return APIsimpleinput.AddButtonPushedCallback( FN_CALLBACK, 2 ); }, 0x8, 16 },
		{ "button released on 19", [] { return APIsimpleinput.AddButtonReleasedCallback_Port( FN_CALLBACK, 3, 19 ); },
		  0x10, 19 },
		{ "key down", [] { return APIsimpleinput.AddKeyboardDownCallback( FN_CALLBACK, 5 ); }, 0x20, 0 },
		{ "key released", [] { return APIsimpleinput.AddKeyboardReleasedCallback( FN_CALLBACK, 5 ); }, 0x10, 0 },
	};
	const s32 config = APIsimpleinput.ConfigCreate();
	s32 id = 0;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const u16 users = row.device != 0 ? gpoPlayerDeviceMgr->GetDevice( static_cast<EFDeviceID_e>( row.device ) )->GetNbUsers() : 0;
		EXPECT_EQ( AsLogic( row.registration ), id );
		const EFInputAction* const action = gpoInputMgr->InputActionGet( config, id );
		ASSERT_NE( action, nullptr );
		ASSERT_NE( action->GetFirstContext(), nullptr );
		EXPECT_EQ( action->GetFirstContext()->GetTrigger(), row.trigger );
		if ( row.device != 0 ) {
			// The binding acquired its controller.
			EXPECT_GT( gpoPlayerDeviceMgr->GetDevice( static_cast<EFDeviceID_e>( row.device ) )->GetNbUsers(), users );
			EXPECT_NE( action->GetSlot( 0 ), nullptr );
		} else {
			EXPECT_EQ( action->GetSlot( 0 ), nullptr );
		}
		// The action's state word is its context's.
		APIsimpleinput.ActionSetState( static_cast<u32>( config ), static_cast<u32>( id ), 0x55 );
		EXPECT_EQ( APIsimpleinput.ActionGetState( static_cast<u32>( config ), static_cast<u32>( id ) ), 0x55u );
		id++;
	}
}

TEST_F( LogicApiInputTest, EnablingWaitsForTheNextFrameAndDisablingIsAtOnce ) {
	const u32 config = static_cast<u32>( APIsimpleinput.ConfigCreate() );
	APIsimpleinput.ConfigDisable( config );
	EXPECT_EQ( APIsimpleinput.ConfigIsEnabled( config ), 0u );
	APIsimpleinput.ConfigEnable( config );
	EXPECT_EQ( APIsimpleinput.ConfigIsEnabled( config ), 0u );
	gpoPlayerDeviceMgr->StartFrame();
	EXPECT_EQ( APIsimpleinput.ConfigIsEnabled( config ), 1u );
	EXPECT_EQ( APIinput.ConfigIsActive( static_cast<s32>( config ) ), 1u );
	APIsimpleinput.ConfigDisable( config );
	EXPECT_EQ( APIsimpleinput.ConfigIsEnabled( config ), 0u );
}

TEST_F( LogicApiInputTest, SwitchingVibrationOffStopsEveryMotorFirst ) {
	EFPlayerDevice* const device = gpoPlayerDeviceMgr->GetDevice( EF_DEVICE_PAD0 );
	ASSERT_NE( device, nullptr );
	device->SetNbOutput( 2 );
	APIinput.InputEnableVibration( EF_DEVICE_PAD0, 1 );
	EXPECT_TRUE( device->IsVibrationEnabled() );
	for ( u32 motor = 0; motor < 2; motor++ ) {
		APIinput.InputSetVibration( EF_DEVICE_PAD0, motor, 1.0f, 0.0f, 5.0f, 0.0f );
	}
	for ( u32 motor = 0; motor < 2; motor++ ) {
		EXPECT_EQ( device->GetVibrationEvent( motor )->mfTarget, 1.0f );
	}
	APIinput.InputEnableVibration( EF_DEVICE_PAD0, 0 );
	EXPECT_FALSE( device->IsVibrationEnabled() );
	for ( u32 motor = 0; motor < 2; motor++ ) {
		EXPECT_EQ( device->GetVibrationEvent( motor )->mfTarget, 0.0f );
	}
}

}

namespace {

TEST_F( LogicApiInputTest, AnUnpluggedControllerTellsItsListenerUntilItDies ) {
	APIinput.InputErrorRegisterNotify( 0, 0x2A000999, FN_SEEN );
	EXPECT_EQ( gpoPlayerDeviceMgr->GetDevice( EF_DEVICE_PAD0 )->GetInputErrorInstance(), nullptr );
	APIinput.InputErrorRegisterNotify( 0, OBJECT, FN_SEEN );
	for ( const EFDeviceID_e id : { EF_DEVICE_PAD0, EF_DEVICE_PAD3 } ) {
		EXPECT_EQ( gpoPlayerDeviceMgr->GetDevice( id )->GetInputErrorInstance(), object );
	}
	EXPECT_EQ( gpoGameLogicMgr->GetNotificationMgr().GetTargetCount( NO_INPUT_ERROR ), 1u );
	// Unplugging port 0 runs the object's function.
	ASSERT_TRUE( PADHostSetStatusFromNow( 0, ErrorReading( PAD_ERR_NO_CONTROLLER ) ) );
	gpoPlayerDeviceMgr->Update( 0.02f );
	EXPECT_EQ( gSeen.size(), 1u );
	gpoWorldMgr->RemoveGameObject( OBJECT );
	object->Terminate();
	delete object;
	object = nullptr;
	for ( const EFDeviceID_e id : { EF_DEVICE_PAD0, EF_DEVICE_PAD3 } ) {
		EXPECT_EQ( gpoPlayerDeviceMgr->GetDevice( id )->GetInputErrorInstance(), nullptr );
	}
	EXPECT_EQ( gpoGameLogicMgr->GetNotificationMgr().GetTargetCount( NO_INPUT_ERROR ), 0u );
	gpoPlayerDeviceMgr->Update( 0.02f );
	EXPECT_EQ( gSeen.size(), 1u );
}

}

namespace {

TEST_F( LogicApiInputTest, APressReachesTheContextsObjectWithItsValueAndNoUnknownObject ) {
	constexpr s32 CONFIG = 7;
	constexpr s32 ACTION = 1;
	// Port 0 read once at rest, so that a press is seen as one.
	gpoPlayerDeviceMgr->AcquirePlayerDevice( EF_DEVICE_PAD0 )->Update( 0.0f );
	APIinput.InputConfigAdd( CONFIG );
	APIinput.InputActionAdd( CONFIG, ACTION, 99 );
	APIinput.InputDeviceAdd( CONFIG, ACTION, 0, EF_DEVICE_PAD0, 0, 2, 100, 0 );
	APIinput.InputContextAdd( 0x2A000999, FN_SEEN, CONFIG, ACTION, 2, 0x8 );
	EXPECT_EQ( gpoInputMgr->InputContextGet( CONFIG, ACTION, 2 ), nullptr );
	APIinput.InputContextAdd( OBJECT, FN_SEEN, CONFIG, ACTION, 1, 0x8 );
	APIinput.InputContextSetFlags( CONFIG, ACTION, 1, 0xFFFFFFFF );
	EXPECT_EQ( APIinput.InputContextGetState( CONFIG, ACTION, 1 ), 0xFFFFFFFFu );
	APIinput.InputConfigActivate( CONFIG, 1 );
	for ( u32 frame = 0; frame < EF_INPUT_WARM_UP_FRAMES + 2; frame++ ) {
		gpoPlayerDeviceMgr->StartFrame();
		gpoPlayerDeviceMgr->Update( 0.02f );
	}
	EXPECT_TRUE( gSeen.empty() );
	ASSERT_TRUE( PADHostSetStatusFromNow( 0, Reading( PAD_BUTTON_A ) ) );
	gpoPlayerDeviceMgr->StartFrame();
	gpoPlayerDeviceMgr->Update( 0.02f );
	ASSERT_EQ( gSeen.size(), 1u );
	EXPECT_NE( gSeen[0].flags & 0x8, 0u );
	EXPECT_EQ( APIinput.InputActionTogglePush( CONFIG, ACTION ), 1 );
	EXPECT_EQ( APIinput.InputActionIsPush( CONFIG, ACTION ), 1 );
	EXPECT_EQ( APIinput.InputActionIsRelease( CONFIG, ACTION ), 0 );
}

}
