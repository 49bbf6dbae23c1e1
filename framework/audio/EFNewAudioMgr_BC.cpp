#include "framework/audio/EFNewAudioMgr_BC.h"

#include "framework/audio/EFNewSound.h"
#include "framework/audio/EFSETTable.h"
#include "framework/audio/EFTSCTable.h"
#include "platform/os/OS.h"

#include <cstring>
#include <new>

DTSingleLList<EFSoundEvent *> EFNewAudioMgr_BC::mppoActiveSoundEvent;

namespace {

// Bank bits of a sound id; 3 names no bank.
constexpr u32 BANK_SHIFT = 30;
constexpr u32 NO_BANK = 3;
// Bit 28 marks a completion id handed out by the manager.
constexpr u32 COMPLETION_ID_MARK = 0x10000000;
constexpr u32 COMPLETION_ID_KEEP = 0xEFFFFFFF;

// Next-fit search: from next, at most once per slot; next stays on the
// slot found. count when every slot is taken.
template< class IsFree >
u32 NextFit( u32 & next, const u32 count, IsFree isFree ) {
	for ( u32 looked = 0; looked < count; looked++ ) {
		if ( next >= count ) {
			next = 0;
		}
		if ( isFree( next ) ) {
			return next;
		}
		next++;
	}
	return count;
}

void RaiseWithPeak( u32 & value, u32 & peak ) {
	value++;
	if ( value > peak ) {
		peak = value;
	}
}

}

EFNewAudioMgr_BC::EFNewAudioMgr_BC()
	: mppoSETTables( nullptr ), mppoTSCTables( nullptr ), mpppoSounds( nullptr ), mui32NbBanks( 0 ),
	  mszGlobalFolderName(), mui32PeakActiveEvents( 0 ), mui32EngineMode( 0 ),
	  mui32CompletionCounter( EF_COMPLETION_ID_BASE ), maoHandles(), mui32NextHandle( 0 ), mui32NextEvent( 0 ),
	  mui32NextContainer( 0 ), mui32HandlesInUse( 0 ), mui32PeakHandlesInUse( 0 ), mui32EventsInUse( 0 ),
	  mui32PeakEventsInUse( 0 ), mui32ContainersInUse( 0 ), mui32PeakContainersInUse( 0 ), mfVideoVolume( 1.0f ) {
	InitGroupVolumes();
}

EFNewAudioMgr_BC::~EFNewAudioMgr_BC() {
	DeleteBanks();
	moCompletionQueue.Clear();
	mppoActiveSoundEvent.Clear();
	for ( EFSoundEvent & event : maoEvents ) {
		event.mui8Active = 0;
	}
}

void EFNewAudioMgr_BC::LoadSoundBanks( EFLoadingScreen *, u32 *, u32 ) {
}

u32 EFNewAudioMgr_BC::GetNumberOfAudioElements() const {
	return 0;
}

u32 EFNewAudioMgr_BC::GetAudioMemoryCapacity() {
	return 0;
}

u32 EFNewAudioMgr_BC::GetAudioMemoryUsage() {
	return 0;
}

u32 EFNewAudioMgr_BC::GetNumberOfPlaybacks( u32 ) {
	return 0;
}

u32 EFNewAudioMgr_BC::GetNumberOfUsedVoices() {
	return 0;
}

u32 EFNewAudioMgr_BC::GetMaxNumberOfVoices() {
	return 0;
}

f32 EFNewAudioMgr_BC::GetProgressIndicator() {
	return 0.0f;
}

void EFNewAudioMgr_BC::SetDSPEffectMasterVolume( u32, f32 ) {
}

void EFNewAudioMgr_BC::SetGCDSPEffect( u32, u32 ) {
}

u32 EFNewAudioMgr_BC::Initialize() {
	mui32CompletionCounter = EF_COMPLETION_ID_BASE;
	return 1;
}

void EFNewAudioMgr_BC::PreTerminate() {
}

