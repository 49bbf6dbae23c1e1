#include "Engine/implementation/GC/EIStartup.h"

#include "Engine/implementation/GC/EIDiscWrite.h"

#include "Engine/implementation/GC/EIOsInterfaceMgr.h"
#include "Engine/implementation/GC/EIStartupLanguage.h"
#include "datatypes/file/DTDiscMessage.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/EFNewAudioMgrGC.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCommandLine.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "platform/ar/ARHost.h"
#include "platform/card/CARD.h"
#include "platform/dvd/DVD.h"
#include "platform/dvd/DVDHost.h"
#include "platform/gx/GXRenderMode.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"
#include "platform/os/OSFont.h"
#include "platform/pad/PAD.h"
#include "platform/runtime/RuntimeRand.h"
#include "platform/si/SI.h"
#include "platform/vi/VI.h"
#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

u32				gui32ControllerResetDown[EI_CONTROLLER_PORTS];
OSFontHeader*	pFontData = nullptr;
u8				gbDisableAudio = 0;

namespace {

// Buttons held together at power-on that ask for a controller reset.
constexpr u16 RESET_COMBINATION = PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START;

constexpr u32 FONT_ALIGNMENT = 32;
constexpr u32 SAMPLING_RATE_MSEC = 5;

// Virtual memory: a 2560 KB page cache, the window mapped from the top of
// the 16 MB of auxiliary memory.
constexpr s32 VM_DEFAULT_KILOBYTES   = 12288;
constexpr u32 VM_PAGE_CACHE_BYTES    = 0x280000;
constexpr u32 AUX_MEMORY_BYTES       = 0x1000000;
constexpr s32 VM_MAX_KILOBYTES       = static_cast<s32>( AUX_MEMORY_BYTES / 1024 );

constexpr const char COMMAND_FORMAT[] = "/c -%s";

// The render mode handed to the video interface, kept for the run.
GXRenderModeObj	configuredMode;

EFAppContext	startupContext;

// The command string, grown on the engine heap as options are appended.
char*			commandString = nullptr;
u32				commandCapacity = 0;

bool EnsureCommandCapacity( const u32 length ) {
	if ( length + 1 <= commandCapacity ) {
		return true;
	}
	u32 capacity = commandCapacity == 0 ? 64 : commandCapacity;
	while ( capacity < length + 1 ) {
		capacity *= 2;
	}
	char* const grown = static_cast<char*>( MMMalloc( capacity ) );
	if ( grown == nullptr ) {
		DTPrintf( "NO MEMORY FOR THE COMMAND LINE!!!\n" );
		return false;
	}
	std::memset( grown, 0, capacity );
	if ( commandString != nullptr ) {
		std::memcpy( grown, commandString, std::strlen( commandString ) );
		MMFree( commandString );
	}
	commandString = grown;
	commandCapacity = capacity;
	return true;
}

// Restarts the command string as "/c -<level>".
void StartCommand( const char* level ) {
	const u32 length = static_cast<u32>( std::strlen( level ) ) + sizeof( COMMAND_FORMAT );
	if ( !EnsureCommandCapacity( length ) ) {
		return;
	}
	std::snprintf( commandString, commandCapacity, COMMAND_FORMAT, level );
}

// Appends " <argument>".
void AppendCommand( const char* argument ) {
	if ( commandString == nullptr ) {
		return;
	}
	const u32 used = static_cast<u32>( std::strlen( commandString ) );
	const u32 extra = static_cast<u32>( std::strlen( argument ) ) + 1;
	if ( !EnsureCommandCapacity( used + extra ) ) {
		return;
	}
	commandString[used] = ' ';
	std::memcpy( commandString + used + 1, argument, extra );
}

void FlagControllersInResetCombination() {
	PADStatus pads[PAD_MAX_CONTROLLERS];
	std::memset( pads, 0, sizeof( pads ) );
	PADRead( pads );
	for ( u32 port = 0; port < EI_CONTROLLER_PORTS; port++ ) {
		const bool held = ( pads[port].button & RESET_COMBINATION ) == RESET_COMBINATION;
		gui32ControllerResetDown[port] = held ? 1 : 0;
	}
}

void LoadRomFont() {
	// The font stays for the whole run; a second start-up in the same
	// process keeps the first buffer.
	if ( pFontData != nullptr ) {
		return;
	}
	MMSwapToGlobalHeap();
	u8* const raw = static_cast<u8*>( MMMalloc( OS_FONT_SIZE_ANSI ) );
	if ( raw != nullptr ) {
		const uintptr_t aligned = ( reinterpret_cast<uintptr_t>( raw ) + FONT_ALIGNMENT - 1 ) & ~static_cast<uintptr_t>( FONT_ALIGNMENT - 1 );
		pFontData = reinterpret_cast<OSFontHeader*>( aligned );
		OSGetFontEncode();
		OSInitFont( pFontData );
	} else {
		DTPrintf( "NO MEMORY FOR THE ROM FONT!!!\n" );
	}
	MMReplaceHeap();
}

void StartAudio() {
	if ( gbDisableAudio == 0 ) {
		u32 disable = 0;
		// A value that is no boolean (all ones) also switches audio off.
		if ( EFIniFile::GetInstance()->GetIniBool( "DisableSoundEngine", &disable ) && disable != 0 ) {
			gbDisableAudio = 1;
		}
	}
	if ( gbDisableAudio == 0 ) {
		InitLowLevelSound( EFNewAudioMgr_SP::SoundCompletionCallback );
	}
}

void StartVirtualMemory() {
	s32 kilobytes = VM_DEFAULT_KILOBYTES;
	EFIniFile::GetInstance()->GetIniInteger( "GCVMSARAMSize", &kilobytes );
	if ( kilobytes <= 0 ) {
		return;
	}
	// More than the auxiliary memory would start the window below it.
	if ( kilobytes > VM_MAX_KILOBYTES ) {
		DTPrintf( "GCVMSARAMSIZE %d KB EXCEEDS THE %d KB OF AUXILIARY MEMORY: NO VIRTUAL MEMORY!!!\n", kilobytes,
				  VM_MAX_KILOBYTES );
		return;
	}
	const u32 bytes = static_cast<u32>( kilobytes ) * 1024u;
	VMInit( VM_PAGE_CACHE_BYTES, AUX_MEMORY_BYTES - bytes, bytes );
	if ( VMAlloc( VM_WINDOW_CONSOLE_ADDRESS, bytes ) ) {
		MMSetVMWindow( VMHostWindowBase(), VMHostWindowSize() );
	}
}

void WalkArguments( const s32 argc, char** argv, char* levelName, char* levelPath ) {
	for ( s32 i = 1; i < argc; i++ ) {
		const char* const argument = argv[i];
		if ( argument == nullptr || ( argument[0] != '-' && argument[0] != '/' ) ) {
			continue;
		}
		switch ( argument[1] ) {
			case 'd':
			case 's':
			case 'p':
			case 'm':
				break;
			case 'f':
				StartCommand( argument + 2 );
				EFCopyBounded( levelName, EI_LEVEL_BUFFER_SIZE, argument + 2, "LEVEL NAME" );
				break;
			case 'w':
				EFCopyBounded( levelPath, EI_LEVEL_BUFFER_SIZE, argument + 2, "LEVEL PATH" );
				break;
			default:
				AppendCommand( argument );
				break;
		}
	}
}

}

