// The platform audio manager's voices: their set-up for the sound events,
// the frame step, pause and resume, the DSP-effect bookkeeping and the end.
#include "framework/audio/EFNewAudioMgrGC.h"

#include "datatypes/base/DTFloatToInt.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSound.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "platform/dvd/DVD.h"
#include "platform/mix/MIX.h"
#include "platform/mix/MIXVolumeTable.h"
#include "platform/os/OS.h"
#include "platform/pad/PAD.h"

namespace {

constexpr u32 NO_INDEX = 0xFFFFFFFF;

bool SharesGroup( const u32 recordMask, const u32 groupMask ) {
	return ( recordMask & groupMask ) != 0;
}

bool IsEffectRecord( const u32 index ) {
	return index >= GC_STREAM_VOICE_COUNT && index < GC_VOICE_COUNT;
}

// The mixer-table level of a linear volume.
u16 VolumeLevel( const f32 volume ) {
	return VolumeTable[GCVolumeToAttenuation( volume ) - GC_ATTENUATION_SILENT];
}

void SetAuxASends( AXVPB * voice, const u16 level ) {
	voice->mix.auxALeft = level;
	voice->mix.auxARight = level;
	voice->sync |= AX_SYNC_MIX;
}

void SetAuxBSends( AXVPB * voice, const u16 level ) {
	voice->mix.auxBLeft = level;
	voice->mix.auxBRight = level;
	voice->sync |= AX_SYNC_MIX;
}

}

bool EFNewAudioMgr_SP::VoiceIsValide( const GC_Voice & record ) {
	if ( record.mui8Free != 0 || record.mui8Type == GC_VOICE_TYPE_NONE ) {
		return false;
	}
	if ( record.mui8Type == GC_VOICE_TYPE_STREAM ) {
		return record.mui8Bank == GC_BANK_KIND_STREAM && record.mpoDSPVoice != nullptr && record.mui32Index != NO_INDEX;
	}
	const bool started = record.mui8State == GC_VOICE_STATE_PLAYING || record.mui8State == GC_VOICE_STATE_PAUSED;
	return record.mui32Handle != 0 && started && ( record.mui8Bank == 0 || record.mui8Bank == 1 );
}

void EFNewAudioMgr_SP::CompleteAndRelease( GC_Voice & record ) {
	if ( record.mui32Handle != 0 ) {
		SoundCompletionCallback( record.mui32Handle );
	}
	AXVPB * const voice = record.mpoDSPVoice;
	if ( voice != nullptr ) {
		GCSilenceAndStop( voice );
		MIXReleaseChannel( voice );
		AXFreeVoice( voice );
	}
	record.Reset();
}

u32 EFNewAudioMgr_SP::SetParametersGCVoice( EFNewSound * sound, const u32 bank, const u32 record, const u32 deferred,
											const u32 effect ) {
	if ( gbDisableAudio != 0 || sound == nullptr ) {
		return 0;
	}
	u32 entry = 0;
	while ( entry < EF_SOUND_VOICE_SLOTS && sound->mapoVoices[entry] != nullptr ) {
		entry++;
	}
	sound->mui8CurrentVoice = static_cast<u8>( entry );
	if ( entry == EF_SOUND_VOICE_SLOTS ) {
		return 1;
	}
	GC_Voice * const voice = GCVoice_FindFree( GC_VOICE_TYPE_EFFECT );
	sound->mapoVoices[entry] = voice;
	if ( voice == nullptr ) {
		return 1;
	}
	// Counted once claimed: the completion that gives the count back comes
	// only through a record.
	sound->mui8VoiceCount++;
	voice->mui8ListIndex = static_cast<u8>( entry );
	if ( voice->GetFreeVoice() == 0 ) {
		return 1;
	}
	voice->mui8Bank = static_cast<u8>( bank );
	voice->mi8DeferredVolume = static_cast<s8>( deferred );
	voice->mui32DSPEffect = effect;
	voice->mui8RecordIndex = static_cast<u8>( record );
	voice->FillVolume( voice->mui8Bank, voice->mui8RecordIndex );
	voice->FillPan();
	voice->FillPitch();
	voice->FillLoop();
	voice->FillSampleRate();
	voice->SetAddr();
	voice->SetAdpcm( false );
	voice->SetSrc();
	return 1;
}

