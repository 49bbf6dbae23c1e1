#include "framework/audio/EFNewAudioMgrGC.h"

#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSound.h"
#include "framework/audio/EFNewSoundStream.h"
#include "framework/audio/EFSoundTableFile.h"
#include "framework/audio/GCBankPath.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/mix/MIXVolumeTable.h"
#include "platform/os/OS.h"
#include "framework/graphics/EFLoadingScreen.h"

#include <cctype>

GC_Voice *				AudMgrpgoxVoices = goxVoices;
GC_StreamingVoice *		pgoxStreamingVoices = goxStreamingVoices;
GC_StreamInfo *			pStreamInfoBufferSoundGlobal = StreamInfoBuffer;

namespace {

// The playback record of a sound object in a loaded bank, or null.
const u8 * PlaybackRecordOf( const u32 bank, const EFNewSound * sound ) {
	if ( bank >= EF_AUDIO_BANK_COUNT || sound == nullptr || gpoSoundInfoLoader[bank] == nullptr ||
		 !gpoSoundInfoLoader[bank]->IsLoaded() ) {
		return nullptr;
	}
	return gpoSoundInfoLoader[bank]->GetPlaybackRecord( sound->GetSamplePlaybackID() );
}

// Copies at most EF_AUDIO_NAME_MAX characters of source, upper-cased,
// and terminates.
void CopyUpperName( char * target, const char * source ) {
	u32 i = 0;
	for ( ; source != nullptr && i < EF_AUDIO_NAME_MAX && source[i] != '\0'; i++ ) {
		target[i] = static_cast<char>( std::toupper( static_cast<u8>( source[i] ) ) );
	}
	target[i] = '\0';
}

}

EFNewAudioMgr_SP::EFNewAudioMgr_SP()
	: maszBankNames(), maui32Playbacks(), mui32StreamPlaybacks( 0 ), mui8PausePushed( 0 ), maui8PushPaused() {
	for ( u32 kind = 0; kind < EF_AUDIO_BANK_COUNT; kind++ ) {
		delete gpoSoundInfoLoader[kind];
		gpoSoundInfoLoader[kind] = new GC_SoundLoader( kind );
	}
}

EFNewAudioMgr_SP::~EFNewAudioMgr_SP() {
	DeleteBanks();
	for ( GC_SoundLoader *& loader : gpoSoundInfoLoader ) {
		delete loader;
		loader = nullptr;
	}
}

u32 EFNewAudioMgr_SP::Initialize() {
	EFNewAudioMgr_BC::Initialize();
	return 1;
}

void EFNewAudioMgr_SP::ProgressStep( EFLoadingScreen * screen, u32 * progress, const u32 total ) {
	if ( progress == nullptr ) {
		return;
	}
	*progress += 1;
	if ( screen != nullptr && total != 0 ) {
		screen->Update( static_cast<f32>( *progress ) / static_cast<f32>( total ) );
	}
}

void EFNewAudioMgr_SP::LoadSoundBanks( EFLoadingScreen * screen, u32 * progress, const u32 total ) {
	if ( gbDisableAudio != 0 ) {
		return;
	}
	// The banks outlive the level heap, which the next load resets before
	// they are replaced: they live in the global heap.
	const u32 previousHeap = MMChangeHeap( MM_GLOBAL_HEAP );
	LoadAllBanks( screen, progress, total );
	MMChangeHeap( previousHeap );
}

void EFNewAudioMgr_SP::LoadAllBanks( EFLoadingScreen * screen, u32 * progress, const u32 total ) {
	for ( GC_StreamInfo & info : StreamInfoBuffer ) {
		info.mui8DiscState = GC_DISC_FIRST_COPY;
		info.mui8Active = GC_STREAM_INACTIVE;
	}
	g_CurrAramOffset = StreamBufferStart + GC_STREAM_BUFFER_BYTES;
	GCVoice_GlobalInit( nullptr );

	GC_SoundLoader * const * const loaders = gpoSoundInfoLoader;
	if ( maszBankNames[0][0] != '\0' ) {
		loaders[0]->LoadSbb( maszBankNames[0] );
		ProgressStep( screen, progress, total );
		loaders[0]->ReadSbhInfoFromFile( maszBankNames[0] );
		loaders[0]->Copy();
		loaders[0]->FreeFileBlock();
		ProgressStep( screen, progress, total );
	}
	if ( maszBankNames[2][0] != '\0' ) {
		ProgressStep( screen, progress, total );
		loaders[2]->ReadSbhInfoFromFile( maszBankNames[2] );
		loaders[2]->Copy();
		loaders[2]->FreeFileBlock();
		ProgressStep( screen, progress, total );
	}
	if ( maszBankNames[1][0] != '\0' ) {
		loaders[1]->ReadSbhInfoFromFile( maszBankNames[1] );
		loaders[1]->Copy();
		loaders[1]->FreeFileBlock();
		ProgressStep( screen, progress, total );
		loaders[1]->LoadSbb( maszBankNames[1] );
		ProgressStep( screen, progress, total );
	}
	InitSETTables( EF_AUDIO_BANK_COUNT );
	for ( u32 bank = 0; bank < EF_AUDIO_BANK_COUNT; bank++ ) {
		if ( maszBankNames[bank][0] != '\0' ) {
			BuildSETTable( bank, maszBankNames[bank] );
		}
		ProgressStep( screen, progress, total );
	}
	InitTSCTables( EF_AUDIO_BANK_COUNT );
	for ( u32 bank = 0; bank < EF_AUDIO_BANK_COUNT; bank++ ) {
		if ( maszBankNames[bank][0] != '\0' ) {
			BuildTSCTable( bank, maszBankNames[bank] );
		}
		ProgressStep( screen, progress, total );
	}
	LoadRawData( screen, progress, total );
	GCResetDspHeap();
	ProgressStep( screen, progress, total );
}

