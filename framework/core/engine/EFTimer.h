/*
===============================================================================

	Frame timer on the console's time base, which counts at a quarter of
	the bus clock. Elapsed times are f32 seconds between two reads.

===============================================================================
*/
#ifndef EF_TIMER_H
#define EF_TIMER_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/engine/EFTimer_BC.h"

class EFTimer : public EFTimer_BC {
public:
						EFTimer();

	void				Reset() override;
	f32					Update() override;
	f32					GetElapsed() override;

private:
	f32					mfElapsed;
	// Time-base ticks of the previous read.
	u64					mui64LastTime;
};

#endif
