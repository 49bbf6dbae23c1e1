#include "framework/audio/GC_StreamingVoice.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/audio/GC_SoundLoader.h"
#include "platform/host/HostEventQueue.h"
#include "platform/mix/MIX.h"
#include "platform/os/OS.h"
#include "platform/pad/PAD.h"

#include <cstring>

char tempFileName[256];

namespace {

constexpr u32 TRANSFER_ALIGN		= 32;
// Below the mixer's silence: a stopped stream's channel.
constexpr s32 ATTENUATION_STOPPED	= -965;
// The stream file names the sample record holds.
constexpr u32 STREAM_NAME_MAX		= 127;

// How long a waited-for read is offered to a drive that refuses it (about
// six frames): long enough for the reads in the way to drain, short enough
// that a drive refusing for good does not hold the game. The stream then
// starts in silence and its frame step asks for the chunk again.
constexpr OSTime FIRST_READ_PATIENCE = OSMillisecondsToTicks( 100 );

// Set while a waited-for read is in flight; its completion clears it.
volatile u32 gStreamReadBusy = 0;

void ClearBusy( s32, DVDFileInfo * ) {
	gStreamReadBusy = 0;
}

// Waits for the read in flight, showing the disc messages and pausing all
// sound while the drive is in an error state.
void WaitForRead() {
	for ( ;; ) {
		const s32 driveState = DVDGetDriveStatus();
		if ( driveState == DVD_STATE_END && gStreamReadBusy == 0 ) {
			return;
		}
		if ( driveState == DVD_STATE_END ) {
			HostIdle();
			continue;
		}
		if ( driveState > DVD_STATE_COVER_CLOSED ) {
			PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
			GCDiscWaitTurn( driveState );
			if ( gpoNewAudioMgr != nullptr ) {
				gpoNewAudioMgr->SOUND_PushPause( 1 );
			}
		} else {
			GCDiscWaitTurn( driveState );
			if ( gpoNewAudioMgr != nullptr ) {
				gpoNewAudioMgr->SOUND_PushPause( 0 );
			}
		}
	}
}

// False, with nothing read and the file's position unchanged, when the
// drive still refuses the read once FIRST_READ_PATIENCE has passed.
bool ReadAndWait( void * buffer, const u32 size, DTFileHandle_ * file ) {
	gStreamReadBusy = 1;
	// On the main thread with interrupts on, a read in the way completes.
	const OSTime deadline = OSGetTime() + FIRST_READ_PATIENCE;
	while ( !readAsync( buffer, size, 1, file, ClearBusy ) ) {
		if ( OSGetTime() >= deadline ) {
			gStreamReadBusy = 0;
			return false;
		}
		HostIdle();
	}
	WaitForRead();
	return true;
}

// Once per stream: it has fallen behind the disc and plays silence.
void ReportFellBehind( GC_StreamInfo & info, const u8 slot ) {
	if ( info.mui8FellBehind == 0 ) {
		info.mui8FellBehind = 1;
		OSReport( "Stream %u fell behind the disc: silent until its data is in\n", static_cast<u32>( slot ) );
	}
}

// The first chunk the drive would not take: the stream starts on a chunk
// of silence and falls behind from its start.
s32 StartBehind( const u8 slot, void * buffer ) {
	std::memset( buffer, 0, GC_STREAM_CHUNK_BYTES );
	if ( slot < GC_STREAM_SLOT_COUNT ) {
		ReportFellBehind( StreamInfoBuffer[slot], slot );
	}
	return GC_CHUNK_REFUSED;
}

bool StreamLoops( const u8 slot ) {
	const GC_Voice * const voice = slot < GC_STREAM_SLOT_COUNT ? goxStreamingVoices[slot].mpoVoice : nullptr;
	return voice != nullptr && voice->mui8Loop == 1;
}

void PostHalf( GC_StreamingVoice & stream, const u32 half, const u8 * source, const ARQCallback callback ) {
	DCFlushRange( const_cast<u8 *>( source ), GC_STREAM_HALF_BYTES );
	ARQPostRequest( &stream.moTransfer, stream.mui8Slot, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH,
					reinterpret_cast<ARQAddress>( source ), stream.Ring() + half * GC_STREAM_HALF_BYTES,
					GC_STREAM_HALF_BYTES, callback );
}

// The next chunk is not in when the ring's first half is due: the voice
// stops at the window's end instead of looping into stale data, and keeps
// its decoder state for the restart.
void Hold( GC_StreamingVoice & stream ) {
	GC_StreamInfo & info = stream.Info();
	ReportFellBehind( info, stream.mui8Slot );
	info.mui8Holding = 1;
	AXVPB * const dsp = stream.mpoVoice->mpoDSPVoice;
	AXVoiceAddr addr = stream.mpoVoice->moAddr;
	addr.loopFlag = 0;
	addr.currentAddressHi = dsp->addr.currentAddressHi;
	addr.currentAddressLo = dsp->addr.currentAddressLo;
	AXSetVoiceAddr( dsp, &addr );
}

// The held voice has stopped and its next chunk is in: the window starts
// again with the whole chunk, as at the stream's start.
void PostWindow( GC_StreamingVoice & stream ) {
	GC_StreamInfo & info = stream.Info();
	stream.mpoVoice->moAdpcm.predictorScale = stream.mpui8Staging[0];
	info.mui8DiscState = GC_DISC_FIRST_COPY;
	info.mui8StagingState = GC_STAGING_OWED;
	DCFlushRange( stream.mpui8Staging, GC_STREAM_CHUNK_BYTES );
	ARQPostRequest( &stream.moTransfer, stream.mui8Slot, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH,
					reinterpret_cast<ARQAddress>( stream.mpui8Staging ), stream.Ring(), GC_STREAM_CHUNK_BYTES,
					TransCallBack );
}

// Runs the held voice again from the window's start, with the decoder
// history it stopped with.
void Restart( GC_StreamingVoice & stream ) {
	GC_Voice & voice = *stream.mpoVoice;
	AXVPB * const dsp = voice.mpoDSPVoice;
	AXSetVoiceAddr( dsp, &voice.moAddr );
	AXVoiceAdpcm adpcm = dsp->adpcm;
	adpcm.predictorScale = voice.moAdpcm.predictorScale;
	AXSetVoiceAdpcm( dsp, &adpcm );
	stream.Info().mui8Holding = 0;
}

// The slot whose stream file a completed read belongs to.
s32 SlotOfRead( const DVDFileInfo * fileInfo ) {
	for ( u32 slot = 0; slot < GC_STREAM_SLOT_COUNT; slot++ ) {
		const GC_StreamInfo & info = StreamInfoBuffer[slot];
		if ( ( info.mpoFile != nullptr && &info.mpoFile->fileInfo == fileInfo ) ||
			 ( info.mpoSecondFile != nullptr && &info.mpoSecondFile->fileInfo == fileInfo ) ) {
			return static_cast<s32>( slot );
		}
	}
	return -1;
}

// Completion of a chunk read (interrupt level): the chunk is in once its
// last read is.
void ChunkReadDone( const s32 result, DVDFileInfo * fileInfo ) {
	const s32 slot = SlotOfRead( fileInfo );
	if ( slot >= 0 ) {
		GC_StreamInfo & info = StreamInfoBuffer[slot];
		const u8 reads = info.mui8ChunkReads;
		if ( reads > 0 ) {
			info.mui8ChunkReads = static_cast<u8>( reads - 1 );
			if ( reads == 1 && info.mui8StagingState == GC_STAGING_READING ) {
				info.mui8StagingState = GC_STAGING_READY;
			}
		}
	}
	Dvdcallback( result, fileInfo );
}

// Reads the staging buffer's next chunk, with interrupts disabled. A read
// the drive refuses (the file's last read is still in flight) stays owed.
void ReadNextChunk( const u32 slot ) {
	GC_StreamInfo & info = StreamInfoBuffer[slot];
	const s32 reads = LoadStreamChunk( GC_CHUNK_ASYNC, static_cast<u8>( slot ), &info.mpoFile, GC_STREAM_CHUNK_BYTES,
									   info.mpui8Staging, ChunkReadDone );
	if ( reads == GC_CHUNK_REFUSED ) {
		info.mui8StagingState = GC_STAGING_OWED;
		return;
	}
	info.mui8ChunkReads = static_cast<u8>( reads );
	info.mui8StagingState = reads == 0 ? GC_STAGING_READY : GC_STAGING_READING;
}

}

