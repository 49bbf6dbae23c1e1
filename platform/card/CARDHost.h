/*
===============================================================================

	Host-only controls of the CARD library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef CARD_HOST_H
#define CARD_HOST_H

#include "platform/card/CARD.h"

// Host: true once CARDInit has run.
bool	CARDHostIsInitialised();

// Host: forgets that CARDInit ran.
void	CARDHostReset();

#endif
