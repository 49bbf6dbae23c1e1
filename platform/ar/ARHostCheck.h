/*
===============================================================================

	Host checks of the audio and auxiliary-memory libraries.

	The console's libraries trust their callers; a wrong address or length
	there corrupts sound or memory silently. The host versions check what
	they are given instead, and every refused call is counted by kind,
	reported through OSReport and, when tests ask for it, made fatal
	through OSPanic, so that a porting fault in the engine shows up at the
	call that made it.

===============================================================================
*/
#ifndef AR_HOST_CHECK_H
#define AR_HOST_CHECK_H

#include "platform/types/PlatformTypes.h"

enum ARHostCheck {
	AR_CHECK_MISALIGNED = 0,	// an address or length that is not a multiple of 32
	AR_CHECK_OUT_OF_RANGE,		// a range outside user auxiliary memory, or a null buffer
	AR_CHECK_POSTED_TWICE,		// a transfer record posted again while pending
	AR_CHECK_ZERO_BUFFER,		// a transfer into the zero buffer
	AR_CHECK_ALLOCATION,		// an auxiliary-memory allocation that cannot be served
	AR_CHECK_BAD_VOICE,			// a voice pointer that is not one of the voices
	AR_CHECK_BAD_FORMAT,		// a sample format other than ADPCM
	AR_CHECK_KIND_COUNT
};

// Counts a failed check, reports it and panics when checks are fatal.
void	ARHostFail( ARHostCheck kind, const char* format, ... ) __attribute__( ( format( printf, 2, 3 ) ) );

// Failed checks of one kind since the last reset.
u32		ARHostFailureCount( ARHostCheck kind );

// Failed checks of every kind since the last reset.
u32		ARHostFailureTotal();

// Makes every later failed check fatal (OSPanic) or only reported.
void	ARHostSetChecksFatal( bool fatal );

// Clears the counters; checks become non-fatal again.
void	ARHostResetChecks();

#endif
