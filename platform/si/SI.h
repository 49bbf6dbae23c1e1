/*
===============================================================================

	Serial interface, host version: the controller polling rate.

	The console polls the controller ports every few milliseconds, or in
	step with the retrace when the rate is 0. The host reads scripted
	controllers and polls nothing; the rate is kept for tests.

===============================================================================
*/
#ifndef SI_H
#define SI_H

#include "platform/types/PlatformTypes.h"

// The slowest polling interval the console accepts, in milliseconds.
constexpr u32 SI_MAX_SAMPLING_RATE = 11;

// Sets the polling interval in milliseconds; larger values give the maximum.
void	SISetSamplingRate( u32 msec );

#endif
