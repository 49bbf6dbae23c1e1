#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/logic/LogicFakeModule.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/input/EFPlayerDevice.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/video/EFVideoPlayer.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/pad/PADTestSupport.h"
#include "platform/vi/VI.h"

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr EFDeviceID_e TEST_DEVICE = static_cast<EFDeviceID_e>( 30 );

// A device whose analog value 0 the test writes directly, for values no
// controller record gives exactly.
class InputTestDevice : public EFPlayerDevice {
public:
	InputTestDevice()
		: EFPlayerDevice( TEST_DEVICE ) { SetNbAnalog( 1 ); }
	void DeviceSpecificUpdate() override { mpfAnalog[0] = analog; }
	f32	 analog = 0.0f;
};

// Binding kinds and inputs of the controller layout.
constexpr s32 KIND_X	   = 0;
constexpr s32 KIND_Y	   = 1;
constexpr s32 KIND_DIGITAL = 2;
constexpr s32 BUTTON_A	   = 0;
constexpr s32 BUTTON_B	   = 2;
constexpr s32 STICK_X	   = EF_INPUT_ANALOG_INPUT | 0;
constexpr s32 STICK_Y	   = EF_INPUT_ANALOG_INPUT | 1;
constexpr s32 CSTICK_X	   = EF_INPUT_ANALOG_INPUT | 3;
constexpr s32 CSTICK_Y	   = EF_INPUT_ANALOG_INPUT | 4;

// The device's reading of a main-stick and a C-stick position.
constexpr f32 Main( const s32 v ) {
	return static_cast<f32>( v ) / 56.0f;
}
constexpr f32 Sub( const s32 v ) {
	return static_cast<f32>( v ) / 44.0f;
}

struct Bind {
	s32			 slot;
	s32			 kind;
	s32			 percent;
	s32			 input;
	EFDeviceID_e device = EF_DEVICE_PAD0;
};

// One frame: what the devices read, an optional switch of the
// configuration before it, and the action's value after it.
struct Step {
	PADStatus pad	   = {};
	f32		  test	   = 0.0f; // the test device's analog 0
	s32		  activate = -1;   // -1: no switch
	f32		  x		   = 0.0f;
	f32		  y		   = 0.0f;
	u32		  flags	   = 0;
};

struct Row {
	const char*		  name;
	std::vector<Bind> binds;
	std::vector<Step> steps;
	// The row starts on a manager that has not warmed up.
	bool countsWarmUp = false;
};

// --- Logic the contexts call ---

struct Seen {
	std::vector<u32> tags;
	ActionState		 value	= {};
	const void*		 data	= nullptr;
	EFGameObject*	 object = nullptr;
};
Seen gSeen;

// What the meddling callback does to the lists; true when a lookup still
// finds what it removed.
bool ( *gMeddle )()		  = nullptr;
bool gFoundDuringCallback = false;

constexpr u32 FN_NOTE	= 1;
constexpr u32 FN_MEDDLE = 2;
constexpr u32 FN_TAG_B	= 3;
constexpr u32 FN_TAG_C	= 4;
constexpr u32 FN_TAG_D	= 5;

s32 Note( void* data ) {
	gSeen.tags.push_back( FN_NOTE );
	gSeen.data	 = data;
	gSeen.value	 = *static_cast<const ActionState*>( data );
	gSeen.object = EFLogicStack::GetRunningGameObject();
	return 0;
}

template <u32 TAG>
s32 Tag( void* ) {
	gSeen.tags.push_back( TAG );
	return 0;
}

s32 Meddle( void* ) {
	gSeen.tags.push_back( FN_MEDDLE );
	gFoundDuringCallback = gMeddle != nullptr && gMeddle();
	return 0;
}

// Configuration 3 with one action on button A calling FN_TAG_D while down.
bool AddConfiguration() {
	if ( gpoInputMgr->InputConfigGet( 3 ) == nullptr ) {
		EFInputConfig* const config = gpoInputMgr->InputConfigAdd( 3 );
		EFInputAction* const action = config->InputActionAdd( 30 );
		action->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_A );
		action->InputContextAdd( config, 1, EF_ACTION_DOWN, EFGameLogicMgr::ExecLogicCallback,
								 EFLogicStack::GetRunningGameObject(), FN_TAG_D );
	}
	return false;
}

