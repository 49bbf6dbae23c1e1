/*
===============================================================================

	Audio manager layer that runs the level's sounds: the listener and the
	global, effects and stream volumes, the list of active sound events,
	the per-frame update and the occlusion-test budget, pause and resume,
	and release at level end.

	The frame update delivers the voice completions queued since the last
	frame, flushes the logic's notifications so that completion notices
	reach the logic in the same frame, updates the active events and runs
	the platform half. Events are updated from a copy of the active list
	taken at the start of the walk: an event that an update removes
	(children of a killed event, elements of a container) is skipped, and
	one added meanwhile waits for the next frame.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_MAIN_H
#define EF_NEW_AUDIO_MGR_MAIN_H

#include "framework/audio/EFNewAudioMgrGC.h"

class EFNewAudioMgr_Main : public EFNewAudioMgr_SP {
public:
							EFNewAudioMgr_Main();

	void					Update( f32 dt ) override;
	// Kills every sound, frees every handle and the banks.
	virtual void			Terminate();

	// Appends the event unless it is already active.
	void					RegisterActiveSoundEvent( void * event );
	void					UnregisterActiveSoundEvent( void * event );
	// The first active event with that completion id completes.
	void					SoundIsCompleted( u32 completionId );
	// Pause or resume the active events of the groups, then the platform.
	void					PauseSoundEvents( u32 groupMask );
	void					ResumeSoundEvents( u32 groupMask );

	// 0: camera 0.
	u32						mui32ListenerId;
	s16						msiOcclusionMinAge;
	s16						msiOcclusionTestCount;
	f32						mfGlobalVolume;
	f32						mfEffectsVolume;
	f32						mfStreamVolume;

	static s16				msiMaxOcculsionTestPerFrame;
	static s16				msiMaxOcculsionTestAge;

private:
	void					UpdateOcclusionBudget();
};

#endif
