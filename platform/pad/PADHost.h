/*
===============================================================================

	Host-only controls of the PAD library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef PAD_HOST_H
#define PAD_HOST_H

#include "platform/pad/PAD.h"

// Host: the port reads status from the given frame until its next record,
// replacing a record made for that same frame. The err field is honoured;
// an error reading has its other fields cleared. False for a bad port or
// when out of memory.
bool	PADHostSetStatus( s32 chan, u32 frame, const PADStatus& status );

// Host: the port reads status from the current frame on; its records for
// this frame and later ones are dropped.
bool	PADHostSetStatusFromNow( s32 chan, const PADStatus& status );

// Host: the reset button reads pressed (or released) from the given frame
// until its next record. False when out of memory.
bool	PADHostSetResetButton( u32 frame, bool pressed );

// Host: parses a script and adds its records. One record per line:
//
//	  # comment (also after a record); blank lines are ignored
//	  <frame> <port> <buttons> <stickX> <stickY> <substickX> <substickY> <triggerL> <triggerR> [<analogA> <analogB>]
//	  <frame> <port> none     the port has no controller
//	  <frame> RESET 1         the reset button is held (0: released)
//
// frame is the retrace count from which the record holds (0 to 4294967295,
// decimal); port is 0 to 3; buttons is a number (0x1000 or 4096) or button
// names joined by '+' (A B X Y Z L R START UP DOWN LEFT RIGHT, any case);
// sticks are -128 to 127, triggers and analog buttons 0 to 255. Within a
// script the frames of one port, and of the reset button, must rise. A
// malformed line rejects the whole script with a report naming the line,
// and no record is added.
bool	PADHostParseScript( const char* text );

// Host: reads a script file and parses it; false when it cannot be read or
// is malformed.
bool	PADHostLoadScript( const char* path );

// Host: the number of PADRead calls.
u32		PADHostReadCount();

// Host: the last motor command given to a port (PAD_MOTOR_STOP before any)
// and the number of PADControlMotor calls it received.
u32		PADHostMotorCommand( s32 chan );
u32		PADHostMotorCommandCount( s32 chan );

// Host: the number of PADReset calls that named a port.
u32		PADHostResetCount( s32 chan );

// Host: back to the state before PADInit: records dropped (the ports at
// rest, the reset button released), counts cleared.
void	PADHostReset();

#endif