// A controller with its player devices and input manager, not started.
class EFInputMgrTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		PADHostReset();
		gSeen	   = Seen();
		gMeddle	   = nullptr;
		controller = new EFEngineController( context );
		ASSERT_EQ( gpoPlayerDeviceMgr->Initialize(), 1u );
		device = new InputTestDevice();
		gpoPlayerDeviceMgr->AddPlayerDevice( device );
		// The first update only activates the devices. Port 0 is read once
		// at rest, so that its buttons are not hidden as held at start.
		gpoPlayerDeviceMgr->Update( 0.0f );
		gpoPlayerDeviceMgr->AcquirePlayerDevice( EF_DEVICE_PAD0 )->Update( 0.0f );
		input = gpoInputMgr;
		ASSERT_NE( input, nullptr );
		module.SetFunctions( { { FN_NOTE, Note }, { FN_MEDDLE, Meddle }, { FN_TAG_B, Tag<FN_TAG_B> }, { FN_TAG_C, Tag<FN_TAG_C> }, { FN_TAG_D, Tag<FN_TAG_D> } } );
	}

	void TearDown() override {
		gpoWorldMgr->Terminate();
		delete controller;
		EXPECT_EQ( gpoInputMgr, nullptr );
		PADHostReset();
		EFCoreTestBench::TearDown();
	}

	static void Frame() {
		gpoPlayerDeviceMgr->StartFrame();
		gpoPlayerDeviceMgr->Update( 0.02f );
	}

	static void WarmUp() {
		for ( u32 i = 0; i < EF_INPUT_WARM_UP_FRAMES; i++ ) {
			Frame();
		}
	}

	static void Hold( const PADStatus& pad ) {
		ASSERT_TRUE( PADHostSetStatusFromNow( 0, pad ) );
	}

	// A game object in the world running the test module (or none).
	EFGameObject* Object( const u32 id, const bool withCode = true ) {
		EFGameObject* const object = new EFGameObject;
		object->SetUID( id );
		object->moLogicInstance.mpLogicCode = withCode ? &module : nullptr;
		gpoWorldMgr->AddGameObject( object );
		return object;
	}

	// Each row gets its own configuration, removed afterwards.
	void RunRows( const std::vector<Row>& rows ) {
		bool counting = true;
		s32	 id		  = 100;
		for ( const Row& row : rows ) {
			SCOPED_TRACE( row.name );
			if ( counting && !row.countsWarmUp ) {
				WarmUp();
			}
			counting					= false;
			EFInputConfig* const config = input->InputConfigAdd( id );
			EFInputAction* const action = config->InputActionAdd( 1 );
			for ( const Bind& bind : row.binds ) {
				ASSERT_NE( action->InputDeviceAdd( 0, bind.device, bind.slot, bind.kind, bind.percent, bind.input ), nullptr );
			}
			u32 frame = 0;
			for ( const Step& step : row.steps ) {
				SCOPED_TRACE( "frame " + std::to_string( ++frame ) );
				Hold( step.pad );
				device->analog = step.test;
				if ( step.activate >= 0 ) {
					config->SetActive( step.activate != 0 );
				}
				Frame();
				EXPECT_EQ( action->GetState().x, step.x );
				EXPECT_EQ( action->GetState().y, step.y );
				EXPECT_EQ( action->GetState().flags, step.flags ) << std::hex << action->GetState().flags;
			}
			input->InputConfigRemove( id++ );
		}
	}

	EFAppContext		context{};
	EFEngineController* controller = nullptr;
	InputTestDevice*	device	   = nullptr;
	EFInputMgr*			input	   = nullptr;
	LogicFakeModule		module{ 0x77 };
};

constexpr u16 A = PAD_BUTTON_A;
constexpr u16 B = PAD_BUTTON_B;