GC_StreamingVoice::GC_StreamingVoice()
	: mpoVoice( nullptr ), mui8State( GC_STREAM_SLOT_IDLE ), mui32GroupMask( 0 ), mui8Slot( 0 ), mpui8Staging( nullptr ),
	  mui32BytesSent( 0 ), mui32TotalBytes( 0 ), mui32LastPosition( 0 ), moTransfer() {
}

GC_StreamingVoice::~GC_StreamingVoice() {
}

GC_StreamInfo & GC_StreamingVoice::Info() const {
	return StreamInfoBuffer[mui8Slot];
}

u32 GC_StreamingVoice::Ring() const {
	return mpoVoice->mui32AramOffset + mui8Slot * GC_STREAM_RING_BYTES;
}

void GC_StreamingVoice::FirstUpdate() {
	if ( mui8State != GC_STREAM_SLOT_REQUESTED ) {
		return;
	}
	if ( mpoVoice == nullptr || InitStream() == 0 ) {
		// Without a DSP voice the stream ends at once, so that its files
		// close and its owner learns it is over.
		GC_StreamInfo & info = Info();
		mui8State = GC_STREAM_SLOT_IDLE;
		info.mui8DiscState = GC_DISC_FINISHED;
		info.mui8Active = GC_STREAM_INACTIVE;
		return;
	}
	StartStream();
	mui8State = GC_STREAM_SLOT_RUNNING;
	mpoVoice->mui8State = GC_VOICE_STATE_SETUP;
}

