/*
===============================================================================

	Layout of the table `_api_newSound` that a module gets from the root table:
	sound events, listener and volumes.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_NEW_SOUND_H
#define LOGIC_TABLE_NEW_SOUND_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_NEW_SOUND_SLOTS		39
#define LOGIC_API_NEW_SOUND_PAD_SLOTS	16

struct _api_newSound {
	void							( *Play )( u32 object, u32 sound, u32 argument );
	void							( *Stop )( u32 object, u32 sound );
	void							( *SetListener )( u32 object );
	void							( *Pause )( u32 value );
	void							( *Resume )( u32 value );
	void							( *SetVolumeByGroup )( u32 groupMask, f32 volume );
	void							( *SetGlobalVolume )( f32 );
	f32								( *GetGlobalVolume )( void );
	void							( *SetFXVolume )( f32 );
	f32								( *GetFXVolume )( void );
	void							( *SetStreamVolume )( f32 );
	f32								( *GetStreamVolume )( void );
	void							( *SetSoundEventMasterVolume )( u32 object, u32 sound, f32 volume );
	f32								( *GetSoundEventMasterVolume )( u32 object, u32 sound );
	u32								( *IsPlaying )( u32 object, u32 sound );
	void							( *SetPitch )( u32 object, u32 sound, f32 pitch );
	void							( *ParentSoundEventToJoint )( u32 object, u32 sound, u32, u32 );
	void							( *SetDSPEffectForGroup )( u32 groupMask, u32 effect );
	void							( *SetDSPEffectMasterVolume )( u32 effect, f32 volume );
	void							( *SetGCDSPEffect )( u32, u32 );
	void							( *SetMode )( u32 mode );
	void							( *SetVideoVolume )( f32 );
	f32								( *GetVideoVolume )( void );
	void							( *Pad[LOGIC_API_NEW_SOUND_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_newSound, Play, 0 );
LOGIC_API_SLOT( _api_newSound, Stop, 1 );
LOGIC_API_SLOT( _api_newSound, SetListener, 2 );
LOGIC_API_SLOT( _api_newSound, Pause, 3 );
LOGIC_API_SLOT( _api_newSound, Resume, 4 );
LOGIC_API_SLOT( _api_newSound, SetVolumeByGroup, 5 );
LOGIC_API_SLOT( _api_newSound, SetGlobalVolume, 6 );
LOGIC_API_SLOT( _api_newSound, GetGlobalVolume, 7 );
LOGIC_API_SLOT( _api_newSound, SetFXVolume, 8 );
LOGIC_API_SLOT( _api_newSound, GetFXVolume, 9 );
LOGIC_API_SLOT( _api_newSound, SetStreamVolume, 10 );
LOGIC_API_SLOT( _api_newSound, GetStreamVolume, 11 );
LOGIC_API_SLOT( _api_newSound, SetSoundEventMasterVolume, 12 );
LOGIC_API_SLOT( _api_newSound, GetSoundEventMasterVolume, 13 );
LOGIC_API_SLOT( _api_newSound, IsPlaying, 14 );
LOGIC_API_SLOT( _api_newSound, SetPitch, 15 );
LOGIC_API_SLOT( _api_newSound, ParentSoundEventToJoint, 16 );
LOGIC_API_SLOT( _api_newSound, SetDSPEffectForGroup, 17 );
LOGIC_API_SLOT( _api_newSound, SetDSPEffectMasterVolume, 18 );
LOGIC_API_SLOT( _api_newSound, SetGCDSPEffect, 19 );
LOGIC_API_SLOT( _api_newSound, SetMode, 20 );
LOGIC_API_SLOT( _api_newSound, SetVideoVolume, 21 );
LOGIC_API_SLOT( _api_newSound, GetVideoVolume, 22 );
LOGIC_API_SLOT( _api_newSound, Pad, 23 );
LOGIC_API_TABLE_SIZE( _api_newSound, LOGIC_API_NEW_SOUND_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
