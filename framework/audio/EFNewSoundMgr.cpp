#include "framework/audio/EFNewSoundMgr.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "platform/os/OS.h"

#include <new>

EFNewSoundMgr::EFNewSoundMgr( EFGameObject * owner ) : mpoOwner( owner ), mpoFirst( nullptr ) {
}

EFNewSoundMgr::~EFNewSoundMgr() {
	while ( mpoFirst != nullptr ) {
		SoundReference * const next = mpoFirst->mpoNext;
		delete mpoFirst;
		mpoFirst = next;
	}
}

void EFNewSoundMgr::AddSound( const u32 soundId ) {
	SoundReference * const reference =
		new ( std::nothrow ) SoundReference{ mpoFirst, soundId, EF_NO_SOUND_HANDLE, 1.0f, 0 };
	if ( reference == nullptr ) {
		OSReport( " Not enough memory to allocate another sound reference 0x%x!!!!\n", soundId );
		return;
	}
	mpoFirst = reference;
}

EFNewSoundMgr::SoundReference * EFNewSoundMgr::GetSound( const u32 soundId ) const {
	for ( SoundReference * reference = mpoFirst; reference != nullptr; reference = reference->mpoNext ) {
		if ( reference->mui32SoundId == soundId ) {
			return reference;
		}
	}
	return nullptr;
}

EFNewSoundMgr::SoundReference * EFNewSoundMgr::ResolveSoundEventID( const u32 soundId ) const {
	return GetSound( soundId );
}

bool EFNewSoundMgr::TakeHandle( SoundReference & reference ) {
	if ( gpoNewAudioMgr == nullptr ) {
		return false;
	}
	reference.mui32Handle = gpoNewAudioMgr->GetSoundHandle( mpoOwner, reference.mui32SoundId, &reference );
	if ( reference.mui32Handle == EF_NO_SOUND_HANDLE ) {
		return false;
	}
	gpoNewAudioMgr->SetSoundMasterVolume( reference.mui32Handle, reference.mfMasterVolume );
	return true;
}

u32 EFNewSoundMgr::PlaySound( const u32 soundId, const u32 playArg ) {
	SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	if ( reference->mui32Handle == EF_NO_SOUND_HANDLE && !TakeHandle( *reference ) ) {
		return EF_SOUND_NO_HANDLE;
	}
	gpoNewAudioMgr->PlaySound( reference->mui32Handle, playArg );
	return EF_SOUND_DONE;
}

void EFNewSoundMgr::PlayAnimationSound( SoundReference * reference ) {
	if ( gbDisableAudio != 0 || reference == nullptr ) {
		return;
	}
	if ( reference->mui32Handle == EF_NO_SOUND_HANDLE && !TakeHandle( *reference ) ) {
		OSReport( "EFNewSoundMgr::PlayAnimationSound -- Cannot allocated enough ressources to play sound!!!" );
		return;
	}
	gpoNewAudioMgr->PlaySound( reference->mui32Handle, 0 );
}

u32 EFNewSoundMgr::StopSound( const u32 soundId ) {
	SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	if ( reference->mui32Handle != EF_NO_SOUND_HANDLE ) {
		gpoNewAudioMgr->StopSound( reference->mui32Handle );
	}
	return EF_SOUND_DONE;
}

void EFNewSoundMgr::StopAllSound() {
	for ( SoundReference * reference = mpoFirst; reference != nullptr; reference = reference->mpoNext ) {
		if ( reference->mui32Handle != EF_NO_SOUND_HANDLE && gpoNewAudioMgr->SoundCanBeKilled( reference->mui32Handle ) ) {
			gpoNewAudioMgr->StopSound( reference->mui32Handle );
		}
	}
}

void EFNewSoundMgr::StopAllSoundFromSet( const u32 setMask ) {
	for ( SoundReference * reference = mpoFirst; reference != nullptr; reference = reference->mpoNext ) {
		const u32 handle = reference->mui32Handle;
		if ( handle != EF_NO_SOUND_HANDLE && gpoNewAudioMgr->IsSoundPlaying( handle ) &&
			 gpoNewAudioMgr->SoundBelongsToSet( handle, setMask ) ) {
			gpoNewAudioMgr->StopSound( handle );
		}
	}
}

u32 EFNewSoundMgr::SetSoundMasterVolume( const u32 soundId, const f32 volume ) {
	SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	reference->mfMasterVolume = volume;
	if ( reference->mui32Handle != EF_NO_SOUND_HANDLE ) {
		gpoNewAudioMgr->SetSoundMasterVolume( reference->mui32Handle, volume );
	}
	return EF_SOUND_DONE;
}

u32 EFNewSoundMgr::GetSoundMasterVolume( const u32 soundId, f32 * volume ) const {
	const SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	if ( volume != nullptr ) {
		*volume = reference->mfMasterVolume;
	}
	return EF_SOUND_DONE;
}

u32 EFNewSoundMgr::IsSoundPlaying( const u32 soundId, bool * playing ) const {
	const SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	if ( playing != nullptr ) {
		*playing = reference->mui32Handle != EF_NO_SOUND_HANDLE && gpoNewAudioMgr->IsSoundPlaying( reference->mui32Handle );
	}
	return EF_SOUND_DONE;
}

u32 EFNewSoundMgr::SetSoundPitch( const u32 soundId, const f32 pitch ) {
	SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	if ( reference->mui32Handle != EF_NO_SOUND_HANDLE && gpoNewAudioMgr->IsSoundPlaying( reference->mui32Handle ) ) {
		gpoNewAudioMgr->SetSoundPitch( reference->mui32Handle, pitch );
	}
	return EF_SOUND_DONE;
}

u32 EFNewSoundMgr::ParentSoundToJoint( const u32 soundId, const u32 joint, const u32 arg ) {
	SoundReference * const reference = GetSound( soundId );
	if ( reference == nullptr ) {
		return EF_SOUND_NOT_REFERENCED;
	}
	if ( reference->mui32Handle == EF_NO_SOUND_HANDLE && !TakeHandle( *reference ) ) {
		return EF_SOUND_NO_HANDLE;
	}
	gpoNewAudioMgr->ParentSoundToJoint( reference->mui32Handle, joint, arg );
	reference->mui8Parented = 1;
	return EF_SOUND_DONE;
}

void EFNewSoundMgr::SoundIsCompleted( void * completed ) {
	SoundReference * const reference = static_cast<SoundReference *>( completed );
	if ( reference == nullptr || reference->mui32Handle == EF_NO_SOUND_HANDLE || reference->mui8Parented != 0 ) {
		return;
	}
	const u32 handle = reference->mui32Handle;
	reference->mui32Handle = EF_NO_SOUND_HANDLE;
	gpoNewAudioMgr->ReleaseSoundHandle( handle );
}

void EFNewSoundMgr::DeleteAllSoundReferences() {
	while ( mpoFirst != nullptr ) {
		SoundReference * const reference = mpoFirst;
		mpoFirst = reference->mpoNext;
		const u32 handle = reference->mui32Handle;
		if ( handle != EF_NO_SOUND_HANDLE && gpoNewAudioMgr != nullptr ) {
			if ( gpoNewAudioMgr->IsSoundPlaying( handle ) ) {
				gpoNewAudioMgr->SetSoundHandleToAutoRelease( handle );
				gpoNewAudioMgr->SetSoundToOrphanState( handle );
			} else {
				gpoNewAudioMgr->ReleaseSoundHandle( handle );
			}
		}
		delete reference;
	}
}