u32 GC_StreamingVoice::InitStream() {
	GC_Voice & voice = *mpoVoice;
	voice.mpoDSPVoice = AXAcquireVoice( GC_PRIORITY_STREAM, DropVoiceCallback, voice.mui32Index );
	if ( voice.mpoDSPVoice == nullptr ) {
		return 0;
	}
	voice.mui8Bank = GC_BANK_KIND_STREAM;
	voice.mui32DSPEffect = 0;
	voice.FillVolume( voice.mui8Bank, voice.mui8RecordIndex );
	voice.FillPan();
	voice.FillAramOffset();
	voice.FillLoop();
	voice.FillSampleRate();
	// The converter block is filled too, or the voice would start at ratio 0.
	voice.SetSrc();
	return 1;
}

void GC_StreamingVoice::StartStream() {
	GC_Voice & voice = *mpoVoice;
	AXVPB * const dsp = voice.mpoDSPVoice;
	if ( dsp == nullptr ) {
		return;
	}
	voice.SetAdpcm( false );
	MIXInitChannel( dsp, 0, GC_ATTENUATION_OFF, GC_ATTENUATION_OFF, GC_ATTENUATION_OFF, MIX_PAN_CENTRE, 127, 0 );

	const u32 ring = Ring();
	voice.moAddr.loopFlag = 1;
	voice.moAddr.format = AX_FORMAT_ADPCM;
	GCSetNibble( voice.moAddr.loopAddressHi, voice.moAddr.loopAddressLo, 2 * ring + 2 );
	GCSetNibble( voice.moAddr.endAddressHi, voice.moAddr.endAddressLo, 2 * ( ring + GC_STREAM_CHUNK_BYTES ) - 1 );
	GCSetNibble( voice.moAddr.currentAddressHi, voice.moAddr.currentAddressLo, 2 * ring + 2 );
	voice.moAdpcm.gain = 0;
	voice.moAdpcm.predictorScale = mpui8Staging[0];
	voice.moAdpcm.history1 = 0;
	voice.moAdpcm.history2 = 0;

	AXSetVoiceType( dsp, AX_VOICE_STREAM );
	AXSetVoiceAddr( dsp, &voice.moAddr );
	AXSetVoiceSrcType( dsp, AX_SRC_TYPE_NONE );
	AXSetVoiceAdpcm( dsp, &voice.moAdpcm );
	AXSetVoiceSrc( dsp, &voice.moSrc );

	GC_StreamInfo & info = Info();
	info.mui8DiscState = GC_DISC_FIRST_COPY;
	info.mui8Active = GC_STREAM_ACTIVE;
	// The first chunk goes into the ring whole; the next is read once it
	// has.
	info.mui8StagingState = GC_STAGING_OWED;
	info.mui8ChunkReads = 0;
	info.mui8Holding = 0;

	DCFlushRange( mpui8Staging, GC_STREAM_CHUNK_BYTES );
	ARQPostRequest( &moTransfer, mui8Slot, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH,
					reinterpret_cast<ARQAddress>( mpui8Staging ), ring, GC_STREAM_CHUNK_BYTES, TransCallBack );
	// A stream behind from its start plays silence standing in for its
	// first chunk, which is read next: the silence counts for none of the
	// file's bytes.
	mui32BytesSent = info.mui8FellBehind != 0 ? 0 : GC_STREAM_CHUNK_BYTES;
	mui32LastPosition = 2 * ring + 2;
}