TEST_F( EFInputMgrTest, FoldsTheEdgeCasesOfButtonsSticksAndSwitching ) {
	const Step held = { .pad = Reading( A ), .flags = 0x10021 };
	RunRows( {
		{ "the first five counted frames change nothing",
		  { { 0, KIND_DIGITAL, 100, BUTTON_A } },
		  { { .pad = Reading( A ) }, { .pad = Reading( A ) }, { .pad = Reading( A ) }, { .pad = Reading( A ) }, { .pad = Reading( A ) }, { .pad = Reading( A ), .flags = 0x10029 }, held },
		  true },
		{ "a two-button chord is down only while both are",
		  { { 0, KIND_DIGITAL, 100, BUTTON_A }, { 0, KIND_DIGITAL, 100, BUTTON_B } },
		  { { .flags = 0x10041 }, { .pad = Reading( A ), .flags = 0x10001 }, { .pad = Reading( A | B ), .flags = 0x10029 }, { .pad = Reading( A | B ), .flags = 0x10021 }, { .pad = Reading( B ), .flags = 0x10011 }, { .flags = 0x10041 } } },
		{ "a button held while the configuration comes on gives no press",
		  { { 0, KIND_DIGITAL, 100, BUTTON_A } },
		  { { .pad = Reading( A ), .activate = 0 }, { .pad = Reading( A ), .activate = 1, .flags = 0x10021 }, { .flags = 0x10051 }, { .pad = Reading( A ), .flags = 0x10029 } } },
		{ "x from 0.5 to 0.9 with y at 0.2 flicks right once",
		  { { 0, KIND_X, 100, STICK_X }, { 0, KIND_Y, 100, STICK_Y } },
		  { { .pad = Reading( 0, 28, 11 ), .x = Main( 28 ), .y = Main( 11 ), .flags = 0x20006 },
			{ .pad = Reading( 0, 51, 11 ), .x = Main( 51 ), .y = Main( 11 ), .flags = 0x820006 },
			{ .pad = Reading( 0, 51, 11 ), .x = Main( 51 ), .y = Main( 11 ), .flags = 0x20006 } } },
		{ "x and y crossing together flick up only",
		  { { 0, KIND_X, 100, STICK_X }, { 1, KIND_Y, 100, CSTICK_Y } },
		  { { .flags = 0x10006 }, { .pad = Reading( 0, 50, 0, 0, 42 ), .x = Main( 50 ), .y = Sub( 42 ), .flags = 0x120006 } } },
		{ "a button on x at 10 percent",
		  { { 0, KIND_X, 10, BUTTON_A } },
		  { { .pad = Reading( A ), .x = 0.5f, .flags = 0x20002 }, { .flags = 0x10002 } } },
		{ "a button on x at 100 percent",
		  { { 0, KIND_X, 100, BUTTON_A } },
		  { { .pad = Reading( A ), .x = 1.0f, .flags = 0x820002 } } },
		{ "an analog input at scale 0 passes through",
		  { { 0, KIND_X, 0, STICK_X } },
		  { { .pad = Reading( 0, 28 ), .x = 0.5f, .flags = 0x20002 } } },
	} );
}

