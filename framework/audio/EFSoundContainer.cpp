#include "framework/audio/EFSoundContainer.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFSoundCompletion.h"
#include "framework/audio/EFSoundInstances.h"
#include "framework/audio/EFSoundSelection.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/physics/EFPhysic.h"

#include <new>

EFSoundContainer::EFSoundContainer()
	: mpoCurrentElement( nullptr ), mui32ElementIndex( EF_NO_SOUND_ID ), mppoChildren( nullptr ), mui32NbChildren( 0 ),
	  mpoRecord( nullptr ), mpoOwner( nullptr ), mppoElements( nullptr ), mui8Notify( 1 ), mui32PlayArg( 0 ),
	  mui8StartingElements( 0 ) {
}

EFSoundContainer::~EFSoundContainer() {
	delete[] mppoChildren;
	delete[] mppoElements;
}

void EFSoundContainer::DecPlayingCounter() const {
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->DecPlayingCounter( mpHandle );
	}
}

void EFSoundContainer::ClearElements() {
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			mppoElements[i]->ClearSoundData();
		}
	}
	delete[] mppoElements;
	mppoElements = nullptr;
}

bool EFSoundContainer::Initialize( EFGameObject * owner, const u32 soundId, void * handle, const bool isChild ) {
	if ( gbDisableAudio != 0 ) {
		return true;
	}
	EFNewAudioMgr * const mgr = gpoNewAudioMgr;
	if ( mui32CompletionId == EF_NO_SOUND_ID ) {
		mui32CompletionId = mgr->TakeCompletionId();
	}
	mpoOwner = owner;
	mui32SoundId = soundId;
	mpHandle = handle;
	mpoRecord = mgr->GetSoundContainerData( soundId );
	if ( mpoRecord == nullptr ) {
		return false;
	}
	const u32 count = mpoRecord->mui32NbElements;
	if ( count != 0 ) {
		mppoElements = new ( std::nothrow ) EFSoundEvent *[count]();
		if ( mppoElements == nullptr ) {
			mpoRecord = nullptr;
			return false;
		}
	}
	for ( u32 i = 0; i < count; i++ ) {
		const u32 id = mpoRecord->mpui32Elements[i];
		if ( id == EF_NO_SOUND_ID ) {
			continue;
		}
		EFSoundEvent * const element = static_cast<EFSoundEvent *>( mgr->FindFreeSoundEvent() );
		if ( element == nullptr || !element->Initialize( owner, id, handle, true ) ) {
			if ( element != nullptr ) {
				element->ClearSoundData();
			}
			ClearElements();
			mpoRecord = nullptr;
			return false;
		}
		element->mpoContainer = this;
		mppoElements[i] = element;
	}
	mui32InUse = 1;
	mgr->NoteContainerInUse();
	if ( isChild || mpoRecord->mui32Instances <= 1 ) {
		return true;
	}
	if ( !EFMakeSoundInstances( mppoChildren, mui32NbChildren, mpoRecord->mui32Instances - 1, EF_SOUND_CONTAINER_COUNT,
								[]() { return gpoNewAudioMgr->FindFreeSoundContainer(); }, owner, soundId, handle ) ) {
		ClearSoundData();
		return false;
	}
	return true;
}

u32 EFSoundContainer::ChooseElement() {
	const u32 count = mpoRecord->mui32NbElements;
	switch ( mpoRecord->mui32PlayMode ) {
	case EF_CONTAINER_RANDOM:
		return EFPickRandomElement( count, mui32ElementIndex );
	case EF_CONTAINER_SHUFFLE:
		EFShuffleElements( mpoRecord->mpui32Elements, count );
		return 0;
	case EF_CONTAINER_STEP:
		return EFStepElement( count, mui32ElementIndex );
	case EF_CONTAINER_BODY_STATE: {
		const u32 state = mpoOwner->mpoPhysic->mui32PhysicState;
		// A state past the list counts as a hole.
		return state < count && mppoElements[state] != nullptr ? state : 0;
	}
	default:
		return 0;
	}
}