void GC_StreamingVoice::UpdateStream() {
	GC_StreamInfo & info = Info();
	GC_Voice * const voice = mpoVoice;
	if ( voice == nullptr || voice->mpoDSPVoice == nullptr || info.mui8Active != GC_STREAM_ACTIVE ||
		 info.mui8DiscState == GC_DISC_FIRST_COPY ) {
		return;
	}
	AXVPB * const dsp = voice->mpoDSPVoice;
	const u32 current = GCNibble( dsp->addr.currentAddressHi, dsp->addr.currentAddressLo );
	const u32 loop = GCNibble( voice->moAddr.loopAddressHi, voice->moAddr.loopAddressLo );
	const u32 end = GCNibble( voice->moAddr.endAddressHi, voice->moAddr.endAddressLo );
	const u32 mid = ( loop + end ) / 2;
	const u32 remaining = mui32BytesSent < mui32TotalBytes ? mui32TotalBytes - mui32BytesSent : 0;
	const bool enteredSecondHalf = mui32LastPosition < mid && mid <= current;
	const bool wrapped = current < mui32LastPosition;

	// A chunk read the drive refused is asked for again, once no copy out
	// of the staging buffer is pending.
	if ( info.mui8StagingState == GC_STAGING_OWED &&
		 ( info.mui8DiscState == GC_DISC_READY || info.mui8DiscState == GC_DISC_FIRST_HALF ) ) {
		const BOOL level = OSDisableInterrupts();
		ReadNextChunk( mui8Slot );
		OSRestoreInterrupts( level );
	}

	if ( info.mui8DiscState == GC_DISC_READY ) {
		if ( info.mui8Holding != 0 ) {
			Restart( *this );
		}
		if ( dsp->state != AX_VOICE_RUN ) {
			AXSetVoiceState( dsp, AX_VOICE_RUN );
			voice->mui8State = GC_VOICE_STATE_PLAYING;
		}
		info.mui8DiscState = GC_DISC_FIRST_HALF;
	}

	const u32 step = remaining < GC_STREAM_HALF_BYTES ? remaining : GC_STREAM_HALF_BYTES;
	if ( remaining > 0 && info.mui8DiscState != GC_DISC_STOP ) {
		if ( info.mui8Holding != 0 ) {
			// Held: the voice parks at the window's start once it has played
			// the window out.
			if ( current == loop && info.mui8StagingState == GC_STAGING_READY &&
				 info.mui8DiscState == GC_DISC_FIRST_HALF ) {
				PostWindow( *this );
				mui32BytesSent += remaining < GC_STREAM_CHUNK_BYTES ? remaining : GC_STREAM_CHUNK_BYTES;
			}
		} else if ( enteredSecondHalf && info.mui8DiscState == GC_DISC_FIRST_HALF ) {
			if ( info.mui8StagingState == GC_STAGING_READY ) {
				voice->moAdpcmLoop = { mpui8Staging[0], 0, 0 };
				AXSetVoiceAdpcmLoop( dsp, &voice->moAdpcmLoop );
				PostHalf( *this, 0, mpui8Staging, TransCallBack );
				info.mui8StagingState = GC_STAGING_HALF_SENT;
				mui32BytesSent += step;
			} else {
				Hold( *this );
			}
		} else if ( wrapped && info.mui8DiscState == GC_DISC_SECOND_HALF ) {
			PostHalf( *this, 1, mpui8Staging + GC_STREAM_HALF_BYTES, TransCallBack );
			info.mui8StagingState = GC_STAGING_OWED;
			mui32BytesSent += step;
		}
		if ( mui32BytesSent > mui32TotalBytes ) {
			mui32BytesSent = mui32TotalBytes;
		}
	}

	if ( info.mui8DiscState == GC_DISC_STOP ) {
		voice->mui8State = GC_VOICE_STATE_FINISHED;
		MIXSetInput( dsp, ATTENUATION_STOPPED );
		AXSetVoiceState( dsp, AX_VOICE_STOP );
		mui8State = GC_STREAM_SLOT_IDLE;
		info.mui8DiscState = GC_DISC_FINISHED;
		info.mui8Active = GC_STREAM_INACTIVE;
	}

	if ( remaining == 0 &&
		 ( info.mui8DiscState == GC_DISC_FIRST_HALF || info.mui8DiscState == GC_DISC_SECOND_HALF ) ) {
		if ( voice->mui8Loop != 0 ) {
			mui32BytesSent = 0;
		} else if ( wrapped ) {
			info.mui8DiscState = GC_DISC_FINISHED;
			info.mui8Active = GC_STREAM_INACTIVE;
			voice->mui8State = GC_VOICE_STATE_FINISHED;
			GCSilenceAndStop( dsp );
			mui8State = GC_STREAM_SLOT_IDLE;
			std::memset( mpui8Staging, 0, GC_STREAM_CHUNK_BYTES );
		} else if ( enteredSecondHalf ) {
			voice->moAdpcmLoop = { 0, 0, 0 };
			AXSetVoiceAdpcmLoop( dsp, &voice->moAdpcmLoop );
			PostHalf( *this, 0, FlushAramStreamBuffer, nullptr );
		}
	}
	mui32LastPosition = current;
}