TEST_F( EFInputMgrTest, FoldsSlotsByMagnitudeChordAndBindingOrder ) {
	RunRows( {
		{ "the larger magnitude wins per axis across slots",
		  { { 0, KIND_X, 100, STICK_X }, { 1, KIND_X, 100, CSTICK_X }, { 2, KIND_Y, 100, CSTICK_Y }, { 3, KIND_Y, 100, STICK_Y } },
		  { { .pad = Reading( 0, 28, -20, -33, 11 ), .x = Sub( -33 ), .y = Main( -20 ), .flags = 0x20006 },
			{ .pad = Reading( 0, 50, 0, 10, -40 ), .x = Main( 50 ), .y = Sub( -40 ), .flags = 0x220006 } } },
		{ "an axis behind a chord counts only while the chord is down",
		  { { 0, KIND_X, 100, STICK_X }, { 1, KIND_X, 100, CSTICK_X }, { 1, KIND_DIGITAL, 100, BUTTON_A } },
		  { { .pad = Reading( 0, 14, 0, -33 ), .x = Main( 14 ), .flags = 0x20043 },
			{ .pad = Reading( A, 14, 0, -33 ), .x = Sub( -33 ), .flags = 0x2002B },
			{ .pad = Reading( 0, 14, 0, -33 ), .x = Main( 14 ), .flags = 0x20053 } } },
		{ "a digital binding run after an analog one drops its axis",
		  { { 1, KIND_DIGITAL, 100, BUTTON_A }, { 1, KIND_X, 100, CSTICK_X } },
		  { { .pad = Reading( A, 0, 0, -33 ), .flags = 0x10029 } } },
		{ "a digital-only slot reports down, up and its release beside an analog slot",
		  { { 0, KIND_X, 100, STICK_X }, { 1, KIND_DIGITAL, 100, BUTTON_A } },
		  { { .pad = Reading( A, 28 ), .x = 0.5f, .flags = 0x2002B }, { .pad = Reading( 0, 28 ), .x = 0.5f, .flags = 0x20053 } } },
		{ "an axis at exactly the dead zone is at rest",
		  { { 0, KIND_X, 100, EF_INPUT_ANALOG_INPUT | 0, TEST_DEVICE } },
		  { { .test = 0.001f, .x = 0.001f, .flags = 0x10002 }, { .test = 0.0011f, .x = 0.0011f, .flags = 0x20002 }, { .test = -0.001f, .x = -0.001f, .flags = 0x10002 }, { .test = 7.0f, .x = 1.0f, .flags = 0x820002 } } },
	} );
}

TEST_F( EFInputMgrTest, RefusesBindingsOnMissingDevicesOrSlotsAndKeepsOnlyLowKinds ) {
	struct BindingRow {
		const char*	 name;
		EFDeviceID_e device;
		s32			 slot;
		s32			 kind;
		bool		 made;
		u8			 source;
		u16			 users; // of port 1 afterwards
	};
	const BindingRow rows[] = {
		{ "a missing device", static_cast<EFDeviceID_e>( 25 ), 0, KIND_X, false, 0, 0 },
		{ "slot -1", EF_DEVICE_PAD1, -1, KIND_X, false, 0, 0 },
		{ "slot 5", EF_DEVICE_PAD1, 5, KIND_X, false, 0, 0 },
		{ "slot 4", EF_DEVICE_PAD1, 4, KIND_DIGITAL, true, EF_INPUT_SOURCE_DIGITAL, 1 },
		{ "kind 7 is the analog-array bit", EF_DEVICE_PAD1, 0, 7, true, EF_INPUT_SOURCE_ANALOG, 2 },
		{ "kind 31 adds nothing", EF_DEVICE_PAD1, 0, 31, true, 0, 3 },
		{ "a negative kind adds nothing", EF_DEVICE_PAD1, 0, -1, true, 0, 4 },
	};
	EFInputAction* const action = input->InputConfigAdd( 1 )->InputActionAdd( 1 );
	for ( const BindingRow& row : rows ) {
		SCOPED_TRACE( row.name );
		EFInputDevice* const binding = action->InputDeviceAdd( 0, row.device, row.slot, row.kind, 100, BUTTON_A );
		ASSERT_EQ( binding != nullptr, row.made );
		if ( binding != nullptr ) {
			EXPECT_EQ( binding->GetSource(), row.source );
			EXPECT_EQ( action->GetSlot( row.slot ), binding );
		}
		EXPECT_EQ( gpoPlayerDeviceMgr->GetDevice( EF_DEVICE_PAD1 )->GetNbUsers(), row.users );
	}
}

