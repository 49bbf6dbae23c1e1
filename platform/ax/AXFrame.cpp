#include "platform/ax/AX.h"

#include "platform/ai/AI.h"
#include "platform/ai/AIHost.h"
#include "platform/am/AM.h"
#include "platform/am/AMHost.h"
#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/arq/ARQ.h"
#include "platform/arq/ARQHost.h"
#include "platform/ax/AXHost.h"
#include "platform/ax/AXRenderer.h"
#include "platform/axart/AXART.h"
#include "platform/axart/AXARTHost.h"
#include "platform/axfx/AXFX.h"
#include "platform/axfx/AXFXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/mix/MIX.h"
#include "platform/mix/MIXHost.h"
#include "platform/os/OS.h"
#include "platform/host/HostStartupLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr u32 WAV_HEADER_BYTES  = 44;
constexpr u32 WAV_CHANNELS      = 2;
constexpr u32 WAV_BITS          = 16;
constexpr u32 WAV_PATH_MAX      = 512;
// On the real clock a host that fell this far behind skips frames rather
// than rendering a burst of stale ones.
constexpr u64 LATE_FRAMES_LIMIT = 20;

struct AXFrameState {
	AXUserCallback	callback;
	HostEventId		frameEvent;
	s64				startTick;
	u64				frameNumber;		// frames rendered since AXInit
	u32				mode;
	u32				compressor;
	s16				mix[AX_SAMPLES_PER_FRAME * 2];
	s16				taps[AX_MAX_VOICES][AX_SAMPLES_PER_FRAME];
	char			wavPath[WAV_PATH_MAX];
	std::FILE*		wavFile;
	u32				wavDataBytes;
	bool			wavLoaded;		// ENGINE_AUDIO_WAV read
};

AXFrameState frame;

s64 DueTick( const u64 frameNumber ) {
	return frame.startTick + static_cast<s64>( frameNumber * HOST_TIMER_CLOCK / AX_FRAMES_PER_SECOND );
}

void CloseWav() {
	if ( frame.wavFile != nullptr ) {
		std::fclose( frame.wavFile );
		frame.wavFile = nullptr;
	}
	frame.wavDataBytes = 0;
}

// WAV files are little-endian whatever the host.
void StoreLittleEndian( u8* p, const u32 value, const u32 bytes ) {
	for ( u32 i = 0; i < bytes; ++i ) {
		p[i] = static_cast<u8>( value >> ( 8 * i ) );
	}
}

void WriteWavHeader() {
	u8 header[WAV_HEADER_BYTES];
	const u32 blockAlign = WAV_CHANNELS * WAV_BITS / 8;
	std::memcpy( header, "RIFF", 4 );
	StoreLittleEndian( header + 4, 36 + frame.wavDataBytes, 4 );
	std::memcpy( header + 8, "WAVEfmt ", 8 );
	StoreLittleEndian( header + 16, 16, 4 );
	StoreLittleEndian( header + 20, 1, 2 );	// PCM
	StoreLittleEndian( header + 22, WAV_CHANNELS, 2 );
	StoreLittleEndian( header + 24, AX_SAMPLE_RATE, 4 );
	StoreLittleEndian( header + 28, AX_SAMPLE_RATE * blockAlign, 4 );
	StoreLittleEndian( header + 32, static_cast<u16>( blockAlign ), 2 );
	StoreLittleEndian( header + 34, WAV_BITS, 2 );
	std::memcpy( header + 36, "data", 4 );
	StoreLittleEndian( header + 40, frame.wavDataBytes, 4 );
	std::fseek( frame.wavFile, 0, SEEK_SET );
	std::fwrite( header, 1, sizeof( header ), frame.wavFile );
	std::fseek( frame.wavFile, 0, SEEK_END );
}

bool OpenWav( const char* path ) {
	CloseWav();
	std::snprintf( frame.wavPath, sizeof( frame.wavPath ), "%s", path != nullptr ? path : "" );
	frame.wavLoaded = true;
	if ( frame.wavPath[0] == 0 ) {
		return true;
	}
	frame.wavFile = std::fopen( frame.wavPath, "wb" );
	if ( frame.wavFile == nullptr ) {
		OSReport( "host: cannot create the audio file \"%s\"\n", frame.wavPath );
		frame.wavPath[0] = 0;
		return false;
	}
	WriteWavHeader();
	return true;
}

