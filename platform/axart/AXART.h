/*
===============================================================================

	Articulation library (AXART), host version.

	The engine only initialises it; the host records that it did.

===============================================================================
*/
#ifndef AXART_H
#define AXART_H

#include "platform/types/PlatformTypes.h"

void	AXARTInit();

#endif