void UpCaseString( char* s ) {
	if ( s == nullptr ) {
		return;
	}
	for ( ; *s != '\0'; s++ ) {
		if ( *s >= 'a' && *s <= 'z' ) {
			*s = static_cast<char>( *s - 'a' + 'A' );
		}
	}
}

void InitGraphic() {
	OSInit();
	OSInit();
	VIInit();
	const GXRenderModeObj* mode = nullptr;
	switch ( VIGetTvFormat() ) {
		case 0:
			mode = &GXNtsc480IntDf;
			break;
		case 1:
			mode = &GXPal528IntDf;
			break;
		case 2:
			mode = &GXMpal480IntDf;
			break;
		case 5:
			mode = &GXEurgb60Hz480IntDf;
			break;
		default:
			OSPanic( "EIMain", 325, "DEMOInit: invalid TV format\n" );
	}
	GXAdjustForOverscan( mode, &configuredMode, 0, 16 );
	VIConfigure( &configuredMode );
}

void EIExit( const s32 code ) {
	// Static teardown frees engine memory, and every free restores
	// interrupts: nothing may then run at interrupt level over objects
	// already destroyed (the voices, the managers).
	HostStopEvents();
	std::exit( code );
}

const EFAppContext& EIGetStartupContext() {
	return startupContext;
}

