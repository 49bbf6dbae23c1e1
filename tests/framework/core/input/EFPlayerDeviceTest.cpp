#include "Engine/implementation/GC/EIStartup.h"
#include "platform/os/OSHost.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCoreTestBench.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/world/EFInstance.h"
#include "framework/core/input/EFPlayerDevice.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "platform/host/HostClock.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/vi/VI.h"
#include "framework/video/EFVideoPlayer.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace {

class EFPlayerDeviceTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		PADHostReset();
		std::memset( gui32ControllerResetDown, 0, sizeof( gui32ControllerResetDown ) );
		std::memset( &context, 0, sizeof( context ) );
		manager = std::make_unique<EFPlayerDeviceMgr>( context );
		ASSERT_EQ( manager->Initialize(), 1u );
		// The first update only activates the devices.
		manager->Update( 0.0f );
	}

	void TearDown() override {
		manager.reset();
		PADHostReset();
		EFCoreTestBench::TearDown();
	}

	// Advances the virtual clock, then runs the device update of a frame.
	void Frame( const f64 seconds = 0.0 ) {
		HostAdvanceTime( HostSecondsToTicks( seconds ) );
		manager->Update( 0.02f );
	}

	static void Hold( const s32 port, const u16 buttons, const s8 stickX = 0 ) {
		PADStatus status = {};
		status.button = buttons;
		status.stickX = stickX;
		ASSERT_TRUE( PADHostSetStatusFromNow( port, status ) );
	}

	static u32 ReportsOfNotification14() {
		u32 count = 0;
		for ( const std::string& report : EFCoreTestSeen().reports ) {
			count += report.find( "notification 14 dropped" ) != std::string::npos ? 1 : 0;
		}
		return count;
	}

	EFAppContext						context;
	std::unique_ptr<EFPlayerDeviceMgr>	manager;
};

constexpr u16 RESET_COMBINATION = PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START;

TEST_F( EFPlayerDeviceTest, CreatesTheFourPortsNewestFirstWithTheControllerLayout ) {
	const s32 expected[4] = { 19, 18, 17, 16 };
	u32 i = 0;
	for ( auto* node = manager->GetDevices().GetHead(); node != nullptr; node = node->mpNext, i++ ) {
		ASSERT_LT( i, 4u );
		EFPlayerDevice* const device = node->mValue;
		EXPECT_EQ( static_cast<s32>( device->GetDeviceID() ), expected[i] );
		EXPECT_EQ( device->GetNbAnalog(), 18 );
		EXPECT_EQ( device->GetNbDigital(), 16 );
		EXPECT_EQ( device->GetNbOutput(), 1 );
		EXPECT_TRUE( device->IsActive() );
		EXPECT_FALSE( device->IsVibrationEnabled() );
		EXPECT_EQ( device->GetNbUsers(), 0 );
	}
	EXPECT_EQ( i, 4u );
	EXPECT_EQ( manager->GetDevice( EF_DEVICE_NONE ), nullptr );
	EXPECT_EQ( manager->AcquirePlayerDevice( static_cast<EFDeviceID_e>( 20 ) ), nullptr );
	EXPECT_EQ( manager->GetActivePort(), -1 );
}

