#include "framework/audio/EFSoundEvent_BC.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/maths/DTFrame.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFSoundCompletion.h"
#include "framework/audio/EFNewSound.h"
#include "framework/audio/EFSoundContainer.h"
#include "framework/audio/EFSoundInstances.h"
#include "framework/audio/EFSoundSelection.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "graphics3d/core/RwFrame.h"
#include "platform/os/OS.h"

#include <cstring>
#include <new>

namespace {

// Height of a 3D event's frame above its owner's.
constexpr f32 SOUND_FRAME_RAISE = 0.05f;
// The record that starts without waiting for the soft delay.
constexpr const char * NO_SOFT_DELAY_NAME = "VO_HEROES_ENTER";
// A play argument of 1 stops a looping voice.
constexpr u32 PLAY_ARG_LOOPING = 1;

}

EFSoundEvent_BC::EFSoundEvent_BC()
	: mfDistanceVolume( 1.0f ), mfCurrentVolume( EF_SOUND_VOLUME_UNSET ), mfTargetVolume( 0.0f ), mui16OcclusionAge( 0 ),
	  mfLastOcclusionFactor( 1.0f ), mfOcclusionFactor( 1.0f ), mpoSound( nullptr ), mui32PlayArg( 0 ),
	  mui32Voice( EF_NO_VOICE ), mpoContainer( nullptr ), mui32ElementIndex( EF_NO_SOUND_ID ), mui32BaseVolume( 0 ),
	  mfSamplePan( 0.0f ), mfSEMasterVolume( 1.0f ), mfLeftLevel( 0.0f ), mfRightLevel( 0.0f ),
	  mfCurrentPan( EF_SOUND_PAN_UNSET ), mfTargetPan( 0.0f ), mpoRecord( nullptr ), mui8OwnsRecord( 0 ),
	  mpoOwner( nullptr ), mppoChildren( nullptr ), mui32NbChildren( 0 ), mui8Notify( 1 ), mfDelayTime( 0.0f ),
	  mui8OutOfRange( 0 ), mui8Waiting( 0 ), mui8Stopping( 0 ), mui8Paused( 0 ), mui8Active( 0 ),
	  mui8StartCounted( 0 ) {
}

EFSoundEvent_BC::~EFSoundEvent_BC() {
	delete[] mppoChildren;
	FreeOwnedRecord();
}

void EFSoundEvent_BC::SetSEMasterVolume( const f32 volume ) {
	mfSEMasterVolume = volume;
}

f32 EFSoundEvent_BC::GetSEMasterVolume() {
	return mfSEMasterVolume;
}

void EFSoundEvent_BC::IncPlayingCounter() const {
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->IncPlayingCounter( mpHandle );
	}
}

void EFSoundEvent_BC::DecPlayingCounter() const {
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->DecPlayingCounter( mpHandle );
	}
}

bool EFSoundEvent_BC::MakeOwnFrame() {
	if ( CreateFrame( nullptr ) == nullptr ) {
		return false;
	}
	RwFrame * const frame = mpFrame->GetRwFrame();
	RwFrameSetIdentity( frame );
	const RwV3d raise = { 0.0f, SOUND_FRAME_RAISE, 0.0f };
	RwFrameTranslate( frame, &raise, rwCOMBINEPOSTCONCAT );
	if ( mpoOwner != nullptr && mpoOwner->mpFrame != nullptr ) {
		RwFrameAddChild( mpoOwner->mpFrame->GetRwFrame(), frame );
	}
	return true;
}

void EFSoundEvent_BC::FreeOwnedRecord() {
	if ( mui8OwnsRecord != 0 && mpoRecord != nullptr ) {
		delete[] mpoRecord->mpszName;
		delete[] mpoRecord->mpui32Elements;
		delete mpoRecord;
	}
	mpoRecord = nullptr;
	mui8OwnsRecord = 0;
}

void EFSoundEvent_BC::Begin( EFGameObject * owner, const u32 soundId, void * handle, EFSoundEventData * record ) {
	if ( mui32CompletionId == EF_NO_SOUND_ID ) {
		mui32CompletionId = gpoNewAudioMgr->TakeCompletionId();
	}
	DestroyFrame();
	mpoOwner = owner;
	mui32SoundId = soundId;
	mpHandle = handle;
	mpoRecord = record;
	if ( record == nullptr ) {
		return;
	}
	const u32 mode = record->mui32SpatialMode;
	if ( mode >= EF_SPATIAL_3D_SAMPLE_PAN && mode <= EF_SPATIAL_3D_INVERTED && owner != nullptr ) {
		MakeOwnFrame();
	}
	mui32InUse = 1;
	gpoNewAudioMgr->NoteEventInUse();
}