void EFNewAudioMgr_SP::Update( f32 ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	CheckDisc();
	if ( mui32EngineMode == EF_SOUND_MODE_MONO ) {
		MIXSetSoundMode( MIX_SOUND_MODE_MONO );
	}
	UpdateStreams();
	for ( u32 i = 0; i < GC_VOICE_COUNT; i++ ) {
		GC_Voice & record = AudMgrpgoxVoices[i];
		if ( record.mui8Free != 0 ) {
			continue;
		}
		if ( !VoiceIsValide( record ) ) {
			CompleteAndRelease( record );
			continue;
		}
		// A paused effect's DSP voice holds its place running: stopped, it
		// was stopped for good.
		const AXVPB * const voice = record.mpoDSPVoice;
		const bool startedEffect = record.mui8Type == GC_VOICE_TYPE_EFFECT && ( record.mui8State == GC_VOICE_STATE_PLAYING ||
																			 record.mui8State == GC_VOICE_STATE_PAUSED );
		const bool finishedStream = record.mui8Type == GC_VOICE_TYPE_STREAM && record.mui8State == GC_VOICE_STATE_FINISHED;
		if ( voice != nullptr && ( startedEffect || finishedStream ) && voice->state == AX_VOICE_STOP ) {
			CompleteAndRelease( record );
		}
	}
}

void EFNewAudioMgr_SP::CheckDisc() {
	s32 state = DVDGetDriveStatus();
	if ( state < DVD_STATE_END || state > DVD_STATE_COVER_CLOSED ) {
		// A fatal state ends the run inside DVDGetDriveStatus.
		while ( state != DVD_STATE_END ) {
			PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
			GCDiscWaitTurn( state );
			SOUND_PushPause( 1 );
			state = DVDGetDriveStatus();
		}
	}
	SOUND_PushPause( 0 );
}

void EFNewAudioMgr_SP::UpdateStreams() {
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		GC_StreamingVoice & stream = pgoxStreamingVoices[slot];
		stream.FirstUpdate();
		if ( stream.mui8State != GC_STREAM_SLOT_RUNNING || stream.mpoVoice == nullptr ) {
			continue;
		}
		if ( stream.mpoVoice->mpoDSPVoice == nullptr ) {
			stream.StopStream();
		} else if ( stream.mpoVoice->mui8State != GC_VOICE_STATE_PAUSED ) {
			stream.UpdateStream();
		}
	}
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		GCStream_EndOfStream( slot );
	}
}

void EFNewAudioMgr_SP::SpecificUpdate( f32 ) {
}

void EFNewAudioMgr_SP::InitDspEffect() {
}

void EFNewAudioMgr_SP::SetGCDSPEffect( u32, u32 ) {
}

bool EFNewAudioMgr_SP::PauseSlot( const u32 slot, const u32 groupMask ) {
	GC_StreamingVoice & stream = pgoxStreamingVoices[slot];
	GC_Voice * const voice = stream.mpoVoice;
	if ( pStreamInfoBufferSoundGlobal[slot].mui8Active != GC_STREAM_ACTIVE || voice == nullptr ||
		 voice->mui8State != GC_VOICE_STATE_PLAYING || !SharesGroup( voice->mui32GroupMask, groupMask ) ) {
		return false;
	}
	stream.PauseStream();
	pStreamInfoBufferSoundGlobal[slot].mui8Active = GC_STREAM_PAUSED;
	voice->mui8State = GC_VOICE_STATE_PAUSED;
	return true;
}