void EFNewAudioMgr_SP::LoadRawData( EFLoadingScreen * screen, u32 * progress, const u32 total ) {
	if ( gbDisableAudio != 0 || mui32NbBanks == 0 || mpppoSounds == nullptr ) {
		return;
	}
	const u32 banks = mui32NbBanks < EF_AUDIO_BANK_COUNT ? mui32NbBanks : EF_AUDIO_BANK_COUNT;
	for ( u32 bank = 0; bank < banks; bank++ ) {
		InstallSoundObjects( bank, nullptr, 0 );
	}
	for ( u32 bank = 0; bank < banks; bank++ ) {
		const bool hasTable = mppoSETTables != nullptr && mppoSETTables[bank] != nullptr;
		if ( hasTable && maszBankNames[bank][0] != '\0' && !LoadBankObjects( bank ) ) {
			return;
		}
		ProgressStep( screen, progress, total );
	}
}

bool EFNewAudioMgr_SP::LoadBankObjects( const u32 bank ) {
	static const GCBankFolder FIRST_BANK_FOLDERS[] = { GC_BANK_LEVEL, GC_BANK_GLOBAL, GC_BANK_GLOBAL_GEN };
	static const GCBankFolder OTHER_BANK_FOLDERS[] = { GC_BANK_LEVEL, GC_BANK_LEVEL_GEN };
	const GCBankFolder * const folders = bank == 0 ? FIRST_BANK_FOLDERS : OTHER_BANK_FOLDERS;
	const u32 folderCount = bank == 0 ? 3 : 2;

	char path[GC_BANK_PATH_SIZE] = "";
	DTFileHandle_ * file = nullptr;
	for ( u32 i = 0; i < folderCount && file == nullptr; i++ ) {
		if ( GCBankPath( path, folders[i], maszBankNames[bank], "SBH", '\\' ) ) {
			file = DTFopen( path, "rb" );
		}
	}
	if ( file == nullptr ) {
		OSReport( "File not found == %s!!!!\n", path );
		return false;
	}
	const u32 size = DTFsize( file );
	u8 * const block = static_cast<u8 *>( MMLoadMalloc( size + 128 ) );
	const u32 read = block != nullptr ? DTFread( block, 1, size, file ) : 0;
	DTFclose( file );

	u32 header[GC_SBH_HEADER_WORDS] = {};
	if ( read >= GC_SBH_HEADER_BYTES ) {
		for ( u32 i = 0; i < GC_SBH_HEADER_WORDS; i++ ) {
			header[i] = DTReadBE32( block + i * 4 );
		}
	}
	const u32 major = header[GC_SBH_VERSION] >> 16;
	const u32 minor = header[GC_SBH_VERSION] & 0xFFFF;
	bool valid = false;
	if ( read < GC_SBH_HEADER_BYTES || header[GC_SBH_MAGIC] != EF_AUDIO_FILE_MAGIC ) {
		OSReport( "File %s is not a valid QZR file!!!!\n", path );
	} else if ( header[GC_SBH_PLATFORM_WORD] != GC_SBH_PLATFORM || !GCSbhBlocksFit( header, read ) ) {
		OSReport( "File %s is not a valid GC file!!!!\n", path );
	} else if ( major != GC_SBH_VERSION_MAJOR ) {
		OSReport( "File %s was compiled with an incompatible version of the Tool (with v1.%d)!!!!\n", path,
				  static_cast<s32>( major ) );
	} else {
		if ( minor != GC_SBH_VERSION_MINOR ) {
			OSReport( "WARNING!!! File %s was compiled with another version of the Tool (with v1.%d.%d)!!!!\n", path,
					  static_cast<s32>( major ), static_cast<s32>( minor ) );
		}
		valid = true;
	}
	if ( !valid ) {
		MMFree( block );
		return false;
	}

	const u32 count = header[GC_SBH_PLAYBACKS_SIZE] / GC_PLAYBACK_RECORD_BYTES;
	const bool stream = header[GC_SBH_KIND] == GC_BANK_KIND_STREAM;
	char * const samples = reinterpret_cast<char *>( block + header[GC_SBH_SAMPLES_OFFSET] );
	const u32 sampleCount = header[GC_SBH_SAMPLES_SIZE] / GC_SAMPLE_RECORD_BYTES;
	EFNewSound ** const sounds = count > 0 ? new EFNewSound *[count]() : nullptr;
	for ( u32 i = 0; i < count; i++ ) {
		char * const record = reinterpret_cast<char *>( block + header[GC_SBH_PLAYBACKS_OFFSET] + i * GC_PLAYBACK_RECORD_BYTES );
		EFNewSound * sound = nullptr;
		if ( stream ) {
			EFNewSoundStream * const streamSound = new EFNewSoundStream;
			streamSound->LoadFromStream( record );
			streamSound->LoadBodyFileInformationFromStream( samples, sampleCount );
			sound = streamSound;
		} else {
			sound = new EFNewSound;
			sound->LoadFromStream( record );
		}
		sound->mui32PlaybackIndex = i;
		sounds[i] = sound;
	}
	InstallSoundObjects( bank, sounds, count );
	MMFree( block );
	return true;
}

