/*
===============================================================================

	What the audio manager's handles drive: a sound event or a sound
	container, played, stopped, re-levelled and released without knowing
	which of the two it is. Only the destructor and CanBeKilled have
	bodies here.

	Slot order: destructor, PlaySound, StopSound, KillSound,
	SetSEMasterVolume, GetSEMasterVolume, IsPlaying, HasSoundReallyStarted,
	SetPitch, SoundBelongsToSet, ParentSoundToJoint, CanBeKilled,
	Initialize, ClearSoundData, NotifySoundMgrOfCompletion,
	SetSoundToOrphanState, SetCustomSoundData.

===============================================================================
*/
#ifndef I_SOUND_H
#define I_SOUND_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

// A completion id or sound id not yet given.
constexpr u32 EF_NO_SOUND_ID = 0xFFFFFFFF;

class ISound {
public:
							ISound();
	virtual					~ISound();

	virtual void			PlaySound( u32 playArg ) = 0;
	virtual void			StopSound() = 0;
	virtual void			KillSound() = 0;
	virtual void			SetSEMasterVolume( f32 volume ) = 0;
	virtual f32				GetSEMasterVolume() = 0;
	virtual bool			IsPlaying() = 0;
	virtual bool			HasSoundReallyStarted() = 0;
	virtual void			SetPitch( f32 pitch ) = 0;
	virtual bool			SoundBelongsToSet( u32 setMask ) = 0;
	virtual void			ParentSoundToJoint( u32 joint, u32 arg ) = 0;
	// True.
	virtual bool			CanBeKilled();
	// False when the sound's record is missing or a pool ran out.
	virtual bool			Initialize( EFGameObject * owner, u32 soundId, void * handle, bool isChild ) = 0;
	virtual void			ClearSoundData() = 0;
	virtual void			NotifySoundMgrOfCompletion( void * userData ) = 0;
	virtual void			SetSoundToOrphanState() = 0;
	virtual void			SetCustomSoundData( EFGameObject * owner, u32 soundId, void * handle, void * record ) = 0;

	u32						mui32CompletionId;
	u32						mui32SoundId;
	u32						mui32InUse;
	// The manager's handle slot (structSoundHandle), null when none.
	void *					mpHandle;
};

#endif