bool EFNewAudioMgr_SP::ResumeSlot( const u32 slot, const u32 groupMask ) {
	GC_StreamingVoice & stream = pgoxStreamingVoices[slot];
	GC_Voice * const voice = stream.mpoVoice;
	if ( pStreamInfoBufferSoundGlobal[slot].mui8Active != GC_STREAM_PAUSED || voice == nullptr ||
		 voice->mui8State != GC_VOICE_STATE_PAUSED || !SharesGroup( voice->mui32GroupMask, groupMask ) ) {
		return false;
	}
	stream.ResumeStream();
	pStreamInfoBufferSoundGlobal[slot].mui8Active = GC_STREAM_ACTIVE;
	voice->mui8State = GC_VOICE_STATE_PLAYING;
	return true;
}

bool EFNewAudioMgr_SP::PauseRecord( GC_Voice & record, const u32 groupMask ) {
	if ( record.mui8Free != 0 || record.mui8State != GC_VOICE_STATE_PLAYING ||
		 !SharesGroup( record.mui32GroupMask, groupMask ) ) {
		return false;
	}
	record.Pause();
	return record.mui8State == GC_VOICE_STATE_PAUSED;
}

bool EFNewAudioMgr_SP::ResumeRecord( GC_Voice & record, const u32 groupMask ) {
	if ( record.mui8Free != 0 || record.mui8State != GC_VOICE_STATE_PAUSED ||
		 !SharesGroup( record.mui32GroupMask, groupMask ) ) {
		return false;
	}
	record.Resume();
	return true;
}

void EFNewAudioMgr_SP::SOUND_Pause( const u32 groupMask ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		PauseSlot( slot, groupMask );
	}
	for ( u32 i = GC_STREAM_VOICE_COUNT; i < GC_VOICE_COUNT; i++ ) {
		PauseRecord( AudMgrpgoxVoices[i], groupMask );
	}
}

void EFNewAudioMgr_SP::SOUND_Resume( const u32 groupMask ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		ResumeSlot( slot, groupMask );
	}
	for ( u32 i = GC_STREAM_VOICE_COUNT; i < GC_VOICE_COUNT; i++ ) {
		ResumeRecord( AudMgrpgoxVoices[i], groupMask );
	}
}

void EFNewAudioMgr_SP::SOUND_PushPause( const u32 on ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	constexpr u32 ALL_GROUPS = 0xFFFFFFFF;
	if ( on == 1 && mui8PausePushed == 0 ) {
		for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
			maui8PushPaused[slot] = PauseSlot( slot, ALL_GROUPS ) ? 1 : 0;
		}
		for ( u32 i = GC_STREAM_VOICE_COUNT; i < GC_VOICE_COUNT; i++ ) {
			maui8PushPaused[i] = PauseRecord( AudMgrpgoxVoices[i], ALL_GROUPS ) ? 1 : 0;
		}
		mui8PausePushed = 1;
	} else if ( on == 0 && mui8PausePushed != 0 ) {
		for ( u32 i = 0; i < GC_VOICE_COUNT; i++ ) {
			if ( maui8PushPaused[i] == 0 ) {
				continue;
			}
			maui8PushPaused[i] = 0;
			if ( i < GC_STREAM_SLOT_COUNT ) {
				ResumeSlot( i, ALL_GROUPS );
			} else if ( IsEffectRecord( i ) ) {
				ResumeRecord( AudMgrpgoxVoices[i], ALL_GROUPS );
			}
		}
		mui8PausePushed = 0;
	}
}

void EFNewAudioMgr_SP::SOUND_StopAllVoices() {
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		if ( pgoxStreamingVoices[slot].mui8State == GC_STREAM_SLOT_RUNNING ) {
			pgoxStreamingVoices[slot].StopStream();
		}
	}
	for ( u32 i = GC_STREAM_VOICE_COUNT; i < GC_VOICE_COUNT; i++ ) {
		GC_Voice & record = AudMgrpgoxVoices[i];
		if ( record.mui8Free == 0 && record.mui8State == GC_VOICE_STATE_PLAYING ) {
			record.NoReleaseStop();
		}
	}
}

