/*
===============================================================================

	Portable layer of the audio manager: the per-bank sound tables and
	sound objects, pools of 100 handles, 300 sound events and 100
	containers, the 32 group volumes, the queue of voice completions and
	the list of active sound events.

	Pools are searched next-fit: the search starts at the pool's index,
	steps over taken slots (wrapping once round the pool) and leaves the
	index on the slot it found, so repeated plays spread over the pool and
	nothing is allocated on the play path but list nodes and child
	arrays.

	Handles are the indexes 0 to 99 that GetSoundHandle gives; an index
	that is not one of a slot in use with a sound is refused with a
	message by every per-handle operation.

	Virtual slots in order: LoadSoundBanks, GetNumberOfAudioElements,
	GetAudioMemoryCapacity, GetAudioMemoryUsage, GetNumberOfPlaybacks,
	GetNumberOfUsedVoices, GetMaxNumberOfVoices, GetProgressIndicator,
	SetDSPEffectMasterVolume, SetGCDSPEffect, destructor, Initialize,
	PreTerminate, PostTerminate, Update.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_BC_H
#define EF_NEW_AUDIO_MGR_BC_H

#include "datatypes/containers/DTSingleLList.h"
#include "framework/audio/EFSoundContainer.h"
#include "framework/audio/EFSoundEvent.h"

class EFGameObject;
class EFLoadingScreen;
class EFNewSound;
class EFSETTable;
class EFTSCTable;

constexpr u32 EF_SOUND_HANDLE_COUNT		= 100;
constexpr u32 EF_SOUND_EVENT_COUNT		= 300;
constexpr u32 EF_SOUND_CONTAINER_COUNT	= 100;
constexpr u32 EF_SOUND_GROUP_COUNT		= 32;
// Characters of the global folder name, terminator excluded.
constexpr u32 EF_AUDIO_NAME_MAX			= 256;
// The completion-id counter's start.
constexpr u32 EF_COMPLETION_ID_BASE		= 0x10000000;
// Bit 29 of a sound id: a container record.
constexpr u32 EF_SOUND_ID_CONTAINER		= 0x20000000;
constexpr u32 EF_SOUND_ID_INDEX_MASK	= 0x1FFFFFFF;
// A handle not given.
constexpr u32 EF_NO_SOUND_HANDLE		= 0xFFFFFFFF;
// Sound mode 1: every pan centred.
constexpr u32 EF_SOUND_MODE_MONO		= 1;

struct structSoundHandle {
	u8						ui8InUse;
	ISound *				poSound;
	// The owner's sound reference, or null.
	void *					pUserData;
	u32						ui32PlayingCount;
	u8						ui8AutoRelease;
};

class EFNewAudioMgr_BC {
public:
							EFNewAudioMgr_BC();

							EFNewAudioMgr_BC( const EFNewAudioMgr_BC & ) = delete;
	EFNewAudioMgr_BC &		operator=( const EFNewAudioMgr_BC & ) = delete;

	virtual void			LoadSoundBanks( EFLoadingScreen * screen, u32 * progress, u32 total );
	virtual u32				GetNumberOfAudioElements() const;
	virtual u32				GetAudioMemoryCapacity();
	virtual u32				GetAudioMemoryUsage();
	virtual u32				GetNumberOfPlaybacks( u32 bank );
	virtual u32				GetNumberOfUsedVoices();
	virtual u32				GetMaxNumberOfVoices();
	virtual f32				GetProgressIndicator();
	virtual void			SetDSPEffectMasterVolume( u32 effect, f32 volume );
	virtual void			SetGCDSPEffect( u32 effect, u32 value );
	// Deletes the tables and sound objects, empties both lists.
	virtual					~EFNewAudioMgr_BC();
	// Counter back to its start; 1.
	virtual u32				Initialize();
	virtual void			PreTerminate();
	// Deletes every bank's tables and sound objects; no banks afterwards.
	virtual void			PostTerminate();
	virtual void			Update( f32 dt );

	// Per-handle operations (see above).
	bool					PlaySound( u32 handle, u32 playArg );
	bool					StopSound( u32 handle );
	bool					SetSoundMasterVolume( u32 handle, f32 volume );
	bool					IsSoundPlaying( u32 handle );
	bool					SetSoundPitch( u32 handle, f32 pitch );
	bool					ParentSoundToJoint( u32 handle, u32 joint, u32 arg );
	bool					SoundBelongsToSet( u32 handle, u32 setMask );
	bool					SoundCanBeKilled( u32 handle );
	bool					SetSoundToOrphanState( u32 handle );
	bool					SetSoundHandleToAutoRelease( u32 handle );

	// A handle to a ready sound of soundId, or EF_NO_SOUND_HANDLE.
	u32						GetSoundHandle( EFGameObject * owner, u32 soundId, void * userData );
	ISound *				InitializeSound( EFGameObject * owner, u32 soundId, void * handleSlot );
	ISound *				FindFreeSoundEvent();
	ISound *				FindFreeSoundContainer();
	void					ReleaseSoundHandle( u32 handle );
	void					ReleaseSoundHandle( structSoundHandle * slot );
	void					IncPlayingCounter( void * handleSlot );
	// At 0 a play ends: the owner is told, or an auto-release handle is
	// released. Nothing when the count is already 0.
	void					DecPlayingCounter( void * handleSlot );
	// Plays soundId in 2D, once, for no object; the handle frees itself
	// when the play ends. EF_NO_SOUND_HANDLE when nothing started.
	u32						PlayOrphanSoundEvent( u32 soundId, u32 playArg );

	// Drops every bank and makes count empty ones: no tables, no sound
	// objects. InitTSCTables does the same unless count banks exist.
	void					InitSETTables( u32 count );
	void					InitTSCTables( u32 count );
	// The bank's table, read from name.TSE / name.TSC (empty on failure).
	void					BuildSETTable( u32 bank, char * name );
	void					BuildTSCTable( u32 bank, char * name );
	// The record an id names; null without tables, for bank 3, a missing
	// table or a record the table does not hold.
	EFSoundEventData *		GetSoundEventData( u32 soundId );
	EFSoundContainerData *	GetSoundContainerData( u32 soundId );

	void					InitGroupVolumes();
	void					SetVolumeByGroup( u32 groupMask, f32 volume );
	// The volume of the lowest group in the mask; 1.0 for no group.
	f32						GetGroupVolume( u32 groupMask ) const;
	void					SetDSPEffectForGroup( u32 groupMask, u32 effect );

	// The global folder name (the audio environment's), for GLOBAL table
	// paths; at most EF_AUDIO_NAME_MAX characters are kept.
	void					SetEnvironmentName( const char * name );
	const char *			GetEnvironmentName() const { return mszGlobalFolderName; }

	// A new completion id for an event or container: the counter's value
	// with bit 28 set (the counter then moves on).
	u32						TakeCompletionId();
	// An event or container of the pools went into use.
	void					NoteEventInUse();
	void					NoteContainerInUse();

	structSoundHandle *		GetHandleSlot( u32 handle );
	EFSoundEvent *			GetEvent( u32 index ) { return &maoEvents[index]; }
	EFSoundContainer *		GetContainer( u32 index ) { return &maoContainers[index]; }
	u32						GetBankCount() const { return mui32NbBanks; }
	EFNewSound **			GetBankSounds( u32 bank ) const;

	EFSETTable **			mppoSETTables;
	EFTSCTable **			mppoTSCTables;
	EFNewSound ***			mpppoSounds;
	u32						mui32NbBanks;
	DTSingleLList<u32>		moCompletionQueue;
	char					mszGlobalFolderName[EF_AUDIO_NAME_MAX + 1];
	u32						mui32PeakActiveEvents;
	// 1: mono.
	u32						mui32EngineMode;
	u32						mui32CompletionCounter;
	f32						mafGroupVolumes[EF_SOUND_GROUP_COUNT];
	structSoundHandle		maoHandles[EF_SOUND_HANDLE_COUNT];
	u32						mui32NextHandle;
	EFSoundEvent			maoEvents[EF_SOUND_EVENT_COUNT];
	u32						mui32NextEvent;
	EFSoundContainer		maoContainers[EF_SOUND_CONTAINER_COUNT];
	u32						mui32NextContainer;
	u32						mui32HandlesInUse;
	u32						mui32PeakHandlesInUse;
	u32						mui32EventsInUse;
	u32						mui32PeakEventsInUse;
	u32						mui32ContainersInUse;
	u32						mui32PeakContainersInUse;
	f32						mfVideoVolume;

	// Events playing or waiting to start.
	static DTSingleLList<EFSoundEvent *>	mppoActiveSoundEvent;

protected:
	// The slot of a per-handle operation, or null with its message printed.
	structSoundHandle *		CheckHandle( u32 handle, const char * operation );
	void					DeleteBanks();
};

#endif
