/*
===============================================================================

	The effect slots of the mixer's two AUX buses. Each bus carries an
	effect kind, the effect code a voice's DSP effect code must equal to
	send to it, its return level and its effect object. Voices with code 0
	send nowhere, with all bits set to both buses.

	Nothing sets a bus's code or kind after construction: both stay OFF
	with code 0, and the effect objects are shells kept for their
	parameters and their shutdown.

===============================================================================
*/
#ifndef GC_EFFECT_H
#define GC_EFFECT_H

#include "datatypes/base/DTTypes.h"

// Effect kinds of a bus.
constexpr u8 GC_EFFECT_OFF			= 0;
constexpr u8 GC_EFFECT_STDREVERB	= 1;
constexpr u8 GC_EFFECT_HIREVERB		= 2;
constexpr u8 GC_EFFECT_DELAY		= 3;
constexpr u8 GC_EFFECT_CHORUS		= 4;
constexpr u32 GC_EFFECT_KIND_COUNT	= 5;
constexpr u32 GC_EFFECT_BUS_COUNT	= 3;

// A voice's DSP effect code that sends to both buses.
constexpr u32 GC_DSP_EFFECT_ALL		= 0xFFFFFFFF;
// A bus's return level before any is set: unity.
constexpr u16 GC_EFFECT_RETURN_UNITY = 32767;

// The names the tools write: buses "NONE", "AUXA", "AUXB"; kinds in the
// numeric order above.
extern const char * const	gszGCEffectBusNames[GC_EFFECT_BUS_COUNT];
extern const char * const	gszGCEffectKindNames[GC_EFFECT_KIND_COUNT];

class GCEffect {
public:
							GCEffect();

	// Effect code of the effect on bus A and on bus B.
	u32						GetBusACode() const { return mui32BusACode; }
	u32						GetBusBCode() const { return mui32BusBCode; }

	// Shuts down the effect of bus A, then of bus B, by their kinds. Both
	// arguments are unused.
	void					ShutDown( void * first, void * second );

	u8						mui8Flag0;
	u8						mui8Flag1;
	u32						mui32BusACode;
	u32						mui32BusBCode;
	u8						mui8BusAKind;
	u8						mui8BusBKind;
	u16						mui16BusAReturn;
	u16						mui16BusBReturn;
	void *					mpoBusAEffect;
	void *					mpoBusBEffect;
};

#endif