void EFSoundContainer::PlaySound( const u32 playArg ) {
	if ( mpoRecord == nullptr || mpoRecord->mui32Instances == 0 ) {
		return;
	}
	if ( IsPlaying() ) {
		EFPlayOnFreeInstance( mppoChildren, mui32NbChildren, playArg );
		return;
	}
	// Nothing to choose from: no element can play.
	if ( mpoRecord->mui32NbElements == 0 ) {
		return;
	}
	mui32PlayArg = playArg;
	mui8Notify = 1;
	const u32 mode = mpoRecord->mui32PlayMode;
	const bool hasBody = mpoOwner != nullptr && mpoOwner->mpoPhysic != nullptr;
	const bool dropped = mode == EF_CONTAINER_BODY_STATE && !hasBody;
	mui32ElementIndex = dropped ? 0 : ChooseElement();
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->IncPlayingCounter( mpHandle );
	}
	if ( mode == EF_CONTAINER_ALL ) {
		const u8 starting = mui8StartingElements;
		mui8StartingElements = 1;
		for ( u32 i = 0; i < mpoRecord->mui32NbElements; i++ ) {
			if ( mppoElements[i] != nullptr ) {
				mppoElements[i]->PlaySound( playArg );
			}
		}
		mui8StartingElements = starting;
		if ( !AnyElementPlaying() ) {
			EndSilentPlay();
		}
		return;
	}
	mpoCurrentElement = dropped ? nullptr : mppoElements[mui32ElementIndex];
	PlayCurrent();
}

void EFSoundContainer::PlayCurrent() {
	if ( mpoCurrentElement != nullptr ) {
		const u8 starting = mui8StartingElements;
		mui8StartingElements = 1;
		mpoCurrentElement->PlaySound( mui32PlayArg );
		mui8StartingElements = starting;
	}
	if ( mpoCurrentElement == nullptr || !mpoCurrentElement->IsPlaying() ) {
		EndSilentPlay();
	}
}

void EFSoundContainer::ResetIndex() {
	const u32 mode = mpoRecord->mui32PlayMode;
	if ( mode != EF_CONTAINER_RANDOM && mode != EF_CONTAINER_STEP ) {
		mui32ElementIndex = 0;
	}
}

void EFSoundContainer::EndSilentPlay() {
	mpoCurrentElement = nullptr;
	if ( mpoRecord != nullptr ) {
		ResetIndex();
	}
	// Last: giving the count back may release the handle and clear this
	// container.
	DecPlayingCounter();
}

bool EFSoundContainer::AnyElementPlaying() {
	for ( u32 i = 0; mppoElements != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr && mppoElements[i]->IsPlaying() ) {
			return true;
		}
	}
	return false;
}

void EFSoundContainer::NotifyOwner() const {
	EFNotifySoundComplete( mpoOwner, mui32SoundId );
}

void EFSoundContainer::SoundIsCompleted( EFSoundEvent * ) {
	if ( mpoRecord == nullptr ) {
		return;
	}
	const u32 mode = mpoRecord->mui32PlayMode;
	const bool inOrder = mode == EF_CONTAINER_SEQUENCE || mode == EF_CONTAINER_SHUFFLE;
	if ( mui8Notify != 0 && inOrder && mui32ElementIndex + 1 < mpoRecord->mui32NbElements ) {
		mui32ElementIndex++;
		mpoCurrentElement = mppoElements[mui32ElementIndex];
		if ( mpoCurrentElement != nullptr ) {
			PlayCurrent();
			return;
		}
		// A hole cannot continue the list: the play ends here as it would
		// after the last element.
	} else if ( mui8Notify != 0 && mode == EF_CONTAINER_ALL ) {
		if ( AnyElementPlaying() ) {
			return;
		}
		if ( mpoRecord->mui32Loop != 0 ) {
			RestartLoop();
		} else {
			NotifyOwner();
			DecPlayingCounter();
		}
		return;
	}
	// Every other end is the end of the play, whatever the mode: one that
	// waited for something further would stay playing for good.
	ResetIndex();
	const bool loop = mpoRecord->mui32Loop != 0;
	if ( !loop ) {
		mui32PlayArg = 0;
	}
	mpoCurrentElement = nullptr;
	if ( mui8Notify != 0 && loop ) {
		RestartLoop();
		return;
	}
	if ( mui8Notify != 0 ) {
		NotifyOwner();
	}
	mui8Notify = 1;
	// Last: giving the count back may release the handle and clear this
	// container.
	DecPlayingCounter();
}