bool EFSoundEvent_BC::Initialize( EFGameObject * owner, const u32 soundId, void * handle, const bool isChild ) {
	if ( gbDisableAudio != 0 ) {
		return true;
	}
	Begin( owner, soundId, handle, gpoNewAudioMgr->GetSoundEventData( soundId ) );
	if ( mpoRecord == nullptr ) {
		return false;
	}
	if ( isChild || mpoRecord->mui32Instances <= 1 ) {
		return true;
	}
	if ( !EFMakeSoundInstances( mppoChildren, mui32NbChildren, mpoRecord->mui32Instances - 1, EF_SOUND_EVENT_COUNT,
								[]() { return gpoNewAudioMgr->FindFreeSoundEvent(); }, owner, soundId, handle ) ) {
		ClearSoundData();
		return false;
	}
	return true;
}

void EFSoundEvent_BC::SetCustomSoundData( EFGameObject * owner, const u32 soundId, void * handle, void * record ) {
	ClearSoundData();
	if ( record == nullptr ) {
		return;
	}
	Begin( owner, soundId, handle, static_cast<EFSoundEventData *>( record ) );
	mui8OwnsRecord = 1;
	mui8Notify = 1;
}

void EFSoundEvent_BC::ClearSoundData() {
	mui32SoundId = EF_NO_SOUND_ID;
	mui8Notify = 1;
	mpoContainer = nullptr;
	mpoSound = nullptr;
	mui32PlayArg = 0;
	mui32ElementIndex = EF_NO_SOUND_ID;
	mui32Voice = EF_NO_VOICE;
	mui8OutOfRange = 0;
	mui8Waiting = 0;
	mui8Stopping = 0;
	mui8Paused = 0;
	mui8StartCounted = 0;
	mfSEMasterVolume = 1.0f;
	mfDelayTime = 0.0f;
	DestroyFrame();
	mpoOwner = nullptr;
	EFClearSoundInstances( mppoChildren, mui32NbChildren );
	FreeOwnedRecord();
	if ( gpoNewAudioMgr != nullptr ) {
		// A pooled event must not stay on the active list once it is free.
		gpoNewAudioMgr->UnregisterActiveSoundEvent( this );
		if ( mui32InUse != 0 && gpoNewAudioMgr->mui32EventsInUse > 0 ) {
			gpoNewAudioMgr->mui32EventsInUse--;
		}
	}
	mui32InUse = 0;
}

u32 EFSoundEvent_BC::ChooseElement() {
	const u32 count = mpoRecord->mui32NbElements;
	switch ( mpoRecord->mui32SelectionMode ) {
	case 0:
		return EFPickRandomElement( count, mui32ElementIndex );
	case 2:
		EFShuffleElements( mpoRecord->mpui32Elements, count );
		return 0;
	case 3:
		return EFStepElement( count, mui32ElementIndex );
	default:
		return 0;
	}
}

EFNewSound * EFSoundEvent_BC::FindSoundObject( const u32 index ) const {
	EFNewAudioMgr * const mgr = gpoNewAudioMgr;
	if ( mgr == nullptr || mpoRecord == nullptr || index >= mpoRecord->mui32NbElements ) {
		return nullptr;
	}
	const u32 bank = GetBank( mui32SoundId );
	EFNewSound ** const sounds = mgr->GetBankSounds( bank );
	const u32 sample = mpoRecord->mpui32Elements[index];
	if ( sounds == nullptr || sample >= mgr->SOUND_GetNumberOfPlaybacks( bank ) || sounds[sample] == nullptr ) {
		return nullptr;
	}
	return sounds[mgr->GetGCSoundBodyId( bank, sample )];
}

void EFSoundEvent_BC::ReadSampleLevels() {
	if ( IsBank2() ) {
		return;
	}
	const u32 bank = GetBank( mui32SoundId );
	const u32 sample = mpoRecord->mpui32Elements[mui32ElementIndex];
	mui32BaseVolume = gpoNewAudioMgr->SOUND_GetVolumeOfSample( bank, sample, mpoSound );
	mfSamplePan = gpoNewAudioMgr->SOUND_GetPanOfSample( bank, sample, mpoSound );
}

