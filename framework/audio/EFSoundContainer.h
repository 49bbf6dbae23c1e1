/*
===============================================================================

	One play of a sound-container record: a list of sound events of which
	it plays one, several in turn, or all at once, by its play mode
	(random, in order, shuffled, stepping, all, or by the owner's body
	state). Containers come from the audio manager's pool and are driven
	through ISound; their elements are pooled events that call back
	SoundIsCompleted when their play is over.

	A play counts once on the handle. It gives the count back when it
	completes (telling the owner unless stopped), and at once when a start
	it made leaves nothing playing, so a container never stays "playing"
	without a sound.

	Slots after those of EFPosData, in order: Initialize, PlaySound,
	StopSound, KillSound, IsPlaying, HasSoundReallyStarted, SetPitch,
	SetSEMasterVolume, GetSEMasterVolume, SoundBelongsToSet,
	ParentSoundToJoint, ClearSoundData, NotifySoundMgrOfCompletion,
	SetSoundToOrphanState, SetCustomSoundData.

===============================================================================
*/
#ifndef EF_SOUND_CONTAINER_H
#define EF_SOUND_CONTAINER_H

#include "framework/audio/ISound.h"
#include "framework/audio/EFSoundContainerData.h"
#include "framework/core/world/EFPosData.h"

class EFSoundEvent;

class EFSoundContainer : public EFPosData, public ISound {
public:
	using EFPosData::Initialize;

							EFSoundContainer();
							~EFSoundContainer() override;

	bool					Initialize( EFGameObject * owner, u32 soundId, void * handle, bool isChild ) override;
	void					PlaySound( u32 playArg ) override;
	void					StopSound() override;
	void					KillSound() override;
	bool					IsPlaying() override;
	// False.
	bool					HasSoundReallyStarted() override;
	void					SetPitch( f32 pitch ) override;
	void					SetSEMasterVolume( f32 volume ) override;
	// The first element's; 0.0 without one.
	f32						GetSEMasterVolume() override;
	bool					SoundBelongsToSet( u32 setMask ) override;
	void					ParentSoundToJoint( u32 joint, u32 arg ) override;
	void					ClearSoundData() override;
	void					NotifySoundMgrOfCompletion( void * userData ) override;
	void					SetSoundToOrphanState() override;
	// Nothing.
	void					SetCustomSoundData( EFGameObject * owner, u32 soundId, void * handle, void * record ) override;

	// An element's play is over.
	void					SoundIsCompleted( EFSoundEvent * element );

	EFSoundEvent *			mpoCurrentElement;
	u32						mui32ElementIndex;
	EFSoundContainer **		mppoChildren;
	u32						mui32NbChildren;
	EFSoundContainerData *	mpoRecord;
	EFGameObject *			mpoOwner;
	EFSoundEvent **			mppoElements;
	u8						mui8Notify;
	u32						mui32PlayArg;
	// Set while the container starts elements itself: it checks on return
	// whether they play, so a start failing then need not tell it.
	u8						mui8StartingElements;

private:
	u32						ChooseElement();
	// Plays the element at the index; then, when nothing plays, ends the
	// play at once.
	void					PlayCurrent();
	// Ends a play that started nothing: no notification, no restart.
	void					EndSilentPlay();
	// Plays a looping play again in place of the one that ended.
	void					RestartLoop();
	// The index a play that ends leaves for the next one.
	void					ResetIndex();
	void					NotifyOwner() const;
	void					DecPlayingCounter() const;
	void					ClearElements();
	bool					AnyElementPlaying();
};

#endif
