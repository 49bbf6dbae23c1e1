/*
===============================================================================

	The movie reader's view of the drive.

	While a header read waits, the drive is polled until it is idle, with
	the reset button checked on every poll. A drive in trouble (a state
	above 3) gets a retrace between polls, controller 0's rumble stopped,
	and for no disc, cover open, wrong disc and retry the matching disc
	message on screen. A fatal state shows nothing and the wait goes on:
	with automatic fatal messaging the disc library ends the run itself.

	During playback the player asks once per frame, before and after
	drawing, whether the drive is in an error state; it then ends the movie.

===============================================================================
*/
#ifndef VID_SIMPLE_DISC_CHECK_H
#define VID_SIMPLE_DISC_CHECK_H

#include "datatypes/base/DTTypes.h"

// Polls the drive until it reports idle, showing disc messages meanwhile.
void	VIDSimpleWaitForDrive();

// 0 for a drive state of fatal error, no disc, cover open, wrong disc or
// retry, each reported on the debug output; 1 otherwise.
s32		VIDSimpleCheckDVDError();

#endif