TEST_F( EFInputMgrTest, ADemoCountdownKeepsEveryActionAndStillRunsItsContexts ) {
	WarmUp();
	EFInputConfig* const config = input->InputConfigAdd( 1 );
	EFInputAction* const button = config->InputActionAdd( 1 );
	EFInputAction* const stick	= config->InputActionAdd( 2 );
	button->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_A );
	stick->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_X, 100, STICK_X );
	ASSERT_EQ( button->InputContextAdd( config, 1, EF_ACTION_DOWN, EFGameLogicMgr::ExecLogicCallback,
										Object( 0x2A000005 ), FN_NOTE ),
			   1u );
	Hold( Reading( A, 28 ) );
	Frame();
	const ActionState pressed = button->GetState();
	const ActionState moved	  = stick->GetState();
	ASSERT_EQ( pressed.flags, 0x10029u );
	ASSERT_EQ( moved.flags, 0x20002u );

	controller->GetDemoLoop().SetStateForTesting( 3 );
	EFCallTraceEnable( true );
	Hold( Reading( 0, -50 ) );
	Frame();
	controller->GetDemoLoop().SetStateForTesting( 0 );
	for ( const auto& [action, kept] : { std::pair{ button, pressed }, std::pair{ stick, moved } } ) {
		EXPECT_EQ( std::memcmp( &action->GetState(), &kept, sizeof( kept ) ), 0 );
		EXPECT_EQ( std::memcmp( &action->GetPreviousState(), &kept, sizeof( kept ) ), 0 );
	}
	// The countdown replays no action value: both keep theirs.
	EXPECT_EQ( gSeen.tags.size(), 2u );
	EFCallTraceEnable( false );
}

TEST_F( EFInputMgrTest, ContextsCallLogicOnlyWhenEverythingAgrees ) {
	struct ContextRow {
		const char* name;
		u32			trigger;
		u32			contextState;
		u32			configState;
		u32			function;
		bool		withCode;
		bool		noObject;
		bool		kill;
		u32			added;
		u32			calls; // over press, hold, release, press
		bool		deleted = false;
	};
	const ContextRow rows[] = {
		{ "a press trigger fires once per press", EF_ACTION_PRESSED, ~0u, ~0u, FN_NOTE, true, false, false, 1, 2 },
		{ "a release trigger fires once", EF_ACTION_RELEASED, ~0u, ~0u, FN_NOTE, true, false, false, 1, 1 },
		{ "state words with no bit in common", EF_ACTION_PRESSED, 0x1, 0x2, FN_NOTE, true, false, false, 1, 0 },
		{ "a killed target", EF_ACTION_PRESSED, ~0u, ~0u, FN_NOTE, true, false, true, 1, 0 },
		{ "a missing function index", EF_ACTION_PRESSED, ~0u, ~0u, 9, true, false, false, 0, 0 },
		{ "an object without logic code", EF_ACTION_PRESSED, ~0u, ~0u, FN_NOTE, false, false, false, 0, 0 },
		{ "no object", EF_ACTION_PRESSED, ~0u, ~0u, FN_NOTE, true, true, false, 0, 0 },
		{ "a target deleted after adding", EF_ACTION_PRESSED, ~0u, ~0u, FN_NOTE, true, false, false, 1, 0, true },
	};
	WarmUp();
	u32 id = 0x2A000010;
	for ( const ContextRow& row : rows ) {
		SCOPED_TRACE( row.name );
		gSeen						= Seen();
		EFInputConfig* const config = input->InputConfigAdd( 1 );
		EFInputAction* const action = config->InputActionAdd( 1 );
		action->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_A );
		EFGameObject* const object = row.noObject ? nullptr : Object( id++, row.withCode );
		EXPECT_EQ( action->InputContextAdd( config, 4, row.trigger, EFGameLogicMgr::ExecLogicCallback, object,
											static_cast<s32>( row.function ) ),
				   row.added );
		EXPECT_EQ( action->InputContextGet( 4 ) != nullptr, row.added == 1 );
		if ( row.added == 1 ) {
			action->InputContextGet( 4 )->SetState( row.contextState );
		}
		config->SetState( row.configState );
		if ( row.kill ) {
			object->muiFlags |= EF_INSTANCE_WITHDRAWN;
		}
		if ( row.deleted ) {
			gpoWorldMgr->RemoveGameObject( object->GetUID() );
			object->Terminate();
			delete object;
		}
		for ( const u16 buttons : { A, A, u16( 0 ), A } ) {
			Hold( Reading( buttons ) );
			Frame();
		}
		EXPECT_EQ( gSeen.tags.size(), row.calls );
		if ( row.calls > 0 ) {
			// The callback ran for its object with a copy of the value.
			EXPECT_EQ( gSeen.object, object );
			EXPECT_NE( gSeen.data, &action->GetState() );
			EXPECT_EQ( gSeen.value.flags & row.trigger, row.trigger );
		}
		input->InputConfigRemove( 1 );
	}
}

