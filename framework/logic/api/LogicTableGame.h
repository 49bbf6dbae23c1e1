/*
===============================================================================

	Layout of the table `_api_game` that a module gets from the root table:
	game flow: pause, level changes, cut scenes, language, frame step,
	external files, quitting.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_GAME_H
#define LOGIC_TABLE_GAME_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_GAME_SLOTS		31
#define LOGIC_API_GAME_PAD_SLOTS	16

struct _api_game {
	void							( *Pause )( u32 pause );
	void							( *LoadLevel )( char * levelPath, char * resourceFile, stleveltransitionparams * params );
	void							( *PlayCutScene )( u32 scene, u32 sound );
	void							( *PlugNPlayCutScene )( u32 scene, u32 sound, u32 anchor );
	void							( *StopCutScene )( void );
	void							( *SkipCutScene )( void );
	void							( *SetCutSceneVolume )( f32 volume );
	void							( *SetGameLanguage )( char * language );
	char *							( *GetGameLanguage )( void );
	f32								( *GetFrameDeltaTime )( void );
	char *							( *GetExternalFileData )( char * name, u32 * size );
	u32								( *DoesLevelFileExist )( char * level, char * file );
	void							( *QuitGame )( void );
	stlaunchdemoparams				( *GetDemoLaunchData )( void );
	u32								( *GetSystemRegion )( void );
	void							( *Pad[LOGIC_API_GAME_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_game, Pause, 0 );
LOGIC_API_SLOT( _api_game, LoadLevel, 1 );
LOGIC_API_SLOT( _api_game, PlayCutScene, 2 );
LOGIC_API_SLOT( _api_game, PlugNPlayCutScene, 3 );
LOGIC_API_SLOT( _api_game, StopCutScene, 4 );
LOGIC_API_SLOT( _api_game, SkipCutScene, 5 );
LOGIC_API_SLOT( _api_game, SetCutSceneVolume, 6 );
LOGIC_API_SLOT( _api_game, SetGameLanguage, 7 );
LOGIC_API_SLOT( _api_game, GetGameLanguage, 8 );
LOGIC_API_SLOT( _api_game, GetFrameDeltaTime, 9 );
LOGIC_API_SLOT( _api_game, GetExternalFileData, 10 );
LOGIC_API_SLOT( _api_game, DoesLevelFileExist, 11 );
LOGIC_API_SLOT( _api_game, QuitGame, 12 );
LOGIC_API_SLOT( _api_game, GetDemoLaunchData, 13 );
LOGIC_API_SLOT( _api_game, GetSystemRegion, 14 );
LOGIC_API_SLOT( _api_game, Pad, 15 );
LOGIC_API_TABLE_SIZE( _api_game, LOGIC_API_GAME_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
