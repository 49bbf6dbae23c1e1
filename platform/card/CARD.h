/*
===============================================================================

	Memory card library, host version: start-up only.

	CARDInit prepares the library at power-on. The host keeps no cards yet;
	it records that the call ran so start-up can be checked.

===============================================================================
*/
#ifndef CARD_H
#define CARD_H

#include "platform/types/PlatformTypes.h"

// Prepares the memory card library; further calls change nothing.
void	CARDInit();

#endif