void EFNewAudioMgr_BC::PostTerminate() {
	DeleteBanks();
}

void EFNewAudioMgr_BC::Update( f32 ) {
}

void EFNewAudioMgr_BC::DeleteBanks() {
	for ( u32 bank = 0; bank < mui32NbBanks; bank++ ) {
		if ( mppoSETTables != nullptr ) {
			delete mppoSETTables[bank];
		}
		if ( mppoTSCTables != nullptr ) {
			delete mppoTSCTables[bank];
		}
		if ( mpppoSounds != nullptr && mpppoSounds[bank] != nullptr ) {
			const u32 count = GetNumberOfPlaybacks( bank );
			for ( u32 i = 0; i < count; i++ ) {
				delete mpppoSounds[bank][i];
			}
			delete[] mpppoSounds[bank];
		}
	}
	delete[] mppoSETTables;
	delete[] mppoTSCTables;
	delete[] mpppoSounds;
	mppoSETTables = nullptr;
	mppoTSCTables = nullptr;
	mpppoSounds = nullptr;
	mui32NbBanks = 0;
}

EFNewSound ** EFNewAudioMgr_BC::GetBankSounds( const u32 bank ) const {
	if ( mpppoSounds == nullptr || bank >= mui32NbBanks ) {
		return nullptr;
	}
	return mpppoSounds[bank];
}

structSoundHandle * EFNewAudioMgr_BC::GetHandleSlot( const u32 handle ) {
	return handle < EF_SOUND_HANDLE_COUNT ? &maoHandles[handle] : nullptr;
}

structSoundHandle * EFNewAudioMgr_BC::CheckHandle( const u32 handle, const char * operation ) {
	structSoundHandle * const slot = GetHandleSlot( handle );
	if ( slot == nullptr || slot->ui8InUse == 0 || slot->poSound == nullptr ) {
		OSReport( "EFNewAudioMgr_BC::%s -- SoundHandle not setup to play! Aborting...\n", operation );
		return nullptr;
	}
	return slot;
}