void GC_StreamingVoice::StopStream() {
	Info().mui8DiscState = GC_DISC_STOP;
}

void GC_StreamingVoice::PauseStream() {
	Info().mui8Active = GC_STREAM_PAUSED;
	if ( mpoVoice != nullptr && mpoVoice->mpoDSPVoice != nullptr ) {
		MIXSetInput( mpoVoice->mpoDSPVoice, GC_ATTENUATION_OFF );
		mpoVoice->mui8State = GC_VOICE_STATE_PAUSED;
	}
}

void GC_StreamingVoice::ResumeStream() {
	Info().mui8Active = GC_STREAM_ACTIVE;
	if ( mpoVoice != nullptr && mpoVoice->mpoDSPVoice != nullptr ) {
		AXSetVoiceState( mpoVoice->mpoDSPVoice, AX_VOICE_RUN );
		MIXSetInput( mpoVoice->mpoDSPVoice, mpoVoice->mi32Attenuation );
		mpoVoice->mui8State = GC_VOICE_STATE_PLAYING;
	}
}

char * GC_StreamingVoice::GetFileName() {
	const u8 * const sample = mpoVoice != nullptr ? mpoVoice->GetSampleRecord() : nullptr;
	if ( sample == nullptr ) {
		return nullptr;
	}
	const size_t length = strnlen( reinterpret_cast<const char *>( sample ), STREAM_NAME_MAX );
	std::memcpy( tempFileName, sample, length );
	tempFileName[length] = '\0';
	return tempFileName;
}

u32 OpenStreamFile( char * name, DTFileHandle_ ** file ) {
	if ( name == nullptr ) {
		return 0;
	}
	*file = DTFopen( name, "r" );
	return *file != nullptr ? 1 : 0;
}

