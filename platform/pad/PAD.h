/*
===============================================================================

	Controllers, host version.

	Four controller ports, read once a frame. On the host every port plays
	back a queue of scripted readings: tests queue them through the host
	calls below, and PADInit appends the script file named by the
	ENGINE_PAD_SCRIPT host setting (format in PADHostParseScript). Each
	PADRead takes one queued entry per port; a port whose queue is empty
	keeps reporting its last reading. Before any entry, port 0 holds a
	controller at rest and ports 1 to 3 are empty.

	A port reporting an error reads zero in every other field, as the
	console's library leaves it. PADReset and PADControlMotor are recorded
	for tests.

===============================================================================
*/
#ifndef PAD_H
#define PAD_H

#include "datatypes/DTTypes.h"
#include "platform/os/OS.h"

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

// Usable ranges after clamping: the main stick reaches 56 from the centre,
// the C stick 44, the analog triggers 150.
constexpr s32 PAD_STICK_RANGE		= 56;
constexpr s32 PAD_SUBSTICK_RANGE	= 44;
constexpr s32 PAD_TRIGGER_RANGE		= 150;

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

// Reads the four ports into status[0..3]. Returns the channel bits of the
// ports that delivered a reading without error.
u32		PADRead( PADStatus* status );

// Clamps the sticks and triggers of the four readings into their usable
// ranges, removing the dead zone around rest. PADClamp treats each stick
// axis on its own (a square gate); PADClampCircle keeps each stick inside a
// circle, so a diagonal is no longer than a straight push. Readings with
// an error are left alone.
void	PADClamp( PADStatus* status );
void	PADClampCircle( PADStatus* status );

// Re-initialises the ports whose channel bits are set.
BOOL	PADReset( u32 mask );

// Starts or stops the rumble motor of one port.
void	PADControlMotor( s32 chan, u32 command );

// Host: appends one reading to a port's queue. The err field is honoured;
// an error reading has its other fields cleared. False for a bad port.
bool	PADHostQueueStatus( s32 chan, const PADStatus& status );

// Host: appends a reading with the controller pulled out.
bool	PADHostQueueDisconnected( s32 chan );

// Host: appends a frame in which the port repeats its previous reading.
bool	PADHostQueueNoChange( s32 chan );

// Host: entries still queued for a port.
u32		PADHostPendingFrames( s32 chan );

// Host: parses a script and appends it to the queues. The text holds one
// reading per line for one port; the n-th line naming a port is what that
// port reads on the n-th PADRead:
//
//	  # comment (also after a reading); blank lines are ignored
//	  <port> <buttons> <stickX> <stickY> <substickX> <substickY> <triggerL> <triggerR> [<analogA> <analogB>]
//	  <port> -        the port repeats its previous reading
//	  <port> none     the port has no controller
//
// port is 0 to 3; buttons is a number (0x1000 or 4096) or button names
// joined by '+' (A B X Y Z L R START UP DOWN LEFT RIGHT, any case); sticks
// are -128 to 127, triggers and analog buttons 0 to 255. A malformed line
// rejects the whole script with a report naming the line, and nothing is
// queued.
bool	PADHostParseScript( const char* text );

// Host: reads a script file and parses it; false when it cannot be read or
// is malformed.
bool	PADHostLoadScript( const char* path );

// Host: the last motor command given to a port (PAD_MOTOR_STOP before any)
// and the number of PADControlMotor calls it received.
u32		PADHostMotorCommand( s32 chan );
u32		PADHostMotorCommandCount( s32 chan );

// Host: the number of PADReset calls that named a port.
u32		PADHostResetCount( s32 chan );

// Host: back to the state before PADInit: queues emptied, default readings,
// records cleared.
void	PADHostReset();

#endif