void EFSoundEvent_BC::StartVoice() {
	const u32 bank = GetBank( mui32SoundId );
	const u32 sample = mpoRecord->mpui32Elements[mui32ElementIndex];
	if ( !IsBank2() ) {
		gpoNewAudioMgr->SetParametersGCVoice( mpoSound, bank, sample, mpoRecord->mui32SpatialMode,
											  mpoRecord->mui32DSPEffect );
	}
	mui32Voice = mpoSound->PlaySound( mui32PlayArg, mui32CompletionId, mpoRecord->mui32GroupMask, mpoRecord->mui32DSPEffect,
									  DTFloatToU32( mfLeftLevel ), DTFloatToU32( mfRightLevel ) );
	if ( mui32Voice == EF_NO_VOICE ) {
		FailStart();
	}
}

void EFSoundEvent_BC::FailStart() {
	mpoSound = nullptr;
	OSReport( " ** SoundEvent %s wasn't able to start playing!!! ** \n", mpoRecord->mpszName );
	gpoNewAudioMgr->UnregisterActiveSoundEvent( this );
	// An element whose start fails after its container started it (a soft-
	// delayed start, its own list's next sample, a loop's restart) ends its
	// play as a stopped one does: the container hears of it, or it would
	// stay playing for good.
	if ( mpoContainer != nullptr && mpoContainer->mui8StartingElements == 0 ) {
		EndUnvoicedPlay();
		return;
	}
	// Last: giving the count back may release the handle and clear this event.
	if ( mui8StartCounted != 0 ) {
		mui8StartCounted = 0;
		DecPlayingCounter();
	}
}

void EFSoundEvent_BC::PlaySound( const u32 playArg ) {
	if ( mpoRecord == nullptr || mpoRecord->mui32Instances == 0 ) {
		return;
	}
	if ( ( mpoSound != nullptr || mui8Waiting != 0 ) && mui8OutOfRange == 0 ) {
		EFPlayOnFreeInstance( mppoChildren, mui32NbChildren, playArg );
		return;
	}
	// Nothing to choose from: no element can play.
	if ( mpoRecord->mui32NbElements == 0 ) {
		return;
	}
	mui8Waiting = 0;
	mui32ElementIndex = ChooseElement();
	EFNewSound * const sound = FindSoundObject( mui32ElementIndex );
	if ( sound == nullptr ) {
		return;
	}
	if ( sound->CanCheckForSET() && mpoRecord->mui32SetMask != 0 && mpoRecord->mui32Instances == 1 &&
		 mui8OutOfRange == 0 && mpoOwner != nullptr ) {
		mpoOwner->moNewSoundMgr.StopAllSoundFromSet( mpoRecord->mui32SetMask );
	}
	mpoSound = sound;
	mui32PlayArg = playArg;
	ReadSampleLevels();
	mfDelayTime = 0.0f;
	mui8StartCounted = 0;
	if ( mui8OutOfRange == 0 ) {
		gpoNewAudioMgr->RegisterActiveSoundEvent( this );
		if ( mpoContainer == nullptr ) {
			IncPlayingCounter();
			mui8StartCounted = 1;
		}
	}
	const u32 bank = GetBank( mui32SoundId );
	sound->ComputeDelay( static_cast<u8>( bank ), static_cast<u8>( mpoRecord->mpui32Elements[mui32ElementIndex] ) );
	mfCurrentVolume = EF_SOUND_VOLUME_UNSET;
	mfCurrentPan = EF_SOUND_PAN_UNSET;
	mfTargetPan = mfSamplePan;
	if ( mpoRecord->mpszName == nullptr || std::strcmp( mpoRecord->mpszName, NO_SOFT_DELAY_NAME ) != 0 ) {
		if ( sound->MustSoftDelay( 0.0f ) || mui8Paused != 0 ) {
			mui8Waiting = 1;
			return;
		}
	} else if ( mui8Paused != 0 ) {
		return;
	}
	ComputeVolumeAndPan();
	if ( mui8OutOfRange != 0 ) {
		return;
	}
	StartVoice();
}

void EFSoundEvent_BC::NotifyOwner() const {
	EFNotifySoundComplete( mpoOwner, mui32SoundId );
}

void EFSoundEvent_BC::SoundIsCompleted() {
	if ( mpoRecord == nullptr || mui32Voice == EF_NO_VOICE ) {
		return;
	}
	if ( mpoSound != nullptr ) {
		mpoSound->ResetSound( mui32CompletionId, mui32Voice );
	}
	mui8Stopping = 0;
	mui32Voice = EF_NO_VOICE;
	if ( mui8OutOfRange != 0 ) {
		return;
	}
	mpoSound = nullptr;
	mfCurrentVolume = EF_SOUND_VOLUME_UNSET;
	mfCurrentPan = EF_SOUND_PAN_UNSET;
	const u32 mode = mpoRecord->mui32SelectionMode;
	if ( ( mode == 1 || mode == 2 ) && mui32ElementIndex + 1 < mpoRecord->mui32NbElements && mui8Notify != 0 ) {
		mui32ElementIndex++;
		EFNewSound * const sound = FindSoundObject( mui32ElementIndex );
		if ( sound != nullptr ) {
			AdvanceTo( sound );
			return;
		}
		// An element without a sound object cannot continue the list: the
		// play ends here as it would after the last element.
	}
	EndPlay();
}

