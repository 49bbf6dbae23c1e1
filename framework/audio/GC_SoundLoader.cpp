#include "framework/audio/GC_SoundLoader.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/GCBankPath.h"
#include "framework/audio/GCLowLevelSound.h"
#include "platform/arq/ARQ.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"

#include <cstring>
#include <initializer_list>

GC_SoundLoader *	gpoSoundInfoLoader[3] = {};
volatile u32		gReadChunkDone = 0;
// The bank chunk transfers use the first record.
ARQRequest			arq_handle[1];

namespace {

constexpr u32 TRANSFER_ALIGN = 32;

u8 * CopyBlock( const u8 * file, const u32 offset, const u32 size ) {
	if ( size == 0 ) {
		return nullptr;
	}
	u8 * const block = static_cast<u8 *>( MMMalloc( size ) );
	if ( block != nullptr ) {
		std::memcpy( block, file + offset, size );
	}
	return block;
}

}

bool GCSbhBlocksFit( const u32 * header, const u32 fileSize ) {
	for ( const u32 word : { GC_SBH_BLOCK_A_OFFSET, GC_SBH_SAMPLES_OFFSET, GC_SBH_PLAYBACKS_OFFSET } ) {
		const u64 end = static_cast<u64>( header[word] ) + header[word + 1];
		if ( end > fileSize ) {
			return false;
		}
	}
	return true;
}

void SbbDvdReadCallback( s32, DVDFileInfo * ) {
	gReadChunkDone = 1;
}

GC_SoundLoader::GC_SoundLoader( const u32 kind )
	: mui32AramStart( 0 ), maui32Header(), mui8Loaded( 0 ), mpui8FileBlock( nullptr ), mui32Kind( kind ),
	  mpui8BlockA( nullptr ), mpui8Samples( nullptr ), mpui8Playbacks( nullptr ), mui32FileSize( 0 ) {
}

GC_SoundLoader::~GC_SoundLoader() {
	FreeFileBlock();
	FreeBlocks();
}

DTFileHandle_ * GC_SoundLoader::OpenBankFile( char * path, const char * name, const char * extension,
											 const char separator ) const {
	DTFileHandle_ * file = nullptr;
	if ( GCBankPath( path, GC_BANK_LEVEL, name, extension, separator ) ) {
		file = DTFopen( path, "rb" );
	}
	if ( file == nullptr && mui32Kind == 0 && GCBankPath( path, GC_BANK_GLOBAL, name, extension, separator ) ) {
		file = DTFopen( path, "rb" );
	}
	return file;
}

u8 * GC_SoundLoader::ReadSbhInfoFromFile( char * name ) {
	FreeFileBlock();
	char path[GC_BANK_PATH_SIZE];
	DTFileHandle_ * const file = OpenBankFile( path, name, "SBH", '\\' );
	if ( file == nullptr ) {
		return nullptr;
	}
	const u32 size = DTFsize( file );
	mpui8FileBlock = static_cast<u8 *>( MMLoadMalloc( size > 0 ? size : TRANSFER_ALIGN ) );
	mui32FileSize = 0;
	if ( mpui8FileBlock != nullptr ) {
		mui32FileSize = DTFread( mpui8FileBlock, 1, size, file );
	}
	DTFclose( file );
	return mpui8FileBlock;
}

void GC_SoundLoader::Copy() {
	if ( mpui8FileBlock == nullptr ) {
		return;
	}
	// A new copy replaces the last one, which would otherwise be lost.
	FreeBlocks();
	if ( mui32FileSize < GC_SBH_HEADER_BYTES ) {
		return;
	}
	for ( u32 i = 0; i < GC_SBH_HEADER_WORDS; i++ ) {
		maui32Header[i] = DTReadBE32( mpui8FileBlock + i * 4 );
	}
	if ( !GCSbhBlocksFit( maui32Header, mui32FileSize ) ) {
		return;
	}
	mpui8BlockA = CopyBlock( mpui8FileBlock, maui32Header[GC_SBH_BLOCK_A_OFFSET], maui32Header[GC_SBH_BLOCK_A_SIZE] );
	mpui8Samples = CopyBlock( mpui8FileBlock, maui32Header[GC_SBH_SAMPLES_OFFSET], maui32Header[GC_SBH_SAMPLES_SIZE] );
	mpui8Playbacks = CopyBlock( mpui8FileBlock, maui32Header[GC_SBH_PLAYBACKS_OFFSET],
								maui32Header[GC_SBH_PLAYBACKS_SIZE] );
	mui8Loaded = 1;
}

