/*
===============================================================================

	Controllers, host version.

	Four controller ports and the console's reset button, played back from
	per-frame records. The host's frame index is the video retrace count
	(VIGetRetraceCount): a record made for frame n holds from retrace n until
	the port's next record, and the last record holds for good. Reading does
	not consume anything, so every PADRead within one frame (the power-on
	read included) sees the same state. Before a port's first record it
	holds a controller at rest, on all four ports.

	Records come from the script file named by the ENGINE_PAD_SCRIPT host
	setting, loaded by the first PADInit (format at PADHostParseScript), or
	from tests through the host calls of PADHost.h. The reset button's records are
	what OSGetResetButtonState reads, besides the state a test sets with
	OSHostSetResetButton: the button reads pressed when either says so.

	A port reporting an error reads zero in every other field, as the
	console's library leaves it. PADReset and PADControlMotor are recorded
	for tests.

===============================================================================
*/
#ifndef PAD_H
#define PAD_H

#include "platform/types/PlatformTypes.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

constexpr s32 PAD_MAX_CONTROLLERS	= 4;

// Channel bits of PADReset masks and of PADRead's result: port p is
// PAD_CHAN0_BIT >> p.
constexpr u32 PAD_CHAN0_BIT			= 0x80000000;
constexpr u32 PAD_CHAN1_BIT			= 0x40000000;
constexpr u32 PAD_CHAN2_BIT			= 0x20000000;
constexpr u32 PAD_CHAN3_BIT			= 0x10000000;

// Button bits of PADStatus::button.
constexpr u16 PAD_BUTTON_LEFT		= 0x0001;
constexpr u16 PAD_BUTTON_RIGHT		= 0x0002;
constexpr u16 PAD_BUTTON_DOWN		= 0x0004;
constexpr u16 PAD_BUTTON_UP			= 0x0008;
constexpr u16 PAD_TRIGGER_Z			= 0x0010;
constexpr u16 PAD_TRIGGER_R			= 0x0020;
constexpr u16 PAD_TRIGGER_L			= 0x0040;
constexpr u16 PAD_BUTTON_A			= 0x0100;
constexpr u16 PAD_BUTTON_B			= 0x0200;
constexpr u16 PAD_BUTTON_X			= 0x0400;
constexpr u16 PAD_BUTTON_Y			= 0x0800;
constexpr u16 PAD_BUTTON_START		= 0x1000;

// Every button bit a controller can report.
constexpr u16 PAD_BUTTON_ALL		= 0x1F7F;

// PADStatus::err.
constexpr s8 PAD_ERR_NONE			= 0;
constexpr s8 PAD_ERR_NO_CONTROLLER	= -1;
constexpr s8 PAD_ERR_NOT_READY		= -2;
constexpr s8 PAD_ERR_TRANSFER		= -3;

// PADControlMotor commands.
constexpr u32 PAD_MOTOR_STOP		= 0;
constexpr u32 PAD_MOTOR_RUMBLE		= 1;
constexpr u32 PAD_MOTOR_STOP_HARD	= 2;

// Largest distance from the centre after clamping: the main stick's and
// the C stick's.
constexpr s32 PAD_STICK_RANGE		= 56;
constexpr s32 PAD_SUBSTICK_RANGE	= 44;

// One controller reading.
struct PADStatus {
	u16		button;			// PAD_BUTTON_* and PAD_TRIGGER_* bits held
	s8		stickX;			// main stick, right positive
	s8		stickY;			// main stick, up positive
	s8		substickX;		// C stick
	s8		substickY;
	u8		triggerLeft;	// analog triggers, 0 released
	u8		triggerRight;
	u8		analogA;		// analog depth of the A and B buttons
	u8		analogB;
	s8		err;			// PAD_ERR_*
};

// Starts the controller library; the first call loads the host script.
BOOL	PADInit();

// Reads the four ports into status[0..3]: the records holding at the
// current frame. Returns the channel bits of the ports without error.
u32		PADRead( PADStatus* status );

// Keep the sticks of the four readings inside their ranges; values within
// range, triggers, buttons and readings with an error are left alone.
// PADClamp caps each stick axis on its own (a square gate); PADClampCircle
// pulls a stick outside its circle back onto it along its direction.
// Coordinates round toward zero.
void	PADClamp( PADStatus* status );
void	PADClampCircle( PADStatus* status );

// Re-initialises the ports whose channel bits are set.
BOOL	PADReset( u32 mask );

// Starts or stops the rumble motor of one port.
void	PADControlMotor( s32 chan, u32 command );

#endif