const char* EIGetCommandString() {
	return commandString != nullptr ? commandString : "";
}

s32 EIMain( const s32 argc, char** argv ) {
	// The game itself is on the disc: without one nothing can boot.
	if ( !DVDHostDiscPresent() ) {
		return 1;
	}
	// What the data library and the framework need of the platform entry.
	DTSetLanguageHook( GetEngineStartupLanguage );
	EFSetOsInterfaceMgrCreator( EICreateOsInterfaceMgr );

	OSInit();
	VIInit();
	DVDInit();
	EIInstallDiscWriteHook();
	PADInit();
	CARDInit();
	FlagControllersInResetCombination();
	DVDSetAutoFatalMessaging( 1 );
	LoadRomFont();
	InitGraphic();
	EFIniFile::GetInstance()->Read( "ENGINE.INI" );

	OSCalendarTime now;
	OSTicksToCalendarTime( OSGetTime(), &now );
	RuntimeSrand( static_cast<u32>( now.sec * 1000 + now.min * 60 + now.hour * 24 ) );

	SISetSamplingRate( SAMPLING_RATE_MSEC );
	StartAudio();
	StartVirtualMemory();
	// Sound banks stop where virtual memory's part of auxiliary memory
	// begins (its end when there is none).
	if ( gbDisableAudio == 0 ) {
		GCSetBankAreaEnd( ARHostVirtualMemoryStart() );
	}

	char levelName[EI_LEVEL_BUFFER_SIZE];
	char levelPath[EI_LEVEL_BUFFER_SIZE];
	char language[EI_LANGUAGE_CODE_MAX];
	std::memset( levelName, 0, sizeof( levelName ) );
	std::memset( levelPath, 0, sizeof( levelPath ) );
	std::memset( language, 0, sizeof( language ) );
	EFIniFile::GetInstance()->GetIniString( "StartingLevelToLoad", levelName );
	EFIniFile::GetInstance()->GetIniString( "StartingLevelPath", levelPath );
	GetEngineStartupLanguage( language );

	StartCommand( levelName );
	WalkArguments( argc, argv, levelName, levelPath );

	std::memset( &startupContext, 0, sizeof( startupContext ) );
	startupContext.uiMaxFPS = 30;
	startupContext.bDirectInputEnable = 0;
	startupContext.bShowVideoDialog = 0;
	EFCopyBounded( startupContext.szLevelPath, sizeof( startupContext.szLevelPath ), levelPath, "LEVEL PATH" );
	EFCopyBounded( startupContext.szLanguagePath, sizeof( startupContext.szLanguagePath ), language, "LANGUAGE" );

	EFCommandLine( commandString, startupContext );
	if ( !EFEngineController::StartEngine( startupContext ) ) {
		DTPrintf( "THE ENGINE COULD NOT BE INITIALISED!!!\n" );
		return 1;
	}
	return 0;
}