TEST_F( EFPlayerDeviceTest, MapsTheControllerReadingOntoTheArrays ) {
	EFPlayerDevice* const device = manager->AcquirePlayerDevice( EF_DEVICE_PAD0 );
	Frame();	// the restart mask takes the buttons held now: none
	PADStatus status = {};
	status.button = PAD_BUTTON_A | PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_Y | PAD_TRIGGER_L | PAD_TRIGGER_R |
					PAD_TRIGGER_Z | PAD_BUTTON_START | PAD_BUTTON_UP | PAD_BUTTON_DOWN | PAD_BUTTON_LEFT | PAD_BUTTON_RIGHT;
	status.stickX = 100;	// clamped onto the circle of 56
	status.substickY = -44;
	status.analogA = 200;
	status.analogB = 17;
	status.triggerLeft = 255;
	status.triggerRight = 3;
	ASSERT_TRUE( PADHostSetStatusFromNow( 0, status ) );
	Frame();
	PADStatus clamped[4] = { status, {}, {}, {} };
	PADClampCircle( clamped );
	struct Row {
		u32		index;
		f32		value;
	};
	const Row analog[] = {
		{ 0, clamped[0].stickX / 56.0f }, { 1, 0.0f }, { 2, 0.0f }, { 3, 0.0f }, { 4, clamped[0].substickY / 44.0f },
		{ 5, 0.0f }, { 6, 200.0f }, { 7, 0.0f }, { 8, 17.0f }, { 9, 0.0f },
		{ 10, static_cast<f32>( clamped[0].triggerLeft ) }, { 11, static_cast<f32>( clamped[0].triggerRight ) },
		{ 12, 0.0f }, { 17, 0.0f }, { 18, 0.0f },
	};
	for ( const Row& row : analog ) {
		EXPECT_FLOAT_EQ( device->GetAnalog( row.index ), row.value ) << "analog " << row.index;
	}
	EXPECT_FLOAT_EQ( device->GetAnalog( 0 ), 1.0f );
	const u8 digital[17] = { 1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 0 };
	for ( u32 i = 0; i < 17; i++ ) {
		EXPECT_EQ( device->GetDigital( i ), digital[i] ) << "digital " << i;
	}
	// One button at a time lands on its own index.
	const struct { u16 button; u32 index; } single[] = {
		{ PAD_BUTTON_A, 0 }, { PAD_BUTTON_X, 1 }, { PAD_BUTTON_B, 2 }, { PAD_BUTTON_Y, 3 }, { PAD_TRIGGER_L, 4 },
		{ PAD_TRIGGER_Z, 8 }, { PAD_BUTTON_START, 11 }, { PAD_BUTTON_UP, 12 }, { PAD_BUTTON_DOWN, 13 },
		{ PAD_BUTTON_LEFT, 14 }, { PAD_BUTTON_RIGHT, 15 },
	};
	for ( const auto& row : single ) {
		Hold( 0, row.button );
		Frame();
		for ( u32 i = 0; i < 16; i++ ) {
			EXPECT_EQ( device->GetDigital( i ), i == row.index ? 1 : 0 ) << "button " << row.button << " index " << i;
		}
	}
}

TEST_F( EFPlayerDeviceTest, RunsTheRumbleEnvelopeOnTheDevicesOwnClock ) {
	EFPlayerDevice* const device = manager->AcquirePlayerDevice( EF_DEVICE_PAD0 );
	device->SetVibrationEnabled( true );
	Frame();
	device->SetVibration( 0, 1.0f, 0.25f, 0.5f, 0.25f );
	struct Row {
		f64		at;			// seconds since SetVibration
		f32		level;
		u32		motor;
	};
	const Row rows[] = {
		{ 0.125, 0.5f, PAD_MOTOR_RUMBLE },
		{ 0.5, 1.0f, PAD_MOTOR_RUMBLE },
		{ 0.875, 0.5f, PAD_MOTOR_RUMBLE },
		{ 1.0625, 0.0f, PAD_MOTOR_STOP },
		{ 1.5, 0.0f, PAD_MOTOR_STOP },
	};
	f64 now = 0.0;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.at );
		const u32 commands = PADHostMotorCommandCount( 0 );
		Frame( row.at - now );
		now = row.at;
		EXPECT_NEAR( device->GetOutput( 0 ), row.level, 1e-6f );
		EXPECT_EQ( PADHostMotorCommand( 0 ), row.motor );
		EXPECT_EQ( PADHostMotorCommandCount( 0 ), commands + 1 );
	}
	EXPECT_EQ( device->GetVibrationEvent( 0 )->mui8State, EF_VIBRATION_IDLE );

	// A second request during the hold restarts from the level reached.
	device->SetVibration( 0, 1.0f, 0.25f, 0.5f, 0.25f );
	Frame( 0.5 );
	ASSERT_FLOAT_EQ( device->GetOutput( 0 ), 1.0f );
	device->SetVibration( 0, 0.0f, 0.5f, 0.0f, 0.0f );
	EXPECT_FLOAT_EQ( device->GetVibrationEvent( 0 )->mfStart, 1.0f );
	Frame( 0.25 );
	EXPECT_NEAR( device->GetOutput( 0 ), 0.5f, 1e-6f );

	// Disabled vibration and missing outputs ignore requests.
	device->SetVibrationEnabled( false );
	device->SetVibration( 0, 1.0f, 0.0f, 5.0f, 0.0f );
	device->SetVibration( 3, 1.0f, 0.0f, 5.0f, 0.0f );
	EXPECT_FLOAT_EQ( device->GetVibrationEvent( 0 )->mfTarget, 0.0f );
}

