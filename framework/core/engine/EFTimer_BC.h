/*
===============================================================================

	Portable half of the frame timer: the three operations every timer
	offers, in this slot order.

===============================================================================
*/
#ifndef EF_TIMER_BC_H
#define EF_TIMER_BC_H

#include "datatypes/base/DTTypes.h"

class EFTimer_BC {
public:
	virtual				~EFTimer_BC() {}

	// Restarts: the next elapsed time counts from now.
	virtual void		Reset() = 0;
	// Seconds since the previous Update; restarts the count.
	virtual f32			Update() = 0;
	// Same as Update.
	virtual f32			GetElapsed() = 0;
};

#endif
