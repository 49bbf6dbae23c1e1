/*
	Sound banks: a level load of bank 0 whose .SBH (bit 0 of the first
	byte clear) or .SBB (set) is the rest of the input; bit 1 makes the
	.SBH bank 2, the stream bank. The loaders' records and the sound
	objects are then walked, and a voice is filled from every playback
	record, as playing would.
*/
#include "FuzzTarget.h"

#include "datatypes/file/DTFile.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSoundStream.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "platform/ax/AXHost.h"
#include "tools/lib/audio/ToolAdpcmTestSignals.h"
#include "tools/lib/audio/ToolSoundBankWriter.h"
#include "tools/lib/audio/ToolSoundTableWriter.h"

#include <cstring>

namespace {

constexpr u8 kDataKind = 1;
constexpr u8 kStreamBank = 2;
// Playback records a voice is filled from.
constexpr u32 kVoicedRecords = 16;

EFNewAudioMgr* gAudio = nullptr;

std::vector<u8> ValidHeader( const bool stream ) {
	ToolSoundBank bank;
	std::vector<u8> sbb;
	bank.kind = stream ? 2 : 0;
	bank.samples.push_back( ToolAddBankSample( sbb, ToolAdpcmTestSignals::Tone( 440.0, 32000, 300, 8000.0 ), 32000, true ) );
	bank.samples.push_back( ToolAddBankSample( sbb, ToolAdpcmTestSignals::Tone( 220.0, 32000, 200, 8000.0 ), 22050, false ) );
	bank.samples[1].name = "STREAM\\FUZZ\\A.INT";
	bank.playbacks.resize( 3 );
	bank.playbacks[1].sampleIndex = 1;
	bank.playbacks[1].volume = "R/0.2/0.9";
	bank.playbacks[2].pitch = "12345678901234567890";
	return ToolWriteSoundBankHeader( bank );
}

void Walk( const u32 bank ) {
	const GC_SoundLoader& loader = *gpoSoundInfoLoader[bank];
	for ( u32 i = 0; i < loader.GetPlaybackCount(); i++ ) {
		const u8* const sample = loader.GetSampleOfPlayback( i );
		const u8* const first = loader.GetSampleRecord( 0 );
		FuzzCheck( sample == nullptr || ( first != nullptr && sample >= first &&
										  sample < first + loader.GetSampleCount() * GC_SAMPLE_RECORD_BYTES ),
				   "a sample outside the records" );
	}
	EFNewSound** const sounds = gAudio->GetBankSounds( bank );
	for ( u32 i = 0; sounds != nullptr && i < gAudio->GetNumberOfPlaybacks( bank ); i++ ) {
		FuzzCheck( sounds[i] != nullptr, "a counted sound object is missing" );
		if ( EFNewSoundStream* const stream = dynamic_cast<EFNewSoundStream*>( sounds[i] ) ) {
			volatile size_t length = strnlen( reinterpret_cast<const char*>( stream->maui8Sample ), sizeof( stream->maui8Sample ) );
			FuzzCheck( length < sizeof( stream->maui8Sample ), "a stream name without its end" );
		}
	}
	for ( u32 i = 0; i < loader.GetPlaybackCount() && i < kVoicedRecords; i++ ) {
		GC_Voice& voice = goxVoices[16];
		voice.Reset();
		voice.mui8Free = 0;
		voice.mui8Bank = static_cast<u8>( bank );
		voice.mui8RecordIndex = static_cast<u8>( i );
		voice.FillVolume( voice.mui8Bank, voice.mui8RecordIndex );
		voice.FillPan();
		voice.FillPitch();
		voice.FillLoop();
		voice.FillSampleRate();
		voice.FillAramOffset();
		voice.SetAddr();
		voice.SetAdpcm( false );
		voice.SetSrc();
		( void )GC_Voice::GetDelay( voice.mui8Bank, voice.mui8RecordIndex );
		GC_StreamingVoice& stream = goxStreamingVoices[0];
		stream.mpoVoice = &voice;
		( void )stream.GetFileName();
		stream.mpoVoice = nullptr;
		voice.Reset();
	}
}

void LoadBank( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	const bool bankData = ( data[0] & kDataKind ) != 0;
	const bool streamBank = !bankData && ( data[0] & kStreamBank ) != 0;
	const std::vector<u8> header = ValidHeader( streamBank );
	FuzzCheck( FuzzDiscWriteFile( "LEVEL/AUDIO/F.SBH", bankData ? header.data() : data + 1,
								  bankData ? header.size() : size - 1 ),
			   "the header does not reach the disc" );
	FuzzCheck( FuzzDiscWriteFile( "LEVEL/AUDIO/F.SBB", bankData ? data + 1 : nullptr, bankData ? size - 1 : 0 ),
			   "the data do not reach the disc" );
	const std::vector<u8> table = ToolWriteSoundEventTable( { {} } );
	FuzzCheck( FuzzDiscWriteFile( "LEVEL/AUDIO/F.TSE", table.data(), table.size() ), "the table does not reach the disc" );
	if ( gAudio == nullptr ) {
		HostAudioReset();
		InitLowLevelSound( nullptr );
		gAudio = new EFNewAudioMgr();
	}
	char name[] = "F";
	char none[] = "";
	if ( streamBank ) {
		gAudio->SendSpecificData( name, none, none );
	} else {
		gAudio->SendSpecificData( none, none, name );
	}
	u32 progress = 0;
	gAudio->LoadSoundBanks( nullptr, &progress, EF_AUDIO_ELEMENT_COUNT );
	FuzzCheck( progress <= EF_AUDIO_ELEMENT_COUNT, "more progress steps than promised" );
	FuzzCheck( g_CurrAramOffset <= GCGetBankAreaEnd(), "bank data past the bank area" );
	Walk( streamBank ? 2 : 0 );
	FuzzCheck( DTNbrFileInUse() == 0, "a bank left its file open" );
	gAudio->PostTerminate();
}

std::vector<u8> Tagged( const u8 kind, const std::vector<u8>& file ) {
	std::vector<u8> input;
	input.reserve( file.size() + 1 );
	input.push_back( kind );
	input.insert( input.end(), file.begin(), file.end() );
	return input;
}

} // namespace

FUZZ_TARGET( sound_banks ) {
	FuzzWithoutArenaLeak( LoadBank, data, size );
}

static void FuzzSeeds_sound_banks( std::vector<FuzzSeed>& seeds ) {
	const std::vector<u8> samples = ValidHeader( false );
	const std::vector<u8> streams = ValidHeader( true );
	seeds.push_back( { "samples.sbh", Tagged( 0, samples ) } );
	seeds.push_back( { "streams.sbh", Tagged( kStreamBank, streams ) } );
	std::vector<u8> sbb;
	ToolAddBankSample( sbb, ToolAdpcmTestSignals::Tone( 440.0, 32000, 300, 8000.0 ), 32000, true );
	seeds.push_back( { "data.sbb", Tagged( kDataKind, sbb ) } );
	u32 n = 0;
	for ( const std::vector<u8>& damaged : ToolMalformedSoundBankHeaders( samples ) ) {
		seeds.push_back( { "damaged-" + std::to_string( n++ ) + ".sbh", Tagged( 0, damaged ) } );
	}
	for ( const std::vector<u8>& damaged : ToolMalformedSoundBankHeaders( streams ) ) {
		seeds.push_back( { "damaged-" + std::to_string( n++ ) + ".sbh", Tagged( kStreamBank, damaged ) } );
	}
}