TEST_F( EFPlayerDeviceTest, AResetOnAFrozenClockGivesZeroLevels ) {
	EFPlayerDevice* const device = manager->AcquirePlayerDevice( EF_DEVICE_PAD0 );
	device->SetVibrationEnabled( true );
	device->SetVibration( 0, 0.8f, 0.5f, 1.0f, 0.5f );
	Frame( 0.25 );
	ASSERT_GT( device->GetOutput( 0 ), 0.0f );
	device->Reset();
	EXPECT_FALSE( device->IsVibrationEnabled() );
	Frame();
	EXPECT_EQ( device->GetOutput( 0 ), 0.0f );
	EXPECT_FALSE( std::isnan( device->GetVibrationEvent( 0 )->mfCurrent ) );
	Frame( 0.1 );
	EXPECT_EQ( device->GetOutput( 0 ), 0.0f );
	EXPECT_EQ( device->GetVibrationEvent( 0 )->mui8State, EF_VIBRATION_IDLE );
}

TEST_F( EFPlayerDeviceTest, AButtonHeldThroughAResetReadsUpUntilPressedAgain ) {
	EFPlayerDevice* const device = manager->AcquirePlayerDevice( EF_DEVICE_PAD0 );
	struct Step {
		const char*	name;
		u16			buttons;
		bool		reset;
		u8			a;
	};
	const Step steps[] = {
		{ "held when the device started", PAD_BUTTON_A, false, 0 },
		{ "still held", PAD_BUTTON_A, false, 0 },
		{ "released", 0, false, 0 },
		{ "pressed", PAD_BUTTON_A, false, 1 },
		{ "held through a reset", PAD_BUTTON_A, true, 0 },
		{ "held after the reset", PAD_BUTTON_A, false, 0 },
		{ "released after the reset", 0, false, 0 },
		{ "pressed again", PAD_BUTTON_A, false, 1 },
	};
	for ( const Step& step : steps ) {
		SCOPED_TRACE( step.name );
		if ( step.reset ) {
			device->Reset();
		}
		Hold( 0, step.buttons );
		Frame();
		EXPECT_EQ( device->GetDigital( 0 ), step.a );
	}
}

TEST_F( EFPlayerDeviceTest, AMissingControllerIsReportedEveryFrameAndReadsNothing ) {
	EFPlayerDevice* const device = manager->AcquirePlayerDevice( EF_DEVICE_PAD2 );
	EFInstance owner;
	device->SetInputErrorInstance( &owner );
	device->SetVibrationEnabled( true );
	device->SetVibration( 0, 1.0f, 0.0f, 10.0f, 0.0f );
	PADStatus idle = {};
	ASSERT_TRUE( PADHostSetStatusFromNow( 2, idle ) );
	Frame( 0.1 );
	Hold( 2, PAD_BUTTON_A, 80 );
	Frame( 0.1 );
	ASSERT_EQ( device->GetDigital( 0 ), 1 );
	ASSERT_GT( device->GetAnalog( 0 ), 0.0f );
	ASSERT_EQ( PADHostMotorCommand( 2 ), PAD_MOTOR_RUMBLE );
	PADStatus unplugged = {};
	unplugged.err = PAD_ERR_NO_CONTROLLER;
	ASSERT_TRUE( PADHostSetStatusFromNow( 2, unplugged ) );
	for ( u32 frame = 1; frame <= 3; frame++ ) {
		SCOPED_TRACE( frame );
		const u32 motorCommands = PADHostMotorCommandCount( 2 );
		Frame( 0.1 );
		EXPECT_EQ( ReportsOfNotification14(), frame );
		EXPECT_EQ( PADHostResetCount( 2 ), frame );
		EXPECT_EQ( PADHostResetCount( 0 ), 0u );
		EXPECT_EQ( device->GetOutput( 0 ), 0.0f );
		EXPECT_EQ( PADHostMotorCommandCount( 2 ), motorCommands );
		for ( u32 i = 0; i < 18; i++ ) {
			EXPECT_EQ( device->GetAnalog( i ), 0.0f );
		}
		for ( u32 i = 0; i < 16; i++ ) {
			EXPECT_EQ( device->GetDigital( i ), 0 );
		}
	}
	// Ports without users are neither read nor reset.
	EXPECT_EQ( PADHostResetCount( 1 ), 0u );
	EXPECT_EQ( PADHostResetCount( 3 ), 0u );
}

