/*
===============================================================================

	The sound event of the audio manager's pool: the portable event with
	the listener's line-of-sight test and its termination.

	The occlusion test casts a ray from the listener to the event through
	the environment and lowers the distance volume by the acoustic opacity
	of what it crosses. It spends the manager's per-frame budget of rays:
	an event is tested again only after its age reaches the manager's
	minimum (or the maximum age, which is always tested). The frame update
	does not call it.

===============================================================================
*/
#ifndef EF_SOUND_EVENT_H
#define EF_SOUND_EVENT_H

#include "framework/audio/EFSoundEvent_BC.h"

class EFSoundEvent : public EFSoundEvent_BC {
public:
	void					AdjustSoundToOcculsion() override;
	// Out of range and waiting cleared, off the active list, playing
	// children terminated.
	void					Terminate() override;
};

#endif