TEST_F( EFInputMgrTest, LogicMayRemoveAndAddRecordsFromACallback ) {
	struct MeddleRow {
		const char* name;
		bool ( *meddle )();
		std::vector<u32> first;	 // the callbacks run in the frame
		std::vector<u32> second; // and in the next one
		bool			 config1;
		bool			 config2;
	};
	const MeddleRow rows[] = {
		{ "removing its own configuration",
		  [] { gpoInputMgr->InputConfigRemove( 1 ); return gpoInputMgr->InputConfigGet( 1 ) != nullptr; },
		  { FN_MEDDLE, FN_TAG_C },
		  { FN_TAG_C },
		  false,
		  true },
		{ "removing its own action",
		  [] { gpoInputMgr->InputConfigGet( 1 )->InputActionRemove( 11 ); return gpoInputMgr->InputActionGet( 1, 11 ) != nullptr; },
		  { FN_MEDDLE, FN_TAG_B, FN_TAG_C },
		  { FN_TAG_B, FN_TAG_C },
		  true,
		  true },
		{ "removing the next action",
		  [] { gpoInputMgr->InputConfigGet( 1 )->InputActionRemove( 10 ); return gpoInputMgr->InputActionGet( 1, 10 ) != nullptr; },
		  { FN_MEDDLE, FN_TAG_C },
		  { FN_MEDDLE, FN_TAG_C },
		  true,
		  true },
		{ "removing every configuration",
		  [] { gpoInputMgr->InputConfigRemoveAll(); return gpoInputMgr->InputConfigGet( 2 ) != nullptr; },
		  { FN_MEDDLE },
		  {},
		  false,
		  false },
		{ "adding a configuration", AddConfiguration, { FN_MEDDLE, FN_TAG_B, FN_TAG_C }, { FN_TAG_D, FN_MEDDLE, FN_TAG_B, FN_TAG_C }, true, true },
	};
	WarmUp();
	EFGameObject* const object = Object( 0x2A000020 );
	Hold( Reading( A ) );
	for ( const MeddleRow& row : rows ) {
		SCOPED_TRACE( row.name );
		// Walked in this order: configuration 1 (actions 11, 10), then 2.
		EFInputConfig* const second = input->InputConfigAdd( 2 );
		EFInputConfig* const first	= input->InputConfigAdd( 1 );
		const struct {
			EFInputConfig* config;
			s32			   action;
			u32			   function;
		} contexts[] = {
			{ second, 20, FN_TAG_C },
			{ first, 10, FN_TAG_B },
			{ first, 11, FN_MEDDLE },
		};
		for ( const auto& entry : contexts ) {
			EFInputAction* const action = entry.config->InputActionAdd( entry.action );
			action->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_A );
			ASSERT_EQ( action->InputContextAdd( entry.config, 1, EF_ACTION_DOWN, EFGameLogicMgr::ExecLogicCallback,
												object, static_cast<s32>( entry.function ) ),
					   1u );
		}
		gMeddle = row.meddle;
		gSeen	= Seen();
		Frame();
		EXPECT_EQ( gSeen.tags, row.first );
		EXPECT_FALSE( gFoundDuringCallback );
		gSeen = Seen();
		Frame();
		EXPECT_EQ( gSeen.tags, row.second );
		EXPECT_EQ( input->InputConfigGet( 1 ) != nullptr, row.config1 );
		EXPECT_EQ( input->InputConfigGet( 2 ) != nullptr, row.config2 );
		gMeddle = nullptr;
		input->InputConfigRemoveAll();
	}
}

