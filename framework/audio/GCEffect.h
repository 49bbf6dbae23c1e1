/*
===============================================================================

	The effect slots of the two AUX buses. Each bus carries the effect
	code of the effect it runs; the voices whose DSP effect code matches
	send to it. No effect is ever set up yet, so both codes are 0.

===============================================================================
*/
#ifndef GC_EFFECT_H
#define GC_EFFECT_H

#include "datatypes/base/DTTypes.h"

class GCEffect {
public:
	// Effect code of the effect on bus A and on bus B.
	u32						GetBusACode() const { return mui32BusACode; }
	u32						GetBusBCode() const { return mui32BusBCode; }

	u32						mui32BusACode = 0;
	u32						mui32BusBCode = 0;
};

#endif
