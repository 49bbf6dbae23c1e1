/*
===============================================================================

	Audio interface (AI), host version.

	The engine initialises it without a stack; no path it takes starts
	audio DMA, so the host records the call and its argument only.

===============================================================================
*/
#ifndef AI_H
#define AI_H

#include "platform/types/PlatformTypes.h"

void	AIInit( u8* stack );

#endif