TEST_F( EFPlayerDeviceTest, TheResetCombinationNeedsHalfASecondAndAReleaseAfterBoot ) {
	struct Row {
		const char*	name;
		bool		heldAtBoot;
		s64			heldMs;
		bool		requested;
	};
	const Row rows[] = {
		{ "499 ms", false, 499, false },
		{ "500 ms", false, 500, true },
		{ "held since boot", true, 2000, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		TearDown();
		SetUp();
		gui32ControllerResetDown[1] = row.heldAtBoot ? 1 : 0;
		EFPlayerDevice* const device = manager->AcquirePlayerDevice( EF_DEVICE_PAD1 );
		Hold( 1, RESET_COMBINATION );
		Frame();
		HostAdvanceTime( HostMillisecondsToTicks( row.heldMs ) );
		manager->Update( 0.02f );
		EXPECT_EQ( device->IsResetRequested(), row.requested );
		EXPECT_EQ( manager->IsResetRequested(), row.requested );
		if ( row.heldAtBoot ) {
			// Released once, the combination counts again.
			Hold( 1, 0 );
			Frame();
			EXPECT_EQ( gui32ControllerResetDown[1], 0u );
			Hold( 1, RESET_COMBINATION );
			Frame();
			Frame( 0.5 );
			EXPECT_TRUE( device->IsResetRequested() );
		}
	}
}

TEST_F( EFPlayerDeviceTest, TheResetButtonCountsOnceReleasedAndIsRemembered ) {
	// The press is remembered for the rest of the process: checked in a
	// child process.
	EXPECT_EXIT(
		{
			bool ok = !EFPlayerDeviceMgr::IsReset();
			OSHostSetResetButton( true );
			ok = ok && !EFPlayerDeviceMgr::IsReset();
			OSHostSetResetButton( false );
			ok = ok && EFPlayerDeviceMgr::IsReset() && EFPlayerDeviceMgr::IsReset();
			std::exit( ok ? 0 : 1 );
		},
		::testing::ExitedWithCode( 0 ), "" );
}

TEST_F( EFPlayerDeviceTest, AScriptedRunResetsOnTheCombination ) {
	manager.reset();
	EFVideoPlayer::GetInstance()->mui32Playing = 0;
	std::strcpy( context.szResFilename, "START.GCR" );
	std::strcpy( context.szLevelPath, "SAMPLE" );
	SetFramesToRun( 120 );
	EFEngineController* const controller = new EFEngineController( context );
	ASSERT_EQ( controller->InitializeFramework(), 1u );
	gpoPlayerDeviceMgr->AcquirePlayerDevice( EF_DEVICE_PAD0 );
	// At rest for a few frames, then the combination held for good.
	const u32 now = VIGetRetraceCount();
	const std::string script = std::to_string( now ) + " 0 0 0 0 0 0 0 0\n" + std::to_string( now + 4 ) +
							   " 0 X+B+START 0 0 0 0 0 0\n";
	ASSERT_TRUE( PADHostParseScript( script.c_str() ) );
	controller->MainLoop();
	EXPECT_GE( EFCoreTestSeen().resets, 1u );
	delete controller;
}

TEST_F( EFPlayerDeviceTest, AScriptedRunResetsOnTheResetButton ) {
	// The press is remembered for the rest of the process: run in a child.
	EXPECT_EXIT(
		{
			manager.reset();
			EFVideoPlayer::GetInstance()->mui32Playing = 0;
			std::strcpy( context.szResFilename, "START.GCR" );
			std::strcpy( context.szLevelPath, "SAMPLE" );
			SetFramesToRun( 60 );
			EFEngineController* const controller = new EFEngineController( context );
			bool ok = controller->InitializeFramework() == 1u;
			const u32 now = VIGetRetraceCount();
			const std::string script = std::to_string( now + 4 ) + " RESET 1\n" + std::to_string( now + 10 ) + " reset 0\n";
			ok = ok && PADHostParseScript( script.c_str() );
			controller->MainLoop();
			ok = ok && EFCoreTestSeen().resets >= 1;
			std::exit( ok ? 0 : 1 );
		},
		::testing::ExitedWithCode( 0 ), "" );
}

}
