#include "framework/audio/EFNewAudioMgr_Main.h"

#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/logic/EFGameLogicMgr.h"

s16 EFNewAudioMgr_Main::msiMaxOcculsionTestPerFrame = 15;
s16 EFNewAudioMgr_Main::msiMaxOcculsionTestAge = 5;

namespace {

// Below this share of the budget the minimum age rises.
constexpr f32 BUDGET_LOW_SHARE = 0.8f;

}

EFNewAudioMgr_Main::EFNewAudioMgr_Main()
	: mui32ListenerId( 0 ), msiOcclusionMinAge( 0 ), msiOcclusionTestCount( 0 ), mfGlobalVolume( 1.0f ),
	  mfEffectsVolume( 1.0f ), mfStreamVolume( 1.0f ) {
}

void EFNewAudioMgr_Main::Update( const f32 dt ) {
	for ( DTSingleLList<u32>::Node * node = moCompletionQueue.GetHead(); node != nullptr; node = node->mpNext ) {
		SoundIsCompleted( node->mValue );
	}
	moCompletionQueue.Clear();
	if ( gpoGameLogicMgr != nullptr ) {
		gpoGameLogicMgr->GetNotificationMgr().FlushNotification();
	}

	EFSoundEvent * snapshot[EF_SOUND_EVENT_COUNT];
	u32 count = 0;
	for ( DTSingleLList<EFSoundEvent *>::Node * node = mppoActiveSoundEvent.GetHead();
		  node != nullptr && count < EF_SOUND_EVENT_COUNT; node = node->mpNext ) {
		snapshot[count++] = node->mValue;
	}
	for ( u32 i = 0; i < count; i++ ) {
		if ( snapshot[i]->mui8Active != 0 ) {
			snapshot[i]->Update( dt );
		}
	}

	EFNewAudioMgr_SP::Update( dt );
	SpecificUpdate( dt );
	UpdateOcclusionBudget();
}

void EFNewAudioMgr_Main::UpdateOcclusionBudget() {
	const s16 tests = msiOcclusionTestCount;
	if ( tests > msiMaxOcculsionTestPerFrame ) {
		msiOcclusionMinAge--;
	} else if ( static_cast<f32>( tests ) < BUDGET_LOW_SHARE * static_cast<f32>( msiMaxOcculsionTestPerFrame ) ) {
		msiOcclusionMinAge++;
	}
	if ( msiOcclusionMinAge < 0 ) {
		msiOcclusionMinAge = 0;
	} else if ( msiOcclusionMinAge > msiMaxOcculsionTestAge ) {
		msiOcclusionMinAge = msiMaxOcculsionTestAge;
	}
	msiOcclusionTestCount = 0;
}

void EFNewAudioMgr_Main::Terminate() {
	PreTerminate();
	mppoActiveSoundEvent.Clear();
	for ( EFSoundEvent & event : maoEvents ) {
		event.mui8Active = 0;
	}
	for ( EFSoundEvent & event : maoEvents ) {
		if ( event.IsPlaying() ) {
			event.KillSound();
		}
	}
	for ( EFSoundContainer & container : maoContainers ) {
		if ( container.IsPlaying() ) {
			container.KillSound();
		}
	}
	for ( structSoundHandle & slot : maoHandles ) {
		if ( slot.ui8InUse != 0 && slot.poSound != nullptr ) {
			slot.poSound->ClearSoundData();
		}
		slot = structSoundHandle();
	}
	mui32HandlesInUse = 0;
	mui32PeakHandlesInUse = 0;
	mui32PeakEventsInUse = 0;
	mui32PeakContainersInUse = 0;
	PostTerminate();
}

void EFNewAudioMgr_Main::RegisterActiveSoundEvent( void * event ) {
	EFSoundEvent * const active = static_cast<EFSoundEvent *>( event );
	if ( active == nullptr || active->mui8Active != 0 ) {
		return;
	}
	if ( !mppoActiveSoundEvent.PushBack( active ) ) {
		return;
	}
	active->mui8Active = 1;
	if ( mppoActiveSoundEvent.GetCount() > mui32PeakActiveEvents ) {
		mui32PeakActiveEvents = mppoActiveSoundEvent.GetCount();
	}
}

void EFNewAudioMgr_Main::UnregisterActiveSoundEvent( void * event ) {
	EFSoundEvent * const active = static_cast<EFSoundEvent *>( event );
	if ( active == nullptr || active->mui8Active == 0 ) {
		return;
	}
	DTSingleLList<EFSoundEvent *>::Node * prev = nullptr;
	DTSingleLList<EFSoundEvent *>::Node * node = mppoActiveSoundEvent.Find( prev, active );
	mppoActiveSoundEvent.Remove( prev, node );
	active->mui8Active = 0;
}

void EFNewAudioMgr_Main::SoundIsCompleted( const u32 completionId ) {
	for ( DTSingleLList<EFSoundEvent *>::Node * node = mppoActiveSoundEvent.GetHead(); node != nullptr;
		  node = node->mpNext ) {
		if ( node->mValue->mui32CompletionId == completionId ) {
			node->mValue->SoundIsCompleted();
			return;
		}
	}
}

void EFNewAudioMgr_Main::PauseSoundEvents( const u32 groupMask ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	for ( DTSingleLList<EFSoundEvent *>::Node * node = mppoActiveSoundEvent.GetHead(); node != nullptr;
		  node = node->mpNext ) {
		node->mValue->PauseSound( groupMask );
	}
	SOUND_Pause( groupMask );
}

void EFNewAudioMgr_Main::ResumeSoundEvents( const u32 groupMask ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	for ( DTSingleLList<EFSoundEvent *>::Node * node = mppoActiveSoundEvent.GetHead(); node != nullptr;
		  node = node->mpNext ) {
		node->mValue->ResumeSound( groupMask );
	}
	SOUND_Resume( groupMask );
}