void GC_SoundLoader::FreeFileBlock() {
	MMFree( mpui8FileBlock );
	mpui8FileBlock = nullptr;
}

void GC_SoundLoader::FreeBlocks() {
	MMFree( mpui8BlockA );
	MMFree( mpui8Samples );
	MMFree( mpui8Playbacks );
	mpui8BlockA = mpui8Samples = mpui8Playbacks = nullptr;
	mui8Loaded = 0;
}

u32 GC_SoundLoader::LoadSbb( char * name ) {
	char path[GC_BANK_PATH_SIZE];
	DTFileHandle_ * const file = OpenBankFile( path, name, "sbb", '/' );
	if ( file == nullptr ) {
		return 0;
	}
	const u32 size = GCRoundUp32( DTFsize( file ) );
	const u32 end = GCGetBankAreaEnd();
	if ( g_CurrAramOffset > end || size > end - g_CurrAramOffset ) {
		OSReport( "File %s needs %u bytes of audio memory, %u are left: not loaded!!!!\n", path, size,
				  g_CurrAramOffset < end ? end - g_CurrAramOffset : 0 );
		DTFclose( file );
		return 0;
	}
	mui32AramStart = g_CurrAramOffset;
	u8 * const block = static_cast<u8 *>( MMLoadMalloc( GC_SBB_CHUNK_BYTES ) );
	for ( u32 offset = 0; block != nullptr && offset < size; ) {
		const u32 chunk = size - offset < GC_SBB_CHUNK_BYTES ? size - offset : GC_SBB_CHUNK_BYTES;
		gReadChunkDone = 0;
		while ( !DVDReadAsyncPrio( &file->fileInfo, block, static_cast<s32>( chunk ), static_cast<s32>( offset ),
								   SbbDvdReadCallback, DVD_PRIO_NORMAL ) ) {
			HostIdle();
		}
		s32 driveState = DVDGetDriveStatus();
		while ( gReadChunkDone == 0 && driveState != DVD_STATE_END ) {
			GCDiscWaitTurn( driveState );
			driveState = DVDGetDriveStatus();
		}
		DCFlushRange( block, chunk );
		g_TransSbbState = 0;
		ARQPostRequest( &arq_handle[0], 0, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( block ),
						g_CurrAramOffset, chunk, WaitingTransSBBByChunckCallback );
		while ( g_TransSbbState != 1 ) {
			HostIdle();
		}
		g_TransSbbState = 0;
		g_CurrAramOffset += chunk;
		offset += chunk;
	}
	MMFree( block );
	DTFclose( file );
	return 0;
}

u32 GC_SoundLoader::GetSampleCount() const {
	return IsLoaded() ? maui32Header[GC_SBH_SAMPLES_SIZE] / GC_SAMPLE_RECORD_BYTES : 0;
}

u32 GC_SoundLoader::GetPlaybackCount() const {
	return IsLoaded() ? maui32Header[GC_SBH_PLAYBACKS_SIZE] / GC_PLAYBACK_RECORD_BYTES : 0;
}

const u8 * GC_SoundLoader::GetSampleRecord( const u32 index ) const {
	return index < GetSampleCount() ? mpui8Samples + index * GC_SAMPLE_RECORD_BYTES : nullptr;
}

const u8 * GC_SoundLoader::GetPlaybackRecord( const u32 index ) const {
	return index < GetPlaybackCount() ? mpui8Playbacks + index * GC_PLAYBACK_RECORD_BYTES : nullptr;
}

const u8 * GC_SoundLoader::GetSampleOfPlayback( const u32 playback ) const {
	const u8 * const record = GetPlaybackRecord( playback );
	return record != nullptr ? GetSampleRecord( DTReadBE32( record + GC_PLAYBACK_SAMPLE ) ) : nullptr;
}
