/*
===============================================================================

	The sound manager each game object embeds: the sound ids the object
	may play, each with the audio manager's handle it holds now and its
	own master volume.

	A reference takes a handle on its first play and gives it back when
	the play ends, unless the sound was hung on a joint (parented), which
	keeps it. A volume set without a handle is remembered and applied when
	the handle is taken. When the object goes, playing sounds become
	orphans that finish by themselves and free their handles; silent ones
	give their handles back at once.

	Id-based operations answer 0 (done), 1 (the object does not reference
	the id) or 2 (no handle could be had).

===============================================================================
*/
#ifndef EF_NEW_SOUND_MGR_H
#define EF_NEW_SOUND_MGR_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

// Results of the id-based operations.
constexpr u32 EF_SOUND_DONE				= 0;
constexpr u32 EF_SOUND_NOT_REFERENCED	= 1;
constexpr u32 EF_SOUND_NO_HANDLE		= 2;

class EFNewSoundMgr {
public:
	struct SoundReference {
		SoundReference *	mpoNext;
		u32					mui32SoundId;
		// 0xFFFFFFFF: none.
		u32					mui32Handle;
		f32					mfMasterVolume;
		u8					mui8Parented;
	};

	explicit				EFNewSoundMgr( EFGameObject * owner );
	// Frees the references (the owner releases their sounds before).
							~EFNewSoundMgr();

							EFNewSoundMgr( const EFNewSoundMgr & ) = delete;
	EFNewSoundMgr &			operator=( const EFNewSoundMgr & ) = delete;

	// A new reference at the head of the list.
	void					AddSound( u32 soundId );
	// The reference added last with the id, or null.
	SoundReference *		GetSound( u32 soundId ) const;
	SoundReference *		ResolveSoundEventID( u32 soundId ) const;

	u32						PlaySound( u32 soundId, u32 playArg );
	// For animation callbacks, with a resolved reference; play argument 0.
	void					PlayAnimationSound( SoundReference * reference );
	u32						StopSound( u32 soundId );
	// Stops every sound that can be killed.
	void					StopAllSound();
	// Stops every playing sound of the set.
	void					StopAllSoundFromSet( u32 setMask );
	u32						SetSoundMasterVolume( u32 soundId, f32 volume );
	u32						GetSoundMasterVolume( u32 soundId, f32 * volume ) const;
	u32						IsSoundPlaying( u32 soundId, bool * playing ) const;
	u32						SetSoundPitch( u32 soundId, f32 pitch );
	u32						ParentSoundToJoint( u32 soundId, u32 joint, u32 arg );
	// The last play of a reference's handle ended.
	void					SoundIsCompleted( void * reference );
	// Empties the list; playing sounds become orphans (see above).
	void					DeleteAllSoundReferences();

	EFGameObject *			GetOwner() const { return mpoOwner; }
	SoundReference *		GetFirstReference() const { return mpoFirst; }

private:
	// Takes a handle for the reference and gives it the master volume;
	// false when none could be had.
	bool					TakeHandle( SoundReference & reference );

	EFGameObject *			mpoOwner;
	SoundReference *		mpoFirst;
};

#endif
