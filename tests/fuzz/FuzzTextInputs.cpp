/*
	Text read at start-up: ENGINE.INI, the command line and the host's
	controller script.
*/
#include "FuzzTarget.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCommandLine.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/engine/IniListNode.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "tools/lib/ToolIniWriter.h"

#include <cstring>
#include <string>

namespace {

// The input as a C string: what a reader of text gets when the bytes hold
// no terminator of their own.
std::string AsText( const u8* data, const size_t size ) {
	return std::string( reinterpret_cast<const char*>( data ), size );
}

FuzzSeed TextSeed( const char* name, const std::string& text ) {
	return { name, std::vector<u8>( text.begin(), text.end() ) };
}

// Every key start-up and the managers ask for, through every getter.
const char* const iniKeys[] = {
	"StartingLevelToLoad", "StartingLevelPath", "DisableSoundEngine", "GCVMSARAMSize",
	"BrightnessLevel", "Stencil", "MaxFPS",
};

void LoadIni( const u8* data, const size_t size ) {
	FuzzCheck( FuzzDiscWriteFile( "ENGINE.INI", data, size ), "cannot write ENGINE.INI" );
	EFIniFile* const ini = EFIniFile::GetInstance();
	ini->Read( "ENGINE.INI" );
	FuzzDiscCloseFiles();
	for ( const char* key : iniKeys ) {
		char text[INI_TOKEN_BUFFER];
		s32 integer = 0;
		f32 real = 0.0f;
		u32 flag = 0;
		if ( ini->GetIniString( key, text ) != 0 ) {
			FuzzCheck( std::memchr( text, '\0', sizeof( text ) ) != nullptr, "an ini value without its terminator" );
		}
		ini->GetIniInteger( key, &integer );
		ini->GetIniFloat( key, &real );
		ini->GetIniBool( key, &flag );
	}
	ini->Clear();
}

} // namespace

FUZZ_TARGET( ini_file ) {
	FuzzWithoutArenaLeak( LoadIni, data, size );
}

static void FuzzSeeds_ini_file( std::vector<FuzzSeed>& seeds ) {
	ToolIniWriter ini;
	ini.Set( "StartingLevelToLoad", "SAMPLE.GCR" );
	ini.Set( "StartingLevelPath", "LEVELS/SAMPLE" );
	ini.SetInteger( "GCVMSARAMSize", 4096 );
	ini.Set( "BrightnessLevel", "0.75" );
	ini.Set( "Stencil", "TRUE" );
	ini.SetInteger( "MaxFPS", 30 );
	ini.SetInteger( "DisableSoundEngine", 0 );
	seeds.push_back( TextSeed( "engine.ini", ini.Text() ) );
	seeds.push_back( TextSeed( "no-equals.ini", "StartingLevelToLoad\nMaxFPS = 60\n" ) );
}

FUZZ_TARGET( command_line ) {
	const std::string text = AsText( data, size );
	EFAppContext context;
	std::memset( static_cast<void*>( &context ), 0, sizeof( context ) );
	EFCommandLine parsed( text.c_str(), context );
}

static void FuzzSeeds_command_line( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( TextSeed( "options.txt", "/c-/w-X /d-1 /l-LEVELS/SAMPLE /p-SAMPLE.GCR /v-2 /w-WORLD" ) );
	seeds.push_back( TextSeed( "values.txt", "/a /b- /c-/w-X /l-" ) );
}

FUZZ_TARGET( pad_script ) {
	const std::string text = AsText( data, size );
	PADHostReset();
	if ( PADHostParseScript( text.c_str() ) ) {
		PADStatus status[PAD_MAX_CONTROLLERS];
		PADRead( status );
	}
	PADHostReset();
}

static void FuzzSeeds_pad_script( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( TextSeed( "reset.pad", "0 0 0 0 0 0 0 0 0\n120 0 X+B+START 0 0 0 0 0 0\n" ) );
	seeds.push_back( TextSeed( "ports.pad",
							   "# every kind of record\n0 1 none\n5 2 0x1000 -128 127 10 -10 255 0 12 34\n"
							   "7 RESET 1\n9 RESET 0 # released\n10 3 a+b+up+left 1 2 3 4 5 6\n" ) );
}