void EFNewAudioMgr_SP::CountStreamPlayback( const bool started ) {
	if ( started ) {
		mui32StreamPlaybacks++;
	} else if ( mui32StreamPlaybacks > 0 ) {
		mui32StreamPlaybacks--;
	}
}

void EFNewAudioMgr_SP::PreTerminate() {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	SOUND_StopAllVoices();
	Update( 0.0f );
	for ( u32 i = 0; i < GC_VOICE_COUNT; i++ ) {
		if ( AudMgrpgoxVoices[i].mui8Free == 0 ) {
			CompleteAndRelease( AudMgrpgoxVoices[i] );
		}
	}
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		GCStream_CloseFile( &pStreamInfoBufferSoundGlobal[slot].mpoFile );
		GCStream_CloseFile( &pStreamInfoBufferSoundGlobal[slot].mpoSecondFile );
	}
}

void EFNewAudioMgr_SP::PostTerminate() {
	EFNewAudioMgr_BC::PostTerminate();
	for ( u32 & count : maui32Playbacks ) {
		count = 0;
	}
	if ( gbDisableAudio != 0 ) {
		return;
	}
	SOUND_Shutdown();
	const GC_SoundLoader * const effects = gpoSoundInfoLoader[1];
	if ( effects != nullptr && effects->IsLoaded() && effects->mpui8BlockA != nullptr ) {
		g_GCSoundEffect.ShutDown( nullptr, nullptr );
	}
	for ( GC_SoundLoader * loader : gpoSoundInfoLoader ) {
		if ( loader != nullptr ) {
			loader->FreeBlocks();
		}
	}
}

void EFNewAudioMgr_SP::SetDSPEffectForGroup( const u32 groupMask, const u32 effect ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	EFNewAudioMgr_BC::SetDSPEffectForGroup( groupMask, effect );
	SetGCDSPEffectForGroup( groupMask, effect );
}

void EFNewAudioMgr_SP::SetGCDSPEffectForGroup( const u32 groupMask, const u32 effect ) {
	const bool known = effect == 0 || effect == GC_DSP_EFFECT_ALL || effect == g_GCSoundEffect.GetBusACode() ||
					   effect == g_GCSoundEffect.GetBusBCode();
	if ( !known ) {
		return;
	}
	for ( u32 i = 0; i < GC_VOICE_COUNT; i++ ) {
		GC_Voice & record = AudMgrpgoxVoices[i];
		if ( record.mpoDSPVoice != nullptr && SharesGroup( record.mui32GroupMask, groupMask ) ) {
			record.mui32DSPEffect = effect;
		}
	}
}

void EFNewAudioMgr_SP::SetDSPEffectMasterVolume( const u32 effect, const f32 volume ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	const u16 level = VolumeLevel( volume );
	const bool busA = g_GCSoundEffect.GetBusACode() == effect;
	const bool busB = g_GCSoundEffect.GetBusBCode() == effect;
	if ( busA ) {
		g_GCSoundEffect.mui16BusAReturn = level;
	}
	if ( busB ) {
		g_GCSoundEffect.mui16BusBReturn = level;
	}
	if ( !busA && !busB ) {
		return;
	}
	const BOOL interrupts = OSDisableInterrupts();
	for ( u32 i = 0; i < GC_VOICE_COUNT; i++ ) {
		GC_Voice & record = AudMgrpgoxVoices[i];
		if ( record.mpoDSPVoice == nullptr ||
			 ( record.mui32DSPEffect != effect && record.mui32DSPEffect != GC_DSP_EFFECT_ALL ) ) {
			continue;
		}
		if ( busA ) {
			SetAuxASends( record.mpoDSPVoice, level );
		}
		if ( busB ) {
			SetAuxBSends( record.mpoDSPVoice, level );
		}
	}
	OSRestoreInterrupts( interrupts );
}