// --- A whole engine run ---

struct FrameSeen {
	u32 retrace;
	u32 flags;
	u32 resets;
};
std::vector<FrameSeen> gFrames;
EFInputAction*		   gWatched = nullptr;

s32 WatchTheAction( void*, void* ) {
	gFrames.push_back( { VIGetRetraceCount(), gWatched->GetState().flags, EFCoreTestSeen().resets } );
	return 0;
}

class EFInputEngineRunTest : public EFCoreTestBench {};

TEST_F( EFInputEngineRunTest, AScriptedControllerGivesExactlyItsEdgesAndResetsThroughABinding ) {
	PADHostReset();
	EFVideoPlayer::GetInstance()->mui32Playing = 0;
	EFAppContext context{};
	std::strcpy( context.szResFilename, "START.GCR" );
	std::strcpy( context.szLevelPath, "SAMPLE" );
	SetFramesToRun( 130 );
	EFEngineController* const controller = new EFEngineController( context );
	ASSERT_EQ( controller->InitializeFramework(), 1u );
	// The binding is the run's only acquisition of a device.
	EFInputAction* const action = gpoInputMgr->InputConfigAdd( 1 )->InputActionAdd( 1 );
	ASSERT_NE( action->InputDeviceAdd( 0, EF_DEVICE_PAD0, 0, KIND_DIGITAL, 100, BUTTON_A ), nullptr );
	ASSERT_NE( action->InputDeviceAdd( 0, EF_DEVICE_PAD0, 1, KIND_X, 100, STICK_X ), nullptr );
	gWatched = action;
	gFrames.clear();
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 1, 1, &WatchTheAction, nullptr );
	const u32	now = VIGetRetraceCount();
	std::string script;
	const struct {
		u32			at;
		const char* state;
	} records[] = {
		{ 0, "0 28" },
		{ 10, "A 28" },
		{ 14, "0 28" },
		{ 16, "A 28" },
		{ 18, "0 28" },
		{ 24, "0 127" },
		{ 28, "0 28" },
		{ 40, "X+B+START 0" },
	};
	for ( const auto& record : records ) {
		script += std::to_string( now + record.at ) + " 0 " + record.state + " 0 0 0 0 0\n";
	}
	ASSERT_TRUE( PADHostParseScript( script.c_str() ) );
	controller->MainLoop();
	delete controller;

	ASSERT_EQ( gFrames.size(), 130u );
	// Activation and the warm-up: nothing moves before the seventh frame,
	// which sees the stick held from the start.
	for ( u32 i = 0; i < 6; i++ ) {
		EXPECT_EQ( gFrames[i].flags, 0u ) << "frame " << i + 1;
	}
	EXPECT_EQ( gFrames[6].flags, 0x20043u );
	std::map<u32, std::set<u32>> edges;
	u32							 firstReset = 0;
	for ( const FrameSeen& frame : gFrames ) {
		for ( const u32 flag : { EF_ACTION_PRESSED, EF_ACTION_RELEASED, EF_ACTION_FLICK_UP, EF_ACTION_FLICK_DOWN,
								 EF_ACTION_FLICK_LEFT, EF_ACTION_FLICK_RIGHT } ) {
			if ( frame.flags & flag ) {
				edges[flag].insert( frame.retrace - now );
			}
		}
		if ( firstReset == 0 && frame.resets > 0 ) {
			firstReset = frame.retrace - now;
		}
	}
	EXPECT_EQ( edges, ( std::map<u32, std::set<u32>>{
						  { EF_ACTION_PRESSED, { 10, 16 } }, { EF_ACTION_RELEASED, { 14, 18 } }, { EF_ACTION_FLICK_RIGHT, { 24 } } } ) );
	// Held from retrace 40, the combination asks for a reset 500 ms (30
	// retraces) later, carried out at the start of a following frame.
	EXPECT_GE( firstReset, 70u );
	EXPECT_LE( firstReset, 73u );
}

}
