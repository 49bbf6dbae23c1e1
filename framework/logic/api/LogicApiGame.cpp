#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/file/DTFile.h"
#include "framework/core/engine/EFCommandLine.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "framework/logic/api/LogicApiTable.h"
#include "framework/video/EFVideoPlayer.h"

#include <cstdio>
#include <cstring>

namespace {

bool bDone = false;

// Transition flags of a level change.
constexpr u32 TRANSITION_MOVIE		= 0x2;
constexpr u32 TRANSITION_FILES		= 0x4;

constexpr u32 NO_ANCHOR				= 0x7FFFFFFF;
constexpr u32 REGION_NTSC			= 1;
constexpr u32 REGION_PAL			= 4;
constexpr u32 REGION_UNKNOWN		= 0;

// The length of a name within a field of size bytes: an unterminated
// name ends at the field's end.
u32 FieldLength( const char * name, const u32 size ) {
	const void * const end = std::memchr( name, '\0', size );
	return end != nullptr ? static_cast<u32>( static_cast<const char *>( end ) - name ) : size;
}

// The transition movie, its audio track from ENGINE.INI for the language.
void RequestMovie( const char * name ) {
	if ( name == nullptr ) {
		return;
	}
	gpoEngineController->SetFlags( EF_CONTROLLER_MOVIE_PENDING );
	if ( name[0] == '\\' ) {
		name++;
	}
	EFVideoPlayer_SP * const player = EFVideoPlayer::GetInstance();
	EFCopyBounded( player->mszVideoPath, EF_VIDEO_PATH_SIZE, name, "MOVIE NAME" );
	player->mi32AudioTrack = 0;
	char key[sizeof( "VideoAudioTrack_" ) + EF_CONTROLLER_LANGUAGE_SIZE];
	std::snprintf( key, sizeof( key ), "VideoAudioTrack_%s", gpoEngineController->GetLanguage() );
	s32 track = 0;
	if ( EFIniFile::GetInstance()->GetIniInteger( key, &track ) ) {
		player->mi32AudioTrack = track;
	}
}

// Extra files loaded with the next level, each name within its field.
void RequestFiles( const stleveltransitionparams & params ) {
	u32 count = params.muiNumberOfExternalFilesToLoad;
	if ( count > LOGIC_API_TRANSITION_FILES ) {
		DTPrintf( "%u EXTERNAL FILES ASKED FOR, ONLY %u TAKEN!!!\n", count, LOGIC_API_TRANSITION_FILES );
		count = LOGIC_API_TRANSITION_FILES;
	}
	for ( u32 i = 0; i < count; i++ ) {
		char name[LOGIC_API_TRANSITION_NAME_CHARS + 1];
		const u32 length = FieldLength( params.mpszExternalFiles[i], LOGIC_API_TRANSITION_NAME_CHARS );
		std::memcpy( name, params.mpszExternalFiles[i], length );
		name[length] = '\0';
		gpoRessourcesMgr->RequestExternalFileLoad( name );
	}
}

// --- Slots ---

void Pause( const u32 pause ) {
	if ( gpoWorldMgr != nullptr ) {
		gpoWorldMgr->Pause( pause != 0 );
	}
	EFCutScenePlayer::mInstance.Pause( pause );
}

// The change itself happens at the end of the frame.
void LoadLevel( char * levelPath, char * resourceFile, stleveltransitionparams * params ) {
	DTPrintf( "LOAD LEVEL : %s\n", resourceFile != nullptr ? resourceFile : "" );
	if ( gpoEngineController == nullptr ) {
		return;
	}
	if ( levelPath != nullptr && levelPath[0] != '\0' ) {
		gpoEngineController->SetLevelPath( levelPath );
	}
	gpoEngineController->SetFlags( EF_CONTROLLER_LEVEL_PENDING );
	if ( gpoRessourcesMgr != nullptr ) {
		gpoRessourcesMgr->SetResFilename( resourceFile != nullptr ? resourceFile : "" );
	}
	if ( params == nullptr ) {
		return;
	}
	if ( ( params->muiTransitionFlags & TRANSITION_MOVIE ) != 0 ) {
		RequestMovie( params->mszVideoName );
	}
	if ( ( params->muiTransitionFlags & TRANSITION_FILES ) != 0 && gpoRessourcesMgr != nullptr ) {
		RequestFiles( *params );
	}
}

void PlugNPlayCutScene( const u32 scene, const u32 sound, const u32 anchor ) {
	EFCutScenePlayer::mInstance.Play( scene, sound, anchor );
}

void PlayCutScene( const u32 scene, const u32 sound ) {
	PlugNPlayCutScene( scene, sound, NO_ANCHOR );
}

void StopCutScene() {
	EFCutScenePlayer::mInstance.Stop();
}

void SkipCutScene() {
	EFCutScenePlayer::mInstance.Skip();
}

void SetCutSceneVolume( const f32 volume ) {
	EFCutScenePlayer::mInstance.mfCSVolume = volume < 0.0f ? 0.0f : ( volume > 1.0f ? 1.0f : volume );
}

void SetGameLanguage( char * language ) {
	if ( gpoEngineController != nullptr && language != nullptr && language[0] != '\0' ) {
		gpoEngineController->SetLanguage( language );
	}
}

// Modules get the controller's own field.
char * GetGameLanguage() {
	return gpoEngineController != nullptr ? const_cast<char *>( gpoEngineController->GetLanguage() ) : nullptr;
}

f32 GetFrameDeltaTime() {
	return gpoEngineController != nullptr ? gpoEngineController->GetFrameDeltaTime() : 0.0f;
}

char * GetExternalFileData( char * name, u32 * size ) {
	if ( gpoRessourcesMgr == nullptr ) {
		return nullptr;
	}
	if ( size != nullptr ) {
		*size = gpoRessourcesMgr->GetExternalFileSize( name );
	}
	return reinterpret_cast<char *>( gpoRessourcesMgr->GetExternalFileBuffer( name ) );
}

u32 DoesLevelFileExist( char * level, char * file ) {
	return gpoRessourcesMgr != nullptr ? gpoRessourcesMgr->DoesLevelFileExist( level, file ) : 0;
}

void QuitGame() {
	if ( gpoEngineController != nullptr ) {
		gpoEngineController->SetFlags( EF_CONTROLLER_QUIT );
	}
}

stlaunchdemoparams GetDemoLaunchData() {
	stlaunchdemoparams params = { 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF };
	if ( gpoEngineController != nullptr ) {
		params.muiInactivityTimeout = gpoEngineController->GetDemoLaunchData( 0 );
		params.muiGameplayTimeout = gpoEngineController->GetDemoLaunchData( 1 );
		params.muiRunMode = gpoEngineController->GetDemoLaunchData( 2 );
		params.muiLanguage = gpoEngineController->GetDemoLaunchData( 3 );
	}
	return params;
}

u32 GetSystemRegion() {
	char mode[INI_TOKEN_BUFFER] = {};
	if ( !EFIniFile::GetInstance()->GetIniString( "DisplayMode", mode ) ) {
		return REGION_UNKNOWN;
	}
	if ( std::strcmp( mode, "NTSC" ) == 0 ) {
		return REGION_NTSC;
	}
	return std::strcmp( mode, "PAL" ) == 0 ? REGION_PAL : REGION_UNKNOWN;
}

}

