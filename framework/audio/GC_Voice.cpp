#include "framework/audio/GC_Voice.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "platform/am/AM.h"
#include "platform/mix/MIX.h"

#include <cstring>

namespace {

constexpr u32 NO_INDEX				= 0xFFFFFFFF;
// The DSP's output rate: a sample at this rate plays at ratio 1.0.
constexpr f32 OUTPUT_RATE			= 32000.0f;
// A pitch text of 24 adds 1.0 to the source ratio.
constexpr f32 PITCH_PER_RATIO		= 24.0f;
// Half 16 of the ADPCM block, the gain, is not read: the DSP's gain is 0.
constexpr u32 ADPCM_PREDICTOR		= 17;
constexpr u32 ADPCM_HISTORY1		= 18;
constexpr u32 ADPCM_HISTORY2		= 19;
constexpr u32 ADPCM_LOOP_PREDICTOR	= 20;
constexpr u32 ADPCM_LOOP_HISTORY1	= 21;
constexpr u32 ADPCM_LOOP_HISTORY2	= 22;
constexpr s32 MIX_SPAN				= 127;

u16 Half( const u8 * block, const u32 index ) {
	return DTReadBE16( block + index * 2 );
}

GC_SoundLoader * LoadedLoader( const u8 bank ) {
	if ( bank >= 3 || gpoSoundInfoLoader[bank] == nullptr || !gpoSoundInfoLoader[bank]->IsLoaded() ) {
		return nullptr;
	}
	return gpoSoundInfoLoader[bank];
}

}

s32 GCVolumeToAttenuation( const f32 volume ) {
	const s32 attenuation = DTFloatToS32( 904.0f * ( volume - 1.0f ) );
	if ( attenuation < GC_ATTENUATION_SILENT ) {
		return GC_ATTENUATION_SILENT;
	}
	return attenuation > 0 ? 0 : attenuation;
}

s32 GCPanToMixer( const f32 pan ) {
	return DTFloatToS32( 64.0f * pan + 64.0f );
}

void GCSilenceAndStop( AXVPB * voice ) {
	voice->envelope.currentVolume = 0;
	voice->envelope.currentDelta = 0;
	voice->sync |= AX_SYNC_ENVELOPE;
	AXSetVoiceState( voice, AX_VOICE_STOP );
}

GC_Voice * GCVoice_Claim( const u32 first, const u32 last, const u8 type ) {
	for ( u32 i = first; i < last; i++ ) {
		GC_Voice & voice = goxVoices[i];
		if ( voice.mui8Free != 0 ) {
			voice.mui8Free = 0;
			voice.mui8Type = type;
			voice.mui32Index = i;
			return &voice;
		}
	}
	return nullptr;
}

GC_Voice * GCVoice_FindFree( const u8 type ) {
	return GCVoice_Claim( 0, GC_STREAM_VOICE_COUNT, type );
}

GC_Voice::GC_Voice() {
	Reset();
}

GC_Voice::~GC_Voice() {
}

void GC_Voice::Reset() {
	mui32Handle = 0;
	mui32GroupMask = 0;
	mui32DSPEffect = 0;
	mui8Free = 1;
	mui8State = GC_VOICE_STATE_SETUP;
	mui8Bank = GC_VOICE_BANK_NONE;
	mui8Type = GC_VOICE_TYPE_NONE;
	mi8DeferredVolume = 0;
	mui8Loop = 0;
	mui32AramOffset = NO_INDEX;
	std::memset( maui16Coefficients, 0, sizeof( maui16Coefficients ) );
	mi32Attenuation = 0;
	mfVolume = 0.0f;
	mfPitch = 0.0f;
	mui32SampleRate = 0;
	mfPan = 0.0f;
	mpoDSPVoice = nullptr;
	mui32Index = NO_INDEX;
	moAddr = {};
	moAdpcm = {};
	moAdpcmLoop = {};
	moSrc = {};
	mui8RecordIndex = 0;
	mui8ListIndex = 0;
}

const u8 * GC_Voice::GetPlaybackRecord() const {
	const GC_SoundLoader * const loader = LoadedLoader( mui8Bank );
	return loader != nullptr ? loader->GetPlaybackRecord( mui8RecordIndex ) : nullptr;
}

