/*
===============================================================================

	Layout of the table `_api_karaoke` that a module gets from the root table:
	microphone services; this console has no microphone.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_KARAOKE_H
#define LOGIC_TABLE_KARAOKE_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_KARAOKE_SLOTS		28
#define LOGIC_API_KARAOKE_PAD_SLOTS	16

struct _api_karaoke {
	void							( *AcquireMicrophone )( u32 );
	void							( *ReleaseMicrophone )( u32 );
	void							( *ActivateMicrophone )( u32 );
	void							( *DeactivateMicrophone )( u32 );
	f32								( *GetAverageVolume )( void );
	f32								( *GetMaxVolume )( void );
	void							( *SetTVOutputVolumeFromMicrophone )( u32, f32 );
	f32								( *GetTVOutputVolumeFromMicrophone )( u32 );
	void							( *SetMicrophoneRecordingVolume )( u32, f32 );
	f32								( *GetMicrophoneRecordingVolume )( u32 );
	void							( *SetHeadsetPlaybackVolume )( u32, f32 );
	f32								( *GetHeadsetPlaybackVolume )( u32 );
	void							( *Pad[LOGIC_API_KARAOKE_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_karaoke, AcquireMicrophone, 0 );
LOGIC_API_SLOT( _api_karaoke, ReleaseMicrophone, 1 );
LOGIC_API_SLOT( _api_karaoke, ActivateMicrophone, 2 );
LOGIC_API_SLOT( _api_karaoke, DeactivateMicrophone, 3 );
LOGIC_API_SLOT( _api_karaoke, GetAverageVolume, 4 );
LOGIC_API_SLOT( _api_karaoke, GetMaxVolume, 5 );
LOGIC_API_SLOT( _api_karaoke, SetTVOutputVolumeFromMicrophone, 6 );
LOGIC_API_SLOT( _api_karaoke, GetTVOutputVolumeFromMicrophone, 7 );
LOGIC_API_SLOT( _api_karaoke, SetMicrophoneRecordingVolume, 8 );
LOGIC_API_SLOT( _api_karaoke, GetMicrophoneRecordingVolume, 9 );
LOGIC_API_SLOT( _api_karaoke, SetHeadsetPlaybackVolume, 10 );
LOGIC_API_SLOT( _api_karaoke, GetHeadsetPlaybackVolume, 11 );
LOGIC_API_SLOT( _api_karaoke, Pad, 12 );
LOGIC_API_TABLE_SIZE( _api_karaoke, LOGIC_API_KARAOKE_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
