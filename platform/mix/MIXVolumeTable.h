/*
===============================================================================

	The mixer's attenuation table.

	Linear level for an attenuation a in tenths of a decibel, -904 <= a <= 0,
	at index a + 904: round(32767 x 10^(a / 200)), so 0 dB is 32767 (unity)
	and the first entry, -90.4 dB, is 0 (silence). Engine code reads it
	directly; the mixer converts every attenuation through it.

===============================================================================
*/
#ifndef MIX_VOLUME_TABLE_H
#define MIX_VOLUME_TABLE_H

#include "platform/types/PlatformTypes.h"

constexpr s32 MIX_ATTENUATION_MIN     = -904;	// at or below: silence
constexpr u32 MIX_VOLUME_TABLE_SIZE   = 905;

// Filled before main runs.
extern u16 VolumeTable[MIX_VOLUME_TABLE_SIZE];

// The level of an attenuation in 0.1 dB: silence at or below -904, unity
// above 0.
u16	MIXAttenuationToLevel( s32 attenuation );

#endif