void ApiGameNotInit() {
	bDone = true;
}

bool ApiGameNotInitDone() {
	return bDone;
}

constexpr _api_game APIgameStubs = MakeLogicApiStubs<_api_game, ApiGameNotInit>();
constinit _api_game APIgame = MakeLogicApiStubs<_api_game, ApiGameNotInit>();

void Init_game() {
	InitAPI( &APIgame, LOGIC_API_GAME_SLOTS, &APIgameStubs );
	APIgame.Pause = Pause;
	APIgame.LoadLevel = LoadLevel;
	APIgame.PlayCutScene = PlayCutScene;
	APIgame.PlugNPlayCutScene = PlugNPlayCutScene;
	APIgame.StopCutScene = StopCutScene;
	APIgame.SkipCutScene = SkipCutScene;
	APIgame.SetCutSceneVolume = SetCutSceneVolume;
	APIgame.SetGameLanguage = SetGameLanguage;
	APIgame.GetGameLanguage = GetGameLanguage;
	APIgame.GetFrameDeltaTime = GetFrameDeltaTime;
	APIgame.GetExternalFileData = GetExternalFileData;
	APIgame.DoesLevelFileExist = DoesLevelFileExist;
	APIgame.QuitGame = QuitGame;
	APIgame.GetDemoLaunchData = GetDemoLaunchData;
	APIgame.GetSystemRegion = GetSystemRegion;
}