void EFSoundContainer::RestartLoop() {
	// A loop goes on as the same play: the restart counts itself, so the
	// count the play held is given back after it (last: when nothing
	// restarted, that ends the play and may release the handle).
	PlaySound( mui32PlayArg );
	DecPlayingCounter();
}

void EFSoundContainer::StopSound() {
	if ( mpoRecord == nullptr ) {
		return;
	}
	const bool all = mpoRecord->mui32PlayMode == EF_CONTAINER_ALL;
	if ( !all && mpoCurrentElement == nullptr ) {
		return;
	}
	mui8Notify = 0;
	if ( !all ) {
		mpoCurrentElement->StopSound();
		return;
	}
	for ( u32 i = 0; mppoElements != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			mppoElements[i]->StopSound();
		}
	}
}

void EFSoundContainer::KillSound() {
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr && mppoElements[i]->IsPlaying() ) {
			mppoElements[i]->KillSound();
		}
	}
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr ) {
			mppoChildren[i]->KillSound();
		}
	}
}

bool EFSoundContainer::IsPlaying() {
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
			return true;
		}
	}
	if ( mpoRecord != nullptr && mpoRecord->mui32PlayMode == EF_CONTAINER_ALL ) {
		return AnyElementPlaying();
	}
	return mpoCurrentElement != nullptr;
}

bool EFSoundContainer::HasSoundReallyStarted() {
	return false;
}

void EFSoundContainer::SetPitch( const f32 pitch ) {
	if ( mpoRecord == nullptr ) {
		return;
	}
	if ( mpoRecord->mui32PlayMode != EF_CONTAINER_ALL ) {
		if ( mpoCurrentElement != nullptr ) {
			mpoCurrentElement->SetPitch( pitch );
		}
		return;
	}
	for ( u32 i = 0; mppoElements != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			mppoElements[i]->SetPitch( pitch );
		}
	}
}

void EFSoundContainer::SetSEMasterVolume( const f32 volume ) {
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			mppoElements[i]->SetSEMasterVolume( volume );
		}
	}
}

f32 EFSoundContainer::GetSEMasterVolume() {
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			return mppoElements[i]->GetSEMasterVolume();
		}
	}
	return 0.0f;
}

bool EFSoundContainer::SoundBelongsToSet( const u32 setMask ) {
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr && mppoElements[i]->SoundBelongsToSet( setMask ) ) {
			return true;
		}
	}
	return false;
}

void EFSoundContainer::ParentSoundToJoint( const u32 joint, const u32 arg ) {
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			mppoElements[i]->ParentSoundToJoint( joint, arg );
		}
	}
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr ) {
			mppoChildren[i]->ParentSoundToJoint( joint, arg );
		}
	}
}

void EFSoundContainer::ClearSoundData() {
	EFClearSoundInstances( mppoChildren, mui32NbChildren );
	mui32SoundId = EF_NO_SOUND_ID;
	mui8Notify = 1;
	mpoOwner = nullptr;
	ClearElements();
	mpoRecord = nullptr;
	mpoCurrentElement = nullptr;
	mui32ElementIndex = 0;
	if ( mui32InUse != 0 && gpoNewAudioMgr != nullptr && gpoNewAudioMgr->mui32ContainersInUse > 0 ) {
		gpoNewAudioMgr->mui32ContainersInUse--;
	}
	mui32InUse = 0;
}

void EFSoundContainer::NotifySoundMgrOfCompletion( void * userData ) {
	if ( mpoOwner != nullptr ) {
		mpoOwner->moNewSoundMgr.SoundIsCompleted( userData );
	}
}

void EFSoundContainer::SetSoundToOrphanState() {
	// Elements and child containers forget the owner too: it is about to go.
	for ( u32 i = 0; mppoElements != nullptr && mpoRecord != nullptr && i < mpoRecord->mui32NbElements; i++ ) {
		if ( mppoElements[i] != nullptr ) {
			mppoElements[i]->SetSoundToOrphanState();
		}
	}
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr ) {
			mppoChildren[i]->SetSoundToOrphanState();
		}
	}
	mpoOwner = nullptr;
}

void EFSoundContainer::SetCustomSoundData( EFGameObject *, u32, void *, void * ) {
}