const u8 * GC_Voice::GetSampleRecord() const {
	const GC_SoundLoader * const loader = LoadedLoader( mui8Bank );
	return loader != nullptr ? loader->GetSampleOfPlayback( mui8RecordIndex ) : nullptr;
}

u32 GC_Voice::GetFreeVoice() {
	mpoDSPVoice = AXAcquireVoice( GC_PRIORITY_EFFECT, DropVoiceCallback, mui32Index );
	if ( mpoDSPVoice == nullptr ) {
		return 0;
	}
	AXSetVoicePriority( mpoDSPVoice, GC_PRIORITY_EFFECT_HELD );
	return 1;
}

void GC_Voice::FillVolume( u8, u8 ) {
	const u8 * const record = GetPlaybackRecord();
	if ( record == nullptr ) {
		return;
	}
	mfVolume = static_cast<f32>( GCParseField( record + GC_PLAYBACK_VOLUME ) );
	mi32Attenuation = GCVolumeToAttenuation( mfVolume );
}

void GC_Voice::FillPan() {
	const u8 * const record = GetPlaybackRecord();
	if ( record != nullptr ) {
		mfPan = static_cast<f32>( GCParseField( record + GC_PLAYBACK_PAN ) );
	}
}

void GC_Voice::FillPitch() {
	const u8 * const record = GetPlaybackRecord();
	if ( record != nullptr ) {
		mfPitch = static_cast<f32>( GCParseField( record + GC_PLAYBACK_PITCH ) );
	}
}

void GC_Voice::FillLoop() {
	const u8 * const sample = GetSampleRecord();
	if ( sample != nullptr ) {
		mui8Loop = static_cast<u8>( DTReadBE32( sample + GC_SAMPLE_LOOP ) );
	}
}

void GC_Voice::FillSampleRate() {
	const u8 * const sample = GetSampleRecord();
	if ( sample != nullptr ) {
		mui32SampleRate = DTReadBE32( sample + GC_SAMPLE_RATE );
	}
}

void GC_Voice::FillAramOffset() {
	if ( LoadedLoader( mui8Bank ) != nullptr && mui8Type != GC_VOICE_TYPE_EFFECT ) {
		mui32AramOffset = StreamBufferStart;
	}
}

f32 GC_Voice::GetDelay( const u8 bank, const u8 record ) {
	const GC_SoundLoader * const loader = LoadedLoader( bank );
	const u8 * const playback = loader != nullptr ? loader->GetPlaybackRecord( record ) : nullptr;
	return playback != nullptr ? static_cast<f32>( GCParseField( playback + GC_PLAYBACK_DELAY ) ) : 0.0f;
}

void GC_Voice::SetAddr() {
	const u8 * const sample = GetSampleRecord();
	if ( sample == nullptr ) {
		return;
	}
	const u32 base = 2 * gpoSoundInfoLoader[mui8Bank]->mui32AramStart;
	const u32 start = base + DTReadBE32( sample + GC_SAMPLE_START );
	const u32 end = base + DTReadBE32( sample + GC_SAMPLE_END );
	moAddr.loopFlag = mui8Loop != 0 ? 1 : 0;
	moAddr.format = AX_FORMAT_ADPCM;
	GCSetNibble( moAddr.loopAddressHi, moAddr.loopAddressLo, mui8Loop != 0 ? start : 2 * AMGetZeroBuffer() + 2 );
	GCSetNibble( moAddr.endAddressHi, moAddr.endAddressLo, end );
	GCSetNibble( moAddr.currentAddressHi, moAddr.currentAddressLo, start );
}

