/*
===============================================================================

	One play of a sound-event record: it picks an element of the record,
	finds the bank's sound object for it, starts a voice and, every frame,
	turns the distance between the listener and its own frame into the
	voice's volume and pan. Events come from the audio manager's pool and
	are driven through ISound; a container plays its elements through
	them.

	A 3D event with an owner has a frame of its own, 0.05 above the
	owner's and attached to it. Extra instances of a record are child
	events that take the plays the event itself cannot.

	A play counts once on its handle (IncPlayingCounter) when it starts in
	range, and gives the count back when it completes, is stopped while
	waiting, or fails to start. On completion the owner is told
	(NO_SOUND_COMPLETE, deferred) unless the play was stopped, and a
	looping record plays again instead.

	Slots after those of EFPosData, in order: Update, SetSEMasterVolume,
	GetSEMasterVolume, PlaySound, StopSound, KillSound, SoundIsCompleted,
	IsPlaying, HasSoundReallyStarted, SetPitch, CanBeKilled,
	SoundBelongsToSet, ParentSoundToJoint, PauseSound, ResumeSound,
	Initialize, ClearSoundData, NotifySoundMgrOfCompletion,
	SetSoundToOrphanState, SetCustomSoundData, AdjustSoundToOcculsion,
	RayIntersectionOccured.

===============================================================================
*/
#ifndef EF_SOUND_EVENT_BC_H
#define EF_SOUND_EVENT_BC_H

#include "framework/audio/ISound.h"
#include "framework/audio/EFSoundEventData.h"
#include "framework/core/world/EFPosData.h"
#include "framework/physics/EFRayIntersectOut.h"

class DTFrame;
class EFNewSound;
class EFSoundContainer;
class EFSoundEvent;

// Marks of smoothed values not yet set.
constexpr f32 EF_SOUND_VOLUME_UNSET	= -1.0f;
constexpr f32 EF_SOUND_PAN_UNSET	= -2.0f;
// Step of the volume and pan smoothing per computation.
constexpr f32 EF_SOUND_SMOOTH_STEP	= 0.1f;
// Below this factor (or distance volume) a sound counts as silent.
constexpr f32 EF_OCCLUSION_MIN_FACTOR = 0.0001f;

class EFSoundEvent_BC : public EFPosData, public EFRayIntersectOut::Listener, public ISound {
public:
	using EFPosData::Initialize;

							EFSoundEvent_BC();
							~EFSoundEvent_BC() override;

	virtual void			Update( f32 dt );
	void					SetSEMasterVolume( f32 volume ) override;
	f32						GetSEMasterVolume() override;
	void					PlaySound( u32 playArg ) override;
	void					StopSound() override;
	void					KillSound() override;
	// The voice's completion id came back.
	virtual void			SoundIsCompleted();
	bool					IsPlaying() override;
	bool					HasSoundReallyStarted() override;
	void					SetPitch( f32 pitch ) override;
	// The record's killable byte; true without a record.
	bool					CanBeKilled() override;
	bool					SoundBelongsToSet( u32 setMask ) override;
	void					ParentSoundToJoint( u32 joint, u32 arg ) override;
	virtual void			PauseSound( u32 groupMask );
	virtual void			ResumeSound( u32 groupMask );
	bool					Initialize( EFGameObject * owner, u32 soundId, void * handle, bool isChild ) override;
	void					ClearSoundData() override;
	void					NotifySoundMgrOfCompletion( void * userData ) override;
	void					SetSoundToOrphanState() override;
	// Like Initialize with the record given (an EFSoundEventData the event
	// then owns and frees) and no children.
	void					SetCustomSoundData( EFGameObject * owner, u32 soundId, void * handle, void * record ) override;
	// Nothing here; the final class tests the listener's line of sight.
	virtual void			AdjustSoundToOcculsion();
	// Multiplies the occlusion factor by the hit polygon's transparency;
	// true while some sound still gets through.
	bool					RayIntersectionOccured( const EFRayIntersectOut & out, RayIntersectResult result ) override;

	// The distance model; public for the frame update's callers and tests.
	void					AdjustSoundToDistance();
	void					ComputeVolumeAndPan();

	// The listener's frame: the listener object's, else camera 0's; null
	// when there is none. Forgets a listener object that is gone.
	static DTFrame *		GetListenerFrame();

	// Bits 31-30 of a sound id.
	static u32				GetBank( u32 soundId ) { return soundId >> 30; }

	f32						mfDistanceVolume;
	f32						mfCurrentVolume;
	f32						mfTargetVolume;
	u16						mui16OcclusionAge;
	f32						mfLastOcclusionFactor;
	f32						mfOcclusionFactor;
	EFNewSound *			mpoSound;
	u32						mui32PlayArg;
	u32						mui32Voice;
	EFSoundContainer *		mpoContainer;
	u32						mui32ElementIndex;
	u32						mui32BaseVolume;
	f32						mfSamplePan;
	f32						mfSEMasterVolume;
	f32						mfLeftLevel;
	f32						mfRightLevel;
	f32						mfCurrentPan;
	f32						mfTargetPan;
	EFSoundEventData *		mpoRecord;
	u8						mui8OwnsRecord;
	EFGameObject *			mpoOwner;
	EFSoundEvent **			mppoChildren;
	u32						mui32NbChildren;
	u8						mui8Notify;
	f32						mfDelayTime;
	u8						mui8OutOfRange;
	u8						mui8Waiting;
	u8						mui8Stopping;
	u8						mui8Paused;
	// On the manager's active list (kept by its register and unregister).
	u8						mui8Active;
	// The play under way was counted on the handle and not yet given back.
	u8						mui8StartCounted;

protected:
	// What Initialize and SetCustomSoundData share: completion id, owner,
	// id, handle, record, the own frame of a 3D record, in use.
	void					Begin( EFGameObject * owner, u32 soundId, void * handle, EFSoundEventData * record );
	// The sound object of the element at index, or null.
	EFNewSound *			FindSoundObject( u32 index ) const;
	// The element index the selection mode picks for a new play.
	u32						ChooseElement();
	// Base volume and pan of the current element from its bank (not for
	// bank 2).
	void					ReadSampleLevels();
	// Voice parameters and start; a failed start gives the play up.
	void					StartVoice();
	void					FailStart();
	// The next element of a list plays.
	void					AdvanceTo( EFNewSound * sound );
	// The play is over: notify, restart a loop or give the count back.
	void					EndPlay();
	void					RestartLoop();
	// Ends a play stopped before its voice started.
	void					EndUnvoicedPlay();
	// Queues NO_SOUND_COMPLETE to the owner.
	void					NotifyOwner() const;
	void					DecPlayingCounter() const;
	void					IncPlayingCounter() const;
	// Makes an own frame under the owner's (3D records with an owner).
	bool					MakeOwnFrame();
	// Frees a record the event owns.
	void					FreeOwnedRecord();
	bool					IsBank2() const { return GetBank( mui32SoundId ) == 2; }
};

#endif