void EFSoundEvent_BC::AdvanceTo( EFNewSound * sound ) {
	mpoSound = sound;
	ReadSampleLevels();
	ComputeVolumeAndPan();
	mfDelayTime = 0.0f;
	const u32 bank = GetBank( mui32SoundId );
	sound->ComputeDelay( static_cast<u8>( bank ), static_cast<u8>( mpoRecord->mpui32Elements[mui32ElementIndex] ) );
	if ( sound->MustSoftDelay( 0.0f ) ) {
		mui8Waiting = 1;
		return;
	}
	if ( mui8Paused == 0 && mui8OutOfRange == 0 ) {
		StartVoice();
	}
}

void EFSoundEvent_BC::EndPlay() {
	const u32 mode = mpoRecord->mui32SelectionMode;
	if ( mode != 0 && mode != 3 ) {
		mui32ElementIndex = 0;
	}
	const bool loop = mpoRecord->mui8Loop != 0;
	if ( !loop ) {
		mui32PlayArg = 0;
	}
	if ( mui8OutOfRange == 0 ) {
		gpoNewAudioMgr->UnregisterActiveSoundEvent( this );
	}
	// A container hears every end that does not loop on by itself, a
	// stopped loop included; otherwise it would stay playing for good.
	if ( mpoContainer != nullptr && ( !loop || mui8Notify == 0 ) ) {
		mui8Notify = 1;
		mpoContainer->SoundIsCompleted( static_cast<EFSoundEvent *>( this ) );
		return;
	}
	if ( mui8Notify != 0 && loop ) {
		RestartLoop();
		return;
	}
	if ( mui8Notify != 0 ) {
		NotifyOwner();
	}
	mui8Notify = 1;
	mui8StartCounted = 0;
	// Last: giving the count back may release the handle and clear this
	// event.
	if ( mpoContainer == nullptr ) {
		DecPlayingCounter();
	}
}

void EFSoundEvent_BC::RestartLoop() {
	// A loop goes on as the same play: the restart counts itself, and the
	// count the play held is given back after it (last: when the restart
	// did not start, that ends the play and may release the handle).
	const bool held = mui8StartCounted != 0;
	mui8StartCounted = 0;
	PlaySound( mui32PlayArg );
	if ( held ) {
		DecPlayingCounter();
	}
}

void EFSoundEvent_BC::EndUnvoicedPlay() {
	// Stopped before its voice started (or while out of range): no
	// completion will come, so the play ends here as a stopped one would.
	mui32Voice = EF_NO_VOICE;
	mui8Notify = 0;
	EndPlay();
}

void EFSoundEvent_BC::StopSound() {
	if ( mpoRecord == nullptr || mui8Stopping != 0 ) {
		return;
	}
	if ( mpoSound == nullptr && mui8Waiting == 0 && mui8OutOfRange == 0 ) {
		return;
	}
	mui8Stopping = 1;
	mui8Notify = 0;
	if ( mui8Waiting != 0 || mui8OutOfRange != 0 ) {
		mui8Waiting = 0;
		mui8OutOfRange = 0;
		mui8Stopping = 0;
		mpoSound = nullptr;
		gpoNewAudioMgr->UnregisterActiveSoundEvent( this );
		for ( u32 i = 0; i < mui32NbChildren; i++ ) {
			if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
				mppoChildren[i]->StopSound();
			}
		}
		EndUnvoicedPlay();
		return;
	}
	mpoSound->StopSound( mui32CompletionId, mui32Voice, mui32PlayArg == PLAY_ARG_LOOPING );
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
			mppoChildren[i]->StopSound();
		}
	}
}