void GC_Voice::SetAdpcm( const bool second ) {
	const u8 * const sample = GetSampleRecord();
	if ( sample == nullptr ) {
		return;
	}
	const u8 * const block = sample + ( second ? GC_SAMPLE_ADPCM_SECOND : GC_SAMPLE_ADPCM_FIRST );
	for ( u32 i = 0; i < 16; i++ ) {
		maui16Coefficients[i] = Half( block, i );
		moAdpcm.coefficients[i] = maui16Coefficients[i];
	}
	moAdpcm.gain = 0;
	moAdpcm.predictorScale = Half( block, ADPCM_PREDICTOR );
	moAdpcm.history1 = Half( block, ADPCM_HISTORY1 );
	moAdpcm.history2 = Half( block, ADPCM_HISTORY2 );
	const bool loops = DTReadBE32( sample + GC_SAMPLE_LOOP ) == 1;
	moAdpcmLoop.predictorScale = loops ? Half( block, ADPCM_LOOP_PREDICTOR ) : 0;
	moAdpcmLoop.history1 = loops ? Half( block, ADPCM_LOOP_HISTORY1 ) : 0;
	moAdpcmLoop.history2 = loops ? Half( block, ADPCM_LOOP_HISTORY2 ) : 0;
}

void GC_Voice::SetSrc() {
	const u32 ratio = DTFloatToU32( 65536.0 * static_cast<f64>( mui32SampleRate ) / 32000.0 );
	moSrc = {};
	moSrc.ratioHi = static_cast<u16>( ratio >> 16 );
	moSrc.ratioLo = static_cast<u16>( ratio & 0xFFFF );
}

void GC_Voice::SetPitch() {
	if ( mpoDSPVoice != nullptr ) {
		AXSetVoiceSrcRatio( mpoDSPVoice, mfPitch / PITCH_PER_RATIO + static_cast<f32>( mui32SampleRate ) / OUTPUT_RATE );
	}
}

void GC_Voice::Play( const f32 scale ) {
	if ( mpoDSPVoice == nullptr ) {
		return;
	}
	mfVolume *= scale;
	// Left unclamped here: the mixer plays anything above 0 at 0 dB.
	mi32Attenuation = DTFloatToS32( 904.0f * ( mfVolume - 1.0f ) );
	MIXInitChannel( mpoDSPVoice, 0, GC_ATTENUATION_OFF, GC_ATTENUATION_OFF, GC_ATTENUATION_OFF, MIX_PAN_CENTRE,
					MIX_SPAN, 0 );
	AXSetVoiceType( mpoDSPVoice, AX_VOICE_NORMAL );
	AXSetVoiceAddr( mpoDSPVoice, &moAddr );
	AXSetVoiceAdpcm( mpoDSPVoice, &moAdpcm );
	AXSetVoiceAdpcmLoop( mpoDSPVoice, &moAdpcmLoop );
	AXSetVoiceSrcType( mpoDSPVoice, AX_SRC_TYPE_4TAP );
	AXSetVoiceSrc( mpoDSPVoice, &moSrc );
	SetPitch();
	if ( mi8DeferredVolume == 0 ) {
		MIXSetInput( mpoDSPVoice, mi32Attenuation );
	}
	MIXSetPan( mpoDSPVoice, GCPanToMixer( mfPan ) );
	AXSetVoiceState( mpoDSPVoice, AX_VOICE_RUN );
	mui8State = GC_VOICE_STATE_PLAYING;
}

void GC_Voice::Stop() {
	if ( mpoDSPVoice != nullptr ) {
		GCSilenceAndStop( mpoDSPVoice );
	}
}

void GC_Voice::NoReleaseStop() {
	Stop();
}

void GC_Voice::Pause() {
	if ( mpoDSPVoice == nullptr || mpoDSPVoice->state != AX_VOICE_RUN ) {
		return;
	}
	mui8State = GC_VOICE_STATE_PAUSED;
	MIXSetInput( mpoDSPVoice, GC_ATTENUATION_SILENT );
	AXSetVoiceSrcRatio( mpoDSPVoice, 0.0f );
}

void GC_Voice::Resume() {
	mui8State = GC_VOICE_STATE_PLAYING;
	if ( mpoDSPVoice == nullptr ) {
		return;
	}
	if ( mpoDSPVoice->addr.currentAddressHi >= moAddr.currentAddressHi ) {
		MIXSetInput( mpoDSPVoice, mi32Attenuation );
		SetPitch();
	} else {
		AXSetVoiceState( mpoDSPVoice, AX_VOICE_STOP );
	}
}
