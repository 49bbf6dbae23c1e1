/*
===============================================================================

	A game timer, made only by the game logic manager. Its instance id is
	the timer id and its owner the game object it belongs to (none for
	the manager's first timer, or once the owner is deleted).

	While running it accumulates the frame steps; each frame in which the
	elapsed time reaches the period (when above 0), one period is taken
	off and the owner is notified (NO_TIMER, the timer id as data). All
	times are in seconds.

===============================================================================
*/
#ifndef EF_GAME_TIMER_H
#define EF_GAME_TIMER_H

#include "framework/core/world/EFInstance.h"

class EFGameTimer : public EFInstance {
public:
							EFGameTimer();
	virtual					~EFGameTimer();

	// 1 paused, 0 running.
	u32						muiPaused;
	// Time between two notifications; the API calls it the frequency.
	f32						mfPeriod;
	// Time accumulated since the last notification.
	f32						mfElapsed;
};

#endif
