#include "framework/video/EFVideoPlayerGC.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/file/DTConsoleReset.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/video/EFVideoAudio.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"
#include "platform/vi/VI.h"
#include "video/m4/VIDSimpleDecoder.h"
#include "video/vid/VIDSimpleDiscCheck.h"
#include "video/vid/VIDSimpleDraw.h"
#include "video/vid/VIDSimpleOpen.h"
#include "video/vid/VIDSimplePlayer.h"
#include "video/vid/VIDSimpleReadAhead.h"

#include <cstdio>
#include <cstring>

bool		bSkipButtonInHold = true;
u32			ui32FrameLimit = 1863;
u8*			lcMemBase = nullptr;
EFCamera*	gpoVideoCamera = nullptr;
PADStatus	oPadStatus[PAD_MAX_CONTROLLERS] = {};

namespace {

// Skip buttons of the VideoSkipButton values 0 to 15; larger values are
// masks themselves.
constexpr u32 SKIP_BUTTONS[16] = {
	PAD_BUTTON_DOWN, PAD_BUTTON_RIGHT, PAD_BUTTON_LEFT, PAD_BUTTON_UP, PAD_TRIGGER_L, PAD_TRIGGER_R, 0, 0, 0, 0, 0,
	PAD_BUTTON_START, PAD_BUTTON_Y, PAD_BUTTON_A, PAD_BUTTON_B, PAD_BUTTON_X,
};
constexpr s32 DEFAULT_SKIP_BUTTON = 13;
constexpr char LEGAL_PREFIX[] = "MOVIES\\LEGAL";
constexpr char DEMOS_PREFIX[] = "MOVIES\\DEMOS";
constexpr u32 PREFIX_CHARS = sizeof( LEGAL_PREFIX ) - 1;

// The busy wait's longest jump of the virtual clock: 10 microseconds.
constexpr s64 PACING_IDLE_TICKS = 405;
constexpr s64 TICKS_PER_MS = ( OS_BUS_CLOCK / 4 ) / 1000;
constexpr u32 TEARDOWN_RETRACES = 30;
// Movie volume: 0.1 dB steps from full (0) to the scale's silent end.
constexpr f64 VOLUME_RANGE = 904.0;
constexpr u32 LC_ALIGN = 32;

bool swapPending = false;

// The demo library's render hooks: the flip does the swap.
void _DEMOBeforeRender() {
	swapPending = true;
}

void _DEMODoneRender() {
	swapPending = true;
}

bool StartsWith( const char* name, const char* prefix ) {
	return std::strncmp( name, prefix, PREFIX_CHARS ) == 0;
}

u32 SkipMask( const char* name ) {
	s32 value = DEFAULT_SKIP_BUTTON;
	EFIniFile::GetInstance()->GetIniInteger( "VideoSkipButton", &value );
	u32 mask = value >= 0 && value <= 15 ? SKIP_BUTTONS[value] : static_cast<u32>( value );
	mask |= PAD_BUTTON_START;
	return StartsWith( name, LEGAL_PREFIX ) ? 0 : mask;
}

f32 VideoVolume() {
	return gpoNewAudioMgr != nullptr ? gpoNewAudioMgr->mfVideoVolume : 1.0f;
}

void SetVolumes( const f32 volume ) {
	g_i32VolumeL = DTFloatToS32( ( volume - 1.0 ) * VOLUME_RANGE );
	g_i32VolumeR = g_i32VolumeL;
}

// The file name: the path with '/' for '\' and ".vid" appended; false
// when it does not fit the path's room.
bool MakeFileName( char* path ) {
	char file[EF_VIDEO_PATH_SIZE];
	const s32 length = std::snprintf( file, sizeof( file ), "%s.vid", path );
	if ( length < 0 || static_cast<u32>( length ) >= sizeof( file ) ) {
		return false;
	}
	for ( char* c = file; *c != '\0'; c++ ) {
		if ( *c == '\\' ) {
			*c = '/';
		}
	}
	std::memcpy( path, file, static_cast<u32>( length ) + 1 );
	return true;
}

struct Layout {
	s16 top;
	s16 width;
	s16 height;
};

// Full frame-buffer width, height by the picture's aspect, centred on the
// external frame buffer's height (never above its top).
Layout MovieLayout() {
	u32 w = 0;
	u32 h = 0;
	VIDSimpleGetVideoSize( &w, &h );
	const f32 frameWidth = static_cast<f32>( g_rmode.fbWidth );
	const s32 scaled = DTFloatToS32( static_cast<f32>( h ) * ( frameWidth / static_cast<f32>( w ) ) );
	const s32 height = DTFloatToS32( static_cast<f32>( scaled ) * ( 640.0f / frameWidth ) );
	s32 top = ( static_cast<s32>( g_rmode.xfbHeight ) - height ) / 2;
	if ( top < 0 ) {
		top = 0;
	}
	return { static_cast<s16>( top ), static_cast<s16>( g_rmode.fbWidth ), static_cast<s16>( height ) };
}

// The end of a movie: every frame read, and the decoder has caught up
// with an empty slot.
bool AllFramesShown() {
	const u32 count = VIDSimpleGetFrameCount();
	return VIDSimpleGetNextFrameNumber() > count - 1 && VIDSimpleGetWriteSlot() == VIDSimpleGetDecodeSlot() &&
		   !VIDSimpleIsSlotFilled( VIDSimpleGetDecodeSlot() );
}

// Reads the controllers; true when controller 0 skips the movie.
bool SkipPressed( const u32 mask ) {
	PADRead( oPadStatus );
	const PADStatus& pad = oPadStatus[0];
	if ( pad.err == PAD_ERR_NONE ) {
		if ( ( pad.button & mask ) != 0 ) {
			if ( !bSkipButtonInHold ) {
				bSkipButtonInHold = true;
				return true;
			}
		} else {
			bSkipButtonInHold = false;
		}
	} else if ( pad.err == PAD_ERR_NO_CONTROLLER ) {
		PADReset( PAD_CHAN0_BIT );
	}
	return false;
}

EFGraphicsMgr_SP* Graphics() {
	return gpoGraphicsMgr;
}

void PlayFrames( EFCamera* camera, const char* name, const u32 mask, const Layout& layout ) {
	const bool demo = StartsWith( name, DEMOS_PREFIX );
	u32 frames = 0;
	f64 target = 0.0;
	s64 spent = 0;
	bool first = true;
	RwRGBA black = { 0, 0, 0, 0 };
	for ( ;; ) {
		if ( demo && frames >= ui32FrameLimit ) {
			return;
		}
		frames++;
		const OSTime t0 = OSGetTime();
		f32 volume = VideoVolume();
		volume = volume < 0.0f ? 0.0f : volume > 1.0f ? 1.0f : volume;
		SetVolumes( volume );
		_DEMOBeforeRender();
		if ( VIDSimpleCheckDVDError() == 0 ) {
			return;
		}
		if ( VIDSimpleDecode() == 0 ) {
			OSReport( "*** VIDSimpleDecode failed to decode video data\n" );
		}
		RwCamera* const rwCamera = camera->mpoRwCamera;
		if ( rwCamera != nullptr ) {
			RwCameraClear( rwCamera, &black, 3 );
			if ( RwCameraBeginUpdate( rwCamera ) != nullptr ) {
				VIDSimpleDraw( &g_rmode, 0, layout.top, layout.width, layout.height );
				// The picture is drawn with GX states set behind the driver's
				// render-state cache: put the cache's back, so that the next
				// draw of the game finds GX as the cache says.
				RwGameCubeRenderStateRestore();
				RwCameraEndUpdate( rwCamera );
			}
		}
		_DEMODoneRender();
		if ( VIDSimpleCheckDVDError() == 0 ) {
			return;
		}
		if ( SkipPressed( mask ) ) {
			return;
		}
		CheckReset();
		if ( Graphics() != nullptr ) {
			Graphics()->Flip();
		}
		swapPending = false;
		if ( AllFramesShown() ) {
			return;
		}
		if ( first ) {
			first = false;
			continue;
		}
		target += 1000.0 / static_cast<f64>( VIDSimpleGetFPS() );
		s64 elapsed = 0;
		for ( ;; ) {
			elapsed = ( OSGetTime() - t0 ) / TICKS_PER_MS;
			if ( static_cast<f64>( spent + elapsed ) >= target ) {
				break;
			}
			HostIdleAtMost( PACING_IDLE_TICKS );
		}
		spent += elapsed;
	}
}

}	// namespace