bool readAsync( void * buffer, const u32 size, const u32 count, DTFileHandle_ * file, const DVDCallback callback ) {
	// Never retried here: at interrupt level the read in the way could not
	// complete while this waits.
	const u32 position = file->offset & ~( TRANSFER_ALIGN - 1 );
	if ( !DVDReadAsyncPrio( &file->fileInfo, buffer, static_cast<s32>( size ), static_cast<s32>( position ), callback,
							DVD_PRIO_NORMAL ) ) {
		return false;
	}
	file->offset += size * count;
	return true;
}

s32 LoadStreamChunk( const u8 mode, const u8 slot, DTFileHandle_ ** files, u32 size, void * buffer,
					 const DVDCallback callback ) {
	const bool async = mode == GC_CHUNK_ASYNC;
	if ( !async && slot < GC_STREAM_SLOT_COUNT ) {
		// The waited-for read begins a stream.
		StreamInfoBuffer[slot].mui8FellBehind = 0;
	}
	DTFileHandle_ * const file = files[0];
	if ( file == nullptr || file->mui32InUse == 0 ) {
		return 0;
	}
	size = GCRoundUp32( size );
	u8 * const bytes = static_cast<u8 *>( buffer );
	const bool loops = StreamLoops( slot );
	const u32 length = file->fileInfo.length;

	if ( file->offset >= length ) {
		if ( !loops ) {
			file->offset = 0;
			std::memset( buffer, 0, GC_STREAM_CHUNK_BYTES );
			return 0;
		}
		const u32 offset = file->offset;
		file->offset = 0;
		const BOOL level = OSDisableInterrupts();
		const bool queued = readAsync( buffer, size, 1, file, callback );
		OSRestoreInterrupts( level );
		if ( !queued ) {
			file->offset = offset;
			return GC_CHUNK_REFUSED;
		}
		return 1;
	}
	if ( size <= length - file->offset ) {
		if ( async ) {
			const BOOL level = OSDisableInterrupts();
			const bool queued = readAsync( buffer, size, 1, file, callback );
			OSRestoreInterrupts( level );
			if ( !queued ) {
				return GC_CHUNK_REFUSED;
			}
		} else if ( !ReadAndWait( buffer, size, file ) ) {
			return StartBehind( slot, buffer );
		}
		if ( file->offset >= length ) {
			file->offset = 0;
		}
		return async ? 1 : 0;
	}
	const u32 left = length - file->offset;
	if ( !async ) {
		if ( !ReadAndWait( buffer, GCRoundUp32( left ), file ) ) {
			return StartBehind( slot, buffer );
		}
		if ( left < GC_STREAM_CHUNK_BYTES ) {
			std::memset( bytes + left, 0, GC_STREAM_CHUNK_BYTES - left );
		}
		file->offset = 0;
		return 0;
	}
	const BOOL level = OSDisableInterrupts();
	if ( !readAsync( buffer, GCRoundUp32( left ), 1, file, callback ) ) {
		OSRestoreInterrupts( level );
		return GC_CHUNK_REFUSED;
	}
	s32 reads = 1;
	file->offset = 0;
	DTFileHandle_ * const second = files[1];
	if ( !loops ) {
		if ( left < GC_STREAM_CHUNK_BYTES ) {
			std::memset( bytes + left, 0, GC_STREAM_CHUNK_BYTES - left );
		}
	} else if ( left < GC_STREAM_CHUNK_BYTES && length > GC_STREAM_CHUNK_BYTES && second != nullptr ) {
		second->offset = 0;
		if ( readAsync( bytes + left, GCRoundUp32( GC_STREAM_CHUNK_BYTES - left ), 1, second, callback ) ) {
			reads++;
			file->offset += GC_STREAM_CHUNK_BYTES - left;
		} else {
			// The loop's seam plays silence rather than wait.
			std::memset( bytes + left, 0, GC_STREAM_CHUNK_BYTES - left );
		}
		second->offset = 0;
	} else if ( second != nullptr ) {
		second->offset = 0;
	}
	OSRestoreInterrupts( level );
	return reads;
}

