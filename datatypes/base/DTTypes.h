/*
===============================================================================

	Fixed-width scalar types.

	Every stored field and every 32-bit value of the console's interfaces is
	declared with one of these. The console's `long` is 32 bits wide, so no
	engine code uses `long` itself: a 64-bit host would silently widen it.
	The types are the console libraries' own, so engine and host layer agree
	on one definition.

===============================================================================
*/
#ifndef DT_TYPES_H
#define DT_TYPES_H

#include "platform/types/PlatformTypes.h"

#endif