void* myAllocFromLC( const u32 size ) {
	// The cache's start: the same block whenever it is turned on.
	u8* const lcStart = static_cast<u8*>( LCEnable() );
	if ( lcMemBase < lcStart || lcMemBase > lcStart + LC_BYTES ) {
		return nullptr;
	}
	const u64 used = static_cast<u64>( lcMemBase - lcStart );
	const u64 rounded = ( static_cast<u64>( size ) + LC_ALIGN - 1 ) & ~static_cast<u64>( LC_ALIGN - 1 );
	if ( rounded > LC_BYTES - used ) {
		return nullptr;
	}
	u8* const block = lcMemBase;
	lcMemBase += rounded;
	return block;
}

EFVideoPlayer_SP::EFVideoPlayer_SP() {
	std::memset( mszVideoPath, 0, sizeof( mszVideoPath ) );
	mui32Playing = 0;
	mi32AudioTrack = 0;
}

void EFVideoPlayer_SP::Play() {
	EFCamera* const camera = new EFCamera( nullptr );
	gpoVideoCamera = camera;
	PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
	if ( Graphics() != nullptr ) {
		Graphics()->Pause( 1 );
	}

	char name[EF_VIDEO_PATH_SIZE];
	std::memcpy( name, mszVideoPath, sizeof( name ) );
	name[sizeof( name ) - 1] = '\0';
	const bool nameFits = MakeFileName( mszVideoPath );

	const u32 mask = SkipMask( name );

	_VideoLanguageIndex = static_cast<u32>( mi32AudioTrack );
	mui32Playing = 1;
	bVideoPlaying = true;

	lcMemBase = static_cast<u8*>( LCEnable() );

	SetVolumes( VideoVolume() );

	if ( !nameFits || VIDSimpleOpen( mszVideoPath, 0 ) == 0 ) {
		delete camera;
		gpoVideoCamera = nullptr;
		if ( Graphics() != nullptr ) {
			Graphics()->Pause( 0 );
		}
		mui32Playing = 0;
		bVideoPlaying = false;
		return;
	}

	// The load allocator serves one block at a time: the read buffers take
	// it, the decoder and the sound the general allocator.
	if ( VIDSimpleAllocDVDBuffers( MMLoadMalloc ) == 0 ) {
		OSPanic( "EFVideoPlayerGC", 284, "*** VIDSimpleAllocDVDBuffers failed!\n" );
	}
	if ( VIDSimpleCreateDecoder( MMMalloc, MMFree, myAllocFromLC, 1 ) == 0 ) {
		OSPanic( "EFVideoPlayerGC", 287, "*** VIDSimpleCreateDecoder failed!\n" );
	}
	if ( VIDSimpleInitAudioDecoder( MMMalloc ) != 0 ) {
		OSPanic( "EFVideoPlayerGC", 290, "*** VIDSimpleInitAudioDecoder failed!\n" );
	}

	VIDSimpleLoadStart( 0 );

	PlayFrames( camera, name, mask, MovieLayout() );

	VIDMuteAllChannel();
	const BOOL level = OSDisableInterrupts();
	OSReport( "VIDSimpleExitAudioDecoder()\n" );
	VIDSimpleExitAudioDecoder( MMFree );
	OSReport( "VIDSimpleLoadStop()\n" );
	VIDSimpleLoadStop();
	OSReport( "VIDSimpleClose()\n" );
	VIDSimpleClose();
	OSReport( "VIDSimpleFreeDVDBuffers()\n" );
	VIDSimpleFreeDVDBuffers( MMFree );
	OSReport( "VIDSimpleDestroyDecoder()\n" );
	VIDSimpleDestroyDecoder();
	bVideoPlaying = false;
	OSReport( "Before reenabling of int\n" );
	OSRestoreInterrupts( level );
	OSReport( "30 VIWaitForRetrace()\n" );
	for ( u32 i = 0; i < TEARDOWN_RETRACES; i++ ) {
		VIWaitForRetrace();
	}
	mui32Playing = 0;
	bVideoPlaying = false;
	OSReport( "delete poCam\n" );
	delete camera;
	gpoVideoCamera = nullptr;
	OSReport( "gpoGraphicsMgr->Pause(false)\n" );
	if ( Graphics() != nullptr ) {
		Graphics()->Pause( 0 );
	}
}

void EFVideoPlayer_SP::Update() {
}
