#include "framework/audio/EFNewSoundStreamGC.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/file/DTFile.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "platform/mix/MIX.h"
#include "platform/os/OS.h"

#include <strings.h>

#include <cstring>

namespace {

// Characters of a stream name kept: the record's field less its terminator.
constexpr u32 STREAM_NAME_MAX = GC_SAMPLE_NAME_BYTES - 1;
// The silence stream that plays under set exclusion without stopping its set.
const char * const SILENCE_STREAM = "STREAM\\GLOBAL\\HEROES\\SILENCE.DSP";

}

void EFNewSoundStream_SP::LoadFromStream( char * record ) {
	EFNewSound_SP::LoadFromStream( record );
}

void EFNewSoundStream_SP::LoadBodyFileInformationFromStream( char * samples, const u32 sampleCount ) {
	if ( samples == nullptr || mui32SampleIndex >= sampleCount ) {
		return;
	}
	std::memcpy( maui8Sample, samples + mui32SampleIndex * GC_SAMPLE_RECORD_BYTES, GC_SAMPLE_RECORD_BYTES );
	maui8Sample[STREAM_NAME_MAX] = '\0';
	const size_t length = strnlen( reinterpret_cast<const char *>( maui8Sample ), STREAM_NAME_MAX );
	const char * const name = reinterpret_cast<const char *>( maui8Sample );
	mui32InfoFile = length >= 4 && ( std::strcmp( name + length - 4, ".int" ) == 0 ||
									 std::strcmp( name + length - 4, ".INT" ) == 0 ) ? 1 : 0;
}

void EFNewSoundStream_SP::ResetSound( u32, u32 ) {
}

u32 EFNewSoundStream_SP::PlaySound( u32, const u32 completionId, const u32 groupMask, u32, u32, u32 ) {
	if ( gbDisableAudio != 0 || gpoNewAudioMgr == nullptr ) {
		return EF_NO_VOICE;
	}
	gpoNewAudioMgr->CountStreamPlayback( true );
	u32 slot = 0;
	while ( slot < GC_STREAM_SLOT_COUNT && pgoxStreamingVoices[slot].mui8State != GC_STREAM_SLOT_IDLE ) {
		slot++;
	}
	if ( slot == GC_STREAM_SLOT_COUNT ) {
		OSReport( "No more channel to play the mono stream, please try again...\n" );
		return EF_NO_VOICE;
	}
	GC_Voice * const voice = GCVoice_FindFree( GC_VOICE_TYPE_STREAM );
	if ( voice == nullptr ) {
		return EF_NO_VOICE;
	}
	GC_StreamingVoice & stream = pgoxStreamingVoices[slot];
	GC_StreamInfo & info = pStreamInfoBufferSoundGlobal[slot];
	mui8Slot = static_cast<u8>( slot );
	mpoSlot = &stream;
	stream.mpoVoice = voice;
	stream.mpui8Staging = info.mpui8Staging;
	stream.mui8Slot = mui8Slot;
	voice->mui8Bank = GC_BANK_KIND_STREAM;
	voice->mui8RecordIndex = static_cast<u8>( GetSamplePlaybackID() );
	voice->mui32Handle = completionId;
	voice->mui32GroupMask = groupMask;
	stream.mui32GroupMask = groupMask;

	char * const name = stream.GetFileName();
	if ( OpenStreamFile( name, &info.mpoFile ) == 0 ) {
		// The record without a DSP voice completes the play at the next frame.
		return slot;
	}
	const u8 * const sample = voice->GetSampleRecord();
	const bool loops = sample != nullptr && DTReadBE32( sample + GC_SAMPLE_LOOP ) == 1;
	info.mpoSecondFile = nullptr;
	if ( loops ) {
		OpenStreamFile( name, &info.mpoSecondFile );
	}
	const u32 length = DTFsize( info.mpoFile );
	const u32 rest = length % GC_STREAM_CHUNK_BYTES;
	stream.mui32TotalBytes = rest == 0 || loops ? length : length + ( GC_STREAM_CHUNK_BYTES - rest );
	LoadStreamChunk( GC_CHUNK_SYNC_FIRST, mui8Slot, &info.mpoFile, GC_STREAM_CHUNK_BYTES, info.mpui8Staging, nullptr );
	stream.mui8State = GC_STREAM_SLOT_REQUESTED;
	return slot;
}

void EFNewSoundStream_SP::StopSound( u32, const u32 slot, bool ) {
	if ( slot >= GC_STREAM_SLOT_COUNT ) {
		return;
	}
	pgoxStreamingVoices[slot].StopStream();
	if ( gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->CountStreamPlayback( false );
	}
}

void EFNewSoundStream_SP::SetPitch( u32, f32 ) {
}

void EFNewSoundStream_SP::SetFinalVolume( const u32 slot, const f32 pan, const f32 volume ) {
	if ( slot >= GC_STREAM_SLOT_COUNT || gpoNewAudioMgr == nullptr ) {
		return;
	}
	GC_Voice * const voice = pgoxStreamingVoices[slot].mpoVoice;
	if ( voice == nullptr || voice->mpoDSPVoice == nullptr || voice->mui8State != GC_VOICE_STATE_PLAYING ) {
		return;
	}
	const f32 level = volume * gpoNewAudioMgr->mfStreamVolume;
	MIXSetInput( voice->mpoDSPVoice, DTFloatToS32( 904.0f * ( level - 1.0f ) ) );
	MIXSetPan( voice->mpoDSPVoice, GCPanToMixer( pan ) );
}

bool EFNewSoundStream_SP::CanCheckForSET() {
	const char * const name = mpoSlot != nullptr ? mpoSlot->GetFileName() : nullptr;
	return name == nullptr || strcasecmp( name, SILENCE_STREAM ) != 0;
}
