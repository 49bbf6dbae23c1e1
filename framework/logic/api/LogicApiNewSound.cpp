#include "framework/logic/api/LogicApiTables.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSoundMgr.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// The object id logic uses for the object whose logic runs.
constexpr u32 RUNNING_OBJECT = 0x2A000000;
// The sound id that stops every sound of an object.
constexpr u32 ALL_SOUNDS = 0x0FFFFFFF;

// Errors of an object's sound manager are not reported to logic.
void HandleSoundError( const u32, const char *, const u32, const EFGameObject * ) {
}

EFGameObject * Object( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id ) : nullptr;
}

f32 ClampVolume( const f32 volume ) {
	if ( volume > 1.0f ) {
		return 1.0f;
	}
	return volume < 0.0f ? 0.0f : volume;
}

// --- Slots ---

void Play( const u32 objectId, const u32 sound, const u32 argument ) {
	EFApiTrace::mFuncName = "(sound)Play";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	if ( object != nullptr ) {
		HandleSoundError( object->moNewSoundMgr.PlaySound( sound, argument ), "EFApi_NewSound->Play", sound, object );
	}
	EFApiTrace::mFuncName = nullptr;
}

void Stop( const u32 objectId, const u32 sound ) {
	EFApiTrace::mFuncName = "(sound)StopSound";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	if ( object != nullptr ) {
		if ( sound == ALL_SOUNDS ) {
			object->moNewSoundMgr.StopAllSound();
		} else {
			HandleSoundError( object->moNewSoundMgr.StopSound( sound ), "EFApi_NewSound->Stop", sound, object );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetListener( const u32 objectId ) {
	EFApiTrace::mFuncName = "SoundSetListener";
	if ( gpoNewAudioMgr != nullptr ) {
		// The audio update reads the listener outside any logic call, where
		// the running-object alias names nothing: the alias is stored as
		// the running object's own id.
		const EFGameObject * const running = objectId == RUNNING_OBJECT ? Object( RUNNING_OBJECT ) : nullptr;
		gpoNewAudioMgr->mui32ListenerId = running != nullptr ? running->GetUID() : objectId;
	}
	EFApiTrace::mFuncName = nullptr;
}

void Pause( const u32 value ) {
	EFApiTrace::mFuncName = "PauseSoundEvents";
	if ( gbDisableAudio == 0 && gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->PauseSoundEvents( value );
	}
	EFApiTrace::mFuncName = nullptr;
}

void Resume( const u32 value ) {
	EFApiTrace::mFuncName = "ResumeSoundEvents";
	if ( gbDisableAudio == 0 && gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->ResumeSoundEvents( value );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetVolumeByGroup( const u32 groupMask, const f32 volume ) {
	EFApiTrace::mFuncName = "SetVolumeByGroup";
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->SetVolumeByGroup( groupMask, volume );
	}
	EFApiTrace::mFuncName = nullptr;
}

// The four mix volumes: stored clamped to 0..1, read as stored.
void SetVolume( const char * const trace, f32 EFNewAudioMgr::* const field, const f32 volume ) {
	EFApiTrace::mFuncName = trace;
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->*field = ClampVolume( volume );
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 GetVolume( const char * const trace, f32 EFNewAudioMgr::* const field ) {
	EFApiTrace::mFuncName = trace;
	const f32 volume = gpoNewAudioMgr != nullptr ? gpoNewAudioMgr->*field : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return volume;
}

void SetGlobalVolume( const f32 volume ) {
	SetVolume( "SetGlobalVolume", &EFNewAudioMgr::mfGlobalVolume, volume );
}

f32 GetGlobalVolume() {
	return GetVolume( "GetGlobalVolume", &EFNewAudioMgr::mfGlobalVolume );
}

void SetFXVolume( const f32 volume ) {
	SetVolume( "SetFXVolume", &EFNewAudioMgr::mfEffectsVolume, volume );
}

f32 GetFXVolume() {
	return GetVolume( "GetFXVolume", &EFNewAudioMgr::mfEffectsVolume );
}

void SetStreamVolume( const f32 volume ) {
	SetVolume( "SetStreamVolume", &EFNewAudioMgr::mfStreamVolume, volume );
}

f32 GetStreamVolume() {
	return GetVolume( "GetStreamVolume", &EFNewAudioMgr::mfStreamVolume );
}

void SetVideoVolume( const f32 volume ) {
	SetVolume( "(sound)SetVideoVolume", &EFNewAudioMgr::mfVideoVolume, volume );
}

f32 GetVideoVolume() {
	return GetVolume( "(sound)GetVideoVolume", &EFNewAudioMgr::mfVideoVolume );
}

void SetSoundEventMasterVolume( const u32 objectId, const u32 sound, const f32 volume ) {
	EFApiTrace::mFuncName = "(sound)SoundSetSoundEventMasterVolume";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	if ( object != nullptr ) {
		HandleSoundError( object->moNewSoundMgr.SetSoundMasterVolume( sound, volume ),
						  "EFApi_NewSound->SetSEMasterVolume", sound, object );
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 GetSoundEventMasterVolume( const u32 objectId, const u32 sound ) {
	EFApiTrace::mFuncName = "(sound)SoundGetSoundEventMasterVolume";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	f32 volume = 0.0f;
	if ( object != nullptr ) {
		HandleSoundError( object->moNewSoundMgr.GetSoundMasterVolume( sound, &volume ),
						  "EFApi_NewSound->GetSEMasterVolume", sound, object );
	}
	EFApiTrace::mFuncName = nullptr;
	return volume;
}

u32 IsPlaying( const u32 objectId, const u32 sound ) {
	EFApiTrace::mFuncName = "(sound)IsPlaying";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	bool playing = false;
	if ( object != nullptr ) {
		HandleSoundError( object->moNewSoundMgr.IsSoundPlaying( sound, &playing ), "EFApi_NewSound->IsPlaying", sound,
						  object );
	}
	EFApiTrace::mFuncName = nullptr;
	return playing ? 1 : 0;
}

void SetPitch( const u32 objectId, const u32 sound, const f32 pitch ) {
	EFApiTrace::mFuncName = "(sound)SetPitch";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	if ( object != nullptr ) {
		HandleSoundError( object->moNewSoundMgr.SetSoundPitch( sound, pitch ), "EFApi_NewSound->SetPitch", sound,
						  object );
	}
	EFApiTrace::mFuncName = nullptr;
}

void ParentSoundEventToJoint( const u32 objectId, const u32 sound, const u32 joint, const u32 argument ) {
	EFApiTrace::mFuncName = "(sound)ParentSoundEventToJoint";
	EFGameObject * const object = gbDisableAudio == 0 ? Object( objectId ) : nullptr;
	if ( object != nullptr ) {
		HandleSoundError( object->moNewSoundMgr.ParentSoundToJoint( sound, joint, argument ),
						  "EFApi_NewSound->ParentSoundEventToJoint", sound, object );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetDSPEffectForGroup( const u32 groupMask, const u32 effect ) {
	EFApiTrace::mFuncName = "(sound)SetDSPEffectForGroup";
	if ( gbDisableAudio == 0 && gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->SetDSPEffectForGroup( groupMask, effect );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetDSPEffectMasterVolume( const u32 effect, const f32 volume ) {
	EFApiTrace::mFuncName = "(sound)SetDSPEffectMasterVolume";
	if ( gbDisableAudio == 0 && gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->SetDSPEffectMasterVolume( effect, volume );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetGCDSPEffect( const u32 effect, const u32 value ) {
	EFApiTrace::mFuncName = "(sound)SetGCDSPEffect";
	if ( gbDisableAudio == 0 && gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->SetGCDSPEffect( effect, value );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetMode( const u32 mode ) {
	EFApiTrace::mFuncName = "(sound)SetAudioEngineMode";
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->mui32EngineMode = mode;
	}
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiNewSoundNotInit() {
	bDone = true;
}

bool ApiNewSoundNotInitDone() {
	return bDone;
}

constexpr _api_newSound APInewSoundStubs = MakeLogicApiStubs<_api_newSound, ApiNewSoundNotInit>();
constinit _api_newSound APInewSound = MakeLogicApiStubs<_api_newSound, ApiNewSoundNotInit>();

void Init_NewSound() {
	InitAPI( &APInewSound, LOGIC_API_NEW_SOUND_SLOTS, &APInewSoundStubs );
	APInewSound.Play = Play;
	APInewSound.Stop = Stop;
	APInewSound.SetListener = SetListener;
	APInewSound.Pause = Pause;
	APInewSound.Resume = Resume;
	APInewSound.SetVolumeByGroup = SetVolumeByGroup;
	APInewSound.SetGlobalVolume = SetGlobalVolume;
	APInewSound.GetGlobalVolume = GetGlobalVolume;
	APInewSound.SetFXVolume = SetFXVolume;
	APInewSound.GetFXVolume = GetFXVolume;
	APInewSound.SetStreamVolume = SetStreamVolume;
	APInewSound.GetStreamVolume = GetStreamVolume;
	APInewSound.SetSoundEventMasterVolume = SetSoundEventMasterVolume;
	APInewSound.GetSoundEventMasterVolume = GetSoundEventMasterVolume;
	APInewSound.IsPlaying = IsPlaying;
	APInewSound.SetPitch = SetPitch;
	APInewSound.ParentSoundEventToJoint = ParentSoundEventToJoint;
	APInewSound.SetDSPEffectForGroup = SetDSPEffectForGroup;
	APInewSound.SetDSPEffectMasterVolume = SetDSPEffectMasterVolume;
	APInewSound.SetGCDSPEffect = SetGCDSPEffect;
	APInewSound.SetMode = SetMode;
	APInewSound.SetVideoVolume = SetVideoVolume;
	APInewSound.GetVideoVolume = GetVideoVolume;
}