u32 EFNewAudioMgr_SP::GetNumberOfPlaybacks( const u32 bank ) {
	return bank < EF_AUDIO_BANK_COUNT && bank < mui32NbBanks ? maui32Playbacks[bank] : 0;
}

GC_Voice * EFNewAudioMgr_SP::GCVoice_FindFree( const u8 type ) {
	if ( gbDisableAudio != 0 ) {
		return nullptr;
	}
	return GCVoice_Claim( GC_STREAM_VOICE_COUNT, GC_VOICE_COUNT, type );
}








void EFNewAudioMgr_SP::SendSpecificData( char * first, char * second, char * third ) {
	const char * const names[EF_AUDIO_BANK_COUNT] = { third, second, first };
	for ( u32 bank = 0; bank < EF_AUDIO_BANK_COUNT; bank++ ) {
		CopyUpperName( maszBankNames[bank], names[bank] );
	}
}

const char * EFNewAudioMgr_SP::GetBankName( const u32 bank ) const {
	return bank < EF_AUDIO_BANK_COUNT ? maszBankNames[bank] : "";
}

u32 EFNewAudioMgr_SP::SOUND_GetNumberOfPlaybacks( const u32 bank ) {
	return GetNumberOfPlaybacks( bank );
}

u32 EFNewAudioMgr_SP::GetGCSoundBodyId( u32, const u32 id ) {
	return id;
}


u32 EFNewAudioMgr_SP::SOUND_GetVolumeOfSample( const u32 bank, u32, EFNewSound * sound ) {
	const u8 * const record = PlaybackRecordOf( bank, sound );
	if ( gbDisableAudio != 0 || record == nullptr ) {
		return 0;
	}
	const s32 attenuation = GCVolumeToAttenuation( static_cast<f32>( GCParseField( record + GC_PLAYBACK_VOLUME ) ) );
	return VolumeTable[attenuation - GC_ATTENUATION_SILENT];
}

f32 EFNewAudioMgr_SP::SOUND_GetPanOfSample( const u32 bank, u32, EFNewSound * sound ) {
	const u8 * const record = PlaybackRecordOf( bank, sound );
	if ( gbDisableAudio != 0 || record == nullptr ) {
		return 0.0f;
	}
	return static_cast<f32>( GCParseField( record + GC_PLAYBACK_PAN ) );
}




bool EFNewAudioMgr_SP::InstallSoundObjects( const u32 bank, EFNewSound ** sounds, const u32 count ) {
	if ( mpppoSounds == nullptr || bank >= mui32NbBanks || bank >= EF_AUDIO_BANK_COUNT ) {
		return false;
	}
	if ( mpppoSounds[bank] != nullptr ) {
		for ( u32 i = 0; i < maui32Playbacks[bank]; i++ ) {
			delete mpppoSounds[bank][i];
		}
		delete[] mpppoSounds[bank];
	}
	mpppoSounds[bank] = sounds;
	maui32Playbacks[bank] = sounds != nullptr ? count : 0;
	return true;
}


void EFNewAudioMgr_SP::SoundCompletionCallback( const u32 completionId ) {
	if ( completionId == 0 || gpoNewAudioMgr == nullptr ) {
		return;
	}
	gpoNewAudioMgr->moCompletionQueue.PushBack( completionId );
}