void EFSoundEvent_BC::KillSound() {
	mui8Stopping = 1;
	if ( mui8Waiting != 0 || mui8OutOfRange != 0 ) {
		mui8Waiting = 0;
		mui8OutOfRange = 0;
		mui8Stopping = 0;
		mpoSound = nullptr;
		mui8Notify = 0;
		for ( u32 i = 0; i < mui32NbChildren; i++ ) {
			if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
				mppoChildren[i]->KillSound();
			}
		}
		SoundIsCompleted();
		// Without a voice the completion ends early; the next play must
		// still notify.
		mui8Notify = 1;
		return;
	}
	if ( mpoSound == nullptr ) {
		// Nothing to kill: a stop left pending would block the next play's
		// updates.
		mui8Stopping = 0;
		return;
	}
	mpoSound->StopSound( mui32CompletionId, mui32Voice, mui32PlayArg == PLAY_ARG_LOOPING );
	mpoSound->ResetSound( mui32CompletionId, mui32Voice );
	mui8Waiting = 0;
	mui8OutOfRange = 0;
	mui8Stopping = 0;
	mpoSound = nullptr;
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
			mppoChildren[i]->KillSound();
		}
	}
}

bool EFSoundEvent_BC::IsPlaying() {
	if ( mpoSound != nullptr || mui8Waiting != 0 ) {
		return true;
	}
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr && mppoChildren[i]->IsPlaying() ) {
			return true;
		}
	}
	return false;
}

bool EFSoundEvent_BC::HasSoundReallyStarted() {
	return mui32Voice != EF_NO_VOICE && mpoSound != nullptr && mui8Paused == 0 && mui8OutOfRange == 0 &&
		   mpoSound->HasSoundReallyStarted( mui32Voice );
}

void EFSoundEvent_BC::SetPitch( const f32 pitch ) {
	if ( mui8Waiting == 0 && mpoSound != nullptr ) {
		mpoSound->SetPitch( mui32Voice, pitch );
	}
}

bool EFSoundEvent_BC::CanBeKilled() {
	return mpoRecord == nullptr || mpoRecord->mui8Killable != 0;
}

bool EFSoundEvent_BC::SoundBelongsToSet( const u32 setMask ) {
	return mpoRecord != nullptr && ( mpoRecord->mui32SetMask & setMask ) != 0;
}

void EFSoundEvent_BC::PauseSound( const u32 groupMask ) {
	if ( mpoRecord != nullptr && ( mpoRecord->mui32GroupMask & groupMask ) != 0 ) {
		mui8Paused = 1;
	}
}

void EFSoundEvent_BC::ResumeSound( const u32 groupMask ) {
	if ( mpoRecord != nullptr && ( mpoRecord->mui32GroupMask & groupMask ) != 0 ) {
		mui8Paused = 0;
	}
}

void EFSoundEvent_BC::ParentSoundToJoint( const u32 joint, const u32 arg ) {
	if ( mpFrame == nullptr || mpoOwner == nullptr ) {
		return;
	}
	DTFrame * const jointFrame = mpoOwner->GetObjectFrame( joint );
	if ( jointFrame == nullptr ) {
		return;
	}
	mpoOwner->AddChildFrame( jointFrame, this, arg );
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr ) {
			mppoChildren[i]->ParentSoundToJoint( joint, arg );
		}
	}
}

void EFSoundEvent_BC::NotifySoundMgrOfCompletion( void * userData ) {
	if ( mpoOwner != nullptr ) {
		mpoOwner->moNewSoundMgr.SoundIsCompleted( userData );
	}
}

void EFSoundEvent_BC::SetSoundToOrphanState() {
	// Every child forgets the owner too, playing or not: the owner is
	// about to go.
	for ( u32 i = 0; i < mui32NbChildren; i++ ) {
		if ( mppoChildren[i] != nullptr ) {
			mppoChildren[i]->SetSoundToOrphanState();
		}
	}
	if ( mpFrame != nullptr && mpoRecord != nullptr && mpoRecord->mui32SpatialMode != EF_SPATIAL_2D ) {
		// The new frame keeps the place the sound had under its owner.
		const RwMatrix world = mpFrame->GetWMatrix()->oMat;
		DestroyFrame();
		if ( CreateFrame( nullptr ) != nullptr ) {
			mpFrame->moFrame.modelling = world;
			RwFrameUpdateObjects( mpFrame->GetRwFrame() );
		}
	}
	mpoOwner = nullptr;
}

void EFSoundEvent_BC::AdjustSoundToOcculsion() {
}

bool EFSoundEvent_BC::RayIntersectionOccured( const EFRayIntersectOut & out, RayIntersectResult ) {
	if ( out.poEnvCollider != nullptr ) {
		const EnvPrimAttribs * const attribs = out.poEnvCollider->GetAttribs();
		if ( attribs != nullptr ) {
			mfOcclusionFactor *= 1.0f - attribs->fAccousticOpacity;
		}
	}
	return mfOcclusionFactor > EF_OCCLUSION_MIN_FACTOR;
}