bool EFNewAudioMgr_BC::PlaySound( const u32 handle, const u32 playArg ) {
	structSoundHandle * const slot = CheckHandle( handle, "PlaySound" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->poSound->PlaySound( playArg );
	return true;
}

bool EFNewAudioMgr_BC::StopSound( const u32 handle ) {
	structSoundHandle * const slot = CheckHandle( handle, "StopSound" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->poSound->StopSound();
	return true;
}

bool EFNewAudioMgr_BC::SetSoundMasterVolume( const u32 handle, const f32 volume ) {
	structSoundHandle * const slot = CheckHandle( handle, "SetSoundMasterVolume" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->poSound->SetSEMasterVolume( volume );
	return true;
}

bool EFNewAudioMgr_BC::IsSoundPlaying( const u32 handle ) {
	structSoundHandle * const slot = CheckHandle( handle, "IsSoundPlaying" );
	return slot != nullptr && slot->poSound->IsPlaying();
}

bool EFNewAudioMgr_BC::SetSoundPitch( const u32 handle, const f32 pitch ) {
	structSoundHandle * const slot = CheckHandle( handle, "SetSoundPitch" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->poSound->SetPitch( pitch );
	return true;
}

bool EFNewAudioMgr_BC::ParentSoundToJoint( const u32 handle, const u32 joint, const u32 arg ) {
	structSoundHandle * const slot = CheckHandle( handle, "ParentSoundToJoint" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->poSound->ParentSoundToJoint( joint, arg );
	return true;
}

bool EFNewAudioMgr_BC::SoundBelongsToSet( const u32 handle, const u32 setMask ) {
	structSoundHandle * const slot = CheckHandle( handle, "SoundBelongsToSet" );
	return slot != nullptr && slot->poSound->SoundBelongsToSet( setMask );
}

bool EFNewAudioMgr_BC::SoundCanBeKilled( const u32 handle ) {
	structSoundHandle * const slot = CheckHandle( handle, "SoundCanBeKilled" );
	return slot != nullptr && slot->poSound->CanBeKilled();
}

bool EFNewAudioMgr_BC::SetSoundToOrphanState( const u32 handle ) {
	structSoundHandle * const slot = CheckHandle( handle, "SetSoundToOrphanState" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->poSound->SetSoundToOrphanState();
	return true;
}

bool EFNewAudioMgr_BC::SetSoundHandleToAutoRelease( const u32 handle ) {
	structSoundHandle * const slot = CheckHandle( handle, "SetSoundHandleToAutoRelease" );
	if ( slot == nullptr ) {
		return false;
	}
	slot->ui8AutoRelease = 1;
	return true;
}

ISound * EFNewAudioMgr_BC::FindFreeSoundEvent() {
	const u32 found = NextFit( mui32NextEvent, EF_SOUND_EVENT_COUNT,
							   [this]( const u32 i ) { return maoEvents[i].mui32InUse == 0; } );
	return found < EF_SOUND_EVENT_COUNT ? &maoEvents[found] : nullptr;
}

ISound * EFNewAudioMgr_BC::FindFreeSoundContainer() {
	const u32 found = NextFit( mui32NextContainer, EF_SOUND_CONTAINER_COUNT,
							   [this]( const u32 i ) { return maoContainers[i].mui32InUse == 0; } );
	return found < EF_SOUND_CONTAINER_COUNT ? &maoContainers[found] : nullptr;
}

ISound * EFNewAudioMgr_BC::InitializeSound( EFGameObject * owner, const u32 soundId, void * handleSlot ) {
	ISound * const sound = ( soundId & EF_SOUND_ID_CONTAINER ) != 0 ? FindFreeSoundContainer() : FindFreeSoundEvent();
	if ( sound == nullptr || !sound->Initialize( owner, soundId, handleSlot, false ) ) {
		return nullptr;
	}
	return sound;
}

u32 EFNewAudioMgr_BC::GetSoundHandle( EFGameObject * owner, const u32 soundId, void * userData ) {
	const u32 found = NextFit( mui32NextHandle, EF_SOUND_HANDLE_COUNT,
							   [this]( const u32 i ) { return maoHandles[i].ui8InUse == 0; } );
	if ( found >= EF_SOUND_HANDLE_COUNT ) {
		return EF_NO_SOUND_HANDLE;
	}
	structSoundHandle & slot = maoHandles[found];
	slot.poSound = InitializeSound( owner, soundId, &slot );
	if ( slot.poSound == nullptr ) {
		return EF_NO_SOUND_HANDLE;
	}
	slot.ui8InUse = 1;
	slot.pUserData = userData;
	RaiseWithPeak( mui32HandlesInUse, mui32PeakHandlesInUse );
	return found;
}

void EFNewAudioMgr_BC::ReleaseSoundHandle( const u32 handle ) {
	structSoundHandle * const slot = GetHandleSlot( handle );
	if ( slot == nullptr ) {
		OSReport( "EFNewAudioMgr_BC::ReleaseSoundHandle -- SoundHandle not setup to play! Aborting...\n" );
		return;
	}
	ReleaseSoundHandle( slot );
}

void EFNewAudioMgr_BC::ReleaseSoundHandle( structSoundHandle * slot ) {
	if ( slot == nullptr || slot->poSound == nullptr || slot->ui8InUse == 0 ) {
		return;
	}
	slot->poSound->ClearSoundData();
	// The sound pointer stays: a later search only tests the in-use byte.
	slot->ui8InUse = 0;
	slot->pUserData = nullptr;
	slot->ui32PlayingCount = 0;
	slot->ui8AutoRelease = 0;
	if ( mui32HandlesInUse > 0 ) {
		mui32HandlesInUse--;
	}
}

u32 EFNewAudioMgr_BC::TakeCompletionId() {
	return COMPLETION_ID_MARK | ( mui32CompletionCounter++ & COMPLETION_ID_KEEP );
}

void EFNewAudioMgr_BC::NoteEventInUse() {
	RaiseWithPeak( mui32EventsInUse, mui32PeakEventsInUse );
}

void EFNewAudioMgr_BC::NoteContainerInUse() {
	RaiseWithPeak( mui32ContainersInUse, mui32PeakContainersInUse );
}

void EFNewAudioMgr_BC::IncPlayingCounter( void * handleSlot ) {
	structSoundHandle * const slot = static_cast<structSoundHandle *>( handleSlot );
	if ( slot != nullptr ) {
		slot->ui32PlayingCount++;
	}
}

void EFNewAudioMgr_BC::DecPlayingCounter( void * handleSlot ) {
	structSoundHandle * const slot = static_cast<structSoundHandle *>( handleSlot );
	// A count already at 0 has nothing to end: wrapping it would keep the
	// handle forever.
	if ( slot == nullptr || slot->ui32PlayingCount == 0 ) {
		return;
	}
	slot->ui32PlayingCount--;
	if ( slot->ui32PlayingCount != 0 || slot->poSound == nullptr ) {
		return;
	}
	if ( slot->ui8AutoRelease == 0 ) {
		slot->poSound->NotifySoundMgrOfCompletion( slot->pUserData );
	} else {
		ReleaseSoundHandle( slot );
	}
}

u32 EFNewAudioMgr_BC::PlayOrphanSoundEvent( const u32 soundId, const u32 playArg ) {
	const u32 handle = GetSoundHandle( nullptr, soundId, nullptr );
	if ( handle == EF_NO_SOUND_HANDLE ) {
		return EF_NO_SOUND_HANDLE;
	}
	structSoundHandle * const slot = &maoHandles[handle];
	const EFSoundEventData * const record = GetSoundEventData( soundId );
	if ( record == nullptr ) {
		ReleaseSoundHandle( slot );
		return EF_NO_SOUND_HANDLE;
	}
	EFSoundEventData * const copy = new ( std::nothrow ) EFSoundEventData( *record );
	char * const name = copy != nullptr ? new ( std::nothrow ) char[std::strlen( record->mpszName ) + 1] : nullptr;
	u32 * const elements = copy != nullptr && record->mui32NbElements != 0
		? new ( std::nothrow ) u32[record->mui32NbElements] : nullptr;
	if ( copy == nullptr || name == nullptr || ( record->mui32NbElements != 0 && elements == nullptr ) ) {
		delete copy;
		delete[] name;
		delete[] elements;
		ReleaseSoundHandle( slot );
		return EF_NO_SOUND_HANDLE;
	}
	std::strcpy( name, record->mpszName );
	if ( elements != nullptr ) {
		std::memcpy( elements, record->mpui32Elements, record->mui32NbElements * sizeof( u32 ) );
	}
	copy->mui32SpatialMode = EF_SPATIAL_2D;
	copy->mui32Instances = 1;
	copy->mpszName = name;
	copy->mpui32Elements = elements;
	ISound * const sound = slot->poSound;
	sound->SetCustomSoundData( nullptr, soundId, slot, copy );
	// A container does not take the record: it stays ours to free.
	if ( ( soundId & EF_SOUND_ID_CONTAINER ) != 0 ) {
		delete[] copy->mpszName;
		delete[] copy->mpui32Elements;
		delete copy;
	}
	PlaySound( handle, playArg );
	if ( !sound->IsPlaying() ) {
		ReleaseSoundHandle( slot );
		return EF_NO_SOUND_HANDLE;
	}
	SetSoundHandleToAutoRelease( handle );
	return handle;
}

void EFNewAudioMgr_BC::InitSETTables( const u32 count ) {
	DeleteBanks();
	mppoSETTables = new ( std::nothrow ) EFSETTable *[count]();
	mppoTSCTables = new ( std::nothrow ) EFTSCTable *[count]();
	mpppoSounds = new ( std::nothrow ) EFNewSound **[count]();
	mui32NbBanks = mppoSETTables != nullptr && mppoTSCTables != nullptr && mpppoSounds != nullptr ? count : 0;
}

void EFNewAudioMgr_BC::InitTSCTables( const u32 count ) {
	if ( mppoTSCTables != nullptr && count == mui32NbBanks ) {
		return;
	}
	InitSETTables( count );
}

void EFNewAudioMgr_BC::BuildSETTable( const u32 bank, char * name ) {
	if ( mppoSETTables == nullptr || bank >= mui32NbBanks ) {
		return;
	}
	delete mppoSETTables[bank];
	mppoSETTables[bank] = new ( std::nothrow ) EFSETTable( bank );
	if ( mppoSETTables[bank] != nullptr ) {
		mppoSETTables[bank]->Initialize( name );
	}
}

void EFNewAudioMgr_BC::BuildTSCTable( const u32 bank, char * name ) {
	if ( mppoTSCTables == nullptr || bank >= mui32NbBanks ) {
		return;
	}
	delete mppoTSCTables[bank];
	mppoTSCTables[bank] = new ( std::nothrow ) EFTSCTable( bank );
	if ( mppoTSCTables[bank] != nullptr ) {
		mppoTSCTables[bank]->Initialize( name );
	}
}

EFSoundEventData * EFNewAudioMgr_BC::GetSoundEventData( const u32 soundId ) {
	const u32 bank = soundId >> BANK_SHIFT;
	if ( mppoSETTables == nullptr || bank == NO_BANK || bank >= mui32NbBanks || mppoSETTables[bank] == nullptr ) {
		return nullptr;
	}
	return mppoSETTables[bank]->GetSoundEventData( soundId & EF_SOUND_ID_INDEX_MASK );
}

EFSoundContainerData * EFNewAudioMgr_BC::GetSoundContainerData( const u32 soundId ) {
	const u32 bank = soundId >> BANK_SHIFT;
	if ( mppoTSCTables == nullptr || bank == NO_BANK || bank >= mui32NbBanks || mppoTSCTables[bank] == nullptr ) {
		return nullptr;
	}
	return mppoTSCTables[bank]->GetSoundContainerData( soundId & EF_SOUND_ID_INDEX_MASK );
}

void EFNewAudioMgr_BC::InitGroupVolumes() {
	for ( f32 & volume : mafGroupVolumes ) {
		volume = 1.0f;
	}
}

void EFNewAudioMgr_BC::SetVolumeByGroup( const u32 groupMask, const f32 volume ) {
	for ( u32 group = 0; group < EF_SOUND_GROUP_COUNT; group++ ) {
		if ( ( groupMask & ( 1u << group ) ) != 0 ) {
			mafGroupVolumes[group] = volume;
		}
	}
}

f32 EFNewAudioMgr_BC::GetGroupVolume( const u32 groupMask ) const {
	for ( u32 group = 0; group < EF_SOUND_GROUP_COUNT; group++ ) {
		if ( ( groupMask & ( 1u << group ) ) != 0 ) {
			return mafGroupVolumes[group];
		}
	}
	// A sound in no group is not turned down by any.
	return 1.0f;
}

void EFNewAudioMgr_BC::SetDSPEffectForGroup( const u32 groupMask, const u32 effect ) {
	for ( u32 bank = 0; mppoSETTables != nullptr && bank < mui32NbBanks; bank++ ) {
		if ( mppoSETTables[bank] != nullptr ) {
			mppoSETTables[bank]->SetDSPEffectForGroup( groupMask, effect );
		}
	}
}

void EFNewAudioMgr_BC::SetEnvironmentName( const char * name ) {
	u32 i = 0;
	for ( ; name != nullptr && i < EF_AUDIO_NAME_MAX && name[i] != '\0'; i++ ) {
		mszGlobalFolderName[i] = name[i];
	}
	mszGlobalFolderName[i] = '\0';
}