// Appends the frame and keeps the header's sizes right, so the file is
// complete whenever the program stops.
void AppendWav() {
	if ( !frame.wavLoaded ) {
		OpenWav( std::getenv( "ENGINE_AUDIO_WAV" ) );
	}
	if ( frame.wavFile == nullptr ) {
		return;
	}
	u8 bytes[sizeof( frame.mix )];
	for ( u32 i = 0; i < AX_SAMPLES_PER_FRAME * 2; ++i ) {
		StoreLittleEndian( bytes + i * 2, static_cast<u16>( frame.mix[i] ), 2 );
	}
	std::fwrite( bytes, 1, sizeof( bytes ), frame.wavFile );
	frame.wavDataBytes += sizeof( bytes );
	WriteWavHeader();
}

void RenderAndNotify() {
	AXRendererRenderFrame( AXHostVoice( 0 ), frame.mix, frame.taps );
	++frame.frameNumber;
	AppendWav();
	// The callback comes after the render, so what it sets acts from the
	// next frame.
	if ( frame.callback != nullptr ) {
		frame.callback();
	}
}

void OnFrame( void* ) {
	frame.frameEvent = 0;
	RenderAndNotify();
	const s64 now = HostClockNow();
	if ( !HostClockIsVirtual() && now - DueTick( frame.frameNumber ) > static_cast<s64>( LATE_FRAMES_LIMIT ) * ( HOST_TIMER_CLOCK / AX_FRAMES_PER_SECOND ) ) {
		frame.startTick = now - ( DueTick( frame.frameNumber ) - frame.startTick );
	}
	frame.frameEvent = HostPostEventAt( DueTick( frame.frameNumber + 1 ), OnFrame, nullptr );
}

void StopFrames() {
	HostCancelEvent( frame.frameEvent );
	frame.frameEvent = 0;
}

}

void AXInit() {
	HostStartupLogAppend( "AXInit" );
	StopFrames();
	AXHostResetVoices( false );
	std::memset( frame.mix, 0, sizeof( frame.mix ) );
	std::memset( frame.taps, 0, sizeof( frame.taps ) );
	frame.callback = nullptr;
	frame.frameNumber = 0;
	frame.startTick = HostClockNow();
	frame.frameEvent = HostPostEventAt( DueTick( 1 ), OnFrame, nullptr );
}

void AXSetMode( const u32 mode ) {
	frame.mode = mode;
}

u32 AXGetMode() {
	return frame.mode;
}

void AXSetCompressor( const u32 compressor ) {
	frame.compressor = compressor;
}

AXUserCallback AXRegisterCallback( const AXUserCallback callback ) {
	const AXUserCallback previous = frame.callback;
	frame.callback = callback;
	return previous;
}

u32 AXHostCompressor() {
	return frame.compressor;
}

bool AXHostSetWavPath( const char* path ) {
	return OpenWav( path );
}

const s16* AXHostFrameMix() {
	return frame.mix;
}

const s16* AXHostVoiceTap( const u32 index ) {
	return index < AX_MAX_VOICES ? frame.taps[index] : frame.taps[0];
}

AXVoiceMix AXHostRendererMix( const u32 index ) {
	return AXRendererMix( index );
}

u64 AXHostFrameCount() {
	return frame.frameNumber;
}

void AXHostRenderFrame() {
	AXRendererRenderFrame( AXHostVoice( 0 ), frame.mix, frame.taps );
}

void HostAudioReset() {
	StopFrames();
	CloseWav();
	frame = AXFrameState{};
	AXHostResetVoices( true );
	ARHostReset();
	ARQHostReset();
	AMHostReset();
	MIXHostReset();
	AXFXHostReset();
	AXARTHostReset();
	AIHostReset();
	ARHostResetChecks();
	HostStartupLogClear();
}
