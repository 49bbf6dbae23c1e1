/*
===============================================================================

	Console reset button.

	The reset button is checked on every poll of a disc wait, once per movie
	frame and by the audio code's disc waits. A press is remembered; on its
	release the console is reset, unless game logic has switched resets off,
	in which case the release does nothing (the press stays remembered).

===============================================================================
*/
#ifndef DT_CONSOLE_RESET_H
#define DT_CONSOLE_RESET_H

#include "datatypes/base/DTTypes.h"
#include "platform/os/OS.h"

// Set once the reset button was seen pressed.
extern u8		gbConsoleResetPushed;

// Resets happen only while this is not 0 (game logic sets it; 1 at start).
extern u32		gui32EnableReset;

// Time of the last controller reset-combination check; start-up time.
extern OSTime	goPadResetLastCheck;

// Remembers a press of the reset button and resets on its release.
void	CheckReset();

// Blacks the video out, waits two retraces and resets the console with
// the arguments given, reporting each step. Nothing while resets are off.
void	GCReset( s32 reset, u32 resetCode, BOOL forceMenu );

#endif