void TransCallBack( ARQRequest * request ) {
	const u32 slot = request->owner;
	if ( slot >= GC_STREAM_SLOT_COUNT ) {
		return;
	}
	GC_StreamInfo & info = StreamInfoBuffer[slot];
	// The next chunk is read once the staging buffer has gone into the
	// ring whole; a chunk still being read, or read and waiting, stays.
	switch ( info.mui8DiscState ) {
		case GC_DISC_FIRST_COPY:
			info.mui8DiscState = GC_DISC_READY;
			if ( info.mui8StagingState == GC_STAGING_OWED ) {
				ReadNextChunk( slot );
			}
			break;
		case GC_DISC_FIRST_HALF:
			info.mui8DiscState = GC_DISC_SECOND_HALF;
			break;
		case GC_DISC_SECOND_HALF:
			info.mui8DiscState = GC_DISC_FIRST_HALF;
			if ( info.mui8StagingState == GC_STAGING_OWED ) {
				ReadNextChunk( slot );
			}
			break;
		default:
			break;
	}
}

void Dvdcallback( s32, DVDFileInfo * fileInfo ) {
	switch ( fileInfo->cb.state ) {
		case DVD_STATE_FATAL_ERROR:		OSReport( "DVD_STATE_FATAL_ERROR\n" ); break;
		case DVD_STATE_END:				break;
		case DVD_STATE_BUSY:			OSReport( "DVD_STATE_BUSY\n" ); break;
		case DVD_STATE_WAITING:			OSReport( "DVD_STATE_WAITING\n" ); break;
		case DVD_STATE_NO_DISK:			OSReport( "DVD_STATE_NO_DISK\n" ); break;
		case DVD_STATE_COVER_OPEN:		OSReport( "DVD_STATE_COVER_OPEN\n" ); break;
		case DVD_STATE_WRONG_DISK:		OSReport( "DVD_STATE_WRONG_DISK\n" ); break;
		case DVD_STATE_MOTOR_STOPPED:	OSReport( "DVD_STATE_MOTOR_STOPPED\n" ); break;
		case DVD_STATE_IGNORED:			OSReport( "DVD_STATE_IGNORED\n" ); break;
		case DVD_STATE_CANCELED:		OSReport( "DVD_STATE_CANCELED\n" ); break;
		case DVD_STATE_RETRY:			OSReport( "DVD_STATE_RETRY\n" ); break;
		default:						OSReport( "I Don't know DVDFileInfoStatus\n" ); break;
	}
}

void GCStream_CloseFile( DTFileHandle_ ** file ) {
	if ( *file != nullptr ) {
		DTFclose( *file );
		*file = nullptr;
	}
}

void GCStream_EndOfStream( const u32 slot ) {
	GC_StreamInfo & info = StreamInfoBuffer[slot];
	GC_StreamingVoice & stream = goxStreamingVoices[slot];
	const bool finished = info.mui8DiscState == GC_DISC_FINISHED;
	const bool stoppedWhilePaused = info.mui8DiscState == GC_DISC_STOP && info.mui8Active == GC_STREAM_PAUSED;
	if ( !finished && !stoppedWhilePaused ) {
		return;
	}
	if ( stoppedWhilePaused ) {
		// A paused stream's DSP voice still runs: stopped here, its record
		// is released by the manager's frame step like any finished stream.
		GC_Voice * const voice = stream.mpoVoice;
		if ( voice != nullptr ) {
			voice->mui8State = GC_VOICE_STATE_FINISHED;
			if ( voice->mpoDSPVoice != nullptr ) {
				GCSilenceAndStop( voice->mpoDSPVoice );
			}
		}
		stream.mui8State = GC_STREAM_SLOT_IDLE;
	}
	GCStream_CloseFile( &info.mpoFile );
	GCStream_CloseFile( &info.mpoSecondFile );
	info.mui8DiscState = GC_DISC_FIRST_COPY;
	info.mui8Active = GC_STREAM_INACTIVE;
}
